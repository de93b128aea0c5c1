-- Database 2: the products table as an older release left it, with rows that every change of
-- the upgrade must keep.
CREATE TABLE products (
  product_id   NUMBER(6)     CONSTRAINT products_pk PRIMARY KEY,
  name         VARCHAR2(40)  NOT NULL,
  code         VARCHAR2(20),
  legacy_code  VARCHAR2(8),
  price        NUMBER(8,2),
  weight       NUMBER(8,2),
  status       VARCHAR2(12)  DEFAULT 'new' NOT NULL,
  category     VARCHAR2(20),
  stock        NUMBER(8)     DEFAULT 0,
  barcode      VARCHAR2(20),
  notes        VARCHAR2(200) NOT NULL,
  launched     VARCHAR2(10),
  size_code    VARCHAR2(3),
  ratio        FLOAT,
  quantity     INTEGER,
  old_flag     CHAR(1)       DEFAULT 'N',
  CONSTRAINT products_code_uk UNIQUE (code, old_flag)
);

CREATE INDEX products_legacy_ix ON products (legacy_code);

CREATE TABLE suppliers (
  supplier_id  NUMBER(6)     CONSTRAINT suppliers_pk PRIMARY KEY,
  name         VARCHAR2(40)  NOT NULL
);

CREATE TABLE units (
  unit_code  VARCHAR2(5)   CONSTRAINT units_pk PRIMARY KEY,
  label      VARCHAR2(30)  DEFAULT 'unit' NOT NULL
);

INSERT INTO products (product_id, name, code, legacy_code, price, weight, status, category,
                      stock, barcode, notes, old_flag)
  VALUES (1, 'Lamp', 'L-1', 'X9', 19.99, 1.25, 'new', 'light', 5, '4006381333931', 'desk', 'N');
INSERT INTO products (product_id, name, code, legacy_code, price, weight, status, category,
                      stock, barcode, notes, old_flag)
  VALUES (2, 'Chair', 'C-7', NULL, 120, 7.5, 'active', NULL, 0, '4006381333948', 'oak', 'Y');
INSERT INTO units VALUES ('kg', 'kilogram');
