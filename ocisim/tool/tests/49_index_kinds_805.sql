-- ocisim-version: 8.0.5
-- Release 8.0 accepts DESC in an index and ignores it: the index is an ordinary ascending one.
create table ik8 (id number, name varchar2(10));
create index ik8_name on ik8 (name desc);
create bitmap index ik8_id on ik8 (id);
select index_name, index_type from user_indexes where table_name = 'IK8' order by 1;
select index_name, column_name from user_ind_columns where table_name = 'IK8' order by 1;
