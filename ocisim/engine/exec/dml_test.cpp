// INSERT, UPDATE, DELETE and the constraints they must respect, with Oracle's error codes.
#include "engine/exec/test_support.h"

namespace ocisim::testing {
namespace {

class DmlTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    exec(*sys,
         "create table dept (id number(4) constraint dept_pk primary key, "
         "name varchar2(20) not null, code char(3) constraint dept_code_uk unique)");
    exec(*sys,
         "create table emp (id number(6) primary key, dept_id number(4) "
         "constraint emp_dept_fk references dept (id) on delete cascade, "
         "boss number(6) constraint emp_boss_fk references emp (id) on delete set null, "
         "salary number(8,2) constraint emp_salary_ck check (salary > 0), "
         "hired date default sysdate)");
    exec(*sys, "insert into dept values (10, 'Sales', 'SAL')");
    exec(*sys, "insert into dept values (20, 'Stock', 'STK')");
  }
};

TEST_F(DmlTest, InsertValuesDefaultsAndCoercion) {
  EXPECT_EQ(exec(*sys, "insert into emp (id, dept_id, salary) values (1, 10, '1234.567')"), 1u);
  EXPECT_EQ(column(*sys, "select salary from emp"), (std::vector<std::string>{"1234.57"}));
  EXPECT_EQ(column(*sys, "select count(*) from emp where hired is not null"),
            (std::vector<std::string>{"1"}));
  EXPECT_EQ(column(*sys, "select '[' || code || ']' from dept where id = 10"),
            (std::vector<std::string>{"[SAL]"}));
  EXPECT_EQ(errorCode(*sys, "insert into emp (id, salary) values (2, 1e9)"), 1438);
  EXPECT_EQ(errorCode(*sys, "insert into dept values (30, 'x', 'TOOLONG')"), 12899);
  EXPECT_EQ(errorCode(*sys, "insert into dept values (30, 'x')"), 947);
  EXPECT_EQ(errorCode(*sys, "insert into dept values (30, 'x', 'a', 'b')"), 913);
  EXPECT_EQ(errorCode(*sys, "insert into dept (id, nosuch) values (30, 'x')"), 904);
}

TEST_F(DmlTest, NotNullPrimaryUniqueAndCheckErrors) {
  try {
    exec(*sys, "insert into dept (id, code) values (30, 'X')");
    FAIL();
  } catch (const OraError& e) {
    EXPECT_EQ(e.code(), 1400);
    EXPECT_EQ(e.text(), "cannot insert NULL into (\"SYSTEM\".\"DEPT\".\"NAME\")");
  }
  try {
    exec(*sys, "insert into dept values (10, 'Dup', 'DUP')");
    FAIL();
  } catch (const OraError& e) {
    EXPECT_EQ(e.code(), 1);
    EXPECT_EQ(e.text(), "unique constraint (SYSTEM.DEPT_PK) violated");
  }
  EXPECT_EQ(errorCode(*sys, "insert into dept values (30, 'Other', 'SAL')"), 1);
  EXPECT_EQ(exec(*sys, "insert into dept values (31, 'A', null)"), 1u);
  EXPECT_EQ(exec(*sys, "insert into dept values (32, 'B', null)"), 1u) << "NULL keys never clash";
  try {
    exec(*sys, "insert into emp (id, salary) values (1, -5)");
    FAIL();
  } catch (const OraError& e) {
    EXPECT_EQ(e.code(), 2290);
    EXPECT_EQ(e.text(), "check constraint (SYSTEM.EMP_SALARY_CK) violated");
  }
  EXPECT_EQ(errorCode(*sys, "update dept set name = null where id = 10"), 1407);
  EXPECT_EQ(errorCode(*sys, "insert into dept (id, name) values (null, 'x')"), 1400);
}

TEST_F(DmlTest, ForeignKeysParentKeyAndChildren) {
  try {
    exec(*sys, "insert into emp (id, dept_id) values (1, 99)");
    FAIL();
  } catch (const OraError& e) {
    EXPECT_EQ(e.code(), 2291);
    EXPECT_EQ(e.text(),
              "integrity constraint (SYSTEM.EMP_DEPT_FK) violated - parent key not found");
  }
  exec(*sys, "insert into emp (id, dept_id) values (1, 10)");
  exec(*sys, "insert into emp (id, dept_id, boss) values (2, 20, 1)");
  exec(*sys, "insert into emp (id, dept_id, boss) values (3, 20, 2)");
  // A parent and its child in one statement are fine (checked at the end of the statement).
  exec(*sys,
       "insert into emp (id, boss) select 10 + level, decode(level, 1, null, 11) "
       "from dual connect by level <= 2");
  EXPECT_EQ(errorCode(*sys, "update dept set id = 11 where id = 10"), 2292);
  // ON DELETE SET NULL: employee 2 loses its boss; ON DELETE CASCADE: dept 20 takes 2 and 3.
  exec(*sys, "delete from emp where id = 1");
  EXPECT_EQ(column(*sys, "select nvl(to_char(boss), 'none') from emp where id = 2"),
            (std::vector<std::string>{"none"}));
  EXPECT_EQ(exec(*sys, "delete from dept where id = 20"), 1u);
  EXPECT_EQ(column(*sys, "select count(*) from emp where id in (2, 3)"),
            (std::vector<std::string>{"0"}));
  exec(*sys,
       "create table note (id number primary key, emp_id number "
       "constraint note_emp_fk references emp)");
  exec(*sys, "insert into note values (1, 12)");
  try {
    exec(*sys, "delete from emp where id = 12");
    FAIL();
  } catch (const OraError& e) {
    EXPECT_EQ(e.code(), 2292);
    EXPECT_EQ(e.text(), "integrity constraint (SYSTEM.NOTE_EMP_FK) violated - child record found");
  }
}

TEST_F(DmlTest, AUniqueIndexOfItsOwnRefusesDuplicateKeys) {
  exec(*sys, "create table u (id number, code varchar2(5), part number)");
  exec(*sys, "create unique index u_code_ix on u (code)");
  exec(*sys, "create unique index u_pair_ix on u (id, part)");
  exec(*sys, "insert into u values (1, 'x', 1)");
  try {
    exec(*sys, "insert into u values (2, 'x', 1)");
    FAIL();
  } catch (const OraError& e) {
    EXPECT_EQ(e.code(), 1);
    EXPECT_EQ(e.text(), "unique constraint (SYSTEM.U_CODE_IX) violated");
  }
  EXPECT_EQ(exec(*sys, "insert into u values (2, 'y', 1)"), 1u);
  EXPECT_EQ(errorCode(*sys, "update u set code = 'x' where id = 2"), 1);
  EXPECT_EQ(errorCode(*sys, "insert into u values (1, 'z', 1)"), 1) << "two-column key";
  EXPECT_EQ(exec(*sys, "insert into u values (null, null, null)"), 1u);
  EXPECT_EQ(exec(*sys, "insert into u values (null, null, null)"), 1u) << "all-NULL keys";
  // A plain index never refuses a row.
  exec(*sys, "create index u_part_ix on u (part)");
  EXPECT_EQ(exec(*sys, "insert into u values (3, 'w', 1)"), 1u);
  EXPECT_EQ(column(*sys, "select count(*) from u"), (std::vector<std::string>{"5"}));
}

TEST_F(DmlTest, FailingStatementLeavesNoPartialChange) {
  exec(*sys, "create table t (id number primary key, v number check (v < 5))");
  EXPECT_EQ(errorCode(*sys, "insert into t select level, level from dual connect by level <= 9"),
            2290);
  EXPECT_EQ(column(*sys, "select count(*) from t"), (std::vector<std::string>{"0"}));
  exec(*sys, "insert into t select level, 1 from dual connect by level <= 4");
  EXPECT_EQ(errorCode(*sys, "update t set v = id + 1"), 2290);
  EXPECT_EQ(column(*sys, "select sum(v) from t"), (std::vector<std::string>{"4"}));
  // Keys are checked at the end of the statement, so shifting all keys works.
  EXPECT_EQ(exec(*sys, "update t set id = id + 1"), 4u);
  EXPECT_EQ(column(*sys, "select min(id) || '-' || max(id) from t"),
            (std::vector<std::string>{"2-5"}));
  EXPECT_EQ(errorCode(*sys, "update t set id = 3"), 1);
  EXPECT_EQ(column(*sys, "select count(distinct id) from t"), (std::vector<std::string>{"4"}));
}

TEST_F(DmlTest, UpdateDeleteWithRownumAndSubqueries) {
  exec(*sys, "create table t (id number primary key, grp number, v varchar2(10))");
  exec(*sys, "insert into t select level, mod(level, 2), 'x' from dual connect by level <= 6");
  EXPECT_EQ(exec(*sys, "update t set v = 'one' where grp = 1 and rownum = 1"), 1u);
  EXPECT_EQ(column(*sys, "select count(*) from t where v = 'one'"),
            (std::vector<std::string>{"1"}));
  EXPECT_EQ(exec(*sys, "update t set v = (select max(id) from t) where id = 2"), 1u);
  EXPECT_EQ(column(*sys, "select v from t where id = 2"), (std::vector<std::string>{"6"}));
  EXPECT_EQ(exec(*sys, "update t a set grp = (select count(*) from t b where b.id < a.id)"), 6u);
  EXPECT_EQ(column(*sys, "select grp from t order by id"),
            (std::vector<std::string>{"0", "1", "2", "3", "4", "5"}));
  EXPECT_EQ(exec(*sys, "delete from t where id in (select id from t where grp > 3)"), 2u);
  EXPECT_EQ(exec(*sys, "delete from t where v is null"), 0u);
  EXPECT_EQ(exec(*sys, "delete from t where id = 1 and rownum = 1"), 1u);
  EXPECT_EQ(column(*sys, "select count(*) from t"), (std::vector<std::string>{"3"}));
}

TEST_F(DmlTest, SequencesNextvalAndCurrval) {
  exec(*sys, "create sequence s start with 10 increment by 5");
  EXPECT_EQ(errorCode(*sys, "select s.currval from dual"), 8002);
  EXPECT_EQ(column(*sys, "select s.nextval from dual"), (std::vector<std::string>{"10"}));
  EXPECT_EQ(column(*sys, "select s.currval, s.nextval from dual").size(), 1u);
  EXPECT_EQ(query(*sys, "select s.nextval, s.nextval, s.currval from dual"),
            (Rows{{"20", "20", "20"}}));
  exec(*sys, "create table t (id number, v number)");
  exec(*sys, "insert into t select s.nextval, level from dual connect by level <= 3");
  EXPECT_EQ(column(*sys, "select id from t order by v"),
            (std::vector<std::string>{"25", "30", "35"}));
  exec(*sys, "create sequence small maxvalue 2 nocycle nocache");
  query(*sys, "select small.nextval from dual");
  query(*sys, "select small.nextval from dual");
  EXPECT_EQ(errorCode(*sys, "select small.nextval from dual"), 8004);
  EXPECT_EQ(errorCode(*sys, "select nosuch.nextval from dual"), 2289);
}

TEST_F(DmlTest, CommitIsAcceptedRollbackFailsClearly) {
  EXPECT_EQ(errorCode(*sys, "commit"), 0);
  EXPECT_EQ(errorCode(*sys, "rollback"), 3001);
  try {
    exec(*sys, "rollback work");
    ADD_FAILURE() << "ROLLBACK pretended to undo something";
  } catch (const OraError& e) {
    EXPECT_NE(std::string(e.what()).find("every statement was committed"), std::string::npos)
        << e.what();
  }
}

TEST_F(DmlTest, PrimaryKeyLookupsUseTheIndex) {
  exec(*sys, "create table big (id number primary key, v number)");
  exec(*sys, "insert into big select level, level from dual connect by level <= 20000");
  BindSet binds;
  binds.set("ID", Value::integer(12345));
  EXPECT_EQ(column(*sys, "select v from big where id = :id", binds),
            (std::vector<std::string>{"12345"}));
  EXPECT_EQ(exec(*sys, "update big set v = -1 where id = :id and rownum = 1", binds), 1u);
  EXPECT_EQ(exec(*sys, "delete from big where id = '12345' and rownum = 1"), 1u);
  EXPECT_EQ(column(*sys, "select count(*) from big where v = -1"), (std::vector<std::string>{"0"}));
  // The first row of an ORDER BY on the key comes straight from the index, in both directions.
  auto result = sys->execute("select id from big order by id desc");
  Row row;
  ASSERT_TRUE(result.cursor->fetch(row));
  EXPECT_EQ(*row[0].asNumber().toInt64(), 20000);
}

}  // namespace
}  // namespace ocisim::testing
