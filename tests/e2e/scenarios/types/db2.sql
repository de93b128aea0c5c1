CREATE TABLE documents (
  doc_id       NUMBER(10)     CONSTRAINT documents_pk PRIMARY KEY,
  title        VARCHAR2(100)  NOT NULL,
  code         CHAR(4),
  thumbnail    RAW(100),
  ratio        FLOAT(63),
  pages        INTEGER,
  created      DATE
);

INSERT INTO documents VALUES (1, 'Manual', 'MAN ', NULL, 0.5, 12, SYSDATE);
