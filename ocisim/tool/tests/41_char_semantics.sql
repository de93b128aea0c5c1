-- ocisim-version: 9.2.0
-- Character length semantics in an AL32UTF8 database: a length written "n CHAR" counts
-- characters (CHAR_USED C, DATA_LENGTH 4 bytes a character up to the type's bytes), BYTE or
-- nothing counts bytes (CHAR_USED B).
create table cs (a varchar2(3 char), b char(3 char), c varchar2(3 byte), d varchar2(3),
                 e varchar2(4000 char), f char(2000 char), g char(2));
select column_name, data_type, data_length, char_length, char_used, char_col_decl_length
from user_tab_columns where table_name = 'CS' order by column_id;
insert into cs (a, b, c, d) values ('äää', 'äää', 'abc', 'ä');
insert into cs (a) values ('ääää');
insert into cs (c) values ('ää');
insert into cs (d) values ('€€');
insert into cs (b, g) values ('ä', 'é');
select a, length(a) la, lengthb(a) ba, '[' || b || ']' b, length(b) lb, lengthb(b) bb,
       '[' || g || ']' g, length(g) lg
from cs order by a;
-- The declared length is at most 4000 characters for VARCHAR2 and 2000 for CHAR.
create table cs_long (x varchar2(4001 char));
create table cs_long (x char(2001 char));
insert into cs (e) values (rpad('€', 1333, '€'));
select length(e), lengthb(e) from cs where e is not null;
-- CREATE TABLE AS SELECT and ALTER TABLE keep the semantics as written.
create table cs_copy as select a, c from cs;
alter table cs_copy add (h varchar2(2 char));
alter table cs_copy modify (c varchar2(3 char));
select column_name, data_length, char_length, char_used from user_tab_columns
where table_name = 'CS_COPY' order by column_id;
