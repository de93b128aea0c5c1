#include "engine/value/coercion.h"

#include <algorithm>
#include <string>

#include "engine/ora_error.h"
#include "engine/value/conversion.h"
#include "engine/value/format.h"
#include "engine/value/utf8.h"

namespace ocisim {
namespace {

[[noreturn]] void tooLarge(std::string_view column, std::size_t actual, int maximum) {
  throw OraError(12899, {std::string(column), std::to_string(actual), std::to_string(maximum)});
}

// Significant decimal digits a FLOAT(p) keeps: p binary digits.
int floatDigits(int binaryPrecision) { return (binaryPrecision * 30103 + 99999) / 100000; }

Decimal numberFor(const Value& v, const DataType& type) {
  Decimal d = toNumber(v);
  if (type.code == TypeCode::Float) return d.roundSignificant(floatDigits(type.precision));
  return d.forColumn(type.precision, type.scale);
}

Value textFor(const Value& v, const DataType& type, const NlsSettings& nls,
              std::string_view column) {
  std::string s = toText(v, nls);
  if (!type.isLengthText()) return Value::text(s);
  // The declared length counts characters or bytes; with characters the value must also fit
  // the type's bytes (DATA_LENGTH), counted in the column's character set.
  std::size_t limit = static_cast<std::size_t>(type.length);
  std::size_t units = type.charSemantics ? utf8::length(s) : s.size();
  if (units > limit) tooLarge(column, units, type.length);
  std::size_t maxBytes = static_cast<std::size_t>(type.maxBytes());
  auto bytesOf = [&](std::string_view text) {
    return type.national && type.charSemantics ? utf8::utf16Bytes(text) : text.size();
  };
  if (type.charSemantics && bytesOf(s) > maxBytes) tooLarge(column, bytesOf(s), type.maxBytes());
  if (type.code == TypeCode::Char) {
    // Blank-padded to the declared length (in its unit), as far as the bytes allow.
    std::size_t blankBytes = type.national && type.charSemantics ? 2 : 1;
    s.append(std::min(limit - units, (maxBytes - bytesOf(s)) / blankBytes), ' ');
    return Value::charText(s);
  }
  return Value::text(s);
}

Value bytesFor(const Value& v, const DataType& type, std::string_view column) {
  std::string bytes;
  if (v.isBinary()) {
    bytes = std::string(v.asText());
  } else if (v.isText()) {
    bytes = hexToRaw(v.asText());
  } else {
    throw OraError(932, {type.dictDataType(), kindTypeName(v)});
  }
  if (type.code == TypeCode::Raw && bytes.size() > static_cast<std::size_t>(type.length)) {
    tooLarge(column, bytes.size(), type.length);
  }
  return Value::binary(bytes);
}

}  // namespace

Value coerceForColumn(const Value& v, const DataType& type, const NlsSettings& nls,
                      std::string_view columnName) {
  if (v.isNull()) return v;
  switch (type.code) {
    case TypeCode::Number:
    case TypeCode::Float: return Value::number(numberFor(v, type));
    case TypeCode::Varchar2:
    case TypeCode::Char:
    case TypeCode::Long:
    case TypeCode::Clob:
    case TypeCode::Rowid: return textFor(v, type, nls, columnName);
    case TypeCode::Date: return Value::date(toDate(v, nls));
    case TypeCode::Timestamp: {
      // Text becomes a TIMESTAMP through NLS_TIMESTAMP_FORMAT (fields it lacks default).
      DateTime d = v.isText() ? parseDate(v.asText(), nls.timestampFormat, DateTime::now(), true)
                              : toDate(v, nls);
      uint32_t unit = 1;
      for (int i = type.precision; i < 9; ++i) unit *= 10;
      d.nanos = (d.nanos + unit / 2) / unit * unit;
      if (d.nanos >= 1000000000u) {
        d.nanos = 0;
        d = d.addDays(Decimal::fromInt64(1) / Decimal::fromInt64(86400));
      }
      return Value::timestamp(d);
    }
    case TypeCode::Raw:
    case TypeCode::LongRaw:
    case TypeCode::Blob: return bytesFor(v, type, columnName);
    case TypeCode::Object: return v;
  }
  return v;
}

bool fitsColumn(const Value& v, const DataType& type, const NlsSettings& nls) {
  if (v.isNull()) return true;
  try {
    Value stored = coerceForColumn(v, type, nls, "");
    if (stored.isNumber() && v.isNumber()) return stored.asNumber() == v.asNumber();
    if (type.code == TypeCode::Char && v.isText()) {
      std::string_view a = stored.asText(), b = v.asText();
      return a.substr(0, b.size()) == b;
    }
    return true;
  } catch (const OraError&) {
    return false;
  }
}

}  // namespace ocisim
