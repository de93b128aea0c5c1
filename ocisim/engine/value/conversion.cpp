#include "engine/value/conversion.h"

#include "engine/ora_error.h"
#include "engine/value/format.h"

namespace ocisim {

std::string toText(const Value& v, const NlsSettings& nls) {
  switch (v.kind()) {
    case ValueKind::Null: return "";
    case ValueKind::Number: return v.asNumber().toSqlText();
    case ValueKind::Text: return std::string(v.asText());
    case ValueKind::Date: return formatDate(v.asDateTime(), nls.dateFormat, false);
    case ValueKind::Timestamp: return formatDate(v.asDateTime(), nls.timestampFormat, true);
    case ValueKind::Binary: return rawToHex(v.asText());
  }
  return "";
}

Value toTextValue(const Value& v, const NlsSettings& nls) {
  if (v.isNull() || v.isText()) return v;
  return Value::text(toText(v, nls));
}

Decimal toNumber(const Value& v) {
  switch (v.kind()) {
    case ValueKind::Number: return v.asNumber();
    case ValueKind::Text: {
      auto d = Decimal::parse(v.asText());
      if (!d) throw OraError(1722);
      return *d;
    }
    case ValueKind::Null: return Decimal();
    default: throw OraError(932, {"NUMBER", kindTypeName(v)});
  }
}

Value toNumberValue(const Value& v) {
  if (v.isNull() || v.isNumber()) return v;
  return Value::number(toNumber(v));
}

DateTime toDate(const Value& v, const NlsSettings& nls) {
  switch (v.kind()) {
    case ValueKind::Date:
    case ValueKind::Timestamp: return v.asDateTime();
    case ValueKind::Text: return parseDate(v.asText(), nls.dateFormat, DateTime::now(), true);
    default: throw OraError(932, {"DATE", kindTypeName(v)});
  }
}

Value toDateValue(const Value& v, const NlsSettings& nls) {
  if (v.isNull() || v.isDatetime()) return v;
  return Value::date(toDate(v, nls));
}

std::string hexToRaw(std::string_view hex) {
  auto nibble = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    throw OraError(1465);
  };
  std::string out;
  std::size_t i = 0;
  if (hex.size() % 2 == 1) out += static_cast<char>(nibble(hex[i++]));  // "ABC" = 0A BC
  for (; i < hex.size(); i += 2) {
    out += static_cast<char>(nibble(hex[i]) * 16 + nibble(hex[i + 1]));
  }
  return out;
}

std::string rawToHex(std::string_view bytes) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char c : bytes) {
    out += kHex[c >> 4];
    out += kHex[c & 15];
  }
  return out;
}

const char* kindTypeName(const Value& v) {
  switch (v.kind()) {
    case ValueKind::Number: return "NUMBER";
    case ValueKind::Text: return v.isCharText() ? "CHAR" : "VARCHAR2";
    case ValueKind::Date: return "DATE";
    case ValueKind::Timestamp: return "TIMESTAMP";
    case ValueKind::Binary: return "BINARY";
    case ValueKind::Null: return "NULL";
  }
  return "";
}

DataType typeOfValue(const Value& v) {
  switch (v.kind()) {
    case ValueKind::Null: return DataType::varchar2(0);
    case ValueKind::Number: return DataType::number();
    case ValueKind::Text: {
      int len = static_cast<int>(v.asText().size());
      return v.isCharText() ? DataType::charType(len) : DataType::varchar2(len);
    }
    case ValueKind::Date: return DataType::date();
    case ValueKind::Timestamp: return DataType::timestamp();
    case ValueKind::Binary: return DataType::raw(static_cast<int>(v.asText().size()));
  }
  return DataType::varchar2(4000);
}

}  // namespace ocisim
