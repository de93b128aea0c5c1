// Number and date functions: ABS SIGN FLOOR CEIL MOD ROUND TRUNC POWER SQRT ADD_MONTHS LAST_DAY
// MONTHS_BETWEEN SYSDATE.
#include <cmath>
#include <string>

#include "engine/ora_error.h"
#include "engine/value/conversion.h"
#include "engine/value/functions_internal.h"

namespace ocisim {
namespace {

Decimal num(const Value& v) { return toNumber(v); }

Value absFn(const Args& a, const FunctionContext&) {
  return a[0].isNull() ? Value() : Value::number(num(a[0]).abs());
}
Value signFn(const Args& a, const FunctionContext&) {
  return a[0].isNull() ? Value() : Value::integer(num(a[0]).sign());
}
Value floorFn(const Args& a, const FunctionContext&) {
  return a[0].isNull() ? Value() : Value::number(num(a[0]).floor());
}
Value ceilFn(const Args& a, const FunctionContext&) {
  return a[0].isNull() ? Value() : Value::number(num(a[0]).ceil());
}
Value modFn(const Args& a, const FunctionContext&) {
  return anyNull(a) ? Value() : Value::number(num(a[0]).mod(num(a[1])));
}

int scaleArg(const Args& a) {
  if (a.size() < 2) return 0;
  int64_t s = intArg(a[1]);
  return static_cast<int>(s < -200 ? -200 : s > 200 ? 200 : s);
}

// ROUND and TRUNC take a number and a scale, or a date and a format.
Value roundTruncFn(const Args& a, const FunctionContext& ctx, bool round) {
  if (anyNull(a)) return Value();
  if (a[0].isDatetime()) {
    std::string fmt = a.size() > 1 ? textArg(a[1], ctx) : "DD";
    const DateTime& d = a[0].asDateTime();
    return Value::date(round ? d.roundTo(fmt) : d.truncTo(fmt));
  }
  Decimal n = num(a[0]);
  int scale = scaleArg(a);
  return Value::number(round ? n.round(scale) : n.trunc(scale));
}

Value roundFn(const Args& a, const FunctionContext& ctx) { return roundTruncFn(a, ctx, true); }
Value truncFn(const Args& a, const FunctionContext& ctx) { return roundTruncFn(a, ctx, false); }

Decimal integerPower(Decimal base, int64_t exponent) {
  bool invert = exponent < 0;
  uint64_t e = invert ? 0 - static_cast<uint64_t>(exponent) : static_cast<uint64_t>(exponent);
  Decimal result = Decimal::fromInt64(1);
  while (e > 0) {
    if (e & 1) result = result * base;
    e >>= 1;
    if (e > 0) base = base * base;
  }
  return invert ? Decimal::fromInt64(1) / result : result;
}

Decimal sqrtDecimal(const Decimal& x) {
  if (x.isZero()) return x;
  // Newton's iteration from a double estimate; each step doubles the correct digits.
  Decimal guess = Decimal::fromDouble(std::sqrt(x.toDouble()));
  if (guess.isZero()) guess = Decimal::fromInt64(1);
  Decimal two = Decimal::fromInt64(2);
  for (int i = 0; i < 8; ++i) {
    Decimal next = (guess + x / guess) / two;
    if (next == guess) break;
    guess = next;
  }
  return guess;
}

Value powerFn(const Args& a, const FunctionContext&) {
  if (anyNull(a)) return Value();
  Decimal base = num(a[0]), exponent = num(a[1]);
  if (auto e = exponent.toInt64()) {
    if (base.isZero() && *e < 0) throw OraError(1428, {exponent.toString()});
    return Value::number(integerPower(base, *e));
  }
  if (base.isNegative()) throw OraError(1428, {base.toString()});
  if (base.isZero()) return Value::integer(0);
  double r = std::pow(base.toDouble(), exponent.toDouble());
  if (!std::isfinite(r)) throw OraError(1426);
  return Value::number(Decimal::fromDouble(r));
}

Value sqrtFn(const Args& a, const FunctionContext&) {
  if (a[0].isNull()) return Value();
  Decimal x = num(a[0]);
  if (x.isNegative()) throw OraError(1428, {x.toString()});
  return Value::number(sqrtDecimal(x));
}

DateTime dateArg(const Value& v, const FunctionContext& ctx) { return toDate(v, nlsOf(ctx)); }

Value addMonthsFn(const Args& a, const FunctionContext& ctx) {
  if (anyNull(a)) return Value();
  return Value::date(dateArg(a[0], ctx).addMonths(intArg(a[1])));
}

Value lastDayFn(const Args& a, const FunctionContext& ctx) {
  if (anyNull(a)) return Value();
  return Value::date(dateArg(a[0], ctx).lastDay());
}

// Whole months when both days are the same day of the month or both are last days; otherwise
// the difference of the days (with their times) counts in 31sts of a month.
Value monthsBetweenFn(const Args& a, const FunctionContext& ctx) {
  if (anyNull(a)) return Value();
  DateTime x = dateArg(a[0], ctx), y = dateArg(a[1], ctx);
  auto monthIndex = [](const DateTime& d) {
    return int64_t{d.year < 0 ? d.year + 1 : d.year} * 12 + d.month;
  };
  Decimal months = Decimal::fromInt64(monthIndex(x) - monthIndex(y));
  bool xLast = x.day == DateTime::daysInMonth(x.year, x.month);
  bool yLast = y.day == DateTime::daysInMonth(y.year, y.month);
  if (x.day == y.day || (xLast && yLast)) return Value::number(months);
  int64_t xs = x.day * 86400 + x.hour * 3600 + x.minute * 60 + x.second;
  int64_t ys = y.day * 86400 + y.hour * 3600 + y.minute * 60 + y.second;
  Decimal fraction = Decimal::fromInt64(xs - ys) / Decimal::fromInt64(31 * 86400);
  return Value::number(months + fraction);
}

Value sysdateFn(const Args&, const FunctionContext& ctx) { return Value::date(ctx.sysdate); }

DataType roundTruncType(const std::vector<DataType>& t) {
  return !t.empty() && t[0].isDatetime() ? DataType::date() : DataType::number();
}

}  // namespace

const FunctionEntry kNumberDateFunctions[] = {
    {"ABS", 1, 1, absFn, numberType},
    {"SIGN", 1, 1, signFn, numberType},
    {"FLOOR", 1, 1, floorFn, numberType},
    {"CEIL", 1, 1, ceilFn, numberType},
    {"MOD", 2, 2, modFn, numberType},
    {"ROUND", 1, 2, roundFn, roundTruncType},
    {"TRUNC", 1, 2, truncFn, roundTruncType},
    {"POWER", 2, 2, powerFn, numberType},
    {"SQRT", 1, 1, sqrtFn, numberType},
    {"ADD_MONTHS", 2, 2, addMonthsFn, dateType},
    {"LAST_DAY", 1, 1, lastDayFn, dateType},
    {"MONTHS_BETWEEN", 2, 2, monthsBetweenFn, numberType},
    {"SYSDATE", 0, 0, sysdateFn, dateType},
    {nullptr, 0, 0, nullptr, nullptr},
};

}  // namespace ocisim
