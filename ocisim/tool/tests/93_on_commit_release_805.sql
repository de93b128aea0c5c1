-- ocisim-version: 8.0.5
-- Before release 8.1 there are no temporary tables and CREATE TABLE has no ON COMMIT clause.
create table t (x number) on commit delete rows;
create table t (x number) on commit preserve rows;
create table t2 on commit preserve rows as select 1 a from dual;
create table t3 (x number) tablespace users;
select table_name from user_tables order by table_name;
