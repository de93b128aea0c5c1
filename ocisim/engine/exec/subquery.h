// A compiled subquery used inside an expression: scalar value, EXISTS, or IN. An uncorrelated
// subquery runs once per execution and its rows are kept; a correlated one runs again for each
// outer row. Internal to the executor.
#pragma once

#include <memory>
#include <vector>

#include "engine/exec/cexpr.h"
#include "engine/exec/operators.h"

namespace ocisim {

class ExecContext;

class SubqueryPlan {
 public:
  SubqueryPlan(ExecContext& ctx, std::unique_ptr<RowSource> root, bool correlated);

  // The one value of a scalar subquery: NULL for no row, ORA-01427 for more than one.
  Value scalar(const EvalEnv& env);
  bool exists(const EvalEnv& env);
  // left IN (rows): True when a row equals left; Unknown when none does but a comparison was
  // unknown; False otherwise (also for no rows).
  Tri in(const std::vector<Value>& left, const EvalEnv& env);

 private:
  const std::vector<Row>& rows(const EvalEnv& env);

  ExecContext& ctx_;
  std::unique_ptr<RowSource> root_;
  bool correlated_;
  bool cached_ = false;
  std::vector<Row> rows_;
};

}  // namespace ocisim
