#include "engine/value/decimal.h"

#include <gtest/gtest.h>

#include <functional>

#include "engine/ora_error.h"

namespace ocisim {
namespace {

Decimal dec(const std::string& s) {
  auto d = Decimal::parse(s);
  EXPECT_TRUE(d.has_value()) << s;
  return d.value_or(Decimal());
}

std::string str(const std::string& s) { return dec(s).toString(); }

int oraCode(const std::function<void()>& f) {
  try {
    f();
  } catch (const OraError& e) {
    return e.code();
  }
  return 0;
}

TEST(DecimalTest, ParsesAndPrintsOracleTextForm) {
  const struct {
    const char* in;
    const char* out;
  } kCases[] = {
      {"0", "0"},          {".5", ".5"},          {"-.5", "-.5"},         {"0.5", ".5"},
      {"-0.5", "-.5"},     {"100", "100"},        {"1.5", "1.5"},         {"  1e10 ", "10000000000"},
      {"5.", "5"},         {"-0", "0"},           {"+7", "7"},            {"1.50", "1.5"},
      {"0001.2300", "1.23"}, {"1E-3", ".001"},    {"12.345", "12.345"},   {"-0.000", "0"},
      {"1e+2", "100"},     {"-12e-1", "-1.2"},    {"\t42\n", "42"},       {"0e99999", "0"},
      {"123456789012345678901234567890123456789", "123456789012345678901234567890123456789"},
  };
  for (const auto& c : kCases) EXPECT_EQ(str(c.in), c.out) << c.in;
  // The extremes stay in fixed notation (OCI's 170-character form).
  EXPECT_EQ(str("-1e-130"), "-." + std::string(129, '0') + "1");
  EXPECT_EQ(str("1e125"), "1" + std::string(125, '0'));
}

TEST(DecimalTest, RejectsMalformedText) {
  for (const char* bad : {"", " ", "abc", "1.2.3", "1e", "--1", "1 2", ".", "e5", "1,5", "+", "1e+",
                          "0x10", "1d", "١"}) {
    EXPECT_FALSE(Decimal::parse(bad).has_value()) << bad;
  }
}

TEST(DecimalTest, RangeLimits) {
  EXPECT_EQ(oraCode([] { Decimal::parse("1e126"); }), 1426);
  EXPECT_EQ(oraCode([] { dec("9.9e125") * dec("10"); }), 1426);
  EXPECT_TRUE(dec("1e-131").isZero());  // underflow becomes zero
  EXPECT_TRUE((dec("1e-100") * dec("1e-100")).isZero());
  EXPECT_EQ(str("9.99e125").size(), 126u);
}

TEST(DecimalTest, RoundsToTwentyBase100Digits) {
  // 40 significant digits when the first base-100 digit holds two, 39 otherwise.
  EXPECT_EQ(str("0.12345678901234567890123456789012345678901234"),
            ".123456789012345678901234567890123456789");
  EXPECT_EQ(str("1.2345678901234567890123456789012345678901234"),
            "1.23456789012345678901234567890123456789");
  EXPECT_EQ(str("99999999999999999999999999999999999999999"),  // 41 nines round up
            "100000000000000000000000000000000000000000");
  EXPECT_EQ(str("12345678901234567890123456789012345678951"),
            "12345678901234567890123456789012345679000");
}

TEST(DecimalTest, NeverPrintsNegativeZero) {
  EXPECT_EQ((dec("-1.5") + dec("1.5")).toString(), "0");
  EXPECT_EQ((dec("-0.4")).round(0).toString(), "0");
  EXPECT_EQ((-Decimal()).toString(), "0");
  EXPECT_EQ((dec("-5") * Decimal()).toString(), "0");
  EXPECT_EQ(dec("-0.001").trunc(2).toString(), "0");
  EXPECT_EQ(dec("-0").sign(), 0);
}

TEST(DecimalTest, Arithmetic) {
  EXPECT_EQ((dec("1") / dec("3")).toString(), "." + std::string(40, '3'));
  EXPECT_EQ((dec("2") / dec("3")).toString(), "." + std::string(39, '6') + "7");
  EXPECT_EQ((dec("10") / dec("3")).toString(), "3." + std::string(38, '3'));
  EXPECT_EQ((dec("1") / dec("3") * dec("3")).toString(), "." + std::string(40, '9'));
  EXPECT_EQ((dec("0.1") + dec("0.2")).toString(), ".3");
  EXPECT_EQ((dec("99.99") + dec(".01")).toString(), "100");
  EXPECT_EQ((dec("-5") - dec("7")).toString(), "-12");
  EXPECT_EQ((dec("5") - dec("7")).toString(), "-2");
  EXPECT_EQ((dec("-5") - dec("-7")).toString(), "2");
  EXPECT_EQ((dec("1000") - dec(".001")).toString(), "999.999");
  EXPECT_EQ((dec("1.25") * dec("-4")).toString(), "-5");
  EXPECT_EQ((dec("123456789") * dec("987654321")).toString(), "121932631112635269");
  EXPECT_EQ((dec("1") / dec("8")).toString(), ".125");
  EXPECT_EQ((dec("-7") / dec("2")).toString(), "-3.5");
  EXPECT_EQ((dec("1e100") / dec("1e-20")).toString(), "1" + std::string(120, '0'));
  EXPECT_EQ((dec("22") / dec("7")).toString(), "3.14285714285714285714285714285714285714");
  EXPECT_EQ(oraCode([] { dec("1") / dec("0"); }), 1476);
  // A negligible addend leaves the other operand; a close one is kept.
  EXPECT_EQ((dec("1e50") + dec("1")).toString(), "1" + std::string(50, '0'));
  EXPECT_EQ((dec("1") - dec("1e-100")).toString(), "1");
  EXPECT_EQ((dec("1e20") + dec("1")).toString(), "100000000000000000001");
}

TEST(DecimalTest, ModRoundTruncFloorCeil) {
  EXPECT_EQ(dec("11").mod(dec("4")).toString(), "3");
  EXPECT_EQ(dec("-11").mod(dec("4")).toString(), "-3");
  EXPECT_EQ(dec("11").mod(dec("-4")).toString(), "3");
  EXPECT_EQ(dec("5").mod(dec("0")).toString(), "5");
  EXPECT_EQ(dec("5.5").mod(dec("2")).toString(), "1.5");
  EXPECT_EQ(dec("-9223372036854775808").mod(dec("-1")).toString(), "0");
  EXPECT_EQ(dec("1.5").round(0).toString(), "2");
  EXPECT_EQ(dec("-1.5").round(0).toString(), "-2");
  EXPECT_EQ(dec("2.5").round(0).toString(), "3");
  EXPECT_EQ(dec("1.245").round(2).toString(), "1.25");
  EXPECT_EQ(dec("1234.5").round(-2).toString(), "1200");
  EXPECT_EQ(dec("1250").round(-2).toString(), "1300");
  EXPECT_EQ(dec("999.5").round(0).toString(), "1000");
  EXPECT_EQ(dec("0.5").round(0).toString(), "1");
  EXPECT_EQ(dec("0.05").round(0).toString(), "0");
  EXPECT_EQ(dec("1.99").trunc(1).toString(), "1.9");
  EXPECT_EQ(dec("-1.99").trunc(0).toString(), "-1");
  EXPECT_EQ(dec("1999").trunc(-3).toString(), "1000");
  EXPECT_EQ(dec("1.1").floor().toString(), "1");
  EXPECT_EQ(dec("-1.1").floor().toString(), "-2");
  EXPECT_EQ(dec("-1.1").ceil().toString(), "-1");
  EXPECT_EQ(dec("1.1").ceil().toString(), "2");
  EXPECT_EQ(dec("3").ceil().toString(), "3");
  EXPECT_EQ(dec("123.456").roundSignificant(4).toString(), "123.5");
}

TEST(DecimalTest, NumberColumnPrecisionAndScale) {
  EXPECT_EQ(dec("123.456").forColumn(5, 2).toString(), "123.46");
  EXPECT_EQ(dec("-999.994").forColumn(5, 2).toString(), "-999.99");
  EXPECT_EQ(oraCode([] { dec("999.995").forColumn(5, 2); }), 1438);
  EXPECT_EQ(oraCode([] { dec("1000").forColumn(5, 2); }), 1438);
  EXPECT_EQ(dec("12345.6").forColumn(5, 0).toString(), "12346");
  EXPECT_EQ(oraCode([] { dec("99999.5").forColumn(5, 0); }), 1438);
  EXPECT_EQ(dec("12345").forColumn(3, -2).toString(), "12300");
  EXPECT_EQ(oraCode([] { dec("123456").forColumn(3, -2); }), 1438);
  EXPECT_EQ(dec("0.00123").forColumn(2, 4).toString(), ".0012");
  EXPECT_EQ(oraCode([] { dec("0.01").forColumn(2, 4); }), 1438);
  EXPECT_EQ(dec("1.5").forColumn(-1, 0).toString(), "2");  // INTEGER
  EXPECT_EQ(dec("1.55").forColumn(-1, -127).toString(), "1.55");  // NUMBER
  std::string d38(38, '9');
  EXPECT_EQ(dec(d38).forColumn(38, 0).toString(), d38);
  EXPECT_EQ(oraCode([&] { dec(d38 + "9").forColumn(38, 0); }), 1438);
}

TEST(DecimalTest, IntegerConversions) {
  EXPECT_EQ(Decimal::fromInt64(INT64_MIN).toString(), "-9223372036854775808");
  EXPECT_EQ(Decimal::fromInt64(INT64_MAX).toString(), "9223372036854775807");
  EXPECT_EQ(Decimal::fromInt64(-1200).toString(), "-1200");
  EXPECT_EQ(dec("-9223372036854775808").toInt64(), INT64_MIN);
  EXPECT_FALSE(dec("9223372036854775808").toInt64().has_value());
  EXPECT_FALSE(dec("1.5").toInt64().has_value());
  EXPECT_EQ(dec("1e18").toInt64(), 1000000000000000000LL);
  EXPECT_EQ(dec("-2.9").toInt64Truncated(), -2);
  EXPECT_EQ(dec("1e30").toInt64Truncated(), INT64_MAX);
  EXPECT_TRUE(dec("100").isInteger());
  EXPECT_FALSE(dec("100.01").isInteger());
  EXPECT_DOUBLE_EQ(dec("-2.5").toDouble(), -2.5);
}

TEST(DecimalTest, CompareAndHash) {
  const char* ordered[] = {"-1e100", "-10", "-1.5", "-1", "-.001", "0", "1e-130", ".5", "1", "1.01",
                           "10", "99", "100", "1e125"};
  for (std::size_t i = 0; i < std::size(ordered); ++i) {
    for (std::size_t j = 0; j < std::size(ordered); ++j) {
      int expected = i < j ? -1 : i > j ? 1 : 0;
      int got = dec(ordered[i]).compare(dec(ordered[j]));
      EXPECT_EQ(got < 0 ? -1 : got > 0 ? 1 : 0, expected) << ordered[i] << " vs " << ordered[j];
    }
  }
  EXPECT_EQ(dec("1.50").hash(), dec("1.5").hash());
  EXPECT_EQ(dec("100").hash(), Decimal::fromInt64(100).hash());
  EXPECT_EQ(dec("-0").hash(), Decimal().hash());
}

TEST(DecimalTest, DigitsRoundTrip) {
  for (const char* s : {"1", "12", "123.45", ".0012", "-987654321.123", "5e-50", "4e100"}) {
    Decimal d = dec(s);
    EXPECT_EQ(Decimal::fromDigits(d.isNegative(), d.digits(), d.exponent10()).toString(), d.toString());
  }
  EXPECT_EQ(dec("123.45").digits(), "12345");
  EXPECT_EQ(dec("123.45").exponent10(), 3);
  EXPECT_EQ(dec(".0012").exponent10(), -2);
}

TEST(DecimalTest, SqlTextSwitchesToScientificBeyond64Characters) {
  EXPECT_EQ(dec("1e-50").toSqlText(), "." + std::string(49, '0') + "1");
  EXPECT_EQ(dec("1e100").toSqlText(), "1." + std::string(37, '0') + "E+100");
  EXPECT_EQ(dec("-1.5e-70").toSqlText(), "-1.5" + std::string(36, '0') + "E-70");
  EXPECT_EQ(dec("123").toSqlText(), "123");
}

}  // namespace
}  // namespace ocisim
