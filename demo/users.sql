-- Users of a demo database: run as SYSTEM on a fresh ocisim database.
-- OE owns the order-entry application; RPT is a reporting account that reads from it.
CREATE USER oe IDENTIFIED BY oe;
GRANT CREATE SESSION, CREATE TABLE, CREATE VIEW, CREATE SEQUENCE, CREATE PROCEDURE,
  CREATE TRIGGER, CREATE TYPE TO oe;
CREATE USER rpt IDENTIFIED BY rpt;
GRANT CREATE SESSION TO rpt;
CREATE ROLE oe_reader;
