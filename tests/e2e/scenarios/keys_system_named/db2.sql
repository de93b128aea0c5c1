CREATE TABLE locations (
  loc_id  NUMBER(6)     PRIMARY KEY,
  city    VARCHAR2(40)  UNIQUE
);
INSERT INTO locations VALUES (1, 'Oslo');
