// ALL_DEPENDENCIES: which schema object references which. Computed from the catalog at each
// scan: a view references the tables and views of its query (subqueries, joins and set operations
// included), the sequences it reads and the stored functions and packages it calls; a trigger its
// table or view; a package body its package, a type body its type; an object type the types of
// its attributes; a table the types of its columns. PL/SQL code is kept as source and never
// compiled here, so what a procedure, function or package body references inside its code is not
// shown (Oracle shows it): a known difference (docs/ocisim.md).
#include <memory>
#include <set>
#include <tuple>

#include "engine/dict/dict_view.h"
#include "engine/dict/views.h"
#include "engine/exec/dependencies.h"

namespace ocisim::dict {
namespace {

using Reference = ObjectReference;

void typeReference(const DataType& type, std::set<Reference>& out) {
  if (type.code == TypeCode::Object) out.insert({type.owner, type.name, "TYPE"});
}

std::shared_ptr<DictView> allDependencies() {
  std::vector<DictColumn> columns = {
      ident("OWNER"),
      ident("NAME"),
      text("TYPE", 17),
      ident("REFERENCED_OWNER"),
      ident("REFERENCED_NAME"),
      text("REFERENCED_TYPE", 17),
      text("REFERENCED_LINK_NAME", 128),
      text("DEPENDENCY_TYPE", 4, 900),
  };
  size_t width = columns.size();
  return std::make_shared<DictView>(
      std::move(columns), [width](const DictScan& s, const RowEmitter& emit) {
        const Catalog& cat = s.catalog();
        const auto send = [&](const std::string& owner, const std::string& name, const char* type,
                              const std::set<Reference>& references) {
          if (!s.admits("OWNER", owner) || !s.admits("NAME", name)) return;
          for (const auto& [refOwner, refName, refType] : references) {
            if (!s.admits("REFERENCED_OWNER", refOwner)) continue;
            RowBuilder r(width);
            r.text(owner).text(name).text(type).text(refOwner).text(refName).text(refType);
            r.null().text("HARD");
            emit(r.take());
          }
        };
        for (const auto& [key, v] : cat.views()) {
          const ObjectHeader& h = v->header;
          if (!s.admits("OWNER", h.owner) || !s.visibility().tableOrView(h.owner, h.name)) continue;
          send(h.owner, h.name, "VIEW", viewReferences(cat, *v));
        }
        for (const auto& [key, t] : cat.triggers()) {
          if (!s.admits("OWNER", t->header.owner) || !s.visibility().trigger(*t)) continue;
          send(t->header.owner, t->header.name, "TRIGGER",
               {{t->tableOwner, t->tableName, t->baseObjectType}});
        }
        for (const auto& [key, code] : cat.storedCode()) {
          const ObjectHeader& h = code->header;
          if (!s.admits("OWNER", h.owner) || !s.visibility().code(h.owner, h.name, code->kind))
            continue;
          if (code->kind == ObjectKind::PackageBody &&
              cat.findCode(h.owner, h.name, ObjectKind::Package))
            send(h.owner, h.name, "PACKAGE BODY", {{h.owner, h.name, "PACKAGE"}});
          if (code->kind == ObjectKind::TypeBody && cat.findCode(h.owner, h.name, ObjectKind::Type))
            send(h.owner, h.name, "TYPE BODY", {{h.owner, h.name, "TYPE"}});
          if (code->kind == ObjectKind::Type) {
            std::set<Reference> references;
            if (const ObjectType* type = cat.findObjectType(h.owner, h.name)) {
              for (const ObjectTypeAttribute& a : type->attributes)
                typeReference(a.type, references);
            }
            send(h.owner, h.name, "TYPE", references);
          }
        }
        for (const auto& [key, t] : cat.tables()) {
          const ObjectHeader& h = t->header;
          if (!s.admits("OWNER", h.owner) || !s.visibility().tableOrView(h.owner, h.name)) continue;
          std::set<Reference> references;
          for (const Column& c : t->columns) typeReference(c.type, references);
          send(h.owner, h.name, "TABLE", references);
        }
      });
}

}  // namespace

void addDependencyViews(VirtualTableRegistry& registry) {
  registry.add("ALL_DEPENDENCIES", allDependencies());
}

}  // namespace ocisim::dict
