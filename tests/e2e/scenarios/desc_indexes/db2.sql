CREATE TABLE sales (
  id       NUMBER(8)     CONSTRAINT sales_pk PRIMARY KEY,
  amount   NUMBER(10,2),
  sold     DATE,
  region   VARCHAR2(20),
  memo     VARCHAR2(30)
);

CREATE INDEX sales_sold_ix ON sales (region, sold);
CREATE INDEX sales_same_ix ON sales (sold DESC, id);
CREATE INDEX sales_region_ix ON sales (region);
CREATE INDEX sales_extra_ix ON sales (region DESC, amount);
CREATE INDEX sales_memo_ix ON sales (id, memo DESC);

INSERT INTO sales VALUES (1, 10.5, TO_DATE('2024-01-02', 'YYYY-MM-DD'), 'north', 'first');
INSERT INTO sales VALUES (2, 20, NULL, 'south', NULL);
