-- COMMENT ON shows in ALL_/USER_TAB_COMMENTS and ALL_/USER_COL_COMMENTS; every table, view and
-- column has a row, NULL without a comment.
create table cm (id number, name varchar2(10));
create view cm_v as select id from cm;
comment on table cm is 'People''s table';
comment on column cm.name is 'Full name';
comment on table cm_v is 'Ids only';
select table_name, table_type, comments from user_tab_comments
where table_name like 'CM%' order by 1;
select table_name, column_name, comments from user_col_comments
where table_name like 'CM%' order by 1, 2;
select owner, comments from all_tab_comments where table_name = 'CM';
comment on column cm.name is '';
comment on table cm is 'Changed';
select column_name, comments from all_col_comments where owner = user and table_name = 'CM'
order by 1;
select comments from user_tab_comments where table_name = 'CM';
drop table cm;
select count(*) from user_col_comments where table_name = 'CM';
