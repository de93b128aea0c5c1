// ALTER INDEX: RENAME TO, REBUILD [attributes] (a usable index again, in the tablespace named),
// UNUSABLE.
#include "engine/exec/ddl_util.h"
#include "engine/exec/executor.h"
#include "engine/ora_error.h"

namespace ocisim {

void runAlterIndex(ExecContext& ctx, const sql::AlterIndexStmt& stmt) {
  Catalog& cat = ctx.catalog;
  std::string owner = stmt.index.schema.empty() ? ctx.user() : stmt.index.schema;
  Index* index = cat.findIndex(owner, stmt.index.name);
  if (!index) throw OraError(1418);
  requireOwnerOr(ctx, owner, "ALTER ANY INDEX");
  Table* table = cat.findTable(index->tableOwner, index->tableName);
  if (table && table->temporary) {
    // An index of a temporary table is never rebuilt, nor changed while a session uses it.
    if (stmt.action == sql::AlterIndexStmt::Action::Rebuild) throw OraError(14456);
    requireTemporaryTableUnused(ctx, *table, 14452);
  }
  switch (stmt.action) {
    case sql::AlterIndexStmt::Action::Rename: {
      if (cat.findIndex(owner, stmt.newName)) throw OraError(955);
      const std::string from = index->header.name;
      auto renamed = std::make_unique<Index>(*index);
      renamed->header.name = stmt.newName;
      renamed->header.lastDdlTime = ctx.sysdate;
      // A key enforced through the index follows it.
      for (Constraint* c : cat.constraintsOf(index->tableOwner, index->tableName)) {
        if (c->isKey() && c->indexOwner == owner && c->indexName == from) {
          c->indexName = stmt.newName;
        }
      }
      cat.removeIndex(owner, from);
      cat.addIndex(std::move(renamed));
      if (table) ctx.db.rebuildIndexes(*table);
      break;
    }
    case sql::AlterIndexStmt::Action::Rebuild:
      if (index->iotTop) throw OraError(28650);
      requireClauseTablespace(ctx, stmt.storage);
      index->storage = storageOf(stmt.storage, index->storage);
      if (stmt.storage.compress) index->compressPrefix = *stmt.storage.compress;
      index->unusable = false;
      index->header.lastDdlTime = ctx.sysdate;
      break;
    case sql::AlterIndexStmt::Action::Unusable:
      index->unusable = true;
      index->header.lastDdlTime = ctx.sysdate;
      break;
  }
  cat.bumpVersion();
  ctx.catalogChanged = true;
}

}  // namespace ocisim
