-- ALTER SESSION SET CURRENT_SCHEMA changes where unqualified names resolve (and
-- SYS_CONTEXT's answer), not whose privileges apply; NLS_LENGTH_SEMANTICS = CHAR makes a
-- length without a unit count characters; NLS_SORT and NLS_COMP take BINARY.
create user scott identified by tiger;
grant create session, create table to scott;
create table scott.emp (id number, name varchar2(10));
insert into scott.emp values (1, 'KING');
create table emp (id number);
alter session set current_schema = scott;
select sys_context('USERENV', 'CURRENT_SCHEMA') cs, sys_context('USERENV', 'SESSION_USER') su,
       user from dual;
select name from emp;
insert into emp values (2, 'JONES');
select count(*) from scott.emp;
select count(*) from system.emp;
create table made_here (x number);
select owner from all_tables where table_name = 'MADE_HERE';
alter session set current_schema = nobody;
alter session set current_schema = 'SCOTT';
alter session set current_schema = system;
select count(*) from emp;
alter session set nls_length_semantics = char;
create table lengths (a varchar2(10), b varchar2(10 byte), c char(2), n number(5));
alter session set nls_length_semantics = byte;
create table lengths_b (a varchar2(10));
select table_name, column_name, char_used, char_length, data_length from user_tab_columns
where table_name in ('LENGTHS', 'LENGTHS_B') order by table_name, column_id;
insert into lengths (a) values ('ääääääääää');
insert into lengths_b (a) values ('ääääää');
alter session set nls_length_semantics = words;
alter session set nls_sort = binary;
alter session set nls_comp = 'BINARY';
alter session set nls_sort = german;
alter session set no_such_option = 1;
