#include "privseq/sequence_lines.h"

#include <algorithm>
#include <cctype>

#include "structure/ddl_text.h"

namespace velmora {

namespace {

// Column widths of a line, in order, and the pads the queries append before cutting.
constexpr size_t kNameWidth = 31;
constexpr size_t kLastWidth = 30;
constexpr size_t kValueWidth = 30;
constexpr size_t kIncrementWidth = 13;
constexpr size_t kFlagWidth = 11;

const char* const kColumnsWithLast =
    "select substr(sequence_name||'                                        ',0,31) || ' ' || "
    "substr(last_number||'                                        ',0,30) || ' ' || "
    "substr(min_value||'                              ',0,30) || ' ' || "
    "substr(max_value||'                              ',0,30) || ' ' || "
    "substr(increment_by||'               ',0,13) || ' ' || "
    "substr(cycle_flag||'             ',0,11) || ' ' || "
    "substr(order_flag||'             ',0,11) || ' ' || "
    "substr(cache_size||'             ',0,11)";
const char* const kColumnsWithoutLast =
    "select substr(sequence_name||'                                        ',0,31) || ' ' || "
    "substr(min_value||'                              ',0,30) || ' ' || "
    "substr(max_value||'                              ',0,30) || ' ' || "
    "substr(increment_by||'               ',0,13) || ' ' || "
    "substr(cycle_flag||'             ',0,11) || ' ' || "
    "substr(order_flag||'             ',0,11) || ' ' || "
    "substr(cache_size||'             ',0,11)";
const char* const kDropTail = "||'|DROP SEQUENCE '||sequence_name||';'";
const char* const kCreateTailWithLast =
    "||'|CREATE SEQUENCE '||sequence_name||' INCREMENT BY '||increment_by||' START WITH "
    "'||(last_number+increment_by)||decode(max_value,999999999999999999999999999,' NOMAXVALUE', "
    "' MAXVALUE ' || max_value) || ' MINVALUE ' || min_value||decode(cycle_flag,'N',' NOCYCLE',"
    "' CYCLE')||decode(cache_size,0,' NOCACHE',' CACHE '||cache_size)||decode(order_flag,'N',' "
    "NOORDER;',' ORDER;')";
const char* const kCreateTailWithoutLast =
    "||'|CREATE SEQUENCE '||sequence_name||' INCREMENT BY '||increment_by||' START WITH "
    "'||min_value||decode(max_value,999999999999999999999999999,' NOMAXVALUE', ' MAXVALUE ' || "
    "max_value) || ' MINVALUE ' || min_value||decode(cycle_flag,'N',' NOCYCLE',' "
    "CYCLE')||decode(cache_size,0,' NOCACHE',' CACHE '||cache_size)||decode(order_flag,'N',' "
    "NOORDER;',' ORDER;')";

std::string trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string quotedLiteral(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("''") : std::string(1, c);
  return out + "'";
}

// Integers as the dictionary writes them ("-12", "999..."): compared and added exactly, whatever
// their length.
struct Integer {
  bool negative = false;
  std::string digits;  // no leading zeros; "0" for zero
};

std::optional<Integer> readInteger(const std::string& text) {
  Integer value;
  size_t i = 0;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    value.negative = text[0] == '-';
    i = 1;
  }
  if (i == text.size()) return std::nullopt;
  for (; i < text.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return std::nullopt;
    if (value.digits.empty() && text[i] == '0') continue;
    value.digits += text[i];
  }
  if (value.digits.empty()) {
    value.digits = "0";
    value.negative = false;
  }
  return value;
}

int compareMagnitude(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a < b ? -1 : (a > b ? 1 : 0);
}

int compareIntegers(const Integer& a, const Integer& b) {
  if (a.negative != b.negative) return a.negative ? -1 : 1;
  const int magnitude = compareMagnitude(a.digits, b.digits);
  return a.negative ? -magnitude : magnitude;
}

std::string addMagnitudes(const std::string& a, const std::string& b) {
  std::string out;
  int carry = 0;
  for (size_t i = 0; i < std::max(a.size(), b.size()) || carry; ++i) {
    int sum = carry;
    if (i < a.size()) sum += a[a.size() - 1 - i] - '0';
    if (i < b.size()) sum += b[b.size() - 1 - i] - '0';
    out += static_cast<char>('0' + sum % 10);
    carry = sum / 10;
  }
  std::reverse(out.begin(), out.end());
  return out;
}

// a - b for magnitudes with a >= b.
std::string subtractMagnitudes(const std::string& a, const std::string& b) {
  std::string out;
  int borrow = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    int digit = a[a.size() - 1 - i] - '0' - borrow;
    if (i < b.size()) digit -= b[b.size() - 1 - i] - '0';
    borrow = digit < 0 ? 1 : 0;
    out += static_cast<char>('0' + (digit + 10) % 10);
  }
  while (out.size() > 1 && out.back() == '0') out.pop_back();
  std::reverse(out.begin(), out.end());
  return out;
}

std::string integerText(const Integer& value) {
  return (value.negative && value.digits != "0" ? "-" : "") + value.digits;
}

Integer addIntegers(const Integer& a, const Integer& b) {
  Integer sum;
  if (a.negative == b.negative) {
    sum.negative = a.negative;
    sum.digits = addMagnitudes(a.digits, b.digits);
  } else if (compareMagnitude(a.digits, b.digits) >= 0) {
    sum.negative = a.negative;
    sum.digits = subtractMagnitudes(a.digits, b.digits);
  } else {
    sum.negative = b.negative;
    sum.digits = subtractMagnitudes(b.digits, a.digits);
  }
  if (sum.digits == "0") sum.negative = false;
  return sum;
}

// -1, 0 or 1; texts that are no integers compare as texts (never reached with dictionary values).
int compareNumbers(const std::string& a, const std::string& b) {
  const auto x = readInteger(a);
  const auto y = readInteger(b);
  if (!x || !y) return a < b ? -1 : (a > b ? 1 : 0);
  return compareIntegers(*x, *y);
}

bool ascending(const SequenceAttributes& sequence) {
  return !sequence.incrementBy.empty() && sequence.incrementBy[0] != '-';
}

}  // namespace

bool isNoMaxValue(const std::string& maxValue) {
  return maxValue == std::string(27, '9') || maxValue == std::string(28, '9');
}

std::string sequenceQuery(bool withLastNumber, SequenceTail tail, const std::string& owner) {
  std::string sql = withLastNumber ? kColumnsWithLast : kColumnsWithoutLast;
  if (tail == SequenceTail::Drop) sql += kDropTail;
  if (tail == SequenceTail::Create)
    sql += withLastNumber ? kCreateTailWithLast : kCreateTailWithoutLast;
  // The owner is a user of the database exactly as named; a quote in it is doubled so that it
  // stays inside the literal.
  const std::string literal = quotedLiteral(owner);
  return sql + " from all_sequences where sequence_owner = '" +
         literal.substr(1, literal.size() - 2) + "' order by sequence_name";
}

std::optional<SequenceAttributes> parseSequenceLine(const std::string& line, bool withLastNumber) {
  std::string text = line;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  SequenceAttributes sequence;
  const size_t bar = text.find('|');
  if (bar != std::string::npos && bar > 0) {
    sequence.statement = text.substr(bar + 1);
    text.resize(bar);
  }
  size_t position = 0;
  bool complete = true;
  auto column = [&](size_t width) {
    if (position >= text.size()) {
      complete = false;
      return std::string();
    }
    std::string value = trimmed(text.substr(position, width));
    position += width + 1;
    return value;
  };
  sequence.name = column(kNameWidth);
  if (withLastNumber) sequence.lastNumber = column(kLastWidth);
  sequence.minValue = column(kValueWidth);
  sequence.maxValue = column(kValueWidth);
  sequence.incrementBy = column(kIncrementWidth);
  sequence.cycleFlag = column(kFlagWidth);
  sequence.orderFlag = column(kFlagWidth);
  sequence.cacheSize = column(kFlagWidth);
  if (!complete || sequence.name.empty() || sequence.cacheSize.empty()) return std::nullopt;
  return sequence;
}

int compareSequenceLines(const std::string& line1, const std::string& line2, bool cutAtBar,
                         bool ignoreCase) {
  auto cut = [cutAtBar](const std::string& line) {
    if (!cutAtBar) return line;
    const size_t bar = line.find('|');
    return bar != std::string::npos && bar > 0 ? line.substr(0, bar) : line;
  };
  const std::string a = cut(line1);
  const std::string b = cut(line2);
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (ignoreCase) {
      x = static_cast<unsigned char>(std::toupper(x));
      y = static_cast<unsigned char>(std::toupper(y));
    }
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::string sequenceStart(const SequenceAttributes& sequence) {
  // A descending sequence starting at its MINVALUE would be used up at once: it starts at its
  // MAXVALUE, as Oracle's default START WITH does.
  if (sequence.lastNumber.empty())
    return ascending(sequence) ? sequence.minValue : sequence.maxValue;
  const auto last = readInteger(sequence.lastNumber);
  const auto increment = readInteger(sequence.incrementBy);
  if (!last || !increment) return sequence.lastNumber;
  return integerText(addIntegers(*last, *increment));
}

std::string createSequenceStatement(const SequenceAttributes& sequence, const std::string& start) {
  std::string statement = "CREATE SEQUENCE " + ddlName(sequence.name) + " INCREMENT BY " +
                          sequence.incrementBy + " START WITH " + start;
  statement += isNoMaxValue(sequence.maxValue) ? " NOMAXVALUE" : " MAXVALUE " + sequence.maxValue;
  statement += " MINVALUE " + sequence.minValue;
  statement += sequence.cycleFlag == "N" ? " NOCYCLE" : " CYCLE";
  statement += sequence.cacheSize == "0" ? " NOCACHE" : " CACHE " + sequence.cacheSize;
  statement += sequence.orderFlag == "N" ? " NOORDER;" : " ORDER;";
  return statement;
}

SequenceChange planSequenceChange(const SequenceAttributes& first, const SequenceAttributes& second,
                                  const std::string& last2) {
  SequenceChange change;
  const std::string name = ddlName(first.name);
  if (ascending(first) != ascending(second)) {
    change.kind = SequenceChange::Kind::Refused;
    change.reason = "it counts " + std::string(ascending(first) ? "up" : "down") +
                    " in Database 1 and " + (ascending(second) ? "up" : "down") +
                    " in Database 2; change it by hand";
    return change;
  }
  std::string clauses;
  if (first.incrementBy != second.incrementBy) clauses += " INCREMENT BY " + first.incrementBy;
  if (first.minValue != second.minValue) clauses += " MINVALUE " + first.minValue;
  if (first.maxValue != second.maxValue)
    clauses += isNoMaxValue(first.maxValue) ? " NOMAXVALUE" : " MAXVALUE " + first.maxValue;
  if (first.cycleFlag != second.cycleFlag)
    clauses += first.cycleFlag == "N" ? " NOCYCLE" : " CYCLE";
  if (first.cacheSize != second.cacheSize)
    clauses += first.cacheSize == "0" ? " NOCACHE" : " CACHE " + first.cacheSize;
  if (first.orderFlag != second.orderFlag)
    clauses += first.orderFlag == "N" ? " NOORDER" : " ORDER";
  if (clauses.empty()) {
    if (!first.lastNumber.empty() && first.lastNumber != second.lastNumber)
      change.reason = "it is at " + first.lastNumber + " in Database 1 and at " +
                      second.lastNumber + " in Database 2; a sequence is never moved by the script";
    return change;
  }
  // Oracle refuses a MINVALUE above the current value and a MAXVALUE below it. The side the
  // sequence counts towards cannot be helped without moving it back; the side it comes from
  // can, by creating it again from where it is (or from Database 1's start, when that is
  // further on).
  const bool up = ascending(first);
  const bool fromSideBlocks =
      up ? compareNumbers(first.minValue, last2) > 0 : compareNumbers(first.maxValue, last2) < 0;
  const bool towardsSideBlocks =
      up ? compareNumbers(first.maxValue, last2) < 0 : compareNumbers(first.minValue, last2) > 0;
  if (towardsSideBlocks) {
    change.kind = SequenceChange::Kind::Refused;
    change.reason = std::string("Database 2 is at ") + last2 + ", past its " +
                    (up ? "MAXVALUE " + first.maxValue : "MINVALUE " + first.minValue) +
                    " in Database 1";
    return change;
  }
  if (fromSideBlocks) {
    std::string start = sequenceStart(first);
    if (up ? compareNumbers(last2, start) > 0 : compareNumbers(last2, start) < 0) start = last2;
    change.kind = SequenceChange::Kind::Recreate;
    change.statements =
        "DROP SEQUENCE " + name + ";\r\n" + createSequenceStatement(first, start) + "\r\n";
    change.reason = std::string("its ") +
                    (up ? "MINVALUE " + first.minValue : "MAXVALUE " + first.maxValue) +
                    " cannot be set while Database 2 is at " + last2 +
                    ": it is created again from " + start + " (grants on it must be given again)";
    return change;
  }
  change.kind = SequenceChange::Kind::Alter;
  change.statements = "ALTER SEQUENCE " + name + clauses + ";\r\n";
  return change;
}

}  // namespace velmora
