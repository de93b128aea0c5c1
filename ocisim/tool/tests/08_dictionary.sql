-- The dictionary as the comparison tool queries it, for a small schema of its own user. The
-- queries are the tool's, with the owner and names written in where it binds them.
create user shop identified by shop;
grant create session, create table, create view, create sequence, create procedure,
  create trigger to shop;
grant connect to shop;
create table ref_t (id number);
grant select on ref_t to shop;
connect shop/shop
create table customer (
  id number(6) constraint customer_pk primary key using index pctfree 5,
  name varchar2(40) not null,
  rating char(1) default 'B' constraint customer_rating_ck check (rating in ('A', 'B', 'C')),
  balance number(12,2) default 0,
  score float,
  visits integer,
  joined date default sysdate,
  note long);
create table orders (
  id number constraint orders_pk primary key,
  customer_id number constraint orders_customer_fk references customer on delete cascade,
  code varchar2(12) constraint orders_code_uk unique,
  amount number(10,2),
  doc clob,
  pic blob,
  tag raw(16));
create index orders_amount_i on orders (customer_id, amount);
create sequence order_seq start with 1000 cache 10;
create view big_orders as select id, amount from orders where amount > 100;
create or replace trigger customer_bi
before insert on customer
for each row
begin
  :new.name := upper(:new.name);
end;
/
select table_name from user_tables order by 1;
select owner, table_name, tablespace_name from all_tables where owner = 'SHOP' order by 2;
select table_name, table_type from all_catalog where owner = 'SHOP' order by 1;
select object_name, object_type, status from all_objects
where owner = 'SHOP' and object_name not like 'SYS%' order by 1, 2;
-- columns, with the type written the way the column comparer formats it
select column_name, data_type || decode(data_type_owner,NULL,decode(data_type,'DATE','','ROWID','','LONG RAW','','INTEGER','','BLOB','','CLOB','',  'LONG','', 'NUMBER',decode(data_precision,null,'', 0,'', '('||to_char(data_precision)||decode(data_scale,NULL,')',0,')',','||to_char(data_scale)||')')),decode(data_length,null,'',0,'','('||to_char(data_length)||')')),'') type,
  to_char(data_length) len, to_char(nvl(data_precision,0)) prec, to_char(nvl(data_scale,-1)) scale,
  decode(nvl(nullable,'Y'),'Y','    NULL ','NOT NULL ') nulls, data_default
from all_tab_columns where owner = 'SHOP' and table_name = 'CUSTOMER' order by column_id;
select column_name, data_type, data_length, nvl(data_precision,0) prec, nvl(data_scale,-1) scale,
  decode(nvl(nullable,'Y'),'Y','    NULL ','NOT NULL ') nulls, nvl(data_type_owner,' ') type_owner
from all_tab_columns where owner = 'SHOP' and table_name = 'ORDERS' order by column_id;
select column_name, data_type, data_length from all_tab_columns
where owner = 'SHOP' and table_name = 'BIG_ORDERS' order by column_id;
-- indexes that no key constraint made, and their columns
select all_indexes.table_owner,decode(nvl(all_indexes.uniqueness,'NOT'),'UNIQUE','    UNIQUE ','NOT UNIQUE ') uniq,all_indexes.index_name,nvl(all_ind_columns.column_name,' ') col from all_indexes ,all_ind_columns  where all_indexes.owner = 'SHOP' and all_indexes.table_owner = 'SHOP' and all_indexes.table_name = 'ORDERS' and all_ind_columns.index_owner = all_indexes.owner and all_indexes.index_name = all_ind_columns.index_name AND all_indexes.index_name NOT IN (SELECT c.constraint_name from all_constraints c WHERE c.constraint_type IN ('P','U') AND c.table_name = all_indexes.table_name) order by all_indexes.index_name, column_position;
select index_name, index_type, uniqueness, table_type, pct_free, status from all_indexes
where owner = 'SHOP' order by 1;
-- constraints
select constraint_name,constraint_type,delete_rule,search_condition from all_constraints where owner = 'SHOP' and table_name = 'CUSTOMER' and constraint_name not like 'SYS_C%' order by constraint_name;
select constraint_name,constraint_type,delete_rule,r_owner,r_constraint_name,status from all_constraints where owner = 'SHOP' and table_name = 'ORDERS' and constraint_name not like 'SYS_C%' order by constraint_name;
select constraint_type, search_condition from all_constraints
where owner = 'SHOP' and table_name = 'CUSTOMER' and constraint_name like 'SYS_C%';
select constraint_name, column_name, position from all_cons_columns
where owner = 'SHOP' and table_name = 'ORDERS' order by 1, 3;
select co.column_name from all_constraints c, all_cons_columns co where c.owner = 'SHOP' and c.table_name = 'CUSTOMER' and constraint_type = 'P' and c.owner = co.owner and  c.constraint_name = co.constraint_name;
-- sequences, and the statement the sequence comparer builds from them
select sequence_name, min_value, max_value, increment_by, cycle_flag, order_flag, cache_size,
  last_number from all_sequences where sequence_owner = 'SHOP';
select 'CREATE SEQUENCE '||sequence_name||' INCREMENT BY '||increment_by||' START WITH '||(last_number+increment_by)||decode(max_value,999999999999999999999999999,' NOMAXVALUE', ' MAXVALUE ' || max_value) || ' MINVALUE ' || min_value||decode(cycle_flag,'N',' NOCYCLE',' CYCLE')||decode(cache_size,0,' NOCACHE',' CACHE '||cache_size)||decode(order_flag,'N',' NOORDER;',' ORDER;') ddl from all_sequences where sequence_owner = 'SHOP';
-- views, source and triggers
select view_name, text_length, text from all_views where owner = 'SHOP';
select replace(header, chr(10), ' | ') header from (
select '"' || trigger_name || '" ' || decode( substr( trigger_type, 1, 1 ),'A', 'AFTER', 'B', 'BEFORE', 'I', 'INSTEAD OF' ) ||chr(10) ||triggering_event || chr(10) ||' ON "' ||table_name || '"' || decode(referencing_names,null,'','REFERENCING NEW AS NEW OLD AS OLD','',chr(10)||referencing_names) || chr(10) ||decode( instr( trigger_type, 'EACH ROW' ), 0, null,'FOR EACH ROW' ) || chr(10) || decode(when_clause,null,'',' WHEN ('||when_clause ) header from all_triggers where owner = 'SHOP' and trigger_name = 'CUSTOMER_BI');
select trigger_body from all_triggers where owner = 'SHOP';
select type, line, rtrim(text, chr(10)) text from all_source where owner = 'SHOP' order by line;
-- privileges
select substr(privilege||'                                        ',0,41) || ' ' || substr(admin_option||'            ',0,13) priv from user_sys_privs order by privilege;
select granted_role, admin_option, default_role, os_granted from user_role_privs order by granted_role;
select privilege, table_name, table_schema, grantee, grantor, grantable from all_tab_privs where grantee = 'SHOP' order by privilege,table_name;
