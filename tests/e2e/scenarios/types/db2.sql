CREATE TABLE documents (
  doc_id       NUMBER(10)     CONSTRAINT documents_pk PRIMARY KEY,
  title        VARCHAR2(100)  NOT NULL,
  code         CHAR(4),
  thumbnail    RAW(100),
  ratio        FLOAT(63),
  pages        NUMBER,
  created      DATE
);

-- PAGES takes fractions here; no row has any, so it can become INTEGER.
INSERT INTO documents VALUES (1, 'Manual', 'MAN ', NULL, 0.5, NULL, SYSDATE);
