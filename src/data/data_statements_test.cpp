// The statements of the upgrade script and the lines of the report, from rows of fields.
#include <gtest/gtest.h>

#include "base/recording_host.h"
#include "base/report_layout.h"
#include "data/data_difference.h"
#include "data/data_literal.h"

namespace velmora {
namespace {

DataField num(const std::string& text) {
  return {text, false, FieldKind::Number};
}
DataField txt(const std::string& text) {
  return {text, false, FieldKind::Text};
}
DataField null(FieldKind kind = FieldKind::Text) {
  return {"", true, kind};
}
bool startsWith(const std::string& text, const std::string& start) {
  return text.rfind(start, 0) == 0;
}

ComparisonOptions upgradeOptions() {
  ComparisonOptions options;
  options.i_DoingUpgradeScript = 1;
  options.setDerivedValues();
  return options;
}

TEST(ScriptLiteral, KeepsEveryValueExactly) {
  EXPECT_EQ(scriptLiteral(txt("O'Brien")), "'O''Brien'");
  EXPECT_EQ(scriptLiteral(txt("a \t b")), "'a ' || CHR(9) || ' b'");
  EXPECT_EQ(scriptLiteral(txt("line\r\nbreak")), "'line' || CHR(13) || CHR(10) || 'break'");
  EXPECT_EQ(scriptLiteral(txt("Gr\xC3\xBC\xC3\x9F"
                              "e \xE6\x9D\xB1")),
            "'Gr\xC3\xBC\xC3\x9F"
            "e \xE6\x9D\xB1'");
  EXPECT_EQ(scriptLiteral(txt("ab    ")), "'ab    '") << "CHAR keeps its padding";
  EXPECT_EQ(scriptLiteral(num("-12345678901234567890123456789012345678.5")),
            "-12345678901234567890123456789012345678.5");
  EXPECT_EQ(scriptLiteral(num("1.0E+100")), "1.0E+100");
  EXPECT_EQ(scriptLiteral(num("1; drop table x")), "'1; drop table x'") << "never bare SQL";
  EXPECT_EQ(scriptLiteral({"1999-12-31 23:59:59", false, FieldKind::Date}),
            "TO_DATE('1999-12-31 23:59:59','YYYY-MM-DD HH24:MI:SS')");
  EXPECT_EQ(scriptLiteral({"2024-01-05 10:11:12.123456000", false, FieldKind::Timestamp}),
            "TO_TIMESTAMP('2024-01-05 10:11:12.123456000','YYYY-MM-DD HH24:MI:SS.FF9')");
  EXPECT_EQ(scriptLiteral({"0AFF", false, FieldKind::Raw}), "HEXTORAW('0AFF')");
  EXPECT_EQ(scriptLiteral(null(FieldKind::Date)), "NULL");
  EXPECT_EQ(scriptLiteral({"-lob not shown-", false, FieldKind::Lob}), "");
  EXPECT_EQ(reportValue(txt("it's\tme")), "it''s\\tme");
}

DataObject table(std::vector<std::string> columns, int keyCount) {
  DataObject object;
  object.name = "ITEMS";
  object.columnNames = std::move(columns);
  object.keyCount = keyCount;
  return object;
}

TEST(DataStatements, InsertUpdateAndDeleteOfAKeyedTable) {
  ComparisonOptions options = upgradeOptions();
  RecordingWriter out;
  DataDifferenceWriter writer(out, options, table({"ID", "NAME", "NOTE"}, 1));
  writer.onlyIn1({num("7"), txt("O'Brien"), null()});
  writer.changed({num("1"), txt("same"), txt("new")}, {num("1"), txt("same"), txt("old")});
  writer.onlyIn2({num("6"), txt("x"), txt("y")});
  EXPECT_EQ(out.text(kBlue),
            "INSERT INTO ITEMS (\"ID\", \"NAME\", \"NOTE\")\r\nVALUES (7, 'O''Brien', NULL);\r\n");
  EXPECT_EQ(out.text(kGreen).substr(out.text(kGreen).find("UPDATE")),
            "UPDATE ITEMS SET \"NOTE\" = 'new'\r\nWHERE \"ID\" = 1 and ROWNUM = 1;\r\n-- ROWNUM=1 "
            "added to prevent updating more than a single row, if multiple records need be "
            "updated, multiple statements will be generated.\r\n");
  EXPECT_EQ(out.text(kRed),
            "DELETE FROM ITEMS\r\nWHERE \"ID\" = 6 and ROWNUM = 1;\r\n-- ROWNUM=1 added to prevent "
            "deleting more than a single row, if multiple records need be deleted, multiple "
            "statements will be generated.\r\n");
  EXPECT_NE(out.text().find("-- The following statements will update the data for table ITEMS"),
            std::string::npos);
  EXPECT_EQ(writer.differences(), 3);
}

TEST(DataStatements, NullKeysAreFoundWithIsNull) {
  ComparisonOptions options = upgradeOptions();
  RecordingWriter out;
  DataDifferenceWriter writer(out, options, table({"A", "B", "V"}, 2));
  EXPECT_PRED2(startsWith,
               writer.updateStatement({null(), num("1"), txt("n")}, {null(), num("1"), txt("o")}),
               "UPDATE ITEMS SET \"V\" = 'n'\r\nWHERE \"A\" IS NULL and \"B\" = 1 and ROWNUM");
}

// A key the user chose may repeat: the row is found by its other values as well.
TEST(DataStatements, AChosenKeyFindsTheRowByEveryComparableColumn) {
  ComparisonOptions options = upgradeOptions();
  RecordingWriter out;
  DataObject object = table({"A", "B", "V", "L"}, 1);
  object.keyUnique = false;
  DataDifferenceWriter writer(out, options, std::move(object));
  const DataField longValue{"x", false, FieldKind::Long};
  EXPECT_PRED2(startsWith,
               writer.updateStatement({num("1"), txt("b"), txt("n"), longValue},
                                      {num("1"), null(), txt("o"), longValue}),
               "UPDATE ITEMS SET \"B\" = 'b', \"V\" = 'n'\r\nWHERE \"A\" = 1 and \"B\" IS NULL and "
               "\"V\" = 'o' and ROWNUM = 1;");
  EXPECT_PRED2(
      startsWith, writer.deleteStatement({num("2"), txt("b"), txt("v"), longValue}),
      "DELETE FROM ITEMS\r\nWHERE \"A\" = 2 and \"B\" = 'b' and \"V\" = 'v' and ROWNUM = 1;");
}

TEST(DataStatements, UpdateSetsOnlyWhatDiffersByTheOptions) {
  ComparisonOptions options = upgradeOptions();
  options.b_CompDatCase = 1;
  RecordingWriter out;
  DataDifferenceWriter writer(out, options, table({"ID", "NAME", "PRICE"}, 1));
  EXPECT_PRED2(
      startsWith,
      writer.updateStatement({num("1"), txt("ABC"), num("5")}, {num("1"), txt("abc"), num("4")}),
      "UPDATE ITEMS SET \"PRICE\" = 5\r\nWHERE ");
}

// Rows without a key are deleted one at a time and inserted again, so duplicates come out right;
// columns that cannot stand in a WHERE clause are left out of it.
TEST(DataStatements, KeylessRowsAreDeletedByEveryComparableColumn) {
  ComparisonOptions options = upgradeOptions();
  RecordingWriter out;
  DataDifferenceWriter writer(out, options, table({"WORD", "AMOUNT", "TEXT"}, 0));
  EXPECT_PRED2(
      startsWith,
      writer.deleteStatement({txt("a"), null(FieldKind::Number), {"t", false, FieldKind::Long}}),
      "DELETE FROM ITEMS\r\nWHERE \"WORD\" = 'a' and \"AMOUNT\" IS NULL and ROWNUM = 1;");
  writer.onlyIn2({{"x", false, FieldKind::Long}});
  EXPECT_EQ(out.text().find("DELETE"), std::string::npos) << "nothing would find that row";
  EXPECT_NE(out.text().find("it is not deleted"), std::string::npos);
}

// A LONG value longer than any literal of a script is left out of its statement, and the
// comment before the statement says which column and how long; one longer than a SQL literal
// may be goes through a PL/SQL variable; a short one is a literal.
TEST(DataStatements, LongValuesTooLongForAScriptAreLeftOutAndNamed) {
  ComparisonOptions options = upgradeOptions();
  RecordingWriter out;
  DataDifferenceWriter writer(out, options, table({"ID", "BODY", "TITLE"}, 1));
  const DataField longest{std::string(32760, 'a'), false, FieldKind::Long};
  const DataField tooLong{std::string(32761, 'b'), false, FieldKind::Long};
  writer.onlyIn1({num("1"), tooLong, txt("t")});
  writer.changed({num("2"), tooLong, txt("new")}, {num("2"), longest, txt("old")});
  writer.onlyIn1({num("3"), longest, txt("u")});
  const std::string text = out.text();
  EXPECT_EQ(text.find(std::string(32761, 'b')), std::string::npos);
  EXPECT_NE(text.find("-- WARNING:  the value of COLUMN BODY (32761 bytes) is longer than a script "
                      "can write; the statement below leaves it out: copy it by other means.\r\n"
                      "INSERT INTO ITEMS (\"ID\", \"TITLE\")\r\nVALUES (1, 't');"),
            std::string::npos);
  EXPECT_NE(text.find("UPDATE ITEMS SET \"TITLE\" = 'new'\r\nWHERE \"ID\" = 2"), std::string::npos);
  EXPECT_NE(text.find("DECLARE\r\n  long_value_1 LONG := '" + std::string(32760, 'a') +
                      "';\r\nBEGIN\r\nINSERT INTO ITEMS (\"ID\", \"BODY\", \"TITLE\")\r\n"
                      "VALUES (3, long_value_1, 'u');\r\nEND;\r\n/\r\n"),
            std::string::npos);
  EXPECT_EQ(
      writer.insertStatement({num("4"), {std::string(4000, 'c'), false, FieldKind::Long}}),
      "INSERT INTO ITEMS (\"ID\", \"BODY\")\r\nVALUES (4, '" + std::string(4000, 'c') + "');\r\n");
  const std::string update = writer.updateStatement(
      {num("5"), {std::string(4001, 'd'), false, FieldKind::LongRaw}, txt("v")},
      {num("5"), {"AB", false, FieldKind::LongRaw}, txt("v")});
  EXPECT_PRED2(startsWith, update,
               "DECLARE\r\n  long_value_1 LONG RAW := HEXTORAW('" + std::string(4001, 'd') +
                   "');\r\nBEGIN\r\nUPDATE ITEMS SET \"BODY\" = long_value_1\r\nWHERE \"ID\" = 5 "
                   "and ROWNUM = 1;\r\nEND;\r\n/\r\n-- ROWNUM=1");
}

// The placeholder of a large object would overwrite the target's CLOB: the column is left out.
TEST(DataStatements, LargeObjectsNeverReachAStatement) {
  ComparisonOptions options = upgradeOptions();
  RecordingWriter out;
  DataDifferenceWriter writer(out, options, table({"ID", "DOC", "TITLE"}, 1));
  const DataField lob{"-lob not shown-", false, FieldKind::Lob};
  writer.onlyIn1({num("1"), lob, txt("t")});
  writer.changed({num("2"), lob, txt("new")}, {num("2"), lob, txt("old")});
  EXPECT_EQ(out.text().find("-lob not shown-"), std::string::npos);
  EXPECT_NE(out.text().find("INSERT INTO ITEMS (\"ID\", \"TITLE\")\r\nVALUES (1, 't');"),
            std::string::npos);
  EXPECT_NE(out.text().find("-- WARNING:  the contents of COLUMN DOC (a large object) are not "
                            "compared"),
            std::string::npos);
}

TEST(DataStatements, SwitchedOffStatementsLeaveTheirLineOnly) {
  ComparisonOptions options = upgradeOptions();
  options.b_UpdInserts = options.b_UpdUpdates = options.b_UpdDeletes = 0;
  RecordingWriter out;
  DataDifferenceWriter writer(out, options, table({"ID", "V"}, 1));
  writer.onlyIn1({num("1"), txt("a")});
  writer.onlyIn2({num("2"), txt("a")});
  writer.changed({num("3"), txt("a")}, {num("3"), txt("b")});
  const std::string text = out.text();
  EXPECT_EQ(text.find("INSERT"), std::string::npos);
  EXPECT_EQ(text.find("UPDATE"), std::string::npos);
  EXPECT_EQ(text.find("DELETE"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 6), "\r\n\r\n\r\n");
}

TEST(DataReport, RowsArePaddedToTheirColumnsUnderOneHeader) {
  ComparisonOptions options;
  RecordingWriter out;
  DataObject object = table({"ID", "NAME"}, 0);
  object.widths = {4, 6};
  bool before = false;
  DataDifferenceWriter writer(out, options, object);
  writer.setBeforeFirst([&] { before = true; });
  writer.onlyIn1({num("1"), txt("O'Brien")});
  writer.onlyIn2({num("22"), null()});
  EXPECT_TRUE(before);
  EXPECT_EQ(out.text(),
            "\r\n\r\n\r\nDifferences found in table ITEMS\r\n\r\n  ID  _NAME  _\r\n"
            "\r\n< 1    O''Bri \r\n> 22   NULL   ");
  EXPECT_EQ(out.text(kBlue), "1    O''Bri ");
  EXPECT_EQ(out.text(kRed), "22   NULL   ");
}

}  // namespace
}  // namespace velmora
