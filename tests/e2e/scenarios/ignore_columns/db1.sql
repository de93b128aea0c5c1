CREATE TABLE shipments (
  shipment_id  NUMBER(8)     CONSTRAINT shipments_pk PRIMARY KEY,
  carrier      VARCHAR2(30)  NOT NULL,
  weight_kg    NUMBER(7,2),
  audit_user   VARCHAR2(30)  DEFAULT USER,
  audit_note   VARCHAR2(100),
  created_ts   DATE          DEFAULT SYSDATE,
  legacy       CHAR(1)
);

CREATE TABLE parcels (
  parcel_id    NUMBER(8)     CONSTRAINT parcels_pk PRIMARY KEY,
  shipment_id  NUMBER(8),
  label        VARCHAR2(40)
);
