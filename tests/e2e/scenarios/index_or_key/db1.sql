CREATE TABLE members (
  member_id  NUMBER(8)     CONSTRAINT members_pk PRIMARY KEY,
  email      VARCHAR2(80),
  handle     VARCHAR2(30),
  city       VARCHAR2(40)
);
CREATE UNIQUE INDEX members_email_uk ON members (email);
CREATE INDEX members_handle_ix ON members (handle);
