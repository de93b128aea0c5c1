#include "data/row_compare.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

DataField num(const std::string& text) {
  return {text, false, FieldKind::Number};
}
DataField txt(const std::string& text) {
  return {text, false, FieldKind::Text};
}
DataField date(const std::string& text) {
  return {text, false, FieldKind::Date};
}
DataField null(FieldKind kind = FieldKind::Text) {
  return {"", true, kind};
}

TEST(DecimalTexts, CompareExactlyBeyondDoublePrecision) {
  bool ok = false;
  EXPECT_LT(compareDecimalTexts("12345678901234567890123456789012345677",
                                "12345678901234567890123456789012345678", &ok),
            0);
  EXPECT_TRUE(ok);
  EXPECT_GT(compareDecimalTexts("-1.25", "-1.5", &ok), 0);
  EXPECT_LT(compareDecimalTexts("-2", "-1", &ok), 0);
  EXPECT_EQ(compareDecimalTexts(".5", "0.50", &ok), 0);
  EXPECT_EQ(compareDecimalTexts("1E+100", "1.0000000000000000000000000000000000000E+100", &ok), 0);
  EXPECT_EQ(compareDecimalTexts("1e-5", ".00001", &ok), 0);
  EXPECT_LT(compareDecimalTexts(".0000001", "1E+100", &ok), 0);
  EXPECT_LT(compareDecimalTexts("-1E+100", "0", &ok), 0);
  EXPECT_EQ(compareDecimalTexts("0", "-0.000", &ok), 0);
  EXPECT_TRUE(ok);
  for (const char* bad : {"abc", "1.2.3", "", "-", "1E", "1x"}) {
    compareDecimalTexts(bad, "1", &ok);
    EXPECT_FALSE(ok) << bad;
  }
}

// The order must be exactly the database's ORDER BY, or the merge pairs the wrong rows.
// The word-wise equality agrees with == at every length and for a difference at every position.
TEST(SameBytes, AgreesWithEqualityAtEveryLengthAndPosition) {
  for (size_t n = 0; n <= 40; ++n) {
    std::string a;
    for (size_t i = 0; i < n; ++i) a += static_cast<char>(i % 3 == 0 ? '\0' : 'a' + i % 26);
    const std::string copy = a;
    EXPECT_TRUE(sameBytes(a, copy)) << n;
    EXPECT_FALSE(sameBytes(a, a + "x")) << n;
    for (size_t p = 0; p < n; ++p) {
      std::string b = a;
      b[p] = static_cast<char>(b[p] ^ 0x20);
      EXPECT_FALSE(sameBytes(a, b)) << n << " at " << p;
    }
  }
  // Views into longer texts: only their own bytes count.
  EXPECT_TRUE(sameBytes(std::string_view("abcdefghijX", 10), std::string_view("abcdefghijY", 10)));
}

TEST(FieldOrder, FollowsTheColumnTypeAsOrderByDoes) {
  EXPECT_LT(compareFieldOrder(num("9"), num("10")), 0);
  EXPECT_LT(compareFieldOrder(num("-10"), num("-9")), 0);
  EXPECT_LT(compareFieldOrder(txt("10"), txt("9")), 0) << "numeric-looking text orders by bytes";
  EXPECT_LT(compareFieldOrder(txt("Z"), txt("a")), 0);
  EXPECT_LT(compareFieldOrder(txt("z"), txt("\xC3\xA9")), 0) << "bytes compare unsigned";
  EXPECT_LT(compareFieldOrder(date("1999-12-31 23:59:59"), date("2000-01-01 00:00:00")), 0);
  // NULL after every value, ascending.
  EXPECT_GT(compareFieldOrder(null(FieldKind::Number), num("1E+100")), 0);
  EXPECT_LT(compareFieldOrder(txt("zzz"), null()), 0);
  EXPECT_EQ(compareFieldOrder(null(), null()), 0);
}

TEST(CompareRows, KeyedRowsOrderByTheKeyAndFindChangedValues) {
  ComparisonOptions options;
  const DataRow a1 = {num("9"), txt("x")};
  const DataRow a2 = {num("10"), txt("x")};
  EXPECT_EQ(compareRows(a1, a2, 1, options), kRow1First);
  EXPECT_EQ(compareRows(a2, a1, 1, options), kRow2KeyFirst);
  EXPECT_EQ(compareRows(a1, DataRow{num("9"), txt("y")}, 1, options), kSameKeyOtherValues);
  EXPECT_EQ(compareRows(a1, DataRow{num("9.0"), txt("x")}, 1, options), kRowsEqual);
  // A NULL key matches a NULL key and sorts last.
  EXPECT_EQ(compareRows(DataRow{null(), txt("x")}, DataRow{null(), txt("x")}, 1, options),
            kRowsEqual);
  EXPECT_EQ(compareRows(DataRow{null(), txt("x")}, a2, 1, options), kRow2KeyFirst);
  // The options never make two keys one: an UPDATE must not move a row to another key.
  options.b_CompDatCase = 1;
  EXPECT_EQ(compareRows(DataRow{txt("a"), txt("x")}, DataRow{txt("A"), txt("X")}, 1, options),
            kRow2KeyFirst);
  EXPECT_EQ(compareRows(DataRow{txt("a"), txt("x")}, DataRow{txt("a"), txt("X")}, 1, options),
            kRowsEqual);
}

TEST(CompareRows, DataOptionsDecideEquality) {
  ComparisonOptions options;
  const auto equal = [&](const DataField& a, const DataField& b) {
    return compareRows(DataRow{a}, DataRow{b}, 0, options) == kRowsEqual;
  };
  EXPECT_FALSE(equal(txt("AB"), txt("ab")));
  options.b_CompDatCase = 1;
  EXPECT_TRUE(equal(txt("AB"), txt("ab")));
  EXPECT_FALSE(equal(txt("  AB"), txt("AB")));
  options.b_CompDatLead = 1;
  EXPECT_TRUE(equal(txt("  AB"), txt("AB")));
  EXPECT_FALSE(equal(txt("AB "), txt("AB")));
  options.b_CompDatTrail = 1;
  EXPECT_TRUE(equal(txt("AB \t"), txt("AB")));
  EXPECT_TRUE(equal(txt("   "), null())) << "a blank text trimmed is nothing";
  // Numbers in text columns by value, signed ones too; NUMBER columns always by value.
  EXPECT_TRUE(equal(txt("1.50"), txt("1.5")));
  EXPECT_TRUE(equal(txt("-1.50"), txt("-1.5")));
  options.b_CompDatValue = 0;
  EXPECT_FALSE(equal(txt("1.50"), txt("1.5")));
  EXPECT_TRUE(equal(num("1.50"), num("1.5")));
  // Seconds and fractions of dates and timestamps.
  const DataField stamp1{"2024-01-05 10:11:12.123456000", false, FieldKind::Timestamp};
  const DataField stamp2{"2024-01-05 10:11:12.999000000", false, FieldKind::Timestamp};
  EXPECT_FALSE(equal(stamp1, stamp2));
  options.b_CompDatFrac = 1;
  EXPECT_TRUE(equal(stamp1, stamp2));
  EXPECT_FALSE(equal(date("2024-01-05 10:11:12"), date("2024-01-05 10:11:59")));
  options.b_CompDatSecs = 1;
  EXPECT_TRUE(equal(date("2024-01-05 10:11:12"), date("2024-01-05 10:11:59")));
  EXPECT_FALSE(equal(date("2024-01-05 10:11:12"), date("2024-01-05 10:12:12")));
}

TEST(CompareRows, UnkeyedRowsOrderByTheOrderableColumnsOnly) {
  ComparisonOptions options;
  // A LONG column is no part of the ORDER BY: the number decides, whatever the text says.
  const DataRow r1 = {{"zzz", false, FieldKind::Long}, num("9")};
  const DataRow r2 = {{"aaa", false, FieldKind::Long}, num("10")};
  EXPECT_EQ(compareRows(r1, r2, 0, options), kRow1First);
  EXPECT_EQ(compareRows(r2, r1, 0, options), kRow2First);
  // Equal orderable fields: the LONG still decides equality.
  EXPECT_NE(compareRows(DataRow{{"a", false, FieldKind::Long}, num("1")},
                        DataRow{{"b", false, FieldKind::Long}, num("1")}, 0, options),
            kRowsEqual);
  // A value holding the old field separator is one field, never two.
  EXPECT_NE(
      compareRows(DataRow{txt("a \t b"), txt("c")}, DataRow{txt("a"), txt("b \t c")}, 0, options),
      kRowsEqual);
  // Options that make rows equal do not change the order of rows that differ.
  options.b_CompDatCase = 1;
  EXPECT_EQ(compareRows(DataRow{txt("B"), num("2")}, DataRow{txt("a"), num("1")}, 0, options),
            kRow1First);
}

TEST(CompareRowTexts, SequenceLinesCutAtTheBarAndOrderByBytes) {
  ComparisonOptions options;
  EXPECT_EQ(compareRows("EMP_SEQ   1|CREATE SEQUENCE", "EMP_SEQ   1|DROP SEQUENCE", 1, options), 0);
  EXPECT_NE(compareRows("EMP_SEQ   1|CREATE SEQUENCE", "EMP_SEQ   1|DROP SEQUENCE", 0, options), 0);
  EXPECT_EQ(compareRows("|A", "|B", 1, options), -1) << "a bar in first place does not cut";
  EXPECT_EQ(compareRows("A_SEQ 1", "B_SEQ 1", 0, options), -1);
  EXPECT_EQ(compareRows("b_seq", "B_SEQ", 0, options), 1);
  options.b_CompDatCase = 1;
  EXPECT_EQ(compareRows("b_seq", "B_SEQ", 0, options), 0);
}

TEST(TrimDateText, CutsSecondsOrFractionsOfDateTextsOnly) {
  ComparisonOptions options;
  EXPECT_EQ(trimDateText("2024-01-05 10:11:12.5", options), "2024-01-05 10:11:12.5");
  options.b_CompDatFrac = 1;
  EXPECT_EQ(trimDateText("2024-01-05 10:11:12.5", options), "2024-01-05 10:11:12");
  options.b_CompDatSecs = 1;
  EXPECT_EQ(trimDateText("2024-01-05 10:11:12.5", options), "2024-01-05 10:11");
  EXPECT_EQ(trimDateText("2024-01-05", options), "2024-01-05");
  EXPECT_EQ(trimDateText("01/05/2024 10:11:12", options), "01/05/2024 10:11:12");
}

}  // namespace
}  // namespace velmora
