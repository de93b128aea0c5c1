// DataType: the type of a column or of an expression, and how Oracle shows it: the dictionary
// columns (ALL_TAB_COLUMNS DATA_TYPE, DATA_LENGTH, DATA_PRECISION, DATA_SCALE) and the OCI
// describe values (type code, data size, precision, scale). A plain value type.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ocisim {

enum class TypeCode : uint8_t {
  Number,    // NUMBER, NUMBER(p), NUMBER(p,s), INTEGER (= NUMBER(*,0))
  Float,     // FLOAT(p), p binary digits (126 by default)
  Varchar2,  // VARCHAR2(n), also VARCHAR and NVARCHAR2 (national)
  Char,      // CHAR(n), blank-padded; also NCHAR (national)
  Date,
  Timestamp,  // TIMESTAMP(f) [WITH [LOCAL] TIME ZONE]
  Long,
  Clob,  // also NCLOB (national)
  Blob,
  Raw,  // RAW(n)
  LongRaw,
  Rowid,
  Object,  // a user-defined object type: owner + name
};

// TIMESTAMP variants. Values of all three are held alike (see DataType::zone).
enum class TimeZoneKind : uint8_t { None, WithTimeZone, WithLocalTimeZone };

// The database character set is AL32UTF8 from release 9 and UTF8 before (text is UTF-8
// either way); the national character set is AL16UTF16 from release 9 and UTF8 before.
// A character of AL32UTF8 takes up to 4 bytes, of AL16UTF16 2 (4 for a supplementary one).
constexpr int kMaxBytesPerChar = 4;
constexpr int kNationalBytesPerChar = 2;

struct DataType {
  static constexpr int16_t kNoPrecision = -1;
  static constexpr int16_t kNoScale = -127;  // OCI's value for "no scale"

  TypeCode code = TypeCode::Varchar2;
  // VARCHAR2/CHAR/NVARCHAR2/NCHAR: `length` counts characters, not bytes (CHAR_USED 'C').
  // Set by `n CHAR` and, from release 9, for every national type.
  bool charSemantics = false;
  bool national = false;  // NVARCHAR2, NCHAR, NCLOB: the national character set (NCHAR_CS)
  // TIMESTAMP WITH [LOCAL] TIME ZONE. The type is kept and reported as Oracle reports it; the
  // values are held as TIMESTAMP values in the session's time zone (+00:00).
  TimeZoneKind zone = TimeZoneKind::None;
  int32_t length = 4000;               // VARCHAR2/CHAR bytes or characters, RAW bytes; else 0
  int16_t precision = kNoPrecision;    // NUMBER(p) / FLOAT(p) / TIMESTAMP fraction digits
  int16_t scale = kNoScale;            // NUMBER(p,s): s; INTEGER: 0
  std::string owner;                   // Object: the type's owner
  std::string name;                    // Object: the type's name

  static DataType number(int precision = kNoPrecision, int scale = kNoScale);
  static DataType integer() { return number(kNoPrecision, 0); }
  static DataType floatType(int binaryPrecision = 126);
  static DataType varchar2(int length);
  static DataType charType(int length);
  static DataType date();
  static DataType timestamp(int fractionDigits = 6, TimeZoneKind zone = TimeZoneKind::None);
  static DataType longType();
  static DataType clob();
  static DataType blob();
  static DataType raw(int length);
  static DataType longRaw();
  static DataType rowid();
  static DataType object(std::string owner, std::string name);

  // A type as written in DDL, names upper-case: NUMBER, INTEGER, INT, SMALLINT, DECIMAL, DEC,
  // NUMERIC, FLOAT, REAL, DOUBLE PRECISION, VARCHAR2, VARCHAR, NVARCHAR2, CHAR, CHARACTER,
  // NCHAR, DATE, TIMESTAMP, LONG, LONG RAW, CLOB, NCLOB, BLOB, RAW, ROWID. `first` is the
  // length or precision (absent, or "*" for NUMBER(*,s)), `second` the scale. Returns nullopt
  // for an unknown name (the caller may look for an object type); throws ORA-00906 when a
  // required length is missing, ORA-00910 for a length out of range, ORA-01727 / ORA-01728
  // for precision / scale out of range. `charSemantics` is a length written `n CHAR`
  // (VARCHAR2(n CHAR) up to 4000 characters, CHAR(n CHAR) up to 2000); national types take
  // their length in characters when `nationalInChars` (AL16UTF16: NVARCHAR2 up to 2000,
  // NCHAR up to 1000), else in bytes (UTF8: 4000 and 2000).
  static std::optional<DataType> fromSqlName(std::string_view upperName,
                                             std::optional<int> first = std::nullopt,
                                             std::optional<int> second = std::nullopt,
                                             bool charSemantics = false,
                                             bool nationalInChars = true);

  bool isNumeric() const { return code == TypeCode::Number || code == TypeCode::Float; }
  bool isCharacter() const;  // VARCHAR2, CHAR, LONG, CLOB
  bool isDatetime() const { return code == TypeCode::Date || code == TypeCode::Timestamp; }
  bool isBinary() const;     // RAW, LONG RAW, BLOB
  bool isLong() const { return code == TypeCode::Long || code == TypeCode::LongRaw; }
  bool isLob() const { return code == TypeCode::Clob || code == TypeCode::Blob; }

  // DDL text: NUMBER, NUMBER(10,2), NUMBER(*,0) shown as INTEGER, VARCHAR2(30),
  // VARCHAR2(30 CHAR), CHAR(1), NVARCHAR2(10), NCHAR(1), NCLOB, FLOAT(126), TIMESTAMP(6),
  // TIMESTAMP(6) WITH TIME ZONE, RAW(16), LONG RAW, OWNER.NAME for objects.
  std::string sqlText() const;

  // ALL_TAB_COLUMNS.DATA_TYPE: NUMBER (also for INTEGER), FLOAT, VARCHAR2, CHAR, NVARCHAR2,
  // NCHAR, DATE, TIMESTAMP(6), TIMESTAMP(6) WITH [LOCAL] TIME ZONE, LONG, CLOB, NCLOB, BLOB,
  // RAW, LONG RAW, ROWID, or the object type's name.
  std::string dictDataType() const;
  // DATA_LENGTH, in bytes: NUMBER/FLOAT 22, DATE 7, TIMESTAMP 11, WITH TIME ZONE 13,
  // VARCHAR2/CHAR/RAW n bytes, n characters at 4 bytes (national: 2) up to the type's byte
  // limit, LONG/LONG RAW 0, CLOB/BLOB 4000, ROWID 10, object 1.
  int dictDataLength() const;
  // CHAR_LENGTH: the declared length of a VARCHAR2/CHAR (of any kind) in its own unit.
  int charLength() const { return isLengthText() ? length : 0; }
  // VARCHAR2, CHAR and their national forms: the types with a declared text length.
  bool isLengthText() const { return code == TypeCode::Varchar2 || code == TypeCode::Char; }
  // The most bytes a VARCHAR2/CHAR value may take: DATA_LENGTH.
  int maxBytes() const { return dictDataLength(); }
  // DATA_PRECISION: NUMBER(p[,s]) p, FLOAT p; NULL (nullopt) otherwise.
  std::optional<int> dictDataPrecision() const;
  // DATA_SCALE: NUMBER(p,s) / INTEGER s; TIMESTAMP its fraction digits; NULL otherwise.
  std::optional<int> dictDataScale() const;

  // OCI describe: OCI_ATTR_DATA_TYPE (1, 2, 8, 12, 23, 24, 96, 104, 108, 112, 113, 187,
  // 188 with time zone, 232 with local time zone).
  int ociTypeCode() const;
  // OCI_ATTR_DATA_SIZE: NUMBER 22, DATE 7, VARCHAR2/CHAR/RAW n, CLOB/BLOB 4000, LONG 0 ...
  int ociDataSize() const;
  // OCI_ATTR_PRECISION / OCI_ATTR_SCALE: NUMBER 0/-127, FLOAT 126/-127, NUMBER(p,s) p/s,
  // INTEGER 38/0, TIMESTAMP 0/fraction digits, other types 0/0.
  int ociPrecision() const;
  int ociScale() const;

  bool operator==(const DataType& o) const;
};

}  // namespace ocisim
