-- The users of the SQL Compare and view data databases, run as SYSTEM: APP owns the tables and
-- views.
CREATE USER app IDENTIFIED BY app;
GRANT CONNECT, RESOURCE, CREATE VIEW TO app;
