-- ocisim-version: 9.2.0
-- Before release 10.2 the CONNECT role holds ALTER SESSION, CREATE CLUSTER, CREATE DATABASE
-- LINK, CREATE SEQUENCE, CREATE SESSION, CREATE SYNONYM, CREATE TABLE and CREATE VIEW.
-- A user who is connected cannot be dropped (ORA-01940); once its session has ended it can.
select privilege from dba_sys_privs where grantee = 'CONNECT' order by privilege;
create user app identified by app;
grant connect to app;
grant drop user to app;
connect app/app
select privilege from session_privs order by privilege;
create table t (x number);
create view v as select * from t;
create sequence q;
create synonym ts for t;
create procedure p as begin null; end;
/
create user other identified by o;
drop user app;
drop user app cascade;
connect system/manager
drop user app;
drop user app cascade;
select count(*) c from dba_objects where owner = 'APP';
create user later identified by l;
grant connect to later;
connect later/l
connect system/manager
drop user later;
