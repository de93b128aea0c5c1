-- The users of a scenario database, run as SYSTEM: APP owns the compared schema.
CREATE USER app IDENTIFIED BY app;
GRANT CONNECT, RESOURCE TO app;
