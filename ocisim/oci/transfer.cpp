#include "transfer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/ora_error.h"
#include "engine/value/conversion.h"

namespace ocisim::oci {
namespace {

Decimal numberOf(const Value& v) {
  return v.isNumber() ? v.asNumber() : toNumber(v);
}

OraError overflow() {
  return OraError::withText(1455, "converting column overflows integer datatype");
}

void writeInteger(char* out, sb4 size, bool isUnsigned, const Decimal& number) {
  std::optional<int64_t> value = number.round(0).toInt64();
  if (!value) throw overflow();
  int64_t v = *value;
  auto fits = [&](int64_t lo, int64_t hi) {
    if (v < lo || v > hi) throw overflow();
  };
  switch (size) {
    case 1: {
      isUnsigned ? fits(0, 255) : fits(-128, 127);
      auto b = static_cast<int8_t>(v);
      std::memcpy(out, &b, 1);
      return;
    }
    case 2: {
      isUnsigned ? fits(0, 65535) : fits(-32768, 32767);
      auto s = static_cast<int16_t>(v);
      std::memcpy(out, &s, 2);
      return;
    }
    case 4: {
      isUnsigned ? fits(0, 4294967295LL) : fits(INT32_MIN, INT32_MAX);
      auto i = static_cast<int32_t>(v);
      std::memcpy(out, &i, 4);
      return;
    }
    case 8:
      if (isUnsigned && v < 0) throw overflow();
      std::memcpy(out, &v, 8);
      return;
    default:
      throw OraError::withText(
          932, "inconsistent datatypes: integer buffer of " + std::to_string(size) + " bytes");
  }
}

void writeFloat(char* out, sb4 size, const Decimal& number) {
  double d = number.toDouble();
  if (size == 8) {
    std::memcpy(out, &d, 8);
  } else if (size == 4) {
    auto f = static_cast<float>(d);
    std::memcpy(out, &f, 4);
  } else {
    throw OraError::withText(
        932, "inconsistent datatypes: float buffer of " + std::to_string(size) + " bytes");
  }
}

Value readInteger(const char* in, sb4 size, bool isUnsigned) {
  switch (size) {
    case 1: {
      int8_t s;
      std::memcpy(&s, in, 1);
      return Value::integer(isUnsigned ? int64_t{static_cast<uint8_t>(s)} : int64_t{s});
    }
    case 2: {
      int16_t s;
      std::memcpy(&s, in, 2);
      return Value::integer(isUnsigned ? int64_t{static_cast<uint16_t>(s)} : int64_t{s});
    }
    case 4: {
      int32_t s;
      std::memcpy(&s, in, 4);
      return Value::integer(isUnsigned ? int64_t{static_cast<uint32_t>(s)} : int64_t{s});
    }
    case 8: {
      if (isUnsigned) {
        uint64_t u;
        std::memcpy(&u, in, 8);
        return Value::number(*Decimal::parse(std::to_string(u)));
      }
      int64_t s;
      std::memcpy(&s, in, 8);
      return Value::integer(s);
    }
    default:
      throw OraError::withText(
          932, "inconsistent datatypes: integer buffer of " + std::to_string(size) + " bytes");
  }
}

Value readFloat(const char* in, sb4 size) {
  double d = 0;
  if (size == 8) {
    std::memcpy(&d, in, 8);
  } else if (size == 4) {
    float f;
    std::memcpy(&f, in, 4);
    d = f;
  } else {
    throw OraError::withText(
        932, "inconsistent datatypes: float buffer of " + std::to_string(size) + " bytes");
  }
  if (!std::isfinite(d)) throw OraError(1722);
  char text[64];
  std::snprintf(text, sizeof text, "%.17g", d);
  return Value::number(*Decimal::parse(text));
}

bool isNumericExternalType(ub2 dty) {
  return dty == SQLT_INT || dty == SQLT_UIN || dty == SQLT_FLT;
}

void writeNumeric(const ElementBuffers& b, ub2 dty, const Value& v) {
  Decimal number = numberOf(v);
  if (dty == SQLT_FLT)
    writeFloat(b.value, b.size, number);
  else
    writeInteger(b.value, b.size, dty == SQLT_UIN, number);
  if (b.indicator) *b.indicator = 0;
  if (b.length) *b.length = static_cast<ub2>(b.size);
  if (b.returnCode) *b.returnCode = 0;
}

// Copies text into a text buffer by the type's rules; returns the bytes of the value placed
// and whether it was cut.
inline size_t placeText(const ElementBuffers& b, ub2 dty, std::string_view text, bool* cut) {
  size_t size = b.size > 0 ? static_cast<size_t>(b.size) : 0;
  bool terminated = dty == SQLT_STR || dty == SQLT_AVC;
  size_t room = terminated ? (size > 0 ? size - 1 : 0) : size;
  size_t n = std::min(text.size(), room);
  *cut = text.size() > room;
  if (b.value != nullptr && size > 0) {
    std::memcpy(b.value, text.data(), n);
    if (terminated) b.value[n] = '\0';
    if (dty == SQLT_AFC && n < size) std::memset(b.value + n, ' ', size - n);
  }
  return dty == SQLT_AFC ? size : n;
}

}  // namespace

bool isTextExternalType(ub2 dty) {
  return dty == SQLT_STR || dty == SQLT_AVC || dty == SQLT_CHR || dty == SQLT_LNG ||
         dty == SQLT_AFC;
}

void checkExternalType(ub2 dty, sb4 size) {
  if (isTextExternalType(dty)) return;
  bool ok = ((dty == SQLT_INT || dty == SQLT_UIN) &&
             (size == 1 || size == 2 || size == 4 || size == 8)) ||
            (dty == SQLT_FLT && (size == 4 || size == 8));
  if (!ok) {
    throw OraError::withText(932, "inconsistent datatypes: external type " + std::to_string(dty) +
                                      " of " + std::to_string(size) +
                                      " bytes is not supported by ocisim");
  }
}

Value readBindValue(const ElementBuffers& b, ub2 dty) {
  if ((b.indicator != nullptr && *b.indicator == OCI_IND_NULL) || b.value == nullptr || b.size <= 0)
    return Value();
  switch (dty) {
    case SQLT_STR:
    case SQLT_AVC:
      return Value::text(std::string_view(b.value, strnlen(b.value, static_cast<size_t>(b.size))));
    case SQLT_CHR:
    case SQLT_LNG:
    case SQLT_AFC: {
      size_t n = b.length != nullptr ? std::min<size_t>(*b.length, static_cast<size_t>(b.size))
                                     : static_cast<size_t>(b.size);
      std::string_view text(b.value, n);
      return dty == SQLT_AFC ? Value::charText(text) : Value::text(text);
    }
    case SQLT_INT:
    case SQLT_UIN:
      return readInteger(b.value, b.size, dty == SQLT_UIN);
    case SQLT_FLT:
      return readFloat(b.value, b.size);
    default:
      throw OraError::withText(
          932, "inconsistent datatypes: unsupported external type " + std::to_string(dty));
  }
}

std::string textForClient(const Value& v, const NlsSettings& nls) {
  if (v.isNumber()) return v.asNumber().toString();  // OCI keeps fixed notation
  return toText(v, nls);
}

Placed writeDefineValue(const ElementBuffers& b, ub2 dty, const Value& v, const NlsSettings& nls) {
  if (v.isNull()) {
    if (b.indicator == nullptr) throw OraError(1405);
    *b.indicator = OCI_IND_NULL;
    if (b.returnCode) *b.returnCode = 1405;
    if (b.length) *b.length = 0;
    return Placed::Null;
  }
  if (isNumericExternalType(dty)) {
    writeNumeric(b, dty, v);
    return Placed::Value;
  }
  // Text is placed from the value itself, a number from a buffer; other kinds are rendered
  // first.
  std::string rendered;
  char digits[Decimal::kTextRoom];
  std::string_view text;
  if (v.isText()) {
    text = v.asText();
  } else if (v.isNumber()) {
    text = std::string_view(digits, static_cast<size_t>(v.asNumber().toChars(digits)));
  } else {
    rendered = textForClient(v, nls);
    text = rendered;
  }
  bool cut = false;
  size_t placed = placeText(b, dty, text, &cut);
  if (b.length) *b.length = static_cast<ub2>(std::min<size_t>(placed, 65535));
  if (b.indicator)
    *b.indicator = cut ? (text.size() > 32767 ? sb2{-2} : static_cast<sb2>(text.size())) : sb2{0};
  if (b.returnCode) *b.returnCode = cut ? 1406 : 0;
  return cut ? Placed::Truncated : Placed::Value;
}

void writeBindValue(const ElementBuffers& b, ub2 dty, const Value& v, const NlsSettings& nls) {
  if (v.isNull()) {
    if (b.indicator) *b.indicator = OCI_IND_NULL;
    if (isTextExternalType(dty) && b.value != nullptr && b.size > 0 && dty != SQLT_AFC)
      b.value[0] = '\0';
    if (b.length) *b.length = 0;
    if (b.returnCode) *b.returnCode = 1405;
    return;
  }
  if (b.value == nullptr || b.size <= 0) return;  // an IN-only bind without room
  if (isNumericExternalType(dty)) {
    writeNumeric(b, dty, v);
    return;
  }
  std::string text = textForClient(v, nls);
  bool cut = false;
  size_t placed = placeText(b, dty, text, &cut);
  if (cut) {
    throw OraError::withText(6502,
                             "PL/SQL: numeric or value error: character string buffer too small");
  }
  if (b.length) *b.length = static_cast<ub2>(std::min<size_t>(placed, 65535));
  if (b.indicator) *b.indicator = 0;
  if (b.returnCode) *b.returnCode = 0;
}

}  // namespace ocisim::oci
