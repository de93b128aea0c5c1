-- A view keeps its query with each * replaced by the columns it stood for, so it goes on
-- working when its table gains a column.
create table vs (id number, name varchar2(10));
create table vs2 (id2 number, note varchar2(10));
create view vs_all as select * from vs;
create view vs_some (k, n, f) as select v.*, 'x' flag from vs v where id > 0;
create view vs_join as select a.*, b.note from vs a, vs2 b where a.id = b.id2;
create view vs_both as select a.*, b.* from vs a join vs2 b on a.id = b.id2;
select view_name, text from user_views where view_name like 'VS%' order by 1;
insert into vs values (1, 'one');
alter table vs add (extra number);
select * from vs_all;
select * from vs_some;
select column_name from user_tab_columns where table_name = 'VS_ALL' order by column_id;
-- PL/SQL variables take up to 32767 bytes.
set serveroutput on
declare
  big varchar2(32767);
  c char(5000);
begin
  big := rpad('x', 20000, 'x');
  c := 'y';
  dbms_output.put_line(length(big) || ' ' || length(c));
end;
/
