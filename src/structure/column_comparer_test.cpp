#include "structure/column_comparer.h"

#include <gtest/gtest.h>

#include "base/report_layout.h"
#include "structure/structure_test_doubles.h"

namespace velmora {
namespace {

using Colour = ReportColour;

FakeColumn col(const std::string& name, const std::string& type, int length = 0,
               bool nullable = true, const std::string& defaultText = "",
               const std::string& precision = "", const std::string& scale = "") {
  return {name, type, length, precision, scale, nullable, defaultText, ""};
}

class ColumnComparerTest : public ::testing::Test {
 protected:
  int bothPasses() {
    ColumnComparer comparer(h.run);
    comparer.compareTableColumns(true);
    return comparer.compareTableColumns(false);
  }
  // The colour of the first write whose text is exactly `text`.
  Colour colourOf(const std::string& text) {
    for (const auto& w : h.out.writes())
      if (w.text == text) return w.colour;
    ADD_FAILURE() << "not written: " << text;
    return Colour::White;
  }

  StructureHarness h;
};

std::string reportHeader(int nameWidth, const std::string& name1, const std::string& name2,
                         int hyphens) {
  return "\r\n\r\n\r\nThe following are the structural differences between COMMON tables\r\n\r\n" +
         std::string(static_cast<size_t>(nameWidth + 30), ' ') + fixedWidth(name1, 72) +
         fixedWidth(name2, 32) + "\r\n" + fixedWidth("TABLE", static_cast<size_t>(nameWidth)) +
         "COLUMN                        TYPE                                                      "
         "              TYPE                                                               \r\n" +
         std::string(static_cast<size_t>(hyphens), '-');
}

TEST_F(ColumnComparerTest, ReportTableOfChangedAndOneSidedColumns) {
  h.db1.table("EMP").columns = {col("ID", "NUMBER", 22, false, "", "10", "0"),
                                col("NAME", "VARCHAR2", 30), col("HIRED", "DATE", 7)};
  h.db2.table("EMP").columns = {col("ID", "NUMBER", 22, false, "", "10", "0"),
                                col("NAME", "VARCHAR2", 40), col("BONUS", "NUMBER", 22)};
  h.common("EMP");
  EXPECT_EQ(bothPasses(), 3);

  const std::string expected =
      reportHeader(7, "SCOTT@ORCL", "HR@TEST", 194) + "\r\nEMP    " + fixedWidth("NAME", 30) +
      fixedWidth("VARCHAR2(30)     NULL ", 72) + "VARCHAR2(40)     NULL " + "\r\n       " +
      fixedWidth("BONUS", 30) + fixedWidth("Not Found", 72) + "NUMBER     NULL " + "\r\n       " +
      fixedWidth("HIRED", 30) + fixedWidth("DATE     NULL ", 72) + "Not Found" + "\r\n";
  EXPECT_EQ(h.out.text(), expected);
  EXPECT_EQ(colourOf(fixedWidth("NAME", 30)), Colour::Green);
  EXPECT_EQ(colourOf(fixedWidth("BONUS", 30)), Colour::Red);
  EXPECT_EQ(colourOf(fixedWidth("HIRED", 30)), Colour::Blue);
  EXPECT_EQ(colourOf(fixedWidth("Not Found", 72)), Colour::Black);
  EXPECT_EQ(colourOf("Not Found"), Colour::Black);
  EXPECT_EQ(colourOf("NUMBER     NULL "), Colour::Red);

  const CommonTable& emp = h.tables[0];
  EXPECT_FALSE(emp.sameColumns);
  ASSERT_EQ(emp.columns.size(), 4u);  // Database 1's columns, then BONUS
  EXPECT_EQ(emp.columns[3].name, "BONUS");
  EXPECT_EQ(emp.columns[3].sourceType, kNotFound);
  EXPECT_TRUE(emp.columns[3].found);
  EXPECT_FALSE(emp.columns[2].found);
  EXPECT_EQ(emp.columns[1].displayWidth, 40);  // widened by Database 2
  EXPECT_EQ(emp.columns[2].displayWidth, 24);  // DATE
}

TEST_F(ColumnComparerTest, OneSidedColumnFirstBringsShorterHyphenLine) {
  h.db1.table("T").columns = {col("A", "DATE", 7)};
  h.db2.table("T").columns = {col("A", "DATE", 7), col("B", "DATE", 7)};
  h.common("T");
  bothPasses();
  EXPECT_EQ(h.out.text().find(reportHeader(7, "SCOTT@ORCL", "HR@TEST", 189)), 0u);
  EXPECT_EQ(h.out.text().find(std::string(190, '-')), std::string::npos);
}

TEST_F(ColumnComparerTest, HeaderCutsLongDisplayNames) {
  h.run.database1.displayName = std::string(80, 'A');
  h.run.database2.displayName = std::string(40, 'B');
  h.db1.table("T").columns = {col("A", "DATE", 7)};
  h.db2.table("T").columns = {col("A", "DATE", 7, false)};
  h.common("T");
  bothPasses();
  // A one-letter table name: the TABLE column is still as wide as "TABLE" and two blanks.
  EXPECT_NE(h.out.text().find("\r\n\r\n" + std::string(37, ' ') + std::string(72, 'A') +
                              std::string(32, 'B') + "\r\nTABLE  COLUMN"),
            std::string::npos);
}

TEST_F(ColumnComparerTest, UpgradeStatements) {
  h.setMode(1);
  h.db1.table("T").columns = {col("C", "VARCHAR2", 10), col("N", "VARCHAR2", 20),
                              col("D", "NUMBER", 22, false, "0 \n")};
  h.db2.table("T").columns = {col("C", "VARCHAR2", 10, false), col("N", "VARCHAR2", 10),
                              col("OLD", "CHAR", 1)};
  h.common("T");
  bothPasses();
  const std::string expected = "\r\n\r\n\r\n" + bannerTop() +
                               "*  The following statements will upgrade the COMMON tables" +
                               bannerBottom() +
                               "\r\nALTER TABLE T MODIFY ( C VARCHAR2(10) NULL  );"
                               "\r\nALTER TABLE T MODIFY ( N VARCHAR2(20)  );"
                               "\r\nALTER TABLE T DROP COLUMN OLD;"
                               "\r\nALTER TABLE T ADD ( D NUMBER DEFAULT 0 NOT NULL  );"
                               "\r\n";
  EXPECT_EQ(h.out.text(), expected);
  EXPECT_EQ(colourOf(" DROP COLUMN OLD;"), Colour::Red);
  EXPECT_EQ(colourOf(" ADD ( D NUMBER DEFAULT 0 NOT NULL  );"), Colour::Blue);
  // The cut text replaces the source type of a modified column.
  EXPECT_EQ(h.tables[0].columns[1].sourceType, "VARCHAR2(20) ");
}

TEST_F(ColumnComparerTest, NamesOnlyQuotesKeepAreQuotedInStatements) {
  h.setMode(1);
  h.db1.table("Mixed").columns = {col("Value", "VARCHAR2", 20), col("DATE", "DATE", 7)};
  h.db2.table("Mixed").columns = {col("Value", "VARCHAR2", 10), col("Gone", "DATE", 7)};
  h.common("Mixed");
  bothPasses();
  const std::string text = h.out.text();
  EXPECT_NE(text.find("\r\nALTER TABLE \"Mixed\" MODIFY ( \"Value\" VARCHAR2(20)  );"
                      "\r\nALTER TABLE \"Mixed\" DROP COLUMN \"Gone\";"
                      "\r\nALTER TABLE \"Mixed\" ADD ( \"DATE\" DATE NULL  );"),
            std::string::npos)
      << text;
}

TEST_F(ColumnComparerTest, DroppedColumnWithKeysGoesWithCascadeConstraints) {
  h.setMode(1);
  h.db1.table("T").columns = {col("A", "NUMBER", 22)};
  FakeTable& t2 = h.db2.table("T");
  t2.columns = {col("A", "NUMBER", 22), col("B", "NUMBER", 22)};
  t2.constraints = {{"T_AB_UK", "U", {"A", "B"}, "", "", ""}};
  t2.indexes = {{"T_B_IX", false, {"B"}}};
  h.common("T");
  bothPasses();
  EXPECT_NE(h.out.text().find("\r\nALTER TABLE T DROP COLUMN B CASCADE CONSTRAINTS;"),
            std::string::npos);
  EXPECT_TRUE(h.dependencies.isConstraintDropped("T", "T_AB_UK"));
  EXPECT_TRUE(h.dependencies.isIndexDropped("T", "T_B_IX"));
}

TEST_F(ColumnComparerTest, DroppedSingleColumnKeyNeedsNoCascade) {
  h.setMode(1);
  h.db1.table("T").columns = {col("A", "NUMBER", 22)};
  FakeTable& t2 = h.db2.table("T");
  t2.columns = {col("A", "NUMBER", 22), col("B", "NUMBER", 22)};
  t2.constraints = {{"T_B_CK", "C", {"B"}, "", "B > 0", ""}};
  h.common("T");
  bothPasses();
  EXPECT_NE(h.out.text().find("\r\nALTER TABLE T DROP COLUMN B;"), std::string::npos);
  EXPECT_TRUE(h.dependencies.isConstraintDropped("T", "T_B_CK"));
}

TEST_F(ColumnComparerTest, ColumnHeldNotNullByAPrimaryKeyIsReleasedFirst) {
  h.setMode(1);
  h.db1.table("T").columns = {col("ID", "NUMBER", 22), col("N", "NUMBER", 22, true, "", "5")};
  FakeTable& t2 = h.db2.table("T");
  t2.columns = {col("ID", "NUMBER", 22, false), col("N", "NUMBER", 22, false, "", "4")};
  t2.constraints = {{"T_PK", "P", {"ID", "N"}, "", "", ""},
                    {"SYS_C0007", "C", {"N"}, "", "\"N\" IS NOT NULL", ""}};
  h.db2.table("CHILD").constraints = {{"CHILD_T_FK", "R", {"T_ID"}, "", "", "T_PK"}};
  h.common("T");
  bothPasses();
  // ID was NOT NULL through the key only; N also by its own NOT NULL.
  EXPECT_EQ(h.out.text(), "\r\n\r\n\r\n" + bannerTop() +
                              "*  The following statements will upgrade the COMMON tables" +
                              bannerBottom() +
                              "\r\nALTER TABLE T DROP CONSTRAINT T_PK CASCADE;"
                              "\r\nALTER TABLE T MODIFY ( N NUMBER(5) NULL  );\r\n");
  EXPECT_TRUE(h.dependencies.isConstraintDropped("T", "T_PK"));
  EXPECT_TRUE(h.dependencies.isConstraintDropped("CHILD", "CHILD_T_FK"));
  EXPECT_EQ(h.dependencies.cascadedConstraints().size(), 2u);

  // Without a NOT NULL of its own, the key's second column is nullable with the key gone.
  h.out.clear();
  h.dependencies.clear();
  h.db2.tables["T"].constraints.pop_back();
  h.db1.tables["T"].columns[1] = col("N", "NUMBER", 22, true, "", "4");
  bothPasses();
  EXPECT_EQ(h.out.text(), "\r\n\r\n\r\n" + bannerTop() +
                              "*  The following statements will upgrade the COMMON tables" +
                              bannerBottom() +
                              "\r\nALTER TABLE T DROP CONSTRAINT T_PK CASCADE;"
                              "\r\n-- Column N is nullable without the dropped key T_PK\r\n");
}

TEST_F(ColumnComparerTest, ReleasedColumnStillModifiedForItsOtherChanges) {
  h.setMode(1);
  h.db1.table("T").columns = {col("ID", "NUMBER", 22, true, "", "12")};
  FakeTable& t2 = h.db2.table("T");
  t2.columns = {col("ID", "NUMBER", 22, false, "", "10")};
  t2.constraints = {{"T_PK", "P", {"ID"}, "", "", ""}};
  h.common("T");
  bothPasses();
  EXPECT_NE(h.out.text().find("\r\nALTER TABLE T DROP CONSTRAINT T_PK;"
                              "\r\nALTER TABLE T MODIFY ( ID NUMBER(12)  );\r\n"),
            std::string::npos);
}

TEST_F(ColumnComparerTest, NoDifferenceLine) {
  h.db1.table("DEPT").columns = {col("ID", "NUMBER", 22)};
  h.db2.table("DEPT").columns = {col("ID", "NUMBER", 22)};
  h.common("DEPT");
  h.options.b_NoDiffCol = 0;
  bothPasses();
  EXPECT_EQ(h.out.text(), "");

  h.options.b_NoDiffCol = 1;
  bothPasses();
  EXPECT_EQ(h.out.text(), reportHeader(7, "SCOTT@ORCL", "HR@TEST", 194) +
                              "\r\nDEPT   No Structural Differences Found\r\n");
  EXPECT_EQ(colourOf("No Structural Differences Found\r\n"), Colour::Maroon);

  h.out.clear();
  h.setMode(1);
  bothPasses();
  EXPECT_EQ(h.out.text(), "\r\n\r\n\r\n" + bannerTop() +
                              "*  The following statements will upgrade the COMMON tables" +
                              bannerBottom() + "\r\n-- DEPT   No Structural Differences Found\r\n");
}

TEST_F(ColumnComparerTest, ErrorOnThirdTableEndsThePhase) {
  for (const char* name : {"A", "B", "C", "D"}) {
    h.db1.table(name).columns = {col("X", "DATE", 7)};
    h.db2.table(name).columns = {col("Y", "DATE", 7)};
    h.common(name);
  }
  h.tables[3].columns = {ColumnEntry{"OLD", "DATE NULL ", kNotFound, 24, false, true, true, true}};
  h.db1.columnErrors["C"] = "ORA-00942: table or view does not exist";
  h.options.b_DoStruct = 0;  // the error is written all the same

  ColumnComparer comparer(h.run);
  EXPECT_EQ(comparer.compareTableColumns(true), 1);
  EXPECT_EQ(h.out.text(),
            "\r\n\r\n\r\nThe following error ocurred when trying to process columns for table C "
            "in database SCOTT@ORCL\r\nORA-00942: table or view does not exist");
  EXPECT_EQ(colourOf("SCOTT@ORCL"), Colour::Blue);
  EXPECT_EQ(h.tables[0].columns.size(), 1u);
  EXPECT_TRUE(h.tables[2].columns.empty());
  ASSERT_EQ(h.tables[3].columns.size(), 1u);
  EXPECT_EQ(h.tables[3].columns[0].name, "OLD");  // the old list stays

  // The second pass compares only what the first pass read.
  comparer.compareTableColumns(false);
  EXPECT_EQ(h.db2.log, (std::vector<std::string>{"columns A", "columns B"}));
}

TEST_F(ColumnComparerTest, ErrorInSecondPassUsesTheScriptPrefixAndRed) {
  h.setMode(1);
  h.db1.table("A").columns = {col("X", "DATE", 7)};
  h.db2.columnErrors["A"] = "ORA-01031: insufficient privileges";
  h.common("A");
  EXPECT_EQ(bothPasses(), 1);
  EXPECT_EQ(h.out.text(),
            "\r\n\r\n\r\n-- The following error ocurred when trying to process columns for table A "
            "in database HR@TEST\r\n-- ORA-01031: insufficient privileges");
  EXPECT_EQ(colourOf("HR@TEST"), Colour::Red);
}

TEST_F(ColumnComparerTest, IgnoredColumnsHaveNoEntryOnEitherSide) {
  h.options.IgnoreColumns = {"AUD%", "%_TS", "ROWVER"};
  h.db1.table("T").columns = {col("ID", "NUMBER", 22), col("AUDIT_USER", "VARCHAR2", 30),
                              col("rowver", "NUMBER", 22)};
  h.db2.table("T").columns = {col("ID", "NUMBER", 22), col("AUDIT_USER", "VARCHAR2", 10),
                              col("CHANGED_TS", "DATE", 7)};
  h.common("T");
  h.options.b_NoDiffCol = 0;
  bothPasses();
  EXPECT_EQ(h.out.text(), "");
  ASSERT_EQ(h.tables[0].columns.size(), 1u);
  EXPECT_TRUE(h.tables[0].sameColumns);
}

TEST_F(ColumnComparerTest, LengthSwitchActsOnReportOnly) {
  h.options.b_CompColLen = 1;
  h.options.b_NoDiffCol = 0;
  h.db1.table("T").columns = {col("C", "VARCHAR2", 10)};
  h.db2.table("T").columns = {col("C", "VARCHAR2", 20)};
  h.common("T");
  bothPasses();
  EXPECT_EQ(h.out.text(), "");
  EXPECT_EQ(h.tables[0].columns[0].sourceType, "VARCHAR2     NULL ");

  h.setMode(1);
  bothPasses();
  EXPECT_NE(h.out.text().find("\r\nALTER TABLE T MODIFY ( C VARCHAR2(10)  );"), std::string::npos);
}

TEST_F(ColumnComparerTest, StructureSwitchOffBuildsListsSilently) {
  h.options.b_DoStruct = 0;
  h.db1.table("T").columns = {col("A", "DATE", 7), col("B", "LONG", 0)};
  h.db2.table("T").columns = {col("A", "NUMBER", 22), col("C", "DATE", 7)};
  h.common("T");
  EXPECT_EQ(bothPasses(), 2);
  EXPECT_EQ(h.out.text(), "");
  const CommonTable& t = h.tables[0];
  ASSERT_EQ(t.columns.size(), 3u);
  EXPECT_FALSE(t.sameColumns);
  EXPECT_EQ(t.columns[0].targetType, "NUMBER     NULL ");
  EXPECT_EQ(t.columns[1].displayWidth, 500);
  EXPECT_FALSE(t.columns[1].orderable);
}

TEST_F(ColumnComparerTest, VersionSevenDictionaryIsNotAskedForTypeOwners) {
  h.db1.version = "7";
  FakeColumn object = col("ADDR", "ADDRESS_T", 0);
  object.typeOwner = "SCOTT";
  h.db1.table("T").columns = {object};
  h.db2.table("T").columns = {object};
  h.common("T");
  h.options.b_NoDiffCol = 0;
  bothPasses();
  EXPECT_EQ(h.out.text(), "");
  EXPECT_EQ(h.db1.columnQueries[0].find("data_type_owner"), std::string::npos);
  EXPECT_NE(h.db2.columnQueries[0].find("data_type_owner"), std::string::npos);
  // Database 2 knows the type's owner: the column cannot be selected as text.
  EXPECT_FALSE(h.tables[0].columns[0].selectable);
  EXPECT_FALSE(h.tables[0].columns[0].orderable);
}

TEST_F(ColumnComparerTest, NamesMatchCaseSensitively) {
  h.db1.table("T").columns = {col("Name", "DATE", 7)};
  h.db2.table("T").columns = {col("NAME", "DATE", 7)};
  h.common("T");
  bothPasses();
  ASSERT_EQ(h.tables[0].columns.size(), 2u);
  EXPECT_FALSE(h.tables[0].columns[0].found);
}

TEST_F(ColumnComparerTest, StopAtARowEndsThePhase) {
  h.db1.table("T").columns = {col("A", "DATE", 7)};
  h.common("T");
  h.control.requestStop();
  ColumnComparer comparer(h.run);
  EXPECT_THROW(comparer.compareTableColumns(true), RunStopped);
}

}  // namespace
}  // namespace velmora

namespace velmora {
namespace {

// NOT NULL on rows that have no value yet fails (ORA-01758, ORA-02296) although the data
// statements further down would fill them: the column waits for the data phase, or without it
// the script says what to fill and stays runnable.
TEST_F(ColumnComparerTest, NotNullWaitsForTheDataThatFillsIt) {
  h.setMode(1);
  h.db1.table("T").columns = {col("A", "NUMBER", 22, false), col("B", "NUMBER", 22, false),
                              col("C", "NUMBER", 22, false, "0 ")};
  h.db2.table("T").columns = {col("B", "NUMBER", 22)};
  h.db2.rowsIn = {"T", "T.B"};
  h.common("T");
  bothPasses();
  const std::string text = h.out.text();
  EXPECT_NE(text.find("ALTER TABLE T ADD ( A NUMBER NULL  );"), std::string::npos) << text;
  EXPECT_EQ(text.find("MODIFY ( B"), std::string::npos) << "B is nullable already" << text;
  EXPECT_NE(text.find("ADD ( C NUMBER DEFAULT 0 NOT NULL"), std::string::npos)
      << "a default fills the rows" << text;
  EXPECT_EQ(h.run.dependencies.takeDeferredNotNulls(),
            (std::vector<ScriptDependencies::TableObject>{{"T", "B"}, {"T", "A"}}));

  // Without the data phase: a warning says what to fill; an empty table takes NOT NULL at once.
  h.run.options.b_DoData = 0;
  h.db2.rowsIn = {"U"};
  h.db1.table("U").columns = {col("A", "NUMBER", 22, false)};
  h.db2.table("U").columns = {col("Z", "NUMBER", 22)};
  h.db1.table("V").columns = {col("A", "NUMBER", 22, false)};
  h.db2.table("V").columns = {col("Z", "NUMBER", 22)};
  h.common("U");
  h.common("V");
  bothPasses();
  const std::string more = h.out.text();
  EXPECT_NE(more.find("-- WARNING:  column A of table U is NOT NULL in the source: give every row "
                      "a value, then run ALTER TABLE U MODIFY ( A NOT NULL );"),
            std::string::npos)
      << more;
  EXPECT_NE(more.find("ALTER TABLE V ADD ( A NUMBER NOT NULL  );"), std::string::npos) << more;
  EXPECT_TRUE(h.run.dependencies.takeDeferredNotNulls().empty());
}

}  // namespace
}  // namespace velmora
