#include "engine/value/value.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

#include "engine/ora_error.h"
#include "engine/value/conversion.h"
#include "engine/value/value_ops.h"

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

Value num(const char* s) { return Value::number(Decimal::parse(s).value()); }
Value txt(const char* s) { return Value::text(s); }
Value chr(const char* s) { return Value::charText(s); }
Value day(int y, int m, int d, int h = 0, int mi = 0, int s = 0) {
  return Value::date(DateTime::make(y, m, d, h, mi, s));
}

const NlsSettings kNls;

TEST(ValueTest, IsCompactAndEmptyTextIsNull) {
  EXPECT_EQ(sizeof(Value), 24u);
  EXPECT_TRUE(Value().isNull());
  EXPECT_TRUE(Value::text("").isNull());
  EXPECT_TRUE(Value::charText("").isNull());
  EXPECT_TRUE(Value::binary("").isNull());
  EXPECT_FALSE(Value::text(" ").isNull());
  EXPECT_EQ(Value::integer(-42).asNumber().toString(), "-42");
  EXPECT_TRUE(chr("a").isCharText());
  EXPECT_FALSE(txt("a").isCharText());
  EXPECT_EQ(Value::date(DateTime::make(2024, 1, 1, 0, 0, 0, 5)).asDateTime().nanos, 0u);
  EXPECT_EQ(Value::timestamp(DateTime::make(2024, 1, 1, 0, 0, 0, 5)).asDateTime().nanos, 5u);
}

TEST(ValueTest, LongTextIsSharedAndSurvivesCopiesAndMoves) {
  std::string big(1000, 'x');
  big[500] = '\0';  // bytes, not C strings
  Value a = Value::text(big);
  Value b = a;
  Value c = std::move(a);
  EXPECT_TRUE(a.isNull());
  EXPECT_EQ(b.asText(), big);
  EXPECT_EQ(c.asText(), big);
  b = Value::text("short");
  EXPECT_EQ(c.asText(), big);
  c = c;  // self-assignment keeps the block
  EXPECT_EQ(c.asText(), big);
  std::string limit(Value::kInlineCapacity, 'y');
  EXPECT_EQ(Value::text(limit).asText(), limit);
  EXPECT_EQ(Value::text(limit + "z").asText(), limit + "z");
  EXPECT_TRUE(Value::text(limit + "z").identical(Value::text(limit + "z")));
  EXPECT_EQ(Value::binary(std::string(30, '\xff')).asText().size(), 30u);
}

TEST(ValueTest, SharedTextCopiesFromManyThreads) {
  Value shared = Value::text(std::string(100, 'q'));
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&shared] {
      for (int i = 0; i < 10000; ++i) {
        Value copy = shared;
        Value moved = std::move(copy);
        ASSERT_EQ(moved.asText().size(), 100u);
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(shared.asText(), std::string(100, 'q'));
}

TEST(ValueTest, DebugStrings) {
  EXPECT_EQ(Value().debugString(), "NULL");
  EXPECT_EQ(num("-0.5").debugString(), "-.5");
  EXPECT_EQ(txt("it's").debugString(), "'it''s'");
  EXPECT_EQ(chr("a ").debugString(), "CHAR 'a '");
  EXPECT_EQ(day(2024, 1, 5, 10, 11, 12).debugString(), "DATE '2024-01-05 10:11:12'");
  EXPECT_EQ(Value::binary("\x0a\xff").debugString(), "HEXTORAW('0AFF')");
}

TEST(ValueTest, ComparisonsConvertLikeOracle) {
  EXPECT_EQ(compareValues(num("10"), num("9"), kNls), 1);
  EXPECT_EQ(compareValues(num("10"), txt("10.0"), kNls), 0);  // text becomes a number
  EXPECT_EQ(compareValues(txt(" 9 "), num("10"), kNls), -1);
  EXPECT_EQ(oraCode([] { compareValues(num("1"), txt("x"), kNls); }), 1722);
  EXPECT_EQ(compareValues(txt("10"), txt("9"), kNls), -1);  // text vs text is binary
  EXPECT_EQ(compareValues(day(2024, 1, 5), txt("05-JAN-24"), kNls), 0);
  EXPECT_EQ(compareValues(txt("06-JAN-24"), day(2024, 1, 5), kNls), 1);
  EXPECT_EQ(oraCode([] { compareValues(day(2024, 1, 5), txt("2024-01-05"), kNls); }), 1843);
  EXPECT_EQ(oraCode([] { compareValues(day(2024, 1, 5), num("1"), kNls); }), 932);
  EXPECT_EQ(compareValues(Value::binary("\x01"), Value::binary("\x02"), kNls), -1);
  EXPECT_EQ(compareValues(Value::binary("\xab"), txt("AB"), kNls), 0);
  EXPECT_EQ(compareValues(txt("\xe9"), txt("z"), kNls), 1);  // bytes compare unsigned
}

TEST(ValueTest, CharComparisonIsBlankPaddedOnlyBetweenChars) {
  EXPECT_EQ(compareValues(chr("a "), chr("a"), kNls), 0);
  EXPECT_EQ(compareValues(chr("a"), chr("a  "), kNls), 0);
  EXPECT_NE(compareValues(txt("a "), txt("a"), kNls), 0);
  EXPECT_NE(compareValues(chr("a "), txt("a"), kNls), 0);
  EXPECT_EQ(compareValues(chr("a\t"), chr("a"), kNls), -1);  // tab sorts below blank
  EXPECT_EQ(compareValues(chr("ab"), chr("a"), kNls), 1);
}

TEST(ValueTest, SortOrderAndHashAgree) {
  std::vector<Value> ordered = {num("-1"), num("0"),     num("2.5"), txt("A"), txt("B"),
                                txt("a"),  day(2020, 1, 1), day(2024, 1, 1),
                                Value::binary("\x01"), Value()};
  for (std::size_t i = 0; i < ordered.size(); ++i) {
    for (std::size_t j = 0; j < ordered.size(); ++j) {
      int c = sortCompare(ordered[i], ordered[j]);
      EXPECT_EQ(c < 0 ? -1 : c > 0 ? 1 : 0, i < j ? -1 : i > j ? 1 : 0) << i << " " << j;
    }
  }
  EXPECT_EQ(sortCompare(chr("x "), chr("x")), 0);
  EXPECT_EQ(sortHash(chr("x ")), sortHash(chr("x")));
  EXPECT_EQ(sortHash(txt("x ")), sortHash(chr("x ")));
  EXPECT_EQ(sortHash(num("1.50")), sortHash(num("1.5")));
  EXPECT_EQ(sortHash(Value()), sortHash(Value()));
}

TEST(ValueTest, Arithmetic) {
  auto op = [](ArithOp o, const Value& a, const Value& b) { return arithmetic(o, a, b, kNls); };
  EXPECT_EQ(op(ArithOp::Add, num("1.5"), num("2")).debugString(), "3.5");
  EXPECT_EQ(op(ArithOp::Multiply, txt("3"), num("2")).debugString(), "6");
  EXPECT_EQ(op(ArithOp::Divide, num("1"), num("4")).debugString(), ".25");
  EXPECT_TRUE(op(ArithOp::Add, Value(), num("1")).isNull());
  EXPECT_TRUE(op(ArithOp::Add, day(2024, 1, 1), Value()).isNull());
  EXPECT_EQ(op(ArithOp::Add, day(2024, 1, 31), num("1.5")).debugString(), "DATE '2024-02-01 12:00:00'");
  EXPECT_EQ(op(ArithOp::Add, num("1"), day(2024, 1, 31)).debugString(), "DATE '2024-02-01 00:00:00'");
  EXPECT_EQ(op(ArithOp::Subtract, day(2024, 3, 1), num("1")).debugString(), "DATE '2024-02-29 00:00:00'");
  EXPECT_EQ(op(ArithOp::Subtract, day(2024, 3, 1, 6), day(2024, 2, 1)).debugString(), "29.25");
  EXPECT_EQ(oraCode([&] { op(ArithOp::Add, day(2024, 1, 1), day(2024, 1, 1)); }), 975);
  EXPECT_EQ(oraCode([&] { op(ArithOp::Multiply, day(2024, 1, 1), num("2")); }), 932);
  EXPECT_EQ(oraCode([&] { op(ArithOp::Subtract, num("2"), day(2024, 1, 1)); }), 932);
  EXPECT_EQ(oraCode([&] { op(ArithOp::Add, txt("abc"), num("1")); }), 1722);
  EXPECT_EQ(oraCode([&] { op(ArithOp::Divide, num("1"), num("0")); }), 1476);
  EXPECT_EQ(negate(txt("5")).debugString(), "-5");
  EXPECT_TRUE(negate(Value()).isNull());
}

TEST(ValueTest, ConcatenationTreatsNullAsEmpty) {
  EXPECT_TRUE(concat(Value(), Value(), kNls).isNull());
  EXPECT_EQ(concat(txt("a"), Value(), kNls).debugString(), "'a'");
  EXPECT_EQ(concat(Value(), txt("b"), kNls).debugString(), "'b'");
  EXPECT_EQ(concat(txt("a"), num("-0.5"), kNls).debugString(), "'a-.5'");
  EXPECT_EQ(concat(num("12"), txt("   "), kNls).debugString(), "'12   '");
  EXPECT_EQ(concat(chr("a "), chr("b"), kNls).debugString(), "CHAR 'a b'");
  EXPECT_EQ(concat(chr("a"), txt("b"), kNls).debugString(), "'ab'");
  EXPECT_EQ(concat(txt("d="), day(2024, 1, 5), kNls).debugString(), "'d=05-JAN-24'");
  EXPECT_EQ(concat(Value(), num("7"), kNls).debugString(), "'7'");
}

TEST(ValueTest, LikePatterns) {
  const struct {
    const char* text;
    const char* pattern;
    char escape;
    bool match;
  } kCases[] = {
      {"SCOTT", "S%", 0, true},
      {"SCOTT", "%T", 0, true},
      {"SCOTT", "S_O%", 0, true},
      {"SCOTT", "s%", 0, false},
      {"", "%", 0, true},
      {"A", "_", 0, true},
      {"AB", "_", 0, false},
      {"SYS_C001", "SYS\\_%", '\\', true},
      {"SYSXC001", "SYS\\_%", '\\', false},
      {"50%", "50!%", '!', true},
      {"50x", "50!%", '!', false},
      {"aXbXc", "%X%X%", 0, true},
      {"abc", "%%%c", 0, true},
      {"abc", "a%b", 0, false},
      {"mississippi", "%iss%ipp%", 0, true},
      {"a!b", "a!!b", '!', true},
      // '_' is one character, however many bytes it takes.
      {"äb", "_b", 0, true},
      {"äb", "__b", 0, false},
      {"€", "_", 0, true},
      {"x€y", "x_y", 0, true},
      {"ä€", "%€", 0, true},
      {"ä", "\xC3%", 0, false},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(likeMatch(c.text, c.pattern, c.escape), c.match) << c.text << " LIKE " << c.pattern;
  }
  EXPECT_EQ(oraCode([] { likeMatch("a", "a!", '!'); }), 1424);
  EXPECT_EQ(oraCode([] { likeMatch("a", "!a", '!'); }), 1424);
}

TEST(ValueTest, ImplicitConversions) {
  EXPECT_EQ(toText(num("-0.5"), kNls), "-.5");
  EXPECT_EQ(toText(day(2024, 1, 5), kNls), "05-JAN-24");
  NlsSettings iso;
  iso.dateFormat = "YYYY-MM-DD HH24:MI:SS";
  EXPECT_EQ(toText(day(2024, 1, 5, 1, 2, 3), iso), "2024-01-05 01:02:03");
  EXPECT_EQ(toText(Value::binary("\x01\xab"), kNls), "01AB");
  EXPECT_EQ(toText(Value::timestamp(DateTime::make(2024, 1, 5, 13, 2, 3, 500000000)), kNls),
            "05-JAN-24 01.02.03.500000 PM");
  EXPECT_EQ(toNumber(txt(" 1e3 ")).toString(), "1000");
  EXPECT_EQ(oraCode([] { toNumber(txt("1,000")); }), 1722);
  EXPECT_EQ(oraCode([] { toNumber(day(2024, 1, 1)); }), 932);
  EXPECT_EQ(toDate(txt("2024-01-05 01:02:03"), iso).compare(DateTime::make(2024, 1, 5, 1, 2, 3)), 0);
  EXPECT_EQ(oraCode([] { toDate(txt("JAN-05-24"), NlsSettings{"YYYY-MM-DD", ""}); }), 1858);
  EXPECT_EQ(oraCode([] { toDate(num("5"), kNls); }), 932);
  EXPECT_EQ(hexToRaw("abc"), std::string("\x0a\xbc", 2));
  EXPECT_EQ(oraCode([] { hexToRaw("xyz"); }), 1465);
  EXPECT_EQ(NlsSettings::forVersion("7.3.4").dateFormat, "DD-MON-YY");
  EXPECT_EQ(NlsSettings::forVersion("8.0.5").dateFormat, "DD-MON-YY");
  EXPECT_EQ(NlsSettings::forVersion("8.1.7").dateFormat, "DD-MON-RR");
  EXPECT_EQ(typeOfValue(chr("abc")).ociTypeCode(), 96);
  EXPECT_EQ(typeOfValue(txt("abc")).ociDataSize(), 3);
  EXPECT_EQ(typeOfValue(num("1")).ociTypeCode(), 2);
}

}  // namespace
}  // namespace ocisim
