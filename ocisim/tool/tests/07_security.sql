-- Users, roles, system and object privileges, and what another user may then see and do.
create user alice identified by a1;
create user bob identified by b1;
create user carol identified by c1;
create role reader;
grant create session to alice;
grant create session, create table, create view to bob;
grant create sequence to bob with admin option;
grant reader to bob;
create user alice identified by again;
grant select on nosuch to bob;
connect bob/b1
create table bob_t (id number, secret varchar2(10));
insert into bob_t values (1, 's');
grant select on bob_t to reader;
grant insert, update on bob_t to alice with grant option;
select privilege, admin_option from user_sys_privs order by 1;
select granted_role, admin_option from user_role_privs order by 1;
select count(*) c from bob_t;
connect alice/a1
select user from dual;
select * from bob.bob_t;
select * from bob_t;
insert into bob.bob_t values (2, 'a');
update bob.bob_t set secret = 'b';
delete from bob.bob_t;
create table alice_t (n number);
grant insert on bob.bob_t to nobody_at_all;
grant insert on bob.bob_t to reader;
select grantor, grantee, table_schema, table_name, privilege, grantable from all_tab_privs
where table_name = 'BOB_T' order by grantee, privilege;
select count(*) c from all_tables where table_name = 'BOB_T';
connect bob/b1
select grantor, grantee, privilege, grantable from all_tab_privs
where table_name = 'BOB_T' order by grantee, privilege;
select id, secret from bob_t order by id;
grant create sequence to alice;
grant create table to alice;
connect alice/a1
select privilege, admin_option from user_sys_privs order by 1;
create sequence alice_seq;
connect system/manager
-- revoking an object privilege takes the grants made with it; system privileges stay
revoke insert on bob.bob_t from alice;
revoke create sequence from bob;
-- SYSTEM created the role READER, so it holds it and sees the grants made to it
select grantor, grantee, privilege from all_tab_privs
where table_schema = 'BOB' order by grantee, privilege;
connect bob/b1
select grantor, grantee, privilege from all_tab_privs
where table_name = 'BOB_T' order by grantee, privilege;
connect alice/a1
select privilege from user_sys_privs order by 1;
insert into bob.bob_t values (3, 'c');
connect system/manager
grant reader to alice with admin option;
connect alice/a1
select count(*) c from bob.bob_t;
grant reader to carol;
connect carol/c1
connect system/manager
grant create session to carol;
connect carol/c1
select granted_role, admin_option from user_role_privs order by 1;
select count(*) c from bob.bob_t;
connect system/manager
drop user bob;
drop user bob cascade;
select username from all_users where username in ('ALICE', 'BOB', 'CAROL') order by 1;
alter user alice identified by a2;
connect alice/a1
connect alice/a2
select user from dual;
