CREATE TABLE clients (
  client_id  NUMBER(6)     CONSTRAINT clients_pk PRIMARY KEY,
  name       VARCHAR2(30)  NOT NULL,
  vat_no     VARCHAR2(20)
);

CREATE TABLE invoices (
  invoice_id  NUMBER(10)    CONSTRAINT invoices_pk PRIMARY KEY,
  client_id   NUMBER(6)     NOT NULL CONSTRAINT invoices_client_fk REFERENCES clients (client_id),
  issued_on   DATE,
  amount      NUMBER(12,2)  CONSTRAINT invoices_amount_ck CHECK (amount > 0),
  memo        VARCHAR2(100)
);
CREATE INDEX invoices_issued_ix ON invoices (issued_on);

CREATE TABLE reminders (
  reminder_id  NUMBER(10)  CONSTRAINT reminders_pk PRIMARY KEY,
  invoice_id   NUMBER(10)  CONSTRAINT reminders_invoice_fk REFERENCES invoices (invoice_id)
);

INSERT INTO clients VALUES (1, 'Northwind', 'NO123');
INSERT INTO invoices VALUES (500, 1, SYSDATE, 99.5, 'first');
INSERT INTO reminders VALUES (1, 500);
