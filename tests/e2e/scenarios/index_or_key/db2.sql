CREATE TABLE members (
  member_id  NUMBER(8)     CONSTRAINT members_pk PRIMARY KEY,
  email      VARCHAR2(80)  CONSTRAINT members_email_uk UNIQUE,
  handle     VARCHAR2(30)  CONSTRAINT members_handle_uk UNIQUE,
  city       VARCHAR2(40)
);
INSERT INTO members VALUES (1, 'ada@example.com', 'ada', 'London');
