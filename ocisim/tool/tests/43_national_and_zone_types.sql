-- National character types (AL16UTF16: lengths in characters, 2 bytes each) and the time zone
-- forms of TIMESTAMP keep their own names in the dictionary.
create table nt (a nvarchar2(10), b nchar(5), c nclob, d timestamp with time zone,
                 e timestamp with local time zone, f timestamp, g clob,
                 h timestamp(3) with local time zone);
select column_name, data_type, data_length, data_scale, char_length, char_used,
       character_set_name
from user_tab_columns where table_name = 'NT' order by column_id;
create table nt_bad (x nvarchar2(2001));
create table nt_bad (x nchar(1001));
create table nt_bad (x nvarchar2(10 char));
insert into nt (a, b) values ('äöü', 'ä');
insert into nt (a) values ('äöüäöüäöüäö');
select a, length(a) la, '[' || b || ']' b, length(b) lb from nt;
insert into nt (e) values (timestamp '2020-06-15 10:11:12');
select e from nt where e is not null;
-- The same limits for VARCHAR2 in characters; the message counts characters too.
create table nt_chars (v varchar2(3 char));
insert into nt_chars values ('äöüa');
create table nt_copy as select a, d, e from nt;
select column_name, data_type, data_length from user_tab_columns
where table_name = 'NT_COPY' order by column_id;
