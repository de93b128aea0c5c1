-- WITH names queries for the query it precedes: each is seen by the later ones and by the main
-- query (subqueries included), and a name hides a table of that name.
create table emp (id number, name varchar2(10), dept number);
insert into emp values (1, 'KING', 10);
insert into emp values (2, 'JONES', 20);
insert into emp values (3, 'SCOTT', 20);
with d as (select dept, count(*) n from emp group by dept)
select dept, n from d order by dept;
with d as (select dept, count(*) n from emp group by dept),
     big as (select dept from d where n > 1)
select e.name from emp e, big where e.dept = big.dept order by e.name;
with emp as (select 'HIDDEN' name from dual) select name from emp;
with w as (select id from emp)
select name from emp where id in (select id from w where id > 1) order by name;
select * from (with w as (select max(id) m from emp) select m from w);
with w (a, b) as (select id, name from emp where id = 1) select b, a from w;
with w (a) as (select id, name from emp) select * from w;
with w as (select id from emp where id = 1) select id from w union all select id from w;
with w as (select id from emp) select * from w x where x.id = 2;
create table emp_copy as with w as (select * from emp where dept = 20) select * from w;
select count(*) from emp_copy;
insert into emp_copy with w as (select id + 10, name, dept from emp) select * from w;
select count(*) from emp_copy;
create view emp_view as with w as (select name from emp where dept = 10) select name from w;
select name from emp_view;
with a as (select 1 x from dual), a as (select 2 x from dual) select x from a;
with w as (select 1 x from dual) select * from v;
with w as (select * from w) select * from w;
