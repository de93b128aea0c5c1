// CREATE TABLE (also AS SELECT), TRUNCATE TABLE, CREATE INDEX and DROP of tables and indexes'
// helpers. ALTER TABLE is in ddl_alter.cpp.
#include <algorithm>
#include <set>

#include "engine/exec/compiler.h"
#include "engine/exec/constraint_installer.h"
#include "engine/exec/constraints.h"
#include "engine/exec/ddl_util.h"
#include "engine/exec/executor.h"
#include "engine/exec/sql_text.h"
#include "engine/ora_error.h"

namespace ocisim {
namespace {

bool validColumnName(const std::string& name) {
  if (name.empty() || name.size() > 128) return false;
  for (char ch : name) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (!std::isalnum(c) && c != '_' && c != '$' && c != '#' && c < 0x80) return false;
  }
  return true;
}

Column columnOf(ExecContext& ctx, const sql::ColumnDef& def, const std::string& owner) {
  if (!def.type) throw OraError(902);
  Column c;
  c.name = def.name;
  c.type = dataTypeOf(ctx, *def.type, owner);
  if (def.defaultExpr) {
    c.defaultText = def.defaultText;
    c.defaultExpr = parseExpressionText(def.defaultText);
  }
  return c;
}

// The primary key index of an index-organized table: INDEX_TYPE IOT - TOP, in the tablespace
// the CREATE TABLE named (the table itself has no segment of its own), named like the key, or
// SYS_IOT_TOP_<object id of the table> when the key's name was generated.
void makeIotTop(ExecContext& ctx, Table& table, const sql::StorageClause& storage) {
  Catalog& cat = ctx.catalog;
  Constraint* pk = cat.primaryKeyOf(table.header.owner, table.header.name);
  if (!pk || pk->indexName.empty()) return;
  Index* index = cat.findIndex(pk->indexOwner, pk->indexName);
  if (!index) return;
  auto top = std::make_unique<Index>(*index);
  top->iotTop = true;
  top->storage = storageOf(storage, top->storage);
  top->storage.pctUsed = StorageAttributes::defaultIndexStorage().pctUsed;
  if (pk->generatedName) {
    top->header.name = "SYS_IOT_TOP_" + std::to_string(table.header.objectId);
    top->generatedName = true;
  }
  std::string owner = index->header.owner, name = index->header.name;
  cat.removeIndex(owner, name);
  pk->indexName = top->header.name;
  cat.addIndex(std::move(top));
  ctx.db.rebuildIndexes(table);
}

}  // namespace

void runCreateTable(ExecContext& ctx, const sql::CreateTableStmt& stmt) {
  Catalog& cat = ctx.catalog;
  std::string owner = ddlOwner(ctx, stmt.table.schema);
  requireCreate(ctx, owner, "TABLE");
  requireFreeName(cat, owner, stmt.table.name);
  // Index-organized tables came with release 8.0: Oracle 7 knows no ORGANIZATION clause.
  if (stmt.organizationIndex && ctx.db.majorVersion() < 8) throw OraError(922);
  // A temporary table has no segment of its own: no TABLESPACE, and no index organization here.
  if (stmt.globalTemporary && (stmt.storage.tablespace || stmt.organizationIndex)) {
    throw OraError(14451);
  }
  requireClauseTablespace(ctx, stmt.storage);
  auto table = std::make_unique<Table>();
  table->header = newHeader(ctx, owner, stmt.table.name);
  StorageAttributes defaults = StorageAttributes::defaultTableStorage();
  defaults.tablespace = defaultTablespaceOf(ctx, owner);
  table->storage = storageOf(stmt.storage, defaults);
  table->organizationIndex = stmt.organizationIndex;
  table->temporary = stmt.globalTemporary;
  table->onCommitPreserve = stmt.globalTemporary && stmt.onCommitPreserve;
  if (table->temporary) table->storage.tablespace.clear();  // TABLESPACE_NAME NULL
  std::vector<Row> rows;
  if (stmt.asQuery) {
    Compiler compiler(ctx);
    CompiledQuery q = compiler.compileQuery(*stmt.asQuery, nullptr);
    refuseLongColumns(q.columns);
    if (!stmt.columns.empty() && stmt.columns.size() != q.columns.size()) throw OraError(1730);
    for (size_t i = 0; i < q.columns.size(); ++i) {
      Column c;
      c.name = stmt.columns.empty() ? q.columns[i].name : stmt.columns[i].name;
      if (!validColumnName(c.name)) throw OraError(998);
      c.type = q.columns[i].type;
      if (c.type.code == TypeCode::Varchar2 && c.type.length == 0) c.type = DataType::varchar2(1);
      table->columns.push_back(std::move(c));
    }
    EvalEnv env{&ctx};
    q.root->open(env);
    Row row;
    while (q.root->next(row)) rows.push_back(row);
  } else {
    for (const sql::ColumnDef& def : stmt.columns)
      table->columns.push_back(columnOf(ctx, def, owner));
  }
  std::set<std::string> names;
  for (const Column& c : table->columns) {
    if (!names.insert(c.name).second) throw OraError(957);
  }
  if (table->columns.empty()) throw OraError(906);
  refuseSecondLong(table->columns);
  table->data = std::make_shared<TableData>(table->columns.size());
  ConstraintInstaller installer(ctx, *table);
  if (!stmt.asQuery) {
    for (const sql::ColumnDef& def : stmt.columns) {
      for (const sql::ConstraintDef& c : def.constraints) installer.add(c, def.name);
    }
  } else {
    for (const sql::ColumnDef& def : stmt.columns) {
      for (const sql::ConstraintDef& c : def.constraints) installer.add(c, def.name);
    }
  }
  for (const sql::ConstraintDef& c : stmt.constraints) installer.add(c, "");
  if (stmt.organizationIndex) {
    // An index-organized table is its primary key index: ORA-25175 without one.
    bool hasKey = false;
    for (const sql::ColumnDef& def : stmt.columns) {
      for (const sql::ConstraintDef& c : def.constraints) {
        hasKey = hasKey || c.kind == sql::ConstraintKind::PrimaryKey;
      }
    }
    for (const sql::ConstraintDef& c : stmt.constraints) {
      hasKey = hasKey || c.kind == sql::ConstraintKind::PrimaryKey;
    }
    if (!hasKey) throw OraError(25175);
  }
  installer.validate();
  bool changedBefore = ctx.catalogChanged;
  Table& added = cat.addTable(std::move(table));
  installer.apply();
  if (added.organizationIndex) makeIotTop(ctx, added, stmt.storage);
  // The installer marks the whole catalog changed; this change is confined to the new table.
  ctx.catalogChanged = changedBefore;
  ctx.tableCatalogChanges.emplace_back(added.header.owner, added.header.name);
  if (!rows.empty()) {
    ConstraintChecker checker(ctx);
    for (Row& row : rows) checker.insertRow(added, std::move(row));
    checker.finish();
  }
}

void runTruncate(ExecContext& ctx, const sql::TruncateTableStmt& stmt) {
  Catalog& cat = ctx.catalog;
  std::string owner = stmt.table.schema.empty() ? ctx.user() : stmt.table.schema;
  Table* table = cat.findTable(owner, stmt.table.name);
  if (!table) throw OraError(942);
  requireOwnerOr(ctx, owner, "DROP ANY TABLE");
  for (Constraint* key : cat.constraintsOf(owner, table->header.name)) {
    if (!key->isKey()) continue;
    for (Constraint* fk : cat.foreignKeysReferencing(owner, key->name)) {
      bool self = fk->owner == owner && fk->tableName == table->header.name;
      if (fk->enabled && !self) throw OraError(2266);
    }
  }
  // A temporary table loses this session's rows only.
  if (table->temporary) {
    ctx.rowsOf(*table)->clear();
    return;
  }
  // Undo cannot bring the rows back cheaply, but TRUNCATE is DDL and never fails after this.
  table->data->clear();
  table->header.lastDdlTime = ctx.sysdate;
  ctx.rewrittenTables.push_back(table->header.objectId);
  ctx.catalogChanged = true;
}

void runCreateIndex(ExecContext& ctx, const sql::CreateIndexStmt& stmt) {
  Catalog& cat = ctx.catalog;
  std::string tableOwner = stmt.table.schema.empty() ? ctx.user() : stmt.table.schema;
  std::string owner = stmt.index.schema.empty() ? ctx.user() : stmt.index.schema;
  if (!cat.findUser(owner)) throw OraError(1918, {owner});
  Table* table = cat.findTable(tableOwner, stmt.table.name);
  if (!table) throw OraError(942);
  if (owner != ctx.user() || tableOwner != ctx.user()) {
    bool may = cat.hasSystemPrivilege(ctx.user(), "CREATE ANY INDEX") ||
               (owner == ctx.user() &&
                cat.hasObjectPrivilege(ctx.user(), tableOwner, table->header.name, "INDEX"));
    if (!may) throw OraError(1031);
  }
  requireTemporaryTableUnused(ctx, *table, 14452);
  Index& added = createIndexObject(ctx, stmt, *table, owner);
  ctx.tableCatalogChanges.emplace_back(added.tableOwner, added.tableName);
}

Index& createIndexObject(ExecContext& ctx, const sql::CreateIndexStmt& stmt, Table& tableRef,
                         const std::string& owner) {
  Catalog& cat = ctx.catalog;
  Table* table = &tableRef;
  const std::string tableOwner = table->header.owner;
  if (cat.findIndex(owner, stmt.index.name)) throw OraError(955);
  requireClauseTablespace(ctx, stmt.storage);
  auto index = std::make_unique<Index>();
  index->header = newHeader(ctx, owner, stmt.index.name);
  index->tableOwner = tableOwner;
  index->tableName = table->header.name;
  index->unique = stmt.unique;
  index->bitmap = stmt.bitmap;
  StorageAttributes defaults = StorageAttributes::defaultIndexStorage();
  defaults.tablespace = defaultTablespaceOf(ctx, owner);
  index->storage = storageOf(stmt.storage, defaults);
  std::vector<int> positions;
  std::vector<bool> descending;
  std::set<std::string> seen;
  // Before release 8.1 DESC is accepted and ignored (indexes are ascending); from 8.1 a DESC
  // column is indexed through a hidden column numbered after the table's columns and the
  // hidden columns it already has.
  bool descendingKept =
      ctx.db.majorVersion() > 8 || (ctx.db.majorVersion() == 8 && ctx.db.minorVersion() >= 1);
  int hiddenCount = 0, lastHidden = 0;
  for (Index* other : cat.indexesOn(tableOwner, table->header.name)) {
    for (const IndexColumn& c : other->columns) {
      if (c.descending) ++hiddenCount;
      lastHidden = std::max(lastHidden, c.hiddenColumn);
    }
  }
  // Internal column numbers run over the table's columns and its hidden ones together.
  int nextHidden = std::max(static_cast<int>(table->columns.size()) + hiddenCount, lastHidden) + 1;
  for (const sql::IndexColumn& ic : stmt.columns) {
    if (ic.name.empty()) {
      throw OraError::withText(3001, "unimplemented feature: function-based index");
    }
    int pos = table->columnIndex(ic.name);
    if (pos < 0) throw OraError(904, {quotedName({ic.name})});
    if (!seen.insert(ic.name).second) throw OraError(957);
    bool desc = ic.descending && descendingKept;
    index->columns.push_back({ic.name, desc, desc ? nextHidden++ : 0});
    positions.push_back(pos);
    descending.push_back(desc);
  }
  for (Index* other : cat.indexesOn(tableOwner, table->header.name)) {
    if (other->columns.size() != index->columns.size()) continue;
    bool same = true;
    for (size_t i = 0; i < other->columns.size() && same; ++i) {
      same = other->columns[i].name == index->columns[i].name &&
             other->columns[i].descending == index->columns[i].descending;
    }
    if (same) throw OraError(1408);
  }
  if (stmt.storage.compress) {
    int n = *stmt.storage.compress;
    int columns = static_cast<int>(index->columns.size());
    int max = stmt.unique ? columns - 1 : columns;
    if (n == 0) n = max;
    if (n < 1 || n > max) throw OraError(25194);
    index->compressPrefix = n;
  }
  TableIndex& built = table->data->createIndex(index->header.name, positions, descending);
  if (stmt.unique) {
    for (RowId id : built) {
      if (built.countEqualKeys(id) > 1) {
        table->data->dropIndex(index->header.name);
        throw OraError(1452);
      }
    }
  }
  return cat.addIndex(std::move(index));
}

}  // namespace ocisim
