// TO_DATE(text, fmt): reads a DateTime through a date format model, with Oracle's lenient
// matching unless FX is given: punctuation in the format matches any punctuation in the input
// or none, numbers may omit leading zeros, YY and RR accept four digits, MM accepts a month name,
// and input that ends early leaves the remaining fields at their defaults.
#include <cctype>
#include <optional>
#include <set>
#include <string>

#include "engine/ora_error.h"
#include "engine/value/format.h"
#include "engine/value/format_internal.h"

namespace ocisim {
namespace {

bool isNumericElement(DateElement e) {
  switch (e) {
    case DateElement::Literal:
    case DateElement::Fm:
    case DateElement::Fx:
    case DateElement::SYEAR:
    case DateElement::YEAR:
    case DateElement::BC:
    case DateElement::MONTH:
    case DateElement::MON:
    case DateElement::RM:
    case DateElement::DAY:
    case DateElement::DY:
    case DateElement::AM:
    case DateElement::X: return false;
    default: return true;
  }
}

struct Fields {
  std::optional<int> year, yy, rr, yyy, y, month, day, dayOfYear;
  std::optional<int> hour24, hour12, minute, second, secondsOfDay;
  std::optional<int64_t> julian;
  std::optional<bool> pm, bc;
  uint32_t nanos = 0;
};

class DateParser {
 public:
  DateParser(std::string_view in, const DateTime& ref, bool allowFraction)
      : in_(in), ref_(ref), allowFraction_(allowFraction) {}

  DateTime run(const std::vector<DateToken>& tokens);

 private:
  bool atEnd() const { return pos_ >= in_.size(); }
  void skipBlanks() {
    while (!fx_ && pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
  }
  std::size_t digitRun() const {
    std::size_t n = 0;
    while (pos_ + n < in_.size() && std::isdigit(static_cast<unsigned char>(in_[pos_ + n]))) ++n;
    return n;
  }
  std::optional<int64_t> readNumber(std::size_t width, bool allowSign = false);
  int readName(const char* const* names, int count, std::size_t abbrev, int error);
  bool matchWord(std::string_view word);
  void literal(const DateToken& t);
  void element(const DateToken& t, const DateToken* next);
  bool numericField(const DateToken& t);
  void shortYear(const DateToken& t, bool nextNumeric);
  void month(const DateToken& t);
  void fraction(const DateToken& t);
  DateTime assemble() const;

  std::string_view in_;
  std::size_t pos_ = 0;
  const DateTime& ref_;
  bool allowFraction_;
  bool fx_ = false;
  bool fm_ = false;
  bool ended_ = false;
  Fields f_;
};

std::optional<int64_t> DateParser::readNumber(std::size_t width, bool allowSign) {
  skipBlanks();
  if (atEnd()) {
    ended_ = true;
    return std::nullopt;
  }
  bool negative = false;
  if (allowSign && (in_[pos_] == '-' || in_[pos_] == '+')) negative = in_[pos_++] == '-';
  std::size_t n = std::min(digitRun(), width);
  if (n == 0) throw OraError(1858);
  if (fx_ && !fm_ && n != width) throw OraError(1862);
  int64_t v = 0;
  for (std::size_t i = 0; i < n; ++i) v = v * 10 + (in_[pos_ + i] - '0');
  pos_ += n;
  return negative ? -v : v;
}

bool DateParser::matchWord(std::string_view word) {
  if (in_.size() - pos_ < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(in_[pos_ + i])) != word[i]) return false;
  }
  pos_ += word.size();
  return true;
}

// Full names first, then their first `abbrev` letters. Returns the index or throws `error`.
int DateParser::readName(const char* const* names, int count, std::size_t abbrev, int error) {
  skipBlanks();
  if (atEnd()) {
    ended_ = true;
    return -1;
  }
  for (int i = 0; i < count; ++i) {
    if (matchWord(names[i])) return i;
  }
  for (int i = 0; i < count; ++i) {
    if (matchWord(std::string_view(names[i]).substr(0, abbrev))) return i;
  }
  throw OraError(error);
}

void DateParser::literal(const DateToken& t) {
  if (t.quoted) {
    if (atEnd()) return;
    std::string upper;
    for (char c : t.literal) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (!matchWord(upper)) throw OraError(1861);
    return;
  }
  for (char c : t.literal) {
    if (atEnd()) return;
    char got = in_[pos_];
    if (fx_) {
      if (got != c) throw OraError(1861);
      ++pos_;
    } else if (!std::isalnum(static_cast<unsigned char>(got))) {
      ++pos_;  // any punctuation matches; an omitted one is fine too
    }
  }
}

// Numeric fields read into one slot with a range check.
struct NumericField {
  DateElement element;
  std::size_t width;
  int min, max;
  int error;  // ORA code when out of range
  std::optional<int> Fields::*slot;  // null: read and checked, then ignored (D)
};

const NumericField kNumericFields[] = {
    {DateElement::YYYY, 4, 0, 9999, 1841, &Fields::year},
    {DateElement::RRRR, 4, 0, 9999, 1841, &Fields::year},
    {DateElement::YYY, 3, 0, 999, 1841, &Fields::yyy},
    {DateElement::Y, 1, 0, 9, 1841, &Fields::y},
    {DateElement::DDD, 3, 1, 366, 1848, &Fields::dayOfYear},
    {DateElement::DD, 2, 1, 31, 1847, &Fields::day},
    {DateElement::D, 1, 1, 7, 1846, nullptr},
    {DateElement::HH24, 2, 0, 23, 1850, &Fields::hour24},
    {DateElement::HH12, 2, 1, 12, 1849, &Fields::hour12},
    {DateElement::MI, 2, 0, 59, 1851, &Fields::minute},
    {DateElement::SS, 2, 0, 59, 1852, &Fields::second},
    {DateElement::SSSSS, 5, 0, 86399, 1853, &Fields::secondsOfDay},
};

const char* const kEras[] = {"B.C.", "BC", "A.D.", "AD"};
const char* const kMeridians[] = {"A.M.", "AM", "P.M.", "PM"};
const char* const kRomanMonths[] = {"XII", "XI", "X",   "IX", "VIII", "VII",
                                    "VI",  "V",  "IV", "III", "II",   "I"};

bool DateParser::numericField(const DateToken& t) {
  for (const NumericField& f : kNumericFields) {
    if (f.element != t.element) continue;
    auto v = readNumber(f.width);
    if (v && (*v < f.min || *v > f.max)) throw OraError(f.error);
    if (v && f.slot) f_.*f.slot = static_cast<int>(*v);
    return true;
  }
  return false;
}

// YY and RR take four digits (a full year) unless another number follows directly (YYMMDD).
void DateParser::shortYear(const DateToken& t, bool nextNumeric) {
  std::size_t before = pos_;
  auto v = readNumber(nextNumeric ? 2 : 4);
  if (!v) return;
  if (pos_ - before > 2) f_.year = static_cast<int>(*v);
  else (t.element == DateElement::YY ? f_.yy : f_.rr) = static_cast<int>(*v);
}

void DateParser::month(const DateToken& t) {
  skipBlanks();
  bool letters = !atEnd() && std::isalpha(static_cast<unsigned char>(in_[pos_]));
  if (t.element == DateElement::MM && !letters) {
    auto v = readNumber(2);
    if (v && (*v < 1 || *v > 12)) throw OraError(1843);
    if (v) f_.month = static_cast<int>(*v);
    return;
  }
  if (t.element == DateElement::RM) {
    int i = readName(kRomanMonths, 12, 4, 1843);
    if (i >= 0) f_.month = 12 - i;
    return;
  }
  int i = readName(kMonthNames, 12, 3, 1843);  // MM accepts a month name too
  if (i >= 0) f_.month = i + 1;
}

void DateParser::fraction(const DateToken& t) {
  if (!allowFraction_) throw OraError(1821);
  std::size_t before = pos_;
  auto v = readNumber(t.fractionDigits == 0 ? 9 : static_cast<std::size_t>(t.fractionDigits));
  if (!v) return;
  uint32_t nanos = static_cast<uint32_t>(*v);
  for (std::size_t i = pos_ - before; i < 9; ++i) nanos *= 10;
  f_.nanos = nanos;
}

void DateParser::element(const DateToken& t, const DateToken* next) {
  if (numericField(t)) return;
  switch (t.element) {
    case DateElement::SYYYY: {
      auto v = readNumber(4, true);
      if (v) f_.year = static_cast<int>(*v);
      break;
    }
    case DateElement::YCommaYYY: {
      auto hi = readNumber(1);
      if (hi && !atEnd() && in_[pos_] == ',') ++pos_;
      auto lo = hi ? readNumber(3) : std::nullopt;
      if (hi) f_.year = static_cast<int>(*hi * 1000 + lo.value_or(0));
      break;
    }
    case DateElement::YY:
    case DateElement::RR: shortYear(t, next && isNumericElement(next->element)); break;
    case DateElement::BC: {
      int i = readName(kEras, 4, 4, 1856);
      if (i >= 0) f_.bc = i < 2;
      break;
    }
    case DateElement::MM:
    case DateElement::MONTH:
    case DateElement::MON:
    case DateElement::RM: month(t); break;
    case DateElement::DAY:
    case DateElement::DY: readName(kDayNames, 7, 3, 1846); break;
    case DateElement::J: {
      auto v = readNumber(7);
      if (v) f_.julian = *v;
      break;
    }
    case DateElement::AM: {
      int i = readName(kMeridians, 4, 4, 1855);
      if (i >= 0) f_.pm = i >= 2;
      break;
    }
    case DateElement::FF: fraction(t); break;
    case DateElement::X:
      if (!atEnd() && in_[pos_] == '.') ++pos_;
      break;
    default: throw OraError(1820);  // CC, Q, WW, IW, W, IYYY ..., YEAR: output only
  }
}

int fullYearFromTwoDigits(int twoDigits, int refYear, bool rrRule) {
  int century = refYear - refYear % 100;
  if (!rrRule) return century + twoDigits;
  int refTwo = refYear % 100;
  if (refTwo < 50) return twoDigits < 50 ? century + twoDigits : century - 100 + twoDigits;
  return twoDigits < 50 ? century + 100 + twoDigits : century + twoDigits;
}

DateTime DateParser::assemble() const {
  DateTime d = DateTime::make(ref_.year, ref_.month, 1);
  if (f_.julian) d = DateTime::fromJulianDay(*f_.julian);
  int year = d.year;
  if (f_.year) year = *f_.year;
  else if (f_.yy) year = fullYearFromTwoDigits(*f_.yy, ref_.year, false);
  else if (f_.rr) year = fullYearFromTwoDigits(*f_.rr, ref_.year, true);
  else if (f_.yyy) year = ref_.year - ref_.year % 1000 + *f_.yyy;
  else if (f_.y) year = ref_.year - ref_.year % 10 + *f_.y;
  if (f_.bc && *f_.bc && year > 0) year = -year;
  if (year == 0 || year < -4712 || year > 9999) throw OraError(1841);
  d.year = static_cast<int16_t>(year);
  if (f_.month) d.month = static_cast<uint8_t>(*f_.month);
  if (f_.day) d.day = static_cast<uint8_t>(*f_.day);
  if (f_.dayOfYear) {
    if (*f_.dayOfYear > (DateTime::isLeapYear(year) ? 366 : 365)) throw OraError(1848);
    DateTime jan1 = DateTime::make(year, 1, 1);
    d = DateTime::fromSecondsSinceEpoch(jan1.secondsSinceEpoch() + int64_t{*f_.dayOfYear - 1} * 86400);
  }
  if (d.day > DateTime::daysInMonth(d.year, d.month)) throw OraError(1839);
  if (!d.isValid()) throw OraError(1839);
  int hour = f_.hour24.value_or(0);
  if (f_.hour12) hour = *f_.hour12 % 12 + (f_.pm && *f_.pm ? 12 : 0);
  else if (f_.pm && *f_.pm && !f_.hour24) hour = 12;
  int minute = f_.minute.value_or(0), second = f_.second.value_or(0);
  if (f_.secondsOfDay) {
    hour = *f_.secondsOfDay / 3600;
    minute = *f_.secondsOfDay / 60 % 60;
    second = *f_.secondsOfDay % 60;
  }
  d.hour = static_cast<uint8_t>(hour);
  d.minute = static_cast<uint8_t>(minute);
  d.second = static_cast<uint8_t>(second);
  d.nanos = f_.nanos;
  return d;
}

DateTime DateParser::run(const std::vector<DateToken>& tokens) {
  std::set<int> seen;
  for (std::size_t i = 0; i < tokens.size() && !ended_; ++i) {
    const DateToken& t = tokens[i];
    if (t.element == DateElement::Fx) {
      fx_ = !fx_;
      continue;
    }
    if (t.element == DateElement::Fm) {
      fm_ = !fm_;
      continue;
    }
    if (t.element == DateElement::Literal) {
      literal(t);
      continue;
    }
    if (!seen.insert(static_cast<int>(t.element)).second) throw OraError(1810);
    element(t, i + 1 < tokens.size() ? &tokens[i + 1] : nullptr);
  }
  while (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
  if (pos_ < in_.size()) throw OraError(1830);
  return assemble();
}

}  // namespace

DateTime parseDate(std::string_view text, std::string_view format, const DateTime& reference,
                   bool allowFraction) {
  const std::vector<DateToken>& tokens = cachedDateTokens(format);
  return DateParser(text, reference, allowFraction).run(tokens);
}

}  // namespace ocisim
