CREATE TABLE shipments (
  shipment_id  NUMBER(8)     CONSTRAINT shipments_pk PRIMARY KEY,
  carrier      VARCHAR2(20)  NOT NULL,
  weight_kg    NUMBER(7,2),
  audit_user   VARCHAR2(60),
  updated_ts   DATE,
  legacy       VARCHAR2(5)   NOT NULL,
  legacy_ref   VARCHAR2(10)
);

-- Only ignored columns differ here: no difference is reported for this table.
CREATE TABLE parcels (
  parcel_id    NUMBER(8)     CONSTRAINT parcels_pk PRIMARY KEY,
  shipment_id  NUMBER(8),
  label        VARCHAR2(40),
  audit_stamp  DATE,
  moved_ts     DATE
);

INSERT INTO shipments VALUES (1, 'Posten', 12.5, 'CLERK', NULL, 'Y', NULL);
