CREATE TABLE emp (
  id    NUMBER(4)     CONSTRAINT emp_pk PRIMARY KEY,
  name  VARCHAR2(20)
);

-- Not EMP: a statement that dropped this table without its quotes would drop EMP.
CREATE TABLE "Emp" (
  x  NUMBER
);

CREATE TABLE "Mixed" (
  "Id"     NUMBER(4)     CONSTRAINT "Mixed_pk" PRIMARY KEY,
  "Value"  VARCHAR2(10),
  "Gone"   DATE,
  CONSTRAINT "Mixed_ck" CHECK ("Id" >= 0)
);
CREATE INDEX "Mixed_ix" ON "Mixed" ("Value");

INSERT INTO emp VALUES (1, 'Ada');
INSERT INTO "Mixed" VALUES (1, 'one', NULL);
