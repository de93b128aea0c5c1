-- Character functions count characters of the database character set (AL32UTF8); LENGTHB,
-- SUBSTRB and INSTRB count bytes.
select length('äbc') l, lengthb('äbc') lb, substr('äbc', 2, 1) s, substr('äöü', -2) s2,
       instr('äbc', 'b') i, instrb('äbc', 'b') ib from dual;
select upper('äöü straße') u, lower('ÄÖÜ ΣΩ Жи') l, initcap('élan öl-ärger') ic from dual;
select substrb('äbc', 1, 2) sb, '[' || substrb('äbc', 2, 2) || ']' sb2, substrb('äbc', 3) sb3
from dual;
select lpad('ä', 4, 'öx') lp, rpad('äö', 3, '€') rp, rpad('äöü', 2) rp2 from dual;
select translate('äbcä', 'äb', 'ö') t, ltrim('ääbä', 'ä') lt, rtrim('äbää', 'ä') rt,
       trim('ä' from 'äbä') tr from dual;
select ascii('ä') a, chr(50084) c, ascii('€') e, instr('€a€a', 'a', -1) ir from dual;
select case when 'äb' like '_b' then 'yes' else 'no' end one_char,
       case when 'äb' like '__b' then 'yes' else 'no' end two_chars from dual;
