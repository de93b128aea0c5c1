-- Global temporary tables: the definition is shared, the rows are each session's own; ON
-- COMMIT DELETE ROWS empties them when the statement commits, PRESERVE ROWS keeps them until
-- the session ends. Keys are checked against the session's own rows.
create user tmp identified by t;
grant create session, create table to tmp;
create user peer identified by p;
grant create session to peer;
connect tmp/t
create global temporary table gtt_session (id number primary key, note varchar2(20))
  on commit preserve rows;
create global temporary table gtt_tx (id number, note varchar2(20)) on commit delete rows;
create global temporary table gtt_default (id number);
create index gtt_session_note on gtt_session (note);
grant select, insert on gtt_session to peer;
insert into gtt_session values (1, 'first');
insert into gtt_session values (2, 'second');
insert into gtt_session values (1, 'again');
select id, note from gtt_session order by id;
select id from gtt_session where note = 'second';
update gtt_session set note = 'changed' where id = 2;
select id, note from gtt_session order by id;
insert into gtt_tx values (1, 'gone at commit');
select count(*) from gtt_tx;
begin
  insert into gtt_tx values (2, 'within the block');
  insert into gtt_session select id + 10, note from gtt_tx;
end;
/
select count(*) from gtt_tx;
select id, note from gtt_session order by id;
-- DDL waits until no session has rows
drop table gtt_session;
alter table gtt_session add (extra number);
create index gtt_session_id2 on gtt_session (id, note);
alter index gtt_session_note rename to gtt_note;
alter index gtt_session_note rebuild;
-- another session sees none of these rows, and its own key values do not clash
connect peer/p
select count(*) from tmp.gtt_session;
insert into tmp.gtt_session values (1, 'peer row');
select id, note from tmp.gtt_session;
-- a new session of the same user starts empty
connect tmp/t
select count(*) from gtt_session;
alter table gtt_session add (extra number);
insert into gtt_session (id, note, extra) values (5, 'five', 50);
truncate table gtt_session;
select count(*) from gtt_session;
drop index gtt_session_note;
-- the definition in the dictionary
select table_name, temporary, duration, tablespace_name, logging from user_tables
 order by table_name;
select object_name, object_type, temporary from user_objects where object_type = 'TABLE'
 order by object_name;
select segment_name from user_segments;
select index_name, tablespace_name, temporary, duration from user_indexes
 where table_name like 'GTT%' order by index_name;
-- what a temporary table cannot be or have
create global temporary table gtt_ts (id number) tablespace users;
create table parent_perm (id number primary key);
create global temporary table gtt_child (id number references parent_perm);
create global temporary table gtt_parent (id number primary key) on commit preserve rows;
create table child_perm (id number references gtt_parent);
create global temporary table gtt_child2 (id number references gtt_parent)
  on commit preserve rows;
insert into gtt_parent values (7);
insert into gtt_child2 values (7);
insert into gtt_child2 values (8);
create global temporary table gtt_copy on commit preserve rows as
  select id, note from gtt_session;
insert into gtt_copy values (9, 'copied');
select id, note from gtt_copy;
drop table gtt_tx;
drop table gtt_default;
