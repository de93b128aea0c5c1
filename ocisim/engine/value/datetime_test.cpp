#include "engine/value/datetime.h"

#include <gtest/gtest.h>

#include <functional>

#include "engine/ora_error.h"

namespace ocisim {
namespace {

using D = DateTime;

std::string show(const DateTime& d) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour,
                d.minute, d.second);
  return buf;
}

int oraCode(const std::function<void()>& f) {
  try {
    f();
  } catch (const OraError& e) {
    return e.code();
  }
  return 0;
}

Decimal dec(const char* s) { return Decimal::parse(s).value(); }

TEST(DateTimeTest, LeapYearsFollowJulianThenGregorianRules) {
  EXPECT_TRUE(D::isLeapYear(2000));
  EXPECT_TRUE(D::isLeapYear(2024));
  EXPECT_FALSE(D::isLeapYear(1900));
  EXPECT_FALSE(D::isLeapYear(2023));
  EXPECT_TRUE(D::isLeapYear(1500));  // Julian calendar: every fourth year
  EXPECT_TRUE(D::isLeapYear(-1));    // 1 BC is astronomical year 0
  EXPECT_FALSE(D::isLeapYear(-4));
  EXPECT_TRUE(D::isLeapYear(-5));
  EXPECT_EQ(D::daysInMonth(2024, 2), 29);
  EXPECT_EQ(D::daysInMonth(1900, 2), 28);
  EXPECT_EQ(D::daysInMonth(2023, 4), 30);
  EXPECT_EQ(D::daysInMonth(2023, 12), 31);
}

TEST(DateTimeTest, Validity) {
  EXPECT_TRUE(D::make(2024, 2, 29).isValid());
  EXPECT_FALSE(D::make(2023, 2, 29).isValid());
  EXPECT_FALSE(D::make(0, 1, 1).isValid());
  EXPECT_FALSE(D::make(10000, 1, 1).isValid());
  EXPECT_TRUE(D::make(-4712, 1, 1).isValid());
  EXPECT_FALSE(D::make(1582, 10, 10).isValid());  // dropped by the calendar reform
  EXPECT_TRUE(D::make(1582, 10, 4).isValid());
  EXPECT_FALSE(D::make(2024, 1, 1, 24).isValid());
  EXPECT_FALSE(D::make(2024, 13, 1).isValid());
}

TEST(DateTimeTest, JulianDaysRoundTrip) {
  EXPECT_EQ(D::make(2000, 1, 1).julianDay(), 2451545);
  EXPECT_EQ(D::make(1, 1, 1).julianDay(), 1721424);
  EXPECT_EQ(D::make(-4712, 1, 1).julianDay(), 1);
  EXPECT_EQ(D::make(9999, 12, 31).julianDay(), 5373484);
  EXPECT_EQ(D::make(1582, 10, 15).julianDay(), D::make(1582, 10, 4).julianDay() + 1);
  for (int64_t j = 1; j <= 5373484; j += 997) {
    if (j > 1721058 && j < 1721424) continue;  // Oracle's year 0
    EXPECT_EQ(D::fromJulianDay(j).julianDay(), j) << j;
  }
  for (int64_t j : {int64_t{1721058}, int64_t{1721424}, int64_t{2299160}, int64_t{2299161}}) {
    EXPECT_EQ(D::fromJulianDay(j).julianDay(), j) << j;
  }
  EXPECT_EQ(show(D::fromJulianDay(1721424)), "1-01-01 00:00:00");
  EXPECT_EQ(show(D::fromJulianDay(1721058)), "-1-12-31 00:00:00");
  EXPECT_EQ(oraCode([] { D::fromJulianDay(0); }), 1854);
  EXPECT_EQ(oraCode([] { D::fromJulianDay(5373485); }), 1854);
  EXPECT_EQ(oraCode([] { D::fromJulianDay(1721100); }), 1841);
}

TEST(DateTimeTest, DayArithmeticCrossesCalendarEdges) {
  EXPECT_EQ(show(D::make(2024, 2, 28).addDays(dec("1"))), "2024-02-29 00:00:00");
  EXPECT_EQ(show(D::make(2023, 12, 31, 23).addDays(dec("0.5"))), "2024-01-01 11:00:00");
  EXPECT_EQ(show(D::make(2024, 3, 1).addDays(dec("-1"))), "2024-02-29 00:00:00");
  EXPECT_EQ(show(D::make(2024, 1, 1).addDays(dec("1") / dec("86400"))), "2024-01-01 00:00:01");
  EXPECT_EQ(show(D::make(1582, 10, 4).addDays(dec("1"))), "1582-10-15 00:00:00");
  EXPECT_EQ(show(D::make(-1, 12, 31).addDays(dec("1"))), "1-01-01 00:00:00");
  EXPECT_EQ(show(D::make(1, 1, 1).addDays(dec("-1"))), "-1-12-31 00:00:00");
  EXPECT_EQ(oraCode([] { D::make(9999, 12, 31).addDays(dec("1")); }), 1841);
  EXPECT_EQ(oraCode([] { D::make(-4712, 1, 1).addDays(dec("-1")); }), 1841);
  EXPECT_EQ(oraCode([] { D::make(2000, 1, 1).addDays(dec("1e30")); }), 1841);
}

TEST(DateTimeTest, DifferencesInDays) {
  EXPECT_EQ(D::make(2024, 3, 1).daysSince(D::make(2024, 2, 1)).toString(), "29");
  EXPECT_EQ(D::make(2024, 1, 1, 12).daysSince(D::make(2024, 1, 1)).toString(), ".5");
  EXPECT_EQ(D::make(2024, 1, 1).daysSince(D::make(2024, 1, 2, 6)).toString(), "-1.25");
  EXPECT_EQ(D::make(1, 1, 1).daysSince(D::make(-1, 12, 31)).toString(), "1");
}

TEST(DateTimeTest, AddMonthsKeepsMonthEnds) {
  const struct {
    D from;
    int64_t months;
    const char* expected;
  } kCases[] = {
      {D::make(2024, 1, 31), 1, "2024-02-29 00:00:00"},
      {D::make(2023, 1, 31), 1, "2023-02-28 00:00:00"},
      {D::make(2024, 2, 29), 1, "2024-03-31 00:00:00"},  // a last day maps to the last day
      {D::make(2024, 2, 28), 1, "2024-03-28 00:00:00"},
      {D::make(2024, 3, 31), -1, "2024-02-29 00:00:00"},
      {D::make(2024, 5, 15, 10, 30), 12, "2025-05-15 10:30:00"},
      {D::make(2024, 1, 15), -25, "2021-12-15 00:00:00"},
      {D::make(1, 1, 15), -1, "-1-12-15 00:00:00"},
      {D::make(-1, 12, 15), 1, "1-01-15 00:00:00"},
  };
  for (const auto& c : kCases) EXPECT_EQ(show(c.from.addMonths(c.months)), c.expected);
  EXPECT_EQ(oraCode([] { D::make(9999, 12, 1).addMonths(1); }), 1841);
}

TEST(DateTimeTest, LastDayDayOfWeekDayOfYear) {
  EXPECT_EQ(show(D::make(2024, 2, 10, 8).lastDay()), "2024-02-29 08:00:00");
  EXPECT_EQ(show(D::make(2023, 2, 10).lastDay()), "2023-02-28 00:00:00");
  EXPECT_EQ(D::make(2024, 1, 7).dayOfWeek(), 1);  // a Sunday
  EXPECT_EQ(D::make(2024, 1, 6).dayOfWeek(), 7);
  EXPECT_EQ(D::make(2000, 1, 1).dayOfWeek(), 7);  // a Saturday
  EXPECT_EQ(D::make(2024, 12, 31).dayOfYear(), 366);
  EXPECT_EQ(D::make(2023, 3, 1).dayOfYear(), 60);
}

TEST(DateTimeTest, TruncAndRound) {
  D d = D::make(2024, 8, 17, 14, 37, 45);
  const struct {
    const char* format;
    const char* trunc;
    const char* round;
  } kCases[] = {
      {"DD", "2024-08-17 00:00:00", "2024-08-18 00:00:00"},
      {"", "2024-08-17 00:00:00", "2024-08-18 00:00:00"},
      {"MM", "2024-08-01 00:00:00", "2024-09-01 00:00:00"},
      {"mon", "2024-08-01 00:00:00", "2024-09-01 00:00:00"},
      {"YYYY", "2024-01-01 00:00:00", "2025-01-01 00:00:00"},
      {"Q", "2024-07-01 00:00:00", "2024-10-01 00:00:00"},  // from the 16th of its 2nd month
      {"HH24", "2024-08-17 14:00:00", "2024-08-17 15:00:00"},
      {"MI", "2024-08-17 14:37:00", "2024-08-17 14:38:00"},
      {"CC", "2001-01-01 00:00:00", "2001-01-01 00:00:00"},
      {"D", "2024-08-11 00:00:00", "2024-08-18 00:00:00"},
      {"IW", "2024-08-12 00:00:00", "2024-08-19 00:00:00"},
      {"WW", "2024-08-12 00:00:00", "2024-08-19 00:00:00"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(show(d.truncTo(c.format)), c.trunc) << c.format;
    EXPECT_EQ(show(d.roundTo(c.format)), c.round) << c.format;
  }
  EXPECT_EQ(show(D::make(2024, 8, 15).roundTo("MM")), "2024-08-01 00:00:00");
  EXPECT_EQ(show(D::make(2024, 6, 30).roundTo("YYYY")), "2024-01-01 00:00:00");
  EXPECT_EQ(show(D::make(2024, 1, 1).truncTo("IYYY")), "2024-01-01 00:00:00");
  EXPECT_EQ(show(D::make(2021, 1, 2).truncTo("IYYY")), "2019-12-30 00:00:00");
  EXPECT_EQ(oraCode([&] { d.truncTo("XX"); }), 1821);
}

TEST(DateTimeTest, CompareOrdersByAllFields) {
  EXPECT_LT(D::make(-5, 1, 1).compare(D::make(1, 1, 1)), 0);
  EXPECT_LT(D::make(2024, 1, 1, 0, 0, 1).compare(D::make(2024, 1, 1, 0, 1, 0)), 0);
  EXPECT_LT(D::make(2024, 1, 1, 0, 0, 0, 5).compare(D::make(2024, 1, 1, 0, 0, 0, 6)), 0);
  EXPECT_EQ(D::make(2024, 1, 1).compare(D::make(2024, 1, 1)), 0);
  EXPECT_LT(D::make(2024, 1, 1).secondsSinceEpoch(), D::make(2024, 1, 1, 0, 0, 1).secondsSinceEpoch());
  EXPECT_TRUE(D::now().isValid());
}

}  // namespace
}  // namespace ocisim
