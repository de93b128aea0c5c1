#include "engine/exec/operators.h"

#include <algorithm>

#include <unordered_map>

#include "engine/exec/exec_context.h"
#include "engine/ora_error.h"
#include "engine/value/coercion.h"

namespace ocisim {
namespace {

// Cancellation is checked once per this many rows scanned.
constexpr uint64_t kCancelInterval = 256;

}  // namespace

// ---- TableScan ----

TableScan::TableScan(ExecContext& ctx, std::shared_ptr<TableData> data)
    : RowSource(data->columnCount()), ctx_(ctx), data_(std::move(data)) {}

void TableScan::open(const EvalEnv&) {
  position_ = 0;
}

bool TableScan::next(Row& row) {
  // A column added or dropped since the plan was made: the rows no longer have its width.
  if (data_->columnCount() != width_) throw OraError(8103);
  while (position_ < data_->slotLimit()) {
    RowId id = position_++;
    if ((id % kCancelInterval) == 0) ctx_.checkCancel();
    const Value* r = data_->row(id);
    if (!r) continue;
    row.assign(r, r + width_);
    current_ = id;
    return true;
  }
  return false;
}

// ---- IndexScan ----

IndexScan::IndexScan(ExecContext& ctx, std::shared_ptr<TableData> data, std::string indexName,
                     std::vector<std::unique_ptr<CExpr>> equalKey, std::vector<DataType> keyTypes,
                     bool reverse)
    : RowSource(data->columnCount()),
      ctx_(ctx),
      data_(std::move(data)),
      indexName_(std::move(indexName)),
      equalKeyExprs_(std::move(equalKey)),
      keyTypes_(std::move(keyTypes)),
      reverse_(reverse) {}

void IndexScan::open(const EvalEnv& outer) {
  if (data_->columnCount() != width_) throw OraError(8103);
  index_ = data_->findIndex(indexName_);
  if (!index_) throw OraError(8103);
  seenEpoch_ = data_->structureEpoch();
  keyShape_ = index_->descending();
  equalKey_.clear();
  emptyRange_ = false;
  // A key holds no column of this block's row; its columns of enclosing queries (a correlated
  // subquery) are one level up from here.
  const EvalEnv env{&ctx_, nullptr, &outer};
  for (size_t i = 0; i < equalKeyExprs_.size(); ++i) {
    Value v = evaluate(*equalKeyExprs_[i], env);
    if (v.isNull()) {
      emptyRange_ = true;  // col = NULL is never true
      break;
    }
    // The value as the column stores it, so that the index order applies; a value that does
    // not convert cannot equal any stored value of the column.
    try {
      equalKey_.push_back(coerceForColumn(v, keyTypes_[i], ctx_.nls(), ""));
    } catch (const OraError& e) {
      if (e.code() == 12899 || e.code() == 1438) {
        emptyRange_ = true;
        break;
      }
      throw;
    }
  }
  started_ = false;
  done_ = false;
  seenChange_ = data_->changeCount();
}

bool IndexScan::inRange(RowId id) const {
  return equalKey_.empty() || index_->compareRowToKey(id, equalKey_) == 0;
}

void IndexScan::reseek() {
  index_ = data_->findIndex(indexName_);
  if (!index_) throw OraError(8103);
  if (reverse_) {
    it_ = index_->seekAfter(currentKey_, current_);
    // Step back over the entry itself (if it still exists) to the one before it.
    auto at = it_;
    if (at != index_->begin()) {
      --at;
      if (*at == current_) {
        it_ = at;
      } else {
        it_ = ++at;
      }
    }
  } else {
    it_ = index_->seekAfter(currentKey_, current_);
  }
  seenChange_ = data_->changeCount();
}

// The table's indexes were dropped, created or rebuilt (DDL, or a reload of what another
// process changed) since this scan last looked: the index object and the iterator may be gone.
// Continue on the index of the same name when it still has the same key shape (the position is
// found again from the last key returned); otherwise the object the cursor read is gone.
void IndexScan::rebind() {
  if (data_->columnCount() != width_) throw OraError(8103);
  index_ = data_->findIndex(indexName_);
  if (!index_ || index_->descending() != keyShape_) throw OraError(8103);
  seenEpoch_ = data_->structureEpoch();
  if (started_) reseek();
}

bool IndexScan::next(Row& row) {
  if (done_ || emptyRange_) return false;
  if (data_->structureEpoch() != seenEpoch_) rebind();
  if (!started_) {
    started_ = true;
    if (reverse_) {
      it_ = equalKey_.empty() ? index_->end() : index_->seek(equalKey_, +1);
    } else {
      it_ = equalKey_.empty() ? index_->begin() : index_->seek(equalKey_, -1);
    }
  } else if (data_->changeCount() != seenChange_) {
    reseek();
  }
  // In reverse, it_ points one past the next entry to return.
  if (reverse_) {
    if (it_ == index_->begin()) {
      done_ = true;
      return false;
    }
    --it_;
  } else if (it_ == index_->end()) {
    done_ = true;
    return false;
  }
  RowId id = *it_;
  if (!inRange(id)) {
    done_ = true;
    return false;
  }
  if (!reverse_) ++it_;
  if ((id % kCancelInterval) == 0) ctx_.checkCancel();
  const Value* r = data_->row(id);
  row.assign(r, r + width_);
  current_ = id;
  // The key of the row returned, kept for a re-seek after changes (in place: no allocation).
  const std::vector<int>& keyColumns = index_->keyColumns();
  currentKey_.resize(keyColumns.size());
  for (size_t k = 0; k < keyColumns.size(); ++k) currentKey_[k] = r[keyColumns[k]];
  return true;
}

// ---- VirtualScan ----

VirtualScan::VirtualScan(ExecContext& ctx, const VirtualTable& table, size_t width,
                         std::vector<std::pair<std::string, std::unique_ptr<CExpr>>> hints)
    : RowSource(width), ctx_(ctx), table_(table), hints_(std::move(hints)) {}

void VirtualScan::open(const EvalEnv& outer) {
  position_ = 0;
  std::vector<Value> values;
  values.reserve(hints_.size() + lookups_.size());
  // A hint holds no column of this block's row; its columns of enclosing queries are one
  // level up from here.
  const EvalEnv here{&ctx_, nullptr, &outer};
  for (const auto& hint : hints_) values.push_back(evaluate(*hint.second, here));
  for (const auto& lookup : lookups_) values.push_back(lookup.second);
  if (produced_) {
    bool same = true;
    for (size_t i = 0; i < values.size() && same; ++i) {
      same = values[i].identical(producedFor_[i]);
    }
    if (same) return;
  }
  VirtualScanContext vctx{
      ctx_.db, ctx_.catalog, ctx_.session, ctx_.user(), ctx_.catalog.isDba(ctx_.user()), {}};
  for (size_t i = 0; i < values.size(); ++i) {
    const std::string& column =
        i < hints_.size() ? hints_[i].first : lookups_[i - hints_.size()].first;
    if (!values[i].isNull()) vctx.equalities.emplace(column, values[i]);
  }
  producedFor_ = std::move(values);
  rows_.clear();
  table_.scan(vctx, [this](Row&& row) {
    if (row.size() != width_) row.resize(width_);
    rows_.push_back(std::move(row));
  });
  produced_ = true;
}

bool VirtualScan::next(Row& row) {
  if (position_ >= rows_.size()) return false;
  row = rows_[position_++];
  return true;
}

// ---- LookupJoin ----

LookupJoin::LookupJoin(ExecContext& ctx, std::unique_ptr<RowSource> left,
                       std::unique_ptr<RowSource> right, VirtualScan& scan,
                       std::vector<std::string> columns,
                       std::vector<std::unique_ptr<CExpr>> leftKeys, std::unique_ptr<CExpr> on)
    : RowSource(left->width() + right->width()),
      ctx_(ctx),
      left_(std::move(left)),
      right_(std::move(right)),
      scan_(scan),
      columns_(std::move(columns)),
      leftKeys_(std::move(leftKeys)),
      on_(std::move(on)) {}

void LookupJoin::open(const EvalEnv& outer) {
  outer_ = &outer;
  left_->open(outer);
  haveLeft_ = false;
}

bool LookupJoin::next(Row& row) {
  const size_t leftWidth = left_->width();
  Row right;
  for (;;) {
    if (!haveLeft_) {
      if (!left_->next(leftRow_)) return false;
      EvalEnv env{&ctx_, leftRow_.data(), outer_};
      std::vector<std::pair<std::string, Value>> lookups;
      bool nullKey = false;
      for (size_t i = 0; i < leftKeys_.size(); ++i) {
        Value v = evaluate(*leftKeys_[i], env);
        nullKey = nullKey || v.isNull();
        lookups.emplace_back(columns_[i], std::move(v));
      }
      if (nullKey) continue;  // = with NULL never holds
      scan_.setLookups(std::move(lookups));
      right_->open(*outer_);
      haveLeft_ = true;
    }
    while (right_->next(right)) {
      row.resize(width_);
      std::copy(leftRow_.begin(), leftRow_.end(), row.begin());
      std::copy(right.begin(), right.end(), row.begin() + leftWidth);
      EvalEnv env{&ctx_, row.data(), outer_};
      if (!on_ || evaluateCondition(*on_, env) == Tri::True) return true;
    }
    haveLeft_ = false;
  }
}

// ---- Filter ----

Filter::Filter(ExecContext& ctx, std::unique_ptr<RowSource> child, std::unique_ptr<CExpr> condition,
               bool countRownum, int64_t stopAfter)
    : RowSource(child->width()),
      ctx_(ctx),
      child_(std::move(child)),
      condition_(std::move(condition)),
      rownum_(countRownum ? &counter_ : nullptr),
      stopAfter_(stopAfter) {}

void Filter::open(const EvalEnv& outer) {
  outer_ = &outer;
  if (rownum_) *rownum_ = 0;
  child_->open(outer);
}

bool Filter::next(Row& row) {
  if (stopAfter_ < 0) return false;  // a ROWNUM condition that can never hold
  if (rownum_ && stopAfter_ > 0 && *rownum_ >= stopAfter_) return false;
  while (child_->next(row)) {
    if (!condition_) {
      if (rownum_) ++*rownum_;
      return true;
    }
    EvalEnv env{&ctx_, row.data(), outer_};
    env.rownum = rownum_ ? *rownum_ + 1 : 0;
    if (evaluateCondition(*condition_, env) == Tri::True) {
      if (rownum_) ++*rownum_;
      return true;
    }
  }
  return false;
}

// ---- NestedLoopJoin ----

NestedLoopJoin::NestedLoopJoin(ExecContext& ctx, std::unique_ptr<RowSource> left,
                               std::unique_ptr<RowSource> right, JoinType type,
                               std::unique_ptr<CExpr> on)
    : RowSource(left->width() + right->width()),
      ctx_(ctx),
      left_(std::move(left)),
      right_(std::move(right)),
      type_(type),
      on_(std::move(on)) {}

void NestedLoopJoin::open(const EvalEnv& outer) {
  outer_ = &outer;
  left_->open(outer);
  right_->open(outer);
  rightRows_.clear();
  Row r;
  while (right_->next(r)) rightRows_.push_back(r);
  rightMatched_.assign(rightRows_.size(), false);
  haveLeft_ = false;
  leftDone_ = false;
  unmatchedPos_ = 0;
}

bool NestedLoopJoin::advanceLeft() {
  if (!left_->next(leftRow_)) return false;
  haveLeft_ = true;
  leftMatched_ = false;
  rightPos_ = 0;
  return true;
}

bool NestedLoopJoin::next(Row& row) {
  size_t lw = left_->width();
  size_t rw = right_->width();
  row.resize(width_);
  while (!leftDone_) {
    if (!haveLeft_ && !advanceLeft()) {
      leftDone_ = true;
      break;
    }
    while (rightPos_ < rightRows_.size()) {
      size_t pos = rightPos_++;
      std::copy(leftRow_.begin(), leftRow_.end(), row.begin());
      std::copy(rightRows_[pos].begin(), rightRows_[pos].end(), row.begin() + lw);
      EvalEnv env{&ctx_, row.data(), outer_};
      if (!on_ || evaluateCondition(*on_, env) == Tri::True) {
        leftMatched_ = true;
        rightMatched_[pos] = true;
        return true;
      }
    }
    haveLeft_ = false;
    if (!leftMatched_ && (type_ == JoinType::Left || type_ == JoinType::Full)) {
      std::copy(leftRow_.begin(), leftRow_.end(), row.begin());
      std::fill(row.begin() + lw, row.end(), Value());
      return true;
    }
  }
  if (type_ == JoinType::Full || type_ == JoinType::Right) {
    while (unmatchedPos_ < rightRows_.size()) {
      size_t pos = unmatchedPos_++;
      if (rightMatched_[pos]) continue;
      std::fill(row.begin(), row.begin() + lw, Value());
      std::copy(rightRows_[pos].begin(), rightRows_[pos].begin() + rw, row.begin() + lw);
      return true;
    }
  }
  return false;
}

// ---- HashJoin ----

namespace {

struct KeyHash {
  size_t operator()(const Row& key) const {
    size_t h = 0;
    for (const Value& v : key) h = h * 31 + sortHash(v);
    return h;
  }
};

struct KeyEqual {
  bool operator()(const Row& a, const Row& b) const {
    for (size_t i = 0; i < a.size(); ++i) {
      if (sortCompare(a[i], b[i]) != 0) return false;
    }
    return true;
  }
};

}  // namespace

struct HashJoin::Table {
  std::vector<Row> rows;
  std::vector<bool> matched;
  std::unordered_map<Row, std::vector<size_t>, KeyHash, KeyEqual> buckets;
};

HashJoin::HashJoin(ExecContext& ctx, std::unique_ptr<RowSource> left,
                   std::unique_ptr<RowSource> right, JoinType type,
                   std::vector<std::unique_ptr<CExpr>> leftKeys,
                   std::vector<std::unique_ptr<CExpr>> rightKeys, std::unique_ptr<CExpr> residual)
    : RowSource(left->width() + right->width()),
      ctx_(ctx),
      left_(std::move(left)),
      right_(std::move(right)),
      type_(type),
      leftKeys_(std::move(leftKeys)),
      rightKeys_(std::move(rightKeys)),
      residual_(std::move(residual)) {}

HashJoin::~HashJoin() = default;

void HashJoin::open(const EvalEnv& outer) {
  outer_ = &outer;
  left_->open(outer);
  right_->open(outer);
  table_ = std::make_unique<Table>();
  Row r;
  while (right_->next(r)) {
    EvalEnv env{&ctx_, r.data(), outer_};
    Row key;
    bool hasNull = false;
    for (const auto& k : rightKeys_) {
      key.push_back(evaluate(*k, env));
      hasNull = hasNull || key.back().isNull();
    }
    size_t index = table_->rows.size();
    table_->rows.push_back(r);
    if (!hasNull) table_->buckets[std::move(key)].push_back(index);
  }
  table_->matched.assign(table_->rows.size(), false);
  haveLeft_ = false;
  leftDone_ = false;
  unmatchedPos_ = 0;
}

bool HashJoin::advanceLeft() {
  if (!left_->next(leftRow_)) return false;
  haveLeft_ = true;
  leftMatched_ = false;
  bucketPos_ = 0;
  bucket_ = nullptr;
  EvalEnv env{&ctx_, leftRow_.data(), outer_};
  Row key;
  for (const auto& k : leftKeys_) {
    key.push_back(evaluate(*k, env));
    if (key.back().isNull()) return true;
  }
  auto it = table_->buckets.find(key);
  if (it != table_->buckets.end()) bucket_ = &it->second;
  return true;
}

bool HashJoin::next(Row& row) {
  size_t lw = left_->width();
  row.resize(width_);
  while (!leftDone_) {
    if (!haveLeft_ && !advanceLeft()) {
      leftDone_ = true;
      break;
    }
    while (bucket_ && bucketPos_ < bucket_->size()) {
      size_t pos = (*bucket_)[bucketPos_++];
      std::copy(leftRow_.begin(), leftRow_.end(), row.begin());
      std::copy(table_->rows[pos].begin(), table_->rows[pos].end(), row.begin() + lw);
      EvalEnv env{&ctx_, row.data(), outer_};
      if (!residual_ || evaluateCondition(*residual_, env) == Tri::True) {
        leftMatched_ = true;
        table_->matched[pos] = true;
        return true;
      }
    }
    haveLeft_ = false;
    if (!leftMatched_ && (type_ == JoinType::Left || type_ == JoinType::Full)) {
      std::copy(leftRow_.begin(), leftRow_.end(), row.begin());
      std::fill(row.begin() + lw, row.end(), Value());
      return true;
    }
  }
  if (type_ == JoinType::Full || type_ == JoinType::Right) {
    while (unmatchedPos_ < table_->rows.size()) {
      size_t pos = unmatchedPos_++;
      if (table_->matched[pos]) continue;
      std::fill(row.begin(), row.begin() + lw, Value());
      std::copy(table_->rows[pos].begin(), table_->rows[pos].end(), row.begin() + lw);
      return true;
    }
  }
  return false;
}

// ---- Project ----

Project::Project(ExecContext& ctx, std::unique_ptr<RowSource> child,
                 std::vector<std::unique_ptr<CExpr>> exprs, const int64_t* rownum)
    : RowSource(exprs.size()),
      ctx_(ctx),
      child_(std::move(child)),
      exprs_(std::move(exprs)),
      rownum_(rownum) {}

void Project::open(const EvalEnv& outer) {
  outer_ = &outer;
  child_->open(outer);
}

bool Project::next(Row& row) {
  if (!child_->next(input_)) return false;
  ctx_.nextRow();
  EvalEnv env{&ctx_, input_.data(), outer_};
  env.rownum = rownum_ ? *rownum_ : 0;
  row.resize(width_);
  for (size_t i = 0; i < exprs_.size(); ++i) row[i] = evaluate(*exprs_[i], env);
  return true;
}

// ---- RowsSource ----

bool RowsSource::next(Row& row) {
  if (position_ >= rows_.size()) return false;
  row = rows_[position_++];
  return true;
}

}  // namespace ocisim
