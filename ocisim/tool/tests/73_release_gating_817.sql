-- ocisim-version: 8.1.7
-- Release 8.1 has the searched CASE (not the simple one), NVL2, TRIM, CAST, SYS_CONTEXT and
-- CURRENT_SCHEMA; ANSI joins, WITH, datetime literals, COALESCE and NULLIF came with 9.
create table emp (id number, name varchar2(10), boss number);
insert into emp values (1, 'KING', null);
insert into emp values (2, 'JONES', 1);
select case when id = 1 then 'one' else 'other' end kind from emp order by id;
select case id when 1 then 'one' end from emp;
select e.name, b.name from emp e join emp b on e.boss = b.id;
select e.name from emp e left join emp b on e.boss = b.id;
with w as (select id from emp) select * from w;
select timestamp '2001-02-03 04:05:06' from dual;
select date '2001-02-03' from dual;
select current_timestamp from dual;
select coalesce(boss, 0) from emp;
select nullif(id, 1) from emp;
select extract(year from sysdate) from dual;
select nvl2(boss, 'y', 'n') n, trim('  x  ') t, cast(id as varchar2(5)) c from emp order by id;
select sys_context('USERENV', 'CURRENT_SCHEMA') from dual;
select id from emp group by rollup (id);
alter session set nls_length_semantics = char;
alter session set nls_comp = binary;
alter session set current_schema = sys;
select sys_context('USERENV', 'CURRENT_SCHEMA'), user from dual;
