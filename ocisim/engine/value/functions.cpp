// The scalar function registry: name lookup, argument count checks, result types.
#include "engine/value/functions.h"

#include <unordered_map>

#include "engine/ora_error.h"
#include "engine/value/conversion.h"
#include "engine/value/functions_internal.h"

namespace ocisim {
namespace {

using Registry = std::unordered_map<std::string_view, const FunctionEntry*>;

// Built once on first use (thread-safe static initialisation), read-only afterwards.
const Registry& registry() {
  static const Registry map = [] {
    Registry m;
    for (const FunctionEntry* group :
         {kTextFunctions, kNumberDateFunctions, kGeneralFunctions, kSessionFunctions}) {
      for (const FunctionEntry* e = group; e->name; ++e) m.emplace(e->name, e);
    }
    return m;
  }();
  return map;
}

const FunctionEntry* findFunction(std::string_view name) {
  auto it = registry().find(name);
  return it == registry().end() ? nullptr : it->second;
}

}  // namespace

const NlsSettings& nlsOf(const FunctionContext& ctx) {
  static const NlsSettings kDefaults;
  return ctx.nls ? *ctx.nls : kDefaults;
}

bool anyNull(const Args& args) {
  for (const Value& v : args) {
    if (v.isNull()) return true;
  }
  return false;
}

std::string textArg(const Value& v, const FunctionContext& ctx) { return toText(v, nlsOf(ctx)); }

int64_t intArg(const Value& v) { return toNumber(v).toInt64Truncated(); }

int textLength(const DataType& t) {
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

DataType numberType(const std::vector<DataType>&) { return DataType::number(); }
DataType dateType(const std::vector<DataType>&) { return DataType::date(); }
DataType firstArgTextType(const std::vector<DataType>& argTypes) {
  return DataType::varchar2(argTypes.empty() ? 4000 : textLength(argTypes[0]));
}
DataType longTextType(const std::vector<DataType>&) { return DataType::varchar2(4000); }

bool isScalarFunction(std::string_view upperName) { return findFunction(upperName) != nullptr; }

Value callScalarFunction(const std::string& upperName, const std::vector<Value>& args,
                         const FunctionContext& ctx) {
  const FunctionEntry* e = findFunction(upperName);
  if (!e) throw OraError(904, {upperName});
  return callScalarFunction(*e, args, ctx);
}

const FunctionEntry* scalarFunctionEntry(std::string_view upperName) {
  return findFunction(upperName);
}

Value callScalarFunction(const FunctionEntry& entry, const std::vector<Value>& args,
                         const FunctionContext& ctx) {
  int n = static_cast<int>(args.size());
  if (n < entry.minArgs || (entry.maxArgs >= 0 && n > entry.maxArgs)) throw OraError(909);
  return entry.impl(args, ctx);
}

DataType scalarFunctionType(std::string_view upperName, const std::vector<DataType>& argTypes) {
  const FunctionEntry* e = findFunction(upperName);
  if (!e) return DataType::varchar2(4000);
  return e->type(argTypes);
}

}  // namespace ocisim
