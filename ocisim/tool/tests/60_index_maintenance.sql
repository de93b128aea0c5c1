-- Index and view maintenance: ALTER INDEX ... RENAME TO / REBUILD [TABLESPACE] / UNUSABLE,
-- ALTER TABLE ... RENAME CONSTRAINT (the key's index keeps its name), ALTER TABLE ... MOVE
-- (the indexes of the table are UNUSABLE until rebuilt), USING INDEX (CREATE INDEX ...) and
-- USING INDEX name (the key uses that index, and dropping the key keeps it).
create table im (id number constraint im_pk primary key, code varchar2(5), name varchar2(20));
create index im_name on im (name);
insert into im values (1, 'A', 'one');
alter index im_name rename to im_name_ix;
select index_name, status from user_indexes where table_name = 'IM' order by 1;
alter index im_pk rename to im_pk_ix;
select constraint_name, index_name from user_constraints where table_name = 'IM';
alter index im_name_ix rename to im_pk_ix;
alter index nosuch rename to im_x;
alter index im_name_ix rebuild;
alter index im_name_ix rebuild tablespace system pctfree 20;
select index_name, tablespace_name, pct_free, status from user_indexes where table_name = 'IM'
order by 1;
alter table im rename constraint im_pk to im_key;
select constraint_name, constraint_type, index_name from user_constraints where table_name = 'IM';
alter table im rename constraint nosuch to im_x;
alter table im rename constraint im_key to im_key;
alter table im move;
select index_name, status from user_indexes where table_name = 'IM' order by 1;
select * from im;
alter index im_pk_ix rebuild;
alter index im_name_ix rebuild;
alter table im move tablespace system;
select table_name, tablespace_name from user_tables where table_name = 'IM';
select index_name, status from user_indexes where table_name = 'IM' order by 1;
alter index im_pk_ix rebuild;
alter index im_name_ix unusable;
select index_name, status from user_indexes where table_name = 'IM' order by 1;
alter index im_name_ix rebuild;
select object_name, object_type from user_objects where object_name like 'IM%' order by 1;
-- USING INDEX (CREATE INDEX ...): the key is enforced through the index it names; dropping the
-- key keeps that index.
create table iu (a number, b number,
  constraint iu_pk primary key (a) using index (create unique index iu_a_ix on iu (a)));
select constraint_name, index_name from user_constraints where table_name = 'IU';
select index_name, uniqueness from user_indexes where table_name = 'IU';
insert into iu values (1, 1);
insert into iu values (1, 2);
alter table iu add constraint iu_b_uk unique (b) using index (create index iu_b_ix on iu (b));
select constraint_name, index_name from user_constraints where table_name = 'IU' order by 1;
insert into iu values (2, 1);
alter table iu drop primary key;
alter table iu drop constraint iu_b_uk;
select index_name, uniqueness from user_indexes where table_name = 'IU' order by 1;
-- USING INDEX name: an index that exists already.
alter table iu add constraint iu_pk2 primary key (a) using index iu_a_ix;
select constraint_name, index_name from user_constraints where table_name = 'IU';
drop index iu_a_ix;
-- An index that cannot enforce the key.
create table iw (a number, b number,
  constraint iw_pk primary key (a) using index (create index iw_ix on iw (b)));
create table iw (a number, b number,
  constraint iw_pk primary key (a) using index (create index iw_ix on other_table (a)));
create table iw (a number, b number,
  constraint iw_pk primary key (a) using index (create index iw_ix on iw (c)));
-- ALTER VIEW ... COMPILE.
create view im_v as select id, name from im;
alter view im_v compile;
alter view nosuch_v compile;
