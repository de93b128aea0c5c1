-- Synonyms: private and PUBLIC, name resolution (own object, then private synonym, then public
-- synonym), privileges checked on the object, invalid and looping synonyms, the dictionary.
create user owner1 identified by o;
grant create session, create table, create view, create sequence, create synonym to owner1;
create user reader identified by r;
grant create session, create synonym to reader;
create user nosyn identified by n;
grant create session to nosyn;
connect owner1/o
create table emp (id number primary key, name varchar2(20));
insert into emp values (1, 'ADAMS');
create sequence emp_seq;
create synonym e for emp;
create synonym es for emp_seq;
create synonym e2 for e;
select id, name from e;
select count(*) from e2;
select es.nextval from dual;
select es.currval from dual;
insert into e values (2, 'BLAKE');
update e2 set name = 'CLARK' where id = 2;
delete from e where id = 1;
select id, name from emp;
-- the name is taken in the schema's namespace
create table e (x number);
create view e as select * from dual;
create synonym emp for emp_seq;
create synonym e for emp_seq;
create or replace synonym e for emp_seq;
select count(*) from e;
create or replace synonym e for emp;
create synonym emp2 for emp2;
create synonym loop_a for loop_b;
create synonym loop_b for loop_a;
select * from loop_a;
create synonym later for missing_table;
select * from later;
create table missing_table (n number);
select count(*) from later;
-- privileges come from the object, not from the synonym
connect system/manager
create public synonym staff for owner1.emp;
create public synonym dual for sys.dual;
create synonym owner1.by_dba for owner1.emp;
connect reader/r
select count(*) from staff;
select count(*) from owner1.e;
connect owner1/o
grant select on emp to reader;
connect reader/r
select id, name from staff;
select id, name from owner1.e;
select id, name from owner1.by_dba;
create synonym my_emp for owner1.emp;
select id, name from my_emp;
insert into staff values (3, 'DAVIS');
create public synonym other for owner1.emp;
create synonym owner1.mine for owner1.emp;
drop synonym owner1.e;
drop public synonym staff;
connect nosyn/n
create synonym x for owner1.emp;
-- own object first, then the private synonym, then the public one
connect owner1/o
create table staff (id number);
select count(*) from staff;
drop table staff;
select count(*) from staff;
-- the dictionary
select synonym_name, table_owner, table_name, db_link from user_synonyms order by synonym_name;
select owner, synonym_name, table_owner, table_name from all_synonyms
 where owner in ('OWNER1', 'PUBLIC', 'READER') order by owner, synonym_name;
select object_name, object_type, status from user_objects where object_type = 'SYNONYM'
 order by object_name;
select owner, object_name, object_type from all_objects where object_name = 'STAFF';
select table_name, table_type from user_catalog order by table_name;
connect reader/r
select owner, synonym_name from all_synonyms where owner in ('OWNER1', 'READER', 'PUBLIC')
 order by owner, synonym_name;
select count(*) from dba_synonyms;
-- dropping the object keeps the synonym, which no longer translates
connect owner1/o
drop table emp;
select * from e;
select object_name, status from user_objects where object_type = 'SYNONYM' and object_name = 'E';
create table emp (id number, name varchar2(20));
select count(*) from e;
select object_name, status from user_objects where object_type = 'SYNONYM' and object_name = 'E';
drop synonym e2;
drop synonym e2;
drop public synonym e;
drop synonym sys.nothing;
create synonym linked for emp@remote;
-- dropping the user drops its private synonyms; public ones naming its objects stay
connect system/manager
drop user owner1 cascade;
select owner, synonym_name from dba_synonyms where table_owner = 'OWNER1' order by 1, 2;
drop public synonym staff;
drop public synonym staff;
