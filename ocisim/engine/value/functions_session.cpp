// Session and representation functions: SYS_CONTEXT USERENV DUMP VSIZE BITAND SYS_GUID EXTRACT,
// and the release each function of the library came with.
#include <cstdio>
#include <optional>
#include <random>
#include <string>
#include <unordered_map>

#include "engine/ora_error.h"
#include "engine/value/conversion.h"
#include "engine/value/functions_internal.h"

namespace ocisim {
namespace {

std::string upperText(std::string s) {
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return s;
}

// USERENV parameters common to SYS_CONTEXT('USERENV', p) and USERENV(p); nullopt when unknown.
std::optional<Value> userenvValue(const std::string& p, const FunctionContext& ctx) {
  const NlsSettings& nls = nlsOf(ctx);
  if (p == "SESSION_USER" || p == "CURRENT_USER") return Value::text(ctx.user);
  if (p == "CURRENT_SCHEMA") {
    return Value::text(ctx.currentSchema.empty() ? ctx.user : ctx.currentSchema);
  }
  if (p == "SESSION_USERID" || p == "CURRENT_USERID") return Value::integer(ctx.userId);
  if (p == "DB_NAME" || p == "INSTANCE_NAME") return Value::text(ctx.dbName);
  if (p == "SESSIONID") return Value::integer(static_cast<int64_t>(ctx.sessionId));
  if (p == "LANGUAGE") return Value::text("AMERICAN_AMERICA." + ctx.charset);
  if (p == "LANG") return Value::text("US");
  if (p == "NLS_TERRITORY") return Value::text("AMERICA");
  if (p == "NLS_DATE_LANGUAGE") return Value::text("AMERICAN");
  if (p == "NLS_DATE_FORMAT") return Value::text(nls.dateFormat);
  if (p == "NLS_SORT") return Value::text("BINARY");
  if (p == "ISDBA") return Value::text("FALSE");
  if (p == "INSTANCE") return Value::integer(1);
  if (p == "ENTRYID") return Value::integer(0);
  if (p == "TERMINAL" || p == "HOST" || p == "OS_USER" || p == "IP_ADDRESS" ||
      p == "CLIENT_INFO" || p == "MODULE" || p == "ACTION") {
    return Value();  // a local connection tells nothing of its client here
  }
  return std::nullopt;
}

Value sysContextFn(const Args& a, const FunctionContext& ctx) {
  if (a[0].isNull() || a[1].isNull()) return Value();
  std::string space = upperText(textArg(a[0], ctx));
  std::string param = upperText(textArg(a[1], ctx));
  if (space != "USERENV") return Value();  // no context of that name holds the attribute
  std::optional<Value> v = userenvValue(param, ctx);
  if (!v) throw OraError(2003);
  if (v->isNull() || v->isText()) return *v;
  return Value::text(textArg(*v, ctx));
}

Value userenvFn(const Args& a, const FunctionContext& ctx) {
  if (a[0].isNull()) throw OraError(2003);
  std::string param = upperText(textArg(a[0], ctx));
  // USERENV knows a shorter list than SYS_CONTEXT.
  static const char* const kKnown[] = {"SESSIONID", "LANGUAGE", "LANG", "TERMINAL", "ENTRYID",
                                       "ISDBA", "INSTANCE", "CLIENT_INFO"};
  bool known = false;
  for (const char* k : kKnown) known = known || param == k;
  if (!known) throw OraError(2003);
  return *userenvValue(param, ctx);
}

// Oracle's internal form of a NUMBER: an exponent byte and base-100 digits.
std::string numberBytes(const Decimal& d) {
  if (d.sign() == 0) return std::string(1, static_cast<char>(0x80));
  std::string digits = d.digits();
  int e10 = d.exponent10();
  if (e10 % 2 != 0) {
    digits.insert(digits.begin(), '0');
    ++e10;
  }
  if (digits.size() % 2 != 0) digits.push_back('0');
  int e100 = e10 / 2;
  bool negative = d.sign() < 0;
  std::string out(1, static_cast<char>(negative ? 63 - e100 : 192 + e100));
  for (size_t i = 0; i < digits.size(); i += 2) {
    int b = (digits[i] - '0') * 10 + (digits[i + 1] - '0');
    out.push_back(static_cast<char>(negative ? 101 - b : b + 1));
  }
  if (negative && out.size() < 21) out.push_back(static_cast<char>(102));
  return out;
}

std::string dateBytes(const DateTime& t) {
  std::string out;
  int year = t.year;
  out.push_back(static_cast<char>(year / 100 + 100));
  out.push_back(static_cast<char>(year % 100 + 100));
  out.push_back(static_cast<char>(t.month));
  out.push_back(static_cast<char>(t.day));
  out.push_back(static_cast<char>(t.hour + 1));
  out.push_back(static_cast<char>(t.minute + 1));
  out.push_back(static_cast<char>(t.second + 1));
  return out;
}

// The type code and bytes DUMP and VSIZE see.
std::pair<int, std::string> internalForm(const Value& v) {
  switch (v.kind()) {
    case ValueKind::Number: return {2, numberBytes(v.asNumber())};
    case ValueKind::Date: return {12, dateBytes(v.asDateTime())};
    case ValueKind::Timestamp: {
      std::string b = dateBytes(v.asDateTime());
      uint32_t n = v.asDateTime().nanos;
      if (n != 0) {
        for (int shift = 24; shift >= 0; shift -= 8) b.push_back(static_cast<char>(n >> shift));
      }
      return {180, b};
    }
    case ValueKind::Binary: return {23, std::string(v.asText())};
    case ValueKind::Text: return {v.isCharText() ? 96 : 1, std::string(v.asText())};
    case ValueKind::Null: break;
  }
  return {0, {}};
}

Value dumpFn(const Args& a, const FunctionContext& ctx) {
  if (a[0].isNull()) return Value::text("NULL");
  int64_t format = a.size() > 1 && !a[1].isNull() ? intArg(a[1]) : 10;
  auto [type, bytes] = internalForm(a[0]);
  int64_t start = a.size() > 2 && !a[2].isNull() ? intArg(a[2]) : 1;
  int64_t length = a.size() > 3 && !a[3].isNull() ? intArg(a[3]) : 0;
  int64_t size = static_cast<int64_t>(bytes.size());
  int64_t from = start > 0 ? start - 1 : start < 0 ? size + start : 0;
  if (from < 0) from = 0;
  int64_t count = length > 0 ? length : size - from;
  if (from > size) from = size;
  if (from + count > size) count = size - from;
  int base = static_cast<int>(format % 1000);
  std::string out = "Typ=" + std::to_string(type) + " Len=" + std::to_string(size);
  if (format >= 1000 && (type == 1 || type == 96)) out += " CharacterSet=" + ctx.charset;
  out += ": ";
  static const char* const kHex = "0123456789abcdef";
  for (int64_t i = 0; i < count; ++i) {
    unsigned char c = static_cast<unsigned char>(bytes[static_cast<size_t>(from + i)]);
    if (i) out += ",";
    if (base == 16) {
      if (c >= 16) out += kHex[c >> 4];
      out += kHex[c & 15];
    } else if (base == 8) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "%o", c);
      out += buf;
    } else if (base == 17 && c >= 0x20 && c < 0x7f) {
      out += static_cast<char>(c);
    } else {
      out += std::to_string(c);
    }
  }
  return Value::text(out);
}

Value vsizeFn(const Args& a, const FunctionContext&) {
  if (a[0].isNull()) return Value();
  return Value::integer(static_cast<int64_t>(internalForm(a[0]).second.size()));
}

Value bitandFn(const Args& a, const FunctionContext&) {
  if (anyNull(a)) return Value();
  return Value::integer(intArg(a[0]) & intArg(a[1]));
}

Value sysGuidFn(const Args&, const FunctionContext&) {
  static thread_local std::mt19937_64 generator{std::random_device{}()};
  std::string bytes(16, '\0');
  for (size_t i = 0; i < 16; i += 8) {
    uint64_t r = generator();
    for (size_t k = 0; k < 8; ++k) bytes[i + k] = static_cast<char>(r >> (8 * k));
  }
  return Value::binary(bytes);
}

// EXTRACT(field FROM d), called as EXTRACT('field', d) (see ast.h).
Value extractFn(const Args& a, const FunctionContext& ctx) {
  if (a[1].isNull()) return Value();
  std::string field = textArg(a[0], ctx);
  const Value& v = a[1];
  if (!v.isDatetime()) throw OraError(932, {"DATE", "NUMBER"});
  const DateTime& t = v.asDateTime();
  if (field == "YEAR") return Value::integer(t.year);
  if (field == "MONTH") return Value::integer(t.month);
  if (field == "DAY") return Value::integer(t.day);
  if (field.rfind("TIMEZONE_", 0) == 0 || !v.isTimestamp()) {
    // A DATE has no time fields for EXTRACT, and no value here keeps a time zone.
    throw OraError(30076);
  }
  if (field == "HOUR") return Value::integer(t.hour);
  if (field == "MINUTE") return Value::integer(t.minute);
  auto seconds = Decimal::parse(std::to_string(t.second) + "." + [&] {
    std::string f = std::to_string(t.nanos);
    return std::string(9 - f.size(), '0') + f;
  }());
  return Value::number(*seconds);
}

DataType contextType(const std::vector<DataType>&) { return DataType::varchar2(256); }
DataType userenvType(const std::vector<DataType>&) { return DataType::varchar2(64); }
DataType dumpType(const std::vector<DataType>&) { return DataType::varchar2(4000); }
DataType guidType(const std::vector<DataType>&) { return DataType::raw(16); }

}  // namespace

const FunctionEntry kSessionFunctions[] = {
    {"SYS_CONTEXT", 2, 3, sysContextFn, contextType},
    {"USERENV", 1, 1, userenvFn, userenvType},
    {"DUMP", 1, 4, dumpFn, dumpType},
    {"VSIZE", 1, 1, vsizeFn, numberType},
    {"BITAND", 2, 2, bitandFn, numberType},
    {"SYS_GUID", 0, 0, sysGuidFn, guidType},
    {"EXTRACT", 2, 2, extractFn, numberType},
    {nullptr, 0, 0, nullptr, nullptr},
};

int scalarFunctionSince(std::string_view upperName) {
  static const std::unordered_map<std::string_view, int> kSince = {
      {"NVL2", 801},      {"SYS_CONTEXT", 801}, {"SYS_GUID", 801},      {"TRIM", 801},
      {"COALESCE", 900},  {"NULLIF", 900},      {"TO_TIMESTAMP", 900},  {"EXTRACT", 900},
      {"ORA_HASH", 1000},
  };
  auto it = kSince.find(upperName);
  return it == kSince.end() ? 0 : it->second;
}

}  // namespace ocisim
