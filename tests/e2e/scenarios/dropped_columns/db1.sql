CREATE TABLE parents (
  pid   NUMBER(6)     CONSTRAINT parents_pk PRIMARY KEY,
  lo    NUMBER(4)
);

CREATE TABLE children (
  cid          NUMBER(6)    CONSTRAINT children_pk PRIMARY KEY,
  parent_code  VARCHAR2(5),
  pid          NUMBER(6)    CONSTRAINT children_pid_fk REFERENCES parents (pid)
);
