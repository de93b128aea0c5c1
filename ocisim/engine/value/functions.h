// The scalar SQL function library. The executor evaluates the arguments and calls
// callScalarFunction with the upper-case name; aggregate functions and the pseudo-columns
// (SYSDATE, USER, ROWNUM, LEVEL, sequences) are the executor's. Stateless; errors throw OraError
// (ORA-00909 for a wrong argument count, ORA-00904 for an unknown name).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/value/data_type.h"
#include "engine/value/datetime.h"
#include "engine/value/nls.h"
#include "engine/value/value.h"

namespace ocisim {

struct FunctionContext {
  const NlsSettings* nls = nullptr;  // the session's; defaults when null
  DateTime sysdate;                  // SYSDATE of the statement (TO_DATE defaults use it)
  std::string user;                  // the session user (USER, UID-like functions)
  // For SYS_CONTEXT('USERENV', ...) and USERENV(...):
  std::string currentSchema;  // the schema names resolve in (CURRENT_SCHEMA)
  std::string dbName;         // the database's global name (DB_NAME)
  uint64_t sessionId = 0;     // SESSIONID
  int64_t userId = 0;         // SESSION_USERID
  std::string charset = "AL32UTF8";  // the database character set (UTF8 before release 9)
};

// The release (major * 100 + minor, e.g. 801) a function came with: 0 when every release here
// has it. The executor refuses a newer one as Oracle's older releases do, as an unknown name.
int scalarFunctionSince(std::string_view upperName);

// Functions: ABS ADD_MONTHS ASCII CEIL CHR COALESCE CONCAT DECODE FLOOR
// GREATEST HEXTORAW INITCAP INSTR INSTRB LAST_DAY LEAST LENGTH LENGTHB LOWER LPAD LTRIM MOD
// MONTHS_BETWEEN NULLIF NVL NVL2 ORA_HASH POWER RAWTOHEX REPLACE ROUND RPAD RTRIM SIGN SQRT
// SUBSTR SUBSTRB TO_CHAR
// TO_DATE TO_NUMBER TO_TIMESTAMP TRANSLATE TRIM TRUNC UPPER USER SYSDATE (the last two also
// answer here from the context). Text functions count characters, the B forms bytes.
//
// TRIM takes 1 argument (TRIM(s)) or 3: the form ('LEADING', 'TRAILING' or 'BOTH'), the trim
// character (the parser passes ' ' when none is written) and the source: TRIM(BOTH 'x' FROM s)
// is called as TRIM('BOTH', 'x', s); TRIM(LEADING FROM s) as TRIM('LEADING', ' ', s).
bool isScalarFunction(std::string_view upperName);
Value callScalarFunction(const std::string& upperName, const std::vector<Value>& args,
                         const FunctionContext& ctx);
// The registry entry of a function (nullptr when unknown), so that a compiled call does not look
// its name up on every row, and the call through it.
struct FunctionEntry;
const FunctionEntry* scalarFunctionEntry(std::string_view upperName);
Value callScalarFunction(const FunctionEntry& entry, const std::vector<Value>& args,
                         const FunctionContext& ctx);

// The type a call returns, for describe; VARCHAR2(4000) when it depends on values.
DataType scalarFunctionType(std::string_view upperName, const std::vector<DataType>& argTypes);

}  // namespace ocisim
