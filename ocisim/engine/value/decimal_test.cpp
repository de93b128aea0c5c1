#include "engine/value/decimal.h"

#include <gtest/gtest.h>

#include "engine/ora_error.h"

namespace ocisim {
namespace {

Decimal dec(const char* s) {
  auto d = Decimal::parse(s);
  EXPECT_TRUE(d.has_value()) << s;
  return d.value_or(Decimal());
}

std::string str(const char* s) { return dec(s).toString(); }

TEST(DecimalTest, ParsesAndPrintsOracleTextForm) {
  const struct {
    const char* in;
    const char* out;
  } kCases[] = {
      {"0", "0"},       {".5", ".5"},         {"-.5", "-.5"},    {"0.5", ".5"},
      {"-0.5", "-.5"},  {"100", "100"},       {"1.5", "1.5"},    {"  1e10 ", "10000000000"},
      {"5.", "5"},      {"-0", "0"},          {"+7", "7"},       {"1.50", "1.5"},
      {"0001.2300", "1.23"}, {"1E-3", ".001"},       {"123456789012345678901234567890123456789", "123456789012345678901234567890123456789"},
      {"12.345", "12.345"}, {"-0.000", "0"},
  };
  for (const auto& c : kCases) EXPECT_EQ(str(c.in), c.out) << c.in;
  // The smallest magnitudes stay in fixed notation (OCI's 170-character form).
  EXPECT_EQ(str("-1e-130"), "-." + std::string(129, '0') + "1");
  EXPECT_EQ(str("1e125"), "1" + std::string(125, '0'));
}

TEST(DecimalTest, RejectsMalformedText) {
  for (const char* bad : {"", " ", "abc", "1.2.3", "1e", "--1", "1 2", ".", "e5", "1,5"}) {
    EXPECT_FALSE(Decimal::parse(bad).has_value()) << bad;
  }
}

TEST(DecimalTest, Arithmetic) {
  EXPECT_EQ((dec("1") / dec("3")).toString(), ".3333333333333333333333333333333333333333");
  EXPECT_EQ((dec("2") / dec("3")).toString(), ".6666666666666666666666666666666666666667");
  EXPECT_EQ((dec("10") / dec("3")).toString(), "3." + std::string(38, '3'));
  EXPECT_EQ((dec("1.5") + dec("-1.5")).toString(), "0");
  EXPECT_EQ((dec("0.1") + dec("0.2")).toString(), ".3");
  EXPECT_EQ((dec("99.99") + dec(".01")).toString(), "100");
  EXPECT_EQ((dec("-5") - dec("7")).toString(), "-12");
  EXPECT_EQ((dec("1.25") * dec("-4")).toString(), "-5");
  EXPECT_EQ((dec("123456789") * dec("987654321")).toString(), "121932631112635269");
  EXPECT_EQ((dec("1") / dec("8")).toString(), ".125");
  EXPECT_THROW(dec("1") / dec("0"), OraError);
}

}  // namespace
}  // namespace ocisim
