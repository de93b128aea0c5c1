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
INSERT INTO items VALUES (1, 'O''Brien', 12.5, TO_DATE('2024-01-05 10:11:12', 'YYYY-MM-DD HH24:MI:SS'),
  TO_TIMESTAMP('2024-01-05 10:11:12.123456', 'YYYY-MM-DD HH24:MI:SS.FF'), 'ab', HEXTORAW('0AFF'), 'x');
INSERT INTO items VALUES (2, 'tab' || CHR(9) || 'in', -1.5, NULL, NULL, NULL, NULL, 'y');
INSERT INTO items VALUES (3, 'sep ' || CHR(9) || ' arated', 12345678901234567890123456789012345678, NULL, NULL, 'x', NULL, NULL);
INSERT INTO items VALUES (4, 'line' || CHR(13) || CHR(10) || 'break', 0.0000001, TO_DATE('1999-12-31 23:59:59', 'YYYY-MM-DD HH24:MI:SS'), NULL, NULL, NULL, NULL);
INSERT INTO items VALUES (5, 'Grüße, 東京 ✓', NULL, NULL, NULL, 'zz', HEXTORAW('00'), NULL);
INSERT INTO items VALUES (7, 'only in 1', 1E+100, NULL, NULL, NULL, NULL, NULL);
INSERT INTO items VALUES (9, 'nine', -0.25, NULL, NULL, NULL, NULL, NULL);
INSERT INTO items VALUES (10, 'ten', NULL, NULL, NULL, NULL, NULL, NULL);
INSERT INTO items VALUES (11, 'nul' || CHR(0) || 'one', NULL, NULL, NULL, NULL, NULL, NULL);

CREATE TABLE codes (
  code   VARCHAR2(10),
  label  VARCHAR2(30)
);
CREATE UNIQUE INDEX codes_uk ON codes (code);
INSERT INTO codes VALUES ('10', 'ten');
INSERT INTO codes VALUES ('9', 'nine');
INSERT INTO codes VALUES ('-1', 'minus one');
INSERT INTO codes VALUES ('a', 'lower');
INSERT INTO codes VALUES ('B', 'upper');
INSERT INTO codes VALUES (NULL, 'no code');

CREATE TABLE tally (
  word   VARCHAR2(10),
  amount NUMBER
);
INSERT INTO tally VALUES ('a', 1);
INSERT INTO tally VALUES ('a', 1);
INSERT INTO tally VALUES ('a', 1);
INSERT INTO tally VALUES ('b', NULL);
INSERT INTO tally VALUES (NULL, 2);

CREATE TABLE notes (
  id    NUMBER PRIMARY KEY,
  text  LONG
);
INSERT INTO notes VALUES (1, 'a long note');
INSERT INTO notes VALUES (2, 'changed ''long'' note');

CREATE TABLE docs (
  id    NUMBER PRIMARY KEY,
  title VARCHAR2(20),
  body  CLOB
);
INSERT INTO docs VALUES (1, 'first', 'the body');
INSERT INTO docs VALUES (2, 'second', 'another body');

CREATE TABLE stock (
  id   NUMBER PRIMARY KEY,
  qty  NUMBER NOT NULL,
  bin  VARCHAR2(5) NOT NULL
);
INSERT INTO stock VALUES (1, 5, 'A1');
INSERT INTO stock VALUES (2, 0, 'B2');
