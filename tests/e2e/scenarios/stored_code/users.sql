-- The owner of the compared schema, with every privilege that views, triggers, stored code and
-- types need.
CREATE USER app IDENTIFIED BY app;
GRANT CREATE SESSION, CREATE TABLE, CREATE VIEW, CREATE SEQUENCE, CREATE PROCEDURE,
  CREATE TRIGGER, CREATE TYPE TO app;
