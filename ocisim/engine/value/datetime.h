// DateTime: the engine's DATE and TIMESTAMP value (a plain value type, 12 bytes). Years run from
// -4712 (4712 BC) to 9999 with no year 0; dates before 15 October 1582 follow the Julian
// calendar as Oracle's do (4 October 1582 is followed by 15 October). Day arithmetic goes
// through the Julian day number (J format: 1 January 4712 BC is day 1).
#pragma once

#include <cstdint>
#include <string_view>

#include "engine/value/decimal.h"

namespace ocisim {

struct DateTime {
  int16_t year = 1;  // -4712..9999, never 0 (negative = BC)
  uint8_t month = 1;
  uint8_t day = 1;
  uint8_t hour = 0;
  uint8_t minute = 0;
  uint8_t second = 0;
  uint32_t nanos = 0;  // TIMESTAMP fraction; always 0 for DATE

  static constexpr int64_t kMinJulian = 1;        // 1 January 4712 BC
  static constexpr int64_t kMaxJulian = 5373484;  // 31 December 9999

  // True when the fields form a real calendar date and time.
  bool isValid() const;
  static bool isLeapYear(int year);
  static int daysInMonth(int year, int month);

  // Julian day number of the date (the time is ignored).
  int64_t julianDay() const;
  // The date of a Julian day number (time 00:00:00). Throws ORA-01841 outside the range.
  static DateTime fromJulianDay(int64_t jd);
  // Seconds since 1 January 4712 BC 00:00:00 (for differences and ordering).
  int64_t secondsSinceEpoch() const;
  static DateTime fromSecondsSinceEpoch(int64_t seconds);

  // DATE + days (fractional days kept to the second, rounded). Throws ORA-01841 when the
  // result leaves the range.
  DateTime addDays(const Decimal& days) const;
  // this - other in days, with the fraction (exact: seconds / 86400, rounded to 40 digits).
  Decimal daysSince(const DateTime& other) const;
  // ADD_MONTHS: the last day of a month maps to the last day of the target month.
  DateTime addMonths(int64_t months) const;
  DateTime lastDay() const;
  // 1 = Sunday .. 7 = Saturday (Oracle's D with an AMERICAN territory).
  int dayOfWeek() const;
  int dayOfYear() const;

  // TRUNC / ROUND of a date with a format ("DD" default; also CC SCC SYYYY YYYY YEAR YYY YY Y
  // IYYY Q MONTH MON MM RM WW IW W DDD J DAY DY D HH HH12 HH24 MI). Throws ORA-01821
  // (ORA-01898 for the wrong kind) on an unknown format.
  DateTime truncTo(std::string_view format) const;
  DateTime roundTo(std::string_view format) const;

  // Fields compare in order: year, month, day, hour, minute, second, nanos.
  int compare(const DateTime& o) const;
  bool operator==(const DateTime& o) const { return compare(o) == 0; }

  // The current local time, to the second.
  static DateTime now();
  static DateTime make(int year, int month, int day, int hour = 0, int minute = 0,
                       int second = 0, uint32_t nanos = 0);
};

}  // namespace ocisim
