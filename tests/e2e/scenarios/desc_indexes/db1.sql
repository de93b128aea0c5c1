CREATE TABLE sales (
  id       NUMBER(8)     CONSTRAINT sales_pk PRIMARY KEY,
  amount   NUMBER(10,2),
  sold     DATE,
  region   VARCHAR2(20)
);

CREATE INDEX sales_amount_ix ON sales (amount DESC);
CREATE INDEX sales_sold_ix ON sales (region, sold DESC);
CREATE INDEX sales_same_ix ON sales (sold DESC, id);
CREATE INDEX sales_region_ix ON sales (region);
