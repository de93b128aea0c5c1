-- CAST, EXTRACT, the session's datetime values and the USERENV context, DUMP, VSIZE, BITAND
-- and SYS_GUID.
create table t (n number, s varchar2(10), d date);
insert into t values (1234.5678, 'abcdef', to_date('2001-02-03 04:05:06', 'YYYY-MM-DD HH24:MI:SS'));
-- CAST cuts text to the target length but refuses a number too large for its precision.
select cast(n as number(6,1)) a, cast(s as varchar2(3)) b, cast(s as char(8)) || '|' c from t;
select cast(n as number(3)) from t;
select cast('2001-02-03' as date) from dual;
select cast(d as timestamp) from t;
select cast('x' as number) from dual;
select cast(d as number) from t;
select cast(n as long) from t;
select cast(s as varchar2) from t;
-- EXTRACT: a DATE gives its year, month and day; the time fields need a TIMESTAMP.
select extract(year from d) y, extract(month from d) m, extract(day from d) dd from t;
select extract(hour from d) from t;
select extract(hour from cast(d as timestamp)) h, extract(second from timestamp '2001-02-03 04:05:06.25') s from t;
select extract(week from d) from t;
-- The session's datetime values are the statement's SYSDATE and SYSTIMESTAMP.
select count(*) from dual where current_date = sysdate and trunc(localtimestamp) = trunc(sysdate);
select count(*) from dual where current_timestamp(2) <= systimestamp;
select current_timestamp(10) from dual;
-- USERENV and SYS_CONTEXT.
select sys_context('USERENV', 'SESSION_USER') su, sys_context('userenv', 'current_schema') cs,
       sys_context('USERENV', 'DB_NAME') db, userenv('LANGUAGE') lang from dual;
select count(*) from dual where userenv('SESSIONID') = sys_context('USERENV', 'SESSIONID');
select sys_context('USERENV', 'NO_SUCH_THING') from dual;
select userenv('CURRENT_SCHEMA') from dual;
select sys_context('OTHER_CONTEXT', 'X') from dual;
-- DUMP shows the internal form; VSIZE its length.
select dump('abc') a, dump(s, 16) b, dump(n) c from t;
select dump(0) z, dump(-1) m, dump(100) h, dump(d) dd, dump(null) nn from t;
select dump(s, 1017, 2, 3) from t;
select vsize(n) a, vsize(s) b, vsize(d) c, vsize(null) d from t;
select bitand(12, 10) a, bitand(n, 255) b, bitand(null, 1) c from t;
select length(rawtohex(sys_guid())) len from dual;
select count(*) from dual where sys_guid() <> sys_guid();
select empty_clob() from dual;
select grouping(n) from t group by n;
select n from t group by cube (n);
select n from t group by grouping sets ((n));
