-- ALL_DEPENDENCIES: views reference the tables, views, sequences and functions of their query;
-- a trigger its table or view; a body its specification; a type the types of its attributes; a
-- table the types of its columns. DROP VIEW takes the view's INSTEAD OF triggers with it.
-- ALL_TRIGGER_COLS lists the columns of UPDATE OF.
create table base_t (id number, amount number);
create view v1 as select id, amount from base_t;
create view v2 as select a.id from v1 a join base_t b on b.id = a.id where exists (select 1 from v1);
create view v3 as select id from base_t union select id from v1;
create or replace function twice (p number) return number is
begin
  return p * 2;
end;
/
create or replace trigger v1_ins instead of insert on v1
begin
  null;
end;
/
create or replace trigger base_bi before insert on base_t for each row
begin
  null;
end;
/
create or replace trigger base_au after update of amount, id on base_t for each row
begin
  null;
end;
/
select trigger_name, column_name, column_list from all_trigger_cols
 where trigger_owner = 'SYSTEM' order by 1, 2;
select triggering_event from user_triggers where trigger_name = 'BASE_AU';
create or replace package pk as
  procedure p;
end;
/
create or replace package body pk as
  procedure p is begin null; end;
end;
/
create or replace type point_t as object (x number, y number);
/
create or replace type shape_t as object (origin point_t, name varchar2(20));
/
create or replace type body point_t as
  member function dummy return number is begin return 0; end;
end;
/
create table shapes (id number, shape shape_t);
select name, type, referenced_name, referenced_type from user_dependencies
 order by type, name, referenced_type, referenced_name;
select count(*) from all_dependencies where owner = 'SYSTEM' and referenced_owner = 'SYSTEM';
drop view v1;
select trigger_name from user_triggers order by 1;
select name, referenced_name from user_dependencies where type = 'VIEW' order by 1, 2;
drop type point_t;
drop table shapes;
drop type point_t;
drop type shape_t;
drop type point_t;
