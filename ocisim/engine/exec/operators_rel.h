// Operators that look at more than one row at a time: ORDER BY, DISTINCT, GROUP BY with the
// aggregate functions, the set operations and CONNECT BY. Internal to the executor.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "engine/exec/operators.h"

namespace ocisim {

struct SortKey {
  size_t slot = 0;
  bool descending = false;
  bool nullsFirst = false;  // already resolved from Oracle's defaults
};

// Three-way comparison of two rows on sort keys.
int compareOnKeys(const Row& a, const Row& b, const std::vector<SortKey>& keys);

// Materialises the child, sorts it (stable) and returns the first outputWidth values of each
// row (the rest were sort keys the select list does not show).
class Sort : public RowSource {
 public:
  Sort(ExecContext& ctx, std::unique_ptr<RowSource> child, std::vector<SortKey> keys,
       size_t outputWidth);
  void open(const EvalEnv& outer) override;
  bool next(Row& row) override;

 private:
  ExecContext& ctx_;
  std::unique_ptr<RowSource> child_;
  std::vector<SortKey> keys_;
  std::vector<Row> rows_;
  size_t position_ = 0;
};

// Drops rows equal (NULLs equal) to an earlier one; keeps the first occurrence's order.
class Distinct : public RowSource {
 public:
  explicit Distinct(std::unique_ptr<RowSource> child);
  ~Distinct() override;
  void open(const EvalEnv& outer) override;
  bool next(Row& row) override;

 private:
  struct Seen;
  std::unique_ptr<RowSource> child_;
  std::unique_ptr<Seen> seen_;
};

enum class AggregateFunction : uint8_t { CountStar, Count, Sum, Avg, Min, Max };

struct AggregateSpec {
  AggregateFunction function = AggregateFunction::CountStar;
  bool distinct = false;
  std::unique_ptr<CExpr> argument;  // compiled against the input row; null for COUNT(*)
};

// GROUP BY: one output row per group, [group values..., aggregate values...], in the order of
// the group values (as older Oracle releases return them). Without group expressions exactly
// one row, also for no input (COUNT 0, other aggregates NULL).
class Aggregate : public RowSource {
 public:
  Aggregate(ExecContext& ctx, std::unique_ptr<RowSource> child,
            std::vector<std::unique_ptr<CExpr>> groupBy, std::vector<AggregateSpec> aggregates);
  ~Aggregate() override;
  void open(const EvalEnv& outer) override;
  bool next(Row& row) override;

 private:
  struct State;
  ExecContext& ctx_;
  std::unique_ptr<RowSource> child_;
  std::vector<std::unique_ptr<CExpr>> groupBy_;
  std::vector<AggregateSpec> aggregates_;
  std::vector<Row> results_;
  size_t position_ = 0;
};

enum class SetOperator : uint8_t { Union, UnionAll, Minus, Intersect };

// UNION ALL streams both sides; UNION, MINUS and INTERSECT return sorted distinct rows, as
// Oracle's sort-based set operations do.
class SetOperation : public RowSource {
 public:
  SetOperation(ExecContext& ctx, std::unique_ptr<RowSource> left, std::unique_ptr<RowSource> right,
               SetOperator op);
  void open(const EvalEnv& outer) override;
  bool next(Row& row) override;

 private:
  ExecContext& ctx_;
  std::unique_ptr<RowSource> left_;
  std::unique_ptr<RowSource> right_;
  SetOperator op_;
  bool onRight_ = false;
  std::vector<Row> rows_;
  size_t position_ = 0;
};

// CONNECT BY: depth-first over the child's rows. The output row is the child row plus LEVEL
// as its last value. The conditions see the candidate row (with its LEVEL) as the current row
// and the parent row (with its LEVEL) as PRIOR.
class ConnectBy : public RowSource {
 public:
  ConnectBy(ExecContext& ctx, std::unique_ptr<RowSource> child, std::unique_ptr<CExpr> startWith,
            std::unique_ptr<CExpr> connectBy, bool usesPrior, bool noCycle);
  void open(const EvalEnv& outer) override;
  bool next(Row& row) override;

 private:
  struct Frame {
    size_t source;
    int64_t level;
    size_t nextCandidate;
  };
  void fill(Row& row, size_t source, int64_t level) const;
  bool pushChild(Row& row);

  ExecContext& ctx_;
  std::unique_ptr<RowSource> child_;
  std::unique_ptr<CExpr> startWith_;
  std::unique_ptr<CExpr> connectBy_;
  bool usesPrior_;
  bool noCycle_;
  const EvalEnv* outer_ = nullptr;
  std::vector<Row> source_;
  std::vector<Frame> stack_;
  std::vector<bool> onPath_;
  size_t nextRoot_ = 0;
  Row candidate_;
  Row parent_;
  uint64_t steps_ = 0;
};

}  // namespace ocisim
