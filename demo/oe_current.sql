-- Order entry, release 2.4: the schema as development has it now ("Database 1" of the demo).
-- Run as OE.

CREATE TABLE regions (
  region_id    NUMBER(4)     CONSTRAINT regions_pk PRIMARY KEY,
  region_name  VARCHAR2(40)  NOT NULL
);

CREATE TABLE countries (
  country_id    CHAR(2)       CONSTRAINT countries_pk PRIMARY KEY,
  country_name  VARCHAR2(60)  NOT NULL,
  region_id     NUMBER(4)     CONSTRAINT countries_region_fk REFERENCES regions (region_id)
);

CREATE TABLE locations (
  location_id     NUMBER(6)     CONSTRAINT locations_pk PRIMARY KEY,
  street_address  VARCHAR2(80),
  postal_code     VARCHAR2(12),
  city            VARCHAR2(40)  NOT NULL,
  state_province  VARCHAR2(40),
  country_id      CHAR(2)       CONSTRAINT locations_country_fk REFERENCES countries (country_id)
)
PCTFREE 10 PCTUSED 40 INITRANS 1 MAXTRANS 255
TABLESPACE users STORAGE (INITIAL 64K NEXT 1M MINEXTENTS 1 MAXEXTENTS 121 PCTINCREASE 0);

CREATE TABLE warehouses (
  warehouse_id    NUMBER(3)     CONSTRAINT warehouses_pk PRIMARY KEY,
  warehouse_name  VARCHAR2(35),
  location_id     NUMBER(6)     CONSTRAINT warehouses_location_fk REFERENCES locations (location_id)
);

CREATE TABLE departments (
  department_id    NUMBER(4)     CONSTRAINT departments_pk PRIMARY KEY,
  department_name  VARCHAR2(30)  NOT NULL,
  location_id      NUMBER(6)     CONSTRAINT departments_location_fk REFERENCES locations (location_id)
);

CREATE TABLE employees (
  employee_id    NUMBER(6)      CONSTRAINT employees_pk PRIMARY KEY,
  first_name     VARCHAR2(20),
  last_name      VARCHAR2(25)   NOT NULL,
  email          VARCHAR2(100)  NOT NULL,
  phone_number   VARCHAR2(20),
  hire_date      DATE           DEFAULT SYSDATE NOT NULL,
  job_title      VARCHAR2(35),
  salary         NUMBER(8,2),
  commission_pct NUMBER(2,2),
  manager_id     NUMBER(6),
  department_id  NUMBER(4),
  CONSTRAINT employees_email_uk UNIQUE (email),
  CONSTRAINT employees_salary_ck CHECK (salary > 0),
  CONSTRAINT employees_manager_fk FOREIGN KEY (manager_id) REFERENCES employees (employee_id),
  CONSTRAINT employees_dept_fk FOREIGN KEY (department_id) REFERENCES departments (department_id)
);

CREATE INDEX employees_name_ix ON employees (last_name, first_name);
CREATE INDEX employees_dept_ix ON employees (department_id);

CREATE TABLE customers (
  customer_id      NUMBER(6)      CONSTRAINT customers_pk PRIMARY KEY,
  cust_first_name  VARCHAR2(20)   NOT NULL,
  cust_last_name   VARCHAR2(20)   NOT NULL,
  cust_email       VARCHAR2(100),
  phone_number     VARCHAR2(25),
  credit_limit     NUMBER(9,2)    DEFAULT 1000,
  loyalty_tier     VARCHAR2(10)   DEFAULT 'BRONZE' NOT NULL,
  account_mgr_id   NUMBER(6)      CONSTRAINT customers_account_mgr_fk REFERENCES employees (employee_id),
  date_of_birth    DATE,
  CONSTRAINT customers_credit_limit_max CHECK (credit_limit <= 50000),
  CHECK (loyalty_tier IN ('BRONZE', 'SILVER', 'GOLD'))
);

CREATE UNIQUE INDEX customers_email_ix ON customers (cust_email);
CREATE INDEX customers_name_ix ON customers (cust_last_name, cust_first_name) COMPRESS 1;

CREATE TABLE product_categories (
  category_id    NUMBER(4)     CONSTRAINT product_categories_pk PRIMARY KEY,
  category_name  VARCHAR2(50)  NOT NULL,
  parent_id      NUMBER(4)     CONSTRAINT product_categories_parent_fk
                               REFERENCES product_categories (category_id)
);

CREATE TABLE products (
  product_id           NUMBER(6)      CONSTRAINT products_pk PRIMARY KEY,
  product_name         VARCHAR2(50)   NOT NULL,
  product_description  VARCHAR2(2000),
  category_id          NUMBER(4)      CONSTRAINT products_category_fk
                                      REFERENCES product_categories (category_id),
  weight_class         NUMBER(1),
  warranty_period      VARCHAR2(20),
  product_status       VARCHAR2(20)   DEFAULT 'orderable',
  list_price           NUMBER(10,2),
  min_price            NUMBER(10,2),
  catalog_url          VARCHAR2(100),
  CONSTRAINT products_status_ck CHECK (product_status IN ('orderable', 'planned', 'obsolete')),
  CONSTRAINT products_price_ck CHECK (list_price >= 0)
);

CREATE INDEX products_category_ix ON products (category_id);

CREATE TABLE inventories (
  product_id        NUMBER(6)  NOT NULL,
  warehouse_id      NUMBER(3)  NOT NULL,
  quantity_on_hand  NUMBER(8)  NOT NULL,
  CONSTRAINT inventories_pk PRIMARY KEY (product_id, warehouse_id),
  CONSTRAINT inventories_product_fk FOREIGN KEY (product_id) REFERENCES products (product_id),
  CONSTRAINT inventories_warehouse_fk FOREIGN KEY (warehouse_id)
    REFERENCES warehouses (warehouse_id) ON DELETE CASCADE
);

CREATE TABLE orders (
  order_id        NUMBER(12)    CONSTRAINT orders_pk PRIMARY KEY,
  order_date      DATE          NOT NULL,
  order_mode      VARCHAR2(8),
  customer_id     NUMBER(6)     NOT NULL CONSTRAINT orders_customer_fk REFERENCES customers (customer_id),
  order_status    VARCHAR2(10)  DEFAULT 'PENDING' NOT NULL,
  order_total     NUMBER(10,2),
  sales_rep_id    NUMBER(6)     CONSTRAINT orders_sales_rep_fk REFERENCES employees (employee_id),
  promotion_id    NUMBER(6),
  CONSTRAINT orders_mode_ck CHECK (order_mode IN ('direct', 'online'))
);

CREATE INDEX orders_customer_ix ON orders (customer_id, order_date);
CREATE INDEX orders_sales_rep_ix ON orders (sales_rep_id);

CREATE TABLE order_items (
  order_id      NUMBER(12)   NOT NULL,
  line_item_id  NUMBER(3)    NOT NULL,
  product_id    NUMBER(6)    NOT NULL,
  unit_price    NUMBER(10,2),
  quantity      NUMBER(8)    DEFAULT 1,
  CONSTRAINT order_items_pk PRIMARY KEY (order_id, line_item_id),
  CONSTRAINT order_items_order_fk FOREIGN KEY (order_id)
    REFERENCES orders (order_id) ON DELETE CASCADE,
  CONSTRAINT order_items_product_fk FOREIGN KEY (product_id) REFERENCES products (product_id)
);

CREATE INDEX order_items_product_ix ON order_items (product_id);

CREATE TABLE promotions (
  promotion_id  NUMBER(6)     CONSTRAINT promotions_pk PRIMARY KEY,
  promo_name    VARCHAR2(40)  NOT NULL,
  starts_on     DATE,
  ends_on       DATE,
  CONSTRAINT promotions_dates_ck CHECK (ends_on >= starts_on)
);

CREATE SEQUENCE orders_seq START WITH 2458 INCREMENT BY 1 NOCACHE;
CREATE SEQUENCE customers_seq START WITH 1000 INCREMENT BY 1 CACHE 20;
CREATE SEQUENCE promotions_seq START WITH 1 INCREMENT BY 1 NOCACHE;

CREATE OR REPLACE VIEW customer_orders_v AS
  SELECT c.customer_id, c.cust_last_name, c.loyalty_tier, o.order_id, o.order_date, o.order_total
    FROM customers c, orders o
   WHERE o.customer_id = c.customer_id;

CREATE OR REPLACE VIEW product_stock_v AS
  SELECT p.product_id, p.product_name, SUM(i.quantity_on_hand) AS on_hand
    FROM products p, inventories i
   WHERE i.product_id = p.product_id
   GROUP BY p.product_id, p.product_name;

CREATE OR REPLACE FUNCTION order_total (p_order_id IN NUMBER) RETURN NUMBER IS
  v_total NUMBER;
BEGIN
  SELECT SUM(unit_price * quantity) INTO v_total
    FROM order_items
   WHERE order_id = p_order_id;
  RETURN NVL(v_total, 0);
END order_total;
/

CREATE OR REPLACE PROCEDURE close_order (p_order_id IN NUMBER) IS
BEGIN
  UPDATE orders
     SET order_status = 'CLOSED',
         order_total = order_total(p_order_id)
   WHERE order_id = p_order_id;
END close_order;
/

CREATE OR REPLACE PACKAGE loyalty AS
  FUNCTION tier_for (p_total IN NUMBER) RETURN VARCHAR2;
  PROCEDURE refresh_tiers;
END loyalty;
/

CREATE OR REPLACE PACKAGE BODY loyalty AS
  FUNCTION tier_for (p_total IN NUMBER) RETURN VARCHAR2 IS
  BEGIN
    IF p_total >= 10000 THEN
      RETURN 'GOLD';
    ELSIF p_total >= 2500 THEN
      RETURN 'SILVER';
    END IF;
    RETURN 'BRONZE';
  END tier_for;

  PROCEDURE refresh_tiers IS
  BEGIN
    UPDATE customers c
       SET loyalty_tier = tier_for((SELECT NVL(SUM(order_total), 0)
                                      FROM orders o
                                     WHERE o.customer_id = c.customer_id));
  END refresh_tiers;
END loyalty;
/

CREATE OR REPLACE TRIGGER orders_bi
  BEFORE INSERT ON orders
  FOR EACH ROW
  WHEN (new.order_id IS NULL)
BEGIN
  SELECT orders_seq.NEXTVAL INTO :new.order_id FROM dual;
END;
/

GRANT SELECT ON customers TO rpt;
GRANT SELECT ON orders TO rpt;
GRANT SELECT ON customer_orders_v TO rpt WITH GRANT OPTION;

-- Rows.
INSERT INTO regions VALUES (1, 'Europe');
INSERT INTO regions VALUES (2, 'Americas');
INSERT INTO regions VALUES (3, 'Asia');
INSERT INTO regions VALUES (4, 'Middle East and Africa');

INSERT INTO countries VALUES ('DE', 'Germany', 1);
INSERT INTO countries VALUES ('FR', 'France', 1);
INSERT INTO countries VALUES ('GB', 'United Kingdom', 1);
INSERT INTO countries VALUES ('US', 'United States of America', 2);
INSERT INTO countries VALUES ('BR', 'Brazil', 2);
INSERT INTO countries VALUES ('JP', 'Japan', 3);

INSERT INTO locations VALUES (1000, '1297 Via Cola di Rie', '00989', 'Roma', NULL, 'FR');
INSERT INTO locations VALUES (1400, '2014 Jabberwocky Rd', '26192', 'Southlake', 'Texas', 'US');
INSERT INTO locations VALUES (1700, '2004 Charade Rd', '98199', 'Seattle', 'Washington', 'US');
INSERT INTO locations VALUES (2400, '8204 Arthur St', NULL, 'London', NULL, 'GB');
INSERT INTO locations VALUES (2700, 'Schwanthalerstr. 7031', '80925', 'Munich', 'Bavaria', 'DE');

INSERT INTO warehouses VALUES (1, 'Southlake, Texas', 1400);
INSERT INTO warehouses VALUES (2, 'Seattle, Washington', 1700);
INSERT INTO warehouses VALUES (3, 'Munich', 2700);

INSERT INTO departments VALUES (10, 'Administration', 1700);
INSERT INTO departments VALUES (20, 'Sales', 2400);
INSERT INTO departments VALUES (30, 'Shipping', 1400);

INSERT INTO employees VALUES (100, 'Steven', 'King', 'SKING@example.com', '515.123.4567',
  TO_DATE('2003-06-17', 'YYYY-MM-DD'), 'President', 24000, NULL, NULL, 10);
INSERT INTO employees VALUES (145, 'John', 'Russell', 'JRUSSEL@example.com', '011.44.1344.429268',
  TO_DATE('2004-10-01', 'YYYY-MM-DD'), 'Sales Manager', 14000, .4, 100, 20);
INSERT INTO employees VALUES (150, 'Peter', 'Tucker', 'PTUCKER@example.com', '011.44.1344.129268',
  TO_DATE('2005-01-30', 'YYYY-MM-DD'), 'Sales Representative', 10000, .3, 145, 20);
INSERT INTO employees VALUES (155, 'Oliver', 'Tuvault', 'OTUVAULT@example.com', NULL,
  TO_DATE('2007-11-23', 'YYYY-MM-DD'), 'Sales Representative', 7000, .15, 145, 20);
INSERT INTO employees VALUES (120, 'Matthew', 'Weiss', 'MWEISS@example.com', '650.123.1234',
  TO_DATE('2004-07-18', 'YYYY-MM-DD'), 'Stock Manager', 8000, NULL, 100, 30);

INSERT INTO customers VALUES (101, 'Constantin', 'Welles', 'Constantin.Welles@example.com',
  '+1 317 123 4104', 100, 'BRONZE', 145, TO_DATE('1972-02-16', 'YYYY-MM-DD'));
INSERT INTO customers VALUES (102, 'Harrison', 'Pacino', 'Harrison.Pacino@example.com',
  '+1 317 123 4111', 100, 'SILVER', 145, NULL);
INSERT INTO customers VALUES (103, 'Manisha', 'Taylor', 'Manisha.Taylor@example.com',
  '+1 317 123 4126', 5000, 'GOLD', 150, TO_DATE('1980-09-30', 'YYYY-MM-DD'));
INSERT INTO customers VALUES (104, 'Harrison', 'Sutherland', 'Harrison.Sutherland@example.com',
  '+1 317 123 4136', 100, 'BRONZE', 150, NULL);
INSERT INTO customers VALUES (105, 'Matthias', 'O''Brien', 'Matthias.OBrien@example.com',
  '+49 89 123 4115', 2500, 'SILVER', 155, NULL);
INSERT INTO customers VALUES (106, 'Meena', 'Alexander', 'Meena.Alexander@example.com',
  '+33 1 1234 4150', 900, 'BRONZE', NULL, NULL);

INSERT INTO product_categories VALUES (10, 'Hardware', NULL);
INSERT INTO product_categories VALUES (11, 'Monitors', 10);
INSERT INTO product_categories VALUES (12, 'Storage', 10);
INSERT INTO product_categories VALUES (20, 'Software', NULL);

INSERT INTO products VALUES (1726, 'LCD Monitor 11/PM', 'Liquid crystal display, 11 inch',
  11, 2, '3 years', 'orderable', 259, 236, 'http://www.example.com/products/1726');
INSERT INTO products VALUES (2289, 'KB 101/EN', 'Standard keyboard with 101 keys; English layout',
  10, 1, '1 year', 'orderable', 48, 43, NULL);
INSERT INTO products VALUES (3106, 'KB 101/FR', 'Standard keyboard, French layout', 10, 1,
  '1 year', 'orderable', 48, 44, NULL);
INSERT INTO products VALUES (3127, 'Hard Drive - 10 GB /R', 'Removable hard drive, 10 GB', 12, 1,
  '6 months', 'obsolete', 424, 380, NULL);
INSERT INTO products VALUES (3255, 'Spreadsheet - SP/V', 'Spreadsheet software', 20, 1,
  NULL, 'planned', 899, 799, NULL);

INSERT INTO inventories VALUES (1726, 1, 122);
INSERT INTO inventories VALUES (1726, 2, 60);
INSERT INTO inventories VALUES (2289, 1, 300);
INSERT INTO inventories VALUES (3106, 3, 41);
INSERT INTO inventories VALUES (3127, 2, 7);

INSERT INTO orders VALUES (2354, TO_DATE('2024-07-14 18:02', 'YYYY-MM-DD HH24:MI'), 'direct',
  103, 'CLOSED', 5190, 150, NULL);
INSERT INTO orders VALUES (2355, TO_DATE('2024-08-01 09:45', 'YYYY-MM-DD HH24:MI'), 'online',
  101, 'SHIPPED', 355, NULL, NULL);
INSERT INTO orders VALUES (2356, TO_DATE('2024-08-02 11:10', 'YYYY-MM-DD HH24:MI'), 'direct',
  105, 'PENDING', 2592, 155, 1);
INSERT INTO orders VALUES (2357, TO_DATE('2024-09-10 16:30', 'YYYY-MM-DD HH24:MI'), 'online',
  102, 'PENDING', 96, NULL, NULL);

INSERT INTO order_items VALUES (2354, 1, 1726, 259, 20);
INSERT INTO order_items VALUES (2354, 2, 3106, 10, 1);
INSERT INTO order_items VALUES (2355, 1, 2289, 48, 5);
INSERT INTO order_items VALUES (2355, 2, 3106, 47.5, 2);
INSERT INTO order_items VALUES (2356, 1, 3255, 864, 3);
INSERT INTO order_items VALUES (2357, 1, 2289, 48, 2);

INSERT INTO promotions VALUES (1, 'Autumn sale', TO_DATE('2024-08-01', 'YYYY-MM-DD'),
  TO_DATE('2024-09-30', 'YYYY-MM-DD'));
INSERT INTO promotions VALUES (2, 'New year', TO_DATE('2025-01-01', 'YYYY-MM-DD'),
  TO_DATE('2025-01-15', 'YYYY-MM-DD'));

-- ============================================================================================
-- Views and stored code, release 2.4 (the views and code comparison; other sections follow)
-- ============================================================================================
-- A view over a view, an INSTEAD OF trigger on it, a type with a body, a package of its own and
-- a trigger on a table that production lacks: all new in 2.4. open_orders_v gained a column.
CREATE OR REPLACE VIEW open_orders_v AS
  SELECT order_id, customer_id, order_date, order_total
    FROM orders
   WHERE order_status = 'PENDING';

CREATE OR REPLACE VIEW big_open_orders_v AS
  SELECT order_id, customer_id, order_total
    FROM open_orders_v
   WHERE order_total > 1000;

CREATE OR REPLACE TRIGGER open_orders_ioi
  INSTEAD OF INSERT ON open_orders_v
BEGIN
  INSERT INTO orders (order_id, order_date, customer_id, order_status, order_total)
  VALUES (:new.order_id, :new.order_date, :new.customer_id, 'PENDING', :new.order_total);
END;
/

CREATE OR REPLACE TRIGGER promotions_bi
  BEFORE INSERT ON promotions
  FOR EACH ROW
BEGIN
  IF :new.promotion_id IS NULL THEN
    SELECT promotions_seq.NEXTVAL INTO :new.promotion_id FROM dual;
  END IF;
END;
/

CREATE OR REPLACE TYPE address_t AS OBJECT (
  street   VARCHAR2(40),
  city     VARCHAR2(30),
  postcode VARCHAR2(12),
  MEMBER FUNCTION label RETURN VARCHAR2
);
/

CREATE OR REPLACE TYPE BODY address_t AS
  MEMBER FUNCTION label RETURN VARCHAR2 IS
  BEGIN
    RETURN street || ', ' || postcode || ' ' || city;
  END label;
END;
/

CREATE OR REPLACE PACKAGE order_api AS
  PROCEDURE ship (p_order_id IN NUMBER);
END order_api;
/

CREATE OR REPLACE PACKAGE BODY order_api AS
  PROCEDURE ship (p_order_id IN NUMBER) IS
  BEGIN
    UPDATE orders SET order_status = 'SHIPPED' WHERE order_id = p_order_id;
  END ship;
END order_api;
/

CREATE OR REPLACE FUNCTION customer_label (p_customer_id IN NUMBER) RETURN VARCHAR2 IS
  v_name VARCHAR2(100);
BEGIN
	SELECT cust_first_name || ' ' || cust_last_name INTO v_name
	  FROM customers
	 WHERE customer_id = p_customer_id;
  RETURN v_name;
END customer_label;
/
-- ============================================================================================
-- End of views and stored code, release 2.4
-- ============================================================================================

-- ============================================================================================
-- Data drift, release 2.4 (the data comparison): development repriced two products, added a
-- cable whose name holds quotes and a customer with an apostrophe and an accent in the name.
-- ============================================================================================
UPDATE products SET list_price = 269, min_price = 239 WHERE product_id = 1726;
UPDATE products SET list_price = 49.99 WHERE product_id = 3106;
INSERT INTO products (product_id, product_name, product_description, category_id, weight_class,
  warranty_period, product_status, list_price, min_price)
  VALUES (3400, 'Cable ''USB-C'' 2m', 'USB-C cable, braided; "2 m" long', 10, 1, NULL,
  'orderable', 12.5, 9.95);
INSERT INTO customers (customer_id, cust_first_name, cust_last_name, cust_email, phone_number,
  credit_limit, loyalty_tier, account_mgr_id, date_of_birth)
  VALUES (120, 'Siobhán', 'D''Arcy', 'Siobhan.DArcy@example.com', '+353 1 123 4567', 1500,
  'BRONZE', NULL, TO_DATE('1990-03-17 06:30', 'YYYY-MM-DD HH24:MI'));
