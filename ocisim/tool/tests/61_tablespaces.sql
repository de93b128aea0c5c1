-- Tablespaces: SYSTEM, SYSAUX (release 10 on), TEMP and USERS exist from creation; CREATE
-- TABLESPACE keeps the name (no data files); a tablespace that does not exist is ORA-00959
-- for tables, indexes, USING INDEX, users and ALTER TABLE ... MOVE.
select tablespace_name, status, contents, logging, extent_management
from dba_tablespaces order by 1;
create table ts1 (id number) tablespace nosuch;
create table ts1 (id number constraint ts1_pk primary key using index tablespace nosuch);
create table ts1 (id number constraint ts1_pk primary key using index tablespace users);
create index ts1_ix on ts1 (id) tablespace nosuch;
create table ts2 (id number) tablespace temp;
create tablespace app_data datafile '/u01/oradata/app_data01.dbf' size 100m autoextend on next 10m maxsize unlimited;
create tablespace app_data datafile 'again.dbf' size 1m;
create temporary tablespace app_temp tempfile '/u01/oradata/app_temp01.dbf' size 50m;
create tablespace no_file;
select tablespace_name, contents from dba_tablespaces order by 1;
select tablespace_name, contents from user_tablespaces order by 1;
create table ts2 (id number, name varchar2(10)) tablespace app_data;
create index ts2_ix on ts2 (name) tablespace app_data;
alter table ts2 add constraint ts2_pk primary key (id) using index tablespace nosuch;
alter table ts2 add constraint ts2_pk primary key (id) using index tablespace app_data;
select table_name, tablespace_name from user_tables where table_name like 'TS%' order by 1;
select index_name, tablespace_name from user_indexes where table_name like 'TS%' order by 1;
alter table ts1 move tablespace nosuch;
alter table ts1 move tablespace app_data;
alter index ts1_pk rebuild tablespace nosuch;
alter index ts1_pk rebuild tablespace app_data;
select table_name, tablespace_name from user_tables where table_name = 'TS1';
select index_name, tablespace_name, status from user_indexes where table_name = 'TS1';
-- Users: DEFAULT / TEMPORARY TABLESPACE must exist; a user's tables go to its default one.
create user ts_user identified by pw default tablespace nosuch;
create user ts_user identified by pw temporary tablespace nosuch;
create user ts_user identified by pw default tablespace app_temp;
create user ts_user identified by pw default tablespace app_data temporary tablespace app_temp;
create table ts_user.owned (id number constraint owned_pk primary key);
select table_name, tablespace_name from all_tables where owner = 'TS_USER';
select index_name, tablespace_name from all_indexes where owner = 'TS_USER';
alter user ts_user default tablespace nosuch;
alter user ts_user default tablespace users;
create table ts_user.owned2 (id number);
select table_name, tablespace_name from all_tables where owner = 'TS_USER' order by 1;
-- DROP TABLESPACE: one holding objects needs INCLUDING CONTENTS; the built-in ones stay.
drop tablespace app_data;
drop tablespace nosuch;
drop tablespace system;
drop tablespace users;
drop tablespace temp;
drop tablespace sysaux;
drop tablespace app_data including contents and datafiles;
select table_name from user_tables where table_name like 'TS%' order by 1;
drop tablespace app_temp;
select tablespace_name from dba_tablespaces order by 1;
