#include "structure/index_comparer.h"

#include <gtest/gtest.h>

#include "base/report_layout.h"
#include "structure/structure_test_doubles.h"

namespace velmora {
namespace {

using Colour = ReportColour;

class IndexComparerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FakeTable& t1 = h.db1.table("EMP");
    t1.indexes = {{"EMP_NAME_IX", false, {"NAME"}},
                  {"EMP_X", true, {"A", "B"}},
                  {"EMP_ONLY1", false, {"C"}},
                  {"EMP_PREFIX", false, {"A", "B"}},
                  {"EMP_PK", true, {"ID"}}};
    t1.constraints = {{"EMP_PK", "P", {"ID"}, "", "", ""}};
    FakeTable& t2 = h.db2.table("EMP");
    t2.indexes = {{"EMP_NAME_IX", false, {"NAME"}},
                  {"EMP_X", true, {"B", "A"}},
                  {"EMP_ONLY2", false, {"D"}},
                  {"EMP_PREFIX", false, {"A"}},
                  {"EMP_PK", true, {"ID", "X"}}};
    t2.constraints = {{"EMP_PK", "P", {"ID", "X"}, "", "", ""}};
    h.scripts.indexDdl["EMP.EMP_ONLY1"] =
        "CREATE INDEX EMP_ONLY1 ON EMP\r\n\t(\r\n\t C\r\n\t)\r\n;\r\n";
    h.scripts.indexDdl["EMP.EMP_PREFIX"] = "CREATE INDEX EMP_PREFIX ON EMP\r\n;\r\n";
    h.scripts.indexDdl["EMP.EMP_X"] = "CREATE UNIQUE INDEX EMP_X ON EMP\r\n;\r\n";
    h.common("EMP");
  }
  int bothPasses() {
    IndexComparer comparer(h.run);
    comparer.compareIndexes(true);
    return comparer.compareIndexes(false);
  }
  std::vector<RecordingWriter::Write> writesFrom(const std::string& text) {
    auto all = h.out.writes();
    for (size_t i = 0; i < all.size(); ++i)
      if (all[i].text == text) return {all.begin() + static_cast<long>(i), all.end()};
    ADD_FAILURE() << "not written: " << text;
    return {};
  }

  StructureHarness h;
};

TEST_F(IndexComparerTest, ReportListsOneSidedAndChangedIndexes) {
  EXPECT_EQ(bothPasses(), 5);
  const std::string header =
      "\r\n\r\n\r\nThe following are the index differences between COMMON tables\r\n\r\n" +
      std::string(7 + 25, ' ') + fixedWidth("SCOTT@ORCL", 16) + fixedWidth("HR@TEST", 16) +
      fixedWidth("SCOTT@ORCL", 21) + fixedWidth("HR@TEST", 27) + "\r\nTABLE  " +
      "INDEX                    UNIQUENESS      UNIQUENESS      COLUMN               COLUMN     "
      "\r\n" +
      std::string(130, '-');
  const std::string blanks62(64, ' ');
  const std::string expected = header + "\r\nEMP    " + fixedWidth("EMP_ONLY1", 25) +
                               fixedWidth("NOT UNIQUE ", 16) + fixedWidth("Not Found", 16) +
                               // a prefix of the other list
                               "\r\n\r\n       " + fixedWidth("EMP_PREFIX", 25) +
                               fixedWidth("NOT UNIQUE ", 16) + fixedWidth("NOT UNIQUE ", 16) +
                               fixedWidth("A", 21) + "A" + "\r\n" + blanks62 + fixedWidth("B", 21) +
                               // the same columns in another order
                               "\r\n\r\n       " + fixedWidth("EMP_X", 25) +
                               fixedWidth("    UNIQUE ", 16) + fixedWidth("    UNIQUE ", 16) +
                               fixedWidth("A", 21) + "B" + "\r\n" + blanks62 + fixedWidth("B", 21) +
                               "A" + "\r\n\r\n       " + fixedWidth("EMP_ONLY2", 25) +
                               fixedWidth("Not Found", 16) + fixedWidth("NOT UNIQUE ", 16) + "\r\n";
  EXPECT_EQ(h.out.text(), expected);

  using W = RecordingWriter::Write;
  auto only1 = writesFrom(fixedWidth("EMP_ONLY1", 25));
  ASSERT_GE(only1.size(), 3u);
  EXPECT_EQ(only1[0].colour, Colour::Blue);
  EXPECT_EQ(only1[1], (W{fixedWidth("NOT UNIQUE ", 16), Colour::Blue, false, false}));
  EXPECT_EQ(only1[2].colour, Colour::Black);
  auto prefix = writesFrom(fixedWidth("EMP_PREFIX", 25));
  ASSERT_GE(prefix.size(), 7u);
  EXPECT_EQ(prefix[0].colour, Colour::Green);
  EXPECT_EQ(prefix[1].colour, Colour::Green);  // equal words
  EXPECT_EQ(prefix[3], (W{fixedWidth("A", 21), Colour::Green, false, false}));
  EXPECT_EQ(prefix[6], (W{fixedWidth("B", 21), Colour::Blue, false, false}));
  EXPECT_EQ(prefix[7], (W{"", Colour::Red, false, false}));
  auto only2 = writesFrom(fixedWidth("EMP_ONLY2", 25));
  EXPECT_EQ(only2[0].colour, Colour::Red);
  EXPECT_EQ(only2[1].colour, Colour::Black);
  EXPECT_EQ(only2[2].colour, Colour::Red);

  // The key's own index never takes part.
  for (const IndexEntry& index : h.tables[0].indexes) EXPECT_NE(index.name, "EMP_PK");
}

TEST_F(IndexComparerTest, UpgradeDropsAndCreatesFromDatabaseOne) {
  h.setMode(1);
  bothPasses();
  const std::string expected =
      "\r\n\r\n\r\n" + bannerTop() +
      "*  The following statements will upgrade the indexes for the COMMON tables" +
      bannerBottom() +
      "\r\n/*  EMP  */\r\n"
      "\r\nDROP INDEX EMP_PREFIX;"
      "\r\nDROP INDEX EMP_X;"
      "\r\nDROP INDEX EMP_ONLY2;"
      "\r\n"
      "CREATE INDEX EMP_ONLY1 ON EMP\r\n\t(\r\n\t C\r\n\t)\r\n;\r\n"
      "CREATE INDEX EMP_PREFIX ON EMP\r\n;\r\n"
      "CREATE UNIQUE INDEX EMP_X ON EMP\r\n;\r\n"
      "\r\n\r\n";
  EXPECT_EQ(h.out.text(), expected);
  EXPECT_EQ(h.scripts.calls.back(), "scriptIndexes SCOTT.EMP [EMP_ONLY1;EMP_PREFIX;EMP_X;]");
}

TEST_F(IndexComparerTest, OnlyInDatabaseTwoStillAsksForAnEmptyCreateList) {
  h.setMode(1);
  h.db1.tables["EMP"].indexes = {{"EMP_NAME_IX", false, {"NAME"}}};
  h.db2.tables["EMP"].indexes = {{"EMP_NAME_IX", false, {"NAME"}}, {"EMP_OLD", false, {"D"}}};
  bothPasses();
  EXPECT_EQ(h.out.text(), "\r\n\r\n\r\n" + bannerTop() +
                              "*  The following statements will upgrade the indexes for the "
                              "COMMON tables" +
                              bannerBottom() +
                              "\r\n/*  EMP  */\r\nDROP INDEX EMP_OLD;\r\n\r\n\r\n");
  EXPECT_EQ(h.scripts.calls, (std::vector<std::string>{"scriptIndexes SCOTT.EMP []"}));
}

TEST_F(IndexComparerTest, UniquenessChangeIsDroppedAndCreated) {
  h.setMode(1);
  h.db1.tables["EMP"].indexes = {{"EMP_X", true, {"A"}}};
  h.db2.tables["EMP"].indexes = {{"EMP_X", false, {"A"}}};
  bothPasses();
  EXPECT_NE(h.out.text().find("\r\n/*  EMP  */\r\nDROP INDEX EMP_X;\r\nCREATE UNIQUE INDEX EMP_X"),
            std::string::npos);
}

// The reader gives a DESC key column as its expression with " DESC": an index that differs
// only in the direction of a column is a change, and is dropped and created again.
TEST_F(IndexComparerTest, DescendingKeyColumnAgainstAnAscendingOneIsAChange) {
  h.db1.tables["EMP"].indexes = {{"EMP_X", false, {"\"A\" DESC", "B"}},
                                 {"EMP_SAME", false, {"\"C\" DESC"}}};
  h.db2.tables["EMP"].indexes = {{"EMP_X", false, {"A", "B"}}, {"EMP_SAME", false, {"\"C\" DESC"}}};
  bothPasses();
  EXPECT_NE(h.out.text().find(fixedWidth("\"A\" DESC", 21) + "A"), std::string::npos)
      << h.out.text();
  EXPECT_EQ(h.out.text().find("EMP_SAME"), std::string::npos) << h.out.text();
}

TEST_F(IndexComparerTest, DescendingKeyColumnIsDroppedAndCreatedAgain) {
  h.db1.tables["EMP"].indexes = {{"EMP_X", false, {"\"A\" DESC", "B"}},
                                 {"EMP_SAME", false, {"\"C\" DESC"}}};
  h.db2.tables["EMP"].indexes = {{"EMP_X", false, {"A", "B"}}, {"EMP_SAME", false, {"\"C\" DESC"}}};
  h.setMode(1);
  bothPasses();
  EXPECT_NE(h.out.text().find("\r\n/*  EMP  */\r\nDROP INDEX EMP_X;"), std::string::npos)
      << h.out.text();
  EXPECT_EQ(h.scripts.calls.back(), "scriptIndexes SCOTT.EMP [EMP_X;]");
}

TEST_F(IndexComparerTest, AgreeingIndexesWriteNothing) {
  h.db2.tables["EMP"] = h.db1.tables["EMP"];
  EXPECT_EQ(bothPasses(), 6);
  EXPECT_EQ(h.out.text(), "");
  h.setMode(1);
  bothPasses();
  EXPECT_EQ(h.out.text(), "");
  EXPECT_TRUE(h.scripts.calls.empty());
}

TEST_F(IndexComparerTest, QueryErrorEndsThePhase) {
  h.common("LATER");
  h.db2.indexErrors["EMP"] = "ORA-00942: table or view does not exist";
  EXPECT_EQ(bothPasses(), 1);
  EXPECT_EQ(h.out.text(),
            "\r\n\r\n\r\nThe following error ocurred when trying to process indexes in database "
            "HR@TEST for table EMP\r\nORA-00942: table or view does not exist");
  EXPECT_EQ(writesFrom("HR@TEST")[0].colour, Colour::Red);
  EXPECT_EQ(writesFrom(" for table EMP")[0].colour, Colour::Green);
  EXPECT_EQ(h.db2.log, (std::vector<std::string>{"indexes EMP"}));
}

TEST_F(IndexComparerTest, ScriptDatabaseOneWritesEveryTablesIndexes) {
  h.setMode(2);
  h.db1.table("DEPT");
  h.db1.table("SKIPPED");
  h.scripts.indexDdl["SKIPPED.S_IX"] = "CREATE INDEX S_IX ON SKIPPED\r\n;\r\n";
  h.options.IgnoreTables = {"skipped"};
  IndexComparer comparer(h.run);
  EXPECT_EQ(comparer.compareIndexes(true), 1);
  EXPECT_EQ(h.out.text(), "\r\n\r\n\r\n" + bannerTop() +
                              "*  indexes\r\n*\r\n*  The following statements will create the "
                              "indexes\r\n*\r\n" +
                              bannerBottom() +
                              "CREATE INDEX EMP_ONLY1 ON EMP\r\n\t(\r\n\t C\r\n\t)\r\n;\r\n"
                              "CREATE INDEX EMP_PREFIX ON EMP\r\n;\r\n"
                              "CREATE UNIQUE INDEX EMP_X ON EMP\r\n;\r\n");
  EXPECT_EQ(h.scripts.calls,
            (std::vector<std::string>{"scriptIndexes SCOTT.EMP *", "scriptIndexes SCOTT.DEPT *"}));
  EXPECT_TRUE(h.db2.log.empty());
}

TEST_F(IndexComparerTest, IndexGoneWithADroppedColumnIsNotDroppedAgain) {
  h.setMode(1);
  h.db1.tables["EMP"].indexes = {{"EMP_X", false, {"A"}}};
  h.db2.tables["EMP"].indexes = {{"EMP_X", false, {"A", "OLD"}}};
  h.dependencies.indexDropped("EMP", "EMP_X");
  bothPasses();
  EXPECT_NE(h.out.text().find("\r\n/*  EMP  */\r\n-- Index EMP_X went with a dropped column\r\n"),
            std::string::npos);
  EXPECT_EQ(h.out.text().find("DROP INDEX"), std::string::npos);
  EXPECT_EQ(h.scripts.calls, (std::vector<std::string>{"scriptIndexes SCOTT.EMP [EMP_X;]"}));
}

TEST_F(IndexComparerTest, KeyOfTheSameNameIsDroppedBeforeTheIndexIsCreated) {
  h.setMode(1);
  h.db1.tables["EMP"] = FakeTable{};
  h.db1.tables["EMP"].indexes = {{"EMP_UK", true, {"A"}}};
  h.db2.tables["EMP"] = FakeTable{};
  h.db2.tables["EMP"].indexes = {{"EMP_UK", true, {"A"}}};
  h.db2.tables["EMP"].constraints = {{"EMP_UK", "U", {"A"}, "", "", ""}};
  h.scripts.indexDdl["EMP.EMP_UK"] = "CREATE UNIQUE INDEX EMP_UK ON EMP\r\n;\r\n";
  bothPasses();
  EXPECT_NE(h.out.text().find("\r\n/*  EMP  */\r\n\r\nALTER TABLE EMP DROP CONSTRAINT EMP_UK;\r\n"
                              "CREATE UNIQUE INDEX EMP_UK ON EMP"),
            std::string::npos);
  EXPECT_TRUE(h.dependencies.isConstraintDropped("EMP", "EMP_UK"));
}

TEST_F(IndexComparerTest, KeyOnTheColumnsOfANewIndexIsDroppedUnlessDatabaseOneKeepsIt) {
  h.setMode(1);
  h.db1.tables["EMP"] = FakeTable{};
  h.db1.tables["EMP"].indexes = {{"EMP_A_IX", false, {"A"}}, {"EMP_B_IX", false, {"B"}}};
  h.db1.tables["EMP"].constraints = {{"EMP_B_UK", "U", {"B"}, "", "", ""}};
  h.db2.tables["EMP"] = FakeTable{};
  h.db2.tables["EMP"].constraints = {{"EMP_A_UK", "U", {"A"}, "", "", ""},
                                     {"EMP_B_UK", "U", {"B"}, "", "", ""}};
  h.scripts.indexDdl["EMP.EMP_A_IX"] = "CREATE INDEX EMP_A_IX ON EMP\r\n;\r\n";
  bothPasses();
  const std::string text = h.out.text();
  // EMP_A_UK holds A in Database 2 only: it goes before EMP_A_IX is created.
  const size_t drop = text.find("ALTER TABLE EMP DROP CONSTRAINT EMP_A_UK;\r\n");
  const size_t create = text.find("CREATE INDEX EMP_A_IX");
  ASSERT_NE(drop, std::string::npos) << text;
  ASSERT_NE(create, std::string::npos) << text;
  EXPECT_LT(drop, create);
  EXPECT_TRUE(h.dependencies.isConstraintDropped("EMP", "EMP_A_UK"));
  // Database 1 has EMP_B_UK on the same columns as its EMP_B_IX: the key stays.
  EXPECT_EQ(text.find("EMP_B_UK"), std::string::npos) << text;
}

}  // namespace
}  // namespace velmora
