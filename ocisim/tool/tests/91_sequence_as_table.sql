-- A sequence named where a table belongs (a query's FROM, INSERT INTO, UPDATE, DELETE FROM, a
-- view's query) is ORA-02201, named alone, with its schema or through a synonym; to a user who
-- may not see it, it does not exist (ORA-00942). None of these statements draws a number.
create sequence s;
select * from s;
select s.nextval from s;
select count(*) from dual, s;
select * from (select dummy from dual) d, system.s;
insert into s values (1);
insert into s select 1 from dual;
update s set x = 1;
delete from s;
delete s;
create view sv as select * from s;
create synonym ps for s;
select * from ps;
create public synonym pubs for s;
create user seqreader identified by r;
grant create session to seqreader;
connect seqreader/r
select * from system.s;
select * from pubs;
delete from system.s;
connect system/manager
grant select on s to seqreader;
connect seqreader/r
select * from system.s;
select * from pubs;
update system.s set x = 1;
select system.s.nextval from dual;
connect system/manager
select s.nextval from dual;
create table s2 (n number);
insert into s2 select s.nextval from dual;
select * from s2;
drop public synonym pubs;
