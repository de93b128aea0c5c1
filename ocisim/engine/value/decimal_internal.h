// Internal access to Decimal's base-100 digits for the arithmetic and format code of the values
// module. Not for use outside engine/value.
#pragma once

#include <cstdint>

#include "engine/value/decimal.h"

namespace ocisim {

struct DecimalAccess {
  // Builds a Decimal from base-100 digits (most significant first; leading and trailing zeros
  // allowed), `exp` being the base-100 exponent of digits[0]. Rounds half away from zero to 20
  // digits; throws ORA-01426 on overflow, gives 0 on underflow.
  static Decimal pack(bool negative, const uint8_t* digits, int count, int exp);
  static const uint8_t* digits(const Decimal& d) { return d.m_; }
  static int length(const Decimal& d) { return d.len_; }
  static int exponent(const Decimal& d) { return d.exp_; }
};

}  // namespace ocisim
