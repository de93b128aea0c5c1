// Conditional and conversion functions: DECODE NVL NVL2 COALESCE NULLIF GREATEST LEAST TO_CHAR
// TO_NUMBER TO_DATE TO_TIMESTAMP HEXTORAW RAWTOHEX ORA_HASH USER.
#include <algorithm>
#include <string>

#include "engine/ora_error.h"
#include "engine/value/conversion.h"
#include "engine/value/format.h"
#include "engine/value/functions_internal.h"
#include "engine/value/value_ops.h"

namespace ocisim {
namespace {

// Converts v to the kind of `model` (DECODE, GREATEST and LEAST convert their operands to the
// type of the first one). Text results are VARCHAR2.
Value convertLike(const Value& v, ValueKind model, const FunctionContext& ctx) {
  if (v.isNull()) return v;
  switch (model) {
    case ValueKind::Number: return toNumberValue(v);
    case ValueKind::Date:
    case ValueKind::Timestamp: return v.isDatetime() ? v : Value::date(toDate(v, nlsOf(ctx)));
    case ValueKind::Binary: return v.isBinary() ? v : Value::binary(hexToRaw(textArg(v, ctx)));
    default: return Value::text(textArg(v, ctx));
  }
}

// DECODE compares in the type of the first search value (the expression's when that is NULL);
// text compares without blank padding and two NULLs are equal. The result takes the type of
// the first result (text when that is NULL).
Value decodeFn(const Args& a, const FunctionContext& ctx) {
  const Value& expr = a[0];
  ValueKind compareKind = a[1].isNull() ? expr.kind() : a[1].kind();
  Value key = convertLike(expr, compareKind, ctx);
  std::size_t pairs = (a.size() - 1) / 2;
  const Value* result = nullptr;
  for (std::size_t i = 0; i < pairs && !result; ++i) {
    const Value& search = a[1 + 2 * i];
    if (key.isNull() || search.isNull()) {
      if (key.isNull() && search.isNull()) result = &a[2 + 2 * i];
      continue;
    }
    if (sortCompare(key, convertLike(search, compareKind, ctx)) == 0) result = &a[2 + 2 * i];
  }
  if (!result && a.size() % 2 == 0) result = &a.back();
  if (!result) return Value();
  ValueKind resultKind = a[2].isNull() ? ValueKind::Text : a[2].kind();
  return convertLike(*result, resultKind, ctx);
}

Value nvlFn(const Args& a, const FunctionContext&) { return a[0].isNull() ? a[1] : a[0]; }
Value nvl2Fn(const Args& a, const FunctionContext&) { return a[0].isNull() ? a[2] : a[1]; }

Value coalesceFn(const Args& a, const FunctionContext&) {
  for (const Value& v : a) {
    if (!v.isNull()) return v;
  }
  return Value();
}

Value nullifFn(const Args& a, const FunctionContext& ctx) {
  if (a[0].isNull()) return Value();
  if (!a[1].isNull() && compareValues(a[0], a[1], nlsOf(ctx)) == 0) return Value();
  return a[0];
}

// GREATEST / LEAST: NULL when any argument is NULL; the others are converted to the type of
// the first (a number first converts text arguments to numbers).
Value extremeFn(const Args& a, const FunctionContext& ctx, bool greatest) {
  if (anyNull(a)) return Value();
  ValueKind kind = a[0].kind();
  Value best = a[0].isText() ? a[0] : convertLike(a[0], kind, ctx);
  for (std::size_t i = 1; i < a.size(); ++i) {
    Value v = a[i].isText() && kind == ValueKind::Text ? a[i] : convertLike(a[i], kind, ctx);
    int c = compareValues(v, best, nlsOf(ctx));
    if (greatest ? c > 0 : c < 0) best = v;
  }
  if (best.isCharText()) return Value::text(best.asText());
  return best;
}

Value greatestFn(const Args& a, const FunctionContext& ctx) { return extremeFn(a, ctx, true); }
Value leastFn(const Args& a, const FunctionContext& ctx) { return extremeFn(a, ctx, false); }

Value toCharFn(const Args& a, const FunctionContext& ctx) {
  if (anyNull(a)) return Value();
  const Value& v = a[0];
  if (a.size() == 1) return v.isText() ? Value::text(v.asText()) : Value::text(textArg(v, ctx));
  std::string converted;
  const std::string_view fmt = a[1].isText() ? a[1].asText() : (converted = textArg(a[1], ctx));
  if (v.isDatetime()) return dateText(v.asDateTime(), fmt, v.isTimestamp());
  return Value::text(formatNumber(toNumber(v), fmt));
}

Value toNumberFn(const Args& a, const FunctionContext& ctx) {
  if (anyNull(a)) return Value();
  if (a.size() == 1 || a[0].isNumber()) return toNumberValue(a[0]);
  return Value::number(parseNumber(textArg(a[0], ctx), textArg(a[1], ctx)));
}

// TO_DATE of a DATE goes through its text in NLS_DATE_FORMAT, as Oracle's does (so the time is
// lost with the default format).
DateTime parseWith(const Args& a, const FunctionContext& ctx, bool timestamp) {
  const NlsSettings& nls = nlsOf(ctx);
  std::string text = textArg(a[0], ctx);
  std::string fmt = a.size() > 1 ? textArg(a[1], ctx)
                                 : (timestamp ? nls.timestampFormat : nls.dateFormat);
  return parseDate(text, fmt, ctx.sysdate, timestamp);
}

Value toDateFn(const Args& a, const FunctionContext& ctx) {
  if (anyNull(a)) return Value();
  return Value::date(parseWith(a, ctx, false));
}

Value toTimestampFn(const Args& a, const FunctionContext& ctx) {
  if (anyNull(a)) return Value();
  if (a[0].isDatetime() && a.size() == 1) return Value::timestamp(a[0].asDateTime());
  return Value::timestamp(parseWith(a, ctx, true));
}

Value hexToRawFn(const Args& a, const FunctionContext& ctx) {
  if (anyNull(a)) return Value();
  if (a[0].isBinary()) return a[0];
  return Value::binary(hexToRaw(textArg(a[0], ctx)));
}

Value rawToHexFn(const Args& a, const FunctionContext& ctx) {
  if (anyNull(a)) return Value();
  if (a[0].isBinary()) return Value::text(rawToHex(a[0].asText()));
  return Value::text(rawToHex(textArg(a[0], ctx)));
}

// ORA_HASH: a deterministic 32-bit hash (FNV-1a over a canonical form of the value, then mixed
// with the seed), reduced to 0..max_bucket.
Value oraHashFn(const Args& a, const FunctionContext&) {
  if (a[0].isNull()) return Value::integer(0);
  uint64_t maxBucket = 4294967295u, seed = 0;
  if (a.size() > 1) {
    if (a[1].isNull()) return Value();
    int64_t m = intArg(a[1]);
    if (m < 0 || m > 4294967295LL) throw OraError(1428, {std::to_string(m)});
    maxBucket = static_cast<uint64_t>(m);
  }
  if (a.size() > 2) {
    if (a[2].isNull()) return Value();
    int64_t s = intArg(a[2]);
    if (s < 0 || s > 4294967295LL) throw OraError(1428, {std::to_string(s)});
    seed = static_cast<uint64_t>(s);
  }
  std::string canonical = std::to_string(static_cast<int>(a[0].kind())) + ":";
  if (a[0].isNumber()) canonical += a[0].asNumber().toString();
  else if (a[0].isDatetime()) canonical += std::to_string(a[0].asDateTime().secondsSinceEpoch());
  else canonical += std::string(a[0].asText());
  uint32_t h = 2166136261u ^ static_cast<uint32_t>(seed * 2654435761u);
  for (unsigned char c : canonical) h = (h ^ c) * 16777619u;
  h ^= h >> 15;
  h *= 0x2c1b3c6du;
  h ^= h >> 12;
  return Value::integer(static_cast<int64_t>(h % (maxBucket + 1)));
}

Value userFn(const Args&, const FunctionContext& ctx) { return Value::text(ctx.user); }

DataType textOf(const DataType& t) {
  if (t.code == TypeCode::Char) return DataType::varchar2(t.length);
  if (t.code == TypeCode::Varchar2 && t.length == 0) return DataType::varchar2(1);
  return t;
}

DataType decodeType(const std::vector<DataType>& t) {
  if (t.size() < 3) return DataType::varchar2(4000);
  const DataType& first = t[2];
  if (first.isNumeric() || first.isDatetime() || first.isBinary()) return first;
  int len = 0;
  for (std::size_t i = 2; i < t.size(); i += 2) len = std::max(len, textLength(t[i]));
  if (t.size() % 2 == 0) len = std::max(len, textLength(t.back()));
  return DataType::varchar2(std::max(1, len));
}

DataType firstNonNullType(const std::vector<DataType>& t, std::size_t from) {
  for (std::size_t i = from; i < t.size(); ++i) {
    if (!(t[i].code == TypeCode::Varchar2 && t[i].length == 0)) {
      if (!t[i].isCharacter()) return t[i];
      int len = 0;
      for (std::size_t j = from; j < t.size(); ++j) len = std::max(len, textLength(t[j]));
      return DataType::varchar2(len);
    }
  }
  return DataType::varchar2(1);
}

DataType nvlType(const std::vector<DataType>& t) { return firstNonNullType(t, 0); }
DataType nvl2Type(const std::vector<DataType>& t) { return firstNonNullType(t, 1); }
DataType firstArgType(const std::vector<DataType>& t) { return textOf(t[0]); }
DataType toCharType(const std::vector<DataType>& t) {
  if (t.empty()) return DataType::varchar2(4000);
  if (t[0].isCharacter()) return DataType::varchar2(textLength(t[0]));
  return DataType::varchar2(t[0].isDatetime() ? 75 : 64);
}
DataType timestampType(const std::vector<DataType>&) { return DataType::timestamp(); }
DataType rawType(const std::vector<DataType>& t) {
  return DataType::raw(t.empty() ? 2000 : std::max(1, textLength(t[0]) / 2));
}
DataType hexType(const std::vector<DataType>& t) {
  return DataType::varchar2(t.empty() ? 4000 : std::min(4000, 2 * textLength(t[0])));
}
DataType userType(const std::vector<DataType>&) { return DataType::varchar2(30); }

}  // namespace

const FunctionEntry kGeneralFunctions[] = {
    {"DECODE", 3, 255, decodeFn, decodeType},
    {"NVL", 2, 2, nvlFn, nvlType},
    {"NVL2", 3, 3, nvl2Fn, nvl2Type},
    {"COALESCE", 1, -1, coalesceFn, nvlType},
    {"NULLIF", 2, 2, nullifFn, firstArgType},
    {"GREATEST", 1, -1, greatestFn, firstArgType},
    {"LEAST", 1, -1, leastFn, firstArgType},
    {"TO_CHAR", 1, 3, toCharFn, toCharType},
    {"TO_NUMBER", 1, 3, toNumberFn, numberType},
    {"TO_DATE", 1, 3, toDateFn, dateType},
    {"TO_TIMESTAMP", 1, 3, toTimestampFn, timestampType},
    {"HEXTORAW", 1, 1, hexToRawFn, rawType},
    {"RAWTOHEX", 1, 1, rawToHexFn, hexType},
    {"ORA_HASH", 1, 3, oraHashFn, numberType},
    {"USER", 0, 0, userFn, userType},
    {nullptr, 0, 0, nullptr, nullptr},
};

}  // namespace ocisim
