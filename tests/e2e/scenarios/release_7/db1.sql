CREATE TABLE stock (
  item_id    NUMBER(8)     CONSTRAINT stock_pk PRIMARY KEY,
  label      VARCHAR2(40)  NOT NULL,
  shelf      CHAR(4),
  amount     NUMBER(9,2)   DEFAULT 0 NOT NULL,
  counted    DATE,
  CONSTRAINT stock_amount_ck CHECK (amount >= 0)
);
CREATE INDEX stock_shelf_ix ON stock (shelf, label);

CREATE TABLE moves (
  move_id  NUMBER(10)  CONSTRAINT moves_pk PRIMARY KEY,
  item_id  NUMBER(8)   CONSTRAINT moves_item_fk REFERENCES stock (item_id) ON DELETE CASCADE,
  moved    DATE        DEFAULT SYSDATE
);
