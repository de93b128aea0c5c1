// Release-dependent syntax: the parser of an older release takes the newer words for names,
// and the statements fail where that release's parser failed; the newer forms' AST shapes.
#include <gtest/gtest.h>

#include "engine/sql/parser.h"
#include "engine/sql/test_support.h"

namespace ocisim::sql {
namespace {

int errorAt(int release, const std::string& sql) {
  ParseOptions options;
  options.release = release;
  try {
    parseStatement(sql, options);
  } catch (const OraError& e) {
    return e.code();
  }
  return 0;
}

TEST(ParseByRelease, NewerSyntaxFailsAsTheOlderParserDid) {
  struct Case {
    const char* sql;
    int r734, r805, r817, r920;
  };
  const Case cases[] = {
      {"select case when a = 1 then 2 end from t", 923, 923, 0, 0},
      {"select case a when 1 then 2 end from t", 923, 923, 905, 0},
      {"select * from a join b on a.x = b.x", 933, 933, 933, 0},
      {"select * from a left outer join b on a.x = b.x", 933, 933, 933, 0},
      {"select * from a cross join b", 933, 933, 933, 0},
      {"select * from a natural join b", 933, 933, 933, 0},
      {"with w as (select 1 x from dual) select x from w", 900, 900, 900, 0},
      {"select * from (with w as (select 1 x from dual) select x from w)", 903, 903, 903, 0},
      {"select date '2001-01-01' from dual", 936, 936, 936, 0},
      {"select timestamp '2001-01-01 00:00:00' from dual", 923, 923, 923, 0},
      {"select cast(a as number) from t", 907, 0, 0, 0},
      {"select extract(year from d) from t", 907, 907, 907, 0},
      {"select interval '1' day from dual", 923, 923, 923, 3001},
      {"select a from t group by rollup (a)", 0, 0, 3001, 3001},
      {"select a from t group by grouping sets ((a))", 933, 933, 933, 3001},
      {"create global temporary table g (a number) on commit preserve rows", 901, 901, 0, 0},
      {"create global temporary table g on commit delete rows as select 1 a from dual", 901,
       901, 0, 0},
      {"create or replace synonym s for t", 922, 922, 922, 0},
      {"create or replace public synonym s for u.t", 922, 922, 922, 0},
      {"create public synonym s for u.t", 0, 0, 0, 0},
      {"create public synonym u.s for t", 905, 905, 905, 905},
      {"create synonym s for t@link", 3001, 3001, 3001, 3001},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(errorAt(703, c.sql), c.r734) << "7.3: " << c.sql;
    EXPECT_EQ(errorAt(800, c.sql), c.r805) << "8.0: " << c.sql;
    EXPECT_EQ(errorAt(801, c.sql), c.r817) << "8.1: " << c.sql;
    EXPECT_EQ(errorAt(902, c.sql), c.r920) << "9.2: " << c.sql;
  }
  // The older parser takes the join word for an alias: a plain query with it still parses.
  EXPECT_EQ(errorAt(801, "select left.x from t left"), 0);
  EXPECT_EQ(errorAt(902, "select * from t left"), 933);
}

TEST(ParseWith, NamesColumnsAndPlaces) {
  auto s = parseAs<SelectStmt>(
      "with a as (select 1 x from dual), b (y) as (select x from a) select y from b");
  ASSERT_EQ(s->query->with.size(), 2u);
  EXPECT_EQ(s->query->with[0].name, "A");
  EXPECT_TRUE(s->query->with[0].columns.empty());
  EXPECT_EQ(s->query->with[1].name, "B");
  EXPECT_EQ(s->query->with[1].columns, std::vector<std::string>{"Y"});
  ASSERT_TRUE(s->query->block);
  EXPECT_EQ(s->query->block->from[0]->name, "B");
  // The list belongs to the whole query, set operations included.
  auto u = parseAs<SelectStmt>("with a as (select 1 x from dual) select x from a union select 2 "
                               "from dual order by 1");
  EXPECT_EQ(u->query->with.size(), 1u);
  EXPECT_FALSE(u->query->block);
  EXPECT_EQ(u->query->orderBy.size(), 1u);
  // In subqueries, INSERT ... SELECT and CREATE TABLE AS.
  auto sub = parseAs<SelectStmt>(
      "select * from t where a in (with w as (select 1 x from dual) select x from w)");
  EXPECT_EQ(sub->query->block->where->query->with.size(), 1u);
  auto ins = parseAs<InsertStmt>("insert into t with w as (select 1 x from dual) select x from w");
  ASSERT_TRUE(ins->query);
  EXPECT_EQ(ins->query->with.size(), 1u);
  const ErrorCase errors[] = {
      {"with w select 1 from dual", 905},
      {"with w as select 1 from dual", 906},
      {"with w as (select 1 from dual)", 928},
      {"with w as (select 1 from dual) update t set a = 1", 928},
      {"with w as (select 1 from dual", 907},
  };
  expectErrors(errors);
  // Column names came with release 11.2.
  EXPECT_EQ(errorAt(902, "with w (a) as (select 1 from dual) select a from w"), 905);
}

TEST(ParseCastAndExtract, ArgumentsAndType) {
  auto s = parseAs<SelectStmt>(
      "select cast(a + 1 as varchar2(10)), extract(month from d) from t");
  const Expr& cast = *s->query->block->items[0].expr;
  ASSERT_EQ(cast.kind, ExprKind::Function);
  EXPECT_EQ(cast.names[0], "CAST");
  ASSERT_EQ(cast.args.size(), 1u);
  EXPECT_EQ(cast.args[0]->kind, ExprKind::Binary);
  ASSERT_TRUE(cast.castType);
  EXPECT_EQ(cast.castType->name, "VARCHAR2");
  EXPECT_EQ(cast.castType->length, 10);
  EXPECT_EQ(s->query->block->items[0].name, "CAST(A+1ASVARCHAR2(10))");
  const Expr& extract = *s->query->block->items[1].expr;
  ASSERT_EQ(extract.args.size(), 2u);
  EXPECT_EQ(extract.args[0]->text, "MONTH");
  EXPECT_EQ(extract.args[1]->names[0], "D");
  const ErrorCase errors[] = {
      {"select cast(a varchar2(10)) from t", 905},
      {"select cast(a as varchar2) from t", 906},
      {"select cast(a as number from t", 907},
      {"select extract(week from d) from t", 907},
      {"select extract(year d) from t", 923},
  };
  expectErrors(errors);
}

}  // namespace
}  // namespace ocisim::sql
