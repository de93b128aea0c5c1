#include "engine/value/value_codec.h"

#include <cstdint>

#include "engine/ora_error.h"
#include "engine/value/decimal_internal.h"

namespace ocisim {
namespace {

enum Tag : uint8_t { kNull = 0, kNumber = 1, kText = 2, kCharText = 3, kDate = 4, kTimestamp = 5, kBinary = 6 };

void putVarint(std::string& out, uint64_t v) {
  while (v >= 0x80) {
    out += static_cast<char>((v & 0x7F) | 0x80);
    v >>= 7;
  }
  out += static_cast<char>(v);
}

bool getVarint(std::string_view in, std::size_t& pos, uint64_t& v) {
  v = 0;
  for (int shift = 0; shift < 64; shift += 7) {
    if (pos >= in.size()) return false;
    uint8_t b = static_cast<uint8_t>(in[pos++]);
    v |= uint64_t{b & 0x7Fu} << shift;
    if ((b & 0x80) == 0) return true;
  }
  return false;
}

void putDateTime(std::string& out, const DateTime& d, bool withNanos) {
  uint16_t year = static_cast<uint16_t>(d.year);
  out += static_cast<char>(year & 0xFF);
  out += static_cast<char>(year >> 8);
  for (uint8_t f : {d.month, d.day, d.hour, d.minute, d.second}) out += static_cast<char>(f);
  if (withNanos) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((d.nanos >> (8 * i)) & 0xFF);
  }
}

bool getDateTime(std::string_view in, std::size_t& pos, bool withNanos, DateTime& d) {
  std::size_t need = withNanos ? 11 : 7;
  if (in.size() - pos < need) return false;
  auto byte = [&](std::size_t i) { return static_cast<uint8_t>(in[pos + i]); };
  d.year = static_cast<int16_t>(static_cast<uint16_t>(byte(0) | (byte(1) << 8)));
  d.month = byte(2);
  d.day = byte(3);
  d.hour = byte(4);
  d.minute = byte(5);
  d.second = byte(6);
  d.nanos = 0;
  if (withNanos) {
    for (int i = 0; i < 4; ++i) d.nanos |= uint32_t{byte(7 + static_cast<std::size_t>(i))} << (8 * i);
  }
  if (!d.isValid()) return false;
  pos += need;
  return true;
}

bool getNumber(std::string_view in, std::size_t& pos, Value& out) {
  if (in.size() - pos < 3) return false;
  uint8_t len = static_cast<uint8_t>(in[pos]);
  int exp = static_cast<int8_t>(in[pos + 1]);
  uint8_t neg = static_cast<uint8_t>(in[pos + 2]);
  if (len > Decimal::kMaxDigits100 || neg > 1 || in.size() - pos - 3 < len) return false;
  if (len == 0 ? (exp != 0 || neg != 0)
               : (exp < Decimal::kMinExponent100 || exp > Decimal::kMaxExponent100)) {
    return false;
  }
  uint8_t digits[Decimal::kMaxDigits100];
  for (uint8_t i = 0; i < len; ++i) {
    digits[i] = static_cast<uint8_t>(in[pos + 3 + i]);
    if (digits[i] > 99) return false;
  }
  if (len > 0 && (digits[0] == 0 || digits[len - 1] == 0)) return false;  // not normalised
  try {
    out = Value::number(DecimalAccess::pack(neg == 1, digits, len, exp));
  } catch (const OraError&) {
    return false;
  }
  pos += 3u + len;
  return true;
}

}  // namespace

void encodeValue(const Value& v, std::string& out) {
  switch (v.kind()) {
    case ValueKind::Null: out += static_cast<char>(kNull); return;
    case ValueKind::Number: {
      const Decimal& d = v.asNumber();
      out += static_cast<char>(kNumber);
      out += static_cast<char>(DecimalAccess::length(d));
      out += static_cast<char>(static_cast<int8_t>(DecimalAccess::exponent(d)));
      out += static_cast<char>(d.isNegative() ? 1 : 0);
      out.append(reinterpret_cast<const char*>(DecimalAccess::digits(d)),
                 static_cast<std::size_t>(DecimalAccess::length(d)));
      return;
    }
    case ValueKind::Text:
    case ValueKind::Binary: {
      Tag tag = v.isBinary() ? kBinary : v.isCharText() ? kCharText : kText;
      out += static_cast<char>(tag);
      putVarint(out, v.asText().size());
      out += v.asText();
      return;
    }
    case ValueKind::Date:
    case ValueKind::Timestamp:
      out += static_cast<char>(v.isDate() ? kDate : kTimestamp);
      putDateTime(out, v.asDateTime(), v.isTimestamp());
      return;
  }
}

bool decodeValue(std::string_view in, std::size_t& pos, Value& out) {
  if (pos >= in.size()) return false;
  std::size_t p = pos + 1;
  Value result;
  switch (static_cast<uint8_t>(in[pos])) {
    case kNull: break;
    case kNumber:
      if (!getNumber(in, p, result)) return false;
      break;
    case kText:
    case kCharText:
    case kBinary: {
      uint64_t size = 0;
      if (!getVarint(in, p, size) || size == 0 || size > in.size() - p) return false;
      std::string_view bytes = in.substr(p, static_cast<std::size_t>(size));
      uint8_t tag = static_cast<uint8_t>(in[pos]);
      result = tag == kBinary ? Value::binary(bytes) : tag == kCharText ? Value::charText(bytes) : Value::text(bytes);
      p += static_cast<std::size_t>(size);
      break;
    }
    case kDate:
    case kTimestamp: {
      DateTime d;
      bool ts = static_cast<uint8_t>(in[pos]) == kTimestamp;
      if (!getDateTime(in, p, ts, d)) return false;
      result = ts ? Value::timestamp(d) : Value::date(d);
      break;
    }
    default: return false;
  }
  out = std::move(result);
  pos = p;
  return true;
}

}  // namespace ocisim
