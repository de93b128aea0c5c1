// The pull-based operators a query plan is made of: scans (table, index, virtual table),
// filters with ROWNUM, joins, projection. Sorting, grouping, set operations and CONNECT BY are
// in operators_rel.h. Every operator may be re-opened (a correlated subquery re-opens its plan
// for each outer row). Internal to the executor.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/exec/cexpr.h"
#include "engine/exec/row_store.h"
#include "engine/exec/virtual_table.h"

namespace ocisim {

class ExecContext;

class RowSource {
 public:
  virtual ~RowSource() = default;
  // Starts, or starts again, with `outer` as the environment of the enclosing query (it must
  // outlive the iteration).
  virtual void open(const EvalEnv& outer) = 0;
  // The next row (width() values) into `row`; false at the end.
  virtual bool next(Row& row) = 0;
  size_t width() const { return width_; }

 protected:
  explicit RowSource(size_t width) : width_(width) {}
  size_t width_;
};

// All rows of a table in slot order; the RowId of the row last returned is currentRowId().
class TableScan : public RowSource {
 public:
  TableScan(ExecContext& ctx, std::shared_ptr<TableData> data);
  void open(const EvalEnv& outer) override;
  bool next(Row& row) override;
  RowId currentRowId() const { return current_; }

 private:
  ExecContext& ctx_;
  std::shared_ptr<TableData> data_;
  RowId position_ = 0;
  RowId current_ = 0;
};

// Rows of a table in the order of one of its indexes, optionally only those whose leading key
// columns equal given values (evaluated at open, converted to the column types).
class IndexScan : public RowSource {
 public:
  IndexScan(ExecContext& ctx, std::shared_ptr<TableData> data, std::string indexName,
            std::vector<std::unique_ptr<CExpr>> equalKey, std::vector<DataType> keyTypes,
            bool reverse);
  void open(const EvalEnv& outer) override;
  bool next(Row& row) override;
  RowId currentRowId() const { return current_; }

 private:
  bool inRange(RowId id) const;
  void reseek();
  void rebind();

  ExecContext& ctx_;
  std::shared_ptr<TableData> data_;
  std::string indexName_;
  std::vector<std::unique_ptr<CExpr>> equalKeyExprs_;
  std::vector<DataType> keyTypes_;
  bool reverse_;
  const TableIndex* index_ = nullptr;
  std::vector<Value> equalKey_;
  bool emptyRange_ = false;
  TableIndex::Iterator it_;
  bool started_ = false;
  bool done_ = false;
  uint64_t seenChange_ = 0;
  uint64_t seenEpoch_ = 0;
  std::vector<bool> keyShape_;  // the index's descending flags, one per key column
  RowId current_ = 0;
  std::vector<Value> currentKey_;
};

// The rows of a virtual table, produced once per execution (the producer sees the constant
// equality hints of the WHERE clause).
class VirtualScan : public RowSource {
 public:
  VirtualScan(ExecContext& ctx, const VirtualTable& table, size_t width,
              std::vector<std::pair<std::string, std::unique_ptr<CExpr>>> hints);
  void open(const EvalEnv& outer) override;
  bool next(Row& row) override;
  // Equalities a LookupJoin sets before each open: the join columns of the current left row.
  void setLookups(std::vector<std::pair<std::string, Value>> lookups) {
    lookups_ = std::move(lookups);
  }

 private:
  ExecContext& ctx_;
  const VirtualTable& table_;
  std::vector<std::pair<std::string, Value>> lookups_;
  std::vector<std::pair<std::string, std::unique_ptr<CExpr>>> hints_;
  // The hint values the rows were produced for: a correlated hint (a column of an enclosing
  // query) changes with the outer row, and the rows are produced again only when it does.
  bool produced_ = false;
  std::vector<Value> producedFor_;
  std::vector<Row> rows_;
  size_t position_ = 0;
};

// Rows of a child that satisfy a condition (null: all). With a ROWNUM counter: ROWNUM is the
// number the row gets when it passes; stopAfter > 0 ends the scan once that many passed (a
// ROWNUM <= n conjunct can never become true again).
class Filter : public RowSource {
 public:
  Filter(ExecContext& ctx, std::unique_ptr<RowSource> child, std::unique_ptr<CExpr> condition,
         bool countRownum, int64_t stopAfter);
  void open(const EvalEnv& outer) override;
  bool next(Row& row) override;
  // The ROWNUM of the row last returned (for the select list of the block).
  const int64_t* rownumCounter() const { return &counter_; }

 private:
  ExecContext& ctx_;
  std::unique_ptr<RowSource> child_;
  std::unique_ptr<CExpr> condition_;
  int64_t counter_ = 0;
  int64_t* rownum_;
  int64_t stopAfter_;
  const EvalEnv* outer_ = nullptr;
};

enum class JoinType : uint8_t { Inner, Left, Right, Full };

// left JOIN right ON condition, by nested loops; the row is [left values | right values].
// Left and Full add unmatched left rows, Right and Full unmatched right rows (NULL-padded).
// The right side is materialised once per open when it does not depend on the outer row.
class NestedLoopJoin : public RowSource {
 public:
  NestedLoopJoin(ExecContext& ctx, std::unique_ptr<RowSource> left,
                 std::unique_ptr<RowSource> right, JoinType type, std::unique_ptr<CExpr> on);
  void open(const EvalEnv& outer) override;
  bool next(Row& row) override;

 private:
  bool advanceLeft();
  ExecContext& ctx_;
  std::unique_ptr<RowSource> left_;
  std::unique_ptr<RowSource> right_;
  JoinType type_;
  std::unique_ptr<CExpr> on_;
  const EvalEnv* outer_ = nullptr;
  std::vector<Row> rightRows_;
  std::vector<bool> rightMatched_;
  Row leftRow_;
  bool haveLeft_ = false;
  bool leftMatched_ = false;
  size_t rightPos_ = 0;
  bool leftDone_ = false;
  size_t unmatchedPos_ = 0;
};

// Inner join of a virtual table by lookup: for each left row the join columns are handed to the
// right side's VirtualScan as equalities (so a dictionary view produces only the rows that can
// match, not the whole view per statement), and the whole join condition is checked on the
// combined row.
class LookupJoin : public RowSource {
 public:
  LookupJoin(ExecContext& ctx, std::unique_ptr<RowSource> left, std::unique_ptr<RowSource> right,
             VirtualScan& scan, std::vector<std::string> columns,
             std::vector<std::unique_ptr<CExpr>> leftKeys, std::unique_ptr<CExpr> on);
  void open(const EvalEnv& outer) override;
  bool next(Row& row) override;

 private:
  ExecContext& ctx_;
  std::unique_ptr<RowSource> left_;
  std::unique_ptr<RowSource> right_;  // VirtualScan, possibly under a Filter
  VirtualScan& scan_;
  std::vector<std::string> columns_;  // of the virtual table, one per left key
  std::vector<std::unique_ptr<CExpr>> leftKeys_;
  std::unique_ptr<CExpr> on_;
  const EvalEnv* outer_ = nullptr;
  Row leftRow_;
  bool haveLeft_ = false;
};

// Equi-join by hashing the right side on its key expressions; the residual condition is
// checked on the combined row. Keys must have types that compare without conversion.
class HashJoin : public RowSource {
 public:
  HashJoin(ExecContext& ctx, std::unique_ptr<RowSource> left, std::unique_ptr<RowSource> right,
           JoinType type, std::vector<std::unique_ptr<CExpr>> leftKeys,
           std::vector<std::unique_ptr<CExpr>> rightKeys, std::unique_ptr<CExpr> residual);
  ~HashJoin() override;
  void open(const EvalEnv& outer) override;
  bool next(Row& row) override;

 private:
  struct Table;
  bool advanceLeft();
  ExecContext& ctx_;
  std::unique_ptr<RowSource> left_;
  std::unique_ptr<RowSource> right_;
  JoinType type_;
  std::vector<std::unique_ptr<CExpr>> leftKeys_;
  std::vector<std::unique_ptr<CExpr>> rightKeys_;
  std::unique_ptr<CExpr> residual_;
  const EvalEnv* outer_ = nullptr;
  std::unique_ptr<Table> table_;
  Row leftRow_;
  bool haveLeft_ = false;
  bool leftMatched_ = false;
  const std::vector<size_t>* bucket_ = nullptr;
  size_t bucketPos_ = 0;
  bool leftDone_ = false;
  size_t unmatchedPos_ = 0;
};

// Evaluates expressions over the child's rows. ROWNUM is read from *rownum.
class Project : public RowSource {
 public:
  Project(ExecContext& ctx, std::unique_ptr<RowSource> child,
          std::vector<std::unique_ptr<CExpr>> exprs, const int64_t* rownum);
  void open(const EvalEnv& outer) override;
  bool next(Row& row) override;

 private:
  ExecContext& ctx_;
  std::unique_ptr<RowSource> child_;
  std::vector<std::unique_ptr<CExpr>> exprs_;
  const int64_t* rownum_;
  const EvalEnv* outer_ = nullptr;
  Row input_;
};

// A fixed list of rows (the materialised rows of something else).
class RowsSource : public RowSource {
 public:
  RowsSource(size_t width, std::vector<Row> rows) : RowSource(width), rows_(std::move(rows)) {}
  void open(const EvalEnv&) override { position_ = 0; }
  bool next(Row& row) override;

 private:
  std::vector<Row> rows_;
  size_t position_ = 0;
};

}  // namespace ocisim
