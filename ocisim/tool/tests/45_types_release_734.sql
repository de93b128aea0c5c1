-- ocisim-version: 7.3.4
-- Release 7.3 has no national character types and no LOBs.
create table t7 (a nvarchar2(10));
create table t7 (b nchar(3));
create table t7 (c nclob);
create table t7 (d clob);
create table t7 (e blob);
create table t7 (f bfile);
create table t7 (a varchar2(10), b char(3));
select column_name, data_type, data_length from user_tab_columns
where table_name = 'T7' order by column_id;
