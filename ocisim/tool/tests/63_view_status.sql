-- Object status: a view goes INVALID when a table or view it reads is dropped, renamed or has a
-- column dropped, renamed or retyped (adding a column keeps it VALID, as in Oracle); it is VALID
-- again after ALTER VIEW ... COMPILE or when a query uses it and it compiles (Oracle recompiles
-- it then). A view that does not compile fails with ORA-04063.
create table vs (id number, name varchar2(10));
insert into vs values (1, 'one');
create view vs_v as select id, name from vs;
create view vs_vv as select id from vs_v;
create view vs_other as select 1 x from dual;
select object_name, status from user_objects where object_name like 'VS%' order by 1;
alter table vs add (born date);
select object_name, status from user_objects where object_type = 'VIEW' and object_name like 'VS%' order by 1;
rename vs to vs_renamed;
select object_name, status from user_objects where object_type = 'VIEW' and object_name like 'VS%' order by 1;
select * from vs_v;
select * from vs_vv;
alter view vs_v compile;
select object_name, status from user_objects where object_type = 'VIEW' and object_name like 'VS%' order by 1;
rename vs_renamed to vs;
select * from vs_vv;
select object_name, status from user_objects where object_type = 'VIEW' and object_name like 'VS%' order by 1;
alter view vs_v compile;
select object_name, status from user_objects where object_type = 'VIEW' and object_name like 'VS%' order by 1;
-- A dropped column.
alter table vs drop column name;
select object_name, status from user_objects where object_type = 'VIEW' and object_name like 'VS%' order by 1;
select * from vs_v;
alter table vs add (name varchar2(20));
select * from vs_v;
select object_name, status from user_objects where object_type = 'VIEW' and object_name like 'VS%' order by 1;
-- A dropped table, made again.
drop table vs;
select object_name, status from user_objects where object_type = 'VIEW' and object_name like 'VS%' order by 1;
create table vs (id number, name varchar2(10));
select object_name, status from user_objects where object_type = 'VIEW' and object_name like 'VS%' order by 1;
select count(*) from vs_vv;
select object_name, status from user_objects where object_type = 'VIEW' and object_name like 'VS%' order by 1;
-- A replaced view: the views over it are compiled again when next used.
create or replace view vs_v as select id, name, 'x' tag from vs;
select object_name, status from user_objects where object_type = 'VIEW' and object_name like 'VS%' order by 1;
