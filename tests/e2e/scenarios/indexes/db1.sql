CREATE TABLE accounts (
  id          NUMBER(8)     CONSTRAINT accounts_pk PRIMARY KEY,
  owner_name  VARCHAR2(40),
  branch      NUMBER(4),
  opened      DATE,
  email       VARCHAR2(80),
  kind        CHAR(1),
  CONSTRAINT accounts_kind_uk UNIQUE (kind, branch)
);

CREATE UNIQUE INDEX accounts_email_ix ON accounts (email);
CREATE INDEX accounts_branch_ix ON accounts (branch, opened);
CREATE INDEX accounts_owner_ix ON accounts (owner_name, branch);
CREATE INDEX accounts_kind_ix ON accounts (kind);
CREATE INDEX accounts_same_ix ON accounts (opened, kind);

CREATE TABLE branches (
  branch_id  NUMBER(4)     CONSTRAINT branches_pk PRIMARY KEY,
  city       VARCHAR2(40)
);
CREATE INDEX branches_city_ix ON branches (city);
