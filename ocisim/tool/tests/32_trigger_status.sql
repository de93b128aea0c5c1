-- ALTER TRIGGER ENABLE / DISABLE / COMPILE and ALTER TABLE ENABLE / DISABLE ALL TRIGGERS, as
-- ALL_TRIGGERS.STATUS shows them.
create table t (id number, changed date);
create trigger t_bi before insert on t for each row
begin
  :new.changed := sysdate;
end;
/
create trigger t_bu before update on t for each row disable
begin
  :new.changed := sysdate;
end;
/
select trigger_name, status from user_triggers order by 1;
alter trigger t_bi disable;
alter trigger t_bu enable;
select trigger_name, status from user_triggers order by 1;
alter table t disable all triggers;
select trigger_name, status from user_triggers order by 1;
alter table t enable all triggers;
select trigger_name, status from user_triggers order by 1;
alter trigger t_bi compile;
alter trigger system.t_bi disable;
select trigger_name, status from all_triggers where owner = user order by 1;
select object_name, status from user_objects where object_type = 'TRIGGER' order by 1;
alter trigger nosuch enable;
alter trigger t_bi;
