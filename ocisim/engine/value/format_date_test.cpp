#include <gtest/gtest.h>

#include <functional>

#include "engine/ora_error.h"
#include "engine/value/format.h"

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

const D kFriday = D::make(2024, 1, 5, 13, 4, 9);  // Friday 5 January 2024, 13:04:09
const D kRef = D::make(2024, 6, 15, 10, 20, 30);  // "now" for fields the input leaves out

// The numeric formats take a shortcut; FX changes nothing in rendering but sends the same format
// through the general renderer, so both must agree on every kind of year and time.
TEST(FormatDateTest, NumericShortcutAgreesWithTheGeneralRenderer) {
  const D dates[] = {kFriday, D::make(1, 1, 1, 0, 0, 0), D::make(999, 12, 31, 23, 59, 59),
                     D::make(9999, 12, 31, 23, 59, 59), D::make(-4712, 1, 1, 0, 0, 0),
                     D::make(-1, 2, 28, 9, 5, 7)};
  for (const char* format : {"YYYY-MM-DD HH24:MI:SS", "RRRR/MM/DD", "\"on\" DD.MM.YYYY",
                             "HH24MISS", "YYYYMMDDHH24MISS"}) {
    for (const D& d : dates) {
      EXPECT_EQ(formatDate(d, format, false), formatDate(d, std::string("FX") + format, false))
          << format << " " << show(d);
    }
  }
  EXPECT_EQ(formatDate(D::make(-4712, 1, 1, 0, 0, 0), "YYYY-MM-DD", false), "4712-01-01");
  EXPECT_EQ(formatDate(D::make(7, 3, 4, 5, 6, 7), "YYYY-MM-DD HH24:MI:SS", false),
            "0007-03-04 05:06:07");
}

TEST(FormatDateTest, RendersEveryElement) {
  const struct {
    const char* format;
    const char* expected;
  } kCases[] = {
      {"YYYY-MM-DD HH24:MI:SS", "2024-01-05 13:04:09"},
      {"DD-MON-RR", "05-JAN-24"},
      {"DD-Mon-YYYY", "05-Jan-2024"},
      {"dd-mon-yy", "05-jan-24"},
      {"Month", "January  "},
      {"FMMonth", "January"},
      {"MONTH/MM", "JANUARY  /01"},
      {"DAY", "FRIDAY   "},
      {"Dy D", "Fri 6"},
      {"DDD J", "005 2460315"},
      {"HH:MI:SS AM", "01:04:09 PM"},
      {"HH12 a.m.", "01 p.m."},
      {"SSSSS", "47049"},
      {"Q WW W IW CC", "1 01 1 01 21"},
      {"IYYY IY", "2024 24"},
      {"YEAR", "TWENTY TWENTY-FOUR"},
      {"Year", "Twenty Twenty-Four"},
      {"DDTH DDth ddth", "05TH 05th 05th"},
      {"DDSP", "FIVE"},
      {"DdSpTh", "Fifth"},
      {"RM", "I   "},
      {"FMRM.", "I."},
      {"Y,YYY YYY Y", "2,024 024 4"},
      {"\"Quarter\" Q", "Quarter 1"},
      {"FMDD-MM-YYYY", "5-1-2024"},
      {"FMDD-FMMM", "5-01"},
      {"HH24X MI", "13. 04"},
      {"AD B.C.", "AD A.D."},
      {"SYYYY", " 2024"},
      {"RRRR", "2024"},
  };
  for (const auto& c : kCases) EXPECT_EQ(formatDate(kFriday, c.format), c.expected) << c.format;
}

TEST(FormatDateTest, RendersBcYearsMidnightAndFractions) {
  D bc = D::make(-44, 3, 15);
  EXPECT_EQ(formatDate(bc, "SYYYY-MM-DD"), "-0044-03-15");
  EXPECT_EQ(formatDate(bc, "YYYY BC"), "0044 BC");
  EXPECT_EQ(formatDate(bc, "YYYY B.C."), "0044 B.C.");
  EXPECT_EQ(formatDate(D::make(2024, 1, 1), "HH:MI AM HH24"), "12:00 AM 00");
  EXPECT_EQ(formatDate(D::make(2024, 1, 1, 12), "HH AM"), "12 PM");
  D ts = D::make(2024, 1, 5, 1, 2, 3, 123456789);
  EXPECT_EQ(formatDate(ts, "SS.FF", true), "03.123456");
  EXPECT_EQ(formatDate(ts, "SS.FF3", true), "03.123");
  EXPECT_EQ(formatDate(ts, "FF9", true), "123456789");
  EXPECT_EQ(formatDate(D::make(2000, 1, 1), "YEAR"), "TWO THOUSAND");
  EXPECT_EQ(formatDate(D::make(1900, 1, 1), "YEAR"), "NINETEEN HUNDRED");
  EXPECT_EQ(formatDate(D::make(2024, 1, 21), "DDSPTH DDTH"), "TWENTY-FIRST 21ST");
  EXPECT_EQ(formatDate(D::make(2024, 1, 12), "DDTH"), "12TH");
  EXPECT_EQ(formatDate(D::make(2005, 1, 12), "YEAR"), "TWO THOUSAND FIVE");
  EXPECT_EQ(formatDate(D::make(1999, 1, 12), "YEAR"), "NINETEEN NINETY-NINE");
}

TEST(FormatDateTest, RejectsUnknownElements) {
  EXPECT_EQ(oraCode([] { formatDate(kFriday, "ABC"); }), 1821);
  EXPECT_EQ(oraCode([] { formatDate(kFriday, "HH25"); }), 1821);
  EXPECT_EQ(oraCode([] { formatDate(kFriday, "SS.FF"); }), 1821);  // FF needs a TIMESTAMP
  EXPECT_EQ(oraCode([] { formatDate(kFriday, "\"open"); }), 1821);
}

TEST(FormatDateTest, ParsesEveryElement) {
  const struct {
    const char* text;
    const char* format;
    const char* expected;
  } kCases[] = {
      {"2024-01-05 13:04:09", "YYYY-MM-DD HH24:MI:SS", "2024-01-05 13:04:09"},
      {"05-JAN-24", "DD-MON-RR", "2024-01-05 00:00:00"},
      {"05-JAN-99", "DD-MON-RR", "1999-01-05 00:00:00"},
      {"05-JAN-99", "DD-MON-YY", "2099-01-05 00:00:00"},
      {"5-jan-2024", "DD-MON-YYYY", "2024-01-05 00:00:00"},
      {"05-JANUARY-2024", "DD-MON-YYYY", "2024-01-05 00:00:00"},
      {"05/01/2024", "DD-MM-YYYY", "2024-01-05 00:00:00"},
      {"20240105", "YYYYMMDD", "2024-01-05 00:00:00"},
      {"240105", "YYMMDD", "2024-01-05 00:00:00"},
      {"05-01-2024", "DD-MM-YY", "2024-01-05 00:00:00"},
      {"05 March 2024", "DD Month YYYY", "2024-03-05 00:00:00"},
      {"05-MAR-2024", "DD-MM-YYYY", "2024-03-05 00:00:00"},
      {"2024", "YYYY", "2024-06-01 00:00:00"},
      {"10:30 PM", "HH:MI AM", "2024-06-01 22:30:00"},
      {"12:05 a.m.", "HH:MI A.M.", "2024-06-01 00:05:00"},
      {"2460315", "J", "2024-01-05 00:00:00"},
      {"100 2024", "DDD YYYY", "2024-04-09 00:00:00"},
      {"47049", "SSSSS", "2024-06-01 13:04:09"},
      {"44 BC", "YYYY BC", "-44-06-01 00:00:00"},
      {"-0044-03-15", "SYYYY-MM-DD", "-44-03-15 00:00:00"},
      {"  2024-01-05  ", "YYYY-MM-DD", "2024-01-05 00:00:00"},
      {"2024-01-05", "FXYYYY-MM-DD", "2024-01-05 00:00:00"},
      {"2024-01-05T10:00", "YYYY-MM-DD\"T\"HH24:MI", "2024-01-05 10:00:00"},
      {"Friday 05-01-2024", "Day DD-MM-YYYY", "2024-01-05 00:00:00"},
      {"2024-01-05", "YYYY-MM-DD HH24:MI:SS", "2024-01-05 00:00:00"},
      {"XII 2024", "RM YYYY", "2024-12-01 00:00:00"},
      {"2,024", "Y,YYY", "2024-06-01 00:00:00"},
      {"5", "DD", "2024-06-05 00:00:00"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(show(parseDate(c.text, c.format, kRef)), c.expected) << c.text << " / " << c.format;
  }
}

TEST(FormatDateTest, ParseErrors) {
  const struct {
    const char* text;
    const char* format;
    int code;
  } kCases[] = {
      {"abc", "DD-MON-YYYY", 1858},
      {"2024-AB-01", "YYYY-DD-MM", 1858},
      {"2024-13-01", "YYYY-MM-DD", 1843},
      {"05-XYZ-2024", "DD-MON-YYYY", 1843},
      {"2024-02-30", "YYYY-MM-DD", 1839},
      {"2023-02-29", "YYYY-MM-DD", 1839},
      {"2024-01-32", "YYYY-MM-DD", 1847},
      {"2024-01-00", "YYYY-MM-DD", 1847},
      {"2024-01-05 10", "YYYY-MM-DD", 1830},
      {"05-JAN-2024x", "DD-MON-YYYY", 1830},
      {"0000-01-01", "YYYY-MM-DD", 1841},
      {"25:00", "HH24:MI", 1850},
      {"13:00", "HH:MI", 1849},
      {"10:60", "HH24:MI", 1851},
      {"10:10:60", "HH24:MI:SS", 1852},
      {"86400", "SSSSS", 1853},
      {"10:00 XM", "HH:MI AM", 1855},
      {"44 XY", "YYYY BC", 1856},
      {"Funday", "Day", 1846},
      {"400 2023", "DDD YYYY", 1848},
      {"366 2023", "DDD YYYY", 1848},
      {"0", "J", 1854},
      {"2024-01-05-01", "YYYY-MM-DD-MM", 1810},
      {"1", "Q", 1820},
      {"2024/01/05", "FXYYYY-MM-DD", 1861},
      {"2024-1-05", "FXYYYY-MM-DD", 1862},
      {"2024-01-05X10:00", "YYYY-MM-DD\"T\"HH24:MI", 1861},
      {"2024-01-05 10:00:00.5", "YYYY-MM-DD HH24:MI:SS.FF", 1821},
      {"2024", "YYYY-MM-DD-ZZ", 1821},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(oraCode([&] { parseDate(c.text, c.format, kRef); }), c.code)
        << c.text << " / " << c.format;
  }
}

TEST(FormatDateTest, ParsesFractionsForTimestamps) {
  D ts = parseDate("2024-01-05 10:00:00.5", "YYYY-MM-DD HH24:MI:SS.FF", kRef, true);
  EXPECT_EQ(ts.nanos, 500000000u);
  ts = parseDate("10:00:00.000123", "HH24:MI:SS.FF6", kRef, true);
  EXPECT_EQ(ts.nanos, 123000u);
}

TEST(FormatDateTest, FormattedDatesParseBack) {
  const char* formats[] = {"YYYY-MM-DD HH24:MI:SS", "DD-MON-YYYY HH:MI:SS AM", "J SSSSS",
                           "SYYYY-MM-DD HH24:MI:SS", "FMDD Month YYYY HH24:MI:SS",
                           "YYYYMMDDHH24MISS", "DDD YYYY HH24:MI:SS", "DD.MM.YYYY HH24MI SS"};
  D dates[] = {kFriday, D::make(1999, 12, 31, 23, 59, 59), D::make(1, 1, 1), D::make(9999, 12, 31, 12),
               D::make(1582, 10, 15, 6), D::make(1582, 10, 4, 18), D::make(2000, 2, 29, 12, 30)};
  for (const char* f : formats) {
    for (const D& d : dates) {
      std::string text = formatDate(d, f);
      EXPECT_EQ(show(parseDate(text, f, kRef)), show(d)) << f << " / " << text;
    }
  }
  // BC dates need a signed year, an era or the Julian day.
  for (const char* f : {"SYYYY-MM-DD HH24:MI:SS", "YYYY-MM-DD BC HH24:MI:SS", "J SSSSS"}) {
    for (const D& d : {D::make(-4712, 1, 1, 0, 0, 1), D::make(-1, 12, 31), D::make(-101, 2, 29)}) {
      std::string text = formatDate(d, f);
      EXPECT_EQ(show(parseDate(text, f, kRef)), show(d)) << f << " / " << text;
    }
  }
}

}  // namespace
}  // namespace ocisim
