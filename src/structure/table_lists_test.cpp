#include "structure/table_lists.h"

#include <gtest/gtest.h>

#include "base/report_layout.h"
#include "structure/ddl_text.h"
#include "structure/structure_test_doubles.h"

namespace velmora {
namespace {

using Colour = ReportColour;
using W = RecordingWriter::Write;

class TableListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"EMP", "DEPT", "ONLY1", "SKIP"}) h.db1.table(name);
    for (const char* name : {"Emp", "DEPT", "ONLY2", "SKIP"}) h.db2.table(name);
    h.options.IgnoreTables = {"skip"};
  }
  void compare() {
    TableListComparer comparer(h.run, state, [this] { ++loads; });
    comparer.compareTableLists();
  }
  std::vector<std::string> workList() const {
    std::vector<std::string> names;
    for (const CommonTable& t : h.tables) names.push_back(t.firstName + "/" + t.secondName);
    return names;
  }

  StructureHarness h;
  TableRunState state;
  int loads = 0;
};

TEST_F(TableListTest, ReportPairsExactNamesAndListsEverySection) {
  compare();
  EXPECT_EQ(loads, 1);
  const std::string expected =
      "\r\n\r\n\r\n4 tables were found in SCOTT@ORCL\r\n4 tables were found in HR@TEST"
      // EMP and Emp are not paired: each is missing from the other database
      "\r\n\r\n\r\nThe following tables DO NOT exist in SCOTT@ORCL\r\n"
      "\r\n\t\tEmp\r\n\t\tONLY2"
      "\r\n\r\n\r\nThe following tables DO NOT exist in HR@TEST\r\n"
      "\r\n\t\tEMP\r\n\t\tONLY1"
      "\r\n\r\n\r\nThe following tables exist in both databases\r\n"
      "\r\n\t\tDEPT"
      // the unselected table in both not-processed lists, and nowhere else
      "\r\n\r\n\r\nThe following tables were not processed in SCOTT@ORCL\r\n\r\n\t\tSKIP"
      "\r\n\r\n\r\nThe following tables were not processed in HR@TEST\r\n\r\n\t\tSKIP";
  EXPECT_EQ(h.out.text(), expected);
  EXPECT_EQ(workList(), (std::vector<std::string>{"DEPT/DEPT"}));
  const auto writes = h.out.writes();
  EXPECT_EQ(writes[0], (W{"\r\n\r\n\r\n4", Colour::Blue, false, true}));
  EXPECT_EQ(writes[1].colour, Colour::Black);
  EXPECT_EQ(writes[3], (W{"\r\n4", Colour::Red, false, true}));
  EXPECT_EQ(writes[8], (W{"\r\n\t\tEmp", Colour::Red, false, true}));
  EXPECT_EQ(h.out.text(Colour::Green), "\r\n\t\tDEPT\r\n\t\t\r\n\t\t");

  EXPECT_EQ(h.host.objects(), (std::vector<std::string>{"DEPT"}));
  EXPECT_EQ(h.host.progressHigh(), 24);
  EXPECT_EQ(h.host.progress(), 24);
  EXPECT_TRUE(h.host.logged("status:Analyzing Databases ..."));
  EXPECT_TRUE(h.host.logged("title:Analyzing Databases - Velmora for Oracle"));
  EXPECT_EQ(state.tableNameWidth, 5);
}

TEST_F(TableListTest, WithoutStructuresOnlyCountsAreWritten) {
  h.options.b_DoStruct = 0;
  h.options.b_DoData = 1;
  compare();
  EXPECT_EQ(h.out.text(),
            "\r\n\r\n\r\n4 tables were found in SCOTT@ORCL\r\n4 tables were found in HR@TEST");
  EXPECT_EQ(workList(), (std::vector<std::string>{"DEPT/DEPT"}));
}

TEST_F(TableListTest, OneTableIsCountedInTheSingular) {
  h.db1.tableNames = {"DEPT"};
  h.options.b_DoStruct = 0;
  compare();
  EXPECT_EQ(h.out.text(),
            "\r\n\r\n\r\n1 table was found in SCOTT@ORCL\r\n4 tables were found in HR@TEST");
}

TEST_F(TableListTest, CommonListWalksTheShorterList) {
  h.db1.tableNames = {"SKIP", "ONLY1", "DEPT"};
  h.options.b_DoSkipped = 0;
  compare();
  const std::string text = h.out.text();
  EXPECT_NE(text.find("exist in both databases\r\n\r\n\t\tDEPT"), std::string::npos);
}

TEST_F(TableListTest, UpgradeScriptDropsAndCreatesTables) {
  h.setMode(1);
  h.options.b_DoConst = 0;  // the foreign keys then come at the end of this phase
  FakeTable& emp2 = h.db2.tables["Emp"];
  emp2.constraints = {{"Emp_PK", "P", {"ID"}, "", "", ""}};
  h.db2.tables["DEPT"].constraints = {{"DEPT_EMP_FK", "R", {"E"}, "", "", "Emp_PK"}};
  FakeTable& only1 = h.db1.tables["ONLY1"];
  only1.constraints = {{"ONLY1_DEPT_FK", "R", {"D"}, "CASCADE", "", "DEPT_PK"},
                       {"ONLY1_PK", "P", {"ID"}, "", "", ""}};
  h.scripts.tableDdl["ONLY1"] = "CREATE TABLE ONLY1\r\n;\r\n";
  h.scripts.tableDdl["EMP"] = "CREATE TABLE EMP\r\n;\r\n";
  h.scripts.constraintDdl["ONLY1.ONLY1_PK"] = "ALTER TABLE ONLY1 ADD ( PK );\r\n";
  h.scripts.constraintDdl["ONLY1.ONLY1_DEPT_FK"] = "ALTER TABLE ONLY1 ADD ( FK );\r\n";
  h.scripts.indexDdl["ONLY1.ONLY1_IX"] = "CREATE INDEX ONLY1_IX ON ONLY1\r\n;\r\n";
  compare();
  const std::string expected =
      "\r\n\r\n\r\n" + bannerTop() +
      "*  tables\r\n*\r\n*  4 tables were found in SCOTT@ORCL\r\n*  4 tables were found in "
      "HR@TEST" +
      bannerBottom() + "\r\n\r\n\r\n" + bannerTop() +
      "*  The following statements will drop tables that DO NOT exist in SCOTT@ORCL" +
      bannerBottom() +
      // foreign keys of DEPT still reference Emp, written in quotes (bare, it would name EMP)
      "\r\nDROP TABLE \"Emp\" CASCADE CONSTRAINTS;\r\nDROP TABLE ONLY2;" + "\r\n\r\n\r\n" +
      bannerTop() + "*  The following statements will create tables that DO NOT exist in HR@TEST" +
      bannerBottom() + "\r\n/*  EMP  */\r\nCREATE TABLE EMP\r\n;\r\n\r\n" +
      "\r\n/*  ONLY1  */\r\nCREATE TABLE ONLY1\r\n;\r\n\r\nALTER TABLE ONLY1 ADD ( PK );\r\n"
      "CREATE INDEX ONLY1_IX ON ONLY1\r\n;\r\n" +
      "\r\n\r\n\r\n" + bannerTop() + "*  The following tables exist in both databases\r\n*" +
      "\r\n*  \t\tDEPT" + bannerBottom() + "\r\n\r\n\r\n" + bannerTop() +
      "*  The following tables were not processed in SCOTT@ORCL\r\n*\r\n*  \t\tSKIP" +
      bannerBottom() + "\r\n\r\n\r\n" + bannerTop() +
      "*  The following tables were not processed in HR@TEST\r\n*\r\n*  \t\tSKIP" + bannerBottom() +
      "\r\n\r\n\r\n" + bannerTop() +
      "*  The following statements will create the foreign keys, after every table and key they "
      "reference" +
      bannerBottom() + "ALTER TABLE ONLY1 ADD ( FK );\r\n";
  EXPECT_EQ(h.out.text(), expected);
  EXPECT_TRUE(h.dependencies.isTableDropped("Emp"));
  EXPECT_TRUE(h.dependencies.isConstraintDropped("DEPT", "DEPT_EMP_FK"));
}

TEST_F(TableListTest, ScriptDatabaseOneCreatesEverySelectedTable) {
  h.setMode(2);
  h.run.database2 = {2, "", "", nullptr, nullptr};
  h.scripts.tableDdl["EMP"] = "CREATE TABLE EMP\r\n;\r\n";
  compare();
  const std::string text = h.out.text();
  // Database 2 is not read: its count would be a false "0 tables".
  EXPECT_NE(text.find("*  4 tables were found in SCOTT@ORCL" + bannerBottom()), std::string::npos);
  EXPECT_EQ(text.find("0 tables"), std::string::npos);
  EXPECT_EQ(text.find("DROP"), std::string::npos);
  EXPECT_EQ(text.find("exist in both"), std::string::npos);
  EXPECT_NE(text.find("\r\n\r\n\r\n" + bannerTop() +
                      "*  The following statements will create the tables" + bannerBottom() +
                      "\r\n/*  EMP  */\r\nCREATE TABLE EMP\r\n;\r\n\r\n\r\n/*  DEPT  */\r\n"),
            std::string::npos);
  EXPECT_EQ(h.scripts.calls,
            (std::vector<std::string>{"scriptTable SCOTT.EMP", "scriptTable SCOTT.DEPT",
                                      "scriptTable SCOTT.ONLY1"}));
  EXPECT_EQ(text.find("not processed in \r\n"), std::string::npos);
  EXPECT_NE(text.find("not processed in SCOTT@ORCL"), std::string::npos);
  EXPECT_TRUE(h.tables.empty());
}

// A list cut short by an error tells nothing about the tables it did not reach: no table is
// dropped, created or listed as missing from it, while the common tables read in both are
// compared.
TEST_F(TableListTest, AnIncompleteListDropsAndCreatesNothing) {
  h.setMode(1);
  h.scripts.tableDdl["ONLY1"] = "CREATE TABLE ONLY1\r\n;\r\n";
  for (bool firstIncomplete : {true, false}) {
    SCOPED_TRACE(firstIncomplete ? "Database 1" : "Database 2");
    h.out.clear();
    h.tables.clear();
    state.list1Complete = !firstIncomplete;
    state.list2Complete = firstIncomplete;
    compare();
    const std::string text = h.out.text();
    EXPECT_EQ(text.find("DROP"), std::string::npos) << text;
    EXPECT_EQ(text.find("CREATE"), std::string::npos) << text;
    EXPECT_NE(text.find(std::string("*  The list of tables could not be read completely from ") +
                        (firstIncomplete ? "SCOTT@ORCL" : "HR@TEST")),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("-- Tables that exist in one database only are not dropped or created"),
              std::string::npos)
        << text;
    EXPECT_EQ(workList(), (std::vector<std::string>{"DEPT/DEPT"}));
  }
  // The same in a report: nothing is said to be missing.
  h.setMode(0);
  h.out.clear();
  state.list1Complete = false;
  state.list2Complete = true;
  compare();
  EXPECT_EQ(h.out.text().find("DO NOT exist"), std::string::npos) << h.out.text();
}

TEST_F(TableListTest, AnIncompleteListOfDatabase1ScriptsNoTable) {
  h.setMode(2);
  h.run.database2 = {2, "", "", nullptr, nullptr};
  h.scripts.tableDdl["EMP"] = "CREATE TABLE EMP\r\n;\r\n";
  state.list1Complete = false;
  compare();
  EXPECT_TRUE(h.scripts.calls.empty());
  EXPECT_NE(h.out.text().find("-- No table is scripted"), std::string::npos) << h.out.text();
}

// Database 1 without tables would have the upgrade script drop every table of Database 2: the
// user is asked, and the answer is written into the script.
TEST_F(TableListTest, DroppingEveryTableOfDatabase2IsAskedFirst) {
  h.setMode(1);
  h.db1.tableNames.clear();
  h.host.scriptAnswers({Answer::No});
  compare();
  ASSERT_EQ(h.host.questions().size(), 1u);
  EXPECT_EQ(h.host.questions()[0].buttons, Buttons::YesNo);
  EXPECT_NE(h.host.questions()[0].text.find("holds no tables, and Database 2 (HR@TEST) holds 3 "
                                            "tables"),
            std::string::npos)
      << h.host.questions()[0].text;
  EXPECT_EQ(h.out.text().find("DROP TABLE"), std::string::npos) << h.out.text();
  EXPECT_NE(h.out.text().find("-- Database 1 holds no tables: the 3 tables of Database 2 are not "
                              "dropped (not confirmed)"),
            std::string::npos);

  h.out.clear();
  h.host.scriptAnswers({Answer::Yes});
  compare();
  EXPECT_NE(h.out.text().find("DROP TABLE ONLY2;"), std::string::npos) << h.out.text();

  // With a table of its own in Database 1, nothing is asked.
  h.out.clear();
  h.db1.tableNames.push_back("DEPT");
  compare();
  EXPECT_EQ(h.host.questions().size(), 2u);
}

// A table whose CREATE TABLE could not be read or written gets none of its keys, indexes or
// foreign keys either: each would only fail when the script runs.
TEST_F(TableListTest, NoKeyOrIndexForATableThatIsNotCreated) {
  h.setMode(1);
  FakeTable& only1 = h.db1.table("ONLY1");
  only1.indexes = {{"ONLY1_IX", false, {"D"}}};
  only1.constraints = {{"ONLY1_DEPT_FK", "R", {"D"}, "CASCADE", "", "DEPT_PK"},
                       {"ONLY1_PK", "P", {"ID"}, "", "", ""}};
  h.scripts.tableDdl["ONLY1"] =
      unwrittenStatementComment("table ONLY1", "the default of column D holds a line break");
  h.scripts.constraintDdl["ONLY1.ONLY1_PK"] = "ALTER TABLE ONLY1 ADD ( PK );\r\n";
  h.scripts.constraintDdl["ONLY1.ONLY1_DEPT_FK"] = "ALTER TABLE ONLY1 ADD ( FK );\r\n";
  h.scripts.indexDdl["ONLY1.ONLY1_IX"] = "CREATE INDEX ONLY1_IX ON ONLY1\r\n;\r\n";
  compare();
  const std::string text = h.out.text();
  EXPECT_NE(text.find("-- No statement is written for table ONLY1"), std::string::npos) << text;
  EXPECT_EQ(text.find("ALTER TABLE ONLY1"), std::string::npos) << text;
  EXPECT_EQ(text.find("CREATE INDEX ONLY1_IX"), std::string::npos) << text;
}

TEST_F(TableListTest, StopEndsTheWalk) {
  h.control.requestStop();
  EXPECT_THROW(compare(), RunStopped);
}

}  // namespace
}  // namespace velmora
