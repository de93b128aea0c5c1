CREATE TABLE documents (
  doc_id       NUMBER(10)     CONSTRAINT documents_pk PRIMARY KEY,
  title        VARCHAR2(200)  NOT NULL,
  code         CHAR(4)        DEFAULT 'DOC ',
  body         CLOB,
  image        BLOB,
  thumbnail    RAW(200),
  ratio        FLOAT(63),
  pages        INTEGER,
  copies       INTEGER        DEFAULT 1 NOT NULL,
  created      DATE           DEFAULT SYSDATE
);

CREATE TABLE archive (
  archive_id   NUMBER(10)     CONSTRAINT archive_pk PRIMARY KEY,
  old_text     LONG,
  checksum     RAW(16)        NOT NULL,
  weight       FLOAT,
  copies       INTEGER        DEFAULT 1 NOT NULL
);
