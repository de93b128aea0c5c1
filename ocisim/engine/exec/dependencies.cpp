#include "engine/exec/dependencies.h"

#include <memory>
#include <utility>

#include "engine/ora_error.h"
#include "engine/sql/ast.h"
#include "engine/sql/parser.h"

namespace ocisim {
namespace {

class QueryReferences {
 public:
  QueryReferences(const Catalog& catalog, std::string owner, bool existingOnly)
      : catalog_(catalog), owner_(std::move(owner)), existingOnly_(existingOnly) {}

  void query(const sql::Query& q) {
    if (q.block) block(*q.block);
    if (q.left) query(*q.left);
    if (q.right) query(*q.right);
    for (const sql::OrderItem& item : q.orderBy) expr(item.expr.get());
  }

  std::set<ObjectReference> take() { return std::move(found_); }

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
        bool any = false;
        if (catalog_.findTable(owner, ref.name)) {
          found_.insert({owner, ref.name, "TABLE"});
          any = true;
        }
        if (catalog_.findView(owner, ref.name)) {
          found_.insert({owner, ref.name, "VIEW"});
          any = true;
        }
        if (!any && !existingOnly_) found_.insert({owner, ref.name, ""});
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
      if (catalog_.findSequence(owner, name)) {
        found_.insert({owner, name, "SEQUENCE"});
      } else if (!existingOnly_) {
        found_.insert({owner, name, ""});
      }
    }
    for (const auto& a : e->args) expr(a.get());
    expr(e->caseOperand.get());
    expr(e->elseExpr.get());
    if (e->query) query(*e->query);
  }

  // F(x), PKG.F(x), OWNER.F(x), OWNER.PKG.F(x).
  void function(const std::vector<std::string>& names) {
    if (!existingOnly_) {
      found_.insert({owner_, names[0], ""});
      if (names.size() >= 2) found_.insert({names[0], names[1], ""});
    }
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
  bool existingOnly_;
  std::set<ObjectReference> found_;
};

}  // namespace

std::set<ObjectReference> viewReferences(const Catalog& catalog, const View& view,
                                         bool existingOnly) {
  try {
    std::unique_ptr<sql::Statement> statement = sql::parseStatement(view.text);
    const auto* select = dynamic_cast<const sql::SelectStmt*>(statement.get());
    if (select == nullptr || !select->query) return {};
    QueryReferences references(catalog, view.header.owner, existingOnly);
    references.query(*select->query);
    std::set<ObjectReference> found = references.take();
    if (!existingOnly) {
      // The unqualified names were also looked up under the own schema only.
      std::set<ObjectReference> out;
      for (const auto& r : found) {
        if (std::get<2>(r).empty()) {
          bool known = false;
          for (const auto& k : found) {
            known = known || (std::get<0>(k) == std::get<0>(r) &&
                              std::get<1>(k) == std::get<1>(r) && !std::get<2>(k).empty());
          }
          if (known) continue;
        }
        out.insert(r);
      }
      return out;
    }
    return found;
  } catch (const OraError&) {
    return {};
  }
}

}  // namespace ocisim
