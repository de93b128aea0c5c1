-- ocisim-version: 8.1.7
-- Before release 9 there is no GRANT ANY OBJECT PRIVILEGE nor SELECT ANY DICTIONARY; column
-- privileges and the DBA_ views (for the DBA role) are there, without the later columns.
create user old identified by o;
grant create session, create table to old;
grant select any dictionary to old;
grant grant any object privilege to old;
connect old/o
create table t (a number, b number);
grant update (b) on t to system;
grant select on t to system;
select * from user_col_privs;
select count(*) c from dba_tab_privs;
connect system/manager
select * from all_col_privs;
select * from dba_tab_privs where owner = 'OLD';
select hierarchy from dba_tab_privs;
select * from dba_roles order by role;
select count(*) c from session_privs where privilege = 'SELECT ANY DICTIONARY';
