#include "base/comparison_options.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(ComparisonOptionsTest, ColumnPatterns) {
  ComparisonOptions options;
  options.IgnoreColumns = {"EMP%", "%_DT", "AB%BC", "emp%", "EXACT"};
  EXPECT_TRUE(options.isIgnoredColumn("EMP_ID"));
  EXPECT_TRUE(options.isIgnoredColumn("EMPNO"));
  EXPECT_TRUE(options.isIgnoredColumn("start_dt"));  // names are upper-cased, patterns are not
  EXPECT_TRUE(options.isIgnoredColumn("ABC"));       // prefix and suffix overlap
  EXPECT_TRUE(options.isIgnoredColumn("EXACT"));
  EXPECT_FALSE(options.isIgnoredColumn("EXACTLY"));
  EXPECT_FALSE(options.isIgnoredColumn("DEPTNO"));

  ComparisonOptions lower;
  lower.IgnoreColumns = {"emp%"};
  EXPECT_FALSE(lower.isIgnoredColumn("EMP_ID"));  // lower-case patterns never match
}

TEST(ComparisonOptionsTest, SelectionListsIgnoreCase) {
  ComparisonOptions options;
  options.IgnoreTables.add("Emp");
  EXPECT_TRUE(options.isIgnoredTable("EMP"));
  EXPECT_TRUE(options.isIgnoredTable("emp"));
  EXPECT_FALSE(options.isIgnoredTable("EMP2"));
  options.IgnoreFuncs.add("F1");
  ASSERT_NE(options.ignoreListForKind("FUNC"), nullptr);
  EXPECT_TRUE(options.ignoreListForKind("FUNC")->contains("f1"));
  EXPECT_EQ(options.ignoreListForKind("BOGUS"), nullptr);
}

TEST(ComparisonOptionsTest, DerivedCommentPrefixes) {
  ComparisonOptions options;
  for (int mode : {1, 2}) {
    options.i_DoingUpgradeScript = mode;
    options.setDerivedValues();
    EXPECT_EQ(options.s_StarComment, "*  ");
    EXPECT_EQ(options.s_DashComment, "-- ");
  }
  options.i_DoingUpgradeScript = 0;
  options.setDerivedValues();
  EXPECT_EQ(options.s_StarComment, "");
  EXPECT_EQ(options.s_DashComment, "");
}

TEST(ComparisonOptionsTest, WhereConditionNormalisation) {
  WhereStatements where;
  where.set("T1", "   where ID > 5");
  where.set("T2", "WHERE\tX = 1");
  where.set("T3", "");
  where.set("T4", "WHEREVER = 1");
  std::string condition;
  ASSERT_TRUE(where.find("T1", &condition));
  EXPECT_EQ(condition, "ID > 5");
  ASSERT_TRUE(where.find("T2", &condition));
  EXPECT_EQ(condition, "X = 1");
  EXPECT_FALSE(where.find("T3", &condition));
  EXPECT_FALSE(where.find("t1", &condition));  // exact name
  ASSERT_TRUE(where.find("T4", &condition));
  EXPECT_EQ(condition, "WHEREVER = 1");
}

}  // namespace
}  // namespace velmora
