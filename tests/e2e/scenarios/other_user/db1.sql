CREATE TABLE clients (
  client_id  NUMBER(6)     CONSTRAINT clients_pk PRIMARY KEY,
  name       VARCHAR2(50)  NOT NULL,
  vat_no     VARCHAR2(20)  CONSTRAINT clients_vat_uk UNIQUE
);

CREATE TABLE invoices (
  invoice_id  NUMBER(10)    CONSTRAINT invoices_pk PRIMARY KEY,
  client_id   NUMBER(6)     NOT NULL CONSTRAINT invoices_client_fk REFERENCES clients (client_id),
  issued_on   DATE          DEFAULT SYSDATE NOT NULL,
  amount      NUMBER(12,2)  CONSTRAINT invoices_amount_ck CHECK (amount >= 0)
);
CREATE INDEX invoices_issued_ix ON invoices (issued_on, client_id);

CREATE TABLE payments (
  payment_id  NUMBER(10)    CONSTRAINT payments_pk PRIMARY KEY,
  invoice_id  NUMBER(10)    CONSTRAINT payments_invoice_fk REFERENCES invoices (invoice_id),
  paid        NUMBER(12,2)
);
