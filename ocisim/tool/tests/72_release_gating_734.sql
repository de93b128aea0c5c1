-- ocisim-version: 7.3.4
-- Release 7.3 lacks the SQL of later releases: its parser takes CASE, TIMESTAMP and the join
-- words for names, DATE cannot start an expression, WITH starts no statement, and the newer
-- functions are unknown names.
create table emp (id number, name varchar2(10), boss number);
insert into emp values (1, 'KING', null);
insert into emp values (2, 'JONES', 1);
select case when id = 1 then 'one' else 'other' end from emp;
select case id when 1 then 'one' end from emp;
select e.name, b.name from emp e join emp b on e.boss = b.id;
select e.name from emp e left outer join emp b on e.boss = b.id;
select e.name from emp e inner join emp b on e.boss = b.id;
select name from emp natural join emp;
select e.name from emp e cross join emp b;
select e.name, b.name from emp e, emp b where e.boss = b.id (+) order by e.id;
with w as (select id from emp) select * from w;
select timestamp '2001-02-03 04:05:06' from dual;
select date '2001-02-03' from dual;
select systimestamp from dual;
select current_date from dual;
select coalesce(boss, 0) from emp;
select nullif(id, 1) from emp;
select nvl2(boss, 'y', 'n') from emp;
select trim(name) from emp;
select extract(year from sysdate) from dual;
select cast(id as varchar2(5)) from emp;
select sys_context('USERENV', 'SESSION_USER') from dual;
select empty_clob() from dual;
select to_timestamp('2001-02-03', 'YYYY-MM-DD') from dual;
-- What release 7.3 has.
select nvl(boss, 0), decode(id, 1, 'one', 'other'), userenv('LANGUAGE') from emp order by id;
select name, bitand(id, 3), vsize(name) from emp order by id;
alter session set current_schema = system;
alter session set nls_length_semantics = char;
alter session set nls_sort = binary;
