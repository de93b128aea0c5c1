CREATE TABLE accounts (
  id          NUMBER(8)     CONSTRAINT accounts_pk PRIMARY KEY,
  owner_name  VARCHAR2(40),
  branch      NUMBER(4),
  opened      DATE,
  email       VARCHAR2(80),
  kind        CHAR(1),
  CONSTRAINT accounts_kind_uk UNIQUE (branch, kind)
);

CREATE INDEX accounts_email_ix ON accounts (email);
CREATE INDEX accounts_branch_ix ON accounts (opened, branch);
CREATE INDEX accounts_owner_ix ON accounts (owner_name);
CREATE INDEX accounts_opened_ix ON accounts (opened);
CREATE INDEX accounts_same_ix ON accounts (opened, kind);

-- Its only index difference is an index that Database 1 does not have.
CREATE TABLE branches (
  branch_id  NUMBER(4)     CONSTRAINT branches_pk PRIMARY KEY,
  city       VARCHAR2(40)
);
CREATE INDEX branches_city_ix ON branches (city);
CREATE INDEX branches_extra_ix ON branches (city, branch_id);

INSERT INTO accounts VALUES (1, 'Ada', 10, TO_DATE('2024-01-02', 'YYYY-MM-DD'), 'ada@example.com', 'S');
INSERT INTO accounts VALUES (2, 'Grace', 10, TO_DATE('2024-02-03', 'YYYY-MM-DD'), 'grace@example.com', 'C');
INSERT INTO accounts VALUES (3, 'Alan', 20, NULL, NULL, 'S');
