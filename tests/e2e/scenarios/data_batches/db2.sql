CREATE TABLE ledger (
  id      NUMBER(10) PRIMARY KEY,
  name    VARCHAR2(40),
  amount  NUMBER(12,2),
  booked  DATE,
  note    VARCHAR2(200)
);
INSERT INTO ledger
  SELECT LEVEL, 'entry ' || LEVEL, ROUND(LEVEL * 1.37, 2),
         TO_DATE('2024-01-01', 'YYYY-MM-DD') + MOD(LEVEL, 400) + MOD(LEVEL, 86400) / 86400,
         RPAD('n', MOD(LEVEL, 150) + 1, 'o')
  FROM dual CONNECT BY LEVEL <= 3000;
UPDATE ledger SET amount = amount + 1 WHERE MOD(id, 97) = 0;
UPDATE ledger SET note = NULL WHERE MOD(id, 251) = 0;
DELETE FROM ledger WHERE MOD(id, 89) = 0;
INSERT INTO ledger SELECT 3000 + LEVEL, 'new ' || LEVEL, 0, NULL, NULL FROM dual CONNECT BY LEVEL <= 40;

CREATE TABLE tallies (
  word    VARCHAR2(10),
  amount  NUMBER
);
INSERT INTO tallies SELECT 'w' || MOD(LEVEL, 40), MOD(LEVEL, 7) FROM dual CONNECT BY LEVEL <= 1100;
INSERT INTO tallies SELECT 'x' || MOD(LEVEL, 3), 1 FROM dual CONNECT BY LEVEL <= 30;
