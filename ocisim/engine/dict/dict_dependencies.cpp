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
#include "engine/ora_error.h"
#include "engine/sql/ast.h"
#include "engine/sql/parser.h"

namespace ocisim::dict {
namespace {

// One referenced object: owner, name, OBJECT_TYPE.
using Reference = std::tuple<std::string, std::string, std::string>;

class QueryReferences {
 public:
  QueryReferences(const Catalog& catalog, std::string owner)
      : catalog_(catalog), owner_(std::move(owner)) {}

  void query(const sql::Query& q) {
    if (q.block) block(*q.block);
    if (q.left) query(*q.left);
    if (q.right) query(*q.right);
    for (const sql::OrderItem& item : q.orderBy) expr(item.expr.get());
  }

  std::set<Reference> take() { return std::move(found_); }

 private:
  void block(const sql::QueryBlock& b) {
    for (const sql::SelectItem& item : b.items) expr(item.expr.get());
    for (const auto& ref : b.from) tableRef(*ref);
    expr(b.where.get());
    expr(b.startWith.get());
    expr(b.connectBy.get());
    for (const auto& e : b.groupBy) expr(e.get());
    expr(b.having.get());
  }

  void tableRef(const sql::TableRef& ref) {
    switch (ref.kind) {
      case sql::TableRefKind::Table: {
        const std::string owner = ref.schema.empty() ? owner_ : ref.schema;
        if (catalog_.findTable(owner, ref.name)) found_.insert({owner, ref.name, "TABLE"});
        if (catalog_.findView(owner, ref.name)) found_.insert({owner, ref.name, "VIEW"});
        break;
      }
      case sql::TableRefKind::Subquery:
        if (ref.subquery) query(*ref.subquery);
        break;
      case sql::TableRefKind::Join:
        if (ref.left) tableRef(*ref.left);
        if (ref.right) tableRef(*ref.right);
        expr(ref.on.get());
        break;
    }
  }

  void expr(const sql::Expr* e) {
    if (e == nullptr) return;
    if (e->kind == sql::ExprKind::Function) function(e->names);
    if (e->kind == sql::ExprKind::Column && e->names.size() >= 2 &&
        (e->names.back() == "NEXTVAL" || e->names.back() == "CURRVAL")) {
      const std::string owner = e->names.size() == 3 ? e->names[0] : owner_;
      const std::string& name = e->names[e->names.size() - 2];
      if (catalog_.findSequence(owner, name)) found_.insert({owner, name, "SEQUENCE"});
    }
    for (const auto& a : e->args) expr(a.get());
    expr(e->caseOperand.get());
    expr(e->elseExpr.get());
    if (e->query) query(*e->query);
  }

  // F(x), PKG.F(x), OWNER.F(x), OWNER.PKG.F(x).
  void function(const std::vector<std::string>& names) {
    if (names.size() == 1) {
      if (catalog_.findCode(owner_, names[0], ObjectKind::Function))
        found_.insert({owner_, names[0], "FUNCTION"});
      return;
    }
    const std::string& first = names[0];
    if (catalog_.findCode(owner_, first, ObjectKind::Package)) {
      found_.insert({owner_, first, "PACKAGE"});
      return;
    }
    if (names.size() == 2 && catalog_.findCode(first, names[1], ObjectKind::Function))
      found_.insert({first, names[1], "FUNCTION"});
    if (names.size() == 3 && catalog_.findCode(first, names[1], ObjectKind::Package))
      found_.insert({first, names[1], "PACKAGE"});
  }

  const Catalog& catalog_;
  std::string owner_;
  std::set<Reference> found_;
};

// The objects a view's query reads; none when the text does not parse (an invalid view).
std::set<Reference> viewReferences(const Catalog& catalog, const View& view) {
  try {
    std::unique_ptr<sql::Statement> statement = sql::parseStatement(view.text);
    const auto* select = dynamic_cast<const sql::SelectStmt*>(statement.get());
    if (select == nullptr || !select->query) return {};
    QueryReferences references(catalog, view.header.owner);
    references.query(*select->query);
    return references.take();
  } catch (const OraError&) {
    return {};
  }
}

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
