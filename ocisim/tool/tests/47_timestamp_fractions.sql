-- TIMESTAMP literals take a fraction of up to nine digits; SYSTIMESTAMP has microseconds.
create table tf (t timestamp, t3 timestamp(3));
insert into tf values (timestamp '2020-06-15 10:11:12.5', timestamp '2020-06-15 10:11:12.123456');
insert into tf (t) values (timestamp '2020-06-15 10:11:12');
select to_char(t, 'YYYY-MM-DD HH24:MI:SS.FF6') t, to_char(t3, 'HH24:MI:SS.FF3') t3 from tf
order by t;
select count(*) from dual where timestamp '2020-06-15 10:11:12.25' > timestamp '2020-06-15 10:11:12';
select count(*) from dual where to_char(systimestamp, 'FF6') between '000000' and '999999'
and length(to_char(systimestamp, 'FF')) = 6;
