#include "engine/exec/operators_rel.h"

#include <algorithm>
#include <unordered_set>

#include "engine/exec/exec_context.h"
#include "engine/ora_error.h"
#include "engine/value/conversion.h"

namespace ocisim {
namespace {

int compareWhole(const Row& a, const Row& b) {
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    int c = sortCompare(a[i], b[i]);
    if (c != 0) return c;
  }
  return 0;
}

struct RowHash {
  size_t operator()(const Row& r) const {
    size_t h = 0;
    for (const Value& v : r) h = h * 31 + sortHash(v);
    return h;
  }
};

struct RowEqual {
  bool operator()(const Row& a, const Row& b) const { return compareWhole(a, b) == 0; }
};

struct RowLess {
  bool operator()(const Row& a, const Row& b) const { return compareWhole(a, b) < 0; }
};

void sortUnique(std::vector<Row>& rows) {
  std::stable_sort(rows.begin(), rows.end(), RowLess());
  rows.erase(std::unique(rows.begin(), rows.end(), RowEqual()), rows.end());
}

}  // namespace

int compareOnKeys(const Row& a, const Row& b, const std::vector<SortKey>& keys) {
  for (const SortKey& k : keys) {
    const Value& x = a[k.slot];
    const Value& y = b[k.slot];
    if (x.isNull() || y.isNull()) {
      if (x.isNull() && y.isNull()) continue;
      return x.isNull() == k.nullsFirst ? -1 : 1;
    }
    int c = sortCompare(x, y);
    if (c != 0) return k.descending ? -c : c;
  }
  return 0;
}

// ---- Sort ----

Sort::Sort(ExecContext& ctx, std::unique_ptr<RowSource> child, std::vector<SortKey> keys,
           size_t outputWidth)
    : RowSource(outputWidth), ctx_(ctx), child_(std::move(child)), keys_(std::move(keys)) {}

void Sort::open(const EvalEnv& outer) {
  child_->open(outer);
  rows_.clear();
  position_ = 0;
  Row r;
  while (child_->next(r)) {
    rows_.push_back(r);
    if ((rows_.size() % 1024) == 0) ctx_.checkCancel();
  }
  std::stable_sort(rows_.begin(), rows_.end(),
                   [this](const Row& a, const Row& b) { return compareOnKeys(a, b, keys_) < 0; });
}

bool Sort::next(Row& row) {
  if (position_ >= rows_.size()) return false;
  Row& r = rows_[position_++];
  row.assign(std::make_move_iterator(r.begin()), std::make_move_iterator(r.begin() + width_));
  return true;
}

// ---- Distinct ----

struct Distinct::Seen {
  std::unordered_set<Row, RowHash, RowEqual> rows;
};

Distinct::Distinct(std::unique_ptr<RowSource> child)
    : RowSource(child->width()), child_(std::move(child)) {}

Distinct::~Distinct() = default;

void Distinct::open(const EvalEnv& outer) {
  child_->open(outer);
  seen_ = std::make_unique<Seen>();
}

bool Distinct::next(Row& row) {
  while (child_->next(row)) {
    if (seen_->rows.insert(row).second) return true;
  }
  return false;
}

// ---- Aggregate ----

struct Aggregate::State {
  struct Accumulator {
    int64_t count = 0;
    Decimal sum;
    Value best;  // MIN / MAX
    std::vector<Value> distinctValues;
  };
  std::vector<Accumulator> accumulators;
};

Aggregate::Aggregate(ExecContext& ctx, std::unique_ptr<RowSource> child,
                     std::vector<std::unique_ptr<CExpr>> groupBy,
                     std::vector<AggregateSpec> aggregates)
    : RowSource(groupBy.size() + aggregates.size()),
      ctx_(ctx),
      child_(std::move(child)),
      groupBy_(std::move(groupBy)),
      aggregates_(std::move(aggregates)) {}

Aggregate::~Aggregate() = default;

namespace {

void accumulate(const AggregateSpec& spec, const Value& v, int64_t& count, Decimal& sum,
                Value& best) {
  switch (spec.function) {
    case AggregateFunction::CountStar:
    case AggregateFunction::Count:
      ++count;
      break;
    case AggregateFunction::Sum:
    case AggregateFunction::Avg:
      sum = sum + toNumber(v);
      ++count;
      break;
    case AggregateFunction::Min:
      if (best.isNull() || sortCompare(v, best) < 0) best = v;
      ++count;
      break;
    case AggregateFunction::Max:
      if (best.isNull() || sortCompare(v, best) > 0) best = v;
      ++count;
      break;
  }
}

Value finish(const AggregateSpec& spec, int64_t count, const Decimal& sum, const Value& best) {
  switch (spec.function) {
    case AggregateFunction::CountStar:
    case AggregateFunction::Count:
      return Value::integer(count);
    case AggregateFunction::Sum:
      return count == 0 ? Value() : Value::number(sum);
    case AggregateFunction::Avg:
      return count == 0 ? Value() : Value::number(sum / Decimal::fromInt64(count));
    case AggregateFunction::Min:
    case AggregateFunction::Max:
      return best;
  }
  return Value();
}

}  // namespace

void Aggregate::open(const EvalEnv& outer) {
  child_->open(outer);
  results_.clear();
  position_ = 0;
  std::map<Row, State, RowLess> groups;
  Row input;
  uint64_t n = 0;
  while (child_->next(input)) {
    if ((++n % 1024) == 0) ctx_.checkCancel();
    EvalEnv env{&ctx_, input.data(), &outer};
    Row key;
    key.reserve(groupBy_.size());
    for (const auto& g : groupBy_) key.push_back(evaluate(*g, env));
    State& state = groups[std::move(key)];
    if (state.accumulators.empty()) state.accumulators.resize(aggregates_.size());
    for (size_t i = 0; i < aggregates_.size(); ++i) {
      const AggregateSpec& spec = aggregates_[i];
      auto& acc = state.accumulators[i];
      if (spec.function == AggregateFunction::CountStar) {
        ++acc.count;
        continue;
      }
      Value v = evaluate(*spec.argument, env);
      if (v.isNull()) continue;
      if (spec.distinct) {
        acc.distinctValues.push_back(std::move(v));
      } else {
        accumulate(spec, v, acc.count, acc.sum, acc.best);
      }
    }
  }
  if (groups.empty() && groupBy_.empty()) {
    groups[Row()].accumulators.resize(aggregates_.size());
  }
  for (auto& [key, state] : groups) {
    Row out = key;
    for (size_t i = 0; i < aggregates_.size(); ++i) {
      const AggregateSpec& spec = aggregates_[i];
      auto& acc = state.accumulators[i];
      if (spec.distinct) {
        auto& values = acc.distinctValues;
        std::sort(values.begin(), values.end(),
                  [](const Value& a, const Value& b) { return sortCompare(a, b) < 0; });
        values.erase(
            std::unique(values.begin(), values.end(),
                        [](const Value& a, const Value& b) { return sortCompare(a, b) == 0; }),
            values.end());
        for (const Value& v : values) accumulate(spec, v, acc.count, acc.sum, acc.best);
      }
      out.push_back(finish(spec, acc.count, acc.sum, acc.best));
    }
    results_.push_back(std::move(out));
  }
}

bool Aggregate::next(Row& row) {
  if (position_ >= results_.size()) return false;
  row = results_[position_++];
  return true;
}

// ---- SetOperation ----

SetOperation::SetOperation(ExecContext& ctx, std::unique_ptr<RowSource> left,
                           std::unique_ptr<RowSource> right, SetOperator op)
    : RowSource(left->width()),
      ctx_(ctx),
      left_(std::move(left)),
      right_(std::move(right)),
      op_(op) {}

void SetOperation::open(const EvalEnv& outer) {
  left_->open(outer);
  onRight_ = false;
  rows_.clear();
  position_ = 0;
  if (op_ == SetOperator::UnionAll) {
    right_->open(outer);
    return;
  }
  Row r;
  std::vector<Row> left;
  while (left_->next(r)) left.push_back(r);
  right_->open(outer);
  std::vector<Row> right;
  while (right_->next(r)) right.push_back(r);
  ctx_.checkCancel();
  if (op_ == SetOperator::Union) {
    left.insert(left.end(), std::make_move_iterator(right.begin()),
                std::make_move_iterator(right.end()));
    sortUnique(left);
    rows_ = std::move(left);
    return;
  }
  sortUnique(left);
  sortUnique(right);
  for (Row& row : left) {
    bool inRight = std::binary_search(right.begin(), right.end(), row, RowLess());
    if (inRight == (op_ == SetOperator::Intersect)) rows_.push_back(std::move(row));
  }
}

bool SetOperation::next(Row& row) {
  if (op_ == SetOperator::UnionAll) {
    if (!onRight_) {
      if (left_->next(row)) return true;
      onRight_ = true;
    }
    return right_->next(row);
  }
  if (position_ >= rows_.size()) return false;
  row = rows_[position_++];
  return true;
}

// ---- ConnectBy ----

ConnectBy::ConnectBy(ExecContext& ctx, std::unique_ptr<RowSource> child,
                     std::unique_ptr<CExpr> startWith, std::unique_ptr<CExpr> connectBy,
                     bool usesPrior, bool noCycle)
    : RowSource(child->width() + 1),
      ctx_(ctx),
      child_(std::move(child)),
      startWith_(std::move(startWith)),
      connectBy_(std::move(connectBy)),
      usesPrior_(usesPrior),
      noCycle_(noCycle) {}

void ConnectBy::open(const EvalEnv& outer) {
  outer_ = &outer;
  child_->open(outer);
  source_.clear();
  Row r;
  while (child_->next(r)) source_.push_back(r);
  stack_.clear();
  onPath_.assign(source_.size(), false);
  nextRoot_ = 0;
}

void ConnectBy::fill(Row& row, size_t source, int64_t level) const {
  const Row& src = source_[source];
  row.resize(width_);
  std::copy(src.begin(), src.end(), row.begin());
  row[width_ - 1] = Value::integer(level);
}

bool ConnectBy::pushChild(Row& row) {
  Frame& top = stack_.back();
  fill(parent_, top.source, top.level);
  while (top.nextCandidate < source_.size()) {
    size_t c = top.nextCandidate++;
    if ((++steps_ % 1024) == 0) ctx_.checkCancel();
    fill(candidate_, c, top.level + 1);
    EvalEnv env{&ctx_, candidate_.data(), outer_};
    env.prior = parent_.data();
    env.level = top.level + 1;
    if (evaluateCondition(*connectBy_, env) != Tri::True) continue;
    if (usesPrior_ && onPath_[c]) {
      if (noCycle_) continue;
      throw OraError(1436);
    }
    int64_t level = top.level + 1;
    stack_.push_back({c, level, 0});
    if (usesPrior_) onPath_[c] = true;
    fill(row, c, level);
    return true;
  }
  if (usesPrior_) onPath_[top.source] = false;
  stack_.pop_back();
  return false;
}

bool ConnectBy::next(Row& row) {
  while (true) {
    if (!stack_.empty()) {
      if (pushChild(row)) return true;
      continue;
    }
    while (nextRoot_ < source_.size()) {
      size_t r = nextRoot_++;
      fill(row, r, 1);
      EvalEnv env{&ctx_, row.data(), outer_};
      env.level = 1;
      if (startWith_ && evaluateCondition(*startWith_, env) != Tri::True) continue;
      stack_.push_back({r, 1, 0});
      if (usesPrior_) onPath_[r] = true;
      return true;
    }
    return false;
  }
}

}  // namespace ocisim
