// Internal pieces shared by the date format code (TO_CHAR of dates and TO_DATE): the format
// tokenizer, calendar names and number spelling. Not for use outside engine/value.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ocisim {

enum class DateElement : uint8_t {
  Literal,  // punctuation or "quoted text"
  Fm,
  Fx,
  YCommaYYY,
  SYYYY,
  YYYY,
  YYY,
  YY,
  Y,
  RRRR,
  RR,
  SYEAR,
  YEAR,
  IYYY,
  IYY,
  IY,
  I,
  BC,  // BC or AD, with or without dots
  SCC,
  CC,
  Q,
  MM,
  MONTH,
  MON,
  RM,
  WW,
  IW,
  W,
  DDD,
  DD,
  DAY,
  DY,
  D,
  J,
  HH24,
  HH12,  // HH and HH12
  MI,
  SSSSS,
  SS,
  AM,  // AM or PM, with or without dots
  FF,
  X,
};

enum class LetterCase : uint8_t { Upper, Capitalized, Lower };

struct DateToken {
  DateElement element = DateElement::Literal;
  std::string literal;       // Literal: the text; quoted text keeps quoted = true
  bool quoted = false;
  LetterCase letterCase = LetterCase::Upper;  // for names and spelled numbers
  bool dots = false;         // A.M. / B.C. forms
  bool th = false;           // TH suffix: ordinal
  LetterCase thCase = LetterCase::Upper;  // TH as written ("th" gives "5th")
  bool sp = false;           // SP suffix: spelled
  int fractionDigits = 0;    // FF1..FF9; 0 = default
};

// Splits a date format model into tokens. Unknown elements throw ORA-01821.
std::vector<DateToken> tokenizeDateFormat(std::string_view format);
// The same through a small per-thread cache (NLS formats repeat on every row).
const std::vector<DateToken>& cachedDateTokens(std::string_view format);

extern const char* const kMonthNames[12];  // "JANUARY" ...
extern const char* const kDayNames[7];     // "SUNDAY" ...

// English words for 0 <= n < 10^10, upper case: 2024 -> "TWO THOUSAND TWENTY-FOUR".
std::string spellNumber(int64_t n);
// Spelled ordinal: 5 -> "FIFTH", 21 -> "TWENTY-FIRST", 40 -> "FORTIETH".
std::string spellOrdinal(int64_t n);
// Oracle's YEAR spelling: 2024 -> "TWENTY TWENTY-FOUR", 2000 -> "TWO THOUSAND".
std::string spellYear(int year);
// Ordinal suffix of n: "ST", "ND", "RD" or "TH".
const char* ordinalSuffix(int64_t n);
// Applies a letter case to upper-case text: "JANUARY" -> "January" / "january".
std::string applyCase(std::string upper, LetterCase letterCase);

}  // namespace ocisim
