-- ocisim-version: 8.1.7
-- Release 8.1 has global temporary tables; OR REPLACE SYNONYM is still refused.
create global temporary table g (id number) on commit preserve rows;
insert into g values (1);
select id from g;
select table_name, temporary, duration from user_tables;
create synonym gs for g;
create or replace synonym gs for g;
select count(*) from gs;
