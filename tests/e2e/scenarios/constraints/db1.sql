CREATE TABLE departments (
  dept_id  NUMBER(4)     CONSTRAINT departments_pk PRIMARY KEY,
  name     VARCHAR2(30)  NOT NULL CONSTRAINT departments_name_uk UNIQUE,
  code     VARCHAR2(6),
  budget   NUMBER(10)    CONSTRAINT departments_budget_ck CHECK (budget > 0)
);

CREATE TABLE employees (
  emp_id     NUMBER(6)     PRIMARY KEY,
  dept_id    NUMBER(4)     CONSTRAINT employees_dept_fk
                           REFERENCES departments (dept_id) ON DELETE CASCADE,
  mentor_id  NUMBER(6)     CONSTRAINT employees_mentor_fk REFERENCES employees (emp_id),
  email      VARCHAR2(60)  CONSTRAINT employees_email_uk UNIQUE,
  salary     NUMBER(8,2),
  CONSTRAINT employees_salary_ck CHECK (salary >= 1000),
  CHECK (emp_id > 0)
);

CREATE TABLE projects (
  project_id  NUMBER(6),
  phase       NUMBER(2),
  dept_code   VARCHAR2(6),
  lead_id     NUMBER(6),
  CONSTRAINT projects_pk PRIMARY KEY (project_id, phase),
  CONSTRAINT projects_lead_fk FOREIGN KEY (lead_id) REFERENCES employees (emp_id) ON DELETE SET NULL
);
