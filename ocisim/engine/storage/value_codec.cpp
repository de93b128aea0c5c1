#include "engine/storage/value_codec.h"

#include <string>

namespace ocisim::storage {
namespace {

// Value tags (one byte before each value). Numbers that are whole int64 values take the short
// form; others keep their decimal digits packed two to a byte.
enum Tag : uint8_t {
  kNull = 0,
  kInteger = 1,
  kDecimal = 2,
  kText = 3,
  kCharText = 4,
  kDate = 5,
  kTimestamp = 6,
  kBinary = 7,
};

void writeNumber(ByteWriter& out, const Decimal& d) {
  if (auto i = d.toInt64()) {
    out.u8(kInteger);
    out.svarint(*i);
    return;
  }
  std::string digits = d.digits();
  out.u8(kDecimal);
  out.boolean(d.isNegative());
  out.svarint(d.exponent10());
  out.varint(digits.size());
  for (size_t i = 0; i < digits.size(); i += 2) {
    int hi = digits[i] - '0';
    int lo = i + 1 < digits.size() ? digits[i + 1] - '0' : 0;
    out.u8(static_cast<uint8_t>(hi << 4 | lo));
  }
}

Decimal readDecimalBody(ByteReader& in) {
  bool negative = in.boolean();
  int exponent = in.smallInt(-200, 200);
  uint64_t n = in.varint();
  if (n < 1 || n > 60) throw CorruptData("bad decimal length");
  std::string_view packed = in.raw(static_cast<size_t>((n + 1) / 2));
  char digits[64];
  for (uint64_t i = 0; i < n; ++i) {
    auto byte = static_cast<uint8_t>(packed[i / 2]);
    int digit = i % 2 == 0 ? byte >> 4 : byte & 0x0F;
    if (digit > 9) throw CorruptData("bad decimal digit");
    digits[i] = static_cast<char>('0' + digit);
  }
  if (digits[0] == '0') throw CorruptData("decimal with a leading zero");
  return Decimal::fromDigits(negative, std::string_view(digits, static_cast<size_t>(n)), exponent);
}

Decimal readNumber(ByteReader& in, uint8_t tag) {
  if (tag == kInteger) return Decimal::fromInt64(in.svarint());
  return readDecimalBody(in);
}

// DATE fields in seven bytes (as Oracle keeps a DATE); TIMESTAMP adds the nanoseconds.
void writeDateFields(ByteWriter& out, const DateTime& d) {
  auto year = static_cast<uint16_t>(d.year);
  out.u8(static_cast<uint8_t>(year & 0xFF));
  out.u8(static_cast<uint8_t>(year >> 8));
  out.u8(d.month);
  out.u8(d.day);
  out.u8(d.hour);
  out.u8(d.minute);
  out.u8(d.second);
}

DateTime readDateFields(ByteReader& in, uint32_t nanos) {
  DateTime d;
  uint16_t lo = in.u8();
  uint16_t hi = in.u8();
  d.year = static_cast<int16_t>(static_cast<uint16_t>(lo | hi << 8));
  d.month = in.u8();
  d.day = in.u8();
  d.hour = in.u8();
  d.minute = in.u8();
  d.second = in.u8();
  d.nanos = nanos;
  if (!d.isValid()) throw CorruptData("invalid date");
  return d;
}

uint32_t readNanos(ByteReader& in) {
  uint64_t nanos = in.varint();
  if (nanos > 999999999) throw CorruptData("invalid fraction of a second");
  return static_cast<uint32_t>(nanos);
}

}  // namespace

void writeDecimal(ByteWriter& out, const Decimal& d) {
  writeNumber(out, d);
}

Decimal readDecimal(ByteReader& in) {
  uint8_t tag = in.u8();
  if (tag != kInteger && tag != kDecimal) throw CorruptData("number expected");
  return readNumber(in, tag);
}

void writeDateTime(ByteWriter& out, const DateTime& d) {
  writeDateFields(out, d);
  out.varint(d.nanos);
}

DateTime readDateTime(ByteReader& in) {
  // The nanoseconds follow the fields; read the fields first, validate with the fraction.
  std::string_view fields = in.raw(7);
  uint32_t nanos = readNanos(in);
  ByteReader fieldReader(fields);
  return readDateFields(fieldReader, nanos);
}

void writeValue(ByteWriter& out, const Value& v) {
  switch (v.kind()) {
    case ValueKind::Null:
      out.u8(kNull);
      return;
    case ValueKind::Number:
      writeNumber(out, v.asNumber());
      return;
    case ValueKind::Text:
      out.u8(v.isCharText() ? kCharText : kText);
      out.bytes(v.asText());
      return;
    case ValueKind::Date:
      out.u8(kDate);
      writeDateFields(out, v.asDateTime());
      return;
    case ValueKind::Timestamp:
      out.u8(kTimestamp);
      writeDateTime(out, v.asDateTime());
      return;
    case ValueKind::Binary:
      out.u8(kBinary);
      out.bytes(v.asText());
      return;
  }
  throw CorruptData("unknown value kind");
}

Value readValue(ByteReader& in) {
  uint8_t tag = in.u8();
  switch (tag) {
    case kNull:
      return Value();
    case kInteger:
    case kDecimal:
      return Value::number(readNumber(in, tag));
    case kText:
    case kCharText:
    case kBinary: {
      std::string_view s = in.bytes();
      if (s.empty()) throw CorruptData("empty text");
      if (tag == kText) return Value::text(s);
      return tag == kCharText ? Value::charText(s) : Value::binary(s);
    }
    case kDate:
      return Value::date(readDateFields(in, 0));
    case kTimestamp:
      return Value::timestamp(readDateTime(in));
    default:
      throw CorruptData("unknown value tag");
  }
}

// The type code byte has kTypeFlagsFollow set when a byte of flags follows (length semantics,
// national character set, time zone); files written before those existed never set it.
constexpr uint8_t kTypeFlagsFollow = 0x80;
constexpr uint8_t kFlagCharSemantics = 1;
constexpr uint8_t kFlagNational = 2;
constexpr uint8_t kZoneShift = 2;  // two bits: TimeZoneKind

void writeDataType(ByteWriter& out, const DataType& t) {
  uint8_t flags = static_cast<uint8_t>((t.charSemantics ? kFlagCharSemantics : 0) |
                                       (t.national ? kFlagNational : 0) |
                                       (static_cast<uint8_t>(t.zone) << kZoneShift));
  out.u8(static_cast<uint8_t>(static_cast<uint8_t>(t.code) | (flags ? kTypeFlagsFollow : 0)));
  if (flags) out.u8(flags);
  out.svarint(t.length);
  out.svarint(t.precision);
  out.svarint(t.scale);
  out.bytes(t.owner);
  out.bytes(t.name);
}

DataType readDataType(ByteReader& in) {
  DataType t;
  uint8_t code = in.u8();
  uint8_t flags = 0;
  if (code & kTypeFlagsFollow) {
    code = static_cast<uint8_t>(code & ~kTypeFlagsFollow);
    flags = in.u8();
    if (flags == 0 || flags > (kFlagCharSemantics | kFlagNational | (2 << kZoneShift))) {
      throw CorruptData("bad data type flags");
    }
  }
  if (code > static_cast<uint8_t>(TypeCode::Object)) throw CorruptData("unknown data type");
  t.code = static_cast<TypeCode>(code);
  t.charSemantics = flags & kFlagCharSemantics;
  t.national = flags & kFlagNational;
  uint8_t zone = static_cast<uint8_t>(flags >> kZoneShift);
  if (zone > static_cast<uint8_t>(TimeZoneKind::WithLocalTimeZone)) {
    throw CorruptData("bad data type flags");
  }
  t.zone = static_cast<TimeZoneKind>(zone);
  t.length = in.smallInt(INT32_MIN, INT32_MAX);
  t.precision = static_cast<int16_t>(in.smallInt(INT16_MIN, INT16_MAX));
  t.scale = static_cast<int16_t>(in.smallInt(INT16_MIN, INT16_MAX));
  t.owner = in.string();
  t.name = in.string();
  return t;
}

}  // namespace ocisim::storage
