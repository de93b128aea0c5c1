-- WITH READ ONLY and WITH CHECK OPTION give the view a constraint of type O or V, named as
-- written or SYS_Cnnnnnn; it goes with the view.
create table vc (id number, status varchar2(1));
create view vc_ro as select id from vc with read only;
create view vc_open as select id, status from vc where status = 'O' with check option constraint vc_open_ck;
create view vc_named as select id from vc with read only constraint vc_named_ro;
create view vc_dup as select id from vc with check option constraint vc_open_ck;
select table_name, constraint_type, status, deferrable, deferred, generated
from user_constraints where table_name like 'VC%' order by 1;
select count(*) from user_constraints
where table_name = 'VC_RO' and constraint_name like 'SYS\_C%' escape '\';
create or replace view vc_open as select id, status from vc;
drop view vc_named;
select table_name, constraint_name from user_constraints where table_name like 'VC%'
and constraint_type in ('O', 'V') order by 1;
-- A condition is no value of the select list.
select 1 > 0 from dual;
select id from vc where 1 > 0;
select case when 1 > 0 then 'yes' end c from dual;
