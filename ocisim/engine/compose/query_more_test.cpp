// More query shapes: hierarchical queries, NULLs in aggregates and set operations, ORDER BY on
// hidden expressions, views with the owner's rights, cursors that outlive changes, and
// correlated lookups into indexes and dictionary views.
#include "engine/compose/test_support.h"

namespace ocisim::testing {
namespace {

using Strings = std::vector<std::string>;

class QueryMoreTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    exec(*sys,
         "create table emp (id number primary key, name varchar2(10), boss number, "
         "sal number)");
    exec(*sys, "insert into emp values (1, 'KING', null, 5000)");
    exec(*sys, "insert into emp values (2, 'JONES', 1, 3000)");
    exec(*sys, "insert into emp values (3, 'SCOTT', 2, 3000)");
    exec(*sys, "insert into emp values (4, 'ADAMS', 3, null)");
    exec(*sys, "insert into emp values (5, 'BLAKE', 1, 2850)");
  }
};

TEST_F(QueryMoreTest, HierarchyWithPriorAndStartWith) {
  EXPECT_EQ(query(*sys,
                  "select level, name from emp start with boss is null "
                  "connect by prior id = boss"),
            (Rows{{"1", "KING"}, {"2", "JONES"}, {"3", "SCOTT"}, {"4", "ADAMS"}, {"2", "BLAKE"}}));
  EXPECT_EQ(column(*sys,
                   "select name from emp where level = 2 start with id = 1 "
                   "connect by prior id = boss order by name"),
            (Strings{"BLAKE", "JONES"}));
  exec(*sys, "update emp set boss = 4 where id = 1");
  EXPECT_EQ(errorCode(*sys, "select name from emp start with id = 1 connect by prior id = boss"),
            1436);
  EXPECT_EQ(column(*sys,
                   "select count(*) from emp start with id = 1 "
                   "connect by nocycle prior id = boss"),
            (Strings{"5"}));
  EXPECT_EQ(errorCode(*sys, "select level from emp"), 1788);
}

TEST_F(QueryMoreTest, NullsInAggregatesAndSetOperations) {
  EXPECT_EQ(query(*sys,
                  "select count(*), count(sal), sum(sal), avg(sal), min(sal), max(name) "
                  "from emp"),
            (Rows{{"5", "4", "13850", "3462.5", "2850", "SCOTT"}}));
  EXPECT_EQ(query(*sys, "select sal, count(*) from emp group by sal order by sal nulls first"),
            (Rows{{"NULL", "1"}, {"2850", "1"}, {"3000", "2"}, {"5000", "1"}}));
  EXPECT_EQ(column(*sys, "select sal from emp union select null from dual"),
            (Strings{"2850", "3000", "5000", "NULL"}))
      << "NULLs are duplicates of each other in set operations";
  EXPECT_EQ(column(*sys, "select sal from emp minus select 3000 from dual"),
            (Strings{"2850", "5000", "NULL"}));
  EXPECT_EQ(column(*sys, "select count(distinct sal) from emp"), (Strings{"3"}));
}

TEST_F(QueryMoreTest, OrderByExpressionsAliasesAndErrors) {
  EXPECT_EQ(column(*sys, "select name from emp order by nvl(sal, 0) desc, name"),
            (Strings{"KING", "JONES", "SCOTT", "BLAKE", "ADAMS"}));
  EXPECT_EQ(column(*sys, "select name n from emp order by length(n), n").front(), "KING");
  EXPECT_EQ(column(*sys, "select boss, max(sal) from emp group by boss order by max(sal) desc, 1")
                .front(),
            "3")
      << "DESC puts the NULL maximum of boss 3 first";
  EXPECT_EQ(errorCode(*sys, "select distinct name from emp order by sal"), 1791);
  EXPECT_EQ(errorCode(*sys, "select name from emp order by 2"), 1785);
  EXPECT_EQ(errorCode(*sys, "select name, id name from emp order by name"), 960);
  EXPECT_EQ(column(*sys, "select name from emp where sal = (select max(sal) from emp)"),
            (Strings{"KING"}));
  EXPECT_EQ(column(*sys,
                   "select name from emp e where sal > (select avg(sal) from emp x "
                   "where x.boss = e.boss) order by name"),
            (Strings{"JONES"}));
}

// A query ordered by a key and then by other items reads the key's index in order; the items after
// the key decide nothing only when no two rows can share the key.
TEST_F(QueryMoreTest, OrderByAKeyAndTheItemsAfterIt) {
  exec(*sys, "create table k (a number, b varchar2(5), c date)");
  exec(*sys, "create unique index k_a on k (a)");
  for (const char* row : {"null, 'z', null", "2, 'x', sysdate", "null, 'a', null",
                          "1, 'y', sysdate", "null, 'm', null"}) {
    exec(*sys, std::string("insert into k values (") + row + ")");
  }
  EXPECT_EQ(column(*sys, "select b from k order by a, b"),
            (Strings{"y", "x", "a", "m", "z"}))
      << "rows whose unique key is NULL repeat it: the next item orders them";
  EXPECT_EQ(column(*sys, "select b from k order by a desc, b desc"),
            (Strings{"z", "m", "a", "x", "y"}));

  exec(*sys, "create table p (id number primary key, name varchar2(5), d date)");
  for (const char* row : {"3, 'c'", "1, 'a'", "2, 'b'"}) {
    exec(*sys, std::string("insert into p values (") + row + ", date '2024-01-02')");
  }
  EXPECT_EQ(column(*sys,
                   "select name, to_char(d, 'YYYY-MM-DD') d from p order by id, d, name nulls "
                   "first"),
            (Strings{"a", "b", "c"}));
  EXPECT_EQ(column(*sys, "select name, d from p order by \"ID\" desc, 2, upper(name)"),
            (Strings{"c", "b", "a"}));
  EXPECT_EQ(column(*sys, "select name from p order by name desc, id"), (Strings{"c", "b", "a"}));
}

TEST_F(QueryMoreTest, InListsWithNullsAndLikePatterns) {
  EXPECT_EQ(column(*sys, "select id from emp where boss in (1, null) order by id"),
            (Strings{"2", "5"}));
  EXPECT_TRUE(column(*sys, "select id from emp where id not in (select boss from emp)").empty())
      << "NOT IN a list holding NULL is never true";
  EXPECT_EQ(column(*sys,
                   "select id from emp where id not in (select boss from emp where boss "
                   "is not null) order by id"),
            (Strings{"4", "5"}));
  EXPECT_EQ(column(*sys, "select name from emp where name like '_O%' order by name"),
            (Strings{"JONES"}));
  EXPECT_EQ(column(*sys, "select name from emp where name not like '%A%' order by name"),
            (Strings{"JONES", "KING", "SCOTT"}));
  EXPECT_EQ(errorCode(*sys, "select 1 from dual where 'a' like 'a' escape 'xy'"), 1425);
}

TEST_F(QueryMoreTest, ViewsRunWithTheirOwnersRights) {
  exec(*sys, "create user v1 identified by v1");
  exec(*sys, "create user v2 identified by v2");
  exec(*sys, "grant create session, create view to v1");
  exec(*sys, "grant create session to v2");
  exec(*sys, "grant select on emp to v1");
  auto v1 = db->logon("V1", "v1");
  exec(*v1, "create view rich as select name from system.emp where sal >= 3000");
  exec(*v1, "grant select on rich to v2");
  auto v2 = db->logon("V2", "v2");
  EXPECT_EQ(column(*v2, "select count(*) from v1.rich"), (Strings{"3"}));
  EXPECT_EQ(errorCode(*v2, "select count(*) from system.emp"), 942);
  exec(*sys, "revoke select on emp from v1");
  EXPECT_EQ(errorCode(*v2, "select count(*) from v1.rich"), 4063)
      << "the view no longer compiles for its owner";
}

TEST_F(QueryMoreTest, CursorsSurviveChangesWhileTheyStream) {
  exec(*sys, "create table n (id number primary key)");
  exec(*sys, "insert into n select level from dual connect by level <= 1000");
  auto other = db->logon("SYSTEM", "manager");
  auto ordered = sys->execute("select id from n order by id");
  auto reversed = sys->execute("select id from n order by id desc");
  Row row;
  ASSERT_TRUE(ordered.cursor->fetch(row));
  ASSERT_TRUE(reversed.cursor->fetch(row));
  EXPECT_EQ(toText(row[0], sys->nls()), "1000");
  // Another session deletes rows ahead of both cursors and adds new ones.
  exec(*other, "delete from n where id between 2 and 500");
  exec(*other, "delete from n where id between 900 and 999");
  exec(*other, "insert into n values (2000)");
  std::vector<int64_t> forward;
  while (ordered.cursor->fetch(row)) forward.push_back(*row[0].asNumber().toInt64());
  ASSERT_FALSE(forward.empty());
  EXPECT_EQ(forward.front(), 501);
  EXPECT_EQ(forward.back(), 2000);
  EXPECT_TRUE(std::is_sorted(forward.begin(), forward.end()));
  std::vector<int64_t> backward;
  while (reversed.cursor->fetch(row)) backward.push_back(*row[0].asNumber().toInt64());
  ASSERT_FALSE(backward.empty());
  EXPECT_EQ(backward.front(), 899);
  EXPECT_EQ(backward.back(), 1);
  EXPECT_TRUE(std::is_sorted(backward.rbegin(), backward.rend()));
  exec(*other, "drop table n");
  auto scan = sys->execute("select count(*) from emp");
  EXPECT_TRUE(scan.cursor->fetch(row));
}

TEST_F(QueryMoreTest, DescribeTypesOfExpressions) {
  auto stmt = sys->prepare(
      "select id, name, sal * 2, name || 'x', sysdate, count(*) over_count, "
      "to_char(sal), cast_me from (select e.*, 1 cast_me from emp e) group by id, name, sal, "
      "cast_me");
  const auto& cols = stmt->describe();
  ASSERT_EQ(cols.size(), 8u);
  EXPECT_EQ(cols[0].type.ociTypeCode(), 2);
  EXPECT_EQ(cols[1].type.ociTypeCode(), 1);
  EXPECT_EQ(cols[1].type.ociDataSize(), 10);
  EXPECT_EQ(cols[2].type.ociTypeCode(), 2);
  EXPECT_EQ(cols[3].type.ociTypeCode(), 1);
  EXPECT_EQ(cols[4].type.ociTypeCode(), 12);
  EXPECT_EQ(cols[5].name, "OVER_COUNT");
  EXPECT_EQ(cols[6].type.ociTypeCode(), 1);
  EXPECT_FALSE(cols[0].nullable) << "a primary key column";
  EXPECT_TRUE(cols[1].nullable);
}

TEST_F(QueryMoreTest, CorrelatedSubqueriesFindRowsThroughAnIndexAndADictionaryView) {
  exec(*sys, "create table dept (deptno number primary key, dname varchar2(10))");
  exec(*sys, "insert into dept values (1, 'SALES')");
  exec(*sys, "insert into dept values (2, 'OPS')");
  // The primary key's index is searched with the outer row's value, not with NULL.
  EXPECT_EQ(column(*sys,
                   "select name from emp e where exists "
                   "(select 1 from dept d where d.deptno = e.boss) order by name"),
            (Strings{"BLAKE", "JONES", "SCOTT"}));
  EXPECT_EQ(query(*sys,
                  "select id, (select dname from dept d where d.deptno = e.boss) from emp e "
                  "where id <= 3 order by id"),
            (Rows{{"1", "NULL"}, {"2", "SALES"}, {"3", "OPS"}}));
  // A dictionary view pinned by a column of the enclosing query, one table after the other.
  exec(*sys, "create table nokey (x number)");
  EXPECT_EQ(column(*sys,
                   "select table_name from user_tables t where table_name in ('EMP', 'DEPT', "
                   "'NOKEY') and not exists (select 1 from all_constraints c where "
                   "c.table_name = t.table_name and c.constraint_type = 'P') order by 1"),
            (Strings{"NOKEY"}));
}

TEST_F(QueryMoreTest, ADictionaryViewJoinedByLookupKeepsEveryMatchAndNoOther) {
  exec(*sys, "create index emp_name_sal on emp (name, sal)");
  exec(*sys, "create table keys (owner varchar2(30), index_name varchar2(30))");
  exec(*sys, "insert into keys values ('SYSTEM', 'EMP_NAME_SAL')");
  exec(*sys, "insert into keys values ('SYSTEM', 'NO_SUCH_INDEX')");
  exec(*sys, "insert into keys values (null, 'EMP_NAME_SAL')");
  exec(*sys, "insert into keys values ('SYSTEM', 'EMP_NAME_SAL')");
  EXPECT_EQ(query(*sys,
                  "select k.index_name, c.column_name, c.column_position from keys k, "
                  "all_ind_columns c where c.index_owner = k.owner and c.index_name = "
                  "k.index_name order by 3"),
            (Rows{{"EMP_NAME_SAL", "NAME", "1"},
                  {"EMP_NAME_SAL", "NAME", "1"},
                  {"EMP_NAME_SAL", "SAL", "2"},
                  {"EMP_NAME_SAL", "SAL", "2"}}));
  // A condition besides the join keys still applies.
  EXPECT_EQ(column(*sys,
                   "select count(*) from keys k, all_ind_columns c where c.index_owner = "
                   "k.owner and c.index_name = k.index_name and c.column_name = 'SAL'"),
            (Strings{"2"}));
}

}  // namespace
}  // namespace ocisim::testing
