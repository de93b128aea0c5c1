-- The scalar function library and sequences.
select decode(1, 1, 'one', 2, 'two', 'other') a, decode(3, 1, 'one', 'other') b,
  decode(3, 1, 'one') c, decode(null, null, 'nulls match', 'no') d from dual;
select nvl(null, 0) a, nvl2(null, 'a', 'b') b, nvl2(0, 'a', 'b') c, coalesce(null, '', 'c') d,
  nullif(1, 1) e, nullif(1, 2) f from dual;
-- text
select substr('Oracle', 2) a, substr('Oracle', -3) b, substr('Oracle', 0, 2) c,
  substr('Oracle', -3, 2) d, nvl(substr('Oracle', 2, 0), 'null') e,
  nvl(substr('Oracle', 10), 'null') f from dual;
select instr('banana', 'an') a, instr('banana', 'an', 3) b, instr('banana', 'an', 1, 2) c,
  instr('banana', 'an', -1) d, instr('banana', 'x') e, instr('banana', 'a', -1, 2) f from dual;
select length('abc ') a, nvl(length(null), -1) b, upper('MiXed') c, lower('MiXed') d from dual;
select initcap('hELLO wORLD-foo bar_baz') a, initcap('o''neil 2nd') b from dual;
select ltrim('xxabcxx', 'x') a, rtrim('xxabcxx', 'x') b, '[' || trim('  a b  ') || ']' c,
  trim(leading '0' from '00120') d, trim(trailing '0' from '00120') e,
  trim(both 'x' from 'xaxx') f, ltrim('abcba', 'ab') g from dual;
select lpad('abc', 5, '*') a, lpad('abc', 2) b, rpad('abc', 6, 'xy') c, '[' || lpad('7', 3) || ']' d
from dual;
select replace('banana', 'a', 'o') a, replace('banana', 'a') b, replace('abc', null, 'x') c,
  translate('hello', 'el', 'ip') d, translate('a-b-c', 'a-', 'A') e from dual;
select chr(65) || chr(66) a, ascii('a') b, ascii('ab') c from dual;
-- numbers
select trunc(15.79, 1) a, trunc(15.79) b, trunc(15.79, -1) c, round(15.75, 1) d, round(-2.5) e,
  round(2.5) f, round(1234.5, -2) g from dual;
select mod(17, 5) a, mod(-17, 5) b, mod(17, -5) c, mod(5, 0) d, mod(5.5, 2) e from dual;
select abs(-3.5) a, floor(-2.5) b, ceil(-2.5) c, ceil(2.1) d, sign(0) e, sign(-0.1) f,
  power(2, 10) g, sqrt(16) h from dual;
select greatest(3, 10, 7) a, greatest('apple', 'banana') b, least('b', 'a', 'c') c,
  nvl(greatest(1, null), -1) d, greatest('10', 9) e, least(10, '9') f from dual;
-- formats
select '[' || to_char(1234.567, '9999.99') || ']' a, '[' || to_char(1234.5, '9,999.00') || ']' b,
  '[' || to_char(5, '000') || ']' c, '[' || to_char(12345, '999') || ']' d,
  '[' || to_char(.5, '0.99') || ']' e, to_char(1234, 'FM9,999') f,
  '[' || to_char(-5, '999') || ']' g from dual;
select to_number('1,234.50', '9,999.99') a, to_number('  42') b, to_number('-1.5e2') c from dual;
select to_char(to_date('2020-02-29 13:45:00', 'YYYY-MM-DD HH24:MI:SS'),
  'DY fmDay Month DD, YYYY') a,
  to_char(to_date('2020-02-29 13:45:00', 'YYYY-MM-DD HH24:MI:SS'), 'DDD Q WW HH:MI AM SSSSS J') b
from dual;
select '[' || to_char(to_date('2020-02-29', 'YYYY-MM-DD'), 'Day') || ']' a,
  '[' || to_char(to_date('2020-02-29', 'YYYY-MM-DD'), 'Month') || ']' b from dual;
select to_char(to_date('01-JAN-49', 'DD-MON-RR'), 'YYYY') a,
  to_char(to_date('01-JAN-50', 'DD-MON-RR'), 'YYYY') b from dual;
select to_date('2020-13-01', 'YYYY-MM-DD') from dual;
select to_date('2020-02-30', 'YYYY-MM-DD') from dual;
-- dates
alter session set nls_date_format = 'YYYY-MM-DD HH24:MI';
select trunc(to_date('2020-02-29 13:45', 'YYYY-MM-DD HH24:MI'), 'MM') a,
  trunc(to_date('2020-02-29 13:45', 'YYYY-MM-DD HH24:MI'), 'YYYY') b,
  round(to_date('2020-02-29 13:45', 'YYYY-MM-DD HH24:MI')) c,
  round(to_date('2020-02-29 13:45', 'YYYY-MM-DD HH24:MI'), 'MM') d from dual;
select add_months(to_date('2020-01-31', 'YYYY-MM-DD'), 1) a,
  add_months(to_date('2020-02-29', 'YYYY-MM-DD'), 12) b,
  add_months(to_date('2019-02-28', 'YYYY-MM-DD'), 1) c,
  add_months(to_date('2020-03-31', 'YYYY-MM-DD'), -1) d from dual;
select last_day(to_date('2020-02-10 08:30', 'YYYY-MM-DD HH24:MI')) a,
  months_between(to_date('2020-03-31', 'YYYY-MM-DD'), to_date('2020-02-29', 'YYYY-MM-DD')) b,
  months_between(to_date('2020-03-15', 'YYYY-MM-DD'), to_date('2020-01-15', 'YYYY-MM-DD')) c
from dual;
-- USER, ORA_HASH (values are the engine's own; only their properties are Oracle's)
select user u from dual;
select case when ora_hash('abc') = ora_hash('abc') then 'same' end a,
  case when ora_hash('abc', 9) between 0 and 9 then 'in range' end b from dual;
select count(distinct ora_hash(level, 3)) buckets from dual connect by level <= 100;
-- wrong calls
select substr('a') from dual;
select no_such_function(1) from dual;
-- sequences
create sequence s start with 10 increment by 5;
select s.currval from dual;
select s.nextval from dual;
select s.nextval a, s.nextval b, s.currval c from dual;
select s.currval from dual;
create table seq_t (id number, label varchar2(10));
insert into seq_t values (s.nextval, 'one');
insert into seq_t select s.nextval, 'gen' || level from dual connect by level <= 3;
select id, label from seq_t order by id;
select s.currval from dual;
select id from seq_t where id = s.nextval;
create sequence d start with 2 increment by -1 minvalue 1 maxvalue 2 nocycle;
select d.nextval from dual;
select d.nextval from dual;
select d.nextval from dual;
create sequence c minvalue 1 maxvalue 3 cycle;
create sequence c minvalue 1 maxvalue 3 cycle nocache;
select c.nextval from dual connect by level <= 4;
