-- ocisim-version: 8.0.5
-- Release 8.0 has synonyms (without OR REPLACE, which came with release 9) and no global
-- temporary tables (release 8.1).
create table t (id number);
create synonym s for t;
create or replace synonym s for t;
select count(*) from s;
create global temporary table g (id number);
create global temporary table g (id number) on commit preserve rows;
select synonym_name, table_name from user_synonyms;
