#include "engine/exec/ddl_util.h"

#include <set>

#include "engine/exec/compiler.h"
#include "engine/ora_error.h"

namespace ocisim {
namespace {

void collectColumns(const sql::Expr& e, std::set<std::string>& names) {
  if (e.kind == sql::ExprKind::Column && !e.names.empty()) names.insert(e.names.back());
  for (const auto& a : e.args) {
    if (a) collectColumns(*a, names);
  }
  if (e.caseOperand) collectColumns(*e.caseOperand, names);
  if (e.elseExpr) collectColumns(*e.elseExpr, names);
}

}  // namespace

std::string ddlOwner(ExecContext& ctx, const std::string& schema) {
  std::string owner = schema.empty() ? ctx.session.currentSchema() : schema;
  if (!ctx.catalog.findUser(owner)) throw OraError(1918, {owner});
  return owner;
}

void requireCreate(ExecContext& ctx, const std::string& owner, const std::string& kind) {
  const Catalog& cat = ctx.catalog;
  const std::string& user = ctx.user();
  if (cat.hasSystemPrivilege(user, "CREATE ANY " + kind)) return;
  if (owner == user && cat.hasSystemPrivilege(user, "CREATE " + kind)) return;
  throw OraError(1031);
}

void requireOwnerOr(ExecContext& ctx, const std::string& owner, const std::string& anyPrivilege) {
  if (owner == ctx.user() || ctx.catalog.hasSystemPrivilege(ctx.user(), anyPrivilege)) return;
  throw OraError(1031);
}

void requireFreeName(const Catalog& catalog, const std::string& owner, const std::string& name) {
  if (catalog.findInMainNamespace(owner, name)) throw OraError(955);
}

void requireTemporaryTableUnused(ExecContext& ctx, const Table& table, int code) {
  if (!table.temporary) return;
  if (ctx.db.temporaryTableInUse(table.header.objectId)) throw OraError(code);
  ctx.db.forgetTemporaryRows(table.header.objectId);
}

DataType dataTypeOf(ExecContext& ctx, const sql::TypeSpec& spec, const std::string& owner) {
  if (!spec.anchor.empty() || spec.rowType) throw OraError(902);
  std::optional<int> first = spec.length ? spec.length : spec.precision;
  if (spec.starPrecision) first = std::nullopt;
  if (spec.schema.empty()) {
    int release = ctx.db.majorVersion();
    // Length semantics and the time zone types came with release 9, the national types with 8.
    if ((spec.charSemantics || spec.byteSemantics) && release < 9) throw OraError(907);
    bool national = spec.name == "NVARCHAR2" || spec.name == "NCHAR" || spec.name == "NCLOB";
    // The national types and the LOBs came with release 8, TIMESTAMP with 9.
    bool lob = spec.name == "CLOB" || spec.name == "BLOB" || spec.name == "BFILE";
    if ((national || lob) && release < 8) throw OraError(902);
    if (spec.name == "TIMESTAMP" && release < 9) throw OraError(902);
    if ((spec.withTimeZone || spec.withLocalTimeZone) && release < 9) throw OraError(902);
    // NLS_LENGTH_SEMANTICS = CHAR: a length without a unit counts characters.
    bool text = spec.name == "VARCHAR2" || spec.name == "VARCHAR" || spec.name == "CHAR" ||
                spec.name == "CHARACTER";
    bool chars =
        spec.charSemantics || (text && !spec.byteSemantics && ctx.nls().charLengthSemantics);
    if (auto t = DataType::fromSqlName(spec.name, first, spec.scale, chars, release >= 9)) {
      if (spec.withTimeZone) t->zone = TimeZoneKind::WithTimeZone;
      if (spec.withLocalTimeZone) t->zone = TimeZoneKind::WithLocalTimeZone;
      return *t;
    }
  }
  std::string typeOwner = spec.schema.empty() ? owner : spec.schema;
  if (ctx.catalog.findObjectType(typeOwner, spec.name)) {
    return DataType::object(typeOwner, spec.name);
  }
  throw OraError(902);
}

StorageAttributes storageOf(const sql::StorageClause& c, StorageAttributes s) {
  if (c.pctFree) s.pctFree = *c.pctFree;
  if (c.pctUsed) s.pctUsed = *c.pctUsed;
  if (c.iniTrans) s.iniTrans = *c.iniTrans;
  if (c.maxTrans) s.maxTrans = *c.maxTrans;
  if (c.tablespace) s.tablespace = *c.tablespace;
  if (c.initial) s.initialExtent = *c.initial;
  if (c.next) s.nextExtent = *c.next;
  if (c.minExtents) s.minExtents = *c.minExtents;
  if (c.maxExtents) s.maxExtents = *c.maxExtents;
  if (c.pctIncrease) s.pctIncrease = *c.pctIncrease;
  if (c.freelists) s.freelists = *c.freelists;
  if (c.freelistGroups) s.freelistGroups = *c.freelistGroups;
  return s;
}

ObjectHeader newHeader(ExecContext& ctx, const std::string& owner, const std::string& name) {
  ObjectHeader h;
  h.objectId = ctx.catalog.allocateObjectId();
  h.owner = owner;
  h.name = name;
  h.created = ctx.sysdate;
  h.lastDdlTime = ctx.sysdate;
  h.valid = true;
  return h;
}

ObjectHeader replacementHeader(ExecContext& ctx, const std::string& owner, const std::string& name,
                               const ObjectHeader* replaced) {
  ObjectHeader h = newHeader(ctx, owner, name);
  if (replaced != nullptr) {
    h.objectId = replaced->objectId;
    h.created = replaced->created;
  }
  return h;
}

std::vector<std::string> conditionColumns(const sql::Expr& condition, const Table& table) {
  std::set<std::string> names;
  collectColumns(condition, names);
  std::vector<std::string> out;
  for (const Column& c : table.columns) {
    if (names.count(c.name)) out.push_back(c.name);
  }
  return out;
}

void ensureKeyIndex(ExecContext& ctx, Table& table, Constraint& key,
                    const sql::StorageClause* usingIndex) {
  Catalog& cat = ctx.catalog;
  key.indexOwner = table.header.owner;
  for (Index* index : cat.indexesOn(table.header.owner, table.header.name)) {
    if (index->columns.size() != key.columns.size()) continue;
    bool same = true;
    for (size_t i = 0; i < key.columns.size() && same; ++i) {
      same = index->columns[i].name == key.columns[i];
    }
    if (same) {
      key.indexName = index->header.name;
      key.ownsIndex = false;
      return;
    }
  }
  if (cat.findIndex(table.header.owner, key.name)) throw OraError(955);
  auto index = std::make_unique<Index>();
  index->header = newHeader(ctx, table.header.owner, key.name);
  index->tableOwner = table.header.owner;
  index->tableName = table.header.name;
  index->unique = !key.deferrable;  // a deferrable key is checked through a nonunique index
  index->generatedName = key.generatedName;
  std::vector<int> positions;
  for (const std::string& c : key.columns) {
    index->columns.push_back({c, false});
    positions.push_back(table.columnIndex(c));
  }
  StorageAttributes defaults = StorageAttributes::defaultIndexStorage();
  defaults.tablespace = defaultTablespaceOf(ctx, table.header.owner);
  index->storage = usingIndex ? storageOf(*usingIndex, defaults) : defaults;
  if (usingIndex && usingIndex->compress) index->compressPrefix = *usingIndex->compress;
  table.data->createIndex(key.name, std::move(positions),
                          std::vector<bool>(key.columns.size(), false));
  cat.addIndex(std::move(index));
  key.indexName = key.name;
  key.ownsIndex = true;
}

namespace {

// The columns of an index named by USING INDEX must be the key's (in any order): the key is
// checked through the index's whole key.
bool sameColumns(const std::vector<std::string>& key, const std::vector<std::string>& index) {
  if (key.size() != index.size()) return false;
  std::set<std::string> a(key.begin(), key.end()), b(index.begin(), index.end());
  return a == b && a.size() == key.size();
}

}  // namespace

bool checkKeyIndexClause(ExecContext& ctx, const Table& table, const Constraint& key,
                         const sql::ConstraintDef& def) {
  const Catalog& cat = ctx.catalog;
  const std::string& owner = table.header.owner;
  if (def.hasUsingIndex) requireClauseTablespace(ctx, def.usingIndex);
  if (def.usingIndexCreate) {
    const sql::CreateIndexStmt& ci = *def.usingIndexCreate;
    // USING INDEX (CREATE INDEX ...) came with release 9.
    if (ctx.db.majorVersion() < 9) throw OraError(907);
    std::string tableOwner = ci.table.schema.empty() ? ctx.user() : ci.table.schema;
    if (tableOwner != owner || ci.table.name != table.header.name) {
      throw OraError(cat.findTable(tableOwner, ci.table.name) ? 14196 : 942);
    }
    std::string indexOwner = ci.index.schema.empty() ? ctx.user() : ci.index.schema;
    if (indexOwner != owner) throw OraError(14196);
    if (cat.findIndex(indexOwner, ci.index.name)) throw OraError(955);
    std::vector<std::string> columns;
    for (const sql::IndexColumn& c : ci.columns) {
      if (c.name.empty()) throw OraError(14196);
      if (table.columnIndex(c.name) < 0) throw OraError(904, {quotedName({c.name})});
      columns.push_back(c.name);
    }
    if (!sameColumns(key.columns, columns)) throw OraError(14196);
    if (key.deferrable && ci.unique) throw OraError(14196);
    requireClauseTablespace(ctx, ci.storage);
    return true;
  }
  if (!def.usingIndexName.name.empty()) {
    std::string indexOwner =
        def.usingIndexName.schema.empty() ? ctx.user() : def.usingIndexName.schema;
    const Index* index = cat.findIndex(indexOwner, def.usingIndexName.name);
    if (!index) throw OraError(1418);
    if (index->tableOwner != owner || index->tableName != table.header.name) {
      throw OraError(14196);
    }
    std::vector<std::string> columns;
    for (const IndexColumn& c : index->columns) columns.push_back(c.name);
    if (!sameColumns(key.columns, columns) || (key.deferrable && index->unique)) {
      throw OraError(14196);
    }
    return true;
  }
  return false;
}

void ensureKeyIndex(ExecContext& ctx, Table& table, Constraint& key,
                    const sql::ConstraintDef* def) {
  if (def && def->usingIndexCreate) {
    Index& index = createIndexObject(ctx, *def->usingIndexCreate, table, table.header.owner);
    key.indexOwner = index.header.owner;
    key.indexName = index.header.name;
    key.ownsIndex = false;
    return;
  }
  if (def && !def->usingIndexName.name.empty()) {
    key.indexOwner = def->usingIndexName.schema.empty() ? ctx.user() : def->usingIndexName.schema;
    key.indexName = def->usingIndexName.name;
    key.ownsIndex = false;
    return;
  }
  ensureKeyIndex(ctx, table, key, def && def->hasUsingIndex ? &def->usingIndex : nullptr);
}

}  // namespace ocisim
