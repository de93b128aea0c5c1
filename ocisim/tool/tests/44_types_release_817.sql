-- ocisim-version: 8.1.7
-- Release 8.1 has the national types, with lengths in bytes of its UTF8 national character
-- set, but neither length semantics nor TIMESTAMP (with or without a time zone).
create table t8 (a varchar2(3 char));
create table t8 (a varchar2(3 byte));
create table t8 (d timestamp);
create table t8 (d timestamp(3));
create table t8 (d timestamp with time zone);
create table t8 (d timestamp with local time zone);
create table t8 (a nvarchar2(10), b nchar(3), c nclob);
select column_name, data_type, data_length, character_set_name from user_tab_columns
where table_name = 'T8' order by column_id;
insert into t8 (a, b) values ('äöüäö', 'ä');
insert into t8 (a) values ('äöüäöü');
select a, length(a) l, lengthb(a) lb, '[' || b || ']' b from t8;
