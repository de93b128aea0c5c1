#include "source/stored_code_comparer.h"

#include <gtest/gtest.h>

#include "source/code_statements.h"
#include "source/code_test_doubles.h"
#include "structure/script_dependencies.h"

namespace velmora {
namespace {

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

size_t position(const std::string& text, const std::string& part) {
  const size_t at = text.find(part);
  EXPECT_NE(at, std::string::npos) << "missing: " << part << "\n--- in ---\n" << text;
  return at;
}

class StoredCode : public ::testing::Test {
 protected:
  CodeHarness h;
};

TEST_F(StoredCode, ReportListsTheCountsTheMissingAndTheCommonObjects) {
  h.mode(0);
  h.db1.add("PROCEDURE", "CLOSE_ORDER", "PROCEDURE close_order IS\nBEGIN\n  NULL;\nEND;");
  h.db1.add("PROCEDURE", "NEW_ONE", "PROCEDURE new_one IS BEGIN NULL; END;");
  h.db2.add("PROCEDURE", "CLOSE_ORDER", "PROCEDURE close_order IS\nBEGIN\n  NULL;\nEND;");
  h.db2.add("PROCEDURE", "OLD_ONE", "PROCEDURE old_one IS BEGIN NULL; END;");
  h.compare("STP");
  EXPECT_EQ(h.out.text(),
            "\r\n\r\n\r\n2 Stored Procedures were found in APP@DB1"
            "\r\n2 Stored Procedures were found in APP@DB2"
            "\r\n\r\n\r\nThe following Stored Procedures DO NOT exist in APP@DB1\r\n"
            "\r\n\t\tOLD_ONE"
            "\r\n\r\n\r\nThe following Stored Procedures DO NOT exist in APP@DB2\r\n"
            "\r\n\t\tNEW_ONE"
            "\r\n\r\n\r\nThe following Stored Procedures exist in both databases\r\n"
            "\r\n\t\tCLOSE_ORDER"
            "\r\n\r\n\r\nNo differences were found in stored procedure CLOSE_ORDER");
  EXPECT_EQ(h.host.objects(), std::vector<std::string>{"STP.CLOSE_ORDER"});
  EXPECT_EQ(h.differences.total(), 2);
  EXPECT_FALSE(h.errors.any());
}

TEST_F(StoredCode, ReportPrintsTheLinesThatDiffer) {
  h.mode(0);
  h.db1.add("FUNCTION", "F", "FUNCTION f RETURN NUMBER IS\nBEGIN\n  RETURN 2;\nEND;");
  h.db2.add("FUNCTION", "F", "FUNCTION f RETURN NUMBER IS\nBEGIN\n  RETURN 1;\nEND;");
  h.compare("FUNC");
  const std::string text = h.out.text();
  EXPECT_TRUE(contains(text,
                       "\r\n\r\n\r\nDifferences found in function F\r\n\r\n"
                       "> (3)   RETURN 1;\r\n< (3)   RETURN 2;\r\n"))
      << text;
  EXPECT_FALSE(contains(text, "No differences"));
  EXPECT_EQ(h.differences.total(), 1);
}

TEST_F(StoredCode, WhiteSpaceCountsOnlyWhenSourceSpacesAreNotIgnored) {
  h.mode(0);
  h.db1.add("PACKAGE", "P", "PACKAGE p IS\n\tx NUMBER;\nEND;");
  h.db2.add("PACKAGE", "P", "PACKAGE p IS\n    x NUMBER;\nEND;");
  h.compare("PKG");
  EXPECT_TRUE(contains(h.out.text(), "No differences were found in package P"));
  h.out.clear();
  h.options.b_IgnoreSourceSpaces = 0;
  h.compare("PKG");
  EXPECT_TRUE(contains(h.out.text(), "Differences found in package P")) << h.out.text();
}

TEST_F(StoredCode, NamesDifferingOnlyInCaseAreTheSameObject) {
  h.mode(0);
  h.db1.add("PROCEDURE", "proc_a", "PROCEDURE \"proc_a\" IS BEGIN NULL; END;");
  h.db2.add("PROCEDURE", "PROC_A", "PROCEDURE proc_a IS BEGIN NULL; END;");
  h.compare("STP");
  EXPECT_FALSE(contains(h.out.text(), "DO NOT exist")) << h.out.text();
  EXPECT_TRUE(contains(h.out.text(), "exist in both databases\r\n\r\n\t\tproc_a"));
}

TEST_F(StoredCode, AnExactNameIsMatchedBeforeOneThatDiffersInCase) {
  h.mode(0);
  h.db1.add("PROCEDURE", "PROC_A", "PROCEDURE proc_a IS BEGIN NULL; END;");
  h.db1.add("PROCEDURE", "proc_a", "PROCEDURE \"proc_a\" IS BEGIN NULL; END;");
  h.db2.add("PROCEDURE", "proc_a", "PROCEDURE \"proc_a\" IS BEGIN NULL; END;");
  h.compare("STP");
  EXPECT_TRUE(contains(h.out.text(), "exist in both databases\r\n\r\n\t\tproc_a"));
  EXPECT_TRUE(contains(h.out.text(), "DO NOT exist in APP@DB2\r\n\r\n\t\tPROC_A"));
}

TEST_F(StoredCode, UpgradeReplacesAnObjectWhoseNameDiffersInCase) {
  h.mode(1);
  h.db1.add("PACKAGE", "pkg", "PACKAGE \"pkg\" IS END;");
  h.db2.add("PACKAGE", "PKG", "PACKAGE \"pkg\" IS END;");
  h.db1.add("PACKAGE BODY", "pkg", "PACKAGE BODY \"pkg\" IS END;");
  h.db2.add("PACKAGE BODY", "PKG", "PACKAGE BODY \"pkg\" IS END;");
  h.compare("PKG");
  h.compare("PKGBD");
  const std::string text = h.out.text();
  EXPECT_LT(position(text, "\r\nDROP PACKAGE PKG;"),
            position(text, "CREATE OR REPLACE PACKAGE \"pkg\""));
  EXPECT_TRUE(contains(text, "-- The package PKG of Database 2 is named pkg in Database 1"));
  EXPECT_FALSE(contains(text, "DROP PACKAGE BODY")) << text;
  EXPECT_TRUE(contains(text, "CREATE OR REPLACE PACKAGE BODY \"pkg\""));
}

TEST_F(StoredCode, TheStatusOfATriggerIsCompared) {
  h.mode(0);
  const std::string source = "TRIGGER \"T_BU\" BEFORE\nUPDATE\n ON \"T\"\nBEGIN NULL; END;";
  h.db1.add("TRIGGER", "T_BU", source);
  h.db2.add("TRIGGER", "T_BU", source);
  h.db1.triggers["T_BU"] = {"T", "TABLE", false};
  h.compare("TRIG");
  EXPECT_TRUE(contains(h.out.text(),
                       "\r\n\r\n\r\nThe status of trigger T_BU differs: DISABLED "
                       "in APP@DB1, ENABLED in APP@DB2"))
      << h.out.text();
  EXPECT_FALSE(contains(h.out.text(), "No differences"));
  h.out.clear();
  h.mode(1);
  h.compare("TRIG");
  EXPECT_TRUE(contains(h.out.text(), "\r\nALTER TRIGGER T_BU DISABLE;")) << h.out.text();
  EXPECT_FALSE(contains(h.out.text(), "CREATE OR REPLACE"));
}

TEST_F(StoredCode, ATypeThatTablesUseIsNotReplaced) {
  h.mode(1);
  h.db1.add("TYPE", "POINT_T", "TYPE point_t AS OBJECT (x NUMBER, y NUMBER, z NUMBER);");
  h.db2.add("TYPE", "POINT_T", "TYPE point_t AS OBJECT (x NUMBER, y NUMBER);");
  h.db2.dependencyRows = {{"SHAPES", "TABLE", "POINT_T", "TYPE"}};
  h.compare("TYPE");
  const std::string text = h.out.text();
  EXPECT_FALSE(contains(text, "CREATE OR REPLACE")) << text;
  EXPECT_TRUE(contains(text,
                       "-- No statement is written for type POINT_T: Database 2 has TABLE "
                       "SHAPES, which use it"))
      << text;
  EXPECT_TRUE(h.errors.any());
}

TEST_F(StoredCode, ATypeIsDroppedAfterTheTypesThatUseIt) {
  h.mode(1);
  h.db2.add("TYPE", "A_POINT", "TYPE a_point AS OBJECT (x NUMBER);");
  h.db2.add("TYPE", "B_SHAPE", "TYPE b_shape AS OBJECT (origin a_point);");
  h.db2.dependencyRows = {{"B_SHAPE", "TYPE", "A_POINT", "TYPE"}};
  h.compare("TYPE");
  const std::string text = h.out.text();
  EXPECT_LT(position(text, "DROP TYPE B_SHAPE;"), position(text, "DROP TYPE A_POINT;"));
}

TEST_F(StoredCode, IgnoredObjectsAreOnlyListedAsNotProcessed) {
  h.mode(0);
  h.options.IgnoreFuncs.add("skip_me");
  h.db1.add("FUNCTION", "SKIP_ME", "FUNCTION skip_me RETURN NUMBER IS BEGIN RETURN 1; END;");
  h.db2.add("FUNCTION", "SKIP_ME", "FUNCTION skip_me RETURN NUMBER IS BEGIN RETURN 2; END;");
  h.db2.add("FUNCTION", "OTHER", "FUNCTION other RETURN NUMBER IS BEGIN RETURN 2; END;");
  h.compare("FUNC");
  const std::string text = h.out.text();
  EXPECT_FALSE(contains(text, "exist in both")) << text;
  EXPECT_FALSE(contains(text, "Differences found")) << text;
  EXPECT_TRUE(contains(text,
                       "\r\n\r\n\r\nThe following Functions were not processed in APP@DB1\r\n"
                       "\r\n\t\tSKIP_ME"));
  EXPECT_TRUE(contains(text, "were not processed in APP@DB2\r\n\r\n\t\tSKIP_ME"));
  EXPECT_EQ(position(text, "DO NOT exist in APP@DB1\r\n\r\n\t\tOTHER") > 0, true);
}

TEST_F(StoredCode, UpgradeDropsCreatesAndReplaces) {
  h.mode(1);
  h.db1.add("PACKAGE", "SAME", "PACKAGE same IS\nEND;");
  h.db2.add("PACKAGE", "SAME", "PACKAGE same IS\nEND;\n\n");
  h.db1.add("PACKAGE", "CHANGED", "PACKAGE changed IS\n  x NUMBER;\nEND;");
  h.db2.add("PACKAGE", "CHANGED", "PACKAGE changed IS\nEND;");
  h.db1.add("PACKAGE", "NEW_PKG", "PACKAGE new_pkg IS\nEND;");
  h.db2.add("PACKAGE", "OLD_PKG", "PACKAGE old_pkg IS\nEND;");
  h.compare("PKG");
  const std::string text = h.out.text();
  const size_t drop = position(text, "\r\nDROP PACKAGE OLD_PKG;");
  const size_t create =
      position(text, "\r\n/*  NEW_PKG  */\r\nCREATE OR REPLACE PACKAGE new_pkg IS\nEND;\r\n/\r\n");
  const size_t replace = position(
      text,
      "\r\n/*  CHANGED  */\r\nCREATE OR REPLACE PACKAGE changed IS\n  x NUMBER;\nEND;\r\n/\r\n");
  EXPECT_LT(drop, create);
  EXPECT_LT(create, replace);
  EXPECT_TRUE(contains(text,
                       "*  The following statements will replace Packages that are "
                       "different in APP@DB2"));
  // Trailing blank lines are no difference in the script.
  EXPECT_FALSE(contains(text, "CREATE OR REPLACE PACKAGE same")) << text;
  EXPECT_TRUE(contains(text, "*  No differences were found in package SAME"));
  // Every line that is not a statement is a comment.
  EXPECT_TRUE(contains(text,
                       "*  Packages\r\n*\r\n*  3 Packages were found in APP@DB1\r\n*  "
                       "3 Packages were found in APP@DB2"));
  EXPECT_TRUE(contains(text, "*  The following Packages exist in both databases\r\n*\r\n*  \t\t"));
}

TEST_F(StoredCode, ScriptOfDatabase1CreatesEveryObjectWithoutReadingDatabase2) {
  h.mode(2);
  h.db1.add("FUNCTION", "A", "FUNCTION a RETURN NUMBER IS BEGIN RETURN 1; END;");
  h.db1.add("FUNCTION", "B", "FUNCTION b RETURN NUMBER IS BEGIN RETURN 2; END;");
  h.db2.add("FUNCTION", "A", "FUNCTION a RETURN NUMBER IS BEGIN RETURN 1; END;");
  h.compare("FUNC");
  const std::string text = h.out.text();
  EXPECT_TRUE(h.db2.log.empty());
  EXPECT_TRUE(contains(text, "*  The following statements will create the Functions"));
  EXPECT_LT(position(text, "CREATE OR REPLACE FUNCTION a"),
            position(text, "CREATE OR REPLACE FUNCTION b"));
  EXPECT_FALSE(contains(text, "DROP"));
  EXPECT_EQ(h.differences.total(), 0);
}

TEST_F(StoredCode, ALowerCaseNameIsQuotedInItsDrop) {
  h.mode(1);
  h.db2.add("PROCEDURE", "old proc", "PROCEDURE \"old proc\" IS BEGIN NULL; END;");
  h.compare("STP");
  EXPECT_TRUE(contains(h.out.text(), "\r\nDROP PROCEDURE \"old proc\";"));
}

TEST_F(StoredCode, AViewWaitsForTheViewItReads) {
  h.mode(1);
  h.db1.add("VIEW", "A_TOTALS", "VIEW A_TOTALS (N ) AS\nSELECT n FROM b_lines");
  h.db1.add("VIEW", "B_LINES", "VIEW B_LINES (N ) AS\nSELECT n FROM t");
  h.db1.dependencyRows = {{"A_TOTALS", "VIEW", "B_LINES", "VIEW"},
                          {"B_LINES", "VIEW", "T", "TABLE"}};
  h.compare("VIEW");
  const std::string text = h.out.text();
  EXPECT_TRUE(contains(text,
                       "-- VIEW A_TOTALS is created further below, after VIEW B_LINES, on "
                       "which it depends"));
  EXPECT_LT(position(text, "CREATE OR REPLACE VIEW B_LINES"),
            position(text, "CREATE OR REPLACE VIEW A_TOTALS"));
  EXPECT_TRUE(contains(text,
                       "-- VIEW A_TOTALS is created here, out of the order of its kind: it "
                       "depends on VIEW B_LINES"));
}

TEST_F(StoredCode, AViewOverAFunctionWaitsForTheFunctionsPhase) {
  h.mode(1);
  h.db1.add("VIEW", "V", "VIEW V (X ) AS\nSELECT f(id) x FROM t");
  h.db1.add("FUNCTION", "F", "FUNCTION f (p NUMBER) RETURN NUMBER IS BEGIN RETURN p; END;");
  h.db1.dependencyRows = {{"V", "VIEW", "F", "FUNCTION"}};
  h.compare("VIEW");
  EXPECT_FALSE(contains(h.out.text(), "CREATE OR REPLACE VIEW V")) << h.out.text();
  h.compare("FUNC");
  const std::string text = h.out.text();
  EXPECT_LT(position(text, "CREATE OR REPLACE FUNCTION f"),
            position(text, "CREATE OR REPLACE VIEW V"));
}

TEST_F(StoredCode, AnInsteadOfTriggerOnANewViewWaitsForTheView) {
  h.mode(1);
  h.db1.add("TRIGGER", "V_INS",
            "TRIGGER \"V_INS\" INSTEAD OF\nINSERT\n ON \"V\"\nBEGIN NULL; END;");
  h.db1.triggers["V_INS"] = {"V", "VIEW", true};
  h.db1.add("VIEW", "V", "VIEW V (ID ) AS\nSELECT id FROM t");
  h.compare("TRIG");
  EXPECT_TRUE(contains(h.out.text(), "-- TRIGGER V_INS is created further below, after VIEW V"));
  EXPECT_FALSE(contains(h.out.text(), "CREATE OR REPLACE TRIGGER"));
  h.compare("VIEW");
  const std::string text = h.out.text();
  EXPECT_LT(position(text, "CREATE OR REPLACE VIEW V"),
            position(text, "CREATE OR REPLACE TRIGGER \"V_INS\""));
}

TEST_F(StoredCode, AnEqualViewDoesNotHoldBackWhatReadsIt) {
  h.mode(1);
  h.db1.add("VIEW", "A", "VIEW A (N ) AS\nSELECT n FROM b");
  h.db1.add("VIEW", "B", "VIEW B (N ) AS\nSELECT n FROM t");
  h.db2.add("VIEW", "B", "VIEW B (N ) AS\nSELECT n FROM t");
  h.db1.dependencyRows = {{"A", "VIEW", "B", "VIEW"}};
  h.compare("VIEW");
  EXPECT_FALSE(contains(h.out.text(), "further below")) << h.out.text();
}

TEST_F(StoredCode, ADisabledTriggerStaysDisabled) {
  h.mode(2);
  h.db1.add("TRIGGER", "T_BI", "TRIGGER \"T_BI\" BEFORE\nINSERT\n ON \"T\"\nBEGIN NULL; END;");
  h.db1.triggers["T_BI"] = {"T", "TABLE", false};
  h.compare("TRIG");
  EXPECT_TRUE(contains(h.out.text(), "END;\r\n/\r\nALTER TRIGGER T_BI DISABLE;\r\n"))
      << h.out.text();
}

TEST_F(StoredCode, ABodyIsNotDroppedAfterItsPackage) {
  h.mode(1);
  h.db2.add("PACKAGE", "GONE", "PACKAGE gone IS END;");
  h.db2.add("PACKAGE BODY", "GONE", "PACKAGE BODY gone IS END;");
  h.db2.add("PACKAGE BODY", "ORPHAN", "PACKAGE BODY orphan IS END;");
  h.compare("PKG");
  h.compare("PKGBD");
  const std::string text = h.out.text();
  EXPECT_TRUE(contains(text, "\r\nDROP PACKAGE GONE;"));
  EXPECT_FALSE(contains(text, "DROP PACKAGE BODY GONE")) << text;
  EXPECT_TRUE(contains(text, "-- The package body GONE is not dropped: it went with its package"));
  EXPECT_TRUE(contains(text, "\r\nDROP PACKAGE BODY ORPHAN;"));
}

TEST_F(StoredCode, ATriggerIsNotDroppedAfterItsTable) {
  h.mode(1);
  ScriptDependencies tables;
  tables.tableDropped("AUDIT_LOG");
  h.run.tableScript = &tables;
  h.db2.add("TRIGGER", "AUDIT_BI",
            "TRIGGER \"AUDIT_BI\" BEFORE\nINSERT\n ON \"AUDIT_LOG\"\nBEGIN NULL; END;");
  h.db2.triggers["AUDIT_BI"] = {"AUDIT_LOG", "TABLE", true};
  h.db2.add("TRIGGER", "OTHER_BI",
            "TRIGGER \"OTHER_BI\" BEFORE\nINSERT\n ON \"T\"\nBEGIN NULL; END;");
  h.compare("TRIG");
  const std::string text = h.out.text();
  EXPECT_FALSE(contains(text, "DROP TRIGGER AUDIT_BI")) << text;
  EXPECT_TRUE(contains(text,
                       "-- The trigger AUDIT_BI is not dropped: it went with its table "
                       "AUDIT_LOG, dropped above"));
  EXPECT_TRUE(contains(text, "\r\nDROP TRIGGER OTHER_BI;"));
}

TEST_F(StoredCode, ASourceThatCannotBeReadGivesAnErrorBlockAndNoStatement) {
  h.mode(1);
  h.db1.add("FUNCTION", "F", "FUNCTION f RETURN NUMBER IS BEGIN RETURN 2; END;");
  h.db2.add("FUNCTION", "F", "FUNCTION f RETURN NUMBER IS BEGIN RETURN 1; END;");
  h.db2.sourceErrors["F"] = "ORA-03113: end-of-file on communication channel";
  h.compare("FUNC");
  const std::string text = h.out.text();
  EXPECT_FALSE(contains(text, "CREATE OR REPLACE")) << text;
  EXPECT_TRUE(contains(text,
                       "\r\n\r\n\r\n-- The following error was received while processing function "
                       "F in database APP@DB2 :\r\n-- ORA-03113: end-of-file on communication "
                       "channel\r\n\r\n"))
      << text;
  EXPECT_EQ(h.errors.kinds(), std::vector<std::string>{"functions"});
}

TEST_F(StoredCode, AListCutShortWritesNoStatementForOneSidedObjects) {
  h.mode(1);
  h.db1.add("PROCEDURE", "A", "PROCEDURE a IS BEGIN NULL; END;");
  h.db2.add("PROCEDURE", "B", "PROCEDURE b IS BEGIN NULL; END;");
  h.db2.add("PROCEDURE", "C", "PROCEDURE c IS BEGIN NULL; END;");
  h.db2.listErrors["PROCEDURE"] = "ORA-03113: end-of-file on communication channel";
  h.compare("STP");
  const std::string text = h.out.text();
  EXPECT_FALSE(contains(text, "DROP")) << text;
  EXPECT_FALSE(contains(text, "CREATE")) << text;
  EXPECT_TRUE(contains(text, "The list of Stored Procedures could not be read completely from "));
  EXPECT_TRUE(contains(text, "are not dropped or created, because a list could not be read"));
  EXPECT_TRUE(h.errors.any());
}

TEST_F(StoredCode, ASourceWithALineThatWouldEndTheBlockIsNotWritten) {
  h.mode(2);
  h.db1.add("PROCEDURE", "P", "PROCEDURE p IS\nBEGIN\n/\nEND;");
  h.compare("STP");
  const std::string text = h.out.text();
  EXPECT_FALSE(contains(text, "CREATE OR REPLACE")) << text;
  EXPECT_TRUE(contains(text,
                       "-- No statement is written for stored procedure P: a line of its "
                       "source, \"/\", would end the statement"));
  EXPECT_TRUE(h.errors.any());
}

TEST_F(StoredCode, AViewWithBlankLinesAsksSqlPlusToKeepThem) {
  h.mode(2);
  h.db1.add("VIEW", "V", "VIEW V (ID ) AS\nSELECT id\n\nFROM t");
  h.db1.add("VIEW", "W", "VIEW W (ID ) AS\nSELECT id\n\nFROM t");
  h.compare("VIEW");
  const std::string text = h.out.text();
  EXPECT_TRUE(contains(text, "\r\n/*  V  */\r\nSET SQLBLANKLINES ON\r\nCREATE OR REPLACE VIEW V"));
  EXPECT_EQ(text.find("SQLBLANKLINES"), text.rfind("SQLBLANKLINES"));
}

TEST_F(StoredCode, AViewWithALineEndingInASemicolonIsNotWritten) {
  h.mode(2);
  h.db1.add("VIEW", "V", "VIEW V (ID ) AS\nSELECT id -- the key;\nFROM t");
  h.compare("VIEW");
  EXPECT_TRUE(contains(h.out.text(), "-- No statement is written for view V"));
}

TEST(CheckScriptSource, AcceptsPlsqlWithSemicolonsAndBlankLines) {
  EXPECT_EQ(checkScriptSource("PROCEDURE p IS\nBEGIN\n\n  NULL;\nEND;", false).reason, "");
  EXPECT_NE(checkScriptSource("PROCEDURE p IS\n  .\nEND;", false).reason, "");
  EXPECT_NE(checkScriptSource("PROCEDURE p IS\n#x\nEND;", false).reason, "");
  EXPECT_NE(checkScriptSource("PROCEDURE p IS \x1b END;", false).reason, "");
  EXPECT_EQ(checkScriptSource("PROCEDURE p IS\tBEGIN NULL; END;", false).reason, "");
  const SourceCheck view = checkScriptSource("VIEW V AS\nSELECT 1\n\nFROM dual", true);
  EXPECT_EQ(view.reason, "");
  EXPECT_TRUE(view.hasBlankLines);
}

}  // namespace
}  // namespace velmora
