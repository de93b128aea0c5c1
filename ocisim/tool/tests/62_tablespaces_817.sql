-- ocisim-version: 8.1.7
-- Release 8.1: DBA_TABLESPACES has no BLOCK_SIZE, FORCE_LOGGING or SEGMENT_SPACE_MANAGEMENT;
-- no SYSAUX; tablespaces are dictionary managed.
select * from dba_tablespaces order by 1;
create table t8 (id number) tablespace sysaux;
create table t8 (id number) tablespace users;
select table_name, tablespace_name from user_tables where table_name = 'T8';
