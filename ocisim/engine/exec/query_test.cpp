// Queries that need no tables of their own: DUAL, the row generator and inline views.
#include "engine/exec/test_support.h"

namespace ocisim::testing {
namespace {

class QueryTest : public EngineTest {};

TEST_F(QueryTest, DualAndExpressions) {
  EXPECT_EQ(query(*sys, "select * from dual"), (Rows{{"X"}}));
  EXPECT_EQ(query(*sys, "select 1+2*3, 'a'||null||'b', -(.5), 10/4 from dual"),
            (Rows{{"7", "ab", "-.5", "2.5"}}));
  EXPECT_EQ(column(*sys, "select user from dual"), (std::vector<std::string>{"SYSTEM"}));
  EXPECT_EQ(column(*sys, "select nvl(null, 'z') from sys.dual"), (std::vector<std::string>{"z"}));
}

TEST_F(QueryTest, ThreeValuedLogicInWhere) {
  EXPECT_TRUE(query(*sys, "select 1 from dual where null = null").empty());
  EXPECT_TRUE(query(*sys, "select 1 from dual where not (null = 1)").empty());
  EXPECT_EQ(query(*sys, "select 1 from dual where null is null or 1 = 0").size(), 1u);
  EXPECT_EQ(query(*sys, "select 1 from dual where 2 not in (1, 3)").size(), 1u);
  EXPECT_TRUE(query(*sys, "select 1 from dual where 2 not in (1, null)").empty());
  EXPECT_EQ(query(*sys,
                  "select 1 from dual where 'abc' like 'a%' and 'a_c' like 'a\\_c' "
                  "escape '\\' and 5 between 1 and 5")
                .size(),
            1u);
}

TEST_F(QueryTest, ConnectByLevelGeneratesRows) {
  EXPECT_EQ(column(*sys, "select level from dual connect by level <= 4"),
            (std::vector<std::string>{"1", "2", "3", "4"}));
  EXPECT_EQ(
      column(*sys, "select count(*) from (select level n from dual connect by level <= 1000)"),
      (std::vector<std::string>{"1000"}));
}

TEST_F(QueryTest, GroupingAndAggregates) {
  std::string gen = "(select level n, mod(level, 3) g from dual connect by level <= 10)";
  EXPECT_EQ(
      query(*sys,
            "select g, count(*), sum(n), min(n), max(n) from " + gen + " group by g order by g"),
      (Rows{{"0", "3", "18", "3", "9"}, {"1", "4", "22", "1", "10"}, {"2", "3", "15", "2", "8"}}));
  EXPECT_EQ(query(*sys, "select count(distinct g), avg(n) from " + gen), (Rows{{"3", "5.5"}}));
  EXPECT_EQ(query(*sys, "select g from " + gen + " group by g having count(*) > 3"), (Rows{{"1"}}));
  EXPECT_EQ(query(*sys, "select count(*), sum(n) from " + gen + " where n > 100"),
            (Rows{{"0", "NULL"}}));
  EXPECT_EQ(errorCode(*sys, "select n, count(*) from " + gen + " group by g"), 979);
  EXPECT_EQ(errorCode(*sys, "select n from " + gen + " where count(*) > 1"), 934);
}

TEST_F(QueryTest, OrderByNullsAndRownum) {
  std::string gen = "(select decode(level, 2, null, level) v from dual connect by level <= 4)";
  EXPECT_EQ(column(*sys, "select v from " + gen + " order by v"),
            (std::vector<std::string>{"1", "3", "4", "NULL"}));
  EXPECT_EQ(column(*sys, "select v from " + gen + " order by v desc"),
            (std::vector<std::string>{"NULL", "4", "3", "1"}));
  EXPECT_EQ(column(*sys, "select v from " + gen + " order by 1 nulls first"),
            (std::vector<std::string>{"NULL", "1", "3", "4"}));
  EXPECT_EQ(column(*sys, "select v x from " + gen + " order by x desc nulls last"),
            (std::vector<std::string>{"4", "3", "1", "NULL"}));
  // ROWNUM is given before ORDER BY.
  EXPECT_EQ(column(*sys, "select rownum from " + gen + " where rownum <= 2 order by v desc"),
            (std::vector<std::string>{"2", "1"}));
  EXPECT_TRUE(query(*sys, "select 1 from " + gen + " where rownum = 2").empty());
  EXPECT_EQ(query(*sys, "select 1 from " + gen + " where rownum < 4").size(), 3u);
}

TEST_F(QueryTest, SetOperations) {
  std::string a = "select level n from dual connect by level <= 4";
  std::string b = "select level + 2 from dual connect by level <= 4";
  EXPECT_EQ(column(*sys, a + " union " + b),
            (std::vector<std::string>{"1", "2", "3", "4", "5", "6"}));
  EXPECT_EQ(column(*sys, a + " union all " + b).size(), 8u);
  EXPECT_EQ(column(*sys, a + " minus " + b), (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(column(*sys, a + " intersect " + b + " order by 1 desc"),
            (std::vector<std::string>{"4", "3"}));
  EXPECT_EQ(errorCode(*sys, "select 1, 2 from dual union select 1 from dual"), 1789);
}

TEST_F(QueryTest, SubqueriesScalarExistsAndCorrelated) {
  std::string gen = "(select level n from dual connect by level <= 5)";
  EXPECT_EQ(column(*sys, "select (select max(n) from " + gen + ") from dual"),
            (std::vector<std::string>{"5"}));
  EXPECT_EQ(column(*sys, "select n from " + gen + " a where exists (select 1 from " + gen +
                             " b where b.n = a.n * 2) order by n"),
            (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(column(*sys, "select n from " + gen + " a where n in (select n + 3 from " + gen +
                             ") order by n"),
            (std::vector<std::string>{"4", "5"}));
  EXPECT_EQ(column(*sys, "select (select count(*) from " + gen + " b where b.n < a.n) from " + gen +
                             " a order by 1"),
            (std::vector<std::string>{"0", "1", "2", "3", "4"}));
  EXPECT_EQ(errorCode(*sys, "select (select n from " + gen + ") from dual"), 1427);
}

TEST_F(QueryTest, JoinsOverInlineViews) {
  std::string a = "(select level n from dual connect by level <= 3)";
  std::string b = "(select level + 1 m from dual connect by level <= 3)";
  EXPECT_EQ(query(*sys, "select n, m from " + a + " x, " + b + " y where x.n = y.m order by n"),
            (Rows{{"2", "2"}, {"3", "3"}}));
  EXPECT_EQ(
      query(*sys, "select n, m from " + a + " x left join " + b + " y on x.n = y.m order by n"),
      (Rows{{"1", "NULL"}, {"2", "2"}, {"3", "3"}}));
  EXPECT_EQ(query(*sys, "select n, m from " + a + " x right outer join " + b +
                            " y on x.n = y.m order by m"),
            (Rows{{"2", "2"}, {"3", "3"}, {"NULL", "4"}}));
  EXPECT_EQ(query(*sys, "select n, m from " + a + " x full outer join " + b +
                            " y on x.n = y.m order by n, m"),
            (Rows{{"1", "NULL"}, {"2", "2"}, {"3", "3"}, {"NULL", "4"}}));
  EXPECT_EQ(query(*sys, "select count(*) from " + a + " x, " + b + " y"), (Rows{{"9"}}));
  // USING and NATURAL: the joined column comes once, first, and cannot be qualified.
  std::string c = "(select level n, level * 10 v from dual connect by level <= 3)";
  std::string d = "(select level + 1 n, 'd' || level w from dual connect by level <= 3)";
  EXPECT_EQ(query(*sys, "select * from " + c + " x join " + d + " y using (n) order by n"),
            (Rows{{"2", "20", "d1"}, {"3", "30", "d2"}}));
  EXPECT_EQ(query(*sys, "select n, w from " + c + " x natural full join " + d + " y order by n"),
            (Rows{{"1", "NULL"}, {"2", "d1"}, {"3", "d2"}, {"4", "d3"}}));
  EXPECT_EQ(errorCode(*sys, "select x.n from " + c + " x join " + d + " y using (n)"), 904);
  EXPECT_EQ(errorCode(*sys, "select * from " + c + " x join " + d + " y using (zz)"), 904);
  EXPECT_EQ(query(*sys, "select n, m from " + a + " x, " + b + " y where x.n = y.m(+) order by n"),
            (Rows{{"1", "NULL"}, {"2", "2"}, {"3", "3"}}));
}

TEST_F(QueryTest, NamesAndDescribe) {
  auto stmt = sys->prepare("select dummy, 'a' x, 1+1, '#^@@$#' from dual d");
  const auto& cols = stmt->describe();
  ASSERT_EQ(cols.size(), 4u);
  EXPECT_EQ(cols[0].name, "DUMMY");
  EXPECT_EQ(cols[1].name, "X");
  EXPECT_EQ(cols[2].name, "1+1");
  EXPECT_EQ(cols[3].name, "'#^@@$#'");
  EXPECT_EQ(cols[1].type.ociTypeCode(), 96);
  EXPECT_EQ(cols[2].type.ociTypeCode(), 2);
  EXPECT_EQ(errorCode(*sys, "select nosuch from dual"), 904);
  EXPECT_EQ(errorCode(*sys, "select 1 from nosuch"), 942);
  EXPECT_EQ(errorCode(*sys, "select d.dummy from dual x"), 904);
}

TEST_F(QueryTest, BindsByName) {
  BindSet binds;
  binds.set(":A", Value::integer(2));
  binds.set("b", Value::text("x"));
  EXPECT_EQ(query(*sys, "select :a * 3, :b || :B from dual", binds), (Rows{{"6", "xx"}}));
  EXPECT_EQ(errorCode(*sys, "select :missing from dual"), 1008);
}

}  // namespace
}  // namespace ocisim::testing
