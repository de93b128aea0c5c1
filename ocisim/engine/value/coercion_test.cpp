#include "engine/value/coercion.h"

#include <gtest/gtest.h>

#include <functional>

#include "engine/ora_error.h"
#include "engine/value/data_type.h"

namespace ocisim {
namespace {

const NlsSettings kNls;

Value num(const char* s) { return Value::number(Decimal::parse(s).value()); }

std::string stored(const Value& v, const DataType& t) {
  return coerceForColumn(v, t, kNls, "\"S\".\"T\".\"C\"").debugString();
}

std::string error(const Value& v, const DataType& t) {
  try {
    coerceForColumn(v, t, kNls, "\"S\".\"T\".\"C\"");
  } catch (const OraError& e) {
    return e.what();
  }
  return "no error";
}

TEST(CoercionTest, NumbersRoundToScaleAndCheckPrecision) {
  EXPECT_EQ(stored(num("123.456"), DataType::number(5, 2)), "123.46");
  EXPECT_EQ(stored(Value::text(" 42.5 "), DataType::number(3)), "43");
  EXPECT_EQ(stored(num("1.5"), DataType::integer()), "2");
  EXPECT_EQ(stored(num("1.23456"), DataType::number()), "1.23456");
  EXPECT_EQ(stored(num("123.456789"), DataType::floatType(10)), "123.5");  // 4 decimal digits
  EXPECT_EQ(error(num("1000"), DataType::number(5, 2)),
            "ORA-01438: value larger than specified precision allowed for this column");
  EXPECT_EQ(error(Value::text("x"), DataType::number()), "ORA-01722: invalid number");
  EXPECT_EQ(error(Value::date(DateTime::make(2024, 1, 1)), DataType::number()).substr(0, 9),
            "ORA-00932");
  EXPECT_TRUE(coerceForColumn(Value(), DataType::number(1), kNls, "C").isNull());
}

TEST(CoercionTest, TextLengthsAndCharPadding) {
  EXPECT_EQ(stored(Value::text("abc"), DataType::varchar2(3)), "'abc'");
  EXPECT_EQ(stored(Value::text("ab"), DataType::charType(4)), "CHAR 'ab  '");
  EXPECT_EQ(stored(num("-0.5"), DataType::varchar2(10)), "'-.5'");
  EXPECT_EQ(stored(Value::date(DateTime::make(2024, 1, 5)), DataType::varchar2(20)), "'05-JAN-24'");
  EXPECT_EQ(error(Value::text("abcd"), DataType::varchar2(3)),
            "ORA-12899: value too large for column \"S\".\"T\".\"C\" (actual: 4, maximum: 3)");
  EXPECT_EQ(error(Value::text("abc"), DataType::charType(2)),
            "ORA-12899: value too large for column \"S\".\"T\".\"C\" (actual: 3, maximum: 2)");
  EXPECT_EQ(stored(Value::text(std::string(5000, 'l')), DataType::longType()).size(), 5002u);
  EXPECT_EQ(stored(Value::text("x"), DataType::clob()), "'x'");
}

DataType withChars(DataType t) {
  t.charSemantics = true;
  return t;
}

TEST(CoercionTest, CharacterSemanticsCountCharactersWithinTheBytes) {
  // Byte semantics: 'äb' is 3 bytes.
  EXPECT_EQ(error(Value::text("äb"), DataType::varchar2(2)),
            "ORA-12899: value too large for column \"S\".\"T\".\"C\" (actual: 3, maximum: 2)");
  // Character semantics: the limit and the message count characters.
  EXPECT_EQ(stored(Value::text("äöü"), withChars(DataType::varchar2(3))), "'äöü'");
  EXPECT_EQ(error(Value::text("äöüa"), withChars(DataType::varchar2(3))),
            "ORA-12899: value too large for column \"S\".\"T\".\"C\" (actual: 4, maximum: 3)");
  // CHAR pads to its length in its own unit.
  EXPECT_EQ(stored(Value::text("ä"), withChars(DataType::charType(3))), "CHAR 'ä  '");
  EXPECT_EQ(stored(Value::text("ä"), DataType::charType(3)), "CHAR 'ä '");
  // 4000 characters of 3 bytes are beyond VARCHAR2's 4000 bytes.
  std::string euros;
  for (int i = 0; i < 1334; ++i) euros += "€";
  EXPECT_EQ(error(Value::text(euros), withChars(DataType::varchar2(4000))).substr(0, 9),
            "ORA-12899");
  // CHAR(2000 CHAR) stops padding at its 2000 bytes.
  std::string padded =
      coerceForColumn(Value::text("€"), withChars(DataType::charType(2000)), kNls, "C")
          .debugString();
  EXPECT_EQ(padded.size(), std::string("CHAR ''").size() + 2000);
}

TEST(CoercionTest, NationalTypesCountAl16Utf16Characters) {
  DataType nvarchar = *DataType::fromSqlName("NVARCHAR2", 3);
  DataType nchar = *DataType::fromSqlName("NCHAR", 3);
  EXPECT_EQ(stored(Value::text("äöü"), nvarchar), "'äöü'");
  EXPECT_EQ(error(Value::text("äöüa"), nvarchar),
            "ORA-12899: value too large for column \"S\".\"T\".\"C\" (actual: 4, maximum: 3)");
  EXPECT_EQ(stored(Value::text("ä"), nchar), "CHAR 'ä  '");
  // Release 8's national types count bytes (UTF8).
  DataType bytes = *DataType::fromSqlName("NVARCHAR2", 3, std::nullopt, false, false);
  EXPECT_EQ(error(Value::text("äö"), bytes).substr(0, 9), "ORA-12899");
}

TEST(CoercionTest, DatesAndTimestamps) {
  EXPECT_EQ(stored(Value::text("05-JAN-24"), DataType::date()), "DATE '2024-01-05 00:00:00'");
  EXPECT_EQ(error(Value::text("2024-01-05"), DataType::date()).substr(0, 9), "ORA-01843");
  EXPECT_EQ(error(num("1"), DataType::date()).substr(0, 9), "ORA-00932");
  Value ts = Value::timestamp(DateTime::make(2024, 1, 5, 1, 2, 3, 123456789));
  EXPECT_EQ(stored(ts, DataType::date()), "DATE '2024-01-05 01:02:03'");
  EXPECT_EQ(stored(ts, DataType::timestamp(3)), "TIMESTAMP '2024-01-05 01:02:03.123000000'");
  EXPECT_EQ(stored(Value::text("05-JAN-24 01.02.03.5 PM"), DataType::timestamp()),
            "TIMESTAMP '2024-01-05 13:02:03.500000000'");
  EXPECT_EQ(stored(Value::timestamp(DateTime::make(2024, 1, 5, 1, 2, 3, 999999999)), DataType::timestamp(0)),
            "TIMESTAMP '2024-01-05 01:02:04.000000000'");
}

TEST(CoercionTest, RawBytes) {
  EXPECT_EQ(stored(Value::text("0aFF"), DataType::raw(2)), "HEXTORAW('0AFF')");
  EXPECT_EQ(error(Value::text("0aFF00"), DataType::raw(2)),
            "ORA-12899: value too large for column \"S\".\"T\".\"C\" (actual: 3, maximum: 2)");
  EXPECT_EQ(error(Value::text("zz"), DataType::blob()).substr(0, 9), "ORA-01465");
  EXPECT_EQ(stored(Value::binary("\x01"), DataType::longRaw()), "HEXTORAW('01')");
}

TEST(CoercionTest, FitsColumnForNarrowing) {
  EXPECT_TRUE(fitsColumn(num("12.5"), DataType::number(4, 1), kNls));
  EXPECT_FALSE(fitsColumn(num("12.55"), DataType::number(4, 1), kNls));  // would be rounded
  EXPECT_FALSE(fitsColumn(num("12345"), DataType::number(4), kNls));
  EXPECT_TRUE(fitsColumn(Value::text("abc"), DataType::varchar2(3), kNls));
  EXPECT_FALSE(fitsColumn(Value::text("abcd"), DataType::varchar2(3), kNls));
  EXPECT_FALSE(fitsColumn(Value::charText("ab  "), DataType::charType(2), kNls));
  EXPECT_TRUE(fitsColumn(Value(), DataType::number(1), kNls));
}

}  // namespace
}  // namespace ocisim
