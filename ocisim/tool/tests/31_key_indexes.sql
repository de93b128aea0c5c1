-- The index of a primary or unique key: a key made on an index that existed before it leaves
-- that index behind when it is dropped; an index the key made goes with it. KEEP INDEX and
-- DROP INDEX decide otherwise.
create table t (id number, code varchar2(5), n number);
create unique index t_pk on t (id);
alter table t add constraint t_pk primary key (id);
create index t_code_i on t (code);
alter table t add constraint t_code_uk unique (code);
alter table t add constraint t_n_uk unique (n);
select constraint_name, index_name from user_constraints where table_name = 'T' order by 1;
alter table t drop primary key;
alter table t drop constraint t_code_uk;
alter table t drop unique (n);
select index_name, uniqueness from user_indexes where table_name = 'T' order by 1;
-- the index kept still enforces uniqueness
insert into t values (1, 'a', 1);
insert into t values (1, 'b', 2);
-- KEEP INDEX keeps the index the key made; DROP INDEX drops one that existed before
create table u (id number constraint u_pk primary key, code varchar2(5));
create index u_code_i on u (code);
alter table u add constraint u_code_uk unique (code);
alter table u drop primary key keep index;
alter table u drop unique (code) drop index;
select index_name, uniqueness from user_indexes where table_name = 'U' order by 1;
-- a system-named key and its system-named index
create table v (id number primary key);
alter table v drop primary key;
select count(*) from user_indexes where table_name = 'V';
