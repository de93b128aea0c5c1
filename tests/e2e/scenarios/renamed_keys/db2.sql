CREATE TABLE owners (
  owner_id  NUMBER(6)     CONSTRAINT owners_key PRIMARY KEY,
  tax_no    VARCHAR2(12)  CONSTRAINT owners_tax_no_unique UNIQUE
);

CREATE TABLE accounts (
  account_id  NUMBER(8)     CONSTRAINT accounts_pk PRIMARY KEY,
  owner_id    NUMBER(6)     CONSTRAINT accounts_owner_fk REFERENCES owners (owner_id),
  tax_no      VARCHAR2(12)  CONSTRAINT accounts_tax_fk REFERENCES owners (tax_no) ON DELETE CASCADE
);

INSERT INTO owners VALUES (1, 'NO-1');
INSERT INTO accounts VALUES (100, 1, 'NO-1');
