// Text functions: SUBSTR INSTR LENGTH UPPER LOWER INITCAP LTRIM RTRIM TRIM LPAD RPAD REPLACE
// TRANSLATE CHR ASCII CONCAT count characters of the UTF-8 database character set (utf8.h);
// LENGTHB SUBSTRB INSTRB count bytes.
#include <string>
#include <vector>

#include "engine/ora_error.h"
#include "engine/value/functions_internal.h"
#include "engine/value/utf8.h"
#include "engine/value/value_ops.h"

namespace ocisim {
namespace {

// Positions are counted in characters, or in bytes for the B functions.
enum class Unit { Char, Byte };

std::size_t unitLength(std::string_view s, Unit u) {
  return u == Unit::Char ? utf8::length(s) : s.size();
}

// The byte offset of unit number `index` (0-based).
std::size_t unitOffset(std::string_view s, std::size_t index, Unit u) {
  return u == Unit::Char ? utf8::offsetOf(s, index) : std::min(index, s.size());
}

// The unit number of a byte offset.
std::size_t unitIndex(std::string_view s, std::size_t offset, Unit u) {
  return u == Unit::Char ? utf8::indexOf(s, offset) : offset;
}

// SUBSTRB cuts bytes; a character cut in two leaves a blank for each of its bytes taken, so
// the result is well-formed and as long as asked.
std::string blankPartialCharacters(std::string_view whole, std::size_t from, std::size_t to) {
  std::string out;
  std::size_t pos = 0;
  while (pos < to) {
    std::size_t n = utf8::charSize(whole, pos);
    std::size_t end = pos + n;
    if (end > from) {
      if (pos >= from && end <= to) {
        out.append(whole.substr(pos, n));
      } else {
        out.append(std::min(end, to) - std::max(pos, from), ' ');
      }
    }
    pos = end;
  }
  return out;
}

Value substrIn(const Args& a, const FunctionContext& ctx, Unit unit) {
  if (anyNull(a)) return Value();
  std::string s = textArg(a[0], ctx);
  int64_t len = static_cast<int64_t>(unitLength(s, unit));
  int64_t pos = intArg(a[1]);
  if (pos == 0) pos = 1;
  if (pos < 0) pos = len + pos + 1;
  if (pos < 1 || pos > len) return Value();
  int64_t count = len - pos + 1;
  if (a.size() > 2) {
    // The length is truncated like the position; below 1 gives NULL.
    int64_t want = intArg(a[2]);
    if (want < 1) return Value();
    count = std::min(count, want);
  }
  std::size_t from = unitOffset(s, static_cast<std::size_t>(pos - 1), unit);
  std::size_t to = unitOffset(s, static_cast<std::size_t>(pos - 1 + count), unit);
  if (unit == Unit::Byte) return Value::text(blankPartialCharacters(s, from, to));
  return Value::text(s.substr(from, to - from));
}

Value substrFn(const Args& a, const FunctionContext& ctx) {
  return substrIn(a, ctx, Unit::Char);
}
Value substrbFn(const Args& a, const FunctionContext& ctx) {
  return substrIn(a, ctx, Unit::Byte);
}

Value instrIn(const Args& a, const FunctionContext& ctx, Unit unit) {
  if (anyNull(a)) return Value();
  std::string s = textArg(a[0], ctx), sub = textArg(a[1], ctx);
  int64_t pos = a.size() > 2 ? intArg(a[2]) : 1;
  int64_t occurrence = a.size() > 3 ? intArg(a[3]) : 1;
  if (occurrence < 1) throw OraError(1428, {std::to_string(occurrence)});
  int64_t len = static_cast<int64_t>(unitLength(s, unit));
  if (pos == 0 || std::abs(pos) > len) return Value::integer(0);
  auto found = [&](std::size_t hit) {
    return Value::integer(static_cast<int64_t>(unitIndex(s, hit, unit)) + 1);
  };
  if (pos > 0) {
    std::size_t from = unitOffset(s, static_cast<std::size_t>(pos - 1), unit);
    for (;;) {
      std::size_t hit = s.find(sub, from);
      if (hit == std::string::npos) return Value::integer(0);
      if (--occurrence == 0) return found(hit);
      from = hit + 1;
    }
  }
  // A negative position searches backward; a match may start at len + pos + 1 at the latest.
  int64_t start = static_cast<int64_t>(unitOffset(s, static_cast<std::size_t>(len + pos), unit));
  for (;;) {
    if (start < 0) return Value::integer(0);
    std::size_t hit = s.rfind(sub, static_cast<std::size_t>(start));
    if (hit == std::string::npos) return Value::integer(0);
    if (--occurrence == 0) return found(hit);
    start = static_cast<int64_t>(hit) - 1;
  }
}

Value instrFn(const Args& a, const FunctionContext& ctx) {
  return instrIn(a, ctx, Unit::Char);
}
Value instrbFn(const Args& a, const FunctionContext& ctx) {
  return instrIn(a, ctx, Unit::Byte);
}

Value lengthFn(const Args& a, const FunctionContext& ctx) {
  if (anyNull(a)) return Value();
  return Value::integer(static_cast<int64_t>(utf8::length(textArg(a[0], ctx))));
}

Value lengthbFn(const Args& a, const FunctionContext& ctx) {
  if (anyNull(a)) return Value();
  return Value::integer(static_cast<int64_t>(textArg(a[0], ctx).size()));
}

Value caseFn(const Args& a, const FunctionContext& ctx, int mode) {
  if (anyNull(a)) return Value();
  std::string s = textArg(a[0], ctx);
  std::string out;
  out.reserve(s.size());
  bool wordStart = true;
  for (std::size_t pos = 0; pos < s.size();) {
    std::size_t at = pos;
    uint32_t c = utf8::decode(s, pos);
    if (pos - at == 1 && static_cast<unsigned char>(s[at]) >= 0x80) {
      out += s[at];  // a malformed byte stays as it is
      wordStart = true;
      continue;
    }
    bool alnum = utf8::isAlnum(c);
    utf8::append(out, mode == 0 || (mode == 2 && wordStart) ? utf8::toUpper(c) : utf8::toLower(c));
    wordStart = !alnum;
  }
  return a[0].isCharText() ? Value::charText(out) : Value::text(out);
}

Value upperFn(const Args& a, const FunctionContext& ctx) { return caseFn(a, ctx, 0); }
Value lowerFn(const Args& a, const FunctionContext& ctx) { return caseFn(a, ctx, 1); }
Value initcapFn(const Args& a, const FunctionContext& ctx) { return caseFn(a, ctx, 2); }

// The characters of `s`, each as its bytes.
std::vector<std::string_view> charactersOf(std::string_view s) {
  std::vector<std::string_view> out;
  for (std::size_t pos = 0, n; pos < s.size(); pos += n) {
    n = utf8::charSize(s, pos);
    out.push_back(s.substr(pos, n));
  }
  return out;
}

bool contains(const std::vector<std::string_view>& set, std::string_view c) {
  for (std::string_view x : set) {
    if (x == c) return true;
  }
  return false;
}

std::string trimSet(const std::string& s, const std::string& setText, bool left, bool right) {
  std::vector<std::string_view> chars = charactersOf(s), set = charactersOf(setText);
  std::size_t b = 0, e = chars.size();
  if (left) {
    while (b < e && contains(set, chars[b])) ++b;
  }
  if (right) {
    while (e > b && contains(set, chars[e - 1])) --e;
  }
  std::string out;
  for (std::size_t i = b; i < e; ++i) out.append(chars[i]);
  return out;
}

Value ltrimFn(const Args& a, const FunctionContext& ctx) {
  if (anyNull(a)) return Value();
  std::string set = a.size() > 1 ? textArg(a[1], ctx) : " ";
  return Value::text(trimSet(textArg(a[0], ctx), set, true, false));
}

Value rtrimFn(const Args& a, const FunctionContext& ctx) {
  if (anyNull(a)) return Value();
  std::string set = a.size() > 1 ? textArg(a[1], ctx) : " ";
  return Value::text(trimSet(textArg(a[0], ctx), set, false, true));
}

// TRIM(s) or TRIM(form, character, s); see functions.h.
Value trimFn(const Args& a, const FunctionContext& ctx) {
  if (a.size() == 2) throw OraError(909);
  if (a.size() == 1) {
    if (a[0].isNull()) return Value();
    return Value::text(trimSet(textArg(a[0], ctx), " ", true, true));
  }
  std::string form = textArg(a[0], ctx);
  if (a[1].isNull() || a[2].isNull()) return Value();
  std::string set = textArg(a[1], ctx);
  if (utf8::length(set) != 1) throw OraError(30001);
  bool left = form != "TRAILING", right = form != "LEADING";
  return Value::text(trimSet(textArg(a[2], ctx), set, left, right));
}

Value padFn(const Args& a, const FunctionContext& ctx, bool left) {
  if (anyNull(a)) return Value();
  std::string s = textArg(a[0], ctx);
  int64_t n = intArg(a[1]);
  if (n < 1) return Value();
  if (n > 32767) n = 32767;
  // Widths count characters (every character here is one column wide).
  std::size_t width = static_cast<std::size_t>(n);
  std::size_t have = utf8::length(s);
  if (have >= width) return Value::text(s.substr(0, utf8::offsetOf(s, width)));
  std::string padText = a.size() > 2 ? textArg(a[2], ctx) : " ";
  std::vector<std::string_view> pad = charactersOf(padText);
  if (pad.empty()) return Value();
  std::string fill;
  for (std::size_t i = 0; i < width - have; ++i) fill.append(pad[i % pad.size()]);
  return Value::text(left ? fill + s : s + fill);
}

Value lpadFn(const Args& a, const FunctionContext& ctx) { return padFn(a, ctx, true); }
Value rpadFn(const Args& a, const FunctionContext& ctx) { return padFn(a, ctx, false); }

Value replaceFn(const Args& a, const FunctionContext& ctx) {
  if (a[0].isNull()) return Value();
  std::string s = textArg(a[0], ctx);
  if (a[1].isNull()) return Value::text(s);
  std::string search = textArg(a[1], ctx);
  std::string repl = a.size() > 2 && !a[2].isNull() ? textArg(a[2], ctx) : "";
  std::string out;
  std::size_t from = 0;
  for (std::size_t hit; (hit = s.find(search, from)) != std::string::npos; from = hit + search.size()) {
    out.append(s, from, hit - from);
    out += repl;
  }
  out.append(s, from, std::string::npos);
  return Value::text(out);
}

Value translateFn(const Args& a, const FunctionContext& ctx) {
  if (anyNull(a)) return Value();
  std::string s = textArg(a[0], ctx), from = textArg(a[1], ctx), to = textArg(a[2], ctx);
  std::vector<std::string_view> fromChars = charactersOf(from), toChars = charactersOf(to);
  std::string out;
  for (std::string_view c : charactersOf(s)) {
    std::size_t i = 0;
    while (i < fromChars.size() && fromChars[i] != c) ++i;
    if (i == fromChars.size())
      out.append(c);
    else if (i < toChars.size())
      out.append(toChars[i]);
  }
  return Value::text(out);
}

Value chrFn(const Args& a, const FunctionContext&) {
  if (anyNull(a)) return Value();
  int64_t n = intArg(a[0]);
  if (n < 0) throw OraError(1428, {std::to_string(n)});
  std::string out;
  // Codes above 255 give their bytes, most significant first (multi-byte character sets).
  do {
    out.insert(out.begin(), static_cast<char>(n & 0xFF));
    n >>= 8;
  } while (n > 0);
  return Value::text(out);
}

Value asciiFn(const Args& a, const FunctionContext& ctx) {
  if (anyNull(a)) return Value();
  // The code of the first character in the database character set: its UTF-8 bytes read as
  // one number, most significant first (ASCII('ä') is 50084, CHR's inverse).
  std::string s = textArg(a[0], ctx);
  int64_t code = 0;
  for (std::size_t i = 0, n = utf8::charSize(s, 0); i < n; ++i) {
    code = code * 256 + static_cast<unsigned char>(s[i]);
  }
  return Value::integer(code);
}

Value concatFn(const Args& a, const FunctionContext& ctx) { return concat(a[0], a[1], nlsOf(ctx)); }

DataType chrType(const std::vector<DataType>&) { return DataType::varchar2(1); }
DataType concatFnType(const std::vector<DataType>& t) { return concatType(t[0], t[1]); }

}  // namespace

const FunctionEntry kTextFunctions[] = {
    {"SUBSTR", 2, 3, substrFn, firstArgTextType},
    {"SUBSTRB", 2, 3, substrbFn, firstArgTextType},
    {"INSTR", 2, 4, instrFn, numberType},
    {"INSTRB", 2, 4, instrbFn, numberType},
    {"LENGTH", 1, 1, lengthFn, numberType},
    {"LENGTHB", 1, 1, lengthbFn, numberType},
    {"UPPER", 1, 1, upperFn, firstArgTextType},
    {"LOWER", 1, 1, lowerFn, firstArgTextType},
    {"INITCAP", 1, 1, initcapFn, firstArgTextType},
    {"LTRIM", 1, 2, ltrimFn, firstArgTextType},
    {"RTRIM", 1, 2, rtrimFn, firstArgTextType},
    {"TRIM", 1, 3, trimFn, longTextType},
    {"LPAD", 2, 3, lpadFn, longTextType},
    {"RPAD", 2, 3, rpadFn, longTextType},
    {"REPLACE", 2, 3, replaceFn, longTextType},
    {"TRANSLATE", 3, 3, translateFn, firstArgTextType},
    {"CHR", 1, 1, chrFn, chrType},
    {"ASCII", 1, 1, asciiFn, numberType},
    {"CONCAT", 2, 2, concatFn, concatFnType},
    {nullptr, 0, 0, nullptr, nullptr},
};

}  // namespace ocisim
