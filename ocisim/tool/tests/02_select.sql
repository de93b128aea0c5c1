-- SELECT: joins, subqueries, grouping, set operations, ordering, ROWNUM, CASE, LIKE, BETWEEN
-- and CONNECT BY, over a small department/employee schema.
create table dept (deptno number(2) primary key, dname varchar2(14), loc varchar2(13));
insert into dept values (10, 'ACCOUNTING', 'NEW YORK');
insert into dept values (20, 'RESEARCH', 'DALLAS');
insert into dept values (30, 'SALES', 'CHICAGO');
insert into dept values (40, 'OPERATIONS', 'BOSTON');
create table emp (empno number(4) primary key, ename varchar2(10), job varchar2(9),
  mgr number(4), sal number(7,2), comm number(7,2), deptno number(2) references dept);
insert into emp values (7839, 'KING', 'PRESIDENT', null, 5000, null, 10);
insert into emp values (7566, 'JONES', 'MANAGER', 7839, 2975, null, 20);
insert into emp values (7698, 'BLAKE', 'MANAGER', 7839, 2850, null, 30);
insert into emp values (7782, 'CLARK', 'MANAGER', 7839, 2450, null, 10);
insert into emp values (7788, 'SCOTT', 'ANALYST', 7566, 3000, null, 20);
insert into emp values (7499, 'ALLEN', 'SALESMAN', 7698, 1600, 300, 30);
insert into emp values (7521, 'WARD', 'SALESMAN', 7698, 1250, 500, 30);
insert into emp values (7900, 'JAMES', 'CLERK', 7698, 950, null, 30);
insert into emp values (7000, 'NOBODY', 'CLERK', null, 800, null, null);
-- joins
select e.ename, d.dname from emp e, dept d where e.deptno = d.deptno and d.deptno = 10
order by e.ename;
select d.dname, count(*) n from emp e inner join dept d on e.deptno = d.deptno
group by d.dname order by d.dname;
select d.dname, count(e.empno) n from dept d left outer join emp e on e.deptno = d.deptno
group by d.dname order by n, d.dname;
select e.ename, d.dname from dept d right join emp e on e.deptno = d.deptno
where d.deptno is null;
select e.ename, d.dname from emp e full outer join dept d on e.deptno = d.deptno
where e.empno is null or d.deptno is null order by e.ename, d.dname;
select deptno, ename, loc from emp join dept using (deptno) where deptno = 20 order by ename;
-- subqueries
select d.dname, s.total from (select deptno, sum(sal) total from emp group by deptno) s, dept d
where s.deptno = d.deptno order by s.total desc;
select ename from emp where deptno in (select deptno from dept where loc = 'DALLAS') order by 1;
select dname from dept where deptno not in (select deptno from emp);
select dname from dept where deptno not in (select deptno from emp where deptno is not null);
select dname from dept d where not exists (select 1 from emp e where e.deptno = d.deptno);
select ename, (select dname from dept d where d.deptno = e.deptno) dname from emp e
where empno in (7839, 7000) order by empno;
select ename, sal from emp e where sal > (select avg(sal) from emp where deptno = e.deptno)
order by ename;
select (select ename from emp where deptno = 10) from dual;
-- grouping and aggregates
select job, count(*) n, sum(sal) total, max(sal) top from emp group by job
having count(*) > 1 order by job;
select count(distinct job) jobs, count(distinct deptno) depts, count(deptno) with_dept from emp;
select deptno, avg(sal) from emp group by deptno order by deptno;
select job, ename from emp group by job;
select distinct job from emp order by job;
-- set operations
select deptno from dept union select deptno from emp order by 1;
select deptno from dept minus select deptno from emp;
select deptno from dept intersect select deptno from emp order by 1;
select count(*) c from (select job from emp union all select dname from dept);
select 1 from dual union select 'a' from dual;
-- ORDER BY alias, position, expression
select ename, sal * 12 annual from emp where deptno = 10 order by annual desc;
select ename, sal from emp where deptno = 20 order by 2;
select ename from emp where deptno = 30 order by sal + nvl(comm, 0) desc;
select ename, sal from emp order by 3;
-- ROWNUM counts rows as they pass WHERE, before ORDER BY
select ename from (select ename from emp order by sal desc) where rownum <= 3;
select ename from emp where rownum = 2;
select count(*) c from emp where rownum < 5;
-- CASE, BETWEEN, LIKE
select ename, case when sal >= 3000 then 'high' when sal >= 1500 then 'mid' else 'low' end band,
  case deptno when 10 then 'ten' when 20 then 'twenty' end d
from emp order by empno;
select ename from emp where sal between 1250 and 1600 order by sal;
select count(*) c from emp where sal not between 1000 and 3000;
create table names_t (n varchar2(20));
insert into names_t values ('100%');
insert into names_t values ('10_0');
insert into names_t values ('a_b');
insert into names_t values ('abc');
insert into names_t values ('ab');
select n from names_t where n like '%\%' escape '\';
select n from names_t where n like 'a\_b' escape '\';
select n from names_t where n like 'a_b' order by n;
select n from names_t where n like 'ab%' order by n;
select count(*) c from names_t where n like 'A%';
select n from names_t where n not like '%b%' order by n;
-- CONNECT BY: the row generator and a hierarchy
select level n, level * 10 t from dual connect by level <= 3;
select ename, level lv from emp start with ename = 'JONES' connect by prior empno = mgr
order by lv, ename;
select count(*) c from (select level from dual connect by level <= 1000);
