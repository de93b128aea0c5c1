-- Database 1: ORDERS and ORDER_NOTES are new; REGIONS and LEGACY_LOG are gone.
CREATE TABLE customers (
  id    NUMBER(6)     CONSTRAINT customers_pk PRIMARY KEY,
  name  VARCHAR2(40)  NOT NULL
);

CREATE TABLE orders (
  order_id     NUMBER(10)    CONSTRAINT orders_pk PRIMARY KEY,
  customer_id  NUMBER(6)     NOT NULL
               CONSTRAINT orders_customer_fk REFERENCES customers (id) ON DELETE CASCADE,
  placed_on    DATE          DEFAULT SYSDATE NOT NULL,
  status       VARCHAR2(10)  DEFAULT 'NEW',
  total        NUMBER(10,2),
  CONSTRAINT orders_total_ck CHECK (total >= 0),
  CONSTRAINT orders_placed_uk UNIQUE (customer_id, placed_on)
)
PCTFREE 20 INITRANS 2;

CREATE INDEX orders_status_ix ON orders (status, total);

-- References another new table; its foreign key and check carry system names.
CREATE TABLE order_notes (
  order_id  NUMBER(10)  REFERENCES orders (order_id),
  note      VARCHAR2(200),
  CHECK (note IS NOT NULL OR order_id IS NOT NULL)
);

INSERT INTO customers VALUES (1, 'Ada');
INSERT INTO customers VALUES (2, 'Grace');
