// TRUNC(date, fmt) and ROUND(date, fmt).
#include <algorithm>
#include <cctype>
#include <string>

#include "engine/ora_error.h"
#include "engine/value/datetime.h"

namespace ocisim {
namespace {

enum class Unit { Century, Year, IsoYear, Quarter, Month, Week, IsoWeek, MonthWeek, Day, DayOfWeek, Hour, Minute };

Unit unitOf(std::string_view format) {
  std::string f;
  for (char c : format) {
    if (c != ' ') f += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  static const struct {
    const char* name;
    Unit unit;
  } kUnits[] = {
      {"CC", Unit::Century},     {"SCC", Unit::Century},   {"SYYYY", Unit::Year},
      {"YYYY", Unit::Year},      {"YEAR", Unit::Year},     {"SYEAR", Unit::Year},
      {"YYY", Unit::Year},       {"YY", Unit::Year},       {"Y", Unit::Year},
      {"IYYY", Unit::IsoYear},   {"IYY", Unit::IsoYear},   {"IY", Unit::IsoYear},
      {"I", Unit::IsoYear},      {"Q", Unit::Quarter},     {"MONTH", Unit::Month},
      {"MON", Unit::Month},      {"MM", Unit::Month},      {"RM", Unit::Month},
      {"WW", Unit::Week},        {"IW", Unit::IsoWeek},    {"W", Unit::MonthWeek},
      {"DDD", Unit::Day},        {"DD", Unit::Day},        {"J", Unit::Day},
      {"DAY", Unit::DayOfWeek},  {"DY", Unit::DayOfWeek},  {"D", Unit::DayOfWeek},
      {"HH", Unit::Hour},        {"HH12", Unit::Hour},     {"HH24", Unit::Hour},
      {"MI", Unit::Minute},
  };
  for (const auto& u : kUnits) {
    if (f == u.name) return u.unit;
  }
  throw OraError(1821);
}

DateTime dateOnly(const DateTime& d) { return DateTime::make(d.year, d.month, d.day); }

DateTime plusDays(const DateTime& d, int64_t days) {
  return DateTime::fromSecondsSinceEpoch(d.secondsSinceEpoch() + days * 86400);
}

// Monday of ISO week 1 of the ISO year containing d.
DateTime isoYearStart(const DateTime& d) {
  auto week1Monday = [](int year) {
    DateTime jan4 = DateTime::make(year, 1, 4);
    int isoDow = (jan4.dayOfWeek() + 5) % 7;  // Monday 0 .. Sunday 6
    return plusDays(jan4, -isoDow);
  };
  DateTime start = week1Monday(d.year);
  if (d.compare(start) < 0) return week1Monday(d.year == 1 ? -1 : d.year - 1);
  if (d.year < 9999) {
    DateTime next = week1Monday(d.year == -1 ? 1 : d.year + 1);
    if (d.compare(next) >= 0) return next;
  }
  return start;
}

// The start of the period of `unit` containing d.
DateTime periodStart(const DateTime& d, Unit unit) {
  DateTime day = dateOnly(d);
  switch (unit) {
    case Unit::Century: {
      int y = d.year > 0 ? (d.year - 1) / 100 * 100 + 1 : d.year;
      return DateTime::make(y, 1, 1);
    }
    case Unit::Year: return DateTime::make(d.year, 1, 1);
    case Unit::IsoYear: return isoYearStart(d);
    case Unit::Quarter: return DateTime::make(d.year, (d.month - 1) / 3 * 3 + 1, 1);
    case Unit::Month: return DateTime::make(d.year, d.month, 1);
    case Unit::Week: return plusDays(day, -((d.dayOfYear() - 1) % 7));
    case Unit::IsoWeek: return plusDays(day, -((d.dayOfWeek() + 5) % 7));
    case Unit::MonthWeek: return plusDays(day, -((d.day - 1) % 7));
    case Unit::Day: return day;
    case Unit::DayOfWeek: return plusDays(day, -(d.dayOfWeek() - 1));
    case Unit::Hour: return DateTime::make(d.year, d.month, d.day, d.hour);
    case Unit::Minute: return DateTime::make(d.year, d.month, d.day, d.hour, d.minute);
  }
  return day;
}

// The start of the next period after `start`.
DateTime nextPeriod(const DateTime& start, Unit unit) {
  switch (unit) {
    case Unit::Century: return start.addMonths(1200);
    case Unit::Year: return start.addMonths(12);
    case Unit::IsoYear: return isoYearStart(plusDays(start, 371));
    case Unit::Quarter: return start.addMonths(3);
    case Unit::Month: return start.addMonths(1);
    case Unit::Week:
    case Unit::IsoWeek:
    case Unit::MonthWeek:
    case Unit::DayOfWeek: return plusDays(start, 7);
    case Unit::Day: return plusDays(start, 1);
    case Unit::Hour: return DateTime::fromSecondsSinceEpoch(start.secondsSinceEpoch() + 3600);
    case Unit::Minute: return DateTime::fromSecondsSinceEpoch(start.secondsSinceEpoch() + 60);
  }
  return start;
}

}  // namespace

DateTime DateTime::truncTo(std::string_view format) const {
  return periodStart(*this, unitOf(format.empty() ? "DD" : format));
}

DateTime DateTime::roundTo(std::string_view format) const {
  Unit unit = unitOf(format.empty() ? "DD" : format);
  DateTime start = periodStart(*this, unit);
  DateTime plain = *this;
  plain.nanos = 0;
  bool up = false;
  switch (unit) {
    case Unit::Century: up = ((year > 0 ? year - 1 : 0) % 100) >= 50; break;
    case Unit::Year: up = month >= 7; break;
    case Unit::Quarter: up = (month - 1) % 3 > 1 || ((month - 1) % 3 == 1 && day >= 16); break;
    case Unit::Month: up = day >= 16; break;
    default: {
      // Halfway through the period rounds up.
      if (unit == Unit::Hour || unit == Unit::Minute || unit == Unit::Day || unit == Unit::IsoYear) {
        DateTime next = nextPeriod(start, unit);
        int64_t half = (next.secondsSinceEpoch() - start.secondsSinceEpoch()) / 2;
        up = plain.secondsSinceEpoch() - start.secondsSinceEpoch() >= half;
      } else {
        up = plain.secondsSinceEpoch() - start.secondsSinceEpoch() >= int64_t{7} * 86400 / 2;
      }
    }
  }
  if (!up) return start;
  if (start.year == 9999 && (unit == Unit::Year || unit == Unit::Century)) throw OraError(1841);
  return nextPeriod(start, unit);
}

}  // namespace ocisim
