// Decimal arithmetic on base-100 digit arrays: each operation works on a wide temporary and
// rounds once to 20 base-100 digits through DecimalAccess::pack.
#include <algorithm>
#include <cstring>
#include <string>

#include "engine/ora_error.h"
#include "engine/value/decimal.h"
#include "engine/value/decimal_internal.h"

namespace ocisim {
namespace {

using DA = DecimalAccess;

// An operand whose exponent is this many base-100 digits below the other's cannot change the
// 20-digit rounded result of an addition or subtraction.
constexpr int kNegligibleGap = 23;

int lowestExponent(const Decimal& d) { return DA::exponent(d) - DA::length(d) + 1; }

// |a| compared with |b|.
int compareMagnitude(const Decimal& a, const Decimal& b) {
  int c = a.abs().compare(b.abs());
  return c;
}

// Signed addition of two non-zero decimals whose exponents are close.
Decimal addNonZero(const Decimal& a, bool aNeg, const Decimal& b, bool bNeg) {
  int top = std::max(DA::exponent(a), DA::exponent(b)) + 1;
  int low = std::min(lowestExponent(a), lowestExponent(b));
  int width = top - low + 1;
  int acc[72] = {};
  // The larger magnitude keeps its sign; the other is added or subtracted.
  bool swap = compareMagnitude(a, b) < 0;
  const Decimal& big = swap ? b : a;
  const Decimal& small = swap ? a : b;
  bool bigNeg = swap ? bNeg : aNeg, smallNeg = swap ? aNeg : bNeg;
  int sign = bigNeg == smallNeg ? 1 : -1;
  for (int i = 0; i < DA::length(big); ++i) acc[top - (DA::exponent(big) - i)] += DA::digits(big)[i];
  for (int i = 0; i < DA::length(small); ++i) {
    acc[top - (DA::exponent(small) - i)] += sign * DA::digits(small)[i];
  }
  for (int i = width - 1; i > 0; --i) {
    if (acc[i] < 0) {
      acc[i] += 100;
      acc[i - 1] -= 1;
    } else if (acc[i] >= 100) {
      acc[i] -= 100;
      acc[i - 1] += 1;
    }
  }
  uint8_t digits[72];
  for (int i = 0; i < width; ++i) digits[i] = static_cast<uint8_t>(acc[i]);
  return DA::pack(bigNeg, digits, width, top);
}

Decimal withSign(const Decimal& d, bool negative) { return negative ? -d.abs() : d.abs(); }

Decimal addSigned(const Decimal& a, bool aNeg, const Decimal& b, bool bNeg) {
  if (b.isZero()) return withSign(a, aNeg);
  if (a.isZero()) return withSign(b, bNeg);
  int gap = DA::exponent(a) - DA::exponent(b);
  if (gap > kNegligibleGap) return withSign(a, aNeg);
  if (-gap > kNegligibleGap) return withSign(b, bNeg);
  return addNonZero(a, aNeg, b, bNeg);
}

// Little-endian helpers for long division over `len` base-100 digits.
int compareLE(const int* x, const int* y, int len) {
  for (int i = len - 1; i >= 0; --i) {
    if (x[i] != y[i]) return x[i] < y[i] ? -1 : 1;
  }
  return 0;
}

void subtractLE(int* x, const int* y, int len) {
  int borrow = 0;
  for (int i = 0; i < len; ++i) {
    int v = x[i] - y[i] - borrow;
    borrow = v < 0 ? 1 : 0;
    x[i] = v + borrow * 100;
  }
}

void multiplySmallLE(const int* x, int q, int* out, int len) {
  int carry = 0;
  for (int i = 0; i < len; ++i) {
    int v = x[i] * q + carry;
    out[i] = v % 100;
    carry = v / 100;
  }
}

// One quotient digit: floor(r / divisor) where r < divisor * 100. Subtracts q * divisor from r.
int divideStep(int* r, const int* divisor, int len) {
  double rv = 0, dv = 0;
  for (int j = len - 1; j >= 0 && j >= len - 4; --j) {
    rv = rv * 100 + r[j];
    dv = dv * 100 + divisor[j];
  }
  int q = dv > 0 ? static_cast<int>(rv / dv) : 0;
  if (q > 99) q = 99;
  int t[24];
  multiplySmallLE(divisor, q, t, len);
  while (q > 0 && compareLE(t, r, len) > 0) {
    --q;
    subtractLE(t, divisor, len);
  }
  subtractLE(r, t, len);
  while (compareLE(r, divisor, len) >= 0) {
    ++q;
    subtractLE(r, divisor, len);
  }
  return q;
}

}  // namespace

Decimal Decimal::operator+(const Decimal& o) const {
  int64_t a, b, r;
  if (smallInteger(a) && o.smallInteger(b) && !__builtin_add_overflow(a, b, &r)) return fromInt64(r);
  return addSigned(*this, isNegative(), o, o.isNegative());
}

Decimal Decimal::operator-(const Decimal& o) const {
  int64_t a, b, r;
  if (smallInteger(a) && o.smallInteger(b) && !__builtin_sub_overflow(a, b, &r)) return fromInt64(r);
  return addSigned(*this, isNegative(), o, !o.isNegative());
}

Decimal Decimal::operator*(const Decimal& o) const {
  if (isZero() || o.isZero()) return Decimal();
  int64_t a, b, r;
  if (smallInteger(a) && o.smallInteger(b) && !__builtin_mul_overflow(a, b, &r)) return fromInt64(r);
  int na = DA::length(*this), nb = DA::length(o);
  uint32_t acc[2 * kMaxDigits100 + 1] = {};
  for (int i = 0; i < na; ++i) {
    for (int j = 0; j < nb; ++j) acc[i + j + 1] += uint32_t{DA::digits(*this)[i]} * DA::digits(o)[j];
  }
  int width = na + nb;
  for (int k = width - 1; k > 0; --k) {
    acc[k - 1] += acc[k] / 100;
    acc[k] %= 100;
  }
  uint8_t digits[2 * kMaxDigits100 + 1];
  for (int k = 0; k < width; ++k) digits[k] = static_cast<uint8_t>(acc[k]);
  return DA::pack(isNegative() != o.isNegative(), digits, width,
                  DA::exponent(*this) + DA::exponent(o) + 1);
}

Decimal Decimal::operator/(const Decimal& o) const {
  if (o.isZero()) throw OraError(1476);
  if (isZero()) return Decimal();
  int64_t a, b;
  if (smallInteger(a) && o.smallInteger(b) && a % b == 0) return fromInt64(a / b);
  const int na = DA::length(*this), nb = DA::length(o);
  const int wanted = kMaxDigits100 + 2;  // quotient digits: 20 kept, a possible leading 0, 1 to round
  const int k = std::max(0, wanted + nb - na);
  const int total = na + k;
  const int len = nb + 1;
  int divisor[24] = {}, r[24] = {};
  for (int i = 0; i < nb; ++i) divisor[i] = DA::digits(o)[nb - 1 - i];
  uint8_t quotient[2 * kMaxDigits100 + 4];
  for (int i = 0; i < total; ++i) {
    for (int j = len - 1; j > 0; --j) r[j] = r[j - 1];
    r[0] = i < na ? DA::digits(*this)[i] : 0;
    quotient[i] = static_cast<uint8_t>(divideStep(r, divisor, len));
  }
  int exp = total - 1 + lowestExponent(*this) - lowestExponent(o) - k;
  return DA::pack(isNegative() != o.isNegative(), quotient, total, exp);
}

Decimal Decimal::mod(const Decimal& o) const {
  if (o.isZero()) return *this;
  int64_t a, b;
  if (smallInteger(a) && o.smallInteger(b)) return b == -1 ? Decimal() : fromInt64(a % b);
  return *this - o * (*this / o).trunc(0);
}

namespace {

// Keeps the first `keep` significant digits of d (rounding half away from zero when asked).
Decimal keepDigits(const Decimal& d, int keep, bool round) {
  std::string digits = d.digits();
  int e10 = d.exponent10();
  if (keep >= static_cast<int>(digits.size())) return d;
  if (keep < 0) return Decimal();
  bool up = round && digits[static_cast<std::size_t>(keep)] >= '5';
  std::string kept = digits.substr(0, static_cast<std::size_t>(keep));
  if (up) {
    int i = keep - 1;
    while (i >= 0 && kept[static_cast<std::size_t>(i)] == '9') kept[static_cast<std::size_t>(i--)] = '0';
    if (i < 0) {
      kept.insert(kept.begin(), '1');
      ++e10;
    } else {
      ++kept[static_cast<std::size_t>(i)];
    }
  }
  if (kept.find_first_not_of('0') == std::string::npos) return Decimal();
  return Decimal::fromDigits(d.isNegative(), kept, e10);
}

}  // namespace

Decimal Decimal::round(int scale) const {
  if (isZero() || fractionDigits() <= scale) return *this;
  return keepDigits(*this, exponent10() + scale, true);
}

Decimal Decimal::trunc(int scale) const {
  if (isZero() || fractionDigits() <= scale) return *this;
  return keepDigits(*this, exponent10() + scale, false);
}

Decimal Decimal::roundSignificant(int digits) const {
  if (isZero()) return *this;
  return keepDigits(*this, digits, true);
}

Decimal Decimal::floor() const {
  Decimal t = trunc(0);
  if (isNegative() && t.compare(*this) != 0) t = t - fromInt64(1);
  return t;
}

Decimal Decimal::ceil() const {
  Decimal t = trunc(0);
  if (!isNegative() && t.compare(*this) != 0) t = t + fromInt64(1);
  return t;
}

Decimal Decimal::forColumn(int precision, int scale) const {
  Decimal r = *this;
  if (scale != -127) r = r.round(scale);
  if (precision > 0 && !r.isZero()) {
    int s = scale == -127 ? 0 : scale;
    if (r.exponent10() > precision - s) throw OraError(1438);
  }
  return r;
}

}  // namespace ocisim
