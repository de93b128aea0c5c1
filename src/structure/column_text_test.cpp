#include "structure/column_text.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

// The three pieces of the column query, written out independently of the code.
const std::string kFormatted =
    R"(data_type || decode(data_type,'DATE','','ROWID','','LONG RAW','','INTEGER','','BLOB','','CLOB','',  'LONG','', 'NUMBER',decode(data_precision,null,'', 0,'', '('||to_char(data_precision)||decode(data_scale,NULL,')',0,')',','||to_char(data_scale)||')')),decode(data_length,null,'',0,'','('||to_char(data_length)||')')))";
const std::string kFormattedWithOwner =
    R"(data_type || decode(data_type_owner,NULL,decode(data_type,'DATE','','ROWID','','LONG RAW','','INTEGER','','BLOB','','CLOB','',  'LONG','', 'NUMBER',decode(data_precision,null,'', 0,'', '('||to_char(data_precision)||decode(data_scale,NULL,')',0,')',','||to_char(data_scale)||')')),decode(data_length,null,'',0,'','('||to_char(data_length)||')')),''))";

std::string query(const std::string& type, const std::string& nullWord, const std::string& owner) {
  return "select column_name, " + type +
         ", to_char(data_length), to_char(nvl(data_precision,0)),to_char(nvl(data_scale,-1)),"
         "decode(nvl(nullable,'Y'),'Y','" +
         nullWord + "','NOT NULL '),data_default," + owner +
         " from all_tab_columns where owner = :owner and table_name = :name order by column_id";
}

TEST(ColumnQueryTest, ChosenByModeLengthSwitchAndVersion) {
  const std::string reportNull = "    NULL ";
  const std::string owner = "nvl(data_type_owner,' ')";
  EXPECT_EQ(columnQueryText(0, false, "7"), query(kFormatted, reportNull, "' '"));
  EXPECT_EQ(columnQueryText(0, false, "8"), query(kFormattedWithOwner, reportNull, owner));
  EXPECT_EQ(columnQueryText(0, false, "8.0"), query(kFormattedWithOwner, reportNull, owner));
  EXPECT_EQ(columnQueryText(0, true, "7"), query("data_type", reportNull, "' '"));
  EXPECT_EQ(columnQueryText(0, true, "8"), query("data_type", reportNull, owner));
  // The length switch acts on the report only.
  for (int mode : {1, 2}) {
    EXPECT_EQ(columnQueryText(mode, true, "7"), query(kFormatted, "NULL ", "' '"));
    EXPECT_EQ(columnQueryText(mode, false, "8"), query(kFormattedWithOwner, "NULL ", owner));
    EXPECT_EQ(columnQueryText(mode, true, "8"), query(kFormattedWithOwner, "NULL ", owner));
  }
}

ColumnRow row(const std::string& type, const std::string& nullability,
              const std::string& defaultText = "", const std::string& length = "0",
              const std::string& owner = " ") {
  ColumnRow r;
  r.name = "C";
  r.type = type;
  r.length = length;
  r.nullability = nullability;
  r.defaultText = defaultText;
  r.typeOwner = owner;
  return r;
}

TEST(ColumnTypeTextTest, TypeDefaultAndNullability) {
  EXPECT_EQ(columnTypeText(row("NUMBER(10,2)", "    NULL ")), "NUMBER(10,2)     NULL ");
  EXPECT_EQ(columnTypeText(row("VARCHAR2(30)", "NOT NULL ", "'X'")),
            "VARCHAR2(30) DEFAULT 'X' NOT NULL ");
}

TEST(ColumnTypeTextTest, IntegerIsToldFromNumber) {
  ColumnRow integer = row("NUMBER", "NULL ", "", "22");
  integer.precision = "0";  // data_precision NULL
  integer.scale = "0";
  EXPECT_EQ(columnTypeText(integer), "INTEGER NULL ");
  ColumnRow number = integer;
  number.scale = "-1";  // data_scale NULL: NUMBER
  EXPECT_EQ(columnTypeText(number), "NUMBER NULL ");
  ColumnRow whole = row("NUMBER(5)", "NULL ", "", "22");
  whole.precision = "5";
  whole.scale = "0";
  EXPECT_EQ(columnTypeText(whole), "NUMBER(5) NULL ");
}

TEST(ColumnTypeTextTest, ADefaultOfNullIsNoDefault) {
  // What the dictionary shows after MODIFY ( C NUMBER(8) DEFAULT NULL ), the removal of a default.
  EXPECT_EQ(columnTypeText(row("NUMBER(8)", "    NULL ", "NULL")), "NUMBER(8)     NULL ");
  EXPECT_EQ(columnTypeText(row("NUMBER(8)", "NOT NULL ", " null")), "NUMBER(8) NOT NULL ");
  // A text that only holds the word is a real default.
  EXPECT_EQ(columnTypeText(row("VARCHAR2(4)", "NULL ", "'NULL'")),
            "VARCHAR2(4) DEFAULT 'NULL' NULL ");
  EXPECT_EQ(columnTypeText(row("NUMBER", "NULL ", "NULLIF(1,1)")),
            "NUMBER DEFAULT NULLIF(1,1) NULL ");
}

TEST(ColumnTypeTextTest, FloatIsWrittenWithItsBinaryPrecision) {
  ColumnRow f = row("FLOAT(22)", "NULL ", "", "22");
  f.precision = "126";
  EXPECT_EQ(columnTypeText(f), "FLOAT(126) NULL ");
  ColumnRow plain = row("FLOAT", "    NULL ", "", "22");
  plain.precision = "126";
  EXPECT_EQ(columnTypeText(plain), "FLOAT     NULL ");
}

TEST(ColumnTraitsTest, WidthsAndOrdering) {
  ColumnRow date = row("DATE", "NULL ", "", "7");
  ColumnTraits traits = columnTraits(date, columnTypeText(date));
  EXPECT_EQ(traits.rawWidth, 7);
  EXPECT_TRUE(traits.orderable);
  EXPECT_EQ(columnDisplayWidth("HIRED", "DATE NULL ", traits.rawWidth), 24);

  ColumnRow longColumn = row("LONG", "NULL ", "", "0");
  traits = columnTraits(longColumn, columnTypeText(longColumn));
  EXPECT_EQ(traits.rawWidth, 500);
  EXPECT_FALSE(traits.orderable);
  EXPECT_TRUE(traits.selectable);
  EXPECT_EQ(columnDisplayWidth("NOTES", "LONG NULL ", traits.rawWidth), 500);

  for (const char* type : {"RAW(16)", "RAW", "BLOB", "CLOB", "LONG RAW"}) {
    ColumnRow r = row(type, "NULL ", "", "16");
    EXPECT_FALSE(columnTraits(r, columnTypeText(r)).orderable) << type;
    EXPECT_TRUE(columnTraits(r, columnTypeText(r)).selectable) << type;
  }
  // A RAW-like name that is not RAW stays orderable.
  ColumnRow rawish = row("RAWDATA(4)", "NULL ", "", "4");
  EXPECT_TRUE(columnTraits(rawish, columnTypeText(rawish)).orderable);

  ColumnRow object = row("ADDRESS_T", "NULL ", "", "0", "SCOTT");
  traits = columnTraits(object, columnTypeText(object));
  EXPECT_FALSE(traits.orderable);
  EXPECT_FALSE(traits.selectable);
  EXPECT_EQ(traits.rawWidth, 500);

  // A name at least as long as the width widens it.
  EXPECT_EQ(columnDisplayWidth("CODE", "CHAR(4) NULL ", 4), 5);
  EXPECT_EQ(columnDisplayWidth("CREATED_TIMESTAMP_OF_THE_ROW", "DATE NULL ", 7), 29);
  EXPECT_EQ(columnDisplayWidth("ID", "NUMBER NULL ", 22), 22);
}

TEST(ModifyTypeTest, RepeatsNullabilityOnlyWhenItChanges) {
  EXPECT_EQ(modifyTypeText("VARCHAR2(10) NULL ", "VARCHAR2(10) NOT NULL "), "VARCHAR2(10) NULL ");
  EXPECT_EQ(modifyTypeText("VARCHAR2(10) NOT NULL ", "VARCHAR2(10) NULL "),
            "VARCHAR2(10) NOT NULL ");
  EXPECT_EQ(modifyTypeText("NUMBER(5) NOT NULL ", "NUMBER(4) NOT NULL "), "NUMBER(5) ");
  EXPECT_EQ(modifyTypeText("VARCHAR2(20) NULL ", "VARCHAR2(10) NULL "), "VARCHAR2(20) ");
  EXPECT_EQ(modifyTypeText("NUMBER DEFAULT 1 NULL ", "NUMBER NULL "), "NUMBER DEFAULT 1 ");
}

TEST(ModifyTypeTest, DefaultHoldingNullIsKeptWhole) {
  // Cutting at the first "NULL" would leave DEFAULT 'NOT  behind.
  EXPECT_EQ(modifyTypeText("VARCHAR2(9) DEFAULT 'NOT NULL' NULL ", "VARCHAR2(9) NULL "),
            "VARCHAR2(9) DEFAULT 'NOT NULL' ");
  EXPECT_EQ(modifyTypeText("VARCHAR2(9) DEFAULT 'NULL' NOT NULL ", "VARCHAR2(8) NOT NULL "),
            "VARCHAR2(9) DEFAULT 'NULL' ");
}

TEST(ModifyTypeTest, RemovedDefaultIsSetToNull) {
  EXPECT_EQ(modifyTypeText("NUMBER NULL ", "NUMBER DEFAULT 0 NULL "), "NUMBER DEFAULT NULL ");
  EXPECT_EQ(modifyTypeText("NUMBER NOT NULL ", "NUMBER DEFAULT 0 NULL "),
            "NUMBER DEFAULT NULL NOT NULL ");
}

}  // namespace
}  // namespace velmora
