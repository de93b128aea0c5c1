// BlockCompiler: compiles one query block (FROM, WHERE, CONNECT BY, GROUP BY, select list,
// ORDER BY) for the Compiler. Internal to the executor; split over compile_query.cpp (FROM,
// WHERE and access paths) and compile_select.cpp (the rest).
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/exec/compiler.h"

namespace ocisim {

inline void splitConjuncts(const sql::Expr* e, std::vector<const sql::Expr*>& out) {
  if (!e) return;
  if (e->kind == sql::ExprKind::Binary && e->op == sql::Op::And) {
    splitConjuncts(e->args[0].get(), out);
    splitConjuncts(e->args[1].get(), out);
    return;
  }
  out.push_back(e);
}

inline bool isTextType(const DataType& t) {
  return t.code == TypeCode::Varchar2 || t.code == TypeCode::Char;
}

// Two key types whose values compare the same way under sortCompare as under SQL '='.
inline bool hashableKeys(const DataType& a, const DataType& b) {
  if (a.isNumeric() && b.isNumeric()) return true;
  if (isTextType(a) && isTextType(b)) return true;
  return a.code == TypeCode::Date && b.code == TypeCode::Date;
}

// A compiled expression that does not read the current row (constants, binds, outer rows).
inline bool independentOfRow(const CExpr& e) {
  if (e.kind == CKind::Column && e.depth == 0) return false;
  if (e.kind == CKind::Rownum || e.kind == CKind::NextVal || e.kind == CKind::Level) return false;
  if (e.subquery) return false;
  for (const auto& a : e.args) {
    if (!independentOfRow(*a)) return false;
  }
  return true;
}

// a AND b; b alone when a is null.
inline std::unique_ptr<CExpr> andOf(std::unique_ptr<CExpr> a, std::unique_ptr<CExpr> b) {
  if (!a) return b;
  auto both = std::make_unique<CExpr>();
  both->kind = CKind::And;
  both->args.push_back(std::move(a));
  both->args.push_back(std::move(b));
  return both;
}

// The most rows a block can return under its top-level ROWNUM conditions (ROWNUM <= n,
// ROWNUM < n, ROWNUM = 1, also written n >= ROWNUM ...): 0 when unlimited, -1 when no row can
// ever satisfy them (ROWNUM = 2, ROWNUM < 1).
int64_t rownumLimit(const std::vector<const sql::Expr*>& conjuncts);

// Compiles one query block.
class BlockCompiler {
 public:
  BlockCompiler(Compiler& compiler, ExecContext& ctx, const sql::QueryBlock& block,
                const std::vector<sql::OrderItem>* orderBy, Scope* parent)
      : c_(compiler), ctx_(ctx), b_(block), orderBy_(orderBy), parent_(parent) {
    scope_.parent = parent;
  }

  CompiledQuery compile();

 private:
  struct Leaf {
    enum class Kind { Table, Virtual, Derived } kind = Kind::Derived;
    Relation relation;
    std::unique_ptr<RowSource> derived;
    std::vector<ScopeSource> sources;  // offsets relative to the leaf's row
    size_t width = 0;
    size_t offset = 0;
    std::vector<const sql::Expr*> pushed;
    bool outerJoined = false;  // the NULL-supplying side of a (+) join
  };
  struct Conjunct {
    const sql::Expr* expr = nullptr;
    std::set<size_t> leaves;
    std::set<size_t> outerLeaves;
    bool top = false;
  };

  void addLeaf(const sql::TableRef& ref);
  std::unique_ptr<RowSource> compileJoinTree(const sql::TableRef& ref,
                                             std::vector<ScopeSource>& sources);
  std::unique_ptr<RowSource> compileUsingJoin(const sql::TableRef& ref, JoinType type,
                                              std::unique_ptr<RowSource> left,
                                              std::unique_ptr<RowSource> right,
                                              const std::vector<ScopeSource>& leftSources,
                                              const std::vector<ScopeSource>& rightSources,
                                              std::vector<ScopeSource>& sources);
  std::unique_ptr<RowSource> compileView(const Relation& r, std::vector<ScopeColumn>& columns);
  void analyze(const sql::Expr& e, Conjunct& info);
  void classifyConjuncts();
  Scope leafScope(const Leaf& leaf) const;
  Scope prefixScope(size_t upTo) const;
  std::unique_ptr<RowSource> buildLeaf(size_t index);
  std::unique_ptr<RowSource> buildTableAccess(Leaf& leaf, Scope& local);
  std::unique_ptr<RowSource> joinLeaves();
  // The leading ORDER BY items that are columns of the single table (position, descending);
  // *whole tells whether they are all the items.
  std::vector<std::pair<int, bool>> orderIndexColumns(const Leaf& leaf, bool* whole);
  int64_t rownumStop() const;
  void compileSelectList();
  void compileOrderBy();
  std::unique_ptr<CExpr> compileInScope(const sql::Expr& e, Scope& s, bool condition);

  Compiler& c_;
  ExecContext& ctx_;
  const sql::QueryBlock& b_;
  const std::vector<sql::OrderItem>* orderBy_;
  Scope* parent_;
  Scope scope_;
  std::vector<Leaf> leaves_;
  std::vector<Conjunct> conjuncts_;
  std::vector<size_t> joinConjuncts_;  // attached to the step of their last leaf
  std::vector<const sql::Expr*> top_;
  bool orderSatisfied_ = false;
  VirtualScan* lastVirtualScan_ = nullptr;  // made by the last buildLeaf of a virtual table
  // select list
  std::vector<std::unique_ptr<CExpr>> projections_;
  std::vector<ColumnInfo> columns_;
  std::vector<const sql::Expr*> itemExprs_;  // null for * expansions
  std::vector<SortKey> sortKeys_;
  std::vector<AggregateSpec> aggregates_;
};

}  // namespace ocisim
