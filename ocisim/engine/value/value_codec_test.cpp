#include "engine/value/value_codec.h"

#include <gtest/gtest.h>

#include <vector>

namespace ocisim {
namespace {

Value num(const char* s) { return Value::number(Decimal::parse(s).value()); }

TEST(ValueCodecTest, RoundTripsEveryKind) {
  std::vector<Value> values = {
      Value(),
      num("0"),
      num("-.5"),
      num("123456789012345678901234567890123456789"),
      num("-1e-130"),
      num("9.99e125"),
      Value::text("abc"),
      Value::charText("a  "),
      Value::text(std::string(300, 'z')),
      Value::text(std::string("nul\0inside", 10)),
      Value::binary(std::string("\x00\xff\x10", 3)),
      Value::date(DateTime::make(-4712, 1, 1, 23, 59, 59)),
      Value::date(DateTime::make(9999, 12, 31)),
      Value::timestamp(DateTime::make(2024, 2, 29, 1, 2, 3, 999999999)),
  };
  std::string buffer;
  for (const Value& v : values) encodeValue(v, buffer);
  std::size_t pos = 0;
  for (const Value& v : values) {
    Value back;
    ASSERT_TRUE(decodeValue(buffer, pos, back)) << v.debugString();
    EXPECT_TRUE(back.identical(v)) << back.debugString() << " vs " << v.debugString();
  }
  EXPECT_EQ(pos, buffer.size());
  Value none;
  EXPECT_FALSE(decodeValue(buffer, pos, none));  // at the end
}

TEST(ValueCodecTest, RejectsTruncatedAndCorruptInput) {
  std::vector<Value> values = {num("-123.45"), Value::text(std::string(200, 'q')),
                               Value::timestamp(DateTime::make(2024, 1, 1, 0, 0, 0, 5)),
                               Value::date(DateTime::make(2024, 1, 1))};
  for (const Value& v : values) {
    std::string full;
    encodeValue(v, full);
    for (std::size_t cut = 0; cut < full.size(); ++cut) {
      std::size_t pos = 0;
      Value out = Value::text("unchanged");
      EXPECT_FALSE(decodeValue(full.substr(0, cut), pos, out)) << v.debugString() << " cut " << cut;
      EXPECT_EQ(pos, 0u);
      EXPECT_EQ(out.asText(), "unchanged");
    }
  }
  auto rejects = [](std::string bytes) {
    std::size_t pos = 0;
    Value out;
    return !decodeValue(bytes, pos, out);
  };
  EXPECT_TRUE(rejects(std::string("\x09", 1)));                   // unknown tag
  EXPECT_TRUE(rejects(std::string("\x01\x01\x00\x00\x64", 5)));  // digit 100
  EXPECT_TRUE(rejects(std::string("\x01\x01\x7f\x00\x05", 5)));  // exponent out of range
  EXPECT_TRUE(rejects(std::string("\x01\x01\xb0\x00\x05", 5)));  // exponent below 1e-130
  EXPECT_TRUE(rejects(std::string("\x01\x00\x00\x01", 4)));      // negative zero
  EXPECT_TRUE(rejects(std::string("\x01\x02\x00\x00\x05\x00", 6)));  // trailing zero digit
  EXPECT_TRUE(rejects(std::string("\x02\x00", 2)));              // empty text is NULL
  EXPECT_TRUE(rejects(std::string("\x04\xe8\x07\x02\x1e\x00\x00\x00", 8)));  // 30 February
}

}  // namespace
}  // namespace ocisim
