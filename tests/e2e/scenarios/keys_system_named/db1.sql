CREATE TABLE locations (
  loc_id  NUMBER(6)     CONSTRAINT locations_pk PRIMARY KEY,
  city    VARCHAR2(40)  CONSTRAINT locations_city_uk UNIQUE
);
