#include "engine/value/decimal.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "engine/ora_error.h"
#include "engine/value/decimal_internal.h"

namespace ocisim {

Decimal DecimalAccess::pack(bool negative, const uint8_t* digits, int count, int exp) {
  int first = 0;
  while (first < count && digits[first] == 0) ++first;
  Decimal out;
  if (first == count) return out;
  exp -= first;
  uint8_t buf[Decimal::kMaxDigits100 + 1] = {};
  int n = count - first;
  bool roundUp = false;
  if (n > Decimal::kMaxDigits100) {
    roundUp = digits[first + Decimal::kMaxDigits100] >= 50;
    n = Decimal::kMaxDigits100;
  }
  std::memcpy(buf + 1, digits + first, static_cast<std::size_t>(n));
  if (roundUp) {
    int i = n;
    while (i > 0 && buf[i] == 99) buf[i--] = 0;
    ++buf[i];  // i == 0 means a carry out of the top digit: 99.99 -> 100
  }
  int start = 1;
  if (buf[0] != 0) {
    start = 0;
    ++exp;
    n = Decimal::kMaxDigits100 + 1;  // the carry made all other digits 0; trimmed below
  }
  while (n > 0 && buf[start + n - 1] == 0) --n;
  if (exp > Decimal::kMaxExponent100) throw OraError(1426);
  if (exp < Decimal::kMinExponent100) return out;
  std::memcpy(out.m_, buf + start, static_cast<std::size_t>(n));
  out.len_ = static_cast<uint8_t>(n);
  out.exp_ = static_cast<int8_t>(exp);
  out.neg_ = negative;
  return out;
}

Decimal Decimal::fromDigits(bool negative, std::string_view digits, int exponent10) {
  // Align so that the first decimal digit is the tens digit of a base-100 digit.
  uint8_t pairs[64];
  int count = 0;
  std::size_t i = 0;
  int e = exponent10;
  if (((e - 1) % 2 + 2) % 2 == 0) {  // first digit at an even power of ten: a units digit
    pairs[count++] = static_cast<uint8_t>(digits.empty() ? 0 : digits[0] - '0');
    i = 1;
    e += 1;
  }
  for (; i < digits.size() && count < 64; i += 2) {
    int hi = digits[i] - '0';
    int lo = i + 1 < digits.size() ? digits[i + 1] - '0' : 0;
    pairs[count++] = static_cast<uint8_t>(hi * 10 + lo);
  }
  // e is now even: digit pair 0 covers 10^(e-1) and 10^(e-2), i.e. 100^((e-2)/2).
  return DecimalAccess::pack(negative, pairs, count, (e - 2) / 2);
}

std::optional<Decimal> Decimal::parse(std::string_view text) {
  std::size_t p = 0, n = text.size();
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  while (p < n && blank(text[p])) ++p;
  while (n > p && blank(text[n - 1])) --n;
  if (p == n) return std::nullopt;
  bool negative = false;
  if (text[p] == '+' || text[p] == '-') negative = text[p++] == '-';
  std::string digits;
  int pointPos = -1, intDigits = 0;
  bool anyDigit = false;
  for (; p < n; ++p) {
    char c = text[p];
    if (c >= '0' && c <= '9') {
      anyDigit = true;
      if (digits.empty() && c == '0') {
        if (pointPos >= 0) --intDigits;  // leading zero after the point shifts the exponent
        continue;
      }
      digits += c;
      if (pointPos < 0) ++intDigits;
    } else if (c == '.' && pointPos < 0) {
      pointPos = static_cast<int>(digits.size());
    } else {
      break;
    }
  }
  if (!anyDigit) return std::nullopt;
  long exponent = 0;
  if (p < n && (text[p] == 'e' || text[p] == 'E')) {
    ++p;
    bool expNeg = false;
    if (p < n && (text[p] == '+' || text[p] == '-')) expNeg = text[p++] == '-';
    if (p == n) return std::nullopt;
    for (; p < n && text[p] >= '0' && text[p] <= '9'; ++p) {
      if (exponent < 100000) exponent = exponent * 10 + (text[p] - '0');
    }
    if (expNeg) exponent = -exponent;
  }
  if (p != n) return std::nullopt;
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
  if (digits.empty()) return Decimal();
  long e10 = intDigits + exponent;
  if (e10 > 200) throw OraError(1426);
  if (e10 < -200) return Decimal();
  return fromDigits(negative, digits, static_cast<int>(e10));
}

Decimal Decimal::fromInt64(int64_t v) {
  uint64_t mag = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
  Decimal out;
  if (mag == 0) return out;
  uint8_t rev[12];
  int n = 0;
  while (mag != 0) {
    rev[n++] = static_cast<uint8_t>(mag % 100);
    mag /= 100;
  }
  int low = 0;
  while (rev[low] == 0) ++low;  // trailing zero digits are not stored
  for (int i = n - 1, k = 0; i >= low; --i, ++k) out.m_[k] = rev[i];
  out.len_ = static_cast<uint8_t>(n - low);
  out.exp_ = static_cast<int8_t>(n - 1);
  out.neg_ = v < 0;
  return out;
}

bool Decimal::smallInteger(int64_t& out) const {
  if (len_ == 0) {
    out = 0;
    return true;
  }
  if (exp_ > 8 || exp_ - (len_ - 1) < 0) return false;  // 100^9 = 10^18
  int64_t v = 0;
  for (int i = 0; i <= exp_; ++i) v = v * 100 + (i < len_ ? m_[i] : 0);
  out = neg_ ? -v : v;
  return true;
}

int Decimal::fractionDigits() const {
  if (len_ == 0) return 0;
  int low10 = 2 * (exp_ - len_ + 1) + (m_[len_ - 1] % 10 == 0 ? 1 : 0);
  return low10 < 0 ? -low10 : 0;
}

Decimal Decimal::fromDouble(double v) {
  if (v == 0 || !std::isfinite(v)) return Decimal();
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15e", v);
  return parse(buf).value_or(Decimal());
}

std::string Decimal::digits() const {
  std::string out;
  out.reserve(2u * len_);
  for (int i = 0; i < len_; ++i) {
    out += static_cast<char>('0' + m_[i] / 10);
    out += static_cast<char>('0' + m_[i] % 10);
  }
  if (!out.empty() && out.front() == '0') out.erase(0, 1);
  while (!out.empty() && out.back() == '0') out.pop_back();
  return out;
}

int Decimal::exponent10() const {
  if (len_ == 0) return 0;
  return (exp_ + 1) * 2 - (m_[0] >= 10 ? 0 : 1);
}

int Decimal::toChars(char* out) const {
  if (len_ == 0) {
    out[0] = '0';
    return 1;
  }
  // Formatted in place: at most a sign, a point, 130 leading zeros and 40 digits, or 40 digits
  // and 86 trailing zeros. Every fetched NUMBER comes through here, so no library calls.
  static const char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  char digits[2 * kMaxDigits100];
  int count = 0;
  for (int i = 0; i < len_; ++i) {
    digits[count++] = kPairs[2 * m_[i]];
    digits[count++] = kPairs[2 * m_[i] + 1];
  }
  const int first = digits[0] == '0' ? 1 : 0;
  while (count > first && digits[count - 1] == '0') --count;
  const char* d = digits + first;
  const int len = count - first;
  const int e = exponent10();
  int n = 0;
  if (neg_) out[n++] = '-';
  const auto put = [&](const char* from, int size) {
    for (int i = 0; i < size; ++i) out[n++] = from[i];
  };
  const auto zeros = [&](int size) {
    for (int i = 0; i < size; ++i) out[n++] = '0';
  };
  if (e <= 0) {
    out[n++] = '.';
    zeros(-e);
    put(d, len);
  } else if (e >= len) {
    put(d, len);
    zeros(e - len);
  } else {
    put(d, e);
    out[n++] = '.';
    put(d + e, len - e);
  }
  return n;
}

std::string Decimal::toString() const {
  char out[kTextRoom];
  return std::string(out, static_cast<std::size_t>(toChars(out)));
}

std::string Decimal::toSqlText() const {
  std::string fixed = toString();
  if (fixed.size() <= 64) return fixed;
  // Scientific: 38 significant digits, d.ddd...E+nn.
  Decimal r = roundSignificant(38);
  std::string d = r.digits();
  d.resize(38, '0');
  int e = r.exponent10() - 1;
  char exp[16];
  std::snprintf(exp, sizeof exp, "E%c%02d", e < 0 ? '-' : '+', e < 0 ? -e : e);
  return std::string(neg_ ? "-" : "") + d.substr(0, 1) + "." + d.substr(1) + exp;
}

bool Decimal::isInteger() const { return len_ == 0 || exp_ - (len_ - 1) >= 0; }

std::optional<int64_t> Decimal::toInt64() const {
  if (!isInteger()) return std::nullopt;
  if (len_ == 0) return 0;
  if (exp_ > 9) return std::nullopt;  // 100^10 > 2^63
  uint64_t mag = 0;
  for (int i = 0; i <= exp_; ++i) {
    uint64_t d = i < len_ ? m_[i] : 0;
    if (mag > (std::numeric_limits<uint64_t>::max() - d) / 100) return std::nullopt;
    mag = mag * 100 + d;
  }
  const uint64_t limit = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
  if (neg_) {
    if (mag > limit + 1) return std::nullopt;
    return static_cast<int64_t>(0 - mag);
  }
  if (mag > limit) return std::nullopt;
  return static_cast<int64_t>(mag);
}

int64_t Decimal::toInt64Truncated() const {
  Decimal t = trunc(0);
  if (auto v = t.toInt64()) return *v;
  return neg_ ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
}

double Decimal::toDouble() const {
  double v = 0;
  for (int i = 0; i < len_; ++i) v += m_[i] * std::pow(100.0, exp_ - i);
  return neg_ ? -v : v;
}

int Decimal::compare(const Decimal& o) const {
  int s = sign(), os = o.sign();
  if (s != os) return s < os ? -1 : 1;
  if (s == 0) return 0;
  int mag = 0;
  if (exp_ != o.exp_) {
    mag = exp_ < o.exp_ ? -1 : 1;
  } else {
    int n = len_ > o.len_ ? len_ : o.len_;
    for (int i = 0; i < n && mag == 0; ++i) {
      int a = i < len_ ? m_[i] : 0, b = i < o.len_ ? o.m_[i] : 0;
      if (a != b) mag = a < b ? -1 : 1;
    }
  }
  return neg_ ? -mag : mag;
}

Decimal Decimal::operator-() const {
  Decimal r = *this;
  if (len_ != 0) r.neg_ = !neg_;
  return r;
}

Decimal Decimal::abs() const {
  Decimal r = *this;
  r.neg_ = false;
  return r;
}

std::size_t Decimal::hash() const {
  std::size_t h = 1469598103934665603ull;
  auto mix = [&h](unsigned v) { h = (h ^ v) * 1099511628211ull; };
  mix(len_);
  mix(static_cast<uint8_t>(exp_));
  mix(neg_ ? 1 : 0);
  for (int i = 0; i < len_; ++i) mix(m_[i]);
  return h;
}

}  // namespace ocisim
