-- Index-organized tables (release 8.0 on): ORGANIZATION INDEX needs a primary key (ORA-25175);
-- ALL_TABLES shows IOT_TYPE IOT and no tablespace of its own, ALL_INDEXES the key's index as
-- INDEX_TYPE IOT - TOP, named like the key or SYS_IOT_TOP_<object id> for an unnamed key, in the
-- tablespace the CREATE TABLE named. The primary key cannot be dropped or disabled (ORA-25188).
create table iot_nokey (id number, name varchar2(10)) organization index;
create table iot_a (id number, name varchar2(10), constraint iot_a_pk primary key (id))
  organization index tablespace system;
create table iot_b (id number primary key, code varchar2(5)) organization index;
create table heap_c (id number primary key) organization heap;
select table_name, tablespace_name, iot_type, pct_free from user_tables
where table_name in ('IOT_A', 'IOT_B', 'HEAP_C') order by 1;
select case when index_name like 'SYS_IOT_TOP_%' then 'SYS_IOT_TOP_n' else index_name end name,
  index_type, table_name, uniqueness, tablespace_name, pct_threshold
from user_indexes where table_name in ('IOT_A', 'IOT_B') order by 3;
select count(*) from user_indexes i, user_objects o
where i.table_name = 'IOT_B' and o.object_name = 'IOT_B'
and i.index_name = 'SYS_IOT_TOP_' || o.object_id;
select constraint_name, index_name from user_constraints where table_name = 'IOT_A';
insert into iot_a values (2, 'two');
insert into iot_a values (1, 'one');
insert into iot_a values (1, 'again');
select * from iot_a order by id;
alter table iot_a drop primary key;
alter table iot_a disable constraint iot_a_pk;
create index iot_a_name on iot_a (name);
alter table iot_a move tablespace users;
select index_name, index_type, tablespace_name, status from user_indexes
where table_name = 'IOT_A' order by 1;
alter index iot_a_pk rebuild;
drop table iot_a;
select object_name from user_objects where object_name like 'IOT_A%';
