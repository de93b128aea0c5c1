// Query compilation, second half: the order of a block's stages (joins, CONNECT BY, ROWNUM,
// GROUP BY, HAVING, select list, DISTINCT, ORDER BY) and the set operations.
#include <algorithm>

#include "engine/exec/block_compiler.h"
#include "engine/exec/exec_context.h"
#include "engine/ora_error.h"

namespace ocisim {
namespace {

bool blockAggregates(const sql::QueryBlock& b, const std::vector<sql::OrderItem>* orderBy) {
  if (!b.groupBy.empty() || b.having) return true;
  for (const auto& item : b.items) {
    if (item.expr && containsAggregate(*item.expr)) return true;
  }
  if (orderBy) {
    for (const auto& item : *orderBy) {
      if (containsAggregate(*item.expr)) return true;
    }
  }
  return false;
}

// The type two set-operation branches give a column (ORA-01790 when they do not match).
DataType unionType(const DataType& a, const DataType& b) {
  if (a.length == 0 && a.code == TypeCode::Varchar2) return b;  // NULL literal
  if (b.length == 0 && b.code == TypeCode::Varchar2) return a;
  if (a.isNumeric() && b.isNumeric()) return DataType::number();
  if (a.isCharacter() && b.isCharacter()) {
    if (a.code == TypeCode::Char && b.code == TypeCode::Char) {
      return DataType::charType(std::max(a.length, b.length));
    }
    if (a.isLong() || b.isLong() || a.isLob() || b.isLob()) return a;
    return DataType::varchar2(std::max(a.length, b.length));
  }
  if (a.isDatetime() && b.isDatetime()) return a;
  if (a.code == b.code) return a;
  throw OraError(1790);
}

std::vector<SortKey> setOrderKeys(const std::vector<sql::OrderItem>& orderBy,
                                  const std::vector<ColumnInfo>& columns) {
  std::vector<SortKey> keys;
  for (const sql::OrderItem& item : orderBy) {
    const sql::Expr& e = *item.expr;
    int target = -1;
    if (e.kind == sql::ExprKind::Literal && e.literal == sql::LiteralKind::Number) {
      int pos = std::atoi(e.text.c_str());
      if (pos >= 1 && static_cast<size_t>(pos) <= columns.size()) target = pos - 1;
    } else if (e.kind == sql::ExprKind::Column) {
      for (size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].name == e.names.back()) target = static_cast<int>(i);
      }
    }
    if (target < 0) throw OraError(1785);
    bool nullsFirst = item.nulls == sql::OrderItem::Nulls::First ||
                      (item.nulls == sql::OrderItem::Nulls::Default && item.descending);
    keys.push_back({static_cast<size_t>(target), item.descending, nullsFirst});
  }
  return keys;
}

}  // namespace

void BlockCompiler::compileSelectList() {
  bool sequences = c_.selectListSequences_;
  c_.selectListSequences_ = false;  // not in the subqueries of the list
  for (const sql::SelectItem& item : b_.items) {
    if (item.expr->kind == sql::ExprKind::Star) {
      if (scope_.grouped) throw OraError(979);
      const auto& q = item.expr->names;
      bool matched = false;
      for (const ScopeSource& s : scope_.sources) {
        if (q.size() == 1 && s.alias != q[0]) continue;
        if (q.size() == 2 && (s.aliased || s.owner != q[0] || s.alias != q[1])) continue;
        matched = true;
        for (size_t i = 0; i < s.columns.size(); ++i) {
          auto c = std::make_unique<CExpr>();
          c->kind = CKind::Column;
          c->slot = static_cast<int>(s.offset + i);
          c->type = s.columns[i].type;
          projections_.push_back(std::move(c));
          columns_.push_back({s.columns[i].name, s.columns[i].type, s.columns[i].nullable});
          itemExprs_.push_back(nullptr);
        }
      }
      if (!matched) throw OraError(904, {quotedName(q) + ".*"});
      continue;
    }
    c_.sequencesAllowed_ = sequences;
    auto c = compileInScope(*item.expr, scope_, false);
    c_.sequencesAllowed_ = false;
    columns_.push_back({item.name, c->type, !c->notNull});
    projections_.push_back(std::move(c));
    itemExprs_.push_back(item.expr.get());
  }
}

void BlockCompiler::compileOrderBy() {
  if (!orderBy_) return;
  for (const sql::OrderItem& item : *orderBy_) {
    const sql::Expr& e = *item.expr;
    int target = -1;
    if (e.kind == sql::ExprKind::Literal && e.literal == sql::LiteralKind::Number) {
      int pos = std::atoi(e.text.c_str());
      if (pos < 1 || static_cast<size_t>(pos) > columns_.size()) throw OraError(1785);
      target = pos - 1;
    } else if (e.kind == sql::ExprKind::Column && e.names.size() == 1) {
      for (size_t i = 0; i < columns_.size(); ++i) {
        if (columns_[i].name != e.names[0]) continue;
        if (target >= 0 && !(itemExprs_[i] && itemExprs_[target] &&
                             sameExpr(*itemExprs_[i], *itemExprs_[target]))) {
          throw OraError(960);
        }
        if (target < 0) target = static_cast<int>(i);
      }
    }
    if (target < 0) {
      for (size_t i = 0; i < itemExprs_.size() && target < 0; ++i) {
        if (itemExprs_[i] && sameExpr(*itemExprs_[i], e)) target = static_cast<int>(i);
      }
    }
    if (target < 0) {
      if (b_.distinct) throw OraError(1791);
      std::map<std::string, const sql::Expr*> aliases;
      for (size_t i = 0; i < b_.items.size(); ++i) {
        if (!b_.items[i].alias.empty()) aliases[b_.items[i].alias] = b_.items[i].expr.get();
      }
      scope_.orderAliases = &aliases;
      try {
        projections_.push_back(compileInScope(e, scope_, false));
      } catch (...) {
        scope_.orderAliases = nullptr;
        throw;
      }
      scope_.orderAliases = nullptr;
      target = static_cast<int>(projections_.size() - 1);
    }
    if (projections_[target]->type.isLong() && projections_[target]->kind != CKind::Variable) {
      throw OraError(997);
    }
    bool nullsFirst = item.nulls == sql::OrderItem::Nulls::First ||
                      (item.nulls == sql::OrderItem::Nulls::Default && item.descending);
    sortKeys_.push_back({static_cast<size_t>(target), item.descending, nullsFirst});
  }
}

CompiledQuery BlockCompiler::compile() {
  for (const auto& ref : b_.from) addLeaf(*ref);
  if (leaves_.empty()) throw OraError(923);
  scope_.aggregating = blockAggregates(b_, orderBy_);
  classifyConjuncts();
  std::unique_ptr<RowSource> source = joinLeaves();

  if (b_.connectBy) {
    scope_.levelSlot = static_cast<int>(scope_.width);
    std::unique_ptr<CExpr> start;
    if (b_.startWith) start = compileInScope(*b_.startWith, scope_, true);
    auto connect = compileInScope(*b_.connectBy, scope_, true);
    scope_.width += 1;
    source = std::make_unique<ConnectBy>(ctx_, std::move(source), std::move(start),
                                         std::move(connect), scope_.usesPrior, b_.noCycle);
  }

  std::unique_ptr<CExpr> where;
  for (const sql::Expr* e : top_) where = andOf(std::move(where), compileInScope(*e, scope_, true));
  auto filter =
      std::make_unique<Filter>(ctx_, std::move(source), std::move(where), true, rownumStop());
  const int64_t* rownum = filter->rownumCounter();
  source = std::move(filter);

  std::vector<std::unique_ptr<CExpr>> groupBy;
  if (scope_.aggregating) {
    for (const auto& g : b_.groupBy) {
      auto c = compileInScope(*g, scope_, false);
      if (c->type.isLong() && c->kind != CKind::Variable) throw OraError(997);
      scope_.groupExprs.push_back(g.get());
      scope_.groupSlots.push_back(c->kind == CKind::Column && c->depth == 0 && !c->prior ? c->slot
                                                                                         : -1);
      scope_.groupTypes.push_back(c->type);
      scope_.groupNotNull.push_back(c->notNull);
      groupBy.push_back(std::move(c));
    }
    scope_.aggregates = &aggregates_;
    scope_.grouped = true;
  }
  compileSelectList();
  if (b_.distinct) refuseLongColumns(columns_);
  std::unique_ptr<CExpr> having;
  if (b_.having) having = compileInScope(*b_.having, scope_, true);
  compileOrderBy();

  if (scope_.aggregating) {
    source = std::make_unique<Aggregate>(ctx_, std::move(source), std::move(groupBy),
                                         std::move(aggregates_));
    if (having) {
      source = std::make_unique<Filter>(ctx_, std::move(source), std::move(having), false, 0);
    }
  }
  size_t visible = columns_.size();
  source = std::make_unique<Project>(ctx_, std::move(source), std::move(projections_), rownum);
  if (b_.distinct) source = std::make_unique<Distinct>(std::move(source));
  if (!sortKeys_.empty() && !orderSatisfied_) {
    source = std::make_unique<Sort>(ctx_, std::move(source), std::move(sortKeys_), visible);
  } else if (source->width() > visible) {
    std::vector<std::unique_ptr<CExpr>> strip;
    for (size_t i = 0; i < visible; ++i) {
      auto c = std::make_unique<CExpr>();
      c->kind = CKind::Column;
      c->slot = static_cast<int>(i);
      strip.push_back(std::move(c));
    }
    source = std::make_unique<Project>(ctx_, std::move(source), std::move(strip), nullptr);
  }
  CompiledQuery out;
  out.root = std::move(source);
  out.columns = std::move(columns_);
  out.correlated = scope_.correlated;
  return out;
}

CompiledQuery Compiler::compileQuery(const sql::Query& query, Scope* parent) {
  bool savedAllowed = sequencesAllowed_;
  bool savedList = selectListSequences_;
  selectListSequences_ = sequencesAllowed_ && parent == nullptr && viewDepth_ == 0 &&
                         query.block && query.orderBy.empty() && !query.block->distinct &&
                         query.block->groupBy.empty();
  sequencesAllowed_ = false;
  struct Restore {
    Compiler& c;
    bool allowed;
    bool list;
    ~Restore() {
      c.sequencesAllowed_ = allowed;
      c.selectListSequences_ = list;
    }
  } restore{*this, savedAllowed, savedList};
  if (query.with.empty()) return compileQueryBody(query, parent);
  size_t outer = ctes_.size();
  for (const sql::CommonTableExpr& cte : query.with) ctes_.push_back(&cte);
  try {
    CompiledQuery out = compileQueryBody(query, parent);
    ctes_.resize(outer);
    return out;
  } catch (...) {
    ctes_.resize(outer);
    throw;
  }
}

int Compiler::findCte(const std::string& name) const {
  for (size_t i = ctes_.size(); i-- > 0;) {
    if (ctes_[i]->name == name) return static_cast<int>(i);
  }
  for (const sql::CommonTableExpr* c : ctesDefining_) {
    // A query naming itself is recursive, which needs a column list (release 11.2 on) and
    // UNION ALL; neither is implemented, so it is refused as Oracle refuses it without one.
    if (c->name == name) throw OraError(release() >= 1102 ? 32039 : 32031);
  }
  return -1;
}

CompiledQuery Compiler::compileCte(int index) {
  const sql::CommonTableExpr& cte = *ctes_[static_cast<size_t>(index)];
  std::vector<const sql::CommonTableExpr*> all = ctes_;
  ctes_.resize(static_cast<size_t>(index));
  ctesDefining_.push_back(&cte);
  CompiledQuery q;
  try {
    q = compileQuery(*cte.query, nullptr);
  } catch (...) {
    ctes_ = std::move(all);
    ctesDefining_.pop_back();
    throw;
  }
  ctes_ = std::move(all);
  ctesDefining_.pop_back();
  if (!cte.columns.empty()) {
    if (cte.columns.size() != q.columns.size()) throw OraError(1730);
    for (size_t i = 0; i < q.columns.size(); ++i) q.columns[i].name = cte.columns[i];
  }
  return q;
}

CompiledQuery Compiler::compileQueryBody(const sql::Query& query, Scope* parent) {
  if (query.block) {
    BlockCompiler block(*this, ctx_, *query.block, &query.orderBy, parent);
    return block.compile();
  }
  return compileSetOperation(query, parent);
}

CompiledQuery Compiler::compileSetOperation(const sql::Query& query, Scope* parent) {
  CompiledQuery left = compileQuery(*query.left, parent);
  CompiledQuery right = compileQuery(*query.right, parent);
  if (left.columns.size() != right.columns.size()) throw OraError(1789);
  refuseLongColumns(left.columns);
  refuseLongColumns(right.columns);
  CompiledQuery out;
  out.columns = left.columns;
  for (size_t i = 0; i < out.columns.size(); ++i) {
    out.columns[i].type = unionType(left.columns[i].type, right.columns[i].type);
    out.columns[i].nullable = left.columns[i].nullable || right.columns[i].nullable;
  }
  SetOperator op = query.setOp == sql::SetOp::Union      ? SetOperator::Union
                   : query.setOp == sql::SetOp::UnionAll ? SetOperator::UnionAll
                   : query.setOp == sql::SetOp::Minus    ? SetOperator::Minus
                                                         : SetOperator::Intersect;
  out.root = std::make_unique<SetOperation>(ctx_, std::move(left.root), std::move(right.root), op);
  out.correlated = left.correlated || right.correlated;
  if (!query.orderBy.empty()) {
    size_t width = out.root->width();
    out.root = std::make_unique<Sort>(ctx_, std::move(out.root),
                                      setOrderKeys(query.orderBy, out.columns), width);
  }
  return out;
}

}  // namespace ocisim
