#include "engine/exec/subquery.h"

#include "engine/exec/exec_context.h"
#include "engine/ora_error.h"

namespace ocisim {

SubqueryPlan::SubqueryPlan(ExecContext& ctx, std::unique_ptr<RowSource> root, bool correlated)
    : ctx_(ctx), root_(std::move(root)), correlated_(correlated) {}

const std::vector<Row>& SubqueryPlan::rows(const EvalEnv& env) {
  if (cached_ && !correlated_) return rows_;
  rows_.clear();
  root_->open(env);
  Row r;
  while (root_->next(r)) rows_.push_back(r);
  cached_ = true;
  return rows_;
}

Value SubqueryPlan::scalar(const EvalEnv& env) {
  if (!correlated_) {
    const auto& all = rows(env);
    if (all.size() > 1) throw OraError(1427);
    return all.empty() ? Value() : all[0][0];
  }
  root_->open(env);
  Row first;
  if (!root_->next(first)) return Value();
  Row second;
  if (root_->next(second)) throw OraError(1427);
  return first[0];
}

bool SubqueryPlan::exists(const EvalEnv& env) {
  if (!correlated_) return !rows(env).empty();
  root_->open(env);
  Row r;
  return root_->next(r);
}

Tri SubqueryPlan::in(const std::vector<Value>& left, const EvalEnv& env) {
  const auto& all = rows(env);
  Tri result = Tri::False;
  for (const Row& row : all) {
    Tri rowResult = Tri::True;
    for (size_t i = 0; i < left.size() && i < row.size(); ++i) {
      Tri t = compareTri(CmpOp::Eq, left[i], row[i], ctx_.nls());
      if (t == Tri::False) {
        rowResult = Tri::False;
        break;
      }
      if (t == Tri::Unknown) rowResult = Tri::Unknown;
    }
    if (rowResult == Tri::True) return Tri::True;
    if (rowResult == Tri::Unknown) result = Tri::Unknown;
  }
  return result;
}

}  // namespace ocisim
