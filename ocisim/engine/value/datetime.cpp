#include "engine/value/datetime.h"

#include <ctime>

#include "engine/ora_error.h"

namespace ocisim {
namespace {

constexpr int64_t kSecondsPerDay = 86400;
// Oracle's J for BC dates is one year of days below the astronomical day number (Oracle counts
// a year 0 that it never shows): J 1 is 1 January 4712 BC, J 1721424 is 1 January 1 AD.
constexpr int64_t kBcJulianOffset = 365;
constexpr int64_t kFirstAdDay = 1721424;  // 1 January 1 AD (Julian calendar)

int astronomicalYear(int year) { return year < 0 ? year + 1 : year; }
int labelYear(int astro) { return astro <= 0 ? astro - 1 : astro; }

bool isGregorian(int year, int month, int day) {
  if (year != 1582) return year > 1582;
  return month > 10 || (month == 10 && day >= 15);
}

// Astronomical day number (JDN) of a calendar date; Julian calendar before the reform.
int64_t dayNumber(int year, int month, int day) {
  int64_t a = (14 - month) / 12;
  int64_t y = astronomicalYear(year) + 4800 - a;
  int64_t m = month + 12 * a - 3;
  int64_t base = day + (153 * m + 2) / 5 + 365 * y + y / 4;
  if (isGregorian(year, month, day)) return base - y / 100 + y / 400 - 32045;
  return base - 32083;
}

void fromDayNumber(int64_t jdn, DateTime& out) {
  int64_t b = 0, c = 0;
  if (jdn >= 2299161) {
    int64_t a = jdn + 32044;
    b = (4 * a + 3) / 146097;
    c = a - 146097 * b / 4;
  } else {
    c = jdn + 32082;
  }
  int64_t d = (4 * c + 3) / 1461;
  int64_t e = c - 1461 * d / 4;
  int64_t m = (5 * e + 2) / 153;
  out.day = static_cast<uint8_t>(e - (153 * m + 2) / 5 + 1);
  out.month = static_cast<uint8_t>(m + 3 - 12 * (m / 10));
  out.year = static_cast<int16_t>(labelYear(static_cast<int>(100 * b + d - 4800 + m / 10)));
}

const int64_t kMinDayNumber = dayNumber(-4712, 1, 1);
const int64_t kMaxDayNumber = dayNumber(9999, 12, 31);

}  // namespace

bool DateTime::isLeapYear(int year) {
  if (year > 1582) return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  int astro = astronomicalYear(year);
  return ((astro % 4) + 4) % 4 == 0;
}

int DateTime::daysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  if (month == 2 && isLeapYear(year)) return 29;
  return kDays[month - 1];
}

bool DateTime::isValid() const {
  if (year < -4712 || year > 9999 || year == 0) return false;
  if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month)) return false;
  if (year == 1582 && month == 10 && day > 4 && day < 15) return false;
  return hour < 24 && minute < 60 && second < 60 && nanos < 1000000000u;
}

int64_t DateTime::julianDay() const {
  int64_t jdn = dayNumber(year, month, day);
  return year < 0 ? jdn - kBcJulianOffset : jdn;
}

DateTime DateTime::fromJulianDay(int64_t jd) {
  if (jd < kMinJulian || jd > kMaxJulian) throw OraError(1854);
  int64_t jdn = jd;
  if (jd < kFirstAdDay) {
    jdn = jd + kBcJulianOffset;
    if (jdn >= kFirstAdDay) throw OraError(1841);  // Oracle's year 0
  }
  DateTime out;
  fromDayNumber(jdn, out);
  return out;
}

int64_t DateTime::secondsSinceEpoch() const {
  return (dayNumber(year, month, day) - kMinDayNumber) * kSecondsPerDay + hour * 3600 +
         minute * 60 + second;
}

DateTime DateTime::fromSecondsSinceEpoch(int64_t seconds) {
  int64_t days = seconds >= 0 ? seconds / kSecondsPerDay : -((-seconds + kSecondsPerDay - 1) / kSecondsPerDay);
  int64_t rest = seconds - days * kSecondsPerDay;
  int64_t jdn = kMinDayNumber + days;
  if (jdn < kMinDayNumber || jdn > kMaxDayNumber) throw OraError(1841);
  DateTime out;
  fromDayNumber(jdn, out);
  out.hour = static_cast<uint8_t>(rest / 3600);
  out.minute = static_cast<uint8_t>(rest / 60 % 60);
  out.second = static_cast<uint8_t>(rest % 60);
  return out;
}

DateTime DateTime::addDays(const Decimal& days) const {
  int64_t whole;
  if (days.smallInteger(whole) && whole > -4000000 && whole < 4000000) {
    int64_t jdn = dayNumber(year, month, day) + whole;
    if (jdn < kMinDayNumber || jdn > kMaxDayNumber) throw OraError(1841);
    DateTime out = *this;
    fromDayNumber(jdn, out);
    out.nanos = 0;
    return out;
  }
  Decimal seconds = (days * Decimal::fromInt64(kSecondsPerDay)).round(0);
  auto delta = seconds.toInt64();
  const int64_t kSpan = (kMaxDayNumber - kMinDayNumber + 1) * kSecondsPerDay;
  if (!delta || *delta > kSpan || *delta < -kSpan) throw OraError(1841);
  return fromSecondsSinceEpoch(secondsSinceEpoch() + *delta);
}

Decimal DateTime::daysSince(const DateTime& other) const {
  int64_t diff = secondsSinceEpoch() - other.secondsSinceEpoch();
  if (diff % kSecondsPerDay == 0) return Decimal::fromInt64(diff / kSecondsPerDay);
  return Decimal::fromInt64(diff) / Decimal::fromInt64(kSecondsPerDay);
}

DateTime DateTime::addMonths(int64_t months) const {
  int64_t index = int64_t{astronomicalYear(year)} * 12 + (month - 1) + months;
  int64_t astro = index >= 0 ? index / 12 : -((-index + 11) / 12);
  int newMonth = static_cast<int>(index - astro * 12) + 1;
  int64_t newYear = labelYear(static_cast<int>(astro < -10000 ? -10000 : astro > 10000 ? 10000 : astro));
  if (newYear < -4712 || newYear > 9999) throw OraError(1841);
  DateTime out = *this;
  out.year = static_cast<int16_t>(newYear);
  out.month = static_cast<uint8_t>(newMonth);
  int last = daysInMonth(out.year, newMonth);
  if (day == daysInMonth(year, month) || day > last) out.day = static_cast<uint8_t>(last);
  if (out.year == 1582 && out.month == 10 && out.day > 4 && out.day < 15) out.day = 15;
  return out;
}

DateTime DateTime::lastDay() const {
  DateTime out = *this;
  out.day = static_cast<uint8_t>(daysInMonth(year, month));
  return out;
}

int DateTime::dayOfWeek() const {
  // JDN 0 was a Monday; (jdn + 1) % 7 == 0 on Sundays.
  return static_cast<int>((dayNumber(year, month, day) + 1) % 7) + 1;
}

int DateTime::dayOfYear() const {
  return static_cast<int>(dayNumber(year, month, day) - dayNumber(year, 1, 1)) + 1;
}

int DateTime::compare(const DateTime& o) const {
  auto key = [](const DateTime& d) {
    return ((((int64_t{d.year} * 16 + d.month) * 32 + d.day) * 32 + d.hour) * 64 + d.minute) * 64 +
           d.second;
  };
  int64_t a = key(*this), b = key(o);
  if (a != b) return a < b ? -1 : 1;
  if (nanos != o.nanos) return nanos < o.nanos ? -1 : 1;
  return 0;
}

DateTime DateTime::now() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return make(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
              tm.tm_sec < 60 ? tm.tm_sec : 59);
}

DateTime DateTime::make(int year, int month, int day, int hour, int minute, int second,
                        uint32_t nanos) {
  DateTime d;
  d.year = static_cast<int16_t>(year);
  d.month = static_cast<uint8_t>(month);
  d.day = static_cast<uint8_t>(day);
  d.hour = static_cast<uint8_t>(hour);
  d.minute = static_cast<uint8_t>(minute);
  d.second = static_cast<uint8_t>(second);
  d.nanos = nanos;
  return d;
}

}  // namespace ocisim
