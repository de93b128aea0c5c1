#include <gtest/gtest.h>

#include <functional>

#include "engine/ora_error.h"
#include "engine/value/format.h"

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

Decimal dec(const char* s) { return Decimal::parse(s).value(); }

TEST(FormatNumberTest, RendersNumberModels) {
  const struct {
    const char* value;
    const char* format;
    const char* expected;
  } kCases[] = {
      {"1234.5", "9999.99", " 1234.50"},
      {"-1234.5", "9999.99", "-1234.50"},
      {"1234.5", "9,999.99", " 1,234.50"},
      {"12.5", "9,999.99", "    12.50"},
      {"1234567", "9G999G999", " 1,234,567"},
      {"1.5", "9D9", " 1.5"},
      {"0", "999", "   0"},
      {"0.4", "999", "   0"},
      {"0.5", "999.99", "    .50"},
      {"0.5", "990.99", "   0.50"},
      {"-0.5", "990.99", "  -0.50"},
      {"5", "000", " 005"},
      {"5", "9099", "  005"},
      {"1.005", "9.99", " 1.01"},
      {"12345", "999", "####"},
      {"999.995", "999.99", "#######"},
      {"1234.5", "FM9999.99", "1234.5"},
      {"1", "FM999.99", "1."},
      {"1.5", "FM990.00", "1.50"},
      {"-5", "FM999", "-5"},
      {"-5", "999MI", "  5-"},
      {"5", "999MI", "  5 "},
      {"-5", "999PR", "  <5>"},
      {"5", "999PR", "   5 "},
      {"5", "S999", "  +5"},
      {"-5", "S999", "  -5"},
      {"5", "999S", "  5+"},
      {"1234", "$9,999", " $1,234"},
      {"-1234", "$9,999", "-$1,234"},
      {"255", "XX", " FF"},
      {"255", "xx", " ff"},
      {"255", "0XXX", " 00FF"},
      {"255", "FMXXXX", "FF"},
      {"256", "XX", "###"},
      {"12345.678", "9.99EEEE", " 1.23E+04"},
      {"0.00012", "9.9EEEE", " 1.2E-04"},
      {"-12345.678", "9.99EEEE", "-1.23E+04"},
      {"12", "99V99", " 1200"},
      {"0", "B999", "    "},
      {"1999", "RN", "        MCMXCIX"},
      {"1999", "FMRN", "MCMXCIX"},
      {"4", "FMrn", "iv"},
      {"4000", "RN", "###############"},
      {"123.456", "TM", "123.456"},
      {"-0.5", "TM9", "-.5"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(formatNumber(dec(c.value), c.format), c.expected) << c.value << " / " << c.format;
  }
}

TEST(FormatNumberTest, RejectsInvalidModels) {
  for (const char* bad : {"9.9.9", "ABC", "99X", "9MI9", "", "PR", "S99S"}) {
    EXPECT_EQ(oraCode([&] { formatNumber(dec("1"), bad); }), 1481) << bad;
  }
}

TEST(FormatNumberTest, ParsesWithModels) {
  const struct {
    const char* text;
    const char* format;
    const char* expected;
  } kCases[] = {
      {"1,234.50", "9,999.99", "1234.5"}, {"$1,234", "$9,999", "1234"},
      {"-12.5", "999.99", "-12.5"},       {"12.5-", "99.9MI", "-12.5"},
      {"<12>", "99PR", "-12"},            {"FF", "XX", "255"},
      {"  42 ", "999", "42"},             {"1.2E+04", "9.9EEEE", "12000"},
      {"7", "TM", "7"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(parseNumber(c.text, c.format).toString(), c.expected) << c.text << " / " << c.format;
  }
  for (const auto& bad : {std::pair{"123.456", "999.99"}, std::pair{"12345", "999"},
                          std::pair{"abc", "999"}, std::pair{"1,2", "99"}, std::pair{"FG", "XX"},
                          std::pair{"1e3", "9999"}}) {
    EXPECT_EQ(oraCode([&] { parseNumber(bad.first, bad.second); }), 1722) << bad.first;
  }
}

}  // namespace
}  // namespace ocisim
