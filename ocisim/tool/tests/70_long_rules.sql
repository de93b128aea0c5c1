-- A LONG (or LONG RAW) may be selected, inserted with VALUES and updated with SET; everything
-- else refuses it, the dictionary's own LONG columns included. IS [NOT] NULL is allowed.
create table notes (id number, body long);
insert into notes values (1, 'first note');
insert into notes values (2, null);
update notes set body = 'second note' where id = 2;
select id, body from notes order by id;
select id from notes where body is not null order by id;
-- Functions, expressions and conditions.
select upper(body) from notes;
select length(body) from notes;
select substr(body, 1, 5) from notes;
select nvl(body, 'x') from notes;
select body || '!' from notes;
select id from notes where body like '%first%';
select id from notes where body = 'first note';
select id from notes where body in ('a', 'b');
select id from notes where body between 'a' and 'z';
select count(body) from notes;
select case when id = 1 then body end from notes;
-- Clauses.
select body from notes order by body;
select body from notes order by 1;
select distinct body from notes;
select body from notes group by body;
select body from notes union all select body from notes;
select id from notes where id = (select body from notes where id = 1);
create table copy_notes as select * from notes;
create table copy_ids as select id from notes;
insert into copy_ids select body from notes;
-- One LONG per table.
create table two_longs (a long, b long raw);
create table long_and_raw (a long raw, b long);
alter table notes add (more long);
alter table notes add (picture long raw);
-- A view over a LONG keeps it a LONG.
create view note_view as select id, body from notes;
select body from note_view where id = 1;
select id from note_view where body like 'f%';
-- The dictionary's LONG columns: read only by selecting them.
create table checked (n number constraint n_positive check (n > 0), d date default sysdate);
select constraint_name, search_condition from user_constraints
where table_name = 'CHECKED' and search_condition is not null;
select constraint_name from user_constraints where search_condition like '%n > 0%';
select upper(search_condition) from user_constraints where table_name = 'CHECKED';
select column_name, data_default from user_tab_columns
where table_name = 'CHECKED' and data_default is not null;
select column_name from user_tab_columns where data_default = 'sysdate';
select view_name, text from user_views;
select view_name from user_views where text like '%notes%';
select length(text) from user_views;
select text from user_views order by text;
