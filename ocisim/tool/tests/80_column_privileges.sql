-- Column privileges: GRANT INSERT / UPDATE / REFERENCES (columns) shows in the _COL_PRIVS views,
-- not in ALL_TAB_PRIVS; UPDATE and INSERT are checked column by column; REVOKE takes a privilege
-- from every column at once; dropped columns lose their grants and renamed ones keep them.
create user owner1 identified by o;
create user clerk identified by c;
create user helper identified by h;
create role col_role;
grant create session, create table to owner1;
grant create session, create table to clerk;
grant create session to helper;
connect owner1/o
create table emp (id number primary key, name varchar2(20), salary number, grade number);
insert into emp values (1, 'ANN', 100, 1);
grant select on emp to clerk;
grant update (salary, grade), insert (id, name) on emp to clerk;
grant references (id) on emp to clerk with grant option;
grant update (name) on emp to col_role;
-- only INSERT, UPDATE and REFERENCES take columns; the columns must exist, once each
grant select (name) on emp to clerk;
grant update (bonus) on emp to clerk;
grant update (salary, salary) on emp to clerk;
grant update (name) on emp to col_role with grant option;
select grantee, table_name, column_name, privilege, grantable from user_col_privs
order by grantee, column_name, privilege;
select grantee, privilege from user_tab_privs where table_name = 'EMP' order by 1, 2;
select count(*) c from all_tab_privs where table_name = 'EMP' and privilege <> 'SELECT';
connect clerk/c
update owner1.emp set salary = 110 where id = 1;
update owner1.emp set salary = 120, grade = 2 where id = 1;
update owner1.emp set name = 'BOB' where id = 1;
update owner1.emp set salary = 130, name = 'BOB' where id = 1;
insert into owner1.emp (id, name) values (2, 'CID');
insert into owner1.emp (id, name, salary) values (3, 'DAN', 1);
insert into owner1.emp values (4, 'EVE', 1, 1);
delete from owner1.emp;
select id, name, salary, grade from owner1.emp order by id;
-- REFERENCES (id) lets a foreign key point at the key
create table bonus (emp_id number references owner1.emp (id), amount number);
-- the grant option of a column privilege passes that column on
grant references (id) on owner1.emp to helper;
grant update (salary) on owner1.emp to helper;
select grantor, grantee, table_schema, table_name, column_name, privilege, grantable
from all_col_privs order by grantee, column_name, privilege;
select owner, table_name, column_name, grantor, privilege from user_col_privs_recd
order by column_name, privilege;
connect owner1/o
select grantee, column_name, privilege from all_col_privs_made
order by grantee, column_name, privilege;
-- REVOKE names no columns, and takes the privilege from every column
revoke update (salary) on emp from clerk;
revoke update on emp from clerk;
select grantee, column_name, privilege from user_col_privs order by 1, 2, 3;
-- a renamed column keeps its grants; a dropped one loses them
grant update (grade, salary) on emp to helper;
alter table emp rename column name to full_name;
alter table emp drop column grade;
grant update (grade) on emp to helper;
select grantee, column_name, privilege from user_col_privs order by 1, 2, 3;
connect clerk/c
update owner1.emp set salary = 1 where id = 1;
insert into owner1.emp (id, full_name) values (5, 'FAY');
