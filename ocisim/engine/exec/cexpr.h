// Compiled expressions: what the expression compiler makes of the parser's sql::Expr once names
// are resolved (columns to row slots, sequences, binds, PL/SQL variables) and types known, and
// their evaluation with Oracle's three-valued logic. Internal to the executor.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/exec/row_store.h"
#include "engine/value/data_type.h"
#include "engine/value/value.h"
#include "engine/value/value_ops.h"

namespace ocisim {

class ExecContext;
struct FunctionEntry;
struct Sequence;
class SubqueryPlan;

enum class CKind : uint8_t {
  Const,     // constant
  Column,    // depth/slot; prior: the CONNECT BY parent row
  Bind,      // name
  Variable,  // PL/SQL variable: var
  Rownum,
  Level,
  NextVal,  // sequence
  CurrVal,  // sequence
  Arith,    // arith op, args[0], args[1]
  Negate,   // args[0]
  Concat,   // args[0] || args[1]
  Compare,  // cmp op, args[0], args[1]
  And,
  Or,
  Not,
  IsNull,      // negated: IS NOT NULL
  Like,        // args: value, pattern[, escape]
  Between,     // args: value, low, high
  InList,      // args[0] IN (args[1..])
  InSubquery,  // args: left values (one per subquery column); subquery
  Exists,      // subquery
  Subquery,    // scalar subquery
  Case,        // args: [operand,] when0, then0, when1, then1, ...[, else]; hasOperand, hasElse
  Function,    // scalar function name(args)
  Cast,        // CAST(args[0] AS type)
  ToBoolean,   // args[0] is a value used as a condition (PL/SQL booleans)
};

enum class CmpOp : uint8_t { Eq, Ne, Lt, Le, Gt, Ge };

// Three-valued truth.
enum class Tri : uint8_t { False, True, Unknown };

struct CExpr {
  CKind kind = CKind::Const;
  DataType type;            // for describe; VARCHAR2(4000) when unknown
  bool negated = false;     // NOT LIKE / NOT BETWEEN / NOT IN / NOT EXISTS / IS NOT NULL
  bool prior = false;       // Column: PRIOR col
  bool hasOperand = false;  // Case
  bool hasElse = false;     // Case
  bool correlated = false;  // Subquery kinds: depends on an outer row (no caching)
  bool notNull = false;     // Column: the column cannot hold NULL (describe)
  ArithOp arith = ArithOp::Add;
  CmpOp cmp = CmpOp::Eq;
  int depth = 0;         // Column: 0 = the current row, n = n scopes out
  int slot = 0;          // Column: position in that row
  Value constant;        // Const
  std::string name;      // Bind name, Function name
  Value* var = nullptr;  // Variable
  Sequence* sequence = nullptr;
  const FunctionEntry* function = nullptr;  // Function: its registry entry (null: by name)
  std::vector<std::unique_ptr<CExpr>> args;
  std::shared_ptr<SubqueryPlan> subquery;

  bool isCondition() const;
};

// The rows an expression sees while it is evaluated: the current row of its query block and,
// through `outer`, the rows of the blocks around it (correlated subqueries).
struct EvalEnv {
  ExecContext* ctx = nullptr;
  const Value* row = nullptr;
  const EvalEnv* outer = nullptr;
  const Value* prior = nullptr;  // CONNECT BY: the parent row
  int64_t rownum = 0;
  int64_t level = 0;
};

Value evaluate(const CExpr& e, const EvalEnv& env);
Tri evaluateCondition(const CExpr& e, const EvalEnv& env);

// Oracle comparison of two values under an operator; Unknown when either is NULL.
Tri compareTri(CmpOp op, const Value& a, const Value& b, const NlsSettings& nls);

std::unique_ptr<CExpr> makeConst(Value v, DataType type);

// CAST of a value to a type: text is cut to the type's length, other types convert as a
// column of the type stores them (ORA-01438, ORA-01722 ...).
Value castValue(const Value& v, const DataType& type, const NlsSettings& nls);

}  // namespace ocisim
