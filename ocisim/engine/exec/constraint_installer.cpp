#include "engine/exec/constraint_installer.h"

#include <algorithm>
#include <set>

#include "engine/exec/compiler.h"
#include "engine/exec/constraints.h"
#include "engine/exec/ddl_util.h"
#include "engine/exec/sql_text.h"
#include "engine/ora_error.h"

namespace ocisim {
namespace {

struct KeyLess {
  bool operator()(const Row& a, const Row& b) const {
    for (size_t i = 0; i < a.size(); ++i) {
      int c = sortCompare(a[i], b[i]);
      if (c != 0) return c < 0;
    }
    return false;
  }
};

bool sameColumnSet(std::vector<std::string> a, std::vector<std::string> b) {
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  return a == b;
}

}  // namespace

struct ConstraintInstaller::Pending {
  std::unique_ptr<Constraint> constraint;
  const sql::ConstraintDef* def = nullptr;
  std::string refSchema;
  std::string refTable;
  std::vector<std::string> refColumns;
  std::vector<std::string> keyColumnsInRefOrder;
};

ConstraintInstaller::ConstraintInstaller(ExecContext& ctx, Table& table)
    : ctx_(ctx), table_(table) {}
ConstraintInstaller::~ConstraintInstaller() = default;

std::string ConstraintInstaller::nameFor(const std::string& given, bool& generated) {
  generated = given.empty();
  return generated ? ctx_.catalog.allocateSystemName() : given;
}

void ConstraintInstaller::setState(Constraint& c, const sql::ConstraintDef& def) {
  c.enabled = !def.disabled;
  c.validated = def.validate.value_or(c.enabled);
  c.deferred = def.initiallyDeferred;
  c.deferrable = def.deferrable.value_or(def.initiallyDeferred);
}

void ConstraintInstaller::addNotNull(const std::string& column, const std::string& name,
                                     const sql::ConstraintDef* state) {
  auto p = std::make_unique<Pending>();
  auto c = std::make_unique<Constraint>();
  c->owner = table_.header.owner;
  c->tableName = table_.header.name;
  c->type = ConstraintType::Check;
  c->name = nameFor(name, c->generatedName);
  c->notNullColumn = column;
  c->columns = {column};
  c->searchCondition = "\"" + column + "\" IS NOT NULL";
  c->lastChange = ctx_.sysdate;
  if (state) setState(*c, *state);
  p->constraint = std::move(c);
  pending_.push_back(std::move(p));
}

void ConstraintInstaller::add(const sql::ConstraintDef& def, const std::string& column) {
  using K = sql::ConstraintKind;
  if (def.kind == K::Null) return;
  if (def.kind == K::NotNull) {
    addNotNull(column.empty() && !def.columns.empty() ? def.columns[0] : column, def.name, &def);
    return;
  }
  auto p = std::make_unique<Pending>();
  p->def = &def;
  auto c = std::make_unique<Constraint>();
  c->owner = table_.header.owner;
  c->tableName = table_.header.name;
  c->lastChange = ctx_.sysdate;
  setState(*c, def);
  c->columns =
      def.columns.empty() && !column.empty() ? std::vector<std::string>{column} : def.columns;
  for (const std::string& col : c->columns) {
    if (table_.columnIndex(col) < 0) throw OraError(904, {quotedName({col})});
  }
  switch (def.kind) {
    case K::PrimaryKey:
      c->type = ConstraintType::PrimaryKey;
      break;
    case K::Unique:
      c->type = ConstraintType::Unique;
      break;
    case K::ForeignKey:
      c->type = ConstraintType::ForeignKey;
      c->deleteRule = def.onDelete == sql::DeleteRule::Cascade   ? DeleteRule::Cascade
                      : def.onDelete == sql::DeleteRule::SetNull ? DeleteRule::SetNull
                                                                 : DeleteRule::NoAction;
      p->refSchema = def.refSchema;
      p->refTable = def.refTable;
      p->refColumns = def.refColumns;
      break;
    case K::Check: {
      c->type = ConstraintType::Check;
      c->searchCondition = def.checkText;
      c->condition = parseConditionText(def.checkText);
      // The condition must name columns of this table only.
      Scope scope;
      ScopeSource src;
      src.alias = table_.header.name;
      src.owner = table_.header.owner;
      for (const Column& col : table_.columns) src.columns.push_back({col.name, col.type, true});
      scope.addSource(std::move(src));
      Compiler compiler(ctx_);
      compiler.compileCondition(*c->condition, scope);
      c->columns = conditionColumns(*c->condition, table_);
      break;
    }
    default:
      break;
  }
  c->name = nameFor(def.name, c->generatedName);
  p->constraint = std::move(c);
  pending_.push_back(std::move(p));
}

void ConstraintInstaller::resolveForeignKey(Pending& p) {
  Constraint& fk = *p.constraint;
  Catalog& cat = ctx_.catalog;
  std::string refOwner = p.refSchema.empty() ? table_.header.owner : p.refSchema;
  bool self = refOwner == table_.header.owner && p.refTable == table_.header.name;
  Table* parent = self ? &table_ : cat.findTable(refOwner, p.refTable);
  if (!parent) {
    if (cat.findView(refOwner, p.refTable)) throw OraError(2270);
    throw OraError(942);
  }
  // Keys between a temporary and a permanent table cannot hold: each session sees other rows.
  if (parent->temporary != table_.temporary) throw OraError(14455);
  // REFERENCES on the table, or (checked once the key is known) on each column of the key.
  std::set<std::string> referenceable;
  if (!self && refOwner != ctx_.user() &&
      !cat.hasSystemPrivilege(ctx_.user(), "REFERENCES ANY TABLE") &&
      !cat.hasObjectPrivilege(ctx_.user(), refOwner, p.refTable, "REFERENCES")) {
    referenceable = cat.columnPrivileges(ctx_.user(), refOwner, p.refTable, "REFERENCES");
    if (referenceable.empty()) {
      throw OraError(cat.hasAnyObjectPrivilege(ctx_.user(), refOwner, p.refTable) ? 1031 : 942);
    }
  }
  // Candidate keys: the parent's constraints, and for a self reference the pending ones.
  std::vector<const Constraint*> keys;
  for (Constraint* c : cat.constraintsOf(refOwner, parent->header.name)) {
    if (c->isKey()) keys.push_back(c);
  }
  if (self) {
    for (const auto& q : pending_) {
      if (q->constraint->isKey()) keys.push_back(q->constraint.get());
    }
  }
  const Constraint* key = nullptr;
  if (p.refColumns.empty()) {
    for (const Constraint* k : keys) {
      if (k->type == ConstraintType::PrimaryKey) key = k;
    }
    if (!key) throw OraError(2268);
  } else {
    for (const Constraint* k : keys) {
      if (sameColumnSet(k->columns, p.refColumns)) key = k;
    }
    if (!key) throw OraError(2270);
  }
  std::vector<std::string> refColumns = p.refColumns.empty() ? key->columns : p.refColumns;
  for (const std::string& kc : key->columns) {
    if (!referenceable.empty() && !referenceable.count(kc)) throw OraError(1031);
  }
  if (refColumns.size() != fk.columns.size()) throw OraError(2256);
  // Keep the foreign key's columns in the order of the referenced key's columns.
  std::vector<std::string> ordered;
  for (const std::string& kc : key->columns) {
    auto it = std::find(refColumns.begin(), refColumns.end(), kc);
    ordered.push_back(fk.columns[it - refColumns.begin()]);
  }
  fk.columns = ordered;
  fk.rOwner = refOwner;
  fk.rConstraintName = key->name;
}

void ConstraintInstaller::validateRows(const Constraint& c) {
  const TableData& data = *table_.data;
  if (data.rowCount() == 0 || !c.enabled || !c.validated) return;
  std::vector<int> positions;
  for (const std::string& col : c.columns) positions.push_back(table_.columnIndex(col));
  std::string label = c.owner + "." + c.name;
  if (c.type == ConstraintType::Check && !c.notNullColumn.empty()) {
    int pos = table_.columnIndex(c.notNullColumn);
    for (RowId id = 0; id < data.slotLimit(); ++id) {
      const Value* row = data.row(id);
      if (row && row[pos].isNull()) throw OraError(2296, {label});
    }
    return;
  }
  if (c.type == ConstraintType::Check) {
    Scope scope;
    ScopeSource src;
    src.alias = table_.header.name;
    for (const Column& col : table_.columns) src.columns.push_back({col.name, col.type, true});
    scope.addSource(std::move(src));
    Compiler compiler(ctx_);
    auto cond = compiler.compileCondition(*c.condition, scope);
    for (RowId id = 0; id < data.slotLimit(); ++id) {
      const Value* row = data.row(id);
      if (!row) continue;
      EvalEnv env{&ctx_, row, nullptr};
      if (evaluateCondition(*cond, env) == Tri::False) throw OraError(2293, {label});
    }
    return;
  }
  if (c.isKey()) {
    std::set<Row, KeyLess> seen;
    for (RowId id = 0; id < data.slotLimit(); ++id) {
      const Value* row = data.row(id);
      if (!row) continue;
      Row key;
      bool allNull = true;
      bool anyNull = false;
      for (int pos : positions) {
        key.push_back(row[pos]);
        allNull = allNull && row[pos].isNull();
        anyNull = anyNull || row[pos].isNull();
      }
      if (c.type == ConstraintType::PrimaryKey && anyNull) throw OraError(1449);
      if (allNull) continue;
      if (!seen.insert(std::move(key)).second) {
        throw OraError(c.type == ConstraintType::PrimaryKey ? 2437 : 2299, {label});
      }
    }
    return;
  }
  if (c.type == ConstraintType::ForeignKey) {
    const Constraint* key = ctx_.catalog.findConstraint(c.rOwner, c.rConstraintName);
    const Table* parent = key ? ctx_.catalog.findTable(key->owner, key->tableName) : nullptr;
    if (!parent) return;  // a key of the same statement: the table is new and empty
    std::vector<int> parentPositions;
    for (const std::string& col : key->columns) parentPositions.push_back(parent->columnIndex(col));
    for (RowId id = 0; id < data.slotLimit(); ++id) {
      const Value* row = data.row(id);
      if (!row) continue;
      std::vector<Value> values;
      bool anyNull = false;
      for (int pos : positions) {
        values.push_back(row[pos]);
        anyNull = anyNull || row[pos].isNull();
      }
      if (anyNull) continue;
      if (findRowsByKey(*parent->data, parentPositions, values).empty()) {
        throw OraError(2298, {label});
      }
    }
  }
}

void ConstraintInstaller::validate() {
  Catalog& cat = ctx_.catalog;
  const std::string& owner = table_.header.owner;
  // A table being created is not in the catalog yet: it has no constraints or indexes to find
  // (looking for them scans those of every table).
  const bool created = cat.findTable(owner, table_.header.name) != &table_;
  auto existing =
      created ? std::vector<Constraint*>() : cat.constraintsOf(owner, table_.header.name);
  int primaryKeys = 0;
  for (const Constraint* c : existing) primaryKeys += c->type == ConstraintType::PrimaryKey;
  std::set<std::string> names;
  for (auto& p : pending_) {
    Constraint& c = *p->constraint;
    if (cat.findConstraint(owner, c.name) || !names.insert(c.name).second) throw OraError(2264);
    if (c.type == ConstraintType::PrimaryKey && ++primaryKeys > 1) throw OraError(2260);
    if (c.isKey()) {
      for (const Constraint* e : existing) {
        if (e->isKey() && sameColumnSet(e->columns, c.columns)) throw OraError(2261);
      }
      for (auto& q : pending_) {
        if (q != p && q->constraint->isKey() && sameColumnSet(q->constraint->columns, c.columns)) {
          throw OraError(2261);
        }
      }
    }
  }
  for (auto& p : pending_) {
    if (p->constraint->type == ConstraintType::ForeignKey) resolveForeignKey(*p);
  }
  for (auto& p : pending_) validateRows(*p->constraint);
  // A key without a usable index gets one named like the key: that name must be free.
  for (auto& p : pending_) {
    const Constraint& c = *p->constraint;
    if (!c.isKey() || !c.enabled) continue;
    // USING INDEX (CREATE INDEX ...) or USING INDEX name: that index, checked there.
    if (p->def && checkKeyIndexClause(ctx_, table_, c, *p->def)) continue;
    bool reusable = false;
    for (Index* index :
         created ? std::vector<Index*>() : cat.indexesOn(owner, table_.header.name)) {
      bool same = index->columns.size() == c.columns.size();
      for (size_t i = 0; same && i < c.columns.size(); ++i) {
        same = index->columns[i].name == c.columns[i];
      }
      reusable = reusable || same;
    }
    if (!reusable && cat.findIndex(owner, c.name)) throw OraError(955);
  }
}

void ConstraintInstaller::apply() {
  Catalog& cat = ctx_.catalog;
  // Keys first, so that foreign keys of the same statement find them.
  std::stable_sort(pending_.begin(), pending_.end(), [](const auto& a, const auto& b) {
    return a->constraint->isKey() && !b->constraint->isKey();
  });
  for (auto& p : pending_) {
    Constraint& c = *p->constraint;
    // A key created disabled has no index until it is enabled.
    if (c.isKey() && c.enabled) {
      ensureKeyIndex(ctx_, table_, c, p->def);
    }
    cat.addConstraint(std::move(p->constraint));
  }
  pending_.clear();
  ctx_.catalogChanged = true;
}

}  // namespace ocisim
