#include "engine/dict/visibility.h"

#include <initializer_list>

namespace ocisim::dict {
namespace {

bool holdsAny(const Catalog& catalog, const std::string& user,
              std::initializer_list<const char*> privileges) {
  for (const char* p : privileges) {
    if (catalog.hasSystemPrivilege(user, p)) return true;
  }
  return false;
}

}  // namespace

Visibility::Visibility(const Catalog& catalog, const std::string& user, bool dba)
    : catalog_(catalog), user_(user), dba_(dba) {
  grantees_ = catalog.enabledRoles(user);
  grantees_.insert(user);
  grantees_.insert("PUBLIC");
  for (const ObjectPrivilegeGrant& g : catalog.objectGrants()) {
    if (!isGrantee(g.grantee)) continue;
    granted_.insert(NameKey(g.owner, g.objectName));
    if (g.privilege == "EXECUTE") executable_.insert(NameKey(g.owner, g.objectName));
  }
  anyTable_ = dba || holdsAny(catalog, user,
                              {"SELECT ANY TABLE", "INSERT ANY TABLE", "UPDATE ANY TABLE",
                               "DELETE ANY TABLE", "LOCK ANY TABLE", "ALTER ANY TABLE"});
  anySequence_ = dba || holdsAny(catalog, user, {"SELECT ANY SEQUENCE", "ALTER ANY SEQUENCE"});
  anyProcedure_ =
      dba || holdsAny(catalog, user,
                      {"EXECUTE ANY PROCEDURE", "CREATE ANY PROCEDURE", "ALTER ANY PROCEDURE",
                       "DROP ANY PROCEDURE", "DEBUG ANY PROCEDURE"});
  anyType_ = dba || holdsAny(catalog, user,
                             {"EXECUTE ANY TYPE", "CREATE ANY TYPE", "ALTER ANY TYPE",
                              "DROP ANY TYPE", "UNDER ANY TYPE"});
  anyTrigger_ = dba || holdsAny(catalog, user,
                                {"CREATE ANY TRIGGER", "ALTER ANY TRIGGER", "DROP ANY TRIGGER"});
  anyIndex_ = dba || holdsAny(catalog, user, {"ALTER ANY INDEX", "DROP ANY INDEX"});
}

bool Visibility::privileged(const std::string& owner, const std::string& name) const {
  return granted_.count(NameKey(owner, name)) > 0;
}

bool Visibility::executable(const std::string& owner, const std::string& name) const {
  return executable_.count(NameKey(owner, name)) > 0;
}

bool Visibility::tableOrView(const std::string& owner, const std::string& name) const {
  return owner == user_ || anyTable_ || privileged(owner, name);
}

bool Visibility::sequence(const std::string& owner, const std::string& name) const {
  return owner == user_ || anySequence_ || privileged(owner, name);
}

bool Visibility::code(const std::string& owner, const std::string& name, ObjectKind kind) const {
  if (owner == user_) return true;
  bool typeKind = kind == ObjectKind::Type || kind == ObjectKind::TypeBody;
  if (typeKind ? anyType_ : anyProcedure_) return true;
  // EXECUTE on a package or type shows its specification, never its body.
  if (kind == ObjectKind::PackageBody || kind == ObjectKind::TypeBody) return false;
  return executable(owner, name);
}

bool Visibility::trigger(const Trigger& t) const {
  return t.header.owner == user_ || t.tableOwner == user_ || anyTrigger_;
}

bool Visibility::index(const Index& i) const {
  return i.header.owner == user_ || anyIndex_ || tableOrView(i.tableOwner, i.tableName);
}

bool Visibility::synonym(const std::string& owner, const std::string& name) const {
  if (owner == user_ || owner == "PUBLIC" || anyTable_) return true;
  const Synonym* s = catalog_.findSynonym(owner, name);
  for (int depth = 0; s && depth < 32; ++depth) {
    auto kind = catalog_.findInMainNamespace(s->tableOwner, s->tableName);
    if (!kind) return false;
    if (*kind != ObjectKind::Synonym) return object(s->tableOwner, s->tableName, *kind);
    s = catalog_.findSynonym(s->tableOwner, s->tableName);
  }
  return false;
}

bool Visibility::object(const std::string& owner, const std::string& name,
                        ObjectKind kind) const {
  switch (kind) {
    case ObjectKind::Synonym:
      return synonym(owner, name);
    case ObjectKind::Table:
    case ObjectKind::View:
      return tableOrView(owner, name);
    case ObjectKind::Sequence:
      return sequence(owner, name);
    case ObjectKind::Index: {
      const Index* i = catalog_.findIndex(owner, name);
      return i && index(*i);
    }
    case ObjectKind::Trigger: {
      const Trigger* t = catalog_.findTrigger(owner, name);
      return t && trigger(*t);
    }
    default:
      return code(owner, name, kind);
  }
}

}  // namespace ocisim::dict
