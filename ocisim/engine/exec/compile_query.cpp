// Query compilation: FROM items to scans (index access for key equality and for ORDER BY on an
// index), WHERE conjuncts pushed to single tables or used as join keys, CONNECT BY, ROWNUM,
// GROUP BY / HAVING, the select list, DISTINCT, ORDER BY and the set operations.
#include <algorithm>
#include <set>

#include "engine/exec/block_compiler.h"
#include "engine/exec/exec_context.h"
#include "engine/ora_error.h"
#include "engine/sql/parser.h"
#include "engine/value/conversion.h"

namespace ocisim {

std::unique_ptr<CExpr> BlockCompiler::compileInScope(const sql::Expr& e, Scope& s, bool condition) {
  auto out = condition ? c_.compileCondition(e, s) : c_.compileValue(e, s);
  if (s.correlated && &s != &scope_) scope_.correlated = true;
  return out;
}

// ---- FROM ----

std::unique_ptr<RowSource> BlockCompiler::compileView(const Relation& r,
                                                      std::vector<ScopeColumn>& columns) {
  if (c_.viewDepth_ > 32) throw OraError(1731);
  std::string label = "view \"" + r.owner + "." + r.name + "\"";  // view "SCOTT.V" has errors
  std::string saved = c_.schema_;
  std::string savedUser = c_.authUser_;
  c_.schema_ = r.owner;
  c_.authUser_ = r.owner;
  ++c_.viewDepth_;
  // The WITH names of the query using the view mean nothing inside it.
  std::vector<const sql::CommonTableExpr*> ctes = std::move(c_.ctes_);
  std::vector<const sql::CommonTableExpr*> defining = std::move(c_.ctesDefining_);
  c_.ctes_.clear();
  c_.ctesDefining_.clear();
  CompiledQuery q;
  try {
    auto stmt = sql::parseStatement(r.view->text);
    if (stmt->kind != sql::StatementKind::Select) throw OraError(4063, {label});
    q = c_.compileQuery(*stmt->as<sql::SelectStmt>().query, nullptr);
    c_.ctes_ = std::move(ctes);
    c_.ctesDefining_ = std::move(defining);
  } catch (const OraError& e) {
    c_.ctes_ = std::move(ctes);
    c_.ctesDefining_ = std::move(defining);
    c_.schema_ = saved;
    c_.authUser_ = savedUser;
    --c_.viewDepth_;
    // A view whose query no longer compiles (a table dropped, a FORCE view) has errors.
    if (e.code() == 1013 || e.code() == 1731) throw;
    throw OraError(4063, {label});
  }
  c_.schema_ = saved;
  c_.authUser_ = savedUser;
  --c_.viewDepth_;
  if (!r.view->header.valid) {
    // Compiles now: Oracle recompiles it on use, and it is VALID again (with the columns it
    // has now; the names it was given stay). The change is written with the next DDL.
    View& view = *r.view;
    if (!view.columns.empty() && view.columns.size() != q.columns.size()) {
      throw OraError(4063, {label});
    }
    std::vector<ViewColumn> fresh;
    for (size_t i = 0; i < q.columns.size(); ++i) {
      const ColumnInfo& col = q.columns[i];
      fresh.push_back({view.columns.empty() ? col.name : view.columns[i].name, col.type,
                       col.nullable});
    }
    view.columns = std::move(fresh);
    view.header.valid = true;
    for (const ViewColumn& col : view.columns) columns.push_back({col.name, col.type, col.nullable});
  } else {
    columns = c_.relationColumns(r);
  }
  if (columns.size() != q.columns.size()) throw OraError(4063, {label});
  return std::move(q.root);
}

void BlockCompiler::addLeaf(const sql::TableRef& ref) {
  Leaf leaf;
  ScopeSource src;
  int cte = ref.kind == sql::TableRefKind::Table && ref.schema.empty() ? c_.findCte(ref.name) : -1;
  // A compiled query as a derived table under the alias.
  const auto derivedFrom = [&](CompiledQuery q, const std::string& alias) {
    src.alias = alias;
    src.aliased = !ref.alias.empty();
    for (const ColumnInfo& col : q.columns)
      src.columns.push_back({col.name, col.type, col.nullable});
    leaf.width = src.columns.size();
    leaf.sources.push_back(std::move(src));
    leaf.derived = std::move(q.root);
  };
  if (cte >= 0) {
    // A WITH query: a derived table named like it (its alias, if any, hides the name).
    derivedFrom(c_.compileCte(cte), ref.alias.empty() ? ref.name : ref.alias);
  } else if (ref.kind == sql::TableRefKind::Table) {
    leaf.relation = c_.resolveRelation(ref.schema, ref.name, "SELECT");
    src.alias = ref.alias.empty() ? ref.name : ref.alias;
    src.aliased = !ref.alias.empty();
    src.owner = leaf.relation.owner;
    if (leaf.relation.kind == Relation::Kind::View) {
      leaf.kind = Leaf::Kind::Derived;
      leaf.derived = compileView(leaf.relation, src.columns);
    } else {
      leaf.kind =
          leaf.relation.kind == Relation::Kind::Table ? Leaf::Kind::Table : Leaf::Kind::Virtual;
      src.columns = c_.relationColumns(leaf.relation);
    }
    leaf.width = src.columns.size();
    leaf.sources.push_back(std::move(src));
  } else if (ref.kind == sql::TableRefKind::Subquery) {
    CompiledQuery q = c_.compileQuery(*ref.subquery, parent_);
    if (q.correlated) scope_.correlated = true;
    derivedFrom(std::move(q), ref.alias);
  } else {
    leaf.derived = compileJoinTree(ref, leaf.sources);
    leaf.width = leaf.derived->width();
  }
  leaf.offset = scope_.width;
  for (const ScopeSource& s : leaf.sources) {
    ScopeSource copy = s;
    size_t local = copy.offset;
    scope_.addSource(std::move(copy));
    scope_.sources.back().offset = leaf.offset + local;
  }
  scope_.width = leaf.offset + leaf.width;
  leaves_.push_back(std::move(leaf));
}

std::unique_ptr<RowSource> BlockCompiler::compileJoinTree(const sql::TableRef& ref,
                                                          std::vector<ScopeSource>& sources) {
  if (ref.kind != sql::TableRefKind::Join) {
    BlockCompiler sub(c_, ctx_, b_, nullptr, parent_);
    sub.addLeaf(ref);
    if (sub.scope_.correlated) scope_.correlated = true;
    Leaf& leaf = sub.leaves_[0];
    for (ScopeSource& s : leaf.sources) sources.push_back(s);
    if (leaf.kind == Leaf::Kind::Derived) return std::move(leaf.derived);
    return sub.buildLeaf(0);
  }
  std::vector<ScopeSource> leftSources;
  std::vector<ScopeSource> rightSources;
  auto left = compileJoinTree(*ref.left, leftSources);
  auto right = compileJoinTree(*ref.right, rightSources);
  size_t leftWidth = left->width();
  Scope joined;
  joined.parent = parent_;
  for (ScopeSource s : leftSources) {
    size_t off = s.offset;
    joined.addSource(std::move(s));
    joined.sources.back().offset = off;
  }
  joined.width = leftWidth;
  Scope rightOnly;
  rightOnly.parent = parent_;
  for (ScopeSource s : rightSources) {
    size_t off = s.offset;
    rightOnly.sources.push_back(s);
    s.offset = leftWidth + off;
    joined.sources.push_back(std::move(s));
  }
  rightOnly.width = right->width();
  joined.width = leftWidth + right->width();
  JoinType type = ref.join == sql::JoinKind::Left    ? JoinType::Left
                  : ref.join == sql::JoinKind::Right ? JoinType::Right
                  : ref.join == sql::JoinKind::Full  ? JoinType::Full
                                                     : JoinType::Inner;
  // ON conjuncts of the form left-expr = right-expr become hash keys.
  std::vector<const sql::Expr*> on;
  splitConjuncts(ref.on.get(), on);
  if (ref.natural || !ref.usingColumns.empty()) {
    return compileUsingJoin(ref, type, std::move(left), std::move(right), leftSources, rightSources,
                            sources);
  }
  std::vector<std::unique_ptr<CExpr>> leftKeys;
  std::vector<std::unique_ptr<CExpr>> rightKeys;
  std::unique_ptr<CExpr> residual;
  Scope leftOnly = joined;
  leftOnly.sources.resize(leftSources.size());
  leftOnly.width = leftWidth;
  for (const sql::Expr* conj : on) {
    bool keyed = false;
    if (conj->kind == sql::ExprKind::Binary && conj->op == sql::Op::Eq) {
      for (int swap = 0; swap < 2 && !keyed; ++swap) {
        const sql::Expr& l = *conj->args[swap];
        const sql::Expr& r = *conj->args[1 - swap];
        try {
          auto lk = compileInScope(l, leftOnly, false);
          auto rk = compileInScope(r, rightOnly, false);
          if (!independentOfRow(*lk) && !independentOfRow(*rk) &&
              hashableKeys(lk->type, rk->type)) {
            leftKeys.push_back(std::move(lk));
            rightKeys.push_back(std::move(rk));
            keyed = true;
          }
        } catch (const OraError&) {
          // Not resolvable on that side alone: a residual condition.
        }
      }
    }
    if (keyed) continue;
    residual = andOf(std::move(residual), compileInScope(*conj, joined, true));
  }
  if (joined.correlated || leftOnly.correlated || rightOnly.correlated) scope_.correlated = true;
  for (ScopeSource& s : leftSources) sources.push_back(s);
  for (ScopeSource s : rightSources) {
    s.offset += leftWidth;
    sources.push_back(std::move(s));
  }
  if (!leftKeys.empty()) {
    return std::make_unique<HashJoin>(ctx_, std::move(left), std::move(right), type,
                                      std::move(leftKeys), std::move(rightKeys),
                                      std::move(residual));
  }
  return std::make_unique<NestedLoopJoin>(ctx_, std::move(left), std::move(right), type,
                                          std::move(residual));
}

// ---- WHERE analysis ----

void BlockCompiler::analyze(const sql::Expr& e, Conjunct& info) {
  switch (e.kind) {
    case sql::ExprKind::Column: {
      if (e.names.size() == 1 && (e.names[0] == "ROWNUM" || e.names[0] == "LEVEL")) {
        bool isColumn = false;
        for (const auto& s : scope_.sources) {
          for (const auto& col : s.columns) isColumn = isColumn || col.name == e.names[0];
        }
        if (!isColumn) info.top = true;
      }
      for (size_t l = 0; l < leaves_.size(); ++l) {
        for (const ScopeSource& s : leaves_[l].sources) {
          const auto& n = e.names;
          if (n.size() == 2 && s.alias != n[0]) continue;
          if (n.size() == 3 && (s.aliased || s.owner != n[0] || s.alias != n[1])) continue;
          if (n.size() > 3) continue;
          for (const auto& col : s.columns) {
            if (col.name == n.back()) {
              info.leaves.insert(l);
              if (e.outerJoin) info.outerLeaves.insert(l);
            }
          }
        }
      }
      return;
    }
    case sql::ExprKind::InSubquery:
    case sql::ExprKind::Exists:
    case sql::ExprKind::Subquery:
      info.top = true;
      break;
    case sql::ExprKind::Unary:
      if (e.op == sql::Op::Prior) info.top = true;
      break;
    case sql::ExprKind::Function:
      if (isAggregateName(e.names)) info.top = true;
      break;
    default:
      break;
  }
  for (const auto& a : e.args) {
    if (a) analyze(*a, info);
  }
  if (e.caseOperand) analyze(*e.caseOperand, info);
  if (e.elseExpr) analyze(*e.elseExpr, info);
}

void BlockCompiler::classifyConjuncts() {
  std::vector<const sql::Expr*> all;
  splitConjuncts(b_.where.get(), all);
  for (const sql::Expr* e : all) {
    Conjunct info;
    info.expr = e;
    analyze(*e, info);
    if (b_.connectBy) info.top = true;
    for (size_t l : info.outerLeaves) leaves_[l].outerJoined = true;
    conjuncts_.push_back(std::move(info));
  }
  for (size_t i = 0; i < conjuncts_.size(); ++i) {
    Conjunct& c = conjuncts_[i];
    if (c.top) {
      top_.push_back(c.expr);
    } else if (c.leaves.size() <= 1 &&
               (c.outerLeaves.size() == c.leaves.size() || c.leaves.empty() ||
                !leaves_[*c.leaves.begin()].outerJoined)) {
      if (c.leaves.empty()) {
        top_.push_back(c.expr);
      } else {
        leaves_[*c.leaves.begin()].pushed.push_back(c.expr);
      }
    } else if (c.outerLeaves.empty()) {
      // An inner condition touching an outer-joined leaf filters after the join.
      bool touchesOuter = false;
      for (size_t l : c.leaves) touchesOuter = touchesOuter || leaves_[l].outerJoined;
      if (touchesOuter) {
        top_.push_back(c.expr);
      } else {
        joinConjuncts_.push_back(i);
      }
    } else {
      joinConjuncts_.push_back(i);
    }
  }
}

Scope BlockCompiler::leafScope(const Leaf& leaf) const {
  Scope s;
  s.parent = parent_;
  for (const ScopeSource& src : leaf.sources) s.sources.push_back(src);
  s.width = leaf.width;
  return s;
}

Scope BlockCompiler::prefixScope(size_t upTo) const {
  Scope s;
  s.parent = parent_;
  size_t n = 0;
  for (size_t l = 0; l <= upTo; ++l) n += leaves_[l].sources.size();
  s.sources.assign(scope_.sources.begin(), scope_.sources.begin() + n);
  s.width = leaves_[upTo].offset + leaves_[upTo].width;
  return s;
}

// ---- access paths ----

std::vector<std::pair<int, bool>> BlockCompiler::orderIndexColumns(const Leaf& leaf,
                                                                   bool* whole) {
  std::vector<std::pair<int, bool>> out;
  *whole = false;
  if (!orderBy_ || orderBy_->empty() || leaves_.size() != 1 || b_.connectBy || b_.distinct ||
      scope_.aggregating) {
    return {};
  }
  for (const Conjunct& c : conjuncts_) {
    if (c.top) return {};  // ROWNUM or subqueries: keep Oracle's order of evaluation
  }
  // The leading items that name a column of the table; the first other item ends the list.
  for (const sql::OrderItem& item : *orderBy_) {
    if (item.nulls != sql::OrderItem::Nulls::Default) return out;
    const sql::Expr* e = item.expr.get();
    if (e->kind == sql::ExprKind::Literal && e->literal == sql::LiteralKind::Number) {
      size_t pos = static_cast<size_t>(std::atoi(e->text.c_str()));
      if (pos < 1 || pos > b_.items.size()) return out;
      e = b_.items[pos - 1].expr.get();
    } else if (e->kind == sql::ExprKind::Column && e->names.size() == 1) {
      for (const auto& it : b_.items) {
        if (!it.alias.empty() && it.alias == e->names[0]) e = it.expr.get();
      }
    }
    if (e->kind != sql::ExprKind::Column || e->names.size() > 3) return out;
    int found = -1;
    const ScopeSource& s = leaf.sources[0];
    const auto& n = e->names;
    if (n.size() == 2 && s.alias != n[0]) return out;
    if (n.size() == 3 && (s.aliased || s.owner != n[0] || s.alias != n[1])) return out;
    for (size_t i = 0; i < s.columns.size(); ++i) {
      if (s.columns[i].name == n.back()) found = static_cast<int>(i);
    }
    if (found < 0) return out;
    out.push_back({found, item.descending});
  }
  *whole = true;
  return out;
}

std::unique_ptr<RowSource> BlockCompiler::buildTableAccess(Leaf& leaf, Scope& local) {
  Table& table = *leaf.relation.table;
  std::shared_ptr<TableData> rows = ctx_.rowsOf(table);
  ctx_.tablesRead.push_back(rows.get());
  Catalog& cat = ctx_.catalog;
  std::vector<Index*> indexes = cat.indexesOn(table.header.owner, table.header.name);
  // Equality conditions col = row-independent expression, by column position.
  std::map<int, const sql::Expr*> equal;
  for (const sql::Expr* e : leaf.pushed) {
    if (e->kind != sql::ExprKind::Binary || e->op != sql::Op::Eq) continue;
    for (int side = 0; side < 2; ++side) {
      const sql::Expr& col = *e->args[side];
      const sql::Expr& val = *e->args[1 - side];
      if (col.kind != sql::ExprKind::Column || col.outerJoin) continue;
      int pos = table.columnIndex(col.names.back());
      if (pos < 0 || equal.count(pos)) continue;
      try {
        auto cv = compileInScope(col, local, false);
        auto vv = compileInScope(val, local, false);
        if (cv->kind == CKind::Column && cv->depth == 0 && independentOfRow(*vv)) {
          const DataType& ct = cv->type;
          bool sameKind = (ct.isNumeric() && (vv->type.isNumeric() || isTextType(vv->type))) ||
                          (isTextType(ct) && isTextType(vv->type)) ||
                          (ct.code == TypeCode::Date && vv->type.code == TypeCode::Date);
          if (sameKind && !(ct.code == TypeCode::Char && vv->type.code != TypeCode::Char)) {
            equal[pos] = &val;
          }
        }
      } catch (const OraError&) {
      }
    }
  }
  const Index* best = nullptr;
  size_t bestCovered = 0;
  bool bestUnique = false;
  for (Index* index : indexes) {
    size_t covered = 0;
    for (const IndexColumn& ic : index->columns) {
      if (!equal.count(table.columnIndex(ic.name))) break;
      ++covered;
    }
    if (covered == 0) continue;
    bool unique = index->unique && covered == index->columns.size();
    if (!best || (unique && !bestUnique) || (unique == bestUnique && covered > bestCovered)) {
      best = index;
      bestCovered = covered;
      bestUnique = unique;
    }
  }
  if (best) {
    std::vector<std::unique_ptr<CExpr>> key;
    std::vector<DataType> types;
    for (size_t i = 0; i < bestCovered; ++i) {
      int pos = table.columnIndex(best->columns[i].name);
      key.push_back(compileInScope(*equal[pos], local, false));
      types.push_back(table.columns[pos].type);
    }
    return std::make_unique<IndexScan>(ctx_, rows, best->header.name, std::move(key),
                                       std::move(types), false);
  }
  bool wholeOrder = false;
  auto order = orderIndexColumns(leaf, &wholeOrder);
  if (!order.empty()) {
    // A key that no two rows share: a unique index (enforced, so usable) with a column no row
    // leaves NULL (rows whose key columns are all NULL may repeat). When the ORDER BY starts with
    // its columns, the items after them never decide an order.
    const auto distinctKey = [&](const Index& index) {
      if (!index.unique || index.unusable) return false;
      for (Constraint* c : cat.tableConstraints(table.header.owner, table.header.name)) {
        if (!c->enabled || !c->validated) continue;
        for (const IndexColumn& ic : index.columns) {
          if ((c->type == ConstraintType::Check && c->notNullColumn == ic.name) ||
              (c->type == ConstraintType::PrimaryKey &&
               std::find(c->columns.begin(), c->columns.end(), ic.name) != c->columns.end())) {
            return true;
          }
        }
      }
      return false;
    };
    for (Index* index : indexes) {
      size_t compared = order.size();
      if (index->columns.size() < order.size() || !wholeOrder) {
        if (index->columns.size() > order.size() || !distinctKey(*index)) continue;
        compared = index->columns.size();
      }
      bool ok = true;
      bool reverse = order[0].second != index->columns[0].descending;
      for (size_t i = 0; i < compared && ok; ++i) {
        ok = table.columnIndex(index->columns[i].name) == order[i].first &&
             (order[i].second != index->columns[i].descending) == reverse;
      }
      if (!ok) continue;
      orderSatisfied_ = true;
      return std::make_unique<IndexScan>(ctx_, rows, index->header.name,
                                         std::vector<std::unique_ptr<CExpr>>{},
                                         std::vector<DataType>{}, reverse);
    }
  }
  return std::make_unique<TableScan>(ctx_, rows);
}

std::unique_ptr<RowSource> BlockCompiler::buildLeaf(size_t index) {
  Leaf& leaf = leaves_[index];
  Scope local = leafScope(leaf);
  std::unique_ptr<RowSource> source;
  switch (leaf.kind) {
    case Leaf::Kind::Table:
      source = buildTableAccess(leaf, local);
      break;
    case Leaf::Kind::Virtual: {
      std::vector<std::pair<std::string, std::unique_ptr<CExpr>>> hints;
      for (const sql::Expr* e : leaf.pushed) {
        if (e->kind != sql::ExprKind::Binary || e->op != sql::Op::Eq) continue;
        for (int side = 0; side < 2; ++side) {
          const sql::Expr& col = *e->args[side];
          const sql::Expr& val = *e->args[1 - side];
          if (col.kind != sql::ExprKind::Column) continue;
          if (val.kind != sql::ExprKind::Literal && val.kind != sql::ExprKind::Bind) {
            // A column of an enclosing query (a correlated subquery) pins the scan per outer
            // row; one of this block's own rows cannot.
            if (val.kind != sql::ExprKind::Column) continue;
            auto cv = compileInScope(col, local, false);
            auto vv = compileInScope(val, local, false);
            if (cv->kind != CKind::Column || cv->depth != 0 || !independentOfRow(*vv)) continue;
            hints.emplace_back(col.names.back(), std::move(vv));
            continue;
          }
          hints.emplace_back(col.names.back(), compileInScope(val, local, false));
        }
      }
      auto scan = std::make_unique<VirtualScan>(ctx_, *leaf.relation.virtualTable, leaf.width,
                                                std::move(hints));
      lastVirtualScan_ = scan.get();
      source = std::move(scan);
      break;
    }
    case Leaf::Kind::Derived:
      source = std::move(leaf.derived);
      break;
  }
  if (leaf.pushed.empty()) return source;
  std::unique_ptr<CExpr> cond;
  for (const sql::Expr* e : leaf.pushed) {
    cond = andOf(std::move(cond), compileInScope(*e, local, true));
  }
  return std::make_unique<Filter>(ctx_, std::move(source), std::move(cond), false, 0);
}

std::unique_ptr<RowSource> BlockCompiler::joinLeaves() {
  std::unique_ptr<RowSource> acc = buildLeaf(0);
  for (size_t k = 1; k < leaves_.size(); ++k) {
    lastVirtualScan_ = nullptr;
    std::unique_ptr<RowSource> right = buildLeaf(k);
    VirtualScan* virtualRight = lastVirtualScan_;
    Scope left = prefixScope(k - 1);
    Scope both = prefixScope(k);
    Scope rightOnly = leafScope(leaves_[k]);
    JoinType type = JoinType::Inner;
    std::vector<std::unique_ptr<CExpr>> leftKeys;
    std::vector<std::unique_ptr<CExpr>> rightKeys;
    std::unique_ptr<CExpr> residual;
    // For a lookup join: the keys whose right side is a plain column of the virtual table, and
    // every join condition, keys included, to check on the combined row.
    std::vector<std::unique_ptr<CExpr>> lookupKeys;
    std::vector<std::string> lookupColumns;
    std::unique_ptr<CExpr> lookupCondition;
    for (size_t i : joinConjuncts_) {
      const Conjunct& c = conjuncts_[i];
      if (*c.leaves.rbegin() != k) continue;
      if (!c.outerLeaves.empty()) {
        type = c.outerLeaves.count(k) ? JoinType::Left : JoinType::Right;
      }
      const sql::Expr& e = *c.expr;
      if (virtualRight)
        lookupCondition = andOf(std::move(lookupCondition), compileInScope(e, both, true));
      bool keyed = false;
      if (e.kind == sql::ExprKind::Binary && e.op == sql::Op::Eq) {
        for (int side = 0; side < 2 && !keyed; ++side) {
          Conjunct l;
          Conjunct r;
          analyze(*e.args[side], l);
          analyze(*e.args[1 - side], r);
          if (l.top || r.top || l.leaves.empty() || r.leaves.size() != 1 ||
              *r.leaves.begin() != k || l.leaves.count(k)) {
            continue;
          }
          auto lk = compileInScope(*e.args[side], left, false);
          auto rk = compileInScope(*e.args[1 - side], rightOnly, false);
          if (virtualRight && rk->kind == CKind::Column && rk->depth == 0 &&
              e.args[1 - side]->kind == sql::ExprKind::Column) {
            lookupKeys.push_back(compileInScope(*e.args[side], left, false));
            lookupColumns.push_back(e.args[1 - side]->names.back());
          }
          if (hashableKeys(lk->type, rk->type)) {
            leftKeys.push_back(std::move(lk));
            rightKeys.push_back(std::move(rk));
            keyed = true;
          }
        }
      }
      if (keyed) continue;
      residual = andOf(std::move(residual), compileInScope(e, both, true));
    }
    if (virtualRight && type == JoinType::Inner && !lookupKeys.empty()) {
      acc = std::make_unique<LookupJoin>(ctx_, std::move(acc), std::move(right), *virtualRight,
                                         std::move(lookupColumns), std::move(lookupKeys),
                                         std::move(lookupCondition));
    } else if (!leftKeys.empty()) {
      acc = std::make_unique<HashJoin>(ctx_, std::move(acc), std::move(right), type,
                                       std::move(leftKeys), std::move(rightKeys),
                                       std::move(residual));
    } else {
      acc = std::make_unique<NestedLoopJoin>(ctx_, std::move(acc), std::move(right), type,
                                             std::move(residual));
    }
  }
  return acc;
}

int64_t rownumLimit(const std::vector<const sql::Expr*>& conjuncts) {
  int64_t stop = 0;
  for (const sql::Expr* e : conjuncts) {
    if (e->kind != sql::ExprKind::Binary) continue;
    for (int side = 0; side < 2; ++side) {
      const sql::Expr& r = *e->args[side];
      const sql::Expr& v = *e->args[1 - side];
      if (r.kind != sql::ExprKind::Column || r.names != std::vector<std::string>{"ROWNUM"}) {
        continue;
      }
      if (v.kind != sql::ExprKind::Literal || v.literal != sql::LiteralKind::Number) continue;
      auto d = Decimal::parse(v.text);
      if (!d) continue;
      int64_t n = d->floor().toInt64Truncated();
      sql::Op op = e->op;
      if (side == 1) {  // n op ROWNUM: mirror the operator
        op = op == sql::Op::Lt   ? sql::Op::Gt
             : op == sql::Op::Le ? sql::Op::Ge
             : op == sql::Op::Gt ? sql::Op::Lt
             : op == sql::Op::Ge ? sql::Op::Le
                                 : op;
      }
      int64_t limit = 0;
      if (op == sql::Op::Le) {
        limit = n >= 1 ? n : -1;
      } else if (op == sql::Op::Lt) {
        int64_t m = d->isInteger() ? n - 1 : n;
        limit = m >= 1 ? m : -1;
      } else if (op == sql::Op::Eq) {
        limit = (n == 1 && d->isInteger()) ? 1 : -1;
      }
      if (limit == -1) return -1;
      if (limit > 0 && (stop == 0 || limit < stop)) stop = limit;
    }
  }
  return stop;
}

int64_t BlockCompiler::rownumStop() const {
  return rownumLimit(top_);
}

}  // namespace ocisim
