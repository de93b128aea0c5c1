-- Database 1 of the stored-code scenario: every kind present in Database 1 only, in both and
-- equal, in both and different (also in white space only), names differing only in case, an
-- ignored procedure, a view over a view, an INSTEAD OF trigger on a new view, a trigger on a
-- table the upgrade script creates, a disabled trigger, packages and types with bodies.
CREATE TABLE t_main (id NUMBER(6) PRIMARY KEY, name VARCHAR2(30), amount NUMBER(10,2));
CREATE TABLE t_new (id NUMBER(6) PRIMARY KEY, note VARCHAR2(40));

CREATE VIEW v_same AS SELECT id, name FROM t_main;
CREATE VIEW v_cols AS SELECT id, name, amount FROM t_main;
CREATE VIEW v_ws AS SELECT id,
    name FROM t_main;
CREATE VIEW v_z_base AS SELECT id, amount FROM t_main;
CREATE VIEW v_a_top AS SELECT id FROM v_z_base WHERE amount > 0;
CREATE VIEW "v_case" AS SELECT id FROM t_main;

CREATE TRIGGER t_main_bi BEFORE INSERT ON t_main FOR EACH ROW
BEGIN
  :new.name := UPPER(:new.name);
END;
/
CREATE TRIGGER t_main_bu BEFORE UPDATE ON t_main FOR EACH ROW
BEGIN
  :new.amount := NVL(:new.amount, 0);
END;
/
ALTER TRIGGER t_main_bu DISABLE;
CREATE TRIGGER t_main_au AFTER UPDATE OF amount, name ON t_main FOR EACH ROW
BEGIN
  NULL;
END;
/
CREATE TRIGGER t_new_bi BEFORE INSERT ON t_new FOR EACH ROW
BEGIN
  :new.note := TRIM(:new.note);
END;
/
CREATE TRIGGER v_a_top_ioi INSTEAD OF INSERT ON v_a_top
BEGIN
  NULL;
END;
/

CREATE FUNCTION f_same (p NUMBER) RETURN NUMBER IS
BEGIN
  RETURN p;
END;
/
CREATE FUNCTION f_diff (p NUMBER) RETURN NUMBER IS
BEGIN
  RETURN p * 2;
END;
/
CREATE FUNCTION f_new RETURN VARCHAR2 IS
BEGIN
  RETURN 'new';
END;
/
CREATE FUNCTION f_tabs (p NUMBER) RETURN NUMBER IS   
	v NUMBER;  
BEGIN
	v := p + 1;	
	RETURN v;
END;
/

CREATE PROCEDURE "proc_a" IS
BEGIN
  NULL;
END;
/
CREATE PROCEDURE p_ignored IS
BEGIN
  NULL;
END;
/

CREATE PACKAGE pkg_both AS
  PROCEDURE run;
END pkg_both;
/
CREATE PACKAGE BODY pkg_both AS
  PROCEDURE run IS
  BEGIN
    UPDATE t_main SET amount = 0 WHERE amount IS NULL;
  END run;
END pkg_both;
/
CREATE PACKAGE pkg_new AS
  FUNCTION version RETURN NUMBER;
END pkg_new;
/
CREATE PACKAGE BODY pkg_new AS
  FUNCTION version RETURN NUMBER IS BEGIN RETURN 2; END version;
END pkg_new;
/

CREATE TYPE point_t AS OBJECT (
  x NUMBER,
  y NUMBER,
  MEMBER FUNCTION norm RETURN NUMBER
);
/
CREATE TYPE BODY point_t AS
  MEMBER FUNCTION norm RETURN NUMBER IS
  BEGIN
    RETURN ABS(x) + ABS(y);
  END norm;
END;
/
CREATE TYPE money_t AS OBJECT (amount NUMBER, currency VARCHAR2(3), MEMBER FUNCTION show RETURN VARCHAR2);
/
CREATE TYPE BODY money_t AS
  MEMBER FUNCTION show RETURN VARCHAR2 IS BEGIN RETURN currency || ' ' || amount; END show;
END;
/
