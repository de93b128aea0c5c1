-- Index kinds as the dictionary shows them: a bitmap index is BITMAP; a DESC column makes an
-- index function-based, indexed through a hidden column SYS_NCnnnnn$ whose expression is the
-- quoted column name.
create table ik (id number, name varchar2(10), born date, code varchar2(5));
create bitmap index ik_code on ik (code);
create index ik_name_desc on ik (name desc, id);
create index ik_born on ik (born desc);
create index ik_name on ik (name);
select index_name, index_type, uniqueness, funcidx_status from user_indexes
where table_name = 'IK' order by 1;
select index_name, column_name, column_position, descend from user_ind_columns
where table_name = 'IK' order by 1, 3;
select index_name, table_name, column_expression, column_position from user_ind_expressions
order by 1, 4;
-- The hidden columns keep their numbers when the table gains a column.
alter table ik add (extra number);
create index ik_extra on ik (extra desc);
select index_name, column_name from user_ind_columns
where table_name = 'IK' and descend = 'DESC' order by 1;
insert into ik values (1, 'a', sysdate, 'x', 1);
select count(*) from ik where name = 'a';
