#include "engine/value/data_type.h"

#include <algorithm>

#include "engine/ora_error.h"

namespace ocisim {
namespace {

DataType make(TypeCode code, int length, int precision = DataType::kNoPrecision,
              int scale = DataType::kNoScale) {
  DataType t;
  t.code = code;
  t.length = length;
  t.precision = static_cast<int16_t>(precision);
  t.scale = static_cast<int16_t>(scale);
  return t;
}

}  // namespace

DataType DataType::number(int precision, int scale) {
  if (precision != kNoPrecision && scale == kNoScale) scale = 0;
  return make(TypeCode::Number, 0, precision, scale);
}
DataType DataType::floatType(int binaryPrecision) {
  return make(TypeCode::Float, 0, binaryPrecision);
}
DataType DataType::varchar2(int length) { return make(TypeCode::Varchar2, length); }
DataType DataType::charType(int length) { return make(TypeCode::Char, length); }
DataType DataType::date() { return make(TypeCode::Date, 0); }
DataType DataType::timestamp(int fractionDigits, TimeZoneKind zone) {
  DataType t = make(TypeCode::Timestamp, 0, fractionDigits);
  t.zone = zone;
  return t;
}
DataType DataType::longType() { return make(TypeCode::Long, 0); }
DataType DataType::clob() { return make(TypeCode::Clob, 0); }
DataType DataType::blob() { return make(TypeCode::Blob, 0); }
DataType DataType::raw(int length) { return make(TypeCode::Raw, length); }
DataType DataType::longRaw() { return make(TypeCode::LongRaw, 0); }
DataType DataType::rowid() { return make(TypeCode::Rowid, 0); }
DataType DataType::object(std::string owner, std::string name) {
  DataType t = make(TypeCode::Object, 0);
  t.owner = std::move(owner);
  t.name = std::move(name);
  return t;
}

std::optional<DataType> DataType::fromSqlName(std::string_view n, std::optional<int> first,
                                              std::optional<int> second, bool charSemantics,
                                              bool nationalInChars) {
  auto lengthOf = [&](int max, bool required) -> int {
    if (!first) {
      if (required) throw OraError(906);
      return 1;
    }
    if (*first < 1 || *first > max) throw OraError(910);
    return *first;
  };
  if (n == "NUMBER" || n == "DECIMAL" || n == "DEC" || n == "NUMERIC") {
    if (first && (*first < 1 || *first > 38)) throw OraError(1727);
    if (second && (*second < -84 || *second > 127)) throw OraError(1728);
    if (!first && !second) {
      // DECIMAL and NUMERIC without precision are integers; NUMBER is unconstrained.
      return n == "NUMBER" ? number() : integer();
    }
    if (!first) return number(kNoPrecision, *second);
    return number(*first, second.value_or(0));
  }
  if (n == "INTEGER" || n == "INT" || n == "SMALLINT") return integer();
  if (n == "FLOAT") {
    if (first && (*first < 1 || *first > 126)) throw OraError(1724);
    return floatType(first.value_or(126));
  }
  if (n == "REAL") return floatType(63);
  if (n == "DOUBLE PRECISION") return floatType(126);
  if (n == "NVARCHAR2" || n == "NCHAR") {
    // Lengths always count characters: the declared unit is not written (ORA-00907).
    if (charSemantics) throw OraError(907);
    bool varying = n == "NVARCHAR2";
    int limit = varying ? 4000 : 2000;
    if (nationalInChars) limit /= kNationalBytesPerChar;
    DataType t = varying ? varchar2(lengthOf(limit, true)) : charType(lengthOf(limit, false));
    t.national = true;
    t.charSemantics = nationalInChars;
    return t;
  }
  if (n == "VARCHAR2" || n == "VARCHAR" || n == "CHAR" || n == "CHARACTER") {
    bool varying = n == "VARCHAR2" || n == "VARCHAR";
    DataType t = varying ? varchar2(lengthOf(4000, true)) : charType(lengthOf(2000, false));
    t.charSemantics = charSemantics;
    return t;
  }
  if (n == "DATE") return date();
  if (n == "TIMESTAMP") {
    if (first && (*first < 0 || *first > 9)) throw OraError(1727);
    return timestamp(first.value_or(6));
  }
  if (n == "LONG") return longType();
  if (n == "LONG RAW") return longRaw();
  if (n == "CLOB") return clob();
  if (n == "NCLOB") {
    DataType t = clob();
    t.national = true;
    return t;
  }
  if (n == "BLOB") return blob();
  if (n == "RAW") return raw(lengthOf(2000, true));
  if (n == "ROWID") return rowid();
  return std::nullopt;
}

bool DataType::isCharacter() const {
  return code == TypeCode::Varchar2 || code == TypeCode::Char || code == TypeCode::Long ||
         code == TypeCode::Clob;
}

bool DataType::isBinary() const {
  return code == TypeCode::Raw || code == TypeCode::LongRaw || code == TypeCode::Blob;
}

std::string DataType::sqlText() const {
  switch (code) {
    case TypeCode::Number:
      if (precision == kNoPrecision) return scale == 0 ? "INTEGER" : scale == kNoScale
                                                                          ? "NUMBER"
                                                                          : "NUMBER(*," + std::to_string(scale) + ")";
      if (scale == 0) return "NUMBER(" + std::to_string(precision) + ")";
      return "NUMBER(" + std::to_string(precision) + "," + std::to_string(scale) + ")";
    case TypeCode::Float: return "FLOAT(" + std::to_string(precision) + ")";
    case TypeCode::Varchar2:
    case TypeCode::Char:
      return dictDataType() + "(" + std::to_string(length) +
             (charSemantics && !national ? " CHAR)" : ")");
    case TypeCode::Raw:
      return "RAW(" + std::to_string(length) + ")";
    case TypeCode::Object: return owner.empty() ? name : owner + "." + name;
    default: return dictDataType();
  }
}

std::string DataType::dictDataType() const {
  switch (code) {
    case TypeCode::Number: return "NUMBER";
    case TypeCode::Float: return "FLOAT";
    case TypeCode::Varchar2:
      return national ? "NVARCHAR2" : "VARCHAR2";
    case TypeCode::Char:
      return national ? "NCHAR" : "CHAR";
    case TypeCode::Date: return "DATE";
    case TypeCode::Timestamp: {
      std::string text = "TIMESTAMP(" + std::to_string(precision) + ")";
      if (zone == TimeZoneKind::WithTimeZone) text += " WITH TIME ZONE";
      if (zone == TimeZoneKind::WithLocalTimeZone) text += " WITH LOCAL TIME ZONE";
      return text;
    }
    case TypeCode::Long: return "LONG";
    case TypeCode::Clob:
      return national ? "NCLOB" : "CLOB";
    case TypeCode::Blob: return "BLOB";
    case TypeCode::Raw: return "RAW";
    case TypeCode::LongRaw: return "LONG RAW";
    case TypeCode::Rowid: return "ROWID";
    case TypeCode::Object: return name;
  }
  return "";
}

int DataType::dictDataLength() const {
  switch (code) {
    case TypeCode::Number:
    case TypeCode::Float: return 22;
    case TypeCode::Date: return 7;
    case TypeCode::Timestamp:
      return zone == TimeZoneKind::WithTimeZone ? 13 : 11;
    case TypeCode::Varchar2:
    case TypeCode::Char: {
      if (!charSemantics) return length;
      int limit = code == TypeCode::Varchar2 ? 4000 : 2000;
      int64_t bytes = int64_t{length} * (national ? kNationalBytesPerChar : kMaxBytesPerChar);
      return static_cast<int>(std::min<int64_t>(bytes, limit));
    }
    case TypeCode::Raw: return length;
    case TypeCode::Long:
    case TypeCode::LongRaw: return 0;
    case TypeCode::Clob:
    case TypeCode::Blob: return 4000;
    case TypeCode::Rowid: return 10;
    case TypeCode::Object: return 1;
  }
  return 0;
}

std::optional<int> DataType::dictDataPrecision() const {
  if ((code == TypeCode::Number || code == TypeCode::Float) && precision != kNoPrecision) {
    return precision;
  }
  return std::nullopt;
}

std::optional<int> DataType::dictDataScale() const {
  if (code == TypeCode::Number && scale != kNoScale) return scale;
  if (code == TypeCode::Timestamp) return precision;
  return std::nullopt;
}

int DataType::ociTypeCode() const {
  switch (code) {
    case TypeCode::Number:
    case TypeCode::Float: return 2;
    case TypeCode::Varchar2: return 1;
    case TypeCode::Char: return 96;
    case TypeCode::Date: return 12;
    case TypeCode::Timestamp:
      return zone == TimeZoneKind::WithTimeZone        ? 188
             : zone == TimeZoneKind::WithLocalTimeZone ? 232
                                                       : 187;
    case TypeCode::Long: return 8;
    case TypeCode::Clob: return 112;
    case TypeCode::Blob: return 113;
    case TypeCode::Raw: return 23;
    case TypeCode::LongRaw: return 24;
    case TypeCode::Rowid: return 104;
    case TypeCode::Object: return 108;
  }
  return 1;
}

int DataType::ociDataSize() const {
  switch (code) {
    case TypeCode::Number:
    case TypeCode::Float: return 22;
    case TypeCode::Date: return 7;
    case TypeCode::Timestamp:
    case TypeCode::Varchar2:
    case TypeCode::Char:
      return dictDataLength();
    case TypeCode::Raw: return length;
    case TypeCode::Clob:
    case TypeCode::Blob: return 4000;
    case TypeCode::Rowid: return 10;
    default: return 0;
  }
}

int DataType::ociPrecision() const {
  if (code == TypeCode::Float) return precision;
  if (code != TypeCode::Number) return 0;
  if (precision == kNoPrecision) return scale == kNoScale ? 0 : 38;
  return precision;
}

int DataType::ociScale() const {
  if (code == TypeCode::Number) return scale;
  if (code == TypeCode::Float) return kNoScale;
  if (code == TypeCode::Timestamp) return precision;
  return 0;
}

bool DataType::operator==(const DataType& o) const {
  return code == o.code && charSemantics == o.charSemantics && national == o.national &&
         zone == o.zone && length == o.length && precision == o.precision && scale == o.scale &&
         owner == o.owner && name == o.name;
}

}  // namespace ocisim
