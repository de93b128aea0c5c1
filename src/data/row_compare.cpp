#include "data/row_compare.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>

#include "oracle/oci.h"

namespace velmora {

FieldKind fieldKindForTypeCode(int typeCode) {
  switch (typeCode) {
    case SQLT_NUM:
    case SQLT_INT:
    case SQLT_FLT:
    case SQLT_VNU:
    case SQLT_UIN:
    case SQLT_BFLOAT:
    case SQLT_BDOUBLE:
    case SQLT_IBFLOAT:
    case SQLT_IBDOUBLE:
      return FieldKind::Number;
    case SQLT_DAT:
    case SQLT_ODT:
    case SQLT_DATE:
      return FieldKind::Date;
    case SQLT_TIMESTAMP:
      return FieldKind::Timestamp;
    case SQLT_BIN:
      return FieldKind::Raw;
    case SQLT_LNG:
      return FieldKind::Long;
    case SQLT_LBI:
      return FieldKind::LongRaw;
    case SQLT_CLOB:
    case SQLT_BLOB:
    case SQLT_BFILEE:
    case SQLT_CFILEE:
      return FieldKind::Lob;
    default:
      return FieldKind::Text;
  }
}

namespace {

// A decimal number reduced to sign, the position of its decimal point relative to its first
// significant digit, and its significant digits: 12.5 -> {1, 2, "125"}, -0.05 -> {-1, -1, "5"}.
struct Decimal {
  int sign = 0;
  long point = 0;
  std::string digits;
};

bool parseDecimal(std::string_view text, Decimal& out) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  std::string digits;
  long point = 0;
  bool seenPoint = false, anyDigit = false;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c >= '0' && c <= '9') {
      anyDigit = true;
      if (digits.empty() && c == '0') {
        if (seenPoint) --point;  // a leading zero after the point moves it
        continue;
      }
      digits += c;
      if (!seenPoint) ++point;
    } else if (c == '.' && !seenPoint) {
      seenPoint = true;
    } else {
      break;
    }
  }
  if (!anyDigit) return false;
  if (i < text.size()) {
    if (text[i] != 'E' && text[i] != 'e') return false;
    ++i;
    bool expNegative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) expNegative = text[i++] == '-';
    if (i >= text.size()) return false;
    long exponent = 0;
    for (; i < text.size(); ++i) {
      if (text[i] < '0' || text[i] > '9') return false;
      if (exponent < 100000) exponent = exponent * 10 + (text[i] - '0');
    }
    point += expNegative ? -exponent : exponent;
  }
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
  out.sign = digits.empty() ? 0 : (negative ? -1 : 1);
  out.point = digits.empty() ? 0 : point;
  out.digits = std::move(digits);
  return true;
}

int sign(int value) {
  return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

int compareBytes(std::string_view a, std::string_view b) {
  return sign(a.compare(b));
}

std::string upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view trimmed(std::string_view text, bool lead, bool trail) {
  if (lead) {
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  }
  if (trail) {
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
  }
  return text;
}

// Two texts equal under the options, the way a single field of text is compared.
bool textsEqual(std::string_view a, std::string_view b, const ComparisonOptions& options) {
  if (a == b) return true;
  std::string x(trimmed(a, options.b_CompDatLead, options.b_CompDatTrail));
  std::string y(trimmed(b, options.b_CompDatLead, options.b_CompDatTrail));
  if (options.b_CompDatCase) {
    x = upper(x);
    y = upper(y);
  }
  if (options.b_CompDatSecs || options.b_CompDatFrac) {
    x = trimDateText(x, options);
    y = trimDateText(y, options);
  }
  if (x == y) return true;
  if (!options.b_CompDatValue) return false;
  bool ok = false;
  return compareDecimalTexts(x, y, &ok) == 0 && ok;
}

}  // namespace

int compareDecimalTexts(std::string_view a, std::string_view b, bool* ok) {
  Decimal x, y;
  bool parsed = parseDecimal(a, x) && parseDecimal(b, y);
  if (ok != nullptr) *ok = parsed;
  if (!parsed) return 0;
  if (x.sign != y.sign) return x.sign < y.sign ? -1 : 1;
  if (x.sign == 0) return 0;
  int magnitude = 0;
  if (x.point != y.point) {
    magnitude = x.point < y.point ? -1 : 1;
  } else {
    magnitude = compareBytes(x.digits, y.digits);  // no trailing zeros: a prefix is smaller
  }
  return x.sign > 0 ? magnitude : -magnitude;
}

std::string trimDateText(std::string_view field, const ComparisonOptions& options) {
  if (!options.b_CompDatSecs && !options.b_CompDatFrac) return std::string(field);
  const auto digitsAt = [&](size_t from, size_t count) {
    for (size_t i = from; i < from + count; ++i) {
      if (i >= field.size() || field[i] < '0' || field[i] > '9') return false;
    }
    return true;
  };
  bool dateForm = field.size() >= 19 && digitsAt(0, 4) && field[4] == '-' && digitsAt(5, 2) &&
                  field[7] == '-' && digitsAt(8, 2) && field[10] == ' ' && digitsAt(11, 2) &&
                  field[13] == ':' && digitsAt(14, 2) && field[16] == ':' && digitsAt(17, 2);
  if (!dateForm) return std::string(field);
  return std::string(field.substr(0, options.b_CompDatSecs ? 16 : 19));
}

int compareFieldOrder(const DataField& a, const DataField& b) {
  if (a.null || b.null) return a.null == b.null ? 0 : (a.null ? 1 : -1);
  if (sameBytes(a.text, b.text)) return 0;  // the same text is the same value, whatever the kind
  if (a.kind == FieldKind::Number && b.kind == FieldKind::Number) {
    bool ok = false;
    int result = compareDecimalTexts(a.text, b.text, &ok);
    if (ok) return result;
  }
  return compareBytes(a.text, b.text);
}

bool fieldsEqual(const DataField& a, const DataField& b, const ComparisonOptions& options) {
  if (a.null || b.null) {
    if (a.null == b.null) return true;
    // Ignoring blanks can make a blank text equal to nothing.
    const DataField& value = a.null ? b : a;
    return (options.b_CompDatLead || options.b_CompDatTrail) && value.kind == FieldKind::Text &&
           trimmed(value.text, true, true).empty();
  }
  if (a.text == b.text) return true;
  if (a.kind == FieldKind::Number && b.kind == FieldKind::Number) {
    bool ok = false;
    int result = compareDecimalTexts(a.text, b.text, &ok);
    if (ok) return result == 0;
  }
  if (a.text == b.text) return true;
  if (a.kind == FieldKind::Lob || b.kind == FieldKind::Lob) return false;
  return textsEqual(a.text, b.text, options);
}

int compareRows(const DataRow& row1, const DataRow& row2, int keyCount,
                const ComparisonOptions& options) {
  const size_t n = std::min(row1.size(), row2.size());
  const size_t keys = std::min(static_cast<size_t>(std::max(keyCount, 0)), n);
  for (size_t i = 0; i < keys; ++i) {
    int order = compareFieldOrder(row1[i], row2[i]);
    if (order != 0) return order < 0 ? kRow1First : kRow2KeyFirst;
  }
  bool equal = row1.size() == row2.size();
  for (size_t i = keys; equal && i < n; ++i) {
    const DataField& a = row1[i];
    const DataField& b = row2[i];
    if (a.null == b.null && sameBytes(a.text, b.text))
      continue;  // the same value, whatever the options
    equal = fieldsEqual(a, b, options);
  }
  if (equal) return kRowsEqual;
  if (keys > 0) return kSameKeyOtherValues;
  // The streams are sorted by the orderable fields in select order: that order decides.
  for (size_t i = 0; i < n; ++i) {
    if (!orderableKind(row1[i].kind) || !orderableKind(row2[i].kind)) continue;
    int order = compareFieldOrder(row1[i], row2[i]);
    if (order != 0) return order < 0 ? kRow1First : kRow2First;
  }
  for (size_t i = 0; i < n; ++i) {
    int order = compareFieldOrder(row1[i], row2[i]);
    if (order != 0) return order < 0 ? kRow1First : kRow2First;
  }
  return row1.size() < row2.size() ? kRow1First : kRow2First;
}

int compareRows(std::string_view row1, std::string_view row2, int cutFlag,
                const ComparisonOptions& options) {
  if (cutFlag != 0) {
    for (std::string_view* row : {&row1, &row2}) {
      size_t bar = row->find('|');
      if (bar != std::string_view::npos && bar > 0) *row = row->substr(0, bar);
    }
  }
  if (textsEqual(row1, row2, options)) return 0;
  std::string a(row1), b(row2);
  if (options.b_CompDatCase) {
    a = upper(a);
    b = upper(b);
  }
  return compareBytes(a, b) < 0 ? -1 : 1;
}

}  // namespace velmora
