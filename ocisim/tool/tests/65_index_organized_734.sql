-- ocisim-version: 7.3.4
-- Release 7.3 has no index-organized tables: the ORGANIZATION clause is ORA-00922, as in
-- Oracle 7.
create table iot7 (id number primary key, name varchar2(10)) organization index;
create table iot7 (id number primary key, name varchar2(10));
select table_name from user_tables where table_name = 'IOT7';
