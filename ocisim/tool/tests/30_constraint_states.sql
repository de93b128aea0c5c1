-- Constraint states as ALL_CONSTRAINTS shows them: DEFERRABLE / DEFERRED / VALIDATED / STATUS
-- from CREATE TABLE and ALTER TABLE, ENABLE / DISABLE [NO]VALIDATE, MODIFY CONSTRAINT, and how
-- each state is enforced.
create table p (id number constraint p_pk primary key);
create table c (
  id number constraint c_pk primary key deferrable initially deferred,
  pid number constraint c_fk references p deferrable initially deferred,
  qty number constraint c_qty_ck check (qty > 0) deferrable,
  code varchar2(5) constraint c_code_uk unique initially deferred,
  note varchar2(10) constraint c_note_nn not null enable novalidate
);
create table d (a number, b number,
  constraint d_a_ck check (a > 0) disable,
  constraint d_b_ck check (b > 0) disable validate);
alter table d add constraint d_ab_uk unique (a, b) deferrable initially immediate;
create table bad (x number constraint bad_ck check (x > 0) not deferrable initially deferred);
select constraint_name, constraint_type, status, deferrable, deferred, validated
from all_constraints where owner = user and table_name in ('C', 'D') order by 1;
-- a deferrable key is enforced through a nonunique index
select index_name, uniqueness from all_indexes
where owner = user and table_name in ('C', 'D') order by 1;
-- a deferred constraint is checked at commit: every statement here commits, and a violation
-- rolls it back
insert into p values (1);
insert into c values (1, 1, 1, 'a', 'x');
insert into c values (1, 1, 1, 'b', 'x');
insert into c values (2, 9, 1, 'c', 'x');
insert into c values (3, 1, 1, 'a', 'x');
insert into c values (4, 1, 0, 'd', 'x');
select count(*) from c;
-- a disabled constraint is not enforced; DISABLE VALIDATE keeps the table from changing
insert into d values (-1, -1);
alter table d disable novalidate constraint d_b_ck;
insert into d values (-1, -1);
select * from d;
-- ENABLE validates the rows unless NOVALIDATE is given
alter table d enable constraint d_a_ck;
alter table d enable novalidate constraint d_a_ck;
insert into d values (-2, 1);
alter table d modify constraint d_a_ck disable;
alter table d disable validate constraint d_b_ck;
alter table d modify constraint d_ab_uk initially deferred;
alter table d modify constraint d_a_ck initially deferred;
alter table d modify constraint d_a_ck deferrable;
alter table d enable constraint nosuch;
alter table d disable constraint nosuch;
select constraint_name, status, deferrable, deferred, validated
from all_constraints where owner = user and table_name = 'D' order by 1;
-- DISABLE of a key drops the index it made; ENABLE makes it again
alter table p disable constraint p_pk;
alter table c disable constraint c_fk;
alter table p disable constraint p_pk;
select constraint_name, status, validated, index_name
from user_constraints where table_name = 'P';
select index_name from user_indexes where table_name = 'P';
select nullable from user_tab_columns where table_name = 'P';
insert into p values (1);
alter table p enable constraint p_pk;
delete from p;
insert into p values (1);
alter table p enable primary key;
select constraint_name, status, validated, index_name
from user_constraints where table_name = 'P';
select index_name, uniqueness from user_indexes where table_name = 'P';
alter table p disable primary key keep index;
select index_name, uniqueness from user_indexes where table_name = 'P';
insert into p values (1);
