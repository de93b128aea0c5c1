-- The GRANTOR Oracle records: the owner for its own grants and for grants made with GRANT ANY
-- OBJECT PRIVILEGE (on the owner's behalf), the user for grants resting on its grant option;
-- REVOKE takes back what the revoker (or, with GRANT ANY OBJECT PRIVILEGE, the owner) granted.
create user own identified by o;
create user agent identified by a;
create user holder identified by h;
create user target identified by t;
create role viewer;
grant create session, create table to own;
grant create session, grant any object privilege to agent;
grant create session to holder, target;
connect own/o
create table t (id number, note varchar2(10));
grant select on t to holder with grant option;
grant update (note) on t to holder with grant option;
connect agent/a
-- on the owner's behalf: OWN is the grantor
grant select, insert on own.t to target;
grant update (id) on own.t to target;
-- a role cannot receive the grant option
grant select on own.t to viewer with grant option;
grant select on own.t to viewer;
connect holder/h
-- on its own grant option: HOLDER is the grantor
grant select on own.t to viewer;
grant update (note) on own.t to target;
-- no grant option for INSERT, nor for UPDATE of ID
grant insert on own.t to target;
grant update (id) on own.t to target;
-- no granting to oneself
grant select on own.t to holder;
connect system/manager
select grantee, grantor, privilege, grantable from dba_tab_privs
where owner = 'OWN' order by grantee, grantor, privilege;
select grantee, grantor, column_name, privilege from dba_col_privs
where owner = 'OWN' order by grantee, grantor, column_name;
connect holder/h
-- HOLDER revokes only what HOLDER granted
revoke insert on own.t from target;
revoke update on own.t from target;
connect agent/a
-- with GRANT ANY OBJECT PRIVILEGE, what OWN granted (or was granted on its behalf)
revoke select on own.t from holder;
revoke insert on own.t from target;
connect system/manager
select grantee, grantor, privilege from dba_tab_privs where owner = 'OWN'
order by grantee, grantor, privilege;
select grantee, grantor, column_name, privilege from dba_col_privs where owner = 'OWN'
order by grantee, grantor, column_name;
