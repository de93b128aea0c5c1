CREATE TABLE authors (
  author_id   NUMBER(6)  CONSTRAINT authors_pk PRIMARY KEY,
  best_book   NUMBER(8)
);
INSERT INTO authors VALUES (1, NULL);
