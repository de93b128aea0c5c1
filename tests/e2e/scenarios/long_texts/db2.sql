CREATE TABLE notes (
  note_id  NUMBER(6)     CONSTRAINT notes_pk PRIMARY KEY,
  body     VARCHAR2(300)
);
