// The storage's byte encodings: values of every kind survive a round trip exactly (kind, CHAR
// flag, digits, fractions of a second), and damaged bytes are refused rather than misread.
#include "engine/storage/value_codec.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/storage/frame_io.h"

namespace ocisim::storage {
namespace {

Value roundTrip(const Value& v) {
  ByteWriter out;
  writeValue(out, v);
  ByteReader in(out.buffer());
  Value back = readValue(in);
  EXPECT_TRUE(in.atEnd()) << v.debugString();
  return back;
}

Value number(const char* text) {
  return Value::number(*Decimal::parse(text));
}

TEST(ValueCodec, EveryKindOfValueRoundTripsExactly) {
  DateTime bc = DateTime::make(-4712, 1, 1, 0, 0, 0);
  DateTime stamp = DateTime::make(2024, 2, 29, 23, 59, 58, 123456789);
  std::vector<Value> values = {
      Value(),
      Value::integer(0),
      Value::integer(-1),
      Value::integer(INT64_MAX),
      Value::integer(INT64_MIN),
      number("1.5"),
      number("-.000000000000000000000000000000000000000000000000001"),
      number("123456789012345678901234567890123456789"),
      number("9.99999999999999999999999999999999999999e125"),
      number("1e-130"),
      number("-98765432109876543210.0123456789"),
      number("1e100"),
      Value::text("a"),
      Value::text("exactly twenty-two ch"),
      Value::text(std::string(100000, 'z')),
      Value::text("caf\xc3\xa9 \n\t'quoted'"),
      Value::charText("ab   "),
      Value::date(DateTime::make(1999, 12, 31, 23, 59, 59)),
      Value::date(bc),
      Value::timestamp(stamp),
      Value::binary(std::string("\x00\x01\xfe\xff", 4)),
  };
  for (const Value& v : values) {
    Value back = roundTrip(v);
    EXPECT_TRUE(back.identical(v)) << v.debugString() << " came back as " << back.debugString();
  }
  EXPECT_TRUE(roundTrip(Value::charText("x")).isCharText());
  EXPECT_FALSE(roundTrip(Value::text("x")).isCharText());
  EXPECT_EQ(roundTrip(Value::timestamp(stamp)).asDateTime().nanos, 123456789u);
}

TEST(ValueCodec, SmallNumbersAndDatesAreCompact) {
  ByteWriter out;
  writeValue(out, Value::integer(42));
  EXPECT_EQ(out.size(), 2u);
  out.clear();
  writeValue(out, Value::date(DateTime::make(2020, 5, 6, 7, 8, 9)));
  EXPECT_EQ(out.size(), 8u);
  out.clear();
  writeValue(out, number("3.14159"));
  EXPECT_LE(out.size(), 7u);
}

TEST(ValueCodec, DataTypesRoundTrip) {
  std::vector<DataType> types = {
      DataType::number(),      DataType::number(10, 2),  DataType::integer(),
      DataType::floatType(63), DataType::varchar2(4000), DataType::charType(1),
      DataType::timestamp(9),  DataType::longRaw(),      DataType::object("SCOTT", "ADDRESS_T")};
  // Length semantics, the national character set and the time zone forms.
  types.push_back(*DataType::fromSqlName("VARCHAR2", 3, std::nullopt, true));
  types.push_back(*DataType::fromSqlName("NCHAR", 5));
  types.push_back(*DataType::fromSqlName("NVARCHAR2", 7, std::nullopt, false, false));
  types.push_back(*DataType::fromSqlName("NCLOB"));
  types.push_back(DataType::timestamp(3, TimeZoneKind::WithTimeZone));
  types.push_back(DataType::timestamp(6, TimeZoneKind::WithLocalTimeZone));
  for (const DataType& t : types) {
    ByteWriter out;
    writeDataType(out, t);
    ByteReader in(out.buffer());
    EXPECT_EQ(readDataType(in), t) << t.sqlText();
  }
}

TEST(ValueCodec, PlainTypesKeepTheirOlderFormAndBadFlagsAreRefused) {
  // A type without flags is written as before they existed, so older files read alike.
  ByteWriter plain;
  writeDataType(plain, DataType::varchar2(30));
  EXPECT_EQ(static_cast<uint8_t>(plain.buffer()[0]), static_cast<uint8_t>(TypeCode::Varchar2));
  ByteWriter flagged;
  writeDataType(flagged, DataType::timestamp(6, TimeZoneKind::WithTimeZone));
  std::string bytes = flagged.buffer();
  for (char bad : {'\0', '\x7f'}) {
    bytes[1] = bad;  // the flags byte: none set, or unknown bits
    ByteReader in(bytes);
    EXPECT_THROW(readDataType(in), CorruptData);
  }
}

TEST(ValueCodec, DamagedBytesAreRefused) {
  ByteWriter out;
  writeValue(out, Value::text("hello world"));
  std::string bytes = out.buffer();
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    ByteReader in(std::string_view(bytes).substr(0, cut));
    EXPECT_THROW(readValue(in), CorruptData) << "cut at " << cut;
  }
  const char unknownTag[] = {0x7f};
  ByteReader tag(unknownTag, 1);
  EXPECT_THROW(readValue(tag), CorruptData);
  const char badDate[] = {5, static_cast<char>(0xe4), 0x07, 13, 1, 0, 0, 0};  // month 13
  ByteReader date(badDate, sizeof badDate);
  EXPECT_THROW(readValue(date), CorruptData);
  const char badDigit[] = {2, 0, 2, 1, static_cast<char>(0xc1)};  // digit 0xc
  ByteReader digit(badDigit, sizeof badDigit);
  EXPECT_THROW(readValue(digit), CorruptData);
  const char hugeCount[] = {static_cast<char>(0xff), static_cast<char>(0xff), 0x7f};
  ByteReader count(hugeCount, sizeof hugeCount);
  EXPECT_THROW(count.count(), CorruptData);
}

TEST(ByteCodec, VarintsAndChecksum) {
  ByteWriter out;
  const int64_t samples[] = {0, 1, -1, 63, -64, 64, 300, -300, INT64_MAX, INT64_MIN};
  for (int64_t v : samples) out.svarint(v);
  out.varint(UINT64_MAX);
  ByteReader in(out.buffer());
  for (int64_t v : samples) EXPECT_EQ(in.svarint(), v);
  EXPECT_EQ(in.varint(), UINT64_MAX);
  EXPECT_TRUE(in.atEnd());
  // The published check value of CRC-32C, whole and in pieces.
  EXPECT_EQ(crc32c("123456789", 9), 0xE3069283u);
  EXPECT_EQ(crc32c("6789", 4, crc32c("12345", 5)), 0xE3069283u);
  std::string longer(1000, 'q');
  std::string changed = longer;
  changed[517] = 'r';
  EXPECT_NE(crc32c(longer.data(), longer.size()), crc32c(changed.data(), changed.size()));
}

}  // namespace
}  // namespace ocisim::storage
