#include "structure/constraint_comparer.h"

#include <gtest/gtest.h>

#include "base/report_layout.h"
#include "structure/constraint_scripts.h"
#include "structure/key_columns.h"
#include "structure/structure_test_doubles.h"

namespace velmora {
namespace {

using Colour = ReportColour;

class ConstraintComparerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    h.db1.table("ORDERS").constraints = {
        {"ORD_PK", "P", {"ID"}, "", "", ""},
        {"ORD_CUST_FK", "R", {"CUST_ID"}, "NO ACTION", "", "CUST_PK"},
        {"ORD_QTY_CK", "C", {"QTY"}, "", " \"QTY\" > 0 ", ""},
        {"SYS_C001", "C", {"ID"}, "", "\"ID\" IS NOT NULL", ""}};
    h.db2.table("ORDERS").constraints = {
        {"ORD_PK", "P", {"ID"}, "", "", ""},
        {"ORD_CUST_FK", "R", {"CUST_ID"}, "CASCADE", "", "CUST_PK"},
        {"ORD_QTY_CK", "C", {"QTY"}, "", "QTY > 0", ""},
        {"ORD_OLD", "U", {"CODE"}, "", "", ""},
        {"SYS_C009", "C", {"ID"}, "", "\"ID\" IS NOT NULL", ""}};
    h.common("ORDERS");
    h.scripts.constraintDdl["ORDERS.ORD_CUST_FK"] =
        "ALTER TABLE ORDERS ADD (\r\n\tCONSTRAINT ORD_CUST_FK\r\n\tFOREIGN KEY\r\n)\r\n;\r\n";
  }
  int bothPasses() {
    ConstraintComparer comparer(h.run);
    comparer.compareConstraints(true);
    return comparer.compareConstraints(false);
  }

  StructureHarness h;
};

std::string line(const std::string& key, const std::string& type, const std::string& columns,
                 const std::string& rule, const std::string& condition, size_t keyWidth,
                 size_t columnWidth) {
  std::string text = keyWidth ? fixedWidth(key, keyWidth) : "";
  text += fixedWidth(type, 6);
  if (columnWidth) text += fixedWidth(columns, columnWidth);
  return text + fixedWidth(rule, 17) + condition;
}

TEST_F(ConstraintComparerTest, ReportWithNamesAndColumns) {
  h.options.i_DoConsName = 2;
  EXPECT_EQ(bothPasses(), 5);
  const std::string expected =
      "\r\n\r\n\r\nThe following are the constraint differences for table ORDERS\r\n\r\n" +
      fixedWidth("  CONSTRAINT", 15) + "TYPE  " + fixedWidth("COLUMNS", 9) +
      "DELETE RULE      SEARCH CONDITION    \r\n" + std::string(15 + 9 + 6 + 126, '-') + "\r\n" +
      "< " + line("ORD_CUST_FK", "R", "CUST_ID", "NO ACTION", "", 13, 9) + "\r\n" + "> " +
      line("ORD_CUST_FK", "R", "CUST_ID", "CASCADE", "", 13, 9) + "\r\n" + "< " +
      line("SYS_C001", "C", "ID", "", "ID IS NOT NULL", 13, 9) + "\r\n" + "> " +
      line("ORD_OLD", "U", "CODE", "", "", 13, 9) + "\r\n" + "> " +
      line("SYS_C009", "C", "ID", "", "ID IS NOT NULL", 13, 9) + "\r\n";
  EXPECT_EQ(h.out.text(), expected);
  // The condition differing only by blanks and quotes is equal; the key is compared whole.
  const std::vector<RecordingWriter::Write> writes = h.out.writes();
  EXPECT_EQ(writes[1].colour, Colour::Green);
  EXPECT_EQ(writes[3].colour, Colour::Black);
  EXPECT_EQ(writes[4].colour, Colour::Blue);
  EXPECT_EQ(writes[6].colour, Colour::Red);
}

TEST_F(ConstraintComparerTest, SystemNamesIgnoredByDefault) {
  ASSERT_EQ(h.options.i_DoConsName, 1);
  bothPasses();
  EXPECT_EQ(h.out.text().find("SYS_C"), std::string::npos);
  EXPECT_EQ(h.db1.log[0], "constraints-nosys ORDERS");
}

TEST_F(ConstraintComparerTest, IgnoringNamesMatchesByColumnList) {
  h.options.i_DoConsName = 0;
  h.db1.tables["ORDERS"].constraints = {{"PK_A", "P", {"ID"}, "", "", ""}};
  h.db2.tables["ORDERS"].constraints = {{"PK_B", "P", {"ID"}, "", "", ""}};
  bothPasses();
  EXPECT_EQ(h.out.text(), "");
}

TEST_F(ConstraintComparerTest, DuplicateKeysMatchFirstUnmatchedFirst) {
  h.options.i_DoConsName = 0;
  h.db1.tables["ORDERS"].constraints = {{"A_CK", "C", {"A"}, "", "A > 0", ""},
                                        {"A_UK", "U", {"A"}, "", "", ""}};
  h.db2.tables["ORDERS"].constraints = {{"Z1", "U", {"A"}, "", "", ""},
                                        {"Z2", "C", {"A"}, "", "A > 0", ""}};
  bothPasses();
  const std::string expected =
      "\r\n\r\n\r\nThe following are the constraint differences for table ORDERS\r\n\r\n" +
      // The COLUMNS column is as wide as its heading, whose title is not cut.
      std::string("  TYPE  ") + fixedWidth("COLUMNS", 9) +
      "DELETE RULE      SEARCH CONDITION    \r\n--" + std::string(9 + 6 + 126, '-') + "\r\n" +
      "< " + line("", "C", "A", "", "A > 0", 0, 9) + "\r\n" + "> " +
      line("", "U", "A", "", "", 0, 9) + "\r\n" + "< " + line("", "U", "A", "", "", 0, 9) + "\r\n" +
      "> " + line("", "C", "A", "", "A > 0", 0, 9) + "\r\n";
  EXPECT_EQ(h.out.text(), expected);
}

TEST_F(ConstraintComparerTest, WithoutNamesOrColumnsConstraintsPairInNameOrder) {
  h.options.i_DoConsName = 0;
  h.options.b_DoConsCols = 0;
  h.db1.tables["ORDERS"].constraints = {{"A_CK", "C", {"X"}, "", "X > 0", ""},
                                        {"B_PK", "P", {"ID"}, "", "", ""}};
  h.db2.tables["ORDERS"].constraints = {{"Y_CK", "C", {"X"}, "", "X > 0", ""},
                                        {"Z_PK", "P", {"ID"}, "", "", ""}};
  bothPasses();
  EXPECT_EQ(h.out.text(), "");
  EXPECT_TRUE(h.db1.log.size() == 1 && h.db2.log.size() == 1);  // no column lookups
}

TEST_F(ConstraintComparerTest, UpgradeDropsRecreatesAndDefersForeignKeys) {
  h.setMode(1);
  h.options.i_DoConsName = 2;  // the upgrade script ignores system names all the same
  h.db1.tables["ORDERS"].constraints.push_back({"ORD_NEW_CK", "C", {"X"}, "", "X IS NULL", ""});
  h.scripts.constraintDdl["ORDERS.ORD_NEW_CK"] =
      "ALTER TABLE ORDERS ADD (\r\n\tCHECK\r\n)\r\n;\r\n";
  bothPasses();
  writeDeferredConstraints(h.run);
  const std::string expected =
      "\r\n\r\n\r\n" + bannerTop() +
      "*  The following statements will upgrade constraints for table ORDERS" + bannerBottom() +
      "ALTER TABLE ORDERS DROP CONSTRAINT ORD_CUST_FK;\r\n"
      "ALTER TABLE ORDERS DROP CONSTRAINT ORD_OLD;\r\n"
      "-- Foreign key ORD_CUST_FK is created at the end of the script\r\n"
      "ALTER TABLE ORDERS ADD (\r\n\tCHECK\r\n)\r\n;\r\n\r\n\r\n" +
      std::string("\r\n\r\n\r\n") + bannerTop() +
      "*  The following statements will create the foreign keys, after every table and key they "
      "reference" +
      bannerBottom() +
      "ALTER TABLE ORDERS ADD (\r\n\tCONSTRAINT ORD_CUST_FK\r\n\tFOREIGN KEY\r\n)\r\n;\r\n";
  EXPECT_EQ(h.out.text(), expected);
  EXPECT_EQ(h.db1.log[0], "constraints-nosys ORDERS");
  EXPECT_EQ(h.db2.log[0], "constraints-nosys ORDERS");
}

TEST_F(ConstraintComparerTest, UpgradeDropsBeforeItCreatesSoKeysCanTakeTheirColumns) {
  // Database 1 calls the key of CODE ORD_CODE_UK; Database 2 has it as ORD_OLD.
  h.setMode(1);
  h.db1.tables["ORDERS"].constraints.push_back({"ORD_CODE_UK", "U", {"CODE"}, "", "", ""});
  h.scripts.constraintDdl["ORDERS.ORD_CODE_UK"] = "ALTER TABLE ORDERS ADD ( UK );";
  bothPasses();
  const std::string text = h.out.text();
  const size_t drop = text.find("ALTER TABLE ORDERS DROP CONSTRAINT ORD_OLD;");
  const size_t add = text.find("ALTER TABLE ORDERS ADD ( UK );");
  ASSERT_NE(drop, std::string::npos) << text;
  ASSERT_NE(add, std::string::npos) << text;
  EXPECT_LT(drop, add);
}

TEST_F(ConstraintComparerTest, SystemNamedKeyInTheWayOfANamedKeyIsDroppedFirst) {
  h.setMode(1);
  h.db1.table("LOCS").constraints = {{"LOCS_PK", "P", {"ID"}, "", "", ""},
                                     {"LOCS_CITY_UK", "U", {"CITY"}, "", "", ""}};
  h.db2.table("LOCS").constraints = {{"SYS_C000011", "P", {"ID"}, "", "", ""},
                                     {"SYS_C000012", "U", {"CITY"}, "", "", ""},
                                     {"SYS_C000013", "U", {"ZIP"}, "", "", ""}};
  h.db1.tables.erase("ORDERS");
  h.db2.tables.erase("ORDERS");
  h.run.tables.clear();
  h.common("LOCS");
  h.scripts.constraintDdl["LOCS.LOCS_PK"] = "ALTER TABLE LOCS ADD ( PK );";
  h.scripts.constraintDdl["LOCS.LOCS_CITY_UK"] = "ALTER TABLE LOCS ADD ( UK );";
  bothPasses();
  const std::string text = h.out.text();
  EXPECT_NE(text.find("-- The system-named key SYS_C000012 stands in the way of LOCS_CITY_UK\r\n"
                      "ALTER TABLE LOCS DROP CONSTRAINT SYS_C000012;\r\n"
                      "ALTER TABLE LOCS ADD ( UK );"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("-- The system-named key SYS_C000011 stands in the way of LOCS_PK\r\n"
                      "ALTER TABLE LOCS DROP CONSTRAINT SYS_C000011;\r\n"
                      "ALTER TABLE LOCS ADD ( PK );"),
            std::string::npos)
      << text;
  EXPECT_EQ(text.find("SYS_C000013"), std::string::npos) << "a key on other columns stays";
}

class KeyDependencyTest : public ConstraintComparerTest {
 protected:
  void SetUp() override {
    h.setMode(1);
    h.db1.table("DEPT").constraints = {{"DEPT_PK", "P", {"ID", "X"}, "", "", ""}};
    h.db2.table("DEPT").constraints = {{"DEPT_PK", "P", {"ID"}, "", "", ""}};
    h.db1.table("EMP").constraints = {
        {"EMP_DEPT_FK", "R", {"DEPT_ID"}, "NO ACTION", "", "DEPT_PK"}};
    h.db2.table("EMP").constraints = {
        {"EMP_DEPT_FK", "R", {"DEPT_ID"}, "NO ACTION", "", "DEPT_PK"}};
    h.common("DEPT");
    h.common("EMP");
    h.scripts.constraintDdl["DEPT.DEPT_PK"] = "ALTER TABLE DEPT ADD ( PK );";
    h.scripts.constraintDdl["EMP.EMP_DEPT_FK"] = "ALTER TABLE EMP ADD ( FK );";
  }
};

TEST_F(KeyDependencyTest, ChangedKeyDropsWithCascadeAndRecreatesTheForeignKeysKept) {
  bothPasses();
  writeDeferredConstraints(h.run);
  const std::string text = h.out.text();
  EXPECT_NE(text.find("ALTER TABLE DEPT DROP CONSTRAINT DEPT_PK CASCADE;\r\n"
                      "ALTER TABLE DEPT ADD ( PK );\r\n"),
            std::string::npos);
  const size_t end = text.find("create the foreign keys");
  ASSERT_NE(end, std::string::npos);
  EXPECT_NE(text.find("ALTER TABLE EMP ADD ( FK );\r\n", end), std::string::npos);
  EXPECT_EQ(text.find("EMP DROP CONSTRAINT"), std::string::npos);
}

TEST_F(KeyDependencyTest, ForeignKeyGoneWithItsKeyIsNotDroppedAgain) {
  h.db1.tables["EMP"].constraints[0].deleteRule = "CASCADE";
  bothPasses();
  writeDeferredConstraints(h.run);
  const std::string text = h.out.text();
  EXPECT_NE(text.find("-- Constraint EMP_DEPT_FK was dropped by an earlier statement\r\n"),
            std::string::npos);
  EXPECT_EQ(text.find("EMP DROP CONSTRAINT"), std::string::npos);
  // Created once, at the end.
  const size_t first = text.find("ALTER TABLE EMP ADD ( FK );");
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(text.find("ALTER TABLE EMP ADD ( FK );", first + 1), std::string::npos);
}

TEST_F(KeyDependencyTest, ForeignKeyOfAnotherSchemaIsNeverCascaded) {
  struct OtherSchemaReferences : FakeDictionary {
    QueryRows<TableConstraint> foreignKeysReferencingKey(const std::string&,
                                                         const std::string&) override {
      return {{{"OTHER", "INVOICES", "INV_DEPT_FK", "R"}}, ""};
    }
  } db2;
  db2.owner = "HR";
  db2.tables = h.db2.tables;
  h.run.database2.reader = &db2;
  bothPasses();
  EXPECT_NE(h.out.text().find("ALTER TABLE DEPT DROP CONSTRAINT DEPT_PK;\r\n"), std::string::npos);
}

TEST_F(ConstraintComparerTest, PlainIndexOfTheKeysNameIsDroppedFirst) {
  h.setMode(1);
  h.db1.tables["ORDERS"].constraints = {{"ORD_CODE_UK", "U", {"CODE"}, "", "", ""}};
  h.db2.tables["ORDERS"] = FakeTable{};
  h.db2.tables["ORDERS"].indexes = {{"ORD_CODE_UK", true, {"CODE"}}};
  h.scripts.constraintDdl["ORDERS.ORD_CODE_UK"] = "ALTER TABLE ORDERS ADD ( UK );";
  bothPasses();
  EXPECT_NE(h.out.text().find(bannerBottom() +
                              "DROP INDEX ORD_CODE_UK;\r\nALTER TABLE ORDERS ADD ( UK );\r\n"),
            std::string::npos);
}

TEST_F(ConstraintComparerTest, QueryErrorEndsThePhase) {
  h.common("LATER");
  h.db1.constraintErrors["ORDERS"] = "ORA-00942: table or view does not exist";
  ConstraintComparer comparer(h.run);
  EXPECT_EQ(comparer.compareConstraints(true), 0);
  EXPECT_EQ(h.out.text(),
            "\r\n\r\n\r\nThe following error ocurred when trying to process constraints in "
            "database SCOTT@ORCL for table ORDERS\r\nORA-00942: table or view does not exist");
  EXPECT_EQ(comparer.compareConstraints(false), 0);
  EXPECT_TRUE(h.db2.log.empty());
}

TEST_F(ConstraintComparerTest, ColumnListErrorIsReportedAndLeavesTheListEmpty) {
  struct FailingColumns : FakeDictionary {
    QueryRows<std::string> constraintColumns(const std::string&, const std::string&) override {
      return {{}, "ORA-01031: insufficient privileges"};
    }
  } db1;
  h.run.database1.reader = &db1;
  h.setMode(1);
  ConstraintComparer comparer(h.run);
  EXPECT_EQ(comparer.constraintColumnList("ORDERS", "ORD_PK", true), "");
  EXPECT_EQ(h.out.text(),
            "\r\n\r\n\r\n-- The following error ocurred when trying to process constraint columns "
            "in database SCOTT@ORCL for constraint ORD_PK\r\n-- ORA-01031: insufficient "
            "privileges");
  h.run.database1.reader = &h.db1;
  EXPECT_EQ(comparer.constraintColumnList("ORDERS", "ORD_PK", true), "ID");
}

// A column list that could not be read would make the constraint look changed: the upgrade
// script would drop and recreate it. The table's constraints are not compared at all instead,
// and the run records the error; the other tables are compared as usual.
TEST_F(ConstraintComparerTest, AnUnreadColumnListWritesNoStatementForItsTable) {
  struct FailingColumns : FakeDictionary {
    QueryRows<std::string> constraintColumns(const std::string& owner,
                                             const std::string& constraint) override {
      if (constraint == "ORD_PK") return {{}, "ORA-01555: snapshot too old"};
      return FakeDictionary::constraintColumns(owner, constraint);
    }
  } db2;
  static_cast<FakeDictionary&>(db2) = h.db2;
  h.db1.table("ITEMS").constraints = {{"ITEMS_PK", "P", {"ID"}, "", "", ""}};
  db2.table("ITEMS").constraints = {{"ITEMS_PK", "P", {"ID", "LINE"}, "", "", ""}};
  h.common("ITEMS");
  h.scripts.constraintDdl["ITEMS.ITEMS_PK"] = "ALTER TABLE ITEMS ADD ( PK );\r\n";
  h.run.database2.reader = &db2;
  RunErrors errors;
  h.run.errors = &errors;
  h.setMode(1);
  h.options.b_DoConsCols = 1;
  bothPasses();
  const std::string text = h.out.text();
  EXPECT_EQ(text.find("CONSTRAINT ORD"), std::string::npos) << text;
  EXPECT_NE(text.find("ORA-01555"), std::string::npos) << text;
  EXPECT_NE(text.find("ALTER TABLE ITEMS DROP CONSTRAINT ITEMS_PK"), std::string::npos) << text;
  EXPECT_EQ(errors.kinds(), std::vector<std::string>{"constraints"});
}

TEST_F(ConstraintComparerTest, ScriptDatabaseOneKeepsForeignKeysForTheEnd) {
  h.setMode(2);
  h.db1.table("CUSTOMERS").constraints = {{"SYS_C0042", "P", {"ID"}, "", "", ""}};
  h.scripts.constraintDdl["CUSTOMERS.SYS_C0042"] =
      "ALTER TABLE CUSTOMERS ADD (\r\n\tPRIMARY KEY\r\n)\r\n;";
  h.scripts.constraintDdl["ORDERS.ORD_PK"] = "ALTER TABLE ORDERS ADD ( PK );";
  h.scripts.constraintDdl["ORDERS.ORD_QTY_CK"] = "ALTER TABLE ORDERS ADD ( QTY );";
  h.scripts.constraintDdl["ORDERS.SYS_C001"] = "";  // a NOT NULL check prints nothing
  ConstraintComparer comparer(h.run);
  EXPECT_EQ(comparer.compareConstraints(true), 1);
  writeDeferredConstraints(h.run);
  const std::string expected =
      "\r\n\r\n\r\n" + bannerTop() +
      "*  constraints\r\n*\r\n*  The following statements will create the constraints\r\n\r\n" +
      bannerBottom() +
      "ALTER TABLE ORDERS ADD ( PK );\r\nALTER TABLE ORDERS ADD ( QTY );\r\n"
      "ALTER TABLE CUSTOMERS ADD (\r\n\tPRIMARY KEY\r\n)\r\n;\r\n" +
      "\r\n\r\n\r\n" + bannerTop() +
      "*  The following statements will create the foreign keys, after every table and key they "
      "reference" +
      bannerBottom() +
      "ALTER TABLE ORDERS ADD (\r\n\tCONSTRAINT ORD_CUST_FK\r\n\tFOREIGN KEY\r\n)\r\n;\r\n";
  EXPECT_EQ(h.out.text(), expected);
}

TEST(KeyColumnsTest, PrimaryKeyOrUniqueIndex) {
  FakeDictionary db;
  db.table("T").constraints = {{"T_PK", "P", {"A", "B"}, "", "", ""}};
  db.table("U").indexes = {{"U_IX", false, {"X"}}, {"U_UX", true, {"C", "D"}}};
  std::vector<std::string> columns = {"KEEP"};
  primaryKeyColumns(db, "SCOTT", "T", true, columns);
  EXPECT_EQ(columns, (std::vector<std::string>{"KEEP", "A", "B"}));
  columns.clear();
  primaryKeyColumns(db, "SCOTT", "U", true, columns);
  EXPECT_EQ(columns, (std::vector<std::string>{"C", "D"}));
  columns.clear();
  primaryKeyColumns(db, "SCOTT", "U", false, columns);
  EXPECT_TRUE(columns.empty());
  // A unique index over a DESC column lists a hidden column: no key from it.
  db.table("V").indexes = {{"V_UX", true, {"ID", "SYS_NC00004$"}}};
  primaryKeyColumns(db, "SCOTT", "V", true, columns);
  EXPECT_TRUE(columns.empty());
}

TEST(KeyColumnsTest, TextsAsConstraintsCompareThem) {
  EXPECT_EQ(normalizedConstraintText("  \"QTY\" > 0 \r\n"), "QTY > 0");
  EXPECT_EQ(normalizedConstraintText("NO ACTION "), "NO ACTION");
  EXPECT_EQ(joinColumns({"A", "B", "C"}), "A, B, C");
  EXPECT_EQ(joinColumns({}), "");
}

}  // namespace
}  // namespace velmora
