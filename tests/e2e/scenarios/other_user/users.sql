-- APP owns the schema; INSPECTOR and AUDITOR own nothing of it. INSPECTOR owns a table of the
-- same name as one of APP's, which the comparison of APP must not see.
CREATE USER app IDENTIFIED BY app;
GRANT CONNECT, RESOURCE TO app;
CREATE USER inspector IDENTIFIED BY insp;
GRANT CREATE SESSION, CREATE TABLE, SELECT ANY TABLE TO inspector;
CREATE USER auditor IDENTIFIED BY aud;
GRANT DBA TO auditor;
CREATE TABLE inspector.invoices (invoice_no VARCHAR2(5), other_column DATE);
