#include "engine/exec/constraints.h"

#include <algorithm>
#include <cstdio>

#include "engine/exec/compiler.h"
#include "engine/exec/exec_context.h"
#include "engine/exec/sql_text.h"
#include "engine/ora_error.h"
#include "engine/value/coercion.h"

namespace ocisim {
namespace {

std::vector<int> positionsOf(const Table& table, const std::vector<std::string>& columns) {
  std::vector<int> out;
  for (const std::string& c : columns) out.push_back(table.columnIndex(c));
  return out;
}

bool keyOf(const Value* row, const std::vector<int>& positions, std::vector<Value>& key) {
  key.clear();
  for (int p : positions) {
    if (p < 0 || row[p].isNull()) return false;
    key.push_back(row[p]);
  }
  return true;
}

std::string qualified(const Constraint& c) {
  return c.owner + "." + c.name;
}

// A violation of an initially deferred constraint is found at commit, which rolls the
// transaction back: ORA-02091 with the violation on the next line.
OraError violation(bool deferred, OraError error) {
  if (!deferred) return error;
  char code[16];
  std::snprintf(code, sizeof code, "ORA-%05d: ", error.code());
  return OraError::withText(2091,
                            std::string(oraMessageTemplate(2091)) + "\n" + code + error.text());
}

}  // namespace

struct ConstraintChecker::TableRules {
  Table* table = nullptr;
  std::vector<bool> notNull;
  std::vector<std::string> labels;
  struct Check {
    const Constraint* constraint;
    std::unique_ptr<CExpr> condition;
  };
  std::vector<Check> checks;
  std::vector<Check> deferredChecks;  // INITIALLY DEFERRED: checked at the end
  struct Key {
    std::string label;  // OWNER.NAME of the key, or of a unique index that backs no key
    std::string indexName;
    std::vector<int> positions;
    bool deferred = false;
  };
  std::vector<Key> keys;
  struct Reference {
    const Constraint* foreignKey;
    Table* child;
    std::vector<int> childPositions;
    Table* parent;
    std::vector<int> parentPositions;
  };
  std::vector<Reference> parents;   // foreign keys of this table
  std::vector<Reference> children;  // foreign keys of other tables pointing here
};

std::string ConstraintChecker::columnLabel(const Table& table, size_t column) {
  return "\"" + table.header.owner + "\".\"" + table.header.name + "\".\"" +
         table.columns[column].name + "\"";
}

ConstraintChecker::ConstraintChecker(ExecContext& ctx) : ctx_(ctx) {}
ConstraintChecker::~ConstraintChecker() = default;

ConstraintChecker::TableRules& ConstraintChecker::rulesFor(Table& table) {
  auto& slot = rules_[table.header.objectId];
  if (slot) return *slot;
  slot = std::make_unique<TableRules>();
  TableRules& r = *slot;
  Catalog& cat = ctx_.catalog;
  const std::string& owner = table.header.owner;
  r.table = &table;
  for (size_t i = 0; i < table.columns.size(); ++i) {
    r.notNull.push_back(!cat.isNullable(owner, table.header.name, table.columns[i].name));
    r.labels.push_back(columnLabel(table, i));
  }
  Scope scope;
  ScopeSource src;
  src.alias = table.header.name;
  src.owner = owner;
  for (const Column& c : table.columns) src.columns.push_back({c.name, c.type, true});
  scope.addSource(std::move(src));
  Compiler compiler(ctx_);
  for (Constraint* c : cat.constraintsOf(owner, table.header.name)) {
    // DISABLE VALIDATE keeps the rows as they were validated: the table takes no DML.
    if (!c->enabled && c->validated) throw OraError(25128, {qualified(*c)});
    if (!c->enabled) continue;
    switch (c->type) {
      case ConstraintType::Check: {
        if (!c->notNullColumn.empty()) break;
        if (!c->condition) c->condition = parseConditionText(c->searchCondition);
        (c->deferred ? r.deferredChecks : r.checks)
            .push_back({c, compiler.compileCondition(*c->condition, scope)});
        break;
      }
      case ConstraintType::PrimaryKey:
      case ConstraintType::Unique:
        r.keys.push_back({qualified(*c), c->indexName.empty() ? c->name : c->indexName,
                          positionsOf(table, c->columns), c->deferred});
        break;
      case ConstraintType::ForeignKey: {
        Constraint* key = cat.findConstraint(c->rOwner, c->rConstraintName);
        Table* parent = key ? cat.findTable(key->owner, key->tableName) : nullptr;
        if (parent) {
          r.parents.push_back({c, &table, positionsOf(table, c->columns), parent,
                               positionsOf(*parent, key->columns)});
        }
        break;
      }
      default:
        break;
    }
  }
  // A unique index of its own (CREATE UNIQUE INDEX) is enforced like a key; Oracle names the
  // index in ORA-00001.
  for (const Index* index : cat.indexesOn(owner, table.header.name)) {
    if (!index->unique) continue;
    const std::string& name = index->header.name;
    const bool backsKey = std::any_of(r.keys.begin(), r.keys.end(), [&](const TableRules::Key& k) {
      return k.indexName == name;
    });
    if (!backsKey) r.keys.push_back({index->header.owner + "." + name, name, {}, false});
  }
  for (Constraint* key : cat.constraintsOf(owner, table.header.name)) {
    if (!key->isKey()) continue;
    for (Constraint* fk : cat.foreignKeysReferencing(owner, key->name)) {
      if (!fk->enabled) continue;
      Table* child = cat.findTable(fk->owner, fk->tableName);
      if (!child) continue;
      r.children.push_back(
          {fk, child, positionsOf(*child, fk->columns), &table, positionsOf(table, key->columns)});
    }
  }
  return r;
}

void ConstraintChecker::checkRow(TableRules& r, const Row& row, bool update) {
  for (size_t i = 0; i < row.size(); ++i) {
    if (r.notNull[i] && row[i].isNull()) throw OraError(update ? 1407 : 1400, {r.labels[i]});
  }
  EvalEnv env{&ctx_, row.data(), nullptr};
  for (const auto& check : r.checks) {
    if (evaluateCondition(*check.condition, env) == Tri::False) {
      throw OraError(2290, {qualified(*check.constraint)});
    }
  }
}

RowId ConstraintChecker::insertRow(Table& table, Row row) {
  TableRules& r = rulesFor(table);
  for (size_t i = 0; i < row.size(); ++i) {
    row[i] = coerceForColumn(row[i], table.columns[i].type, ctx_.nls(), r.labels[i]);
  }
  checkRow(r, row, false);
  std::shared_ptr<TableData> data = ctx_.rowsOf(table);
  RowId id = data->insert(std::move(row));
  ctx_.undo.recordInsert(table, std::move(data), id);
  written_.push_back({&table, id});
  return id;
}

void ConstraintChecker::updateRow(Table& table, RowId id, Row row) {
  TableRules& r = rulesFor(table);
  for (size_t i = 0; i < row.size(); ++i) {
    row[i] = coerceForColumn(row[i], table.columns[i].type, ctx_.nls(), r.labels[i]);
  }
  checkRow(r, row, true);
  std::shared_ptr<TableData> data = ctx_.rowsOf(table);
  Row old = data->update(id, std::move(row));
  const Value* now = data->row(id);
  bool keyChanged = false;
  for (const auto& ref : r.children) {
    for (int p : ref.parentPositions) keyChanged = keyChanged || !old[p].identical(now[p]);
  }
  if (keyChanged) vanished_.push_back({&table, old});
  ctx_.undo.recordUpdate(table, std::move(data), id, std::move(old));
  written_.push_back({&table, id});
}

void ConstraintChecker::deleteRow(Table& table, RowId id) {
  std::shared_ptr<TableData> data = ctx_.rowsOf(table);
  if (!data->row(id)) return;  // already removed by a cascade
  if (++depth_ > 200) throw OraError(2292, {"cascade depth"});
  TableRules& r = rulesFor(table);
  Row old = data->erase(id);
  ctx_.undo.recordDelete(table, std::move(data), id, old);
  std::vector<Value> key;
  for (const auto& ref : r.children) {
    if (!keyOf(old.data(), ref.parentPositions, key)) continue;
    DeleteRule rule = ref.foreignKey->deleteRule;
    if (rule == DeleteRule::NoAction) continue;  // checked at the end of the statement
    for (RowId child : findRowsByKey(*ctx_.rowsOf(*ref.child), ref.childPositions, key)) {
      if (rule == DeleteRule::Cascade) {
        deleteRow(*ref.child, child);
      } else {
        Row values = ctx_.rowsOf(*ref.child)->copyRow(child);
        for (int p : ref.childPositions) values[p] = Value();
        updateRow(*ref.child, child, std::move(values));
      }
    }
  }
  vanished_.push_back({&table, std::move(old)});
  --depth_;
}

void ConstraintChecker::finish() {
  std::vector<Value> key;
  for (const Written& w : written_) {
    std::shared_ptr<TableData> data = ctx_.rowsOf(*w.table);
    const Value* row = data->row(w.id);
    if (!row) continue;
    TableRules& r = rulesFor(*w.table);
    if (!r.deferredChecks.empty()) {
      EvalEnv env{&ctx_, row, nullptr};
      for (const auto& check : r.deferredChecks) {
        if (evaluateCondition(*check.condition, env) == Tri::False) {
          throw violation(true, OraError(2290, {qualified(*check.constraint)}));
        }
      }
    }
    for (const auto& k : r.keys) {
      const TableIndex* index = data->findIndex(k.indexName);
      if (index && index->countEqualKeys(w.id) > 1) {
        throw violation(k.deferred, OraError(1, {k.label}));
      }
    }
    for (const auto& ref : r.parents) {
      if (!keyOf(row, ref.childPositions, key)) continue;
      if (findRowsByKey(*ctx_.rowsOf(*ref.parent), ref.parentPositions, key).empty()) {
        throw violation(ref.foreignKey->deferred, OraError(2291, {qualified(*ref.foreignKey)}));
      }
    }
  }
  for (const Vanished& v : vanished_) {
    TableRules& r = rulesFor(*v.table);
    for (const auto& ref : r.children) {
      if (!keyOf(v.oldRow.data(), ref.parentPositions, key)) continue;
      if (!findRowsByKey(*ctx_.rowsOf(*v.table), ref.parentPositions, key).empty()) continue;
      if (!findRowsByKey(*ctx_.rowsOf(*ref.child), ref.childPositions, key).empty()) {
        throw violation(ref.foreignKey->deferred, OraError(2292, {qualified(*ref.foreignKey)}));
      }
    }
  }
  written_.clear();
  vanished_.clear();
}

std::vector<RowId> findRowsByKey(const TableData& data, const std::vector<int>& positions,
                                 const std::vector<Value>& key) {
  std::vector<RowId> out;
  for (const auto& index : data.indexes()) {
    const auto& cols = index->keyColumns();
    if (cols.size() < positions.size() ||
        !std::equal(positions.begin(), positions.end(), cols.begin())) {
      continue;
    }
    for (auto it = index->seek(key, -1); it != index->end(); ++it) {
      if (index->compareRowToKey(*it, key) != 0) break;
      out.push_back(*it);
    }
    return out;
  }
  for (RowId id = 0; id < data.slotLimit(); ++id) {
    const Value* row = data.row(id);
    if (!row) continue;
    bool match = true;
    for (size_t i = 0; i < positions.size() && match; ++i) {
      match = sortCompare(row[positions[i]], key[i]) == 0;
    }
    if (match) out.push_back(id);
  }
  return out;
}

}  // namespace ocisim
