-- DML and constraint enforcement: NOT NULL, keys, foreign keys with their delete rules, CHECK,
-- column limits, statement atomicity, ROWNUM = 1, COMMIT and ROLLBACK.
create table parent (id number constraint parent_pk primary key,
  name varchar2(10) constraint parent_name_nn not null constraint parent_name_uk unique);
create table child (id number constraint child_pk primary key,
  parent_id number constraint child_fk references parent on delete cascade,
  note varchar2(10) constraint child_note_ck check (note in ('a', 'b')));
create table loose (id number constraint loose_pk primary key,
  parent_id number constraint loose_fk references parent (id) on delete set null);
create table strict (id number constraint strict_pk primary key,
  parent_id number constraint strict_fk references parent);
insert into parent values (1, 'one');
insert into parent values (2, 'two');
insert into parent values (3, 'three');
insert into parent values (1, 'uno');
insert into parent values (4, 'one');
insert into parent (id) values (4);
insert into parent values (4, '');
update parent set name = null where id = 1;
insert into child values (10, 1, 'a');
insert into child values (11, 1, null);
insert into child values (12, 2, 'b');
insert into child values (13, null, 'a');
insert into child values (14, 9, 'a');
insert into child values (14, 1, 'c');
update child set note = 'z' where id = 10;
insert into loose values (20, 1);
insert into loose values (21, 2);
insert into strict values (30, 3);
-- delete rules
delete from parent where id = 3;
update parent set id = 33 where id = 3;
delete from parent where id = 1;
select id, parent_id, note from child order by id;
select id, nvl(to_char(parent_id), 'null') parent_id from loose order by id;
-- a statement fails as a whole
insert into parent select id + 100, name from parent;
select count(*) c from parent;
insert into parent select id + 100, name || '+' from parent;
select id, name from parent order by id;
update parent set id = id + 1;
select id from parent order by id;
update parent set id = 5 where id > 100;
-- column limits and value counts
create table limits_t (n number(5,2), s varchar2(3), i integer);
insert into limits_t values (123.456, 'abc', 2.5);
insert into limits_t values (1234.5, 'a', 1);
insert into limits_t values (1, 'abcd', 1);
insert into limits_t values (1, 'a');
insert into limits_t values (1, 'a', 1, 1);
insert into limits_t (n, nope) values (1, 1);
select n, s, i from limits_t;
-- defaults
create table defaults_t (id number, label varchar2(10) default 'new', n number default 7);
insert into defaults_t (id) values (1);
insert into defaults_t (id, n) values (2, null);
select id, label, n from defaults_t order by id;
-- ROWNUM = 1 picks one of the matching rows
create table queue_t (id number, kind varchar2(5));
insert into queue_t select level, decode(mod(level, 2), 0, 'even', 'odd') from dual
connect by level <= 6;
delete from queue_t where kind = 'odd' and rownum = 1;
update queue_t set kind = 'done' where kind = 'even' and rownum = 1;
select kind, count(*) n from queue_t group by kind order by kind;
delete from queue_t where rownum = 1 and 1 = 0;
delete from queue_t;
-- transactions: every statement is committed; ROLLBACK cannot undo anything
commit;
rollback;
select count(*) c from parent;
