CREATE TABLE items (
  item_id  NUMBER(6)     CONSTRAINT items_pk PRIMARY KEY,
  label    VARCHAR2(40)  NOT NULL
);
CREATE TABLE staging (
  batch_id  NUMBER(6),
  payload   VARCHAR2(400)
);
CREATE TABLE scratch_new (
  n  NUMBER
);
