// Tablespaces: the built-in SYSTEM, USERS, TEMP (and SYSAUX from release 10), CREATE TABLESPACE
// (only the name and kind are kept; there are no data files), the checks that a tablespace named
// by a table, index, key index or user exists (ORA-00959), and the users' default tablespaces.
#include "engine/exec/ddl_util.h"
#include "engine/exec/executor.h"
#include "engine/ora_error.h"

namespace ocisim {

std::optional<std::string> tablespaceContents(const ExecContext& ctx, const std::string& name) {
  if (const Tablespace* t = ctx.catalog.findTablespace(name)) return t->contents;
  for (const Tablespace& t : builtinTablespaces(ctx.db.majorVersion())) {
    if (t.name == name) return t.contents;
  }
  return std::nullopt;
}

void requireSegmentTablespace(const ExecContext& ctx, const std::string& name) {
  auto contents = tablespaceContents(ctx, name);
  if (!contents) throw OraError(959, {name});
  if (*contents == "TEMPORARY") throw OraError(2195);
  if (*contents == "UNDO") throw OraError(30022);
}

void requireClauseTablespace(const ExecContext& ctx, const sql::StorageClause& clause) {
  if (clause.tablespace) requireSegmentTablespace(ctx, *clause.tablespace);
}

std::string defaultTablespaceOf(const ExecContext& ctx, const std::string& owner) {
  std::string name = ctx.catalog.userTablespaces(owner).defaultTablespace;
  // A default tablespace dropped since falls back to USERS.
  return tablespaceContents(ctx, name) ? name : "USERS";
}

void applyUserTablespaces(ExecContext& ctx, const sql::UserStmt& stmt) {
  if (!stmt.defaultTablespace && !stmt.temporaryTablespace) return;
  Catalog::UserTablespaces t = ctx.catalog.userTablespaces(stmt.user);
  if (stmt.defaultTablespace) {
    auto contents = tablespaceContents(ctx, *stmt.defaultTablespace);
    if (!contents) throw OraError(959, {*stmt.defaultTablespace});
    if (*contents != "PERMANENT") throw OraError(12910);
    t.defaultTablespace = *stmt.defaultTablespace;
  }
  if (stmt.temporaryTablespace) {
    auto contents = tablespaceContents(ctx, *stmt.temporaryTablespace);
    if (!contents) throw OraError(959, {*stmt.temporaryTablespace});
    // From release 10 the temporary tablespace must be a TEMPORARY one.
    if (*contents != "TEMPORARY" && ctx.db.majorVersion() >= 10) throw OraError(10615);
    t.temporaryTablespace = *stmt.temporaryTablespace;
  }
  ctx.catalog.setUserTablespaces(stmt.user, t);
}

void runCreateTablespace(ExecContext& ctx, const sql::CreateTablespaceStmt& stmt) {
  Catalog& cat = ctx.catalog;
  if (!cat.hasSystemPrivilege(ctx.user(), "CREATE TABLESPACE")) throw OraError(1031);
  if (tablespaceContents(ctx, stmt.name)) throw OraError(1543, {stmt.name});
  auto t = std::make_unique<Tablespace>();
  t->name = stmt.name;
  t->contents = stmt.temporary ? "TEMPORARY" : stmt.undo ? "UNDO" : "PERMANENT";
  cat.addTablespace(std::move(t));
  ctx.catalogChanged = true;
}

}  // namespace ocisim
