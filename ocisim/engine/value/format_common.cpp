// The date format tokenizer, calendar names and number spelling.
#include <cctype>

#include "engine/ora_error.h"
#include "engine/value/format_internal.h"

namespace ocisim {

const char* const kMonthNames[12] = {"JANUARY", "FEBRUARY", "MARCH",     "APRIL",
                                     "MAY",     "JUNE",     "JULY",      "AUGUST",
                                     "SEPTEMBER", "OCTOBER", "NOVEMBER", "DECEMBER"};
const char* const kDayNames[7] = {"SUNDAY",   "MONDAY", "TUESDAY", "WEDNESDAY",
                                  "THURSDAY", "FRIDAY", "SATURDAY"};

namespace {

struct ElementName {
  const char* name;
  DateElement element;
  bool numeric;  // takes TH / SP suffixes
};

// Longest names first where one name is a prefix of another.
const ElementName kElements[] = {
    {"Y,YYY", DateElement::YCommaYYY, true}, {"SYYYY", DateElement::SYYYY, true},
    {"SYEAR", DateElement::SYEAR, false},    {"YYYY", DateElement::YYYY, true},
    {"YYY", DateElement::YYY, true},         {"YY", DateElement::YY, true},
    {"YEAR", DateElement::YEAR, false},      {"Y", DateElement::Y, true},
    {"RRRR", DateElement::RRRR, true},       {"RR", DateElement::RR, true},
    {"RM", DateElement::RM, false},          {"IYYY", DateElement::IYYY, true},
    {"IYY", DateElement::IYY, true},         {"IY", DateElement::IY, true},
    {"IW", DateElement::IW, true},           {"I", DateElement::I, true},
    {"B.C.", DateElement::BC, false},        {"BC", DateElement::BC, false},
    {"A.D.", DateElement::BC, false},        {"AD", DateElement::BC, false},
    {"A.M.", DateElement::AM, false},        {"AM", DateElement::AM, false},
    {"P.M.", DateElement::AM, false},        {"PM", DateElement::AM, false},
    {"SCC", DateElement::SCC, true},         {"CC", DateElement::CC, true},
    {"Q", DateElement::Q, true},             {"MONTH", DateElement::MONTH, false},
    {"MON", DateElement::MON, false},        {"MM", DateElement::MM, true},
    {"MI", DateElement::MI, true},           {"WW", DateElement::WW, true},
    {"W", DateElement::W, true},             {"DDD", DateElement::DDD, true},
    {"DD", DateElement::DD, true},           {"DAY", DateElement::DAY, false},
    {"DY", DateElement::DY, false},          {"D", DateElement::D, true},
    {"J", DateElement::J, true},             {"HH24", DateElement::HH24, true},
    {"HH12", DateElement::HH12, true},       {"HH", DateElement::HH12, true},
    {"SSSSS", DateElement::SSSSS, true},     {"SS", DateElement::SS, true},
    {"FF", DateElement::FF, false},          {"FM", DateElement::Fm, false},
    {"FX", DateElement::Fx, false},          {"X", DateElement::X, false},
};

bool startsWith(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

LetterCase caseOf(std::string_view written) {
  if (written.empty() || !std::isalpha(static_cast<unsigned char>(written[0]))) {
    return LetterCase::Upper;
  }
  if (std::islower(static_cast<unsigned char>(written[0]))) return LetterCase::Lower;
  if (written.size() > 1 && std::islower(static_cast<unsigned char>(written[1]))) {
    return LetterCase::Capitalized;
  }
  return LetterCase::Upper;
}

// Reads TH / SP suffixes after a numeric element.
std::size_t readSuffixes(std::string_view format, std::string_view upper, std::size_t pos,
                         DateToken& token) {
  for (int round = 0; round < 2; ++round) {
    if (!token.th && startsWith(upper.substr(pos), "TH")) {
      token.th = true;
      token.thCase = std::islower(static_cast<unsigned char>(format[pos])) ? LetterCase::Lower
                                                                           : LetterCase::Upper;
      pos += 2;
    } else if (!token.sp && startsWith(upper.substr(pos), "SP")) {
      token.sp = true;
      pos += 2;
    }
  }
  return pos;
}

}  // namespace

std::vector<DateToken> tokenizeDateFormat(std::string_view format) {
  std::string upper(format);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  std::vector<DateToken> tokens;
  std::size_t pos = 0;
  while (pos < format.size()) {
    char c = format[pos];
    DateToken token;
    if (c == '"') {
      std::size_t close = format.find('"', pos + 1);
      if (close == std::string_view::npos) throw OraError(1821);
      token.literal = std::string(format.substr(pos + 1, close - pos - 1));
      token.quoted = true;
      tokens.push_back(std::move(token));
      pos = close + 1;
      continue;
    }
    if (!std::isalnum(static_cast<unsigned char>(c))) {
      token.literal = std::string(1, c);
      tokens.push_back(std::move(token));
      ++pos;
      continue;
    }
    const ElementName* found = nullptr;
    for (const auto& e : kElements) {
      if (startsWith(std::string_view(upper).substr(pos), e.name)) {
        found = &e;
        break;
      }
    }
    if (!found) throw OraError(1821);
    std::string_view name = found->name;
    token.element = found->element;
    token.letterCase = caseOf(format.substr(pos, name.size()));
    token.dots = name.find('.') != std::string_view::npos;
    pos += name.size();
    if (token.element == DateElement::FF && pos < upper.size() && upper[pos] >= '1' &&
        upper[pos] <= '9') {
      token.fractionDigits = upper[pos++] - '0';
    }
    if (found->numeric) pos = readSuffixes(format, upper, pos, token);
    tokens.push_back(std::move(token));
  }
  return tokens;
}

const std::vector<DateToken>& cachedDateTokens(std::string_view format) {
  struct Entry {
    std::string format;
    std::vector<DateToken> tokens;
    bool used = false;
  };
  constexpr std::size_t kEntries = 4;
  thread_local Entry cache[kEntries];
  thread_local std::size_t next = 0;
  for (Entry& e : cache) {
    if (e.used && e.format == format) return e.tokens;
  }
  Entry& slot = cache[next];
  next = (next + 1) % kEntries;
  slot.tokens = tokenizeDateFormat(format);  // a throw leaves the slot as it was
  slot.format = std::string(format);
  slot.used = true;
  return slot.tokens;
}

namespace {

const char* const kOnes[20] = {"ZERO",    "ONE",     "TWO",       "THREE",    "FOUR",
                               "FIVE",    "SIX",     "SEVEN",     "EIGHT",    "NINE",
                               "TEN",     "ELEVEN",  "TWELVE",    "THIRTEEN", "FOURTEEN",
                               "FIFTEEN", "SIXTEEN", "SEVENTEEN", "EIGHTEEN", "NINETEEN"};
const char* const kTens[10] = {"",      "",      "TWENTY",  "THIRTY", "FORTY",
                               "FIFTY", "SIXTY", "SEVENTY", "EIGHTY", "NINETY"};

std::string spellBelowThousand(int64_t n) {
  std::string out;
  if (n >= 100) {
    out = std::string(kOnes[n / 100]) + " HUNDRED";
    n %= 100;
    if (n == 0) return out;
    out += ' ';
  }
  if (n < 20) return out + kOnes[n];
  out += kTens[n / 10];
  if (n % 10 != 0) out += std::string("-") + kOnes[n % 10];
  return out;
}

}  // namespace

std::string spellNumber(int64_t n) {
  if (n < 1000) return spellBelowThousand(n);
  static const struct {
    int64_t scale;
    const char* word;
  } kScales[] = {{1000000000, " BILLION"}, {1000000, " MILLION"}, {1000, " THOUSAND"}};
  std::string out;
  for (const auto& s : kScales) {
    if (n >= s.scale) {
      if (!out.empty()) out += ' ';
      out += spellBelowThousand(n / s.scale) + s.word;
      n %= s.scale;
    }
  }
  if (n > 0) out += ' ' + spellBelowThousand(n);
  return out;
}

std::string spellYear(int year) {
  int y = year < 0 ? -year : year;
  int hi = y / 100, lo = y % 100;
  if (hi == 0) return spellNumber(lo);
  if (lo == 0) return hi % 10 == 0 ? spellNumber(y) : spellNumber(hi) + " HUNDRED";
  if (hi % 10 == 0 && lo < 10) return spellNumber(y);  // TWO THOUSAND FIVE
  return spellNumber(hi) + " " + spellNumber(lo);
}

std::string spellOrdinal(int64_t n) {
  std::string words = spellNumber(n);
  std::size_t start = words.find_last_of(" -") + 1;  // npos + 1 == 0
  std::string last = words.substr(start);
  static const struct {
    const char* cardinal;
    const char* ordinal;
  } kIrregular[] = {{"ONE", "FIRST"}, {"TWO", "SECOND"}, {"THREE", "THIRD"}, {"FIVE", "FIFTH"},
                    {"EIGHT", "EIGHTH"}, {"NINE", "NINTH"}, {"TWELVE", "TWELFTH"}};
  for (const auto& i : kIrregular) {
    if (last == i.cardinal) return words.substr(0, start) + i.ordinal;
  }
  if (last.back() == 'Y') return words.substr(0, start) + last.substr(0, last.size() - 1) + "IETH";
  return words + "TH";
}

const char* ordinalSuffix(int64_t n) {
  int64_t lastTwo = n % 100;
  if (lastTwo >= 11 && lastTwo <= 13) return "TH";
  switch (n % 10) {
    case 1: return "ST";
    case 2: return "ND";
    case 3: return "RD";
    default: return "TH";
  }
}

std::string applyCase(std::string upper, LetterCase letterCase) {
  if (letterCase == LetterCase::Upper) return upper;
  bool wordStart = true;
  for (char& c : upper) {
    bool alpha = std::isalpha(static_cast<unsigned char>(c)) != 0;
    if (alpha && !(letterCase == LetterCase::Capitalized && wordStart)) {
      c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    wordStart = !alpha;
  }
  return upper;
}

}  // namespace ocisim
