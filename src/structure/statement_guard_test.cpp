// Names and texts that would break a line-based script, through the comparers that write the
// scripts: no statement for them, a comment that says so on one line, and the run's errors.
#include "structure/statement_guard.h"

#include <gtest/gtest.h>

#include "structure/column_comparer.h"
#include "structure/constraint_comparer.h"
#include "structure/index_comparer.h"
#include "structure/structure_test_doubles.h"
#include "structure/table_lists.h"

namespace velmora {
namespace {

const std::string kInjected = "Z\nDROP TABLE VICTIM;\n";

// The lines as SQL*Plus reads them: CR LF, LF and CR each end one.
std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') {
      line += text[i];
      continue;
    }
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    lines.push_back(line);
    line.clear();
  }
  lines.push_back(line);
  return lines;
}

// VICTIM is named on comment lines only, and no raw control character but the line ends and
// tabs of the layout is in the output.
void expectNothingInjected(const std::string& text) {
  for (const std::string& line : linesOf(text)) {
    if (line.find("VICTIM") != std::string::npos) {
      const bool comment =
          line.rfind("-- ", 0) == 0 || line.rfind("/*", 0) == 0 || line.rfind("*", 0) == 0;
      EXPECT_TRUE(comment) << line;
    }
    for (char c : line) EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 && c != '\t') << line;
  }
}

class StatementGuardTest : public ::testing::Test {
 protected:
  void SetUp() override { h.run.errors = &errors; }
  void compareLists() {
    TableListComparer comparer(h.run, state, [] {});
    comparer.compareTableLists();
  }
  bool holds(const std::string& text) const { return h.out.text().find(text) != std::string::npos; }

  StructureHarness h;
  RunErrors errors;
  TableRunState state;
};

TEST_F(StatementGuardTest, TheUpgradeScriptNeitherDropsNorCreatesATableItCannotName) {
  h.setMode(1);
  h.options.b_DoCommon = 1;
  h.db1.tableNames = {"VICTIM", kInjected, "NEW\x1b[2J"};
  h.db2.tableNames = {"VICTIM", kInjected, "OTHER", "OLD\r\n/"};
  h.scripts.tableDdl["NEW\x1b[2J"] = "CREATE TABLE \"NEW\x1b[2J\"\r\n;\r\n";
  compareLists();
  const std::string text = h.out.text();
  expectNothingInjected(text);
  EXPECT_TRUE(holds("\r\nDROP TABLE OTHER;")) << text;
  EXPECT_TRUE(
      holds("\r\n-- No statement is written for the drop of table OLD\\r\\n/: its name "
            "holds a line break"))
      << text;
  EXPECT_TRUE(
      holds("\r\n/*  NEW\\x1B[2J  */\r\n-- No statement is written for table "
            "NEW\\x1B[2J: its name holds a control character\r\n"))
      << text;
  EXPECT_TRUE(holds("*  \t\tZ\\nDROP TABLE VICTIM;\\n")) << "the common list, escaped\n" << text;
  EXPECT_TRUE(h.scripts.calls.empty()) << "no DDL asked for the table";
  EXPECT_FALSE(h.dependencies.isTableDropped("OLD\r\n/"));
  EXPECT_EQ(errors.kinds(), (std::vector<std::string>{"tables"}));
  EXPECT_EQ(errors.count(), 2);
}

TEST_F(StatementGuardTest, TheScriptOfDatabase1SaysWhichTableItCannotCreate) {
  h.setMode(2);
  h.db1.tableNames = {"A*/B", kInjected};
  h.scripts.tableDdl["A*/B"] = "CREATE TABLE \"A*/B\"\r\n;\r\n";
  compareLists();
  const std::string text = h.out.text();
  expectNothingInjected(text);
  EXPECT_TRUE(holds("\r\n/*  A*\\/B  */\r\nCREATE TABLE \"A*/B\"")) << text;
  EXPECT_TRUE(holds("/*  Z\\nDROP TABLE VICTIM;\\n  */\r\n-- No statement is written")) << text;
  EXPECT_EQ(errors.kinds(), (std::vector<std::string>{"tables"}));
}

TEST_F(StatementGuardTest, TheReportEscapesNamesAndDisplayNames) {
  h.run.database1.displayName = "SCOTT@\x1b]0;title\x07";
  h.db1.tableNames = {"T\x1b[2J",
                      "\xc2\x9b"
                      "2J"};
  h.db2.tableNames = {"OTHER\n"};
  compareLists();
  const std::string text = h.out.text();
  expectNothingInjected(text);
  EXPECT_EQ(text.find('\x1b'), std::string::npos) << text;
  EXPECT_EQ(text.find("\xc2\x9b"), std::string::npos) << text;
  EXPECT_TRUE(holds("tables were found in SCOTT@\\x1B]0;title\\x07")) << text;
  EXPECT_TRUE(holds("\r\n\t\tT\\x1B[2J\r\n\t\t\\u009B2J")) << text;
  EXPECT_TRUE(holds("\r\n\t\tOTHER\\n")) << text;
  EXPECT_TRUE(errors.kinds().empty()) << "a report writes no statement";
}

TEST_F(StatementGuardTest, ColumnStatementsWithAnUnwritableNameOrDefault) {
  h.setMode(1);
  FakeTable& t1 = h.db1.table("T");
  t1.columns = {{"C\nDROP TABLE VICTIM;", "NUMBER", 22, "", "", true, "", ""},
                {"D", "VARCHAR2", 9, "", "", true, "'x;\nDROP TABLE VICTIM;\n'", ""},
                {"E", "NUMBER", 22, "", "", true, "1", ""}};
  h.db2.table("T").columns = {{"OLD\x07", "NUMBER", 22, "", "", true, "", ""}};
  h.common("T");
  ColumnComparer comparer(h.run);
  comparer.compareTableColumns(true);
  comparer.compareTableColumns(false);
  const std::string text = h.out.text();
  expectNothingInjected(text);
  EXPECT_TRUE(
      holds("\r\n-- No statement is written for column OLD\\x07 of table T: its name holds "
            "a control character"))
      << text;
  EXPECT_TRUE(
      holds("-- No statement is written for column C\\nDROP TABLE VICTIM; of table T: its "
            "name holds a line break"))
      << text;
  EXPECT_TRUE(
      holds("-- No statement is written for column D of table T: its type and default: "
            "one of its lines would break the statement"))
      << text;
  EXPECT_TRUE(holds("\r\nALTER TABLE T ADD ( E NUMBER DEFAULT 1 NULL  );")) << text;
  EXPECT_EQ(errors.kinds(), (std::vector<std::string>{"columns"}));
  EXPECT_EQ(errors.count(), 3);
}

TEST_F(StatementGuardTest, IndexAndConstraintStatementsWithAnUnwritableName) {
  h.setMode(1);
  FakeTable& t2 = h.db2.table("T*/X");
  t2.indexes = {{"IX\n;", false, {"A"}}};
  t2.constraints = {{"CK\nDROP TABLE VICTIM;", "C", {}, "", "A > 0", ""}};
  h.db1.table("T*/X");
  h.common("T*/X");
  IndexComparer indexes(h.run);
  indexes.compareIndexes(true);
  indexes.compareIndexes(false);
  ConstraintComparer constraints(h.run);
  constraints.compareConstraints(true);
  constraints.compareConstraints(false);
  const std::string text = h.out.text();
  expectNothingInjected(text);
  EXPECT_TRUE(holds("\r\n/*  T*\\/X  */\r\n")) << text;
  EXPECT_TRUE(
      holds("\r\n-- No statement is written for the drop of index IX\\n;: its name holds a "
            "line break"))
      << text;
  EXPECT_TRUE(holds("*  The following statements will upgrade constraints for table T*\\/X"))
      << text;
  EXPECT_TRUE(
      holds("-- No statement is written for the drop of constraint CK\\nDROP TABLE "
            "VICTIM; of table T*/X: its name holds a line break\r\n"))
      << text;
  EXPECT_EQ(errors.kinds(), (std::vector<std::string>{"indexes", "constraints"}));
}

TEST_F(StatementGuardTest, EveryLineOfAnOracleMessageStaysInTheComment) {
  h.setMode(1);
  h.db1.table("T");
  h.db1.columnErrors["T"] = "ORA-00604: error\nDROP TABLE VICTIM;\r\nORA-06512: at line 1\n";
  h.common("T");
  ColumnComparer comparer(h.run);
  comparer.compareTableColumns(true);
  const std::string text = h.out.text();
  expectNothingInjected(text);
  EXPECT_TRUE(holds("\r\n-- ORA-00604: error\r\n-- DROP TABLE VICTIM;\r\n-- ORA-06512: at line 1"))
      << text;
}

}  // namespace
}  // namespace velmora
