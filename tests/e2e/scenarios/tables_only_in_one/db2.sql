-- Database 2: a region table that CUSTOMERS still references, and an old log that references
-- CUSTOMERS; both must go, and the upgrade must not fail on the keys between them.
CREATE TABLE regions (
  region_id  NUMBER(4)     CONSTRAINT regions_pk PRIMARY KEY,
  name       VARCHAR2(30)
);

CREATE TABLE customers (
  id         NUMBER(6)     CONSTRAINT customers_pk PRIMARY KEY,
  name       VARCHAR2(40)  NOT NULL,
  region_id  NUMBER(4)     CONSTRAINT customers_region_fk REFERENCES regions (region_id)
);

CREATE TABLE legacy_log (
  log_id       NUMBER(10)  PRIMARY KEY,
  customer_id  NUMBER(6)   CONSTRAINT legacy_log_customer_fk REFERENCES customers (id),
  logged_at    DATE        DEFAULT SYSDATE
);

INSERT INTO regions VALUES (1, 'North');
INSERT INTO customers VALUES (1, 'Ada', 1);
INSERT INTO customers VALUES (2, 'Grace', NULL);
INSERT INTO legacy_log VALUES (10, 1, SYSDATE);
