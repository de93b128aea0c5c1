CREATE TABLE items (
  id      NUMBER(10) PRIMARY KEY,
  name    VARCHAR2(100),
  price   NUMBER,
  born    DATE,
  seen    TIMESTAMP(6),
  code    CHAR(6),
  flag    RAW(8),
  secret  VARCHAR2(20)
);
INSERT INTO items VALUES (1, 'OBrien', 12.5, TO_DATE('2024-01-05 10:11:00', 'YYYY-MM-DD HH24:MI:SS'),
  TO_TIMESTAMP('2024-01-05 10:11:12.123', 'YYYY-MM-DD HH24:MI:SS.FF'), 'ab', HEXTORAW('0AFE'), 'other');
INSERT INTO items VALUES (2, 'tab' || CHR(9) || 'in', -1.50, NULL, NULL, NULL, NULL, 'z');
INSERT INTO items VALUES (3, 'sep ' || CHR(9) || ' arated', 12345678901234567890123456789012345677, NULL, NULL, 'x', NULL, NULL);
INSERT INTO items VALUES (4, 'line' || CHR(10) || 'break', 0.0000001, TO_DATE('1999-12-31 23:59:58', 'YYYY-MM-DD HH24:MI:SS'), NULL, NULL, NULL, NULL);
INSERT INTO items VALUES (5, 'Grüße, 東京', NULL, NULL, NULL, 'zz', HEXTORAW('00'), NULL);
INSERT INTO items VALUES (6, 'only in 2', 3, NULL, NULL, NULL, NULL, NULL);
INSERT INTO items VALUES (9, 'nine', -0.25, NULL, NULL, NULL, NULL, NULL);
INSERT INTO items VALUES (10, 'ten', 10, NULL, NULL, NULL, NULL, NULL);
INSERT INTO items VALUES (11, 'nul' || CHR(0) || 'two', NULL, NULL, NULL, NULL, NULL, NULL);

CREATE TABLE codes (
  code   VARCHAR2(10),
  label  VARCHAR2(30)
);
CREATE UNIQUE INDEX codes_uk ON codes (code);
INSERT INTO codes VALUES ('10', 'TEN');
INSERT INTO codes VALUES ('9', 'nine');
INSERT INTO codes VALUES ('-2', 'minus two');
INSERT INTO codes VALUES ('B', 'upper');
INSERT INTO codes VALUES (NULL, 'nothing');

CREATE TABLE tally (
  word   VARCHAR2(10),
  amount NUMBER
);
INSERT INTO tally VALUES ('a', 1);
INSERT INTO tally VALUES ('b', NULL);
INSERT INTO tally VALUES ('b', NULL);
INSERT INTO tally VALUES ('c', 3);

CREATE TABLE notes (
  id    NUMBER PRIMARY KEY,
  text  LONG
);
INSERT INTO notes VALUES (1, 'a long note');
INSERT INTO notes VALUES (2, 'old note');
INSERT INTO notes VALUES (3, 'gone');

CREATE TABLE docs (
  id    NUMBER PRIMARY KEY,
  title VARCHAR2(20),
  body  CLOB
);
INSERT INTO docs VALUES (1, 'first', 'a different body');
INSERT INTO docs VALUES (3, 'third', 'gone');

CREATE TABLE stock (
  id   NUMBER PRIMARY KEY,
  qty  NUMBER
);
INSERT INTO stock VALUES (1, NULL);
INSERT INTO stock VALUES (2, 7);
