CREATE TABLE items (
  item_id  NUMBER(6)     CONSTRAINT items_pk PRIMARY KEY,
  label    VARCHAR2(20)  NOT NULL
);
CREATE TABLE staging (
  batch_id  NUMBER(9)     CONSTRAINT staging_pk PRIMARY KEY,
  loaded    DATE
);
CREATE INDEX staging_loaded_ix ON staging (loaded);
CREATE TABLE scratch_old (
  n  NUMBER
);
INSERT INTO scratch_old VALUES (1);
