// Index scans inside correlated subqueries, and open cursors whose table changes shape under
// them (indexes dropped or rebuilt, columns added).
#include "engine/exec/test_support.h"

namespace ocisim::testing {
namespace {

using Strings = std::vector<std::string>;

class OperatorsTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    exec(*sys, "create table dept (deptno number primary key, dname varchar2(10))");
    exec(*sys, "insert into dept values (10, 'ACCOUNTING')");
    exec(*sys, "insert into dept values (20, 'RESEARCH')");
    exec(*sys, "create table emp (empno number primary key, ename varchar2(10), deptno number)");
    exec(*sys, "insert into emp values (1, 'KING', 10)");
    exec(*sys, "insert into emp values (2, 'SCOTT', 20)");
    exec(*sys, "insert into emp values (3, 'NOBODY', null)");
  }
};

// The key of the primary-key lookup comes from the outer row: each outer row must find its
// own department, not nothing.
TEST_F(OperatorsTest, CorrelatedKeyLookupUsesTheOuterRow) {
  EXPECT_EQ(query(*sys,
                  "select ename, (select dname from dept d where d.deptno = e.deptno) "
                  "from emp e order by empno"),
            (Rows{{"KING", "ACCOUNTING"}, {"SCOTT", "RESEARCH"}, {"NOBODY", "NULL"}}));
  EXPECT_EQ(column(*sys,
                   "select ename from emp e where exists "
                   "(select 1 from dept d where e.deptno = d.deptno and d.dname = 'RESEARCH')"),
            (Strings{"SCOTT"}));
  EXPECT_EQ(column(*sys,
                   "select dname from dept d where not exists "
                   "(select 1 from emp e where e.empno = d.deptno / 10) order by 1"),
            (Strings{}));
  EXPECT_EQ(column(*sys,
                   "select dname from dept d where 0 < "
                   "(select count(*) from emp e where e.empno = d.deptno / 10 + 1) order by 1"),
            (Strings{"ACCOUNTING", "RESEARCH"}));
}

class CursorShapeTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    exec(*sys, "create table n (id number primary key, v number)");
    exec(*sys, "insert into n select level, level from dual connect by level <= 300");
    other = db->logon("SYSTEM", "manager");
  }
  std::unique_ptr<Session> other;
};

TEST_F(CursorShapeTest, IndexRebuiltUnderAnOpenCursorIsFollowed) {
  auto ordered = sys->execute("select id from n order by id");
  Row row;
  for (int i = 0; i < 10; ++i) ASSERT_TRUE(ordered.cursor->fetch(row));
  // The index structures are freed and made again (as a reload from storage does), and an
  // unrelated index comes and goes.
  std::lock_guard lock(db->mutex());
  db->rebuildIndexes(*db->catalog().findTable("SYSTEM", "N"));
  exec(*other, "create index n_v on n (v)");
  exec(*other, "drop index n_v");
  std::vector<int64_t> rest;
  while (ordered.cursor->fetch(row)) rest.push_back(*row[0].asNumber().toInt64());
  ASSERT_EQ(rest.size(), 290u);
  EXPECT_EQ(rest.front(), 11);
  EXPECT_EQ(rest.back(), 300);
  EXPECT_TRUE(std::is_sorted(rest.begin(), rest.end()));
}

TEST_F(CursorShapeTest, CursorOnADroppedIndexEndsWithAnError) {
  auto ordered = sys->execute("select id from n order by id desc");
  Row row;
  ASSERT_TRUE(ordered.cursor->fetch(row));
  exec(*other, "alter table n drop primary key");
  EXPECT_EQ(errorCode(*sys, "select count(*) from n"), 0);
  try {
    ordered.cursor->fetch(row);
    ADD_FAILURE() << "the cursor read a dropped index";
  } catch (const OraError& e) {
    EXPECT_EQ(e.code(), 8103);
  }
}

TEST_F(CursorShapeTest, RowsChangingWidthEndTheScansOverThem) {
  auto ordered = sys->execute("select * from n order by id");
  auto scan = sys->execute("select * from n");
  Row row;
  ASSERT_TRUE(ordered.cursor->fetch(row));
  ASSERT_TRUE(scan.cursor->fetch(row));
  exec(*other, "alter table n drop column v");
  for (auto* cursor : {ordered.cursor.get(), scan.cursor.get()}) {
    try {
      cursor->fetch(row);
      ADD_FAILURE() << "a row of the old width was read";
    } catch (const OraError& e) {
      EXPECT_EQ(e.code(), 8103);
    }
  }
  EXPECT_EQ(column(*sys, "select count(*) from n"), (Strings{"300"}));
}

}  // namespace
}  // namespace ocisim::testing
