-- ocisim-version: 8.0.5
-- A release 8.0 dictionary: DATA_TYPE_OWNER exists, COMPRESSION and PREFIX_LENGTH do not;
-- dates are shown as DD-MON-YY.
create table t (id number constraint t_pk primary key, name varchar2(10), born date);
create index t_name on t (name);
insert into t values (1, 'x', to_date('2001-02-03', 'YYYY-MM-DD'));
select id, name, born from t;
select column_name, data_type, nvl(data_type_owner, '-') owner from all_tab_columns
where owner = user and table_name = 'T' order by column_id;
select index_name, uniqueness from all_indexes where table_name = 'T' order by 1;
select index_name, compression from all_indexes where table_name = 'T';
select index_name, prefix_length from all_indexes where table_name = 'T';
select all_indexes.index_name, all_indexes.compression from all_indexes where table_name = 'T';
select sequence_name, max_value from all_sequences where sequence_owner = user;
create sequence s;
select sequence_name, max_value from all_sequences where sequence_owner = user;
