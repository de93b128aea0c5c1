CREATE TABLE departments (
  dept_id  NUMBER(4)     CONSTRAINT departments_pk PRIMARY KEY,
  name     VARCHAR2(30)  NOT NULL CONSTRAINT departments_name_uk UNIQUE,
  code     VARCHAR2(6)   CONSTRAINT departments_code_uk UNIQUE,
  budget   NUMBER(10)    CONSTRAINT departments_budget_ck CHECK (budget > 0)
);

CREATE TABLE employees (
  emp_id     NUMBER(6)     PRIMARY KEY,
  dept_id    NUMBER(4)     CONSTRAINT employees_dept_fk REFERENCES departments (dept_id),
  mentor_id  NUMBER(6)     CONSTRAINT employees_mentor_fk
                           REFERENCES employees (emp_id) ON DELETE CASCADE,
  email      VARCHAR2(60),
  salary     NUMBER(8,2),
  CONSTRAINT employees_salary_ck CHECK (salary > 0),
  CONSTRAINT employees_email_ck CHECK (email LIKE '%@%'),
  CHECK (emp_id >= 0)
);

-- The key of DEPARTMENTS.CODE that Database 1 does not have is still referenced here.
CREATE TABLE projects (
  project_id  NUMBER(6),
  phase       NUMBER(2),
  dept_code   VARCHAR2(6)   CONSTRAINT projects_dept_code_fk REFERENCES departments (code),
  lead_id     NUMBER(6),
  CONSTRAINT projects_pk PRIMARY KEY (project_id),
  CONSTRAINT projects_lead_fk FOREIGN KEY (lead_id) REFERENCES employees (emp_id)
);

INSERT INTO departments VALUES (10, 'Research', 'RES', 1000);
INSERT INTO employees VALUES (1, 10, NULL, 'ada@example.com', 5000);
INSERT INTO employees VALUES (2, 10, 1, 'alan@example.com', 4000);
INSERT INTO projects VALUES (100, 1, 'RES', 1);
