// Internal declarations of the scalar function library: each group of functions (text,
// numbers and dates, conversions and conditionals) registers its entries here.
#pragma once

#include <string>
#include <vector>

#include "engine/value/data_type.h"
#include "engine/value/functions.h"
#include "engine/value/nls.h"
#include "engine/value/value.h"

namespace ocisim {

using Args = std::vector<Value>;
using FunctionImpl = Value (*)(const Args& args, const FunctionContext& ctx);
using TypeRule = DataType (*)(const std::vector<DataType>& argTypes);

struct FunctionEntry {
  const char* name;
  int minArgs;
  int maxArgs;  // -1 = any number
  FunctionImpl impl;
  TypeRule type;
};

// The entries of each group, terminated by an entry whose name is null.
extern const FunctionEntry kTextFunctions[];
extern const FunctionEntry kNumberDateFunctions[];
extern const FunctionEntry kGeneralFunctions[];
extern const FunctionEntry kSessionFunctions[];

// Helpers shared by the groups.
const NlsSettings& nlsOf(const FunctionContext& ctx);
bool anyNull(const Args& args);
std::string textArg(const Value& v, const FunctionContext& ctx);
// An integer argument (numbers truncated toward zero; text converted, ORA-01722).
int64_t intArg(const Value& v);
// The text length a type shows as text, for result types.
int textLength(const DataType& t);
DataType numberType(const std::vector<DataType>& argTypes);
DataType dateType(const std::vector<DataType>& argTypes);
DataType firstArgTextType(const std::vector<DataType>& argTypes);
DataType longTextType(const std::vector<DataType>& argTypes);

}  // namespace ocisim
