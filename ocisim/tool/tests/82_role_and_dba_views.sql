-- The ROLE_ and SESSION_ views show the roles a session holds and what they bring; the DBA_
-- views answer only a DBA or a holder of SELECT ANY DICTIONARY (ORA-00942 for anyone else).
create user rv identified by r;
create user reader identified by r;
create role base_role;
create role top_role identified by secret;
grant create session to rv, reader;
grant create table to base_role;
grant base_role to top_role with admin option;
grant top_role to rv;
grant select any dictionary to reader;
create table system_t (n number);
grant select on system_t to base_role;
grant update (n) on system_t to base_role;
connect rv/r
select role, granted_role, admin_option from role_role_privs order by 1, 2;
select role, privilege, admin_option from role_sys_privs order by 1, 2;
select role, owner, table_name, column_name, privilege from role_tab_privs order by 1, 4, 5;
select role from session_roles order by 1;
select privilege from session_privs order by 1;
select count(*) c from dba_tab_privs;
select count(*) c from dba_objects;
select count(*) c from dba_roles;
select count(*) c from dba_col_privs;
connect reader/r
select role, password_required, authentication_type, oracle_maintained from dba_roles
order by 1;
select owner, object_name, object_type from dba_objects where owner = 'SYSTEM' order by 2;
select owner, table_name from dba_tables where table_name = 'SYSTEM_T';
select count(*) c from all_tables where table_name = 'SYSTEM_T';
select grantee, owner, table_name, column_name, privilege from dba_col_privs;
select grantee, granted_role from dba_role_privs where grantee = 'RV';
select privilege from session_privs order by 1;
connect system/manager
select count(*) c from session_privs where privilege in ('SELECT ANY DICTIONARY', 'CREATE USER');
