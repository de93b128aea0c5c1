CREATE TABLE owners (
  owner_id  NUMBER(6)     CONSTRAINT owners_pk PRIMARY KEY,
  tax_no    VARCHAR2(12)  CONSTRAINT owners_tax_uk UNIQUE
);

CREATE TABLE accounts (
  account_id  NUMBER(8)     CONSTRAINT accounts_pk PRIMARY KEY,
  owner_id    NUMBER(6)     CONSTRAINT accounts_owner_fk REFERENCES owners (owner_id),
  tax_no      VARCHAR2(12)  CONSTRAINT accounts_tax_fk REFERENCES owners (tax_no) ON DELETE CASCADE
);
