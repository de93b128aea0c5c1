// Text functions: SUBSTR INSTR LENGTH UPPER LOWER INITCAP LTRIM RTRIM TRIM LPAD RPAD REPLACE
// TRANSLATE CHR ASCII CONCAT. Characters are bytes (a single-byte database character set).
#include <cctype>
#include <string>

#include "engine/ora_error.h"
#include "engine/value/functions_internal.h"
#include "engine/value/value_ops.h"

namespace ocisim {
namespace {

Value substrFn(const Args& a, const FunctionContext& ctx) {
  if (anyNull(a)) return Value();
  std::string s = textArg(a[0], ctx);
  int64_t len = static_cast<int64_t>(s.size());
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
  return Value::text(s.substr(static_cast<std::size_t>(pos - 1), static_cast<std::size_t>(count)));
}

Value instrFn(const Args& a, const FunctionContext& ctx) {
  if (anyNull(a)) return Value();
  std::string s = textArg(a[0], ctx), sub = textArg(a[1], ctx);
  int64_t pos = a.size() > 2 ? intArg(a[2]) : 1;
  int64_t occurrence = a.size() > 3 ? intArg(a[3]) : 1;
  if (occurrence < 1) throw OraError(1428, {std::to_string(occurrence)});
  int64_t len = static_cast<int64_t>(s.size());
  if (pos == 0 || std::abs(pos) > len) return Value::integer(0);
  if (pos > 0) {
    std::size_t from = static_cast<std::size_t>(pos - 1);
    for (;;) {
      std::size_t hit = s.find(sub, from);
      if (hit == std::string::npos) return Value::integer(0);
      if (--occurrence == 0) return Value::integer(static_cast<int64_t>(hit) + 1);
      from = hit + 1;
    }
  }
  // A negative position searches backward; a match may start at len + pos + 1 at the latest.
  int64_t start = len + pos;  // zero-based
  for (;;) {
    if (start < 0) return Value::integer(0);
    std::size_t hit = s.rfind(sub, static_cast<std::size_t>(start));
    if (hit == std::string::npos) return Value::integer(0);
    if (--occurrence == 0) return Value::integer(static_cast<int64_t>(hit) + 1);
    start = static_cast<int64_t>(hit) - 1;
  }
}

Value lengthFn(const Args& a, const FunctionContext& ctx) {
  if (anyNull(a)) return Value();
  return Value::integer(static_cast<int64_t>(textArg(a[0], ctx).size()));
}

Value caseFn(const Args& a, const FunctionContext& ctx, int mode) {
  if (anyNull(a)) return Value();
  std::string s = textArg(a[0], ctx);
  bool wordStart = true;
  for (char& c : s) {
    unsigned char u = static_cast<unsigned char>(c);
    bool alnum = std::isalnum(u) != 0;
    if (mode == 0 || (mode == 2 && wordStart)) {
      c = static_cast<char>(std::toupper(u));
    } else {
      c = static_cast<char>(std::tolower(u));
    }
    wordStart = !alnum;
  }
  return a[0].isCharText() ? Value::charText(s) : Value::text(s);
}

Value upperFn(const Args& a, const FunctionContext& ctx) { return caseFn(a, ctx, 0); }
Value lowerFn(const Args& a, const FunctionContext& ctx) { return caseFn(a, ctx, 1); }
Value initcapFn(const Args& a, const FunctionContext& ctx) { return caseFn(a, ctx, 2); }

std::string trimSet(const std::string& s, const std::string& set, bool left, bool right) {
  std::size_t b = 0, e = s.size();
  if (left) {
    while (b < e && set.find(s[b]) != std::string::npos) ++b;
  }
  if (right) {
    while (e > b && set.find(s[e - 1]) != std::string::npos) --e;
  }
  return s.substr(b, e - b);
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
  if (set.size() != 1) throw OraError(30001);
  bool left = form != "TRAILING", right = form != "LEADING";
  return Value::text(trimSet(textArg(a[2], ctx), set, left, right));
}

Value padFn(const Args& a, const FunctionContext& ctx, bool left) {
  if (anyNull(a)) return Value();
  std::string s = textArg(a[0], ctx);
  int64_t n = intArg(a[1]);
  if (n < 1) return Value();
  if (n > 32767) n = 32767;
  std::size_t width = static_cast<std::size_t>(n);
  if (s.size() >= width) return Value::text(s.substr(0, width));
  std::string pad = a.size() > 2 ? textArg(a[2], ctx) : " ";
  std::string fill;
  while (fill.size() < width - s.size()) fill += pad;
  fill.resize(width - s.size());
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
  std::string out;
  for (char c : s) {
    std::size_t i = from.find(c);
    if (i == std::string::npos) out += c;
    else if (i < to.size()) out += to[i];
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
  std::string s = textArg(a[0], ctx);
  return Value::integer(static_cast<unsigned char>(s[0]));
}

Value concatFn(const Args& a, const FunctionContext& ctx) { return concat(a[0], a[1], nlsOf(ctx)); }

DataType chrType(const std::vector<DataType>&) { return DataType::varchar2(1); }
DataType concatFnType(const std::vector<DataType>& t) { return concatType(t[0], t[1]); }

}  // namespace

const FunctionEntry kTextFunctions[] = {
    {"SUBSTR", 2, 3, substrFn, firstArgTextType},
    {"INSTR", 2, 4, instrFn, numberType},
    {"LENGTH", 1, 1, lengthFn, numberType},
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
