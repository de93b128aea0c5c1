#include "engine/exec/catalog.h"

#include <algorithm>
#include <cstdio>

namespace ocisim {
namespace {

constexpr const char* kObjectTypeNames[] = {
    "TABLE",   "VIEW",         "INDEX", "SEQUENCE",  "PROCEDURE", "FUNCTION",
    "PACKAGE", "PACKAGE BODY", "TYPE",  "TYPE BODY", "TRIGGER",   "SYNONYM",
};

template <class Map>
typename Map::mapped_type::pointer findIn(const Map& map, const std::string& owner,
                                          const std::string& name) {
  auto it = map.find(NameKey(owner, name));
  return it == map.end() ? nullptr : it->second.get();
}

}  // namespace

const char* objectTypeName(ObjectKind kind) {
  return kObjectTypeNames[static_cast<int>(kind)];
}

std::optional<ObjectKind> objectKindFromName(const std::string& upperName) {
  for (int i = 0; i <= static_cast<int>(ObjectKind::Synonym); ++i) {
    if (upperName == kObjectTypeNames[i]) return static_cast<ObjectKind>(i);
  }
  return std::nullopt;
}

bool isStoredCodeKind(ObjectKind kind) {
  return kind >= ObjectKind::Procedure && kind <= ObjectKind::Trigger;
}

const char* deleteRuleName(DeleteRule rule) {
  switch (rule) {
    case DeleteRule::Cascade:
      return "CASCADE";
    case DeleteRule::SetNull:
      return "SET NULL";
    case DeleteRule::NoAction:
      break;
  }
  return "NO ACTION";
}

int Table::columnIndex(const std::string& columnName) const {
  for (size_t i = 0; i < columns.size(); ++i) {
    if (columns[i].name == columnName) return static_cast<int>(i);
  }
  return -1;
}

std::string Catalog::allocateSystemName() {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "SYS_C%06lld",
                static_cast<long long>(counters_.nextConstraintNumber++));
  return buffer;
}

// ---- users and roles ----

User* Catalog::findUser(const std::string& name) const {
  auto it = users_.find(name);
  return it == users_.end() ? nullptr : it->second.get();
}

Role* Catalog::findRole(const std::string& name) const {
  auto it = roles_.find(name);
  return it == roles_.end() ? nullptr : it->second.get();
}

User& Catalog::addUser(std::unique_ptr<User> user) {
  std::string key = user->name;
  bumpVersion();
  return *(users_[key] = std::move(user));
}

Role& Catalog::addRole(std::unique_ptr<Role> role) {
  std::string key = role->name;
  bumpVersion();
  return *(roles_[key] = std::move(role));
}

std::vector<Tablespace> builtinTablespaces(int majorVersion) {
  std::vector<Tablespace> out = {{"SYSTEM", "PERMANENT"}};
  if (majorVersion >= 10) out.push_back({"SYSAUX", "PERMANENT"});
  out.push_back({"TEMP", "TEMPORARY"});
  out.push_back({"USERS", "PERMANENT"});
  return out;
}

Tablespace* Catalog::findTablespace(const std::string& name) const {
  auto it = tablespaces_.find(name);
  return it == tablespaces_.end() ? nullptr : it->second.get();
}

Tablespace& Catalog::addTablespace(std::unique_ptr<Tablespace> t) {
  std::string key = t->name;
  bumpVersion();
  return *(tablespaces_[key] = std::move(t));
}

void Catalog::removeTablespace(const std::string& name) {
  tablespaces_.erase(name);
  bumpVersion();
}

Catalog::UserTablespaces Catalog::userTablespaces(const std::string& user) const {
  auto it = userTablespaces_.find(user);
  return it == userTablespaces_.end() ? UserTablespaces{} : it->second;
}

void Catalog::setUserTablespaces(const std::string& user, const UserTablespaces& t) {
  if (t == UserTablespaces{}) {
    userTablespaces_.erase(user);
  } else {
    userTablespaces_[user] = t;
  }
  bumpVersion();
}

void Catalog::removeUser(const std::string& name) {
  users_.erase(name);
  userTablespaces_.erase(name);
  std::erase_if(systemGrants_, [&](const auto& g) { return g.grantee == name; });
  std::erase_if(roleGrants_, [&](const auto& g) { return g.grantee == name; });
  std::erase_if(objectGrants_, [&](const auto& g) {
    return g.grantee == name || g.grantor == name || g.owner == name;
  });
  bumpVersion();
}

void Catalog::removeRole(const std::string& name) {
  roles_.erase(name);
  std::erase_if(systemGrants_, [&](const auto& g) { return g.grantee == name; });
  std::erase_if(roleGrants_, [&](const auto& g) { return g.grantee == name || g.role == name; });
  std::erase_if(objectGrants_, [&](const auto& g) { return g.grantee == name; });
  bumpVersion();
}

// ---- grants ----

void Catalog::grantSystemPrivilege(const SystemPrivilegeGrant& g) {
  bumpVersion();
  for (auto& existing : systemGrants_) {
    if (existing.grantee == g.grantee && existing.privilege == g.privilege) {
      existing.adminOption = existing.adminOption || g.adminOption;
      return;
    }
  }
  systemGrants_.push_back(g);
}

void Catalog::grantRole(const RoleGrant& g) {
  bumpVersion();
  for (auto& existing : roleGrants_) {
    if (existing.grantee == g.grantee && existing.role == g.role) {
      existing.adminOption = existing.adminOption || g.adminOption;
      return;
    }
  }
  roleGrants_.push_back(g);
}

void Catalog::grantObjectPrivilege(const ObjectPrivilegeGrant& g) {
  bumpVersion();
  for (auto& e : objectGrants_) {
    if (e.grantee == g.grantee && e.owner == g.owner && e.objectName == g.objectName &&
        e.privilege == g.privilege && e.grantor == g.grantor && e.column == g.column) {
      e.grantable = e.grantable || g.grantable;
      return;
    }
  }
  objectGrants_.push_back(g);
}

bool Catalog::revokeSystemPrivilege(const std::string& grantee, const std::string& privilege) {
  bumpVersion();
  return std::erase_if(systemGrants_, [&](const auto& g) {
           return g.grantee == grantee && g.privilege == privilege;
         }) > 0;
}

bool Catalog::revokeRole(const std::string& grantee, const std::string& role) {
  bumpVersion();
  return std::erase_if(roleGrants_,
                       [&](const auto& g) { return g.grantee == grantee && g.role == role; }) > 0;
}

int Catalog::revokeObjectPrivilege(const std::string& grantee, const std::string& owner,
                                   const std::string& object, const std::string& privilege,
                                   const std::string& grantor) {
  bumpVersion();
  auto sameGrant = [&](const ObjectPrivilegeGrant& g) {
    return g.owner == owner && g.objectName == object && g.privilege == privilege;
  };
  int removed = static_cast<int>(std::erase_if(objectGrants_, [&](const auto& g) {
    return sameGrant(g) && g.grantee == grantee && (grantor.empty() || g.grantor == grantor);
  }));
  // Cascade through the grants the grantee passed on with its grant option.
  std::vector<std::string> pending = {grantee};
  std::set<std::string> done;
  while (!pending.empty()) {
    std::string grantor = pending.back();
    pending.pop_back();
    if (!done.insert(grantor).second) continue;
    removed += static_cast<int>(std::erase_if(objectGrants_, [&](const auto& g) {
      if (!sameGrant(g) || g.grantor != grantor) return false;
      pending.push_back(g.grantee);
      return true;
    }));
  }
  return removed;
}

void Catalog::removeObjectGrants(const std::string& owner, const std::string& object) {
  bumpVersion();
  std::erase_if(objectGrants_,
                [&](const auto& g) { return g.owner == owner && g.objectName == object; });
}

void Catalog::removeColumnGrants(const std::string& owner, const std::string& object,
                                 const std::string& column) {
  bumpVersion();
  std::erase_if(objectGrants_, [&](const auto& g) {
    return g.owner == owner && g.objectName == object && g.column == column;
  });
}

void Catalog::renameColumnGrants(const std::string& owner, const std::string& object,
                                 const std::string& from, const std::string& to) {
  bumpVersion();
  for (auto& g : objectGrants_) {
    if (g.owner == owner && g.objectName == object && g.column == from) g.column = to;
  }
}

std::set<std::string> Catalog::enabledRoles(const std::string& grantee) const {
  std::set<std::string> roles;
  std::vector<std::string> pending = {grantee, "PUBLIC"};
  while (!pending.empty()) {
    std::string who = pending.back();
    pending.pop_back();
    for (const auto& g : roleGrants_) {
      if (g.grantee == who && roles.insert(g.role).second) pending.push_back(g.role);
    }
  }
  return roles;
}

bool Catalog::isDba(const std::string& user) const {
  return user == "SYS" || enabledRoles(user).count("DBA") > 0;
}

bool Catalog::hasSystemPrivilege(const std::string& user, const std::string& privilege) const {
  if (isDba(user)) return true;
  std::set<std::string> holders = enabledRoles(user);
  holders.insert(user);
  holders.insert("PUBLIC");
  for (const auto& g : systemGrants_) {
    if (g.privilege == privilege && holders.count(g.grantee)) return true;
  }
  return false;
}

bool Catalog::hasObjectPrivilege(const std::string& user, const std::string& owner,
                                 const std::string& object, const std::string& privilege) const {
  std::set<std::string> holders = enabledRoles(user);
  holders.insert(user);
  holders.insert("PUBLIC");
  for (const auto& g : objectGrants_) {
    if (g.owner == owner && g.objectName == object && g.privilege == privilege &&
        g.column.empty() && holders.count(g.grantee)) {
      return true;
    }
  }
  return false;
}

std::set<std::string> Catalog::columnPrivileges(const std::string& user, const std::string& owner,
                                                const std::string& object,
                                                const std::string& privilege) const {
  std::set<std::string> holders = enabledRoles(user);
  holders.insert(user);
  holders.insert("PUBLIC");
  std::set<std::string> columns;
  for (const auto& g : objectGrants_) {
    if (g.owner == owner && g.objectName == object && g.privilege == privilege &&
        !g.column.empty() && holders.count(g.grantee)) {
      columns.insert(g.column);
    }
  }
  return columns;
}

bool Catalog::hasAnyObjectPrivilege(const std::string& user, const std::string& owner,
                                    const std::string& object) const {
  std::set<std::string> holders = enabledRoles(user);
  holders.insert(user);
  holders.insert("PUBLIC");
  for (const auto& g : objectGrants_) {
    if (g.owner == owner && g.objectName == object && holders.count(g.grantee)) return true;
  }
  return false;
}

// ---- schema objects ----

Table* Catalog::findTable(const std::string& o, const std::string& n) const {
  return findIn(tables_, o, n);
}
View* Catalog::findView(const std::string& o, const std::string& n) const {
  return findIn(views_, o, n);
}
Index* Catalog::findIndex(const std::string& o, const std::string& n) const {
  return findIn(indexes_, o, n);
}
Sequence* Catalog::findSequence(const std::string& o, const std::string& n) const {
  return findIn(sequences_, o, n);
}
Constraint* Catalog::findConstraint(const std::string& o, const std::string& n) const {
  return findIn(constraints_, o, n);
}
Trigger* Catalog::findTrigger(const std::string& o, const std::string& n) const {
  return findIn(triggers_, o, n);
}
ObjectType* Catalog::findObjectType(const std::string& o, const std::string& n) const {
  return findIn(types_, o, n);
}

StoredCode* Catalog::findCode(const std::string& owner, const std::string& name,
                              ObjectKind kind) const {
  auto it = code_.find(CodeKey(owner, name, kind));
  return it == code_.end() ? nullptr : it->second.get();
}

std::optional<ObjectKind> Catalog::findInMainNamespace(const std::string& owner,
                                                       const std::string& name) const {
  if (findTable(owner, name)) return ObjectKind::Table;
  if (findView(owner, name)) return ObjectKind::View;
  if (findSequence(owner, name)) return ObjectKind::Sequence;
  for (ObjectKind k :
       {ObjectKind::Procedure, ObjectKind::Function, ObjectKind::Package, ObjectKind::Type}) {
    if (findCode(owner, name, k)) return k;
  }
  if (findSynonym(owner, name)) return ObjectKind::Synonym;
  return std::nullopt;
}

const ObjectHeader* Catalog::findHeader(const std::string& owner, const std::string& name,
                                        ObjectKind kind) const {
  switch (kind) {
    case ObjectKind::Table: {
      auto* t = findTable(owner, name);
      return t ? &t->header : nullptr;
    }
    case ObjectKind::View: {
      auto* v = findView(owner, name);
      return v ? &v->header : nullptr;
    }
    case ObjectKind::Index: {
      auto* i = findIndex(owner, name);
      return i ? &i->header : nullptr;
    }
    case ObjectKind::Sequence: {
      auto* s = findSequence(owner, name);
      return s ? &s->header : nullptr;
    }
    case ObjectKind::Trigger: {
      auto* t = findTrigger(owner, name);
      return t ? &t->header : nullptr;
    }
    case ObjectKind::Synonym: {
      auto* s = findSynonym(owner, name);
      return s ? &s->header : nullptr;
    }
    default: {
      auto* c = findCode(owner, name, kind);
      return c ? &c->header : nullptr;
    }
  }
}

Table& Catalog::addTable(std::unique_ptr<Table> t) {
  NameKey key(t->header.owner, t->header.name);
  bumpVersion();
  return *(tables_[key] = std::move(t));
}
View& Catalog::addView(std::unique_ptr<View> v) {
  NameKey key(v->header.owner, v->header.name);
  bumpVersion();
  return *(views_[key] = std::move(v));
}
Index& Catalog::addIndex(std::unique_ptr<Index> i) {
  NameKey key(i->header.owner, i->header.name);
  bumpVersion();
  return *(indexes_[key] = std::move(i));
}
Sequence& Catalog::addSequence(std::unique_ptr<Sequence> s) {
  NameKey key(s->header.owner, s->header.name);
  bumpVersion();
  return *(sequences_[key] = std::move(s));
}
Constraint& Catalog::addConstraint(std::unique_ptr<Constraint> c) {
  NameKey key(c->owner, c->name);
  bumpVersion();
  return *(constraints_[key] = std::move(c));
}
Trigger& Catalog::addTrigger(std::unique_ptr<Trigger> t) {
  NameKey key(t->header.owner, t->header.name);
  bumpVersion();
  return *(triggers_[key] = std::move(t));
}
StoredCode& Catalog::addCode(std::unique_ptr<StoredCode> c) {
  CodeKey key(c->header.owner, c->header.name, c->kind);
  bumpVersion();
  return *(code_[key] = std::move(c));
}
ObjectType& Catalog::addObjectType(std::unique_ptr<ObjectType> t) {
  NameKey key(t->owner, t->name);
  bumpVersion();
  return *(types_[key] = std::move(t));
}

void Catalog::removeTable(const std::string& o, const std::string& n) {
  tables_.erase(NameKey(o, n));
  bumpVersion();
}
void Catalog::removeView(const std::string& o, const std::string& n) {
  views_.erase(NameKey(o, n));
  // Its WITH READ ONLY / WITH CHECK OPTION constraint goes with it.
  for (Constraint* c : constraintsOf(o, n)) {
    if (c->type == ConstraintType::ViewReadOnly || c->type == ConstraintType::ViewCheckOption) {
      constraints_.erase(NameKey(o, c->name));
      break;  // a view has at most one
    }
  }
  bumpVersion();
}
void Catalog::removeIndex(const std::string& o, const std::string& n) {
  indexes_.erase(NameKey(o, n));
  bumpVersion();
}
void Catalog::removeSequence(const std::string& o, const std::string& n) {
  sequences_.erase(NameKey(o, n));
  bumpVersion();
}
void Catalog::removeConstraint(const std::string& o, const std::string& n) {
  constraints_.erase(NameKey(o, n));
  bumpVersion();
}
void Catalog::removeTrigger(const std::string& o, const std::string& n) {
  triggers_.erase(NameKey(o, n));
  bumpVersion();
}
void Catalog::removeCode(const std::string& o, const std::string& n, ObjectKind kind) {
  code_.erase(CodeKey(o, n, kind));
  bumpVersion();
}
void Catalog::removeObjectType(const std::string& o, const std::string& n) {
  types_.erase(NameKey(o, n));
  bumpVersion();
}

Synonym* Catalog::findSynonym(const std::string& o, const std::string& n) const {
  return findIn(synonyms_, o, n);
}
Synonym& Catalog::addSynonym(std::unique_ptr<Synonym> s) {
  NameKey key(s->header.owner, s->header.name);
  bumpVersion();
  return *(synonyms_[key] = std::move(s));
}
void Catalog::removeSynonym(const std::string& o, const std::string& n) {
  synonyms_.erase(NameKey(o, n));
  bumpVersion();
}

namespace {

// Moves the record keyed (owner, from) of a name-keyed map to (owner, to).
template <class Map>
bool renameRecord(Map& map, const std::string& owner, const std::string& from,
                  const std::string& to) {
  auto node = map.extract(NameKey(owner, from));
  if (node.empty()) return false;
  node.key() = NameKey(owner, to);
  node.mapped()->header.name = to;
  map.insert(std::move(node));
  return true;
}

}  // namespace

void Catalog::moveObjectEntries(const std::string& owner, const std::string& from,
                                const std::string& to) {
  for (auto& g : objectGrants_) {
    if (g.owner == owner && g.objectName == from) g.objectName = to;
  }
  std::map<CommentKey, std::string> moved;
  std::erase_if(comments_, [&](const auto& entry) {
    const auto& [o, object, column] = entry.first;
    if (o != owner || object != from) return false;
    moved[CommentKey(owner, to, column)] = entry.second;
    return true;
  });
  comments_.merge(moved);
  bumpVersion();
}

void Catalog::renameTable(const std::string& owner, const std::string& from,
                          const std::string& to) {
  if (renameRecord(tables_, owner, from, to)) moveObjectEntries(owner, from, to);
}

void Catalog::renameView(const std::string& owner, const std::string& from,
                         const std::string& to) {
  if (!renameRecord(views_, owner, from, to)) return;
  for (auto& [key, c] : constraints_) {
    if (c->owner == owner && c->tableName == from) c->tableName = to;
  }
  for (auto& [key, t] : triggers_) {
    if (t->tableOwner == owner && t->tableName == from) t->tableName = to;
  }
  moveObjectEntries(owner, from, to);
}

void Catalog::renameSequence(const std::string& owner, const std::string& from,
                             const std::string& to) {
  if (renameRecord(sequences_, owner, from, to)) moveObjectEntries(owner, from, to);
}

void Catalog::setComment(const std::string& owner, const std::string& object,
                         const std::string& column, const std::string& text) {
  comments_[CommentKey(owner, object, column)] = text;
  bumpVersion();
}

void Catalog::moveColumnComment(const std::string& owner, const std::string& object,
                                const std::string& from, const std::string& to) {
  auto it = comments_.find(CommentKey(owner, object, from));
  if (from.empty() || it == comments_.end()) return;
  std::string text = std::move(it->second);
  comments_.erase(it);
  if (!to.empty()) comments_[CommentKey(owner, object, to)] = std::move(text);
  bumpVersion();
}

void Catalog::removeComments(const std::string& owner, const std::string& object) {
  std::erase_if(comments_, [&](const auto& entry) {
    return std::get<0>(entry.first) == owner && std::get<1>(entry.first) == object;
  });
  bumpVersion();
}

// ---- relations ----

std::vector<Constraint*> Catalog::constraintsOf(const std::string& owner,
                                                const std::string& table) const {
  std::vector<Constraint*> out;
  auto it = constraints_.lower_bound(NameKey(owner, ""));
  for (; it != constraints_.end() && it->first.first == owner; ++it) {
    if (it->second->tableName == table) out.push_back(it->second.get());
  }
  return out;
}

std::vector<Index*> Catalog::indexesOn(const std::string& owner, const std::string& table) const {
  std::vector<Index*> out;
  for (const auto& [key, index] : indexes_) {
    if (index->tableOwner == owner && index->tableName == table) out.push_back(index.get());
  }
  return out;
}

const Catalog::TableObjects& Catalog::objectsOf(const std::string& owner,
                                                const std::string& table) const {
  static const TableObjects kNone;
  if (byTableVersion_ != version_) {
    byTable_.clear();
    for (const auto& [key, c] : constraints_) {
      byTable_[NameKey(key.first, c->tableName)].constraints.push_back(c.get());
    }
    for (const auto& [key, index] : indexes_) {
      byTable_[NameKey(index->tableOwner, index->tableName)].indexes.push_back(index.get());
    }
    byTableVersion_ = version_;
  }
  auto it = byTable_.find(NameKey(owner, table));
  return it == byTable_.end() ? kNone : it->second;
}

const std::vector<Constraint*>& Catalog::tableConstraints(const std::string& owner,
                                                          const std::string& table) const {
  return objectsOf(owner, table).constraints;
}

const std::vector<Index*>& Catalog::tableIndexes(const std::string& owner,
                                                 const std::string& table) const {
  return objectsOf(owner, table).indexes;
}

std::vector<Trigger*> Catalog::triggersOn(const std::string& owner,
                                          const std::string& table) const {
  std::vector<Trigger*> out;
  for (const auto& [key, trigger] : triggers_) {
    if (trigger->tableOwner == owner && trigger->tableName == table) out.push_back(trigger.get());
  }
  return out;
}

std::vector<Constraint*> Catalog::foreignKeysReferencing(const std::string& owner,
                                                         const std::string& name) const {
  std::vector<Constraint*> out;
  for (const auto& [key, c] : constraints_) {
    if (c->type == ConstraintType::ForeignKey && c->rOwner == owner && c->rConstraintName == name) {
      out.push_back(c.get());
    }
  }
  return out;
}

Constraint* Catalog::primaryKeyOf(const std::string& owner, const std::string& table) const {
  for (Constraint* c : constraintsOf(owner, table)) {
    if (c->type == ConstraintType::PrimaryKey) return c;
  }
  return nullptr;
}

bool Catalog::isNullable(const std::string& owner, const std::string& table,
                         const std::string& column) const {
  for (Constraint* c : tableConstraints(owner, table)) {
    if (c->type == ConstraintType::Check && c->notNullColumn == column && c->enabled) return false;
    if (c->type == ConstraintType::PrimaryKey && c->enabled &&
        std::find(c->columns.begin(), c->columns.end(), column) != c->columns.end()) {
      return false;
    }
  }
  return true;
}

}  // namespace ocisim
