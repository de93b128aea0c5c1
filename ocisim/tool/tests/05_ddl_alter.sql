-- ALTER TABLE and DROP TABLE as upgrade scripts rely on them: column changes and their
-- errors, what dropping a column takes with it, the multi-line ADD ( CONSTRAINT ... ) form,
-- foreign keys and their referenced keys, DROP TABLE CASCADE CONSTRAINTS.
create table t (id number constraint t_pk primary key, a varchar2(10), b number not null);
insert into t values (1, 'abcdef', 10);
insert into t values (2, null, 20);
alter table t add (c date, d varchar2(5) default 'x');
select id, a, b, c, d from t order by id;
alter table t add (a number);
alter table t add e number(5,2);
select column_name, data_type, data_length, data_precision, data_scale, nullable, column_id
from all_tab_columns where owner = user and table_name = 'T' order by column_id;
-- MODIFY and its refusals
alter table t modify (b not null);
alter table t modify (a null);
alter table t modify (a varchar2(3));
alter table t modify (a number);
alter table t modify (c constraint t_c_nn not null);
alter table t modify (a varchar2(20) default 'none', e not null);
alter table t modify (e number(6,2));
update t set e = 1;
alter table t modify (e not null);
alter table t modify (b default 5);
insert into t (id) values (3);
select id, a, b, d, e from t order by id;
select column_name, data_type, data_length, nullable, data_default
from all_tab_columns where owner = user and table_name = 'T' order by column_id;
-- dropping a column drops the indexes and constraints on it
create index t_a_i on t (a);
alter table t add constraint t_a_uk unique (a);
alter table t add constraint t_e_ck check (e > 0);
select index_name from all_indexes where owner = user and table_name = 'T' order by 1;
select constraint_name, constraint_type from all_constraints
where owner = user and table_name = 'T' and constraint_name not like 'SYS%' order by 1;
alter table t drop column a;
alter table t drop (e, c);
select index_name from all_indexes where owner = user and table_name = 'T' order by 1;
select constraint_name, constraint_type from all_constraints
where owner = user and table_name = 'T' and constraint_name not like 'SYS%' order by 1;
select column_name, column_id from all_tab_columns
where owner = user and table_name = 'T' order by column_id;
alter table t drop column nosuch;
alter table t rename column d to label;
select id, b, label from t order by id;
-- the upgrade script's multi-line form, comments inside
create table t2 (id number not null, code varchar2(10), t_id number);
ALTER TABLE T2 ADD (
  -- the key
  CONSTRAINT T2_PK PRIMARY KEY (ID)
    USING INDEX PCTFREE 10 INITRANS 2 MAXTRANS 255
    STORAGE (INITIAL 64K NEXT 1M MINEXTENTS 1 MAXEXTENTS 2147483645 PCTINCREASE 0)
  -- and a unique code
  , CONSTRAINT T2_CODE_UK UNIQUE (CODE)
);
ALTER TABLE T2 ADD (
  CONSTRAINT T2_T_FK FOREIGN KEY (T_ID)
    REFERENCES T (ID) ON DELETE SET NULL
);
select constraint_name, constraint_type, r_constraint_name, delete_rule from all_constraints
where owner = user and table_name = 'T2' and constraint_name like 'T2%' order by 1;
select index_name, uniqueness, pct_free, ini_trans, initial_extent, next_extent
from all_indexes where owner = user and table_name = 'T2' order by 1;
insert into t2 values (1, 'x', 1);
insert into t2 values (1, 'y', 2);
-- a foreign key needs its referenced key
create table t3 (id number, t2_code varchar2(10) references t2 (code), x number references nosuch);
create table t3 (id number, t_b number references t (b));
alter table t2 drop constraint nosuch;
-- dropping a referenced table
drop table t;
drop table t cascade constraints;
select count(*) c from all_constraints where owner = user and constraint_name = 'T2_T_FK';
insert into t2 values (2, 'z', 99);
-- primary keys, truncation, CREATE TABLE AS SELECT
alter table t2 drop primary key;
select count(*) c from all_indexes where owner = user and index_name = 'T2_PK';
create table t4 as select id, code from t2 where id < 10;
select id, code from t4 order by id;
truncate table t4;
select count(*) c from t4;
drop table t4;
drop table t4;
