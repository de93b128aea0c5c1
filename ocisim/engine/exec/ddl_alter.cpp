// ALTER TABLE: ADD columns and constraints, MODIFY columns (type, default, NULL / NOT NULL),
// DROP COLUMN, DROP CONSTRAINT / PRIMARY KEY / UNIQUE, RENAME COLUMN / TO, ENABLE / DISABLE /
// MODIFY CONSTRAINT, ENABLE / DISABLE ALL TRIGGERS, and physical attributes, with Oracle's errors
// for each rule scripts rely on.
#include <algorithm>
#include <optional>
#include <set>

#include "engine/exec/compiler.h"
#include "engine/exec/constraint_installer.h"
#include "engine/exec/ddl_util.h"
#include "engine/exec/executor.h"
#include "engine/exec/sql_text.h"
#include "engine/ora_error.h"
#include "engine/value/coercion.h"

namespace ocisim {
namespace {

using sql::AlterTableActionKind;

bool contains(const std::vector<std::string>& v, const std::string& s) {
  return std::find(v.begin(), v.end(), s) != v.end();
}

bool columnHasData(const Table& table, int pos) {
  const TableData& data = *table.data;
  for (RowId id = 0; id < data.slotLimit(); ++id) {
    const Value* row = data.row(id);
    if (row && !row[pos].isNull()) return true;
  }
  return false;
}

bool columnHasNull(const Table& table, int pos) {
  const TableData& data = *table.data;
  for (RowId id = 0; id < data.slotLimit(); ++id) {
    const Value* row = data.row(id);
    if (row && row[pos].isNull()) return true;
  }
  return false;
}

enum class Family { Number, Character, Date, Binary, Long, Lob, Object };

Family familyOf(const DataType& t) {
  if (t.isNumeric()) return Family::Number;
  if (t.code == TypeCode::Varchar2 || t.code == TypeCode::Char) return Family::Character;
  if (t.isDatetime()) return Family::Date;
  if (t.code == TypeCode::Raw) return Family::Binary;
  if (t.isLong()) return Family::Long;
  if (t.isLob()) return Family::Lob;
  return Family::Object;
}

// ORA-01439 / ORA-01440 / ORA-01441 when a column holding data cannot take the new type.
void checkTypeChange(ExecContext& ctx, const Table& table, int pos, const DataType& to) {
  const DataType& from = table.columns[pos].type;
  if (from == to || !columnHasData(table, pos)) return;
  if (familyOf(from) != familyOf(to)) throw OraError(1439);
  if (familyOf(from) == Family::Number) {
    bool fromFree = from.precision == DataType::kNoPrecision;
    bool toFree = to.precision == DataType::kNoPrecision;
    int fromScale = from.scale == DataType::kNoScale ? 127 : from.scale;
    int toScale = to.scale == DataType::kNoScale ? 127 : to.scale;
    bool narrower = (!toFree && (fromFree || to.precision < from.precision)) || toScale < fromScale;
    if (narrower) throw OraError(1440);
    return;
  }
  const TableData& data = *table.data;
  for (RowId id = 0; id < data.slotLimit(); ++id) {
    const Value* row = data.row(id);
    if (row && !row[pos].isNull() && !fitsColumn(row[pos], to, ctx.nls())) {
      throw OraError(familyOf(from) == Family::Character ? 1441 : 1439);
    }
  }
}

void dropIndexObject(ExecContext& ctx, Table& table, const std::string& owner,
                     const std::string& name) {
  table.data->dropIndex(name);
  ctx.catalog.removeIndex(owner, name);
}

// Removes a constraint; a key referenced by foreign keys needs cascade (ORA-02273). The index
// a key uses goes with it when the key created it (an index that existed before the key stays),
// unless KEEP INDEX or DROP INDEX says otherwise.
void dropConstraint(ExecContext& ctx, Table& table, Constraint& c, bool cascade,
                    std::optional<bool> keepIndex = std::nullopt) {
  Catalog& cat = ctx.catalog;
  if (c.type == ConstraintType::PrimaryKey && table.organizationIndex) throw OraError(25188);
  if (c.isKey()) {
    auto fks = cat.foreignKeysReferencing(c.owner, c.name);
    if (!fks.empty() && !cascade) throw OraError(2273);
    for (Constraint* fk : fks) cat.removeConstraint(fk->owner, fk->name);
    bool dropIndex = keepIndex ? !*keepIndex : c.ownsIndex;
    if (dropIndex && !c.indexName.empty() && cat.findIndex(c.indexOwner, c.indexName)) {
      dropIndexObject(ctx, table, c.indexOwner, c.indexName);
    }
  }
  cat.removeConstraint(c.owner, c.name);
}

void addColumns(ExecContext& ctx, Table& table, const sql::AlterTableAction& action) {
  std::vector<Column> added;
  std::vector<Value> fills;
  std::set<std::string> names;
  Compiler compiler(ctx);
  bool hasRows = table.data->rowCount() > 0;
  for (const sql::ColumnDef& def : action.columns) {
    if (table.columnIndex(def.name) >= 0) throw OraError(1430);
    if (!names.insert(def.name).second) throw OraError(957);
    if (!def.type) throw OraError(902);
    Column c;
    c.name = def.name;
    c.type = dataTypeOf(ctx, *def.type, table.header.owner);
    Value fill;
    if (def.defaultExpr) {
      c.defaultText = def.defaultText;
      c.defaultExpr = parseExpressionText(def.defaultText);
      Scope empty;
      EvalEnv env{&ctx};
      fill = coerceForColumn(evaluate(*compiler.compileValue(*c.defaultExpr, empty), env), c.type,
                             ctx.nls(), c.name);
    }
    for (const sql::ConstraintDef& k : def.constraints) {
      bool mandatory =
          k.kind == sql::ConstraintKind::NotNull || k.kind == sql::ConstraintKind::PrimaryKey;
      if (mandatory && hasRows && fill.isNull()) throw OraError(1758);
    }
    added.push_back(std::move(c));
    fills.push_back(std::move(fill));
  }
  std::vector<Column> all = table.columns;
  all.insert(all.end(), added.begin(), added.end());
  refuseSecondLong(all);
  size_t before = table.columns.size();
  for (size_t i = 0; i < added.size(); ++i) {
    table.columns.push_back(added[i]);
    table.data->addColumn(fills[i]);
  }
  ctx.db.rebuildIndexes(table);
  ConstraintInstaller installer(ctx, table);
  try {
    for (const sql::ColumnDef& def : action.columns) {
      for (const sql::ConstraintDef& k : def.constraints) installer.add(k, def.name);
    }
    for (const sql::ConstraintDef& k : action.constraints) installer.add(k, "");
    installer.validate();
  } catch (...) {
    while (table.columns.size() > before) {
      table.columns.pop_back();
      table.data->dropColumn(table.columns.size());
    }
    ctx.db.rebuildIndexes(table);
    throw;
  }
  installer.apply();
  if (!added.empty()) ctx.rewrittenTables.push_back(table.header.objectId);
}

void modifyColumns(ExecContext& ctx, Table& table, const sql::AlterTableAction& action) {
  Catalog& cat = ctx.catalog;
  const std::string& owner = table.header.owner;
  ConstraintInstaller installer(ctx, table);
  struct Change {
    int pos;
    std::optional<DataType> type;
    bool toNullable = false;
  };
  std::vector<Change> changes;
  for (const sql::ColumnDef& def : action.columns) {
    int pos = table.columnIndex(def.name);
    if (pos < 0) throw OraError(904, {quotedName({def.name})});
    Change ch{pos, std::nullopt, false};
    if (def.type) {
      DataType to = dataTypeOf(ctx, *def.type, owner);
      checkTypeChange(ctx, table, pos, to);
      ch.type = to;
    }
    bool nullable = cat.isNullable(owner, table.header.name, def.name);
    for (const sql::ConstraintDef& k : def.constraints) {
      if (k.kind == sql::ConstraintKind::NotNull) {
        if (!nullable) throw OraError(1442);
        // Oracle names the constraint it could not enable; an unnamed one shows as "OWNER.".
        bool checkRows = !k.disabled && k.validate.value_or(true);
        if (checkRows && columnHasNull(table, pos)) throw OraError(2296, {owner + "." + k.name});
        installer.addNotNull(def.name, k.name, &k);
      } else if (k.kind == sql::ConstraintKind::Null) {
        if (nullable) throw OraError(1451);
        Constraint* pk = cat.primaryKeyOf(owner, table.header.name);
        if (pk && contains(pk->columns, def.name)) throw OraError(1451);
        ch.toNullable = true;
      } else {
        installer.add(k, def.name);
      }
    }
    changes.push_back(ch);
  }
  installer.validate();
  bool rewritten = false;
  for (size_t i = 0; i < changes.size(); ++i) {
    const sql::ColumnDef& def = action.columns[i];
    Column& column = table.columns[changes[i].pos];
    if (changes[i].type && !(*changes[i].type == column.type)) {
      column.type = *changes[i].type;
      TableData& data = *table.data;
      for (RowId id = 0; id < data.slotLimit(); ++id) {
        const Value* row = data.row(id);
        if (!row || row[changes[i].pos].isNull()) continue;
        Row values(row, row + data.columnCount());
        values[changes[i].pos] =
            coerceForColumn(values[changes[i].pos], column.type, ctx.nls(), column.name);
        data.update(id, std::move(values));
      }
      rewritten = true;
    }
    if (def.defaultExpr) {
      column.defaultText = def.defaultText;
      column.defaultExpr = parseExpressionText(def.defaultText);
    }
    if (changes[i].toNullable) {
      for (Constraint* c : cat.constraintsOf(owner, table.header.name)) {
        if (c->type == ConstraintType::Check && c->notNullColumn == def.name) {
          cat.removeConstraint(owner, c->name);
        }
      }
    }
  }
  installer.apply();
  if (rewritten) ctx.rewrittenTables.push_back(table.header.objectId);
}

void dropColumns(ExecContext& ctx, Table& table, const sql::AlterTableAction& action) {
  Catalog& cat = ctx.catalog;
  const std::string& owner = table.header.owner;
  std::vector<int> positions;
  for (const std::string& name : action.names) {
    int pos = table.columnIndex(name);
    if (pos < 0) throw OraError(904, {quotedName({name})});
    positions.push_back(pos);
  }
  if (positions.size() >= table.columns.size()) throw OraError(12983);
  // Constraints on the dropped columns go with them; one that also spans other columns, or a
  // key other tables reference, needs CASCADE CONSTRAINTS.
  std::vector<Constraint*> doomed;
  for (Constraint* c : cat.constraintsOf(owner, table.header.name)) {
    bool touches = false;
    bool onlyDropped = true;
    for (const std::string& col : c->columns) {
      bool dropped = contains(action.names, col);
      touches = touches || dropped;
      onlyDropped = onlyDropped && dropped;
    }
    if (!touches) continue;
    if (!onlyDropped && !action.cascade) throw OraError(12991);
    if (c->isKey() && !action.cascade) {
      for (Constraint* fk : cat.foreignKeysReferencing(owner, c->name)) {
        if (fk->owner != owner || fk->tableName != table.header.name) throw OraError(12992);
      }
    }
    doomed.push_back(c);
  }
  for (Constraint* c : doomed) {
    if (cat.findConstraint(c->owner, c->name)) dropConstraint(ctx, table, *c, true);
  }
  for (Index* index : cat.indexesOn(owner, table.header.name)) {
    for (const IndexColumn& ic : index->columns) {
      if (contains(action.names, ic.name)) {
        dropIndexObject(ctx, table, index->header.owner, index->header.name);
        break;
      }
    }
  }
  for (const std::string& name : action.names) {
    cat.removeColumnGrants(owner, table.header.name, table.columns[table.columnIndex(name)].name);
    cat.moveColumnComment(owner, table.header.name, name, "");
  }
  std::sort(positions.rbegin(), positions.rend());
  for (int pos : positions) {
    table.columns.erase(table.columns.begin() + pos);
    table.data->dropColumn(static_cast<size_t>(pos));
  }
  ctx.db.rebuildIndexes(table);
  ctx.rewrittenTables.push_back(table.header.objectId);
}

std::string replaceIdentifier(const std::string& text, const std::string& from,
                              const std::string& to) {
  std::string out;
  size_t i = 0;
  auto isIdent = [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#';
  };
  while (i < text.size()) {
    if (text[i] == '\'') {
      size_t j = text.find('\'', i + 1);
      j = j == std::string::npos ? text.size() : j + 1;
      out += text.substr(i, j - i);
      i = j;
      continue;
    }
    if (isIdent(text[i]) || text[i] == '"') {
      size_t j = i;
      std::string word;
      if (text[i] == '"') {
        j = text.find('"', i + 1);
        j = j == std::string::npos ? text.size() : j + 1;
        word = text.substr(i + 1, j - i - 2);
      } else {
        while (j < text.size() && isIdent(text[j])) ++j;
        word = text.substr(i, j - i);
        for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      }
      out += word == from ? (text[i] == '"' ? "\"" + to + "\"" : to) : text.substr(i, j - i);
      i = j;
      continue;
    }
    out += text[i++];
  }
  return out;
}

void renameColumn(ExecContext& ctx, Table& table, const std::string& from, const std::string& to) {
  Catalog& cat = ctx.catalog;
  int pos = table.columnIndex(from);
  if (pos < 0) throw OraError(904, {quotedName({from})});
  if (table.columnIndex(to) >= 0) throw OraError(957);
  table.columns[pos].name = to;
  cat.renameColumnGrants(table.header.owner, table.header.name, from, to);
  cat.moveColumnComment(table.header.owner, table.header.name, from, to);
  for (Constraint* c : cat.constraintsOf(table.header.owner, table.header.name)) {
    for (std::string& col : c->columns) {
      if (col == from) col = to;
    }
    if (c->notNullColumn == from) {
      c->notNullColumn = to;
      c->searchCondition = "\"" + to + "\" IS NOT NULL";
    } else if (c->type == ConstraintType::Check) {
      c->searchCondition = replaceIdentifier(c->searchCondition, from, to);
      c->condition = parseConditionText(c->searchCondition);
    }
  }
  for (Index* index : cat.indexesOn(table.header.owner, table.header.name)) {
    for (IndexColumn& ic : index->columns) {
      if (ic.name == from) ic.name = to;
    }
  }
}

void renameTable(ExecContext& ctx, Table& table, const std::string& to) {
  Catalog& cat = ctx.catalog;
  const std::string owner = table.header.owner;
  const std::string from = table.header.name;
  requireFreeName(cat, owner, to);
  for (Constraint* c : cat.constraintsOf(owner, from)) c->tableName = to;
  for (Index* i : cat.indexesOn(owner, from)) i->tableName = to;
  for (Trigger* t : cat.triggersOn(owner, from)) t->tableName = to;
  cat.renameTable(owner, from, to);
}

// The constraint an ENABLE / DISABLE / MODIFY / DROP clause names: CONSTRAINT name, PRIMARY
// KEY or UNIQUE (columns). `missing` is the error when there is none.
Constraint& targetConstraint(Catalog& cat, const Table& table, const sql::AlterTableAction& action,
                             int missing) {
  const std::string& owner = table.header.owner;
  if (action.primaryKey) {
    Constraint* pk = cat.primaryKeyOf(owner, table.header.name);
    if (!pk) throw OraError(missing, {"PRIMARY KEY"});
    return *pk;
  }
  if (action.uniqueColumns) {
    for (Constraint* c : cat.constraintsOf(owner, table.header.name)) {
      if (c->type == ConstraintType::Unique && c->columns == action.names) return *c;
    }
    throw OraError(missing, {"UNIQUE"});
  }
  Constraint* c = cat.findConstraint(owner, action.names.at(0));
  if (!c || c->tableName != table.header.name) throw OraError(missing, {action.names.at(0)});
  return *c;
}

// DISABLE: the constraint is no longer enforced. A key's index goes unless KEEP INDEX is given
// or the index existed before the key (DROP INDEX drops that too); enabled foreign keys that
// reference the key need CASCADE (ORA-02297), which disables them.
void disableConstraint(ExecContext& ctx, Table& table, Constraint& c,
                       const sql::AlterTableAction& action) {
  Catalog& cat = ctx.catalog;
  if (c.type == ConstraintType::PrimaryKey && table.organizationIndex) throw OraError(25188);
  if (c.isKey()) {
    for (Constraint* fk : cat.foreignKeysReferencing(c.owner, c.name)) {
      if (!fk->enabled) continue;
      if (!action.cascade) throw OraError(2297, {c.owner + "." + c.name});
      fk->enabled = false;
      fk->validated = false;
      fk->lastChange = ctx.sysdate;
    }
    if (!c.indexName.empty()) {
      std::optional<bool> keep = action.state.keepIndex;
      bool dropIndex = keep ? !*keep : c.ownsIndex;
      if (dropIndex && cat.findIndex(c.indexOwner, c.indexName)) {
        dropIndexObject(ctx, table, c.indexOwner, c.indexName);
      }
      c.indexOwner.clear();
      c.indexName.clear();
      c.ownsIndex = false;
    }
  }
  if (c.enabled) c.lastChange = ctx.sysdate;
  c.enabled = false;
  c.validated = action.state.validate.value_or(false);
}

// ENABLE [VALIDATE | NOVALIDATE]: VALIDATE (the default) checks the rows; a key gets its index
// back.
void enableConstraint(ExecContext& ctx, Table& table, Constraint& c,
                      const sql::AlterTableAction& action) {
  bool wasEnabled = c.enabled;
  bool wasValidated = c.validated;
  c.enabled = true;
  c.validated = action.state.validate.value_or(true);
  try {
    if (c.validated && !(wasEnabled && wasValidated)) {
      ConstraintInstaller(ctx, table).validateRows(c);
    }
    if (c.isKey() && c.indexName.empty()) {
      if (action.state.hasUsingIndex) requireClauseTablespace(ctx, action.state.usingIndex);
      ensureKeyIndex(ctx, table, c,
                     action.state.hasUsingIndex ? &action.state.usingIndex : nullptr);
    }
  } catch (...) {
    c.enabled = wasEnabled;
    c.validated = wasValidated;
    throw;
  }
  if (!wasEnabled) c.lastChange = ctx.sysdate;
}

// MODIFY CONSTRAINT: a new state. Deferrability is fixed when the constraint is created.
void modifyConstraint(ExecContext& ctx, Table& table, Constraint& c,
                      const sql::AlterTableAction& action) {
  const sql::ConstraintDef& state = action.state;
  if (state.deferrable && *state.deferrable != c.deferrable) throw OraError(2447);
  if (state.initiallyGiven) {
    if (state.initiallyDeferred && !c.deferrable) throw OraError(2447);
    c.deferred = state.initiallyDeferred;
  }
  if (state.enableGiven || state.validate) {
    sql::AlterTableAction change;
    change.cascade = action.cascade;
    change.state.validate = state.validate;
    change.state.hasUsingIndex = state.hasUsingIndex;
    change.state.usingIndex = state.usingIndex;
    bool enable = state.enableGiven ? !state.disabled : c.enabled;
    if (enable) {
      enableConstraint(ctx, table, c, change);
    } else {
      disableConstraint(ctx, table, c, change);
    }
  }
}

// RENAME CONSTRAINT a TO b (release 9.2 on): the constraint's name only; the index of a key
// keeps its name, as in Oracle, and foreign keys follow the key they reference.
void renameConstraint(ExecContext& ctx, Table& table, const std::string& from,
                      const std::string& to) {
  Catalog& cat = ctx.catalog;
  const std::string& owner = table.header.owner;
  int major = ctx.db.majorVersion(), minor = ctx.db.minorVersion();
  if (major < 9 || (major == 9 && minor < 2)) throw OraError(14155);
  Constraint* c = cat.findConstraint(owner, from);
  if (!c || c->tableName != table.header.name) throw OraError(23292);
  if (cat.findConstraint(owner, to)) throw OraError(2264);
  auto renamed = std::make_unique<Constraint>(*c);
  renamed->name = to;
  renamed->generatedName = false;
  std::vector<Constraint*> referencing;
  if (c->isKey()) referencing = cat.foreignKeysReferencing(owner, from);
  cat.removeConstraint(owner, from);
  cat.addConstraint(std::move(renamed));
  for (Constraint* fk : referencing) fk->rConstraintName = to;
}

// MOVE [TABLESPACE t]: the rows go to a new segment. Oracle marks the indexes of a heap table
// UNUSABLE (ALL_INDEXES.STATUS) until they are rebuilt; an index-organized table is its primary
// key index, rebuilt by the move (with the table's new attributes), and its other indexes stay
// usable.
void moveTable(ExecContext& ctx, Table& table, const sql::AlterTableStmt& stmt) {
  Catalog& cat = ctx.catalog;
  int major = ctx.db.majorVersion(), minor = ctx.db.minorVersion();
  if (major < 8 || (major == 8 && minor < 1)) throw OraError(1735);
  for (Index* index : cat.indexesOn(table.header.owner, table.header.name)) {
    if (index->iotTop) {
      index->storage = storageOf(stmt.storage, index->storage);
      index->unusable = false;
      index->header.lastDdlTime = ctx.sysdate;
    } else if (!table.organizationIndex) {
      index->unusable = true;
    }
  }
}

}  // namespace

namespace {

// RENAME of a view or a sequence of the user's own schema.
void renameOther(ExecContext& ctx, const sql::AlterTableStmt& stmt) {
  Catalog& cat = ctx.catalog;
  const std::string& owner = ctx.user();
  const std::string& from = stmt.table.name;
  const std::string& to = stmt.actions.at(0).names.at(0);
  if (View* v = cat.findView(owner, from)) {
    requireFreeName(cat, owner, to);
    v->header.lastDdlTime = ctx.sysdate;
    invalidateDependents(ctx, owner, from);
    cat.renameView(owner, from, to);
  } else if (Sequence* s = cat.findSequence(owner, from)) {
    requireFreeName(cat, owner, to);
    invalidateDependents(ctx, owner, from);
    s->header.lastDdlTime = ctx.sysdate;
    cat.renameSequence(owner, from, to);
  } else {
    throw OraError(942);
  }
  ctx.catalogChanged = true;
}

}  // namespace

void runAlterTable(ExecContext& ctx, const sql::AlterTableStmt& stmt) {
  Catalog& cat = ctx.catalog;
  std::string owner = stmt.table.schema.empty() ? ctx.user() : stmt.table.schema;
  Table* table = cat.findTable(owner, stmt.table.name);
  if (!table && stmt.renameStatement) return renameOther(ctx, stmt);
  if (!table) throw OraError(942);
  if (owner != ctx.user() && !cat.hasSystemPrivilege(ctx.user(), "ALTER ANY TABLE") &&
      !cat.hasObjectPrivilege(ctx.user(), owner, table->header.name, "ALTER")) {
    throw OraError(cat.hasAnyObjectPrivilege(ctx.user(), owner, table->header.name) ? 1031 : 942);
  }
  requireTemporaryTableUnused(ctx, *table, 14450);
  requireClauseTablespace(ctx, stmt.storage);
  bool moved = false;
  const std::string originalName = table->header.name;
  // Views over the table are INVALID after a change of its columns' types, a dropped or renamed
  // column or a new name (adding a column keeps them valid, as in Oracle).
  bool invalidates = false;
  for (const sql::AlterTableAction& action : stmt.actions) {
    bool retyped = action.kind == AlterTableActionKind::Modify &&
                   std::any_of(action.columns.begin(), action.columns.end(),
                               [](const sql::ColumnDef& c) { return c.type.has_value(); });
    invalidates = invalidates || retyped || action.kind == AlterTableActionKind::DropColumns ||
                  action.kind == AlterTableActionKind::RenameColumn ||
                  action.kind == AlterTableActionKind::RenameTable;
  }
  for (const sql::AlterTableAction& action : stmt.actions) {
    switch (action.kind) {
      case AlterTableActionKind::RenameConstraint:
        renameConstraint(ctx, *table, action.names.at(0), action.names.at(1));
        break;
      case AlterTableActionKind::Move:
        moved = true;
        break;
      case AlterTableActionKind::Add:
        addColumns(ctx, *table, action);
        break;
      case AlterTableActionKind::Modify:
        modifyColumns(ctx, *table, action);
        break;
      case AlterTableActionKind::DropColumns:
        dropColumns(ctx, *table, action);
        break;
      case AlterTableActionKind::DropConstraint: {
        Constraint* c = cat.findConstraint(owner, action.names.at(0));
        if (!c || c->tableName != table->header.name) throw OraError(2443);
        dropConstraint(ctx, *table, *c, action.cascade, action.state.keepIndex);
        break;
      }
      case AlterTableActionKind::DropPrimaryKey: {
        Constraint* pk = cat.primaryKeyOf(owner, table->header.name);
        if (!pk) throw OraError(2441);
        dropConstraint(ctx, *table, *pk, action.cascade, action.state.keepIndex);
        break;
      }
      case AlterTableActionKind::DropUnique: {
        Constraint* found = nullptr;
        for (Constraint* c : cat.constraintsOf(owner, table->header.name)) {
          if (c->type == ConstraintType::Unique && c->columns == action.names) found = c;
        }
        if (!found) throw OraError(2442);
        dropConstraint(ctx, *table, *found, action.cascade, action.state.keepIndex);
        break;
      }
      case AlterTableActionKind::RenameColumn:
        renameColumn(ctx, *table, action.names.at(0), action.names.at(1));
        break;
      case AlterTableActionKind::RenameTable:
        renameTable(ctx, *table, action.names.at(0));
        table = cat.findTable(owner, action.names.at(0));
        break;
      case AlterTableActionKind::EnableConstraint:
        enableConstraint(ctx, *table, targetConstraint(cat, *table, action, 2430), action);
        break;
      case AlterTableActionKind::DisableConstraint:
        disableConstraint(ctx, *table, targetConstraint(cat, *table, action, 2431), action);
        break;
      case AlterTableActionKind::ModifyConstraint:
        modifyConstraint(ctx, *table, targetConstraint(cat, *table, action, 2430), action);
        break;
      case AlterTableActionKind::EnableAllTriggers:
      case AlterTableActionKind::DisableAllTriggers:
        for (Trigger* t : cat.triggersOn(owner, table->header.name)) {
          t->enabled = action.kind == AlterTableActionKind::EnableAllTriggers;
        }
        break;
    }
  }
  if (moved) moveTable(ctx, *table, stmt);
  if (invalidates) invalidateDependents(ctx, owner, originalName);
  if (!table->organizationIndex) table->storage = storageOf(stmt.storage, table->storage);
  table->header.lastDdlTime = ctx.sysdate;
  cat.bumpVersion();
  ctx.catalogChanged = true;
}

}  // namespace ocisim
