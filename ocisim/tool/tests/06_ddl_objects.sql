-- Indexes with storage and compression, sequences with every option, views (OR REPLACE,
-- FORCE), stored code and triggers kept as source.
create table t (id number constraint t_pk primary key, a varchar2(10), b number, c date);
insert into t values (1, 'x', 1, null);
insert into t values (2, 'x', 2, null);
-- indexes
create index t_ab on t (a, b) pctfree 20 initrans 4 storage (initial 128K next 256K) compress 1;
create unique index t_b on t (b) tablespace users;
select index_name, uniqueness, compression, prefix_length, pct_free, ini_trans,
  initial_extent, next_extent
from all_indexes where owner = user and table_name = 'T' order by index_name;
select index_name, column_name, column_position, descend from all_ind_columns
where index_owner = user and table_name = 'T' order by index_name, column_position;
create index t_ab2 on t (a, b);
create index t_ab on t (c);
create unique index t_a on t (a);
create unique index t_bc on t (b, c) compress 2;
create index t_nosuch on t (nosuch);
drop index t_pk;
drop index nosuch;
drop index t_ab;
select index_name from all_indexes where owner = user and table_name = 'T' order by 1;
-- sequences
create sequence s1 start with 100 increment by 10 minvalue 50 maxvalue 1000 cycle cache 5 order;
create sequence s2;
create sequence s3 start with -1 increment by -1 maxvalue -1 nocache noorder nocycle;
select sequence_name, min_value, max_value, increment_by, cycle_flag, order_flag, cache_size,
  last_number
from all_sequences where sequence_owner = user order by 1;
select s2.nextval from dual connect by level <= 3;
select s1.nextval a, s3.nextval b from dual;
alter sequence s1 maxvalue 2000 nocache;
alter sequence s1 start with 5;
select sequence_name, max_value, cache_size, last_number from all_sequences
where sequence_owner = user order by 1;
select s1.nextval from dual;
create sequence bad1 minvalue 10 maxvalue 5;
create sequence bad2 start with 1 minvalue 5;
create sequence s2;
drop sequence s2;
drop sequence s2;
-- views
create view v1 as select id, a from t where id > 1;
select * from v1;
create view v1 as select id from t;
create or replace view v1 (ident, label) as select id, a from t;
select view_name, text_length, text from all_views where owner = user order by 1;
select column_name, data_type from all_tab_columns
where owner = user and table_name = 'V1' order by column_id;
create view v2 as select * from later_t;
create force view v2 as select * from later_t;
select object_name, object_type, status from all_objects
where owner = user and object_name in ('V1', 'V2') order by 1;
select * from v2;
create table later_t (x number);
select * from v2;
drop view v1;
select count(*) c from all_views where owner = user and view_name = 'V1';
-- stored code is kept as written and shown line by line
create or replace procedure p1 (x in number) as
begin
  null;
end;
/
create or replace function f1 return number is
begin
  return 1;
end f1;
/
create or replace package pk1 as
  procedure run;
end pk1;
/
create or replace package body pk1 as
  procedure run is
  begin
    null;
  end run;
end pk1;
/
create or replace type pt as object (x number, y varchar2(10));
/
create table typed_t (id number, p pt);
select name, type, line, rtrim(text, chr(10)) text from all_source
where owner = user and name in ('P1', 'F1', 'PK1', 'PT') order by name, type, line;
select object_name, object_type from all_objects
where owner = user and object_type in ('PROCEDURE', 'FUNCTION', 'PACKAGE', 'PACKAGE BODY', 'TYPE')
order by 1, 2;
select column_name, data_type, data_type_owner from all_tab_columns
where owner = user and table_name = 'TYPED_T' order by column_id;
drop type pt;
drop procedure p1;
drop function f1;
drop package pk1;
select object_name, object_type from all_objects
where owner = user and object_type in ('PROCEDURE', 'FUNCTION', 'PACKAGE', 'PACKAGE BODY')
order by 1, 2;
-- triggers
create or replace trigger trg1
before insert or update of a on t
for each row
when (new.id > 0)
begin
  :new.a := upper(:new.a);
end;
/
create or replace trigger trg2 after delete on t
begin
  null;
end;
/
select trigger_name, trigger_type, triggering_event, table_name, referencing_names,
  when_clause, status, action_type
from all_triggers where owner = user order by 1;
select line, rtrim(text, chr(10)) text from all_source
where owner = user and name = 'TRG2' order by line;
drop trigger trg2;
select count(*) c from all_triggers where owner = user;
