// Decimal: the exact number of the engine (Oracle NUMBER). A value is stored like Oracle stores
// it: up to 20 base-100 digits (38 to 40 significant decimal digits) and a base-100 exponent,
// range 1e-130 to below 1e126. Plain value type, 23 bytes, no heap, trivially copyable.
// Arithmetic rounds its result to 20 base-100 digits (as Oracle does: 1/3 shows 40 threes);
// a result of 1e126 or more throws ORA-01426, a result below 1e-130 becomes 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ocisim {

class Decimal {
 public:
  static constexpr int kMaxDigits100 = 20;  // base-100 digits kept
  static constexpr int kMinExponent100 = -65;  // 100^-65 = 1e-130
  static constexpr int kMaxExponent100 = 62;   // largest value 99.99..e124 < 1e126

  Decimal() = default;  // zero

  // Parses Oracle's numeric text: optional blanks, sign, digits with at most one '.', optional
  // exponent (e or E, signed). "1.5", "-.5", "5.", " 1e10 ". Returns nullopt when the text is
  // not a number. Digits beyond the 20th base-100 digit are rounded; a value of 1e126 or more
  // throws ORA-01426; a value below 1e-130 becomes 0.
  static std::optional<Decimal> parse(std::string_view text);
  static Decimal fromInt64(int64_t v);
  // Nearest Decimal of a double (15 significant digits), for internal use (POWER, SQRT seeds).
  static Decimal fromDouble(double v);

  // Oracle's text form in fixed notation, as OCI converts a NUMBER to text: "0", ".5", "-.5",
  // "100", "1.5", "-.0000...01" (never an exponent, never "-0").
  std::string toString() const;
  // The same text written to `out` (room for kTextRoom characters); returns its length.
  static constexpr int kTextRoom = 2 * kMaxDigits100 + 2 * (-kMinExponent100) + 8;
  int toChars(char* out) const;
  // The text TO_CHAR(n) and implicit conversion give: fixed notation unless that exceeds 64
  // characters, then scientific ("1.0000000000000000000000000000000000000E+100").
  std::string toSqlText() const;

  bool isZero() const { return len_ == 0; }
  bool isNegative() const { return neg_; }
  int sign() const { return len_ == 0 ? 0 : (neg_ ? -1 : 1); }
  bool isInteger() const;
  // Checked conversion: nullopt when not an integer or outside int64.
  std::optional<int64_t> toInt64() const;
  // Truncates toward zero and saturates at the int64 limits (for positions and counts).
  int64_t toInt64Truncated() const;
  double toDouble() const;

  // Three-way comparison: negative, 0 or positive.
  int compare(const Decimal& other) const;
  bool operator==(const Decimal& o) const { return compare(o) == 0; }
  bool operator<(const Decimal& o) const { return compare(o) < 0; }

  Decimal operator-() const;
  Decimal operator+(const Decimal& o) const;
  Decimal operator-(const Decimal& o) const;
  Decimal operator*(const Decimal& o) const;
  // Throws ORA-01476 when o is zero.
  Decimal operator/(const Decimal& o) const;
  // Oracle MOD: a - b * TRUNC(a / b); MOD(a, 0) = a.
  Decimal mod(const Decimal& o) const;
  // Rounds half away from zero to `scale` digits after the point (negative: before it).
  Decimal round(int scale) const;
  Decimal trunc(int scale) const;
  Decimal floor() const;
  Decimal ceil() const;
  Decimal abs() const;
  // Rounds to `digits` significant decimal digits (FLOAT(p) columns).
  Decimal roundSignificant(int digits) const;

  // NUMBER(precision, scale) storage: rounds to the scale, then throws ORA-01438 when more than
  // precision - scale digits remain before the point (or, for scale > precision, when the value
  // is not below 10^(precision - scale)). precision < 0 means unconstrained (NUMBER or
  // NUMBER(*,s)): only the scale applies (and 38 significant digits are kept).
  Decimal forColumn(int precision, int scale) const;

  // Decimal digits and exponent: the value is 0.d1d2d3... x 10^exponent10 with d1 != 0.
  // Used by the format models. For zero: "" and 0.
  std::string digits() const;
  int exponent10() const;
  // Builds a Decimal from significant decimal digits and the exponent as above (rounds).
  static Decimal fromDigits(bool negative, std::string_view digits, int exponent10);

  // Hash consistent with compare() == 0.
  std::size_t hash() const;

  // The value as an int64 when it is an integer below 10^18 in magnitude (the fast paths of
  // the arithmetic); false otherwise.
  bool smallInteger(int64_t& out) const;
  // Digits after the decimal point (0 for integers).
  int fractionDigits() const;

 private:
  uint8_t m_[kMaxDigits100] = {};  // base-100 digits, most significant first
  uint8_t len_ = 0;                // digits in use; 0 = zero; m_[len_-1] != 0
  int8_t exp_ = 0;                 // value = sum m_[i] * 100^(exp_ - i)
  bool neg_ = false;

  friend struct DecimalAccess;
};

}  // namespace ocisim
