// Constraint and index formatting of the DDL generator.
#include <gtest/gtest.h>

#include "structure/ddl_format.h"
#include "structure/ddl_text.h"

namespace velmora {
namespace {

TableFacts table(const std::string& name) {
  TableFacts facts;
  facts.owner = "SCOTT";
  facts.name = name;
  return facts;
}

IndexFacts keyIndex(const std::string& name) {
  IndexFacts index;
  index.name = name;
  index.unique = true;
  index.segment.pctFree = "10";
  index.segment.iniTrans = "2";
  index.segment.maxTrans = "255";
  index.segment.tablespace = "INDX";
  return index;
}

ConstraintFacts key(const std::string& name, const std::string& type,
                    std::vector<std::string> columns) {
  ConstraintFacts constraint;
  constraint.name = name;
  constraint.type = type;
  constraint.columns = std::move(columns);
  return constraint;
}

ConstraintFacts check(const std::string& name, const std::string& condition) {
  ConstraintFacts constraint;
  constraint.name = name;
  constraint.type = "C";
  constraint.condition = condition;
  return constraint;
}

ConstraintFacts foreignKey(const std::string& deleteRule) {
  ConstraintFacts constraint = key("FK_EMP_DEPT", "R", {"DEPTNO"});
  constraint.referencedOwner = "SCOTT";
  constraint.referencedConstraint = "PK_DEPT";
  constraint.referencedTable = "DEPT";
  constraint.referencedColumns = {"DEPTNO"};
  constraint.deleteRule = deleteRule;
  return constraint;
}

std::string text(const TableFacts& facts, const ConstraintFacts& constraint,
                 DdlSwitches switches = {}) {
  return ddlOutputText(formatConstraint(facts, constraint, switches));
}

TEST(FormatConstraint, PrimaryKeyOnTwoColumnsWithItsIndexClauses) {
  ConstraintFacts pk = key("PK_T", "P", {"A", "B"});
  pk.index = keyIndex("PK_T");
  const std::string head =
      "ALTER TABLE T ADD (\r\n"
      "\tCONSTRAINT PK_T\r\n"
      "\tPRIMARY KEY\r\n"
      "\t            (\r\n"
      "\t            A\r\n"
      "\t            ,B\r\n"
      "\t            )\r\n"
      "\tUSING INDEX\r\n";
  EXPECT_EQ(text(table("T"), pk), head +
                                      "\tPCTFREE    10\r\n\tINITRANS   2\r\n\tMAXTRANS   255\r\n"
                                      "\tTABLESPACE INDX\r\n"
                                      ")\r\n;\r\n");
  EXPECT_EQ(text(table("T"), pk, {true, false}),
            head + "\tPCTFREE    10\r\n\tINITRANS   2\r\n\tMAXTRANS   255\r\n)\r\n;\r\n");
  EXPECT_EQ(text(table("T"), pk, {false, true}), head + "\tTABLESPACE INDX\r\n)\r\n;\r\n");
  EXPECT_EQ(text(table("T"), pk, {false, false}), head + ")\r\n;\r\n");
}

TEST(FormatConstraint, SystemNamedKeysAreCreatedWithoutTheirOldName) {
  ConstraintFacts pk = key("SYS_C0099", "P", {"ID"});
  pk.index = keyIndex("SYS_C0099");
  EXPECT_EQ(
      text(table("T"), pk, {false, false}),
      "ALTER TABLE T ADD (\r\n\tPRIMARY KEY\r\n"
      "-- original system constraint name was SYS_C0099\r\n"
      "\t            (\r\n\t            ID\r\n\t            )\r\n\tUSING INDEX\r\n)\r\n;\r\n");
}

TEST(FormatConstraint, AKeyWithoutAnIndexOfItsNameHasNoUsingIndexClause) {
  EXPECT_EQ(text(table("T"), key("UK_T", "U", {"CODE"})),
            "ALTER TABLE T ADD (\r\n\tCONSTRAINT UK_T\r\n\tUNIQUE\r\n"
            "\t       (\r\n\t       CODE\r\n\t       )\r\n)\r\n;\r\n");
}

TEST(FormatConstraint, ForeignKeysKeepTheirDeleteRule) {
  const std::string body =
      "ALTER TABLE EMP ADD (\r\n"
      "\tCONSTRAINT FK_EMP_DEPT\r\n"
      "\tFOREIGN KEY\r\n"
      "\t            (\r\n\t            DEPTNO\r\n\t            )\r\n"
      "\tREFERENCES DEPT\r\n"
      "\t            (\r\n\t            DEPTNO\r\n\t            )\r\n";
  EXPECT_EQ(text(table("EMP"), foreignKey("NO ACTION")), body + ")\r\n;\r\n");
  EXPECT_EQ(text(table("EMP"), foreignKey("CASCADE")), body + "ON DELETE CASCADE\r\n)\r\n;\r\n");
  EXPECT_EQ(text(table("EMP"), foreignKey("SET NULL")), body + "ON DELETE SET NULL\r\n)\r\n;\r\n");
}

TEST(FormatConstraint, AForeignKeyToAnotherSchemaNamesThatSchema) {
  ConstraintFacts fk = foreignKey("");
  fk.referencedOwner = "HR";
  std::string out = text(table("EMP"), fk);
  EXPECT_NE(out.find("\tREFERENCES HR.DEPT\r\n"), std::string::npos) << out;
}

TEST(FormatConstraint, AForeignKeyWhoseReferencedKeyCannotBeReadIsOnlyNamedInAComment) {
  ConstraintFacts fk = foreignKey("");
  fk.referencedTable.clear();
  fk.referencedColumns.clear();
  EXPECT_EQ(text(table("EMP"), fk),
            "-- constraint FK_EMP_DEPT of table EMP is not scripted: the key it references "
            "(SCOTT.PK_DEPT) cannot be read\r\n");
}

TEST(FormatConstraint, SystemNamedNotNullChecksAreNeverScripted) {
  EXPECT_TRUE(
      formatConstraint(table("T"), check("SYS_C0012", "\"ENAME\" IS NOT NULL"), {}).empty());
  // A named NOT NULL check and a system-named check of another form are scripted.
  EXPECT_FALSE(
      formatConstraint(table("T"), check("NN_ENAME", "\"ENAME\" IS NOT NULL"), {}).empty());
  EXPECT_FALSE(
      formatConstraint(table("T"), check("SYS_C0013", "\"A\" IS NOT NULL OR \"B\" IS NOT NULL"), {})
          .empty());
}

TEST(FormatConstraint, OtherSystemNamedChecksCarryTheirOriginalNameAsAComment) {
  EXPECT_EQ(text(table("T"), check("SYS_C0042", "SAL > 0")),
            "ALTER TABLE T ADD (\r\n\tCHECK\r\n-- original system constraint name was SYS_C0042\r\n"
            "\t(\r\n\tSAL > 0\r\n\t)\r\n)\r\n;\r\n");
  EXPECT_EQ(text(table("T"), check("CK_SAL", "SAL > 0")),
            "ALTER TABLE T ADD (\r\n\tCONSTRAINT CK_SAL\r\n\tCHECK\r\n"
            "\t(\r\n\tSAL > 0\r\n\t)\r\n)\r\n;\r\n");
}

TEST(FormatConstraint, AConditionIsWrittenAsItStandsHoweverLong) {
  // Oracle keeps the text of a condition as written: a break put into it would be a difference.
  const std::string condition =
      "JOB IN ('CLERK', 'SALESMAN', 'MANAGER', 'ANALYST', 'PRESIDENT') AND SAL BETWEEN 800 AND "
      "5000";
  EXPECT_EQ(text(table("EMP"), check("CK_JOB", condition)),
            "ALTER TABLE EMP ADD (\r\n\tCONSTRAINT CK_JOB\r\n\tCHECK\r\n\t(\r\n\t" + condition +
                "\r\n\t)\r\n)\r\n;\r\n");
  const std::string twoLines = "STATUS IN ('A  B', 'C')\n  OR STATUS IS NULL";
  EXPECT_NE(text(table("T"), check("CK_S", twoLines)).find("\t(\r\n\t" + twoLines + "\r\n\t)"),
            std::string::npos);
}

TEST(FormatConstraint, ConstraintsThatCannotBeWrittenAsStatementsBecomeComments) {
  EXPECT_EQ(text(table("T"), key("SUPP_LOG", "?", {})),
            "-- constraint SUPP_LOG of table T is not scripted: constraints of type ? are not "
            "scripted\r\n");
  EXPECT_EQ(text(table("T"), check("CK_X", "")),
            "-- constraint CK_X of table T is not scripted: its condition cannot be read\r\n");
}

TEST(ConstraintTypeRank, PrimaryUniqueForeignCheckOthers) {
  EXPECT_LT(constraintTypeRank("P"), constraintTypeRank("U"));
  EXPECT_LT(constraintTypeRank("U"), constraintTypeRank("R"));
  EXPECT_LT(constraintTypeRank("R"), constraintTypeRank("C"));
  EXPECT_LT(constraintTypeRank("C"), constraintTypeRank("O"));
}

TEST(FormatIndex, ColumnsStorageAndCompression) {
  IndexFacts index = keyIndex("IX_EMP_NAME");
  index.columns = {"ENAME", "JOB"};
  index.compression = "ENABLED";
  index.prefixLength = "1";
  const std::string columns = "\t(\r\n\t ENAME\r\n\t ,JOB\r\n\t)\r\n";
  EXPECT_EQ(ddlOutputText(formatIndex("EMP", index, {})),
            "CREATE UNIQUE INDEX IX_EMP_NAME ON EMP\r\n" + columns +
                "\tPCTFREE    10\r\n\tINITRANS   2\r\n\tMAXTRANS   255\r\n\tTABLESPACE INDX\r\n"
                "\tCOMPRESS 1\r\n;\r\n");
  index.unique = false;
  index.compression = "DISABLED";
  EXPECT_EQ(ddlOutputText(formatIndex("EMP", index, {false, false})),
            "CREATE INDEX IX_EMP_NAME ON EMP\r\n" + columns + ";\r\n");
}

TEST(FormatIndex, OddColumnNamesAreQuoted) {
  IndexFacts index = keyIndex("IX_T");
  index.columns = {"Mixed", "DATE"};
  EXPECT_EQ(ddlOutputText(formatIndex("T", index, {false, false})),
            "CREATE UNIQUE INDEX IX_T ON T\r\n\t(\r\n\t \"Mixed\"\r\n\t ,\"DATE\"\r\n\t)\r\n;\r\n");
}

}  // namespace
}  // namespace velmora

namespace velmora {
namespace {

// A statement a line-based script cannot hold is replaced by one comment line; nothing of the
// offending text ends up on a line of its own.
void expectOneCommentLine(const std::vector<std::string>& lines, const std::string& expected) {
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], expected);
  EXPECT_TRUE(holdsUnwrittenStatement(ddlOutputText(lines)));
  EXPECT_EQ(lines[0].find_first_of("\r\n"), std::string::npos);
}

TEST(FormatUnwritable, CreateTableWithANameOrDefaultThatWouldBreakTheScript) {
  const std::vector<ColumnFacts> columns = {{"A", "NUMBER", "22", "", "", "Y", ""}};
  expectOneCommentLine(
      formatCreateTable(table("Z\nDROP TABLE VICTIM;\n"), columns, {}),
      "-- No statement is written for table Z\\nDROP TABLE VICTIM;\\n: its name holds a line "
      "break");
  expectOneCommentLine(
      formatCreateTable(table("T"), {{"C\x1b", "NUMBER", "22", "", "", "Y", ""}}, {}),
      "-- No statement is written for table T: column C\\x1B: its name holds a control character");
  expectOneCommentLine(
      formatCreateTable(table("T"), {{"B", "VARCHAR2", "9", "", "", "Y", "'x;\nDROP TABLE V;\n'"}},
                        {}),
      "-- No statement is written for table T: the default of column B: one of its lines would "
      "break the statement: a line ending in \";\" ends the statement");
  TableFacts odd = table("T");
  odd.segment.tablespace = "USERS\n;";
  EXPECT_EQ(formatCreateTable(odd, columns, {}).size(), 1u) << "the tablespace is a name too";
  // A default of several harmless lines is written as it stands.
  const std::string created = ddlOutputText(formatCreateTable(
      table("T"), {{"B", "NUMBER", "22", "", "", "Y", "1 +\n 2"}}, {false, false}));
  EXPECT_NE(created.find("DEFAULT 1 +\n 2"), std::string::npos) << created;
}

TEST(FormatUnwritable, ConstraintsWithAnUnwritableNameOrCondition) {
  expectOneCommentLine(formatConstraint(table("T"), key("PK\nX", "P", {"A"}), {}),
                       "-- No statement is written for constraint PK\\nX of table T: its name "
                       "holds a line break");
  EXPECT_EQ(formatConstraint(table("T"), key("PK_T", "P", {"A", "B\r"}), {}).size(), 1u);
  ConstraintFacts fk = foreignKey("");
  fk.referencedTable = "DEPT\n";
  EXPECT_EQ(formatConstraint(table("EMP"), fk, {}).size(), 1u);
  expectOneCommentLine(formatConstraint(table("T"), check("CK_T", "a > 0;\n/"), {}),
                       "-- No statement is written for constraint CK_T of table T: its "
                       "condition: one of its lines would break the statement: a line ending in "
                       "\";\" ends the statement");
  // A system name is only quoted in a comment, escaped.
  const std::string system =
      text(table("T"), key("SYS_C1\n/\nDROP TABLE VICTIM;", "U", {"A"}), {false, false});
  EXPECT_EQ(system.find("\nDROP TABLE VICTIM;"), std::string::npos) << system;
}

TEST(FormatUnwritable, IndexesWithAnUnwritableName) {
  IndexFacts index = keyIndex("IX\nDROP TABLE VICTIM;");
  index.columns = {"A"};
  expectOneCommentLine(formatIndex("EMP", index, {}),
                       "-- No statement is written for index IX\\nDROP TABLE VICTIM; of table "
                       "EMP: its name holds a line break");
  index.name = "IX";
  index.columns = {"A", "\x07"};
  EXPECT_EQ(formatIndex("EMP", index, {}).size(), 1u);
  index.columns = {"A"};
  EXPECT_EQ(formatIndex("E\rMP", index, {}).size(), 1u);
  EXPECT_GT(formatIndex("EMP", index, {}).size(), 1u);
}

}  // namespace
}  // namespace velmora
