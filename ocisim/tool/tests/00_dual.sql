-- Queries that need no tables of their own: expressions on DUAL, functions, the row
-- generator, set operations and the dictionary of a new database.
select 1 + 2 * 3 as n, 'a' || null || 'b' as s, .5 + 0 as half, -1/2 as neg, 10/4 q from dual;
select dummy from dual;
select nvl(null, 'x') a, nvl2('a', 'y', 'z') b, decode(null, null, 'both null', 'no') c,
       coalesce(null, null, 3) d
from dual;
select case when '' is null then 'empty is null' else 'not null' end as e from dual;
select upper('abc'), lower('ABC'), length('hello'), substr('hello', 2, 3), instr('hello', 'l'),
       lpad('7', 3, '0'), rpad('ab', 5, '.'), replace('banana', 'an', 'AN'),
       initcap('hello world'), trim('  x  ') t, ltrim('xxy', 'x') l, chr(65) c, ascii('A') a
from dual;
select to_char(to_date('2020-02-29 13:45:00', 'YYYY-MM-DD HH24:MI:SS'), 'DD-MON-YYYY HH24:MI') d,
       to_char(1234.5, '9,999.99') n, to_number('12.50') + 1 x, round(2.567, 2) r,
       trunc(-2.567, 1) t, mod(17, 5) m, abs(-3) a, sign(-3) s, floor(2.5) f, ceil(2.1) c
from dual;
select greatest(3, 7, 5) g, least('b', 'a') l, add_months(to_date('2020-01-31', 'YYYY-MM-DD'), 1) am,
       last_day(to_date('2020-02-10', 'YYYY-MM-DD')) ld
from dual;
select level l, level * level sq from dual connect by level <= 4;
select 'b' x from dual union select 'a' from dual union all select 'a' from dual order by 1;
select 'a' x from dual minus select 'a' from dual;
select 1 from dual where 1 = 0;
select count(*) c, max(level) m, sum(level) s from dual connect by level <= 10;
select global_name from global_name;
select 'x' from dual where rownum = 2;
select * from (select level n from dual connect by level <= 5) where n > 3 order by n desc;
select 1/0 from dual;
select to_number('abc') from dual;
select nosuch from dual;
select * from nosuch_table;
select 'unterminated from dual;
';
selec 1 from dual;
