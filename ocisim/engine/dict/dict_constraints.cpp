// ALL_CONSTRAINTS and ALL_CONS_COLUMNS.
#include <memory>

#include "engine/dict/dict_view.h"
#include "engine/dict/views.h"

namespace ocisim::dict {
namespace {

// The constraints the session user may see (those on tables and views it may see), filtered by
// the pinned OWNER, CONSTRAINT_NAME and TABLE_NAME; a pinned owner with a constraint or table
// name is a lookup.
std::vector<const Constraint*> visibleConstraints(const DictScan& s) {
  const Catalog& cat = s.catalog();
  std::vector<const Constraint*> out;
  auto consider = [&](const Constraint& c) {
    if (s.admits("OWNER", c.owner) && s.admits("CONSTRAINT_NAME", c.name) &&
        s.admits("TABLE_NAME", c.tableName) && s.visibility().tableOrView(c.owner, c.tableName)) {
      out.push_back(&c);
    }
  };
  auto owner = s.pinned("OWNER");
  auto name = s.pinned("CONSTRAINT_NAME");
  auto table = s.pinned("TABLE_NAME");
  if (owner && name) {
    if (const Constraint* c = cat.findConstraint(*owner, *name)) consider(*c);
    return out;
  }
  if (owner && table) {
    for (const Constraint* c : cat.tableConstraints(*owner, *table)) consider(*c);
    return out;
  }
  if (table) {  // a table of any owner: one lookup per user
    for (const auto& [user, record] : cat.users()) {
      for (const Constraint* c : cat.tableConstraints(user, *table)) consider(*c);
    }
    return out;
  }
  for (const auto& [key, c] : cat.constraints()) consider(*c);
  return out;
}

// When the constraint was last enabled or disabled; a record without one dates from its table.
DateTime lastChangeOf(const Catalog& cat, const Constraint& c) {
  if (!(c.lastChange == DateTime())) return c.lastChange;
  const ObjectHeader* h = cat.findHeader(c.owner, c.tableName, ObjectKind::Table);
  if (!h) h = cat.findHeader(c.owner, c.tableName, ObjectKind::View);
  return h ? h->created : c.lastChange;
}

std::shared_ptr<DictView> allConstraints() {
  std::vector<DictColumn> columns = {
      ident("OWNER"),
      ident("CONSTRAINT_NAME"),
      text("CONSTRAINT_TYPE", 1),
      ident("TABLE_NAME"),
      longCol("SEARCH_CONDITION"),
      text("SEARCH_CONDITION_VC", 4000, 1202),
      ident("R_OWNER"),
      ident("R_CONSTRAINT_NAME"),
      text("DELETE_RULE", 9),
      text("STATUS", 8),
      text("DEFERRABLE", 14, 800),
      text("DEFERRED", 9, 800),
      text("VALIDATED", 13, 800),
      text("GENERATED", 14, 800),
      text("BAD", 3, 800),
      text("RELY", 4, 801),
      date("LAST_CHANGE", 800),
      ident("INDEX_OWNER", 900),
      ident("INDEX_NAME", 900),
      text("INVALID", 7, 900),
      text("VIEW_RELATED", 14, 900),
  };
  size_t width = columns.size();
  return std::make_shared<DictView>(
      std::move(columns), [width](const DictScan& s, const RowEmitter& emit) {
        for (const Constraint* c : visibleConstraints(s)) {
          std::string type(1, static_cast<char>(c->type));
          if (!s.admits("CONSTRAINT_TYPE", type)) continue;
          bool foreignKey = c->type == ConstraintType::ForeignKey;
          RowBuilder r(width);
          r.text(c->owner).text(c->name).text(type).text(c->tableName);
          r.text(c->searchCondition).text(c->searchCondition.substr(0, 4000));
          r.text(c->rOwner).text(c->rConstraintName);
          r.text(foreignKey ? deleteRuleName(c->deleteRule) : "");
          r.text(c->enabled ? "ENABLED" : "DISABLED");
          r.text(c->deferrable ? "DEFERRABLE" : "NOT DEFERRABLE");
          r.text(c->deferred ? "DEFERRED" : "IMMEDIATE");
          r.text(c->validated ? "VALIDATED" : "NOT VALIDATED");
          r.text(c->generatedName ? "GENERATED NAME" : "USER NAME").null().null();
          r.date(lastChangeOf(s.catalog(), *c));
          r.text(c->isKey() ? c->indexOwner : "").text(c->isKey() ? c->indexName : "");
          r.null().null();
          emit(r.take());
        }
      });
}

std::shared_ptr<DictView> allConsColumns() {
  std::vector<DictColumn> columns = {ident("OWNER"), ident("CONSTRAINT_NAME"), ident("TABLE_NAME"),
                                     text("COLUMN_NAME", 4000), number("POSITION")};
  size_t width = columns.size();
  return std::make_shared<DictView>(
      std::move(columns), [width](const DictScan& s, const RowEmitter& emit) {
        for (const Constraint* c : visibleConstraints(s)) {
          bool check = c->type == ConstraintType::Check;
          std::vector<std::string> names = c->columns;
          if (names.empty() && !c->notNullColumn.empty()) names.push_back(c->notNullColumn);
          int64_t position = 1;
          for (const std::string& column : names) {
            if (!s.admits("COLUMN_NAME", column)) {
              ++position;
              continue;
            }
            RowBuilder r(width);
            r.text(c->owner).text(c->name).text(c->tableName).text(column);
            // Check constraints have no column order.
            r.number(check ? std::nullopt : std::optional<int64_t>(position));
            ++position;
            emit(r.take());
          }
        }
      });
}

}  // namespace

void addConstraintViews(VirtualTableRegistry& registry) {
  registry.add("ALL_CONSTRAINTS", allConstraints());
  registry.add("ALL_CONS_COLUMNS", allConsColumns());
}

}  // namespace ocisim::dict
