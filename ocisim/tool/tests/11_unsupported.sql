-- Statements the engine does not run fail with a clear ORA- error and change nothing; syntax
-- errors get Oracle's codes.
create table t (id number constraint t_pk primary key, name varchar2(10));
insert into t values (1, 'a');
create view v as select id, name from t;
-- syntax errors
frobnicate the database;
create tabel x (n number);
drop tablex t;
select * form t;
select * from t where;
select (1 from dual;
select id name from t order;
insert into t values (2, 'b';
select count(*) c from t;
-- features left out: each is refused, never silently ignored
merge into t using dual on (t.id = 1) when matched then update set name = 'm';
select id, row_number() over (order by id) rn from t;
select rowid from t;
create synonym ts for t@remote;
create index t_upper on t (upper(name));
insert all into t values (5, 'e') into t values (6, 'f') select * from dual;
alter session set optimizer_mode = rule;
delete from v;
update v set name = 'x';
insert into v values (9, 'z');
rollback;
savepoint before_change;
rollback to savepoint before_change;
create or replace procedure p as begin null; end;
/
begin
  p;
end;
/
lock table t in exclusive mode;
select id, name from t;
