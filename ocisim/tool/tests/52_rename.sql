-- RENAME old TO new renames a table, view or sequence of one's own schema; its constraints,
-- indexes, comments and grants follow it.
create table rn (id number constraint rn_pk primary key, name varchar2(10));
comment on table rn is 'Renamed';
comment on column rn.name is 'The name';
insert into rn values (1, 'one');
create view rn_v as select id from rn with read only constraint rn_v_ro;
create sequence rn_seq start with 5;
rename rn to rn2;
select table_name, comments from user_tab_comments where table_name like 'RN%' order by 1;
select column_name, comments from user_col_comments where table_name = 'RN2' order by 1;
select constraint_name, table_name from user_constraints where table_name like 'RN%' order by 1;
select index_name, table_name from user_indexes where table_name like 'RN%';
select * from rn2;
rename rn_v to rn_view;
select constraint_name, table_name from user_constraints where constraint_type = 'O';
rename rn_seq to rn_sequence;
select rn_sequence.nextval from dual;
select object_name, object_type from user_objects where object_name like 'RN%' order by 1;
rename rn2 to rn_view;
rename system.rn2 to rn3;
rename nosuch to rn3;
rename rn2 rn3;
-- ALTER INDEX, ALTER VIEW, RENAME CONSTRAINT, MOVE and USING INDEX (CREATE INDEX ...): see
-- 60_index_maintenance.sql.
