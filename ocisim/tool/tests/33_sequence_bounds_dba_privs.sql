-- ALTER SEQUENCE keeps the current value inside the new bounds (ORA-04007 for a MINVALUE above
-- it, ORA-04009 for a MAXVALUE below it), and DBA_SYS_PRIVS / DBA_ROLE_PRIVS show another
-- user's own grants to a DBA.
create sequence s start with 10 nocache;
select s.nextval from dual;
alter sequence s minvalue 50;
alter sequence s maxvalue 5;
alter sequence s minvalue 5 maxvalue 100 increment by 2;
select s.nextval from dual;
select min_value, max_value, increment_by, last_number from user_sequences where sequence_name = 'S';
create sequence d increment by -1 start with -10 maxvalue -1 minvalue -100 nocache;
select d.nextval from dual;
alter sequence d maxvalue -20;
alter sequence d minvalue -5;
create user pv identified by pv;
grant create session, create table to pv;
grant create view to pv with admin option;
create role pv_role;
grant pv_role to pv;
select privilege, admin_option from dba_sys_privs where grantee = 'PV' order by 1;
select granted_role, admin_option, default_role from dba_role_privs where grantee = 'PV';
select count(*) from user_sys_privs where privilege = 'CREATE VIEW';
