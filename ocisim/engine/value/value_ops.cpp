#include "engine/value/value_ops.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "engine/ora_error.h"
#include "engine/value/conversion.h"
#include "engine/value/utf8.h"

namespace ocisim {
namespace {

int sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

// Text comparison: binary, or blank-padded (the shorter side padded with blanks).
int compareText(std::string_view a, std::string_view b, bool padded) {
  std::size_t n = std::min(a.size(), b.size());
  int c = a.substr(0, n).compare(b.substr(0, n));
  if (c != 0 || a.size() == b.size()) return sign(c);
  if (!padded) return a.size() < b.size() ? -1 : 1;
  std::string_view rest = a.size() > n ? a.substr(n) : b.substr(n);
  int restSign = a.size() > n ? 1 : -1;
  for (char ch : rest) {
    if (ch != ' ') return static_cast<unsigned char>(ch) > ' ' ? restSign : -restSign;
  }
  return 0;
}

int compareDatetimes(const DateTime& a, const DateTime& b) { return sign(a.compare(b)); }

int kindRank(ValueKind k) {
  switch (k) {
    case ValueKind::Number: return 0;
    case ValueKind::Text: return 1;
    case ValueKind::Date:
    case ValueKind::Timestamp: return 2;
    case ValueKind::Binary: return 3;
    case ValueKind::Null: return 4;
  }
  return 4;
}

std::string_view trimTrailingBlanks(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

}  // namespace

int compareValues(const Value& a, const Value& b, const NlsSettings& nls) {
  if (a.isNumber() || b.isNumber()) {
    if (a.isNumber() && b.isNumber()) return sign(a.asNumber().compare(b.asNumber()));
    const Value& other = a.isNumber() ? b : a;
    if (!other.isText()) throw OraError(932, {"NUMBER", kindTypeName(other)});
    return sign(toNumber(a).compare(toNumber(b)));
  }
  if (a.isDatetime() || b.isDatetime()) {
    const Value& other = a.isDatetime() ? b : a;
    if (!other.isDatetime() && !other.isText()) throw OraError(932, {"DATE", kindTypeName(other)});
    return compareDatetimes(toDate(a, nls), toDate(b, nls));
  }
  if (a.isText() && b.isText()) {
    return compareText(a.asText(), b.asText(), a.isCharText() && b.isCharText());
  }
  if (a.isBinary() || b.isBinary()) {
    std::string ab = a.isBinary() ? std::string(a.asText()) : hexToRaw(a.asText());
    std::string bb = b.isBinary() ? std::string(b.asText()) : hexToRaw(b.asText());
    return compareText(ab, bb, false);
  }
  throw OraError(932, {kindTypeName(a), kindTypeName(b)});
}

int sortCompare(const Value& a, const Value& b) {
  int ra = kindRank(a.kind()), rb = kindRank(b.kind());
  if (ra != rb) return ra < rb ? -1 : 1;
  switch (a.kind()) {
    case ValueKind::Null: return 0;
    case ValueKind::Number: return sign(a.asNumber().compare(b.asNumber()));
    case ValueKind::Text:
      return compareText(a.asText(), b.asText(), a.isCharText() && b.isCharText());
    case ValueKind::Date:
    case ValueKind::Timestamp: return compareDatetimes(a.asDateTime(), b.asDateTime());
    case ValueKind::Binary: return compareText(a.asText(), b.asText(), false);
  }
  return 0;
}

std::size_t sortHash(const Value& v) {
  switch (v.kind()) {
    case ValueKind::Null: return 0x9e3779b9u;
    case ValueKind::Number: return v.asNumber().hash();
    case ValueKind::Text: return std::hash<std::string_view>()(trimTrailingBlanks(v.asText()));
    case ValueKind::Date:
    case ValueKind::Timestamp: {
      const DateTime& d = v.asDateTime();
      return std::hash<int64_t>()(d.secondsSinceEpoch() * 31 + d.nanos);
    }
    case ValueKind::Binary: return ~std::hash<std::string_view>()(v.asText());
  }
  return 0;
}

Value arithmetic(ArithOp op, const Value& a, const Value& b, const NlsSettings& nls) {
  (void)nls;
  if (a.isNull() || b.isNull()) return Value();
  if (a.isDatetime()) {
    if (b.isDatetime()) {
      if (op != ArithOp::Subtract) throw OraError(op == ArithOp::Add ? 975 : 932, {"NUMBER", "DATE"});
      return Value::number(a.asDateTime().daysSince(b.asDateTime()));
    }
    if (op != ArithOp::Add && op != ArithOp::Subtract) throw OraError(932, {"NUMBER", "DATE"});
    Decimal days = toNumber(b);
    return Value::date(a.asDateTime().addDays(op == ArithOp::Add ? days : -days));
  }
  if (b.isDatetime()) {
    if (op != ArithOp::Add) throw OraError(932, {"NUMBER", "DATE"});
    return Value::date(b.asDateTime().addDays(toNumber(a)));
  }
  Decimal x = toNumber(a), y = toNumber(b);
  switch (op) {
    case ArithOp::Add: return Value::number(x + y);
    case ArithOp::Subtract: return Value::number(x - y);
    case ArithOp::Multiply: return Value::number(x * y);
    case ArithOp::Divide: return Value::number(x / y);
  }
  return Value();
}

Value negate(const Value& a) {
  if (a.isNull()) return a;
  return Value::number(-toNumber(a));
}

Value concat(const Value& a, const Value& b, const NlsSettings& nls) {
  if (a.isNull() && b.isNull()) return Value();
  if (b.isNull()) return toTextValue(a, nls);
  if (a.isNull()) return toTextValue(b, nls);
  std::string s = toText(a, nls);
  s += toText(b, nls);
  return a.isCharText() && b.isCharText() ? Value::charText(s) : Value::text(s);
}

namespace {

// The characters of a text as numbers for LIKE; a malformed byte gets a number of its own.
std::vector<int> likeCharacters(std::string_view s) {
  std::vector<int> out;
  out.reserve(s.size());
  for (std::size_t pos = 0; pos < s.size();) {
    std::size_t at = pos;
    uint32_t c = utf8::decode(s, pos);
    bool malformed = pos - at == 1 && static_cast<unsigned char>(s[at]) >= 0x80;
    out.push_back(static_cast<int>(malformed ? 0x110000 + c : c));
  }
  return out;
}

}  // namespace

// '_' matches one character, '%' any run of them.
bool likeMatch(std::string_view textBytes, std::string_view patternBytes, char escape) {
  std::vector<int> text = likeCharacters(textBytes), pattern = likeCharacters(patternBytes);
  int escapeChar = escape == 0 ? -3 : static_cast<unsigned char>(escape);
  // Tokens: a character, -1 '_', -2 '%'.
  std::vector<int> tokens;
  tokens.reserve(pattern.size());
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    int c = pattern[i];
    if (c == escapeChar) {
      if (i + 1 >= pattern.size()) throw OraError(1424);
      int next = pattern[++i];
      if (next != '%' && next != '_' && next != escapeChar) throw OraError(1424);
      tokens.push_back(next);
    } else if (c == '%') {
      if (tokens.empty() || tokens.back() != -2) tokens.push_back(-2);
    } else if (c == '_') {
      tokens.push_back(-1);
    } else {
      tokens.push_back(c);
    }
  }
  // Greedy matching with backtracking to the last '%'.
  std::size_t t = 0, p = 0, starP = std::string::npos, starT = 0;
  while (t < text.size()) {
    if (p < tokens.size() && tokens[p] != -2 && (tokens[p] == -1 || tokens[p] == text[t])) {
      ++t;
      ++p;
    } else if (p < tokens.size() && tokens[p] == -2) {
      starP = p++;
      starT = t;
    } else if (starP != std::string::npos) {
      p = starP + 1;
      t = ++starT;
    } else {
      return false;
    }
  }
  while (p < tokens.size() && tokens[p] == -2) ++p;
  return p == tokens.size();
}

DataType arithmeticType(ArithOp op, const DataType& a, const DataType& b) {
  if (a.isDatetime() && b.isDatetime()) return DataType::number();
  if ((a.isDatetime() || b.isDatetime()) && (op == ArithOp::Add || op == ArithOp::Subtract)) {
    return DataType::date();
  }
  return DataType::number();
}

namespace {

int textLengthOf(const DataType& t) {
  switch (t.code) {
    case TypeCode::Varchar2:
    case TypeCode::Char: return t.length;
    case TypeCode::Raw: return t.length * 2;
    case TypeCode::Number:
    case TypeCode::Float: return 40;
    case TypeCode::Date:
    case TypeCode::Timestamp: return 75;
    default: return 4000;
  }
}

}  // namespace

DataType concatType(const DataType& a, const DataType& b) {
  int len = std::min(4000, textLengthOf(a) + textLengthOf(b));
  if (a.code == TypeCode::Char && b.code == TypeCode::Char && len <= 2000) {
    return DataType::charType(len);
  }
  return DataType::varchar2(len);
}

}  // namespace ocisim
