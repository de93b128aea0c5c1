// Test support for the dictionary views: a database of a given release with a prepared schema,
// built with real DDL through the public engine API, and sessions for the schema owner SCOTT,
// a second user OTHER (granted some of SCOTT's objects), a DBA user BOSS and SYSTEM.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/dict/dictionary_install.h"
#include "engine/exec/database.h"
#include "engine/exec/session.h"
#include "engine/exec/test_queries.h"

namespace ocisim::dict::testing {

using ocisim::testing::column;
using ocisim::testing::errorCode;
using ocisim::testing::exec;
using ocisim::testing::query;
using ocisim::testing::Rows;

// Runs statements in order; a failure names the statement.
inline void runAll(Session& s, const std::vector<std::string>& statements) {
  for (const std::string& sql : statements) {
    try {
      exec(s, sql);
    } catch (const OraError& e) {
      FAIL() << sql << "\n  failed: " << e.what();
    }
  }
}

inline BindSet binds(std::initializer_list<std::pair<const char*, const char*>> values) {
  BindSet b;
  for (const auto& [name, value] : values) b.set(name, Value::text(value));
  return b;
}

// The users and grants: SCOTT and OTHER are ordinary users, BOSS holds DBA.
inline const std::vector<std::string>& userStatements() {
  static const std::vector<std::string> k = {
      "create user scott identified by tiger",
      "grant connect, resource to scott",
      "grant create view to scott",
      "create user other identified by other",
      "grant connect, resource to other",
      "create user boss identified by boss",
      "grant dba to boss",
  };
  return k;
}

// SCOTT's schema: two tables with every kind of constraint, storage clauses, indexes, a view,
// sequences, stored code, a trigger and an object type column. Release 7 had no LOBs: there
// EMP's RESUME and PHOTO are VARCHAR2 and RAW.
inline std::vector<std::string> scottSchema(const std::string& version = "19.3.0") {
  std::vector<std::string> k = {
      "create table dept (deptno number(2) constraint pk_dept primary key, "
      "dname varchar2(14) not null, loc varchar2(13) default 'NEW YORK' )",
      "create table emp (empno number(4) not null, ename varchar2(10), job char(9), "
      "mgr integer, hiredate date default sysdate, sal number(7,2), comm float, bonus number, "
      "notes long, resume clob, photo blob, deptno number(2), "
      "constraint pk_emp primary key (empno), "
      "constraint fk_emp_dept foreign key (deptno) references dept (deptno) on delete cascade, "
      "constraint ck_sal check (sal > 0), "
      "constraint uk_ename unique (ename) using index pctfree 5 tablespace users) "
      "pctfree 20 pctused 50 initrans 2 maxtrans 100 tablespace users "
      "storage (initial 128k next 256k minextents 1 maxextents 200 pctincrease 10 freelists 2 "
      "freelist groups 1)",
      "create table bonus (ename varchar2(10), deptno number(2) references dept on delete set "
      "null, amount number(9,2) check (amount >= 0))",
      "create index emp_job on emp (job, hiredate desc)",
      "create unique index emp_mgr on emp (mgr, empno) pctfree 15 initrans 4 compress 1",
      "create sequence emp_seq start with 100 increment by 10 maxvalue 1000000 cache 5 cycle "
      "order",
      "create sequence plain_seq",
      "create view emp_v as select empno, ename, sal from emp where deptno = 10",
      "create or replace procedure raise_sal(p number) is\nbegin\n  update emp set sal = sal * "
      "p;\nend;",
      "create or replace trigger emp_trg\nbefore insert or update on emp\nfor each row\nwhen "
      "(new.sal > 100)\nbegin\n  :new.ename := upper(:new.ename);\nend;",
      "grant select on emp to other",
      "grant select, update on dept to other with grant option",
  };
  if (version.rfind("7.", 0) == 0) {
    std::string& emp = k[1];
    emp.replace(emp.find("resume clob, photo blob"), 23, "resume varchar2(2000), photo raw(255)");
  }
  return k;
}

class DictTest : public ::testing::Test {
 protected:
  // A database of the release with the dictionary views, the users and SCOTT's schema.
  void prepare(const std::string& version) {
    DatabaseHooks hooks;
    hooks.installViews = installDictionaryViews;
    db = Database::createInMemory({"DICTDB", version, "manager"}, hooks);
    sys = db->logon("SYSTEM", "manager");
    runAll(*sys, userStatements());
    scott = db->logon("SCOTT", "tiger");
    runAll(*scott, scottSchema(version));
    other = db->logon("OTHER", "other");
    boss = db->logon("BOSS", "boss");
  }
  void SetUp() override { prepare("19.3.0"); }

  std::shared_ptr<Database> db;
  std::unique_ptr<Session> sys;
  std::unique_ptr<Session> scott;
  std::unique_ptr<Session> other;
  std::unique_ptr<Session> boss;
};

}  // namespace ocisim::dict::testing
