-- Oracle's rules for NULL, CHAR and number text, implicit conversions, DATE, TIMESTAMP and RAW.
create table nulls_t (id number, s varchar2(10), n number);
insert into nulls_t values (1, 'b', 20);
insert into nulls_t values (2, '', null);
insert into nulls_t values (3, 'a', 10);
insert into nulls_t (id) values (4);
-- '' is NULL, in a literal and when stored
select count(*) c from nulls_t where s is null;
select count(*) c from nulls_t where s = '';
select nvl(length(''), -1) l, nvl('', 'was null') v from dual;
-- || ignores a NULL operand; only NULL || NULL is NULL
select 'x' || null || 'y' a, nvl(null || null, 'null') b, null || 5 c from dual;
-- NULLs sort last ascending and first descending, unless told otherwise
select id, s from nulls_t order by s, id;
select id, s from nulls_t order by s desc, id;
select id, n from nulls_t order by n nulls first, id desc;
select id, n from nulls_t order by n desc nulls last, id;
-- comparisons with NULL are never true; aggregates skip NULLs
select count(*) c from nulls_t where n <> 10;
select count(n) cn, count(*) c, sum(n) s, avg(n) a, min(s) mi, max(s) ma from nulls_t;
select count(*) c from nulls_t where n not in (10, null);
-- CHAR is blank-padded; literals compare blank-padded with CHAR, VARCHAR2 compares exactly
create table chars_t (c char(5), v varchar2(5));
insert into chars_t values ('ab', 'ab');
select '[' || c || ']' c, '[' || v || ']' v, length(c) lc, length(v) lv from chars_t;
select count(*) c from chars_t where c = 'ab';
select count(*) c from chars_t where c = 'ab   ';
select count(*) c from chars_t where v = 'ab ';
select count(*) c from chars_t where c = v;
select count(*) c from chars_t where rtrim(c) = v;
select count(*) c from dual where 'ab' = 'ab  ';
-- numbers as text
select .5 a, -.5 b, 100 c, 1.5 d, 1.50 e, 0.0 f, 1e3 g, -0.25 * 2 h from dual;
select to_char(.5) a, to_char(-.5) b, to_char(100) c, to_char(1/4) d, to_char(1/3) e from dual;
select 7 || '' a, 1.10 || 'x' b, - 0.001 c from dual;
-- implicit conversions
select '5' + 3 a, '2.5' * 2 b, 10 || 20 c, '1e2' + 0 d, ' 7 ' + 1 e from dual;
select count(*) c from nulls_t where id = '3';
select 'x' + 1 from dual;
select to_number('1,5') from dual;
select count(*) c from nulls_t where id = 'one';
-- DATE with the session's NLS_DATE_FORMAT
create table dates_t (id number, d date, ts timestamp);
insert into dates_t values (1, to_date('2020-01-15 10:30:00', 'YYYY-MM-DD HH24:MI:SS'),
  to_date('2020-01-15 10:30:00', 'YYYY-MM-DD HH24:MI:SS'));
insert into dates_t (id, d) values (2, '31-DEC-99');
select id, d from dates_t order by id;
alter session set nls_date_format = 'YYYY-MM-DD HH24:MI:SS';
select id, d from dates_t order by id;
insert into dates_t (id, d) values (3, '2021-03-04 05:06:07');
select d + 1 tomorrow, d - 0.5 half_day_before, trunc(d) day from dates_t where id = 3;
select to_date('2020-03-01', 'YYYY-MM-DD') - to_date('2020-02-01', 'YYYY-MM-DD') feb from dual;
select count(*) c from dates_t where d > '2020-06-01 00:00:00';
select to_date('ab-01-2020', 'DD-MM-YYYY') from dual;
select to_date('15-01-2020 x', 'DD-MM-YYYY') from dual;
insert into dates_t (id, d) values (4, 'tomorrow');
alter session set nls_date_format = 'DD-MON-RR';
select to_char(d, 'DD-MON-YYYY') d, d + 0 plain from dates_t where id = 2;
-- TIMESTAMP
alter session set nls_timestamp_format = 'YYYY-MM-DD HH24:MI:SS.FF';
select ts from dates_t where id = 1;
-- RAW: hexadecimal text in and out
create table raws_t (id number, r raw(4));
insert into raws_t values (1, '0aFF');
insert into raws_t values (2, 'DEADBEEF');
select id, r from raws_t order by id;
insert into raws_t values (3, 'XYZ');
insert into raws_t values (4, '0102030405');
