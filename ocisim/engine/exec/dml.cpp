// INSERT, UPDATE and DELETE. Rows to change are found first (primary-key and other index
// equalities use the index), new values are computed from the rows as they were before the
// statement, then written through the ConstraintChecker.
#include <algorithm>
#include <set>

#include "engine/exec/block_compiler.h"
#include "engine/exec/constraints.h"
#include "engine/exec/exec_context.h"
#include "engine/exec/executor.h"
#include "engine/exec/sql_text.h"
#include "engine/exec/synonyms.h"
#include "engine/ora_error.h"

namespace ocisim {
namespace {

Table& targetTable(Compiler& compiler, const sql::QualifiedName& name,
                   const std::string& privilege) {
  Relation r = compiler.resolveRelation(name.schema, name.name, privilege);
  if (r.kind == Relation::Kind::View) throw OraError(1732);
  if (r.kind != Relation::Kind::Table) throw OraError(1031);
  return *r.table;
}

// INSERT and UPDATE may also rest on column privileges: without the privilege on the table, the
// user needs it on every column the statement writes (for an INSERT without a column list, on
// every column of the table).
Table& targetTable(ExecContext& ctx, Compiler& compiler, const sql::QualifiedName& name,
                   const std::string& privilege, const std::vector<std::string>& written) {
  try {
    return targetTable(compiler, name, privilege);
  } catch (const OraError& e) {
    if (e.code() != 1031) throw;
    std::string owner = name.schema.empty() ? ctx.user() : name.schema;
    std::string object = name.name;
    if (auto target = resolveObjectName(ctx.db, owner, object, !name.schema.empty())) {
      owner = target->first;
      object = target->second;
    }
    Table* table = ctx.catalog.findTable(owner, object);
    std::set<std::string> held = ctx.catalog.columnPrivileges(ctx.user(), owner, object,
                                                              privilege);
    if (!table || held.empty()) throw;
    for (const Column& c : table->columns) {
      bool writes = written.empty() || std::find(written.begin(), written.end(), c.name) !=
                                           written.end();
      if (writes && !held.count(c.name)) throw;
    }
    return *table;
  }
}

Scope tableScope(const Table& table, const std::string& alias, Compiler& compiler) {
  Scope scope;
  ScopeSource src;
  src.alias = alias.empty() ? table.header.name : alias;
  src.aliased = !alias.empty();
  src.owner = table.header.owner;
  Relation r;
  r.kind = Relation::Kind::Table;
  r.owner = table.header.owner;
  r.name = table.header.name;
  r.table = const_cast<Table*>(&table);
  src.columns = compiler.relationColumns(r);
  scope.addSource(std::move(src));
  return scope;
}

// The rows of `table` that satisfy `where` (with ROWNUM), in scan order.
std::vector<RowId> matchingRows(ExecContext& ctx, Compiler& compiler, Table& table, Scope& scope,
                                const sql::Expr* where) {
  std::vector<const sql::Expr*> conjuncts;
  splitConjuncts(where, conjuncts);
  int64_t stop = rownumLimit(conjuncts);
  std::vector<RowId> out;
  if (stop < 0) return out;
  std::unique_ptr<CExpr> cond;
  if (where) cond = compiler.compileCondition(*where, scope);
  // An index for `column = value` conjuncts (primary key first).
  std::map<int, const sql::Expr*> equal;
  for (const sql::Expr* e : conjuncts) {
    if (e->kind != sql::ExprKind::Binary || e->op != sql::Op::Eq) continue;
    for (int side = 0; side < 2; ++side) {
      const sql::Expr& col = *e->args[side];
      if (col.kind != sql::ExprKind::Column) continue;
      auto c = compiler.compileValue(col, scope);
      auto v = compiler.compileValue(*e->args[1 - side], scope);
      if (c->kind != CKind::Column || c->depth != 0 || !independentOfRow(*v)) continue;
      bool ok = (c->type.isNumeric() && (v->type.isNumeric() || isTextType(v->type))) ||
                (isTextType(c->type) && isTextType(v->type) &&
                 !(c->type.code == TypeCode::Char && v->type.code != TypeCode::Char)) ||
                (c->type.code == TypeCode::Date && v->type.code == TypeCode::Date);
      if (ok && !equal.count(c->slot)) equal[c->slot] = e->args[1 - side].get();
    }
  }
  const Index* best = nullptr;
  size_t bestCovered = 0;
  for (Index* index : ctx.catalog.indexesOn(table.header.owner, table.header.name)) {
    size_t covered = 0;
    for (const IndexColumn& ic : index->columns) {
      if (!equal.count(table.columnIndex(ic.name))) break;
      ++covered;
    }
    bool better = covered > bestCovered ||
                  (covered == bestCovered && covered > 0 && index->unique && !best->unique);
    if (covered > 0 && better) {
      best = index;
      bestCovered = covered;
    }
  }
  EvalEnv outer{&ctx};
  auto visit = [&](RowId id, const Row& row) {
    EvalEnv env{&ctx, row.data(), nullptr};
    env.rownum = static_cast<int64_t>(out.size()) + 1;
    if (!cond || evaluateCondition(*cond, env) == Tri::True) out.push_back(id);
    return stop == 0 || static_cast<int64_t>(out.size()) < stop;
  };
  Row row;
  if (best) {
    std::vector<std::unique_ptr<CExpr>> key;
    std::vector<DataType> types;
    for (size_t i = 0; i < bestCovered; ++i) {
      int pos = table.columnIndex(best->columns[i].name);
      key.push_back(compiler.compileValue(*equal[pos], scope));
      types.push_back(table.columns[pos].type);
    }
    IndexScan scan(ctx, ctx.rowsOf(table), best->header.name, std::move(key), std::move(types),
                   false);
    scan.open(outer);
    while (scan.next(row)) {
      if (!visit(scan.currentRowId(), row)) break;
    }
  } else {
    TableScan scan(ctx, ctx.rowsOf(table));
    scan.open(outer);
    while (scan.next(row)) {
      if (!visit(scan.currentRowId(), row)) break;
    }
  }
  return out;
}

// The value of a column's DEFAULT (NULL when it has none).
Value defaultValue(ExecContext& ctx, Compiler& compiler, Column& column) {
  if (column.defaultText.empty()) return Value();
  if (!column.defaultExpr) column.defaultExpr = parseExpressionText(column.defaultText);
  Scope empty;
  auto e = compiler.compileValue(*column.defaultExpr, empty);
  EvalEnv env{&ctx};
  return evaluate(*e, env);
}

}  // namespace

uint64_t runInsert(ExecContext& ctx, const sql::InsertStmt& stmt) {
  Compiler compiler(ctx);
  Table& table = targetTable(ctx, compiler, stmt.table, "INSERT", stmt.columns);
  std::vector<int> positions;
  if (stmt.columns.empty()) {
    for (size_t i = 0; i < table.columns.size(); ++i) positions.push_back(static_cast<int>(i));
  } else {
    for (const std::string& name : stmt.columns) {
      int p = table.columnIndex(name);
      if (p < 0) throw OraError(904, {quotedName({name})});
      if (std::find(positions.begin(), positions.end(), p) != positions.end()) {
        throw OraError(957);
      }
      positions.push_back(p);
    }
  }
  // Defaults of the columns not named, evaluated per row (SYSDATE, sequences ...).
  std::vector<bool> named(table.columns.size(), false);
  for (int p : positions) named[p] = true;
  auto buildRow = [&](Row& values) {
    Row row(table.columns.size());
    for (size_t i = 0; i < table.columns.size(); ++i) {
      if (!named[i]) row[i] = defaultValue(ctx, compiler, table.columns[i]);
    }
    for (size_t i = 0; i < positions.size(); ++i) row[positions[i]] = std::move(values[i]);
    return row;
  };
  ConstraintChecker checker(ctx);
  uint64_t count = 0;
  if (!stmt.query) {
    if (stmt.values.size() > positions.size()) throw OraError(913);
    if (stmt.values.size() < positions.size()) throw OraError(947);
    Scope empty;
    std::vector<std::unique_ptr<CExpr>> exprs;
    for (const auto& v : stmt.values) exprs.push_back(compiler.compileValue(*v, empty));
    ctx.nextRow();
    EvalEnv env{&ctx};
    Row values;
    for (const auto& e : exprs) values.push_back(evaluate(*e, env));
    checker.insertRow(table, buildRow(values));
    count = 1;
  } else {
    ctx.tablesRead.clear();
    CompiledQuery q = compiler.compileQuery(*stmt.query, nullptr);
    refuseLongColumns(q.columns);
    if (q.columns.size() > positions.size()) throw OraError(913);
    if (q.columns.size() < positions.size()) throw OraError(947);
    EvalEnv env{&ctx};
    q.root->open(env);
    Row values;
    // A query over the target table itself must not see the rows this statement inserts
    // (it would never end): its rows are all read first. Other queries stream.
    bool selfReading = std::find(ctx.tablesRead.begin(), ctx.tablesRead.end(),
                                 ctx.rowsOf(table).get()) != ctx.tablesRead.end();
    if (selfReading) {
      std::vector<Row> found;
      while (q.root->next(values)) {
        ctx.nextRow();
        found.push_back(values);
        if ((found.size() % 1024) == 0) ctx.checkCancel();
      }
      for (Row& r : found) {
        checker.insertRow(table, buildRow(r));
        ++count;
      }
    } else {
      while (q.root->next(values)) {
        ctx.nextRow();
        checker.insertRow(table, buildRow(values));
        ++count;
        if ((count % 1024) == 0) ctx.checkCancel();
      }
    }
  }
  checker.finish();
  return count;
}

uint64_t runUpdate(ExecContext& ctx, const sql::UpdateStmt& stmt) {
  Compiler compiler(ctx);
  std::vector<std::string> assigned;
  for (const sql::Assignment& a : stmt.assignments) assigned.push_back(a.column);
  Table& table = targetTable(ctx, compiler, stmt.table, "UPDATE", assigned);
  Scope scope = tableScope(table, stmt.alias, compiler);
  std::vector<int> targets;
  std::vector<std::unique_ptr<CExpr>> values;
  for (const sql::Assignment& a : stmt.assignments) {
    int p = table.columnIndex(a.column);
    if (p < 0) throw OraError(904, {quotedName({a.column})});
    if (std::find(targets.begin(), targets.end(), p) != targets.end()) throw OraError(957);
    targets.push_back(p);
    values.push_back(compiler.compileValue(*a.value, scope));
  }
  std::vector<RowId> rows = matchingRows(ctx, compiler, table, scope, stmt.where.get());
  // New values come from the rows as the statement found them.
  std::vector<Row> updated;
  updated.reserve(rows.size());
  for (RowId id : rows) {
    Row row = ctx.rowsOf(table)->copyRow(id);
    ctx.nextRow();
    EvalEnv env{&ctx, row.data(), nullptr};
    Row next = row;
    for (size_t i = 0; i < targets.size(); ++i) next[targets[i]] = evaluate(*values[i], env);
    updated.push_back(std::move(next));
  }
  ConstraintChecker checker(ctx);
  for (size_t i = 0; i < rows.size(); ++i) {
    checker.updateRow(table, rows[i], std::move(updated[i]));
    if ((i % 1024) == 1023) ctx.checkCancel();
  }
  checker.finish();
  return rows.size();
}

uint64_t runDelete(ExecContext& ctx, const sql::DeleteStmt& stmt) {
  Compiler compiler(ctx);
  Table& table = targetTable(compiler, stmt.table, "DELETE");
  Scope scope = tableScope(table, stmt.alias, compiler);
  std::vector<RowId> rows = matchingRows(ctx, compiler, table, scope, stmt.where.get());
  ConstraintChecker checker(ctx);
  for (size_t i = 0; i < rows.size(); ++i) {
    checker.deleteRow(table, rows[i]);
    if ((i % 1024) == 1023) ctx.checkCancel();
  }
  checker.finish();
  return rows.size();
}

}  // namespace ocisim
