-- ocisim-version: 7.3.4
-- A release 7.3 dictionary: no DATA_TYPE_OWNER, no COMPRESSION or PREFIX_LENGTH, dates shown
-- as DD-MON-YY.
create table t (id number constraint t_pk primary key, name varchar2(10), born date);
create index t_name on t (name);
insert into t values (1, 'x', to_date('2001-02-03', 'YYYY-MM-DD'));
select id, name, born from t;
select column_name, data_type, data_length, nullable from all_tab_columns
where owner = user and table_name = 'T' order by column_id;
select column_name, data_type_owner from all_tab_columns where table_name = 'T';
select index_name, uniqueness from all_indexes where table_name = 'T' order by 1;
select index_name, compression from all_indexes where table_name = 'T';
select index_name, prefix_length from all_indexes where table_name = 'T';
