-- ocisim-version: 8.0.5
-- Release 8.0 has CAST but neither CASE, NVL2, TRIM nor SYS_CONTEXT; CURRENT_SCHEMA and
-- NLS_COMP are unknown options of ALTER SESSION.
create table emp (id number, name varchar2(10));
insert into emp values (1, 'KING');
select case when id = 1 then 'one' end from emp;
select nvl2(id, 1, 0) from emp;
select trim(name) from emp;
select sys_context('USERENV', 'SESSION_USER') from dual;
select cast(id as varchar2(5)) c, cast('12.5' as number(3,1)) n from emp;
select e.name from emp e join emp b on e.id = b.id;
alter session set current_schema = system;
alter session set nls_comp = binary;
select empty_blob() from dual;
