// DUAL, GLOBAL_NAME, ALL_CATALOG, ALL_OBJECTS, ALL_SYNONYMS and ALL_USERS.
#include <algorithm>
#include <memory>
#include <tuple>

#include "engine/dict/dict_view.h"
#include "engine/dict/views.h"
#include "engine/exec/database.h"

namespace ocisim::dict {
namespace {

// One schema object as ALL_OBJECTS lists it.
struct ObjectEntry {
  const ObjectHeader* header;
  ObjectKind kind;
  bool generated;  // a system-generated name (an index made for a key without a name)
  bool temporary = false;  // a global temporary table
};

bool isOracleMaintained(const std::string& owner) { return owner == "SYS" || owner == "SYSTEM"; }

// Every object the session user may see, filtered by the pinned OWNER, OBJECT_NAME and
// OBJECT_TYPE, ordered by owner, name and type.
std::vector<ObjectEntry> visibleObjects(const DictScan& s, const char* ownerColumn,
                                        const char* nameColumn, const char* typeColumn) {
  std::vector<ObjectEntry> out;
  auto consider = [&](const ObjectHeader& h, ObjectKind kind, bool generated) {
    if (!s.admits(ownerColumn, h.owner) || !s.admits(nameColumn, h.name) ||
        !s.admits(typeColumn, objectTypeName(kind))) {
      return;
    }
    if (s.visibility().object(h.owner, h.name, kind)) out.push_back({&h, kind, generated});
  };
  const Catalog& cat = s.catalog();
  for (const auto& [key, t] : cat.tables()) {
    consider(t->header, ObjectKind::Table, false);
    if (!out.empty() && out.back().header == &t->header) out.back().temporary = t->temporary;
  }
  for (const auto& [key, v] : cat.views()) consider(v->header, ObjectKind::View, false);
  for (const auto& [key, q] : cat.sequences()) consider(q->header, ObjectKind::Sequence, false);
  for (const auto& [key, i] : cat.indexes()) {
    consider(i->header, ObjectKind::Index, i->generatedName);
  }
  for (const auto& [key, c] : cat.storedCode()) consider(c->header, c->kind, false);
  for (const auto& [key, t] : cat.triggers()) consider(t->header, ObjectKind::Trigger, false);
  for (const auto& [key, y] : cat.synonyms()) consider(y->header, ObjectKind::Synonym, false);
  std::sort(out.begin(), out.end(), [](const ObjectEntry& a, const ObjectEntry& b) {
    return std::make_tuple(a.header->owner, a.header->name, std::string(objectTypeName(a.kind))) <
           std::make_tuple(b.header->owner, b.header->name, std::string(objectTypeName(b.kind)));
  });
  return out;
}

// NAMESPACE: 1 tables, views, sequences and code specifications; 2 bodies; 3 triggers; 4
// indexes.
int namespaceOf(ObjectKind kind) {
  switch (kind) {
    case ObjectKind::PackageBody:
    case ObjectKind::TypeBody:
      return 2;
    case ObjectKind::Trigger:
      return 3;
    case ObjectKind::Index:
      return 4;
    default:
      return 1;
  }
}

bool hasSegment(ObjectKind kind) { return kind == ObjectKind::Table || kind == ObjectKind::Index; }

bool isEditionable(ObjectKind kind) {
  return kind != ObjectKind::Table && kind != ObjectKind::Index && kind != ObjectKind::Sequence;
}

// EDITIONABLE: a PUBLIC synonym is not editionable, a private one is.
bool isEditionable(const ObjectEntry& o) {
  if (o.kind == ObjectKind::Synonym) return o.header->owner != "PUBLIC";
  return isEditionable(o.kind);
}

bool hasCollation(ObjectKind kind) {
  return kind != ObjectKind::Index && kind != ObjectKind::Sequence && kind != ObjectKind::Synonym &&
         kind != ObjectKind::PackageBody && kind != ObjectKind::TypeBody;
}

std::shared_ptr<DictView> allObjects() {
  std::vector<DictColumn> columns = {
      ident("OWNER"),
      ident("OBJECT_NAME"),
      ident("SUBOBJECT_NAME", 800),
      number("OBJECT_ID"),
      number("DATA_OBJECT_ID", 800),
      text("OBJECT_TYPE", 23),
      date("CREATED"),
      date("LAST_DDL_TIME"),
      text("TIMESTAMP", 19),
      text("STATUS", 7),
      text("TEMPORARY", 1, 800),
      text("GENERATED", 1, 800),
      text("SECONDARY", 1, 801),
      number("NAMESPACE", 1000),
      ident("EDITION_NAME", 1102),
      text("SHARING", 18, 1201),
      text("EDITIONABLE", 1, 1201),
      text("ORACLE_MAINTAINED", 1, 1201),
      text("APPLICATION", 1, 1202),
      text("DEFAULT_COLLATION", 100, 1202),
      text("DUPLICATED", 1, 1202),
      text("SHARDED", 1, 1202),
  };
  size_t width = columns.size();
  return std::make_shared<DictView>(
      std::move(columns), [width](const DictScan& s, const RowEmitter& emit) {
        for (const ObjectEntry& o : visibleObjects(s, "OWNER", "OBJECT_NAME", "OBJECT_TYPE")) {
          const ObjectHeader& h = *o.header;
          RowBuilder r(width);
          r.text(h.owner).text(h.name).null().number(h.objectId);
          if (hasSegment(o.kind)) {
            r.number(h.objectId);
          } else {
            r.null();
          }
          r.text(objectTypeName(o.kind)).date(h.created).date(h.lastDdlTime);
          r.text(timestampText(h.lastDdlTime)).text(h.valid ? "VALID" : "INVALID");
          r.yn(o.temporary).yn(o.generated).yn(false).number(int64_t{namespaceOf(o.kind)}).null();
          r.text("NONE");
          if (isEditionable(o)) {
            r.yn(true);
          } else {
            r.null();
          }
          r.yn(isOracleMaintained(h.owner)).yn(false);
          r.text(hasCollation(o.kind) ? "USING_NLS_COMP" : "").yn(false).yn(false);
          emit(r.take());
        }
      });
}

// ALL_CATALOG: the tables, views, sequences and synonyms (clusters do not exist here).
std::shared_ptr<DictView> allCatalog() {
  std::vector<DictColumn> columns = {ident("OWNER"), ident("TABLE_NAME"), text("TABLE_TYPE", 11)};
  return std::make_shared<DictView>(std::move(columns), [](const DictScan& s,
                                                           const RowEmitter& emit) {
    for (const ObjectEntry& o : visibleObjects(s, "OWNER", "TABLE_NAME", "TABLE_TYPE")) {
      if (o.kind != ObjectKind::Table && o.kind != ObjectKind::View &&
          o.kind != ObjectKind::Sequence && o.kind != ObjectKind::Synonym) {
        continue;
      }
      emit(RowBuilder(3).text(o.header->owner).text(o.header->name).text(objectTypeName(o.kind))
               .take());
    }
  });
}

// ALL_SYNONYMS: the synonyms the user may see (Visibility::synonym). DB_LINK is always NULL:
// there are no database links.
std::shared_ptr<DictView> allSynonyms() {
  std::vector<DictColumn> columns = {ident("OWNER"), ident("SYNONYM_NAME"), ident("TABLE_OWNER"),
                                     ident("TABLE_NAME"), text("DB_LINK", 128),
                                     number("ORIGIN_CON_ID", 1201)};
  size_t width = columns.size();
  return std::make_shared<DictView>(
      std::move(columns), [width](const DictScan& s, const RowEmitter& emit) {
        for (const auto& [key, y] : s.catalog().synonyms()) {
          const ObjectHeader& h = y->header;
          if (!s.admits("OWNER", h.owner) || !s.admits("SYNONYM_NAME", h.name) ||
              !s.admits("TABLE_OWNER", y->tableOwner) || !s.admits("TABLE_NAME", y->tableName) ||
              !s.visibility().synonym(h.owner, h.name)) {
            continue;
          }
          RowBuilder r(width);
          r.text(h.owner).text(h.name).text(y->tableOwner).text(y->tableName).null();
          r.number(int64_t{0});
          emit(r.take());
        }
      });
}

// ALL_USERS: every user, whoever asks (as in Oracle).
std::shared_ptr<DictView> allUsers() {
  std::vector<DictColumn> columns = {
      ident("USERNAME"),
      number("USER_ID"),
      date("CREATED"),
      text("COMMON", 3, 1201),
      text("ORACLE_MAINTAINED", 1, 1201),
      text("INHERITED", 3, 1202),
      text("DEFAULT_COLLATION", 100, 1202),
      text("IMPLICIT", 3, 1202),
      text("ALL_SHARD", 3, 1800),
  };
  size_t width = columns.size();
  return std::make_shared<DictView>(
      std::move(columns), [width](const DictScan& s, const RowEmitter& emit) {
        for (const auto& [name, u] : s.catalog().users()) {
          if (!s.admits("USERNAME", u->name)) continue;
          RowBuilder r(width);
          r.text(u->name).number(u->userId).date(u->created).yesNo(false);
          r.yn(isOracleMaintained(u->name)).yesNo(false).text("USING_NLS_COMP").yesNo(false);
          r.yesNo(false);
          emit(r.take());
        }
      });
}

}  // namespace

void addObjectViews(VirtualTableRegistry& registry) {
  registry.add("DUAL", std::make_shared<DictView>(
                           std::vector<DictColumn>{text("DUMMY", 1)},
                           [](const DictScan&, const RowEmitter& emit) {
                             emit(RowBuilder(1).text("X").take());
                           }));
  registry.add("GLOBAL_NAME", std::make_shared<DictView>(
                                  std::vector<DictColumn>{text("GLOBAL_NAME", 4000)},
                                  [](const DictScan& s, const RowEmitter& emit) {
                                    emit(RowBuilder(1).text(s.ctx.database.globalName()).take());
                                  }));
  registry.add("ALL_CATALOG", allCatalog());
  registry.add("ALL_OBJECTS", allObjects());
  registry.add("ALL_SYNONYMS", allSynonyms());
  registry.add("ALL_USERS", allUsers());
}

}  // namespace ocisim::dict
