CREATE TABLE emp (
  id    NUMBER(4)     CONSTRAINT emp_pk PRIMARY KEY,
  name  VARCHAR2(20)
);

CREATE TABLE "Dept" (
  "Id"     NUMBER(4)     CONSTRAINT "Dept_pk" PRIMARY KEY,
  "Name"   VARCHAR2(30),
  "order"  NUMBER(3)
);

CREATE TABLE "Mixed" (
  "Id"     NUMBER(4)     CONSTRAINT "Mixed_pk" PRIMARY KEY,
  "Value"  VARCHAR2(20),
  "New"    DATE,
  CONSTRAINT "Mixed_ck" CHECK ("Id" > 0)
);
CREATE INDEX "Mixed_new_ix" ON "Mixed" ("New", "Value");
