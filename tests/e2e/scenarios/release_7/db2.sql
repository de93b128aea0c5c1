CREATE TABLE stock (
  item_id    NUMBER(8)     CONSTRAINT stock_pk PRIMARY KEY,
  label      VARCHAR2(30)  NOT NULL,
  shelf      CHAR(4),
  amount     NUMBER(9,2),
  legacy     VARCHAR2(10),
  CONSTRAINT stock_amount_ck CHECK (amount > 0)
);
CREATE INDEX stock_shelf_ix ON stock (shelf);

INSERT INTO stock VALUES (1, 'Bolts', 'A1', 5, NULL);
