#include "engine/value/functions.h"

#include "engine/ora_error.h"

namespace ocisim {

bool isScalarFunction(std::string_view upperName) {
  (void)upperName;
  return false;
}

Value callScalarFunction(const std::string& upperName, const std::vector<Value>& args,
                         const FunctionContext& ctx) {
  (void)args;
  (void)ctx;
  throw OraError(904, {upperName});
}

DataType scalarFunctionType(std::string_view upperName, const std::vector<DataType>& argTypes) {
  (void)upperName;
  (void)argTypes;
  return DataType::varchar2(4000);
}

}  // namespace ocisim
