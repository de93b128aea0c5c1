// TO_CHAR(date, fmt): renders a DateTime through a date format model.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/ora_error.h"
#include "engine/value/format.h"
#include "engine/value/format_internal.h"
#include "engine/value/value.h"

namespace ocisim {
namespace {

constexpr std::size_t kNumericDateRoom = 96;

const char* const kRomanMonths[12] = {"I",   "II", "III", "IV", "V",  "VI",
                                      "VII", "VIII", "IX", "X",  "XI", "XII"};

// Appends the value in decimal, zero-padded to `width` characters (the sign included) unless
// FM, as printf's "%0*lld" gives it. Every date element of TO_CHAR comes through here.
void appendPadded(std::string& out, int64_t value, int width, bool fill) {
  char digits[24];
  int count = 0;
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) out += '-';
  const int zeros = (fill ? width : 1) - count - (value < 0 ? 1 : 0);
  if (zeros > 0) out.append(static_cast<std::size_t>(zeros), '0');
  while (count > 0) out += digits[--count];
}

std::string padded(int64_t value, int width, bool fill) {
  std::string out;
  appendPadded(out, value, width, fill);
  return out;
}

int isoWeek(const DateTime& d) {
  DateTime start = d.truncTo("IYYY");
  return static_cast<int>((d.secondsSinceEpoch() - start.secondsSinceEpoch()) / 86400 / 7) + 1;
}

int isoYear(const DateTime& d) {
  DateTime start = d.truncTo("IYYY");
  return start.month == 12 ? start.year + 1 : start.year;
}

struct Renderer {
  const DateTime& dt;
  bool isTimestamp;
  bool fill = true;  // FM toggles it off: no leading zeros, no trailing blanks
  std::string out;

  int absYear() const { return dt.year < 0 ? -dt.year : dt.year; }

  // A numeric element: value, width with zero fill, TH and SP suffixes.
  void number(const DateToken& t, int64_t value, int width) {
    if (t.sp) {
      out += applyCase(t.th ? spellOrdinal(value) : spellNumber(value), t.letterCase);
      return;
    }
    appendPadded(out, value, width, fill);
    if (t.th) out += applyCase(ordinalSuffix(value), t.thCase);
  }

  // A name element, padded to `width` with blanks unless FM.
  void name(const DateToken& t, const std::string& upper, std::size_t width) {
    std::string text = applyCase(upper, t.letterCase);
    if (fill && text.size() < width) text.append(width - text.size(), ' ');
    out += text;
  }

  void render(const DateToken& t);
};

void Renderer::render(const DateToken& t) {
  int hour12 = dt.hour % 12 == 0 ? 12 : dt.hour % 12;
  switch (t.element) {
    case DateElement::Literal: out += t.literal; break;
    case DateElement::Fm: fill = !fill; break;
    case DateElement::Fx: break;
    case DateElement::YCommaYYY: {
      std::string y = padded(absYear(), 4, fill);
      out += y.size() > 3 ? y.substr(0, y.size() - 3) + "," + y.substr(y.size() - 3) : y;
      break;
    }
    case DateElement::SYYYY: out += dt.year < 0 ? "-" : (fill ? " " : ""); [[fallthrough]];
    case DateElement::YYYY:
    case DateElement::RRRR: number(t, absYear(), 4); break;
    case DateElement::YYY: number(t, absYear() % 1000, 3); break;
    case DateElement::YY:
    case DateElement::RR: number(t, absYear() % 100, 2); break;
    case DateElement::Y: number(t, absYear() % 10, 1); break;
    case DateElement::IYYY: number(t, isoYear(dt), 4); break;
    case DateElement::IYY: number(t, isoYear(dt) % 1000, 3); break;
    case DateElement::IY: number(t, isoYear(dt) % 100, 2); break;
    case DateElement::I: number(t, isoYear(dt) % 10, 1); break;
    case DateElement::SYEAR: out += dt.year < 0 ? "-" : " "; [[fallthrough]];
    case DateElement::YEAR: out += applyCase(spellYear(dt.year), t.letterCase); break;
    case DateElement::BC: {
      std::string text = dt.year < 0 ? (t.dots ? "B.C." : "BC") : (t.dots ? "A.D." : "AD");
      out += applyCase(text, t.letterCase);
      break;
    }
    case DateElement::SCC: out += dt.year < 0 ? "-" : (fill ? " " : ""); [[fallthrough]];
    case DateElement::CC: number(t, (absYear() - 1) / 100 + 1, 2); break;
    case DateElement::Q: number(t, (dt.month - 1) / 3 + 1, 1); break;
    case DateElement::MM: number(t, dt.month, 2); break;
    case DateElement::MONTH: name(t, kMonthNames[dt.month - 1], 9); break;
    case DateElement::MON: name(t, std::string(kMonthNames[dt.month - 1]).substr(0, 3), 3); break;
    case DateElement::RM: name(t, kRomanMonths[dt.month - 1], 4); break;
    case DateElement::WW: number(t, (dt.dayOfYear() - 1) / 7 + 1, 2); break;
    case DateElement::IW: number(t, isoWeek(dt), 2); break;
    case DateElement::W: number(t, (dt.day - 1) / 7 + 1, 1); break;
    case DateElement::DDD: number(t, dt.dayOfYear(), 3); break;
    case DateElement::DD: number(t, dt.day, 2); break;
    case DateElement::DAY: name(t, kDayNames[dt.dayOfWeek() - 1], 9); break;
    case DateElement::DY: name(t, std::string(kDayNames[dt.dayOfWeek() - 1]).substr(0, 3), 3); break;
    case DateElement::D: number(t, dt.dayOfWeek(), 1); break;
    case DateElement::J: number(t, dt.julianDay(), 7); break;
    case DateElement::HH24: number(t, dt.hour, 2); break;
    case DateElement::HH12: number(t, hour12, 2); break;
    case DateElement::MI: number(t, dt.minute, 2); break;
    case DateElement::SSSSS: number(t, dt.hour * 3600 + dt.minute * 60 + dt.second, 5); break;
    case DateElement::SS: number(t, dt.second, 2); break;
    case DateElement::AM: {
      bool pm = dt.hour >= 12;
      std::string text = t.dots ? (pm ? "P.M." : "A.M.") : (pm ? "PM" : "AM");
      out += applyCase(text, t.letterCase);
      break;
    }
    case DateElement::FF: {
      if (!isTimestamp) throw OraError(1821);
      int digits = t.fractionDigits == 0 ? 6 : t.fractionDigits;
      std::string frac = padded(dt.nanos, 9, true).substr(0, static_cast<std::size_t>(digits));
      out += frac;
      break;
    }
    case DateElement::X: out += '.'; break;
  }
}

// The common numeric formats ('YYYY-MM-DD HH24:MI:SS' and the like: zero-filled numbers and
// literals, no FM, suffixes or names) have a fixed width: the text is a pattern holding the
// literals, with each field's digits written at its place.
struct NumericDate {
  enum Field : char { kYear, kMonth, kDay, kHour, kMinute, kSecond };
  std::string pattern;
  std::vector<std::pair<Field, uint8_t>> fields;  // the field and its offset in the pattern
};

// The pattern of a format, or false when the format needs the general renderer.
bool compileNumericDate(const std::vector<DateToken>& tokens, NumericDate* out) {
  out->pattern.clear();
  out->fields.clear();
  for (const DateToken& t : tokens) {
    if (t.th || t.sp) return false;
    NumericDate::Field field;
    switch (t.element) {
      case DateElement::Literal: out->pattern += t.literal; continue;
      case DateElement::YYYY:
      case DateElement::RRRR: field = NumericDate::kYear; break;
      case DateElement::MM: field = NumericDate::kMonth; break;
      case DateElement::DD: field = NumericDate::kDay; break;
      case DateElement::HH24: field = NumericDate::kHour; break;
      case DateElement::MI: field = NumericDate::kMinute; break;
      case DateElement::SS: field = NumericDate::kSecond; break;
      default: return false;
    }
    if (out->pattern.size() > kNumericDateRoom - 4) return false;
    out->fields.emplace_back(field, static_cast<uint8_t>(out->pattern.size()));
    out->pattern.append(field == NumericDate::kYear ? 4 : 2, '0');
  }
  return out->pattern.size() <= kNumericDateRoom;
}

// The pattern of a format through a small per-thread cache (the same format on every row);
// nullptr when the format is not a numeric one. A bad format throws as tokenizing it does.
const NumericDate* cachedNumericDate(std::string_view format) {
  struct Entry {
    std::string format;
    NumericDate compiled;
    bool numeric = false;
    bool used = false;
  };
  constexpr std::size_t kEntries = 4;
  thread_local Entry cache[kEntries];
  thread_local std::size_t next = 0;
  for (Entry& e : cache) {
    if (e.used && e.format == format) return e.numeric ? &e.compiled : nullptr;
  }
  Entry& slot = cache[next];
  next = (next + 1) % kEntries;
  slot.used = false;
  slot.numeric = compileNumericDate(cachedDateTokens(format), &slot.compiled);
  slot.format = std::string(format);
  slot.used = true;
  return slot.numeric ? &slot.compiled : nullptr;
}

// Renders a numeric format; false (nothing usable written) for a year past 9999.
bool renderNumericDate(const DateTime& dt, const NumericDate& format,
                       char (&buffer)[kNumericDateRoom], std::size_t* length) {
  static const char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  const int year = dt.year < 0 ? -dt.year : dt.year;
  if (year > 9999) return false;
  format.pattern.copy(buffer, format.pattern.size());
  const auto put2 = [&](std::size_t at, int value) {
    buffer[at] = kPairs[2 * value];
    buffer[at + 1] = kPairs[2 * value + 1];
  };
  for (const auto& [field, offset] : format.fields) {
    switch (field) {
      case NumericDate::kYear:
        put2(offset, year / 100);
        put2(offset + 2u, year % 100);
        break;
      case NumericDate::kMonth: put2(offset, dt.month % 100); break;
      case NumericDate::kDay: put2(offset, dt.day % 100); break;
      case NumericDate::kHour: put2(offset, dt.hour % 100); break;
      case NumericDate::kMinute: put2(offset, dt.minute % 100); break;
      case NumericDate::kSecond: put2(offset, dt.second % 100); break;
    }
  }
  *length = format.pattern.size();
  return true;
}

}  // namespace

std::string formatDate(const DateTime& dt, std::string_view format, bool isTimestamp) {
  char buffer[kNumericDateRoom];
  std::size_t length = 0;
  const NumericDate* numeric = cachedNumericDate(format);
  if (numeric && renderNumericDate(dt, *numeric, buffer, &length)) {
    return std::string(buffer, length);
  }
  Renderer r{dt, isTimestamp, true, {}};
  for (const DateToken& t : cachedDateTokens(format)) r.render(t);
  return r.out;
}

Value dateText(const DateTime& dt, std::string_view format, bool isTimestamp) {
  char buffer[kNumericDateRoom];
  std::size_t length = 0;
  const NumericDate* numeric = cachedNumericDate(format);
  if (numeric && renderNumericDate(dt, *numeric, buffer, &length)) {
    return Value::text(std::string_view(buffer, length));
  }
  return Value::text(formatDate(dt, format, isTimestamp));
}

}  // namespace ocisim
