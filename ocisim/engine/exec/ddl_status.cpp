// Object status: views (and synonyms) go INVALID when an object their query uses (the object
// they name) is dropped, renamed or changed incompatibly, and VALID again when they compile
// (ALTER VIEW ... COMPILE, or their next use, as Oracle recompiles an invalid view when a
// statement uses it; a synonym when it translates again). ALTER VIEW itself.
#include <algorithm>
#include <set>

#include "engine/exec/compiler.h"
#include "engine/exec/ddl_util.h"
#include "engine/exec/dependencies.h"
#include "engine/exec/executor.h"
#include "engine/ora_error.h"
#include "engine/sql/parser.h"

namespace ocisim {

void invalidateDependents(ExecContext& ctx, const std::string& owner, const std::string& name) {
  Catalog& cat = ctx.catalog;
  std::vector<NameKey> pending = {{owner, name}};
  std::set<NameKey> done;
  bool changed = false;
  while (!pending.empty()) {
    NameKey object = pending.back();
    pending.pop_back();
    if (!done.insert(object).second) continue;
    for (const auto& [key, view] : cat.views()) {
      if (key == object) continue;
      for (const ObjectReference& r : viewReferences(cat, *view, false)) {
        if (std::get<0>(r) != object.first || std::get<1>(r) != object.second) continue;
        if (view->header.valid) {
          view->header.valid = false;
          changed = true;
        }
        pending.push_back(key);
        break;
      }
    }
    // A synonym stays when its object goes, INVALID until it translates again.
    for (const auto& [key, synonym] : cat.synonyms()) {
      if (synonym->tableOwner != object.first || synonym->tableName != object.second) continue;
      if (synonym->header.valid) {
        synonym->header.valid = false;
        changed = true;
      }
      pending.push_back(key);
    }
  }
  if (changed) {
    cat.bumpVersion();
    ctx.catalogChanged = true;
  }
}

bool recompileView(ExecContext& ctx, View& view) {
  try {
    auto stmt = sql::parseStatement(view.text);
    if (stmt->kind != sql::StatementKind::Select) throw OraError(4063);
    Compiler compiler(ctx);
    compiler.setSchema(view.header.owner);
    CompiledQuery q = compiler.compileQuery(*stmt->as<sql::SelectStmt>().query, nullptr);
    // The view's own column names (a column list, or those of its query when made) stay; a
    // query that now gives another number of columns does not compile.
    if (!view.columns.empty() && view.columns.size() != q.columns.size()) throw OraError(4063);
    std::vector<ViewColumn> columns;
    for (size_t i = 0; i < q.columns.size(); ++i) {
      ViewColumn c;
      c.name = view.columns.empty() ? q.columns[i].name : view.columns[i].name;
      c.type = q.columns[i].type;
      c.nullable = q.columns[i].nullable;
      columns.push_back(std::move(c));
    }
    view.columns = std::move(columns);
    view.header.valid = true;
    return true;
  } catch (const OraError& e) {
    if (e.code() == 1013) throw;
    view.header.valid = false;
    return false;
  }
}

// ALTER VIEW ... COMPILE: compiles the view again. One that does not compile stays INVALID
// and the statement succeeds with ORA-24344 (SQL*Plus: "Warning: View altered with compilation
// errors.").
void runAlterView(ExecContext& ctx, const sql::AlterViewStmt& stmt) {
  Catalog& cat = ctx.catalog;
  std::string owner = stmt.view.schema.empty() ? ctx.user() : stmt.view.schema;
  View* view = cat.findView(owner, stmt.view.name);
  if (!view) throw OraError(942);
  if (owner != ctx.user() && !cat.hasSystemPrivilege(ctx.user(), "ALTER ANY TABLE")) {
    throw OraError(cat.hasAnyObjectPrivilege(ctx.user(), owner, stmt.view.name) ? 1031 : 942);
  }
  if (!recompileView(ctx, *view)) ctx.warning = 24344;
  view->header.lastDdlTime = ctx.sysdate;
  cat.bumpVersion();
  ctx.catalogChanged = true;
}

}  // namespace ocisim
