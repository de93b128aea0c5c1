CREATE TABLE parents (
  pid   NUMBER(6)     CONSTRAINT parents_pk PRIMARY KEY,
  code  VARCHAR2(5)   CONSTRAINT parents_code_uk UNIQUE,
  lo    NUMBER(4),
  hi    NUMBER(4),
  note  VARCHAR2(10)  CONSTRAINT parents_note_ck CHECK (note <> 'x'),
  CONSTRAINT parents_range_ck CHECK (lo <= hi)
);

CREATE TABLE children (
  cid          NUMBER(6)    CONSTRAINT children_pk PRIMARY KEY,
  parent_code  VARCHAR2(5)  CONSTRAINT children_code_fk REFERENCES parents (code),
  pid          NUMBER(6)    CONSTRAINT children_pid_fk REFERENCES parents (pid)
);

INSERT INTO parents VALUES (1, 'P1', 1, 5, 'first');
INSERT INTO children VALUES (10, 'P1', 1);
