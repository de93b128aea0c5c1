// TO_CHAR(number, fmt) and TO_NUMBER(text, fmt): the number format models.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>

#include "engine/ora_error.h"
#include "engine/value/format.h"

namespace ocisim {
namespace {

enum class SignMode { Default, LeadingS, TrailingS, TrailingMI, Brackets };

struct NumberModel {
  bool fm = false;
  bool dollar = false;
  bool blankZero = false;  // B
  bool eeee = false;
  bool tm = false;         // TM, TM9: text minimum
  bool tme = false;        // TME: text minimum, scientific
  bool roman = false;      // RN
  bool romanLower = false;
  bool hexLower = false;
  bool hexZero = false;    // leading 0 before the X digits
  int hexDigits = 0;
  int shift = 0;           // V: digits multiplied in
  SignMode sign = SignMode::Default;
  std::string intPart;     // '9', '0' and ',' before the decimal point
  std::string fracPart;    // '9' and '0' after it
  bool point = false;
  std::size_t width = 0;   // output width without FM
};

bool consume(std::string_view upper, std::size_t& pos, std::string_view word) {
  if (upper.substr(pos, word.size()) != word) return false;
  pos += word.size();
  return true;
}

// Throws ORA-01481 for an invalid model.
NumberModel parseModel(std::string_view format) {
  NumberModel m;
  std::string upper(format);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  std::size_t pos = 0;
  if (consume(upper, pos, "FM")) m.fm = true;
  std::string rest = upper.substr(pos);
  if (rest == "TM" || rest == "TM9" || rest == "TME") {
    m.tm = rest != "TME";
    m.tme = rest == "TME";
    return m;
  }
  if (upper.substr(pos) == "RN") {
    m.roman = true;
    m.romanLower = format[pos] == 'r';
    return m;
  }
  if (consume(upper, pos, "S")) m.sign = SignMode::LeadingS;
  if (consume(upper, pos, "B")) m.blankZero = true;
  if (consume(upper, pos, "$")) m.dollar = true;
  if (consume(upper, pos, "B")) m.blankZero = true;
  if (pos < upper.size() && (upper[pos] == 'X' || (upper[pos] == '0' && upper.find('X') != std::string::npos))) {
    while (pos < upper.size() && upper[pos] == '0') {
      m.hexZero = true;
      ++m.hexDigits;
      ++pos;
    }
    while (pos < upper.size() && upper[pos] == 'X') {
      if (format[pos] == 'x') m.hexLower = true;
      ++m.hexDigits;
      ++pos;
    }
    if (pos != upper.size() || m.sign != SignMode::Default || m.dollar) throw OraError(1481);
    m.width = static_cast<std::size_t>(m.hexDigits) + 1;
    return m;
  }
  bool anyDigit = false;
  while (pos < upper.size()) {
    char c = upper[pos];
    if (c == '9' || c == '0') {
      (m.point ? m.fracPart : m.intPart) += c;
      anyDigit = true;
      ++pos;
    } else if ((c == ',' || c == 'G') && !m.point) {
      m.intPart += ',';
      ++pos;
    } else if ((c == '.' || c == 'D') && !m.point) {
      m.point = true;
      ++pos;
    } else if (c == '$' && !m.dollar) {
      m.dollar = true;
      ++pos;
    } else if (c == 'V' && m.shift == 0 && !m.point) {
      ++pos;
      // The digits after V are integer positions of the multiplied value.
      while (pos < upper.size() && (upper[pos] == '9' || upper[pos] == '0')) {
        m.intPart += upper[pos];
        ++m.shift;
        ++pos;
      }
    } else {
      break;
    }
  }
  if (consume(upper, pos, "EEEE")) m.eeee = true;
  if (m.sign == SignMode::Default) {
    if (consume(upper, pos, "MI")) m.sign = SignMode::TrailingMI;
    else if (consume(upper, pos, "PR")) m.sign = SignMode::Brackets;
    else if (consume(upper, pos, "S")) m.sign = SignMode::TrailingS;
  }
  if (pos != upper.size() || (!anyDigit && m.shift == 0)) throw OraError(1481);
  m.width = m.intPart.size() + m.fracPart.size() + (m.point ? 1 : 0) + (m.dollar ? 1 : 0) +
            (m.sign == SignMode::Brackets ? 2 : 1);
  return m;
}

std::string overflow(const NumberModel& m) { return std::string(m.width + (m.eeee ? 4 : 0), '#'); }

std::string roman(const Decimal& n, const NumberModel& m) {
  auto v = n.round(0).toInt64();
  if (!v || *v < 1 || *v > 3999) return std::string(15, '#');
  static const struct {
    int value;
    const char* text;
  } kRoman[] = {{1000, "M"}, {900, "CM"}, {500, "D"}, {400, "CD"}, {100, "C"}, {90, "XC"}, {50, "L"},
                {40, "XL"},  {10, "X"},   {9, "IX"},  {5, "V"},    {4, "IV"},   {1, "I"}};
  std::string out;
  int64_t rest = *v;
  for (const auto& r : kRoman) {
    while (rest >= r.value) {
      out += r.text;
      rest -= r.value;
    }
  }
  if (m.romanLower) {
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  if (!m.fm && out.size() < 15) out.insert(0, 15 - out.size(), ' ');
  return out;
}

std::string hex(const Decimal& n, const NumberModel& m) {
  Decimal r = n.round(0);
  if (r.isNegative()) return overflow(m);
  std::string out;
  Decimal sixteen = Decimal::fromInt64(16);
  static const char* const kDigits[2] = {"0123456789ABCDEF", "0123456789abcdef"};
  while (!r.isZero()) {
    Decimal q = (r / sixteen).trunc(0);
    int digit = static_cast<int>((r - q * sixteen).toInt64().value_or(0));
    out.insert(out.begin(), kDigits[m.hexLower ? 1 : 0][digit]);
    r = q;
  }
  if (out.empty()) out = "0";
  if (out.size() > static_cast<std::size_t>(m.hexDigits)) return overflow(m);
  std::size_t pad = static_cast<std::size_t>(m.hexDigits) - out.size();
  if (m.hexZero) return (m.fm ? "" : " ") + std::string(pad, '0') + out;
  return m.fm ? out : std::string(pad + 1, ' ') + out;
}

std::string scientific(const Decimal& n, const NumberModel& m) {
  int fracDigits = static_cast<int>(m.fracPart.size());
  Decimal r = n.roundSignificant(fracDigits + 1);
  std::string digits = r.digits();
  int exp = r.isZero() ? 0 : r.exponent10() - 1;
  digits.resize(static_cast<std::size_t>(fracDigits + 1), '0');
  std::string out = digits.substr(0, 1);
  if (m.point) out += "." + digits.substr(1);
  char buf[16];
  std::snprintf(buf, sizeof buf, "E%c%02d", exp < 0 ? '-' : '+', exp < 0 ? -exp : exp);
  out += buf;
  if (r.isNegative()) return "-" + out;
  return m.fm ? out : " " + out;
}

// The digits of the integer part laid over the model's integer positions.
bool layInteger(const std::string& intDigits, const NumberModel& m, bool hasFraction,
                std::string& out) {
  std::size_t slots = 0;
  for (char c : m.intPart) slots += c != ',' ? 1 : 0;
  if (intDigits.size() > slots) return false;
  std::size_t firstZero = m.intPart.find('0');
  bool showUnitZero = intDigits.empty() && !hasFraction;
  out.assign(m.intPart.size(), ' ');
  std::size_t k = 0;  // digits placed, from the right
  bool digitLeft = false;
  for (std::size_t i = m.intPart.size(); i-- > 0;) {
    char c = m.intPart[i];
    bool forced = firstZero != std::string::npos && i >= firstZero;
    if (c == ',') {
      // A separator shows only when a digit is written to its left.
      bool more = k < intDigits.size() || (firstZero != std::string::npos && i > firstZero);
      out[i] = more ? ',' : ' ';
      continue;
    }
    if (k < intDigits.size()) {
      out[i] = intDigits[intDigits.size() - 1 - k];
      digitLeft = true;
    } else if (forced || (showUnitZero && k == 0)) {
      out[i] = '0';
    }
    ++k;
  }
  (void)digitLeft;
  return true;
}

std::string fixed(const Decimal& n, const NumberModel& m) {
  Decimal v = n;
  for (int i = 0; i < m.shift; ++i) v = v * Decimal::fromInt64(10);
  int fracDigits = static_cast<int>(m.fracPart.size());
  Decimal r = v.round(fracDigits);
  if (m.blankZero && r.isZero()) return m.fm ? "" : std::string(m.width, ' ');
  std::string all = r.abs().toString();  // "123.45", ".5", "100"
  std::size_t dot = all.find('.');
  std::string intDigits = all.substr(0, dot);
  std::string frac = dot == std::string::npos ? "" : all.substr(dot + 1);
  if (intDigits == "0") intDigits.clear();
  frac.resize(static_cast<std::size_t>(fracDigits), '0');
  std::string body;
  if (!layInteger(intDigits, m, fracDigits > 0, body)) return overflow(m);
  if (m.fm) {
    // FM drops trailing zeros of '9' positions after the point.
    std::size_t keep = frac.size();
    while (keep > 0 && m.fracPart[keep - 1] == '9' && frac[keep - 1] == '0') --keep;
    frac.resize(keep);
  }
  if (m.point) body += "." + frac;
  std::size_t blanks = body.find_first_not_of(' ');
  if (blanks == std::string::npos) blanks = body.size();
  std::string lead = body.substr(0, blanks), rest = body.substr(blanks);
  if (m.dollar) rest = "$" + rest;
  bool negative = r.isNegative();
  std::string out;
  switch (m.sign) {
    case SignMode::Default: out = lead + (negative ? "-" : (m.fm ? "" : " ")) + rest; break;
    case SignMode::LeadingS: out = lead + (negative ? "-" : "+") + rest; break;
    case SignMode::TrailingS: out = lead + rest + (negative ? "-" : "+"); break;
    case SignMode::TrailingMI: out = lead + rest + (negative ? "-" : (m.fm ? "" : " ")); break;
    case SignMode::Brackets:
      out = negative ? lead + "<" + rest + ">" : lead + (m.fm ? "" : " ") + rest + (m.fm ? "" : " ");
      break;
  }
  if (m.fm) out.erase(0, out.find_first_not_of(' '));
  return out;
}

}  // namespace

std::string formatNumber(const Decimal& n, std::string_view format) {
  NumberModel m = parseModel(format);
  if (m.tm) return n.toSqlText();
  if (m.tme) {
    NumberModel sci;
    sci.fm = true;
    sci.point = true;
    sci.fracPart.assign(static_cast<std::size_t>(std::max(0, static_cast<int>(n.digits().size()) - 1)), '9');
    std::string out = scientific(n, sci);
    return out;
  }
  if (m.roman) return roman(n, m);
  if (m.hexDigits > 0) return hex(n, m);
  if (m.eeee) return scientific(n, m);
  return fixed(n, m);
}

Decimal parseNumber(std::string_view text, std::string_view format) {
  NumberModel m = parseModel(format);
  std::string s(text);
  while (!s.empty() && s.front() == ' ') s.erase(0, 1);
  while (!s.empty() && s.back() == ' ') s.pop_back();
  if (m.hexDigits > 0) {
    if (s.empty() || s.size() > static_cast<std::size_t>(m.hexDigits)) throw OraError(1722);
    Decimal v;
    for (char c : s) {
      int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
              : std::isxdigit(static_cast<unsigned char>(c))
                  ? std::toupper(static_cast<unsigned char>(c)) - 'A' + 10
                  : -1;
      if (d < 0) throw OraError(1722);
      v = v * Decimal::fromInt64(16) + Decimal::fromInt64(d);
    }
    return v;
  }
  bool negative = false;
  if (m.sign == SignMode::Brackets && s.size() >= 2 && s.front() == '<' && s.back() == '>') {
    negative = true;
    s = s.substr(1, s.size() - 2);
  } else if ((m.sign == SignMode::TrailingMI || m.sign == SignMode::TrailingS) && !s.empty() &&
             (s.back() == '-' || s.back() == '+')) {
    negative = s.back() == '-';
    s.pop_back();
  }
  std::string clean;
  bool grouping = m.intPart.find(',') != std::string::npos;
  for (char c : s) {
    if (c == '$' && m.dollar) continue;
    if (c == ',' && grouping) continue;
    clean += c;
  }
  if (!m.tm && !m.tme && !m.eeee) {
    std::size_t dot = clean.find('.');
    std::string intText = clean.substr(0, dot);
    std::size_t intDigits = 0, slots = 0;
    for (char c : intText) intDigits += std::isdigit(static_cast<unsigned char>(c)) ? 1 : 0;
    for (char c : m.intPart) slots += c != ',' ? 1 : 0;
    std::size_t fracDigits = dot == std::string::npos ? 0 : clean.size() - dot - 1;
    if (intDigits > slots || fracDigits > m.fracPart.size()) throw OraError(1722);
    if (clean.find_first_of("eE") != std::string::npos) throw OraError(1722);
  }
  auto d = Decimal::parse(clean);
  if (!d) throw OraError(1722);
  return negative ? -*d : *d;
}

}  // namespace ocisim
