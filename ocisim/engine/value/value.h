// Value: one SQL value of the engine (a row holds a vector of them). 24 bytes: NULL, a NUMBER
// (Decimal), text (VARCHAR2/CHAR/LONG/CLOB, with a CHAR flag for blank-padded comparison), a DATE
// or TIMESTAMP (DateTime), or bytes (RAW/LONG RAW/BLOB). Text and bytes up to 22 bytes live
// inline; longer ones in an immutable, reference-counted heap block shared by copies (the count
// is atomic, so copies may be made and dropped from several threads). A zero-length text or
// byte string IS NULL: constructing one yields NULL, as Oracle's '' does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/value/datetime.h"
#include "engine/value/decimal.h"

namespace ocisim {

enum class ValueKind : uint8_t { Null, Number, Text, Date, Timestamp, Binary };

class alignas(8) Value {
 public:
  static constexpr std::size_t kInlineCapacity = 22;

  Value() noexcept = default;  // NULL
  Value(const Value& o) noexcept;
  Value(Value&& o) noexcept;
  Value& operator=(const Value& o) noexcept;
  Value& operator=(Value&& o) noexcept;
  ~Value();

  static Value null() { return Value(); }
  static Value number(const Decimal& d);
  static Value integer(int64_t v) { return number(Decimal::fromInt64(v)); }
  // VARCHAR2 / LONG / CLOB text; empty text gives NULL.
  static Value text(std::string_view s);
  // CHAR text (a CHAR column or a text literal): compared blank-padded with other CHAR text.
  static Value charText(std::string_view s);
  static Value date(const DateTime& d);  // the fraction is dropped
  static Value timestamp(const DateTime& d);
  // RAW / LONG RAW / BLOB bytes; empty gives NULL.
  static Value binary(std::string_view bytes);

  ValueKind kind() const { return static_cast<ValueKind>(bytes_[0] & kKindMask); }
  bool isNull() const { return kind() == ValueKind::Null; }
  bool isNumber() const { return kind() == ValueKind::Number; }
  bool isText() const { return kind() == ValueKind::Text; }
  bool isDate() const { return kind() == ValueKind::Date; }
  bool isTimestamp() const { return kind() == ValueKind::Timestamp; }
  bool isDatetime() const { return isDate() || isTimestamp(); }
  bool isBinary() const { return kind() == ValueKind::Binary; }
  // Text with CHAR semantics (blank-padded comparison).
  bool isCharText() const { return isText() && (bytes_[0] & kCharFlag) != 0; }

  // Accessors; each requires the matching kind.
  const Decimal& asNumber() const;
  std::string_view asText() const;  // the characters of Text, the bytes of Binary
  const DateTime& asDateTime() const;

  // The same kind and content (CHAR flag included); NULL is identical to NULL. Not SQL
  // equality (see compareValues in value_ops.h).
  bool identical(const Value& o) const;
  // For tests and error messages: NULL, 1.5, 'it''s', CHAR 'a ', DATE '2024-01-05 10:11:12',
  // TIMESTAMP '2024-01-05 10:11:12.500000000', HEXTORAW('0AFF').
  std::string debugString() const;

 private:
  static constexpr uint8_t kKindMask = 0x07;
  static constexpr uint8_t kCharFlag = 0x08;
  static constexpr uint8_t kHeapFlag = 0x10;
  // Layout of bytes_: [0] tag (kind | flags). Number: Decimal at 1. Date/Timestamp: DateTime
  // at 4. Inline text: size at 1, characters at 2..23. Heap text: size at 4, pointer at 8.
  static constexpr std::size_t kDecimalOffset = 1;
  static constexpr std::size_t kDateOffset = 4;

  static Value makeBytes(ValueKind kind, bool charFlag, std::string_view s);
  bool onHeap() const { return (bytes_[0] & kHeapFlag) != 0; }
  void release() noexcept;
  void retain() const noexcept;

  unsigned char bytes_[24] = {};
};

static_assert(sizeof(Value) == 24, "Value must stay compact");

}  // namespace ocisim
