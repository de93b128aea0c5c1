-- Database 1: the products table as it should be.
CREATE TABLE products (
  product_id  NUMBER(6)     CONSTRAINT products_pk PRIMARY KEY,
  name        VARCHAR2(60)  NOT NULL,
  code        VARCHAR2(10),
  price       NUMBER(10,2),
  weight      NUMBER(9,3),
  status      VARCHAR2(12)  DEFAULT 'active' NOT NULL,
  category    VARCHAR2(20)  DEFAULT 'misc',
  stock       NUMBER(8),
  barcode     VARCHAR2(20)  NOT NULL,
  notes       VARCHAR2(200),
  launched    DATE,
  size_code   CHAR(3),
  ratio       FLOAT,
  quantity    INTEGER,
  rating      NUMBER(2)     DEFAULT 3 NOT NULL,
  origin      VARCHAR2(2),
  CONSTRAINT products_code_uk UNIQUE (code)
);

-- Empty in both databases: a mandatory column without default can be added.
CREATE TABLE suppliers (
  supplier_id  NUMBER(6)     CONSTRAINT suppliers_pk PRIMARY KEY,
  name         VARCHAR2(40)  NOT NULL,
  country      CHAR(2)       NOT NULL
);

-- The same in both databases.
CREATE TABLE units (
  unit_code  VARCHAR2(5)   CONSTRAINT units_pk PRIMARY KEY,
  label      VARCHAR2(30)  DEFAULT 'unit' NOT NULL
);
