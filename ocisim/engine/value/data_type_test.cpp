#include "engine/value/data_type.h"

#include <gtest/gtest.h>

#include <functional>

#include "engine/ora_error.h"

namespace ocisim {
namespace {

int oraCode(const std::function<void()>& f) {
  try {
    f();
  } catch (const OraError& e) {
    return e.code();
  }
  return 0;
}

std::string opt(std::optional<int> v) { return v ? std::to_string(*v) : "NULL"; }

DataType named(const char* name, std::optional<int> length, bool charSemantics = false) {
  return *DataType::fromSqlName(name, length, std::nullopt, charSemantics);
}

// DATA_TYPE, DATA_LENGTH, DATA_PRECISION, DATA_SCALE and the OCI describe values per type.
TEST(DataTypeTest, DictionaryAndDescribeValues) {
  const struct {
    DataType type;
    const char* sql;
    const char* dictType;
    int length;
    const char* precision;
    const char* scale;
    int oci, ociSize, ociPrecision, ociScale;
  } kCases[] = {
      {DataType::number(), "NUMBER", "NUMBER", 22, "NULL", "NULL", 2, 22, 0, -127},
      {DataType::number(10, 2), "NUMBER(10,2)", "NUMBER", 22, "10", "2", 2, 22, 10, 2},
      {DataType::number(4), "NUMBER(4)", "NUMBER", 22, "4", "0", 2, 22, 4, 0},
      {DataType::integer(), "INTEGER", "NUMBER", 22, "NULL", "0", 2, 22, 38, 0},
      {DataType::number(-1, 2), "NUMBER(*,2)", "NUMBER", 22, "NULL", "2", 2, 22, 38, 2},
      {DataType::floatType(), "FLOAT(126)", "FLOAT", 22, "126", "NULL", 2, 22, 126, -127},
      {DataType::varchar2(30), "VARCHAR2(30)", "VARCHAR2", 30, "NULL", "NULL", 1, 30, 0, 0},
      {DataType::charType(1), "CHAR(1)", "CHAR", 1, "NULL", "NULL", 96, 1, 0, 0},
      {DataType::date(), "DATE", "DATE", 7, "NULL", "NULL", 12, 7, 0, 0},
      {DataType::timestamp(), "TIMESTAMP(6)", "TIMESTAMP(6)", 11, "NULL", "6", 187, 11, 0, 6},
      {DataType::longType(), "LONG", "LONG", 0, "NULL", "NULL", 8, 0, 0, 0},
      {DataType::clob(), "CLOB", "CLOB", 4000, "NULL", "NULL", 112, 4000, 0, 0},
      {DataType::blob(), "BLOB", "BLOB", 4000, "NULL", "NULL", 113, 4000, 0, 0},
      {DataType::raw(16), "RAW(16)", "RAW", 16, "NULL", "NULL", 23, 16, 0, 0},
      {DataType::longRaw(), "LONG RAW", "LONG RAW", 0, "NULL", "NULL", 24, 0, 0, 0},
      {DataType::object("SCOTT", "ADDRESS_T"), "SCOTT.ADDRESS_T", "ADDRESS_T", 1, "NULL", "NULL",
       108, 0, 0, 0},
      // Character semantics: 4 bytes a character (AL32UTF8) up to the type's bytes.
      {named("VARCHAR2", 3, true), "VARCHAR2(3 CHAR)", "VARCHAR2", 12, "NULL", "NULL", 1, 12, 0, 0},
      {named("VARCHAR2", 1500, true), "VARCHAR2(1500 CHAR)", "VARCHAR2", 4000, "NULL", "NULL", 1,
       4000, 0, 0},
      {named("CHAR", 600, true), "CHAR(600 CHAR)", "CHAR", 2000, "NULL", "NULL", 96, 2000, 0, 0},
      // National types: AL16UTF16, 2 bytes a character.
      {named("NVARCHAR2", 10), "NVARCHAR2(10)", "NVARCHAR2", 20, "NULL", "NULL", 1, 20, 0, 0},
      {named("NCHAR", std::nullopt), "NCHAR(1)", "NCHAR", 2, "NULL", "NULL", 96, 2, 0, 0},
      {named("NCLOB", std::nullopt), "NCLOB", "NCLOB", 4000, "NULL", "NULL", 112, 4000, 0, 0},
      {DataType::timestamp(6, TimeZoneKind::WithTimeZone), "TIMESTAMP(6) WITH TIME ZONE",
       "TIMESTAMP(6) WITH TIME ZONE", 13, "NULL", "6", 188, 13, 0, 6},
      {DataType::timestamp(3, TimeZoneKind::WithLocalTimeZone), "TIMESTAMP(3) WITH LOCAL TIME ZONE",
       "TIMESTAMP(3) WITH LOCAL TIME ZONE", 11, "NULL", "3", 232, 11, 0, 3},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.sql);
    EXPECT_EQ(c.type.sqlText(), c.sql);
    EXPECT_EQ(c.type.dictDataType(), c.dictType);
    EXPECT_EQ(c.type.dictDataLength(), c.length);
    EXPECT_EQ(opt(c.type.dictDataPrecision()), c.precision);
    EXPECT_EQ(opt(c.type.dictDataScale()), c.scale);
    EXPECT_EQ(c.type.ociTypeCode(), c.oci);
    EXPECT_EQ(c.type.ociDataSize(), c.ociSize);
    EXPECT_EQ(c.type.ociPrecision(), c.ociPrecision);
    EXPECT_EQ(c.type.ociScale(), c.ociScale);
  }
}

TEST(DataTypeTest, FromSqlNames) {
  EXPECT_EQ(DataType::fromSqlName("NUMBER")->sqlText(), "NUMBER");
  EXPECT_EQ(DataType::fromSqlName("NUMBER", 10, 2)->sqlText(), "NUMBER(10,2)");
  EXPECT_EQ(DataType::fromSqlName("NUMBER", 10)->sqlText(), "NUMBER(10)");
  EXPECT_EQ(DataType::fromSqlName("NUMBER", std::nullopt, 0)->sqlText(), "INTEGER");
  EXPECT_EQ(DataType::fromSqlName("INTEGER")->sqlText(), "INTEGER");
  EXPECT_EQ(DataType::fromSqlName("DECIMAL", 8, 3)->sqlText(), "NUMBER(8,3)");
  EXPECT_EQ(DataType::fromSqlName("VARCHAR", 5)->sqlText(), "VARCHAR2(5)");
  EXPECT_EQ(DataType::fromSqlName("CHAR")->sqlText(), "CHAR(1)");
  EXPECT_EQ(DataType::fromSqlName("FLOAT")->sqlText(), "FLOAT(126)");
  EXPECT_EQ(DataType::fromSqlName("LONG RAW")->sqlText(), "LONG RAW");
  EXPECT_EQ(DataType::fromSqlName("TIMESTAMP", 3)->sqlText(), "TIMESTAMP(3)");
  EXPECT_FALSE(DataType::fromSqlName("ADDRESS_T").has_value());
  EXPECT_EQ(oraCode([] { DataType::fromSqlName("VARCHAR2"); }), 906);
  EXPECT_EQ(oraCode([] { DataType::fromSqlName("VARCHAR2", 4001); }), 910);
  EXPECT_EQ(oraCode([] { DataType::fromSqlName("CHAR", 2001); }), 910);
  EXPECT_EQ(oraCode([] { DataType::fromSqlName("RAW", 0); }), 910);
  EXPECT_EQ(oraCode([] { DataType::fromSqlName("NUMBER", 39); }), 1727);
  EXPECT_EQ(oraCode([] { DataType::fromSqlName("NUMBER", 5, 128); }), 1728);
  EXPECT_EQ(oraCode([] { DataType::fromSqlName("FLOAT", 127); }), 1724);
  EXPECT_TRUE(DataType::varchar2(3) == *DataType::fromSqlName("VARCHAR2", 3));
  EXPECT_FALSE(DataType::varchar2(3) == DataType::charType(3));
}

TEST(DataTypeTest, LengthLimitsByUnit) {
  // Characters: VARCHAR2 up to 4000, CHAR up to 2000; national ones (2 bytes) half of that.
  EXPECT_EQ(named("VARCHAR2", 4000, true).charLength(), 4000);
  EXPECT_EQ(oraCode([] { named("VARCHAR2", 4001, true); }), 910);
  EXPECT_EQ(oraCode([] { named("CHAR", 2001, true); }), 910);
  EXPECT_EQ(named("NVARCHAR2", 2000).dictDataLength(), 4000);
  EXPECT_EQ(oraCode([] { named("NVARCHAR2", 2001); }), 910);
  EXPECT_EQ(oraCode([] { named("NCHAR", 1001); }), 910);
  EXPECT_EQ(oraCode([] { named("NVARCHAR2", std::nullopt); }), 906);
  EXPECT_EQ(oraCode([] { named("NVARCHAR2", 5, true); }), 907);  // NVARCHAR2(5 CHAR)
  // Release 8: national lengths in bytes of UTF8.
  DataType bytes = *DataType::fromSqlName("NVARCHAR2", 4000, std::nullopt, false, false);
  EXPECT_FALSE(bytes.charSemantics);
  EXPECT_EQ(bytes.dictDataLength(), 4000);
  EXPECT_EQ(bytes.sqlText(), "NVARCHAR2(4000)");
  // The unit and the character set are part of the type.
  EXPECT_FALSE(named("VARCHAR2", 3, true) == DataType::varchar2(3));
  EXPECT_FALSE(named("NVARCHAR2", 3) == named("VARCHAR2", 3, true));
  EXPECT_FALSE(DataType::timestamp(6, TimeZoneKind::WithTimeZone) == DataType::timestamp(6));
}

}  // namespace
}  // namespace ocisim
