// DROP of every object kind, users (CASCADE) and roles.
#include <algorithm>

#include "engine/exec/ddl_util.h"
#include "engine/exec/executor.h"
#include "engine/exec/synonyms.h"
#include "engine/ora_error.h"

namespace ocisim {
namespace {

void dropTableObject(ExecContext& ctx, Table& table, bool cascade) {
  Catalog& cat = ctx.catalog;
  const std::string owner = table.header.owner;
  const std::string name = table.header.name;
  for (Constraint* key : cat.constraintsOf(owner, name)) {
    if (!key->isKey()) continue;
    for (Constraint* fk : cat.foreignKeysReferencing(owner, key->name)) {
      bool self = fk->owner == owner && fk->tableName == name;
      if (!self && !cascade) throw OraError(2449);
    }
  }
  for (Constraint* key : cat.constraintsOf(owner, name)) {
    if (!key->isKey()) continue;
    for (Constraint* fk : cat.foreignKeysReferencing(owner, key->name)) {
      cat.removeConstraint(fk->owner, fk->name);
    }
  }
  invalidateDependents(ctx, owner, name);
  for (Constraint* c : cat.constraintsOf(owner, name)) cat.removeConstraint(owner, c->name);
  for (Index* i : cat.indexesOn(owner, name)) cat.removeIndex(i->header.owner, i->header.name);
  for (Trigger* t : cat.triggersOn(owner, name)) cat.removeTrigger(t->header.owner, t->header.name);
  cat.removeObjectGrants(owner, name);
  cat.removeComments(owner, name);
  cat.removeTable(owner, name);
}

void dropCode(ExecContext& ctx, const std::string& owner, const std::string& name, ObjectKind kind,
              bool force) {
  Catalog& cat = ctx.catalog;
  if (!cat.findCode(owner, name, kind)) {
    throw OraError(4043, {owner == ctx.user() ? name : owner + "." + name});
  }
  bool isType = kind == ObjectKind::Type || kind == ObjectKind::TypeBody;
  requireOwnerOr(ctx, owner, isType ? "DROP ANY TYPE" : "DROP ANY PROCEDURE");
  if (kind == ObjectKind::Type && !force) {
    for (const auto& [key, table] : cat.tables()) {
      for (const Column& c : table->columns) {
        if (c.type.code == TypeCode::Object && c.type.owner == owner && c.type.name == name) {
          throw OraError(2303);
        }
      }
    }
    // Nor while another type uses it, as Oracle refuses too.
    for (const auto& [key, type] : cat.objectTypes()) {
      if (type->owner == owner && type->name == name) continue;
      for (const auto& a : type->attributes) {
        if (a.type.code == TypeCode::Object && a.type.owner == owner && a.type.name == name) {
          throw OraError(2303);
        }
      }
    }
  }
  if (kind == ObjectKind::Function || kind == ObjectKind::Package) {
    invalidateDependents(ctx, owner, name);
  }
  cat.removeCode(owner, name, kind);
  if (kind == ObjectKind::Package) cat.removeCode(owner, name, ObjectKind::PackageBody);
  if (kind == ObjectKind::Type) {
    cat.removeCode(owner, name, ObjectKind::TypeBody);
    cat.removeObjectType(owner, name);
  }
  if (kind != ObjectKind::PackageBody && kind != ObjectKind::TypeBody) {
    cat.removeObjectGrants(owner, name);
  }
}

// Everything a user owns, for DROP USER CASCADE.
void dropSchema(ExecContext& ctx, const std::string& owner) {
  Catalog& cat = ctx.catalog;
  std::vector<std::string> names;
  for (const auto& [key, t] : cat.triggers()) {
    if (key.first == owner) names.push_back(key.second);
  }
  for (const auto& n : names) cat.removeTrigger(owner, n);
  names.clear();
  // Its private synonyms (synonyms of other schemas that name its objects stay, invalid).
  for (const auto& [key, s] : cat.synonyms()) {
    if (key.first == owner) names.push_back(key.second);
  }
  for (const auto& n : names) cat.removeSynonym(owner, n);
  names.clear();
  for (const auto& [key, v] : cat.views()) {
    if (key.first == owner) names.push_back(key.second);
  }
  for (const auto& n : names) {
    invalidateDependents(ctx, owner, n);
    cat.removeView(owner, n);
    cat.removeObjectGrants(owner, n);
  }
  names.clear();
  for (const auto& [key, t] : cat.tables()) {
    if (key.first == owner) names.push_back(key.second);
  }
  for (const auto& n : names) {
    if (Table* t = cat.findTable(owner, n)) dropTableObject(ctx, *t, true);
  }
  names.clear();
  for (const auto& [key, s] : cat.sequences()) {
    if (key.first == owner) names.push_back(key.second);
  }
  for (const auto& n : names) cat.removeSequence(owner, n);
  std::vector<Catalog::CodeKey> code;
  for (const auto& [key, c] : cat.storedCode()) {
    if (std::get<0>(key) == owner) code.push_back(key);
  }
  for (const auto& k : code) cat.removeCode(std::get<0>(k), std::get<1>(k), std::get<2>(k));
  names.clear();
  for (const auto& [key, t] : cat.objectTypes()) {
    if (key.first == owner) names.push_back(key.second);
  }
  for (const auto& n : names) cat.removeObjectType(owner, n);
  std::vector<Index*> indexes;
  for (const auto& [key, index] : cat.indexes()) {
    if (key.first == owner) indexes.push_back(index.get());
  }
  for (Index* index : indexes) {
    if (Table* t = cat.findTable(index->tableOwner, index->tableName)) {
      t->data->dropIndex(index->header.name);
    }
    cat.removeIndex(index->header.owner, index->header.name);
  }
}

bool ownsObjects(const Catalog& cat, const std::string& owner) {
  auto owned = [&](const auto& map) {
    for (const auto& [key, v] : map) {
      if (key.first == owner) return true;
    }
    return false;
  };
  for (const auto& [key, c] : cat.storedCode()) {
    if (std::get<0>(key) == owner) return true;
  }
  return owned(cat.tables()) || owned(cat.views()) || owned(cat.sequences()) ||
         owned(cat.triggers()) || owned(cat.indexes()) || owned(cat.synonyms());
}

}  // namespace

// DROP TABLESPACE name [INCLUDING CONTENTS [AND DATAFILES] [CASCADE CONSTRAINTS]]: a tablespace
// holding tables or indexes needs INCLUDING CONTENTS (ORA-01549), which drops them. The built-in
// ones stay: SYSTEM (ORA-01550), SYSAUX (ORA-13501), and the default permanent and temporary
// tablespaces USERS (ORA-12919) and TEMP (ORA-12906). Users whose default tablespace it was
// fall back to USERS and TEMP.
void dropTablespace(ExecContext& ctx, const sql::DropStmt& stmt) {
  Catalog& cat = ctx.catalog;
  const std::string& name = stmt.name.name;
  if (!cat.hasSystemPrivilege(ctx.user(), "DROP TABLESPACE")) throw OraError(1031);
  if (!tablespaceContents(ctx, name)) throw OraError(959, {name});
  if (name == "SYSTEM") throw OraError(1550);
  if (name == "SYSAUX") throw OraError(13501);
  if (name == "USERS") throw OraError(12919);
  if (name == "TEMP") throw OraError(12906);
  std::vector<NameKey> tables;
  std::vector<Index*> indexes;
  for (const auto& [key, t] : cat.tables()) {
    if (t->storage.tablespace == name && !t->organizationIndex) tables.push_back(key);
  }
  for (const auto& [key, i] : cat.indexes()) {
    if (i->storage.tablespace != name) continue;
    if (i->iotTop) {
      tables.push_back({i->tableOwner, i->tableName});
    } else {
      indexes.push_back(i.get());
    }
  }
  if ((!tables.empty() || !indexes.empty()) && !stmt.includingContents) throw OraError(1549);
  for (const NameKey& k : tables) {
    if (Table* t = cat.findTable(k.first, k.second)) dropTableObject(ctx, *t, true);
  }
  std::vector<NameKey> doomed;
  for (const auto& [key, i] : cat.indexes()) {
    if (i->storage.tablespace == name) doomed.push_back(key);
  }
  for (const NameKey& k : doomed) {
    Index* index = cat.findIndex(k.first, k.second);
    if (!index) continue;
    // A key enforced through the index loses it, as when the key is disabled.
    for (const auto& [ck, c] : cat.constraints()) {
      if (c->isKey() && c->indexOwner == k.first && c->indexName == k.second) {
        c->indexOwner.clear();
        c->indexName.clear();
        c->ownsIndex = false;
        c->enabled = false;
        c->validated = false;
      }
    }
    if (Table* t = cat.findTable(index->tableOwner, index->tableName)) {
      t->data->dropIndex(k.second);
    }
    cat.removeIndex(k.first, k.second);
  }
  std::vector<std::string> users;
  for (const auto& [user, t] : cat.userTablespaceMap()) {
    if (t.defaultTablespace == name || t.temporaryTablespace == name) users.push_back(user);
  }
  for (const std::string& user : users) {
    Catalog::UserTablespaces t = cat.userTablespaces(user);
    if (t.defaultTablespace == name) t.defaultTablespace = "USERS";
    if (t.temporaryTablespace == name) t.temporaryTablespace = "TEMP";
    cat.setUserTablespaces(user, t);
  }
  cat.removeTablespace(name);
  ctx.catalogChanged = true;
}

void runDrop(ExecContext& ctx, const sql::DropStmt& stmt) {
  Catalog& cat = ctx.catalog;
  using K = sql::ObjectKind;
  std::string owner = stmt.name.schema.empty() ? ctx.user() : stmt.name.schema;
  const std::string& name = stmt.name.name;
  ctx.catalogChanged = true;
  switch (stmt.object) {
    case K::Table: {
      Table* t = cat.findTable(owner, name);
      if (!t) throw OraError(942);
      requireOwnerOr(ctx, owner, "DROP ANY TABLE");
      requireTemporaryTableUnused(ctx, *t, 14452);
      dropTableObject(ctx, *t, stmt.cascade);
      return;
    }
    case K::View:
      if (!cat.findView(owner, name)) throw OraError(942);
      requireOwnerOr(ctx, owner, "DROP ANY VIEW");
      // As in Oracle, the view's INSTEAD OF triggers go with it.
      for (Trigger* t : cat.triggersOn(owner, name))
        cat.removeTrigger(t->header.owner, t->header.name);
      invalidateDependents(ctx, owner, name);
      cat.removeView(owner, name);
      cat.removeObjectGrants(owner, name);
      cat.removeComments(owner, name);
      return;
    case K::Index: {
      Index* index = cat.findIndex(owner, name);
      if (!index) throw OraError(1418);
      requireOwnerOr(ctx, owner, "DROP ANY INDEX");
      for (const auto& [key, c] : cat.constraints()) {
        if (c->isKey() && c->indexOwner == owner && c->indexName == name) throw OraError(2429);
      }
      if (Table* t = cat.findTable(index->tableOwner, index->tableName)) {
        requireTemporaryTableUnused(ctx, *t, 14452);
        t->data->dropIndex(name);
      }
      cat.removeIndex(owner, name);
      return;
    }
    case K::Sequence:
      if (!cat.findSequence(owner, name)) throw OraError(2289);
      requireOwnerOr(ctx, owner, "DROP ANY SEQUENCE");
      invalidateDependents(ctx, owner, name);
      cat.removeSequence(owner, name);
      cat.removeObjectGrants(owner, name);
      return;
    case K::Synonym:
      return dropSynonym(ctx, stmt);
    case K::Procedure:
      return dropCode(ctx, owner, name, ObjectKind::Procedure, stmt.force);
    case K::Function:
      return dropCode(ctx, owner, name, ObjectKind::Function, stmt.force);
    case K::Package:
      return dropCode(ctx, owner, name, ObjectKind::Package, stmt.force);
    case K::PackageBody:
      return dropCode(ctx, owner, name, ObjectKind::PackageBody, stmt.force);
    case K::Type:
      return dropCode(ctx, owner, name, ObjectKind::Type, stmt.force);
    case K::TypeBody:
      return dropCode(ctx, owner, name, ObjectKind::TypeBody, stmt.force);
    case K::Trigger:
      if (!cat.findTrigger(owner, name)) throw OraError(4080, {name});
      requireOwnerOr(ctx, owner, "DROP ANY TRIGGER");
      cat.removeTrigger(owner, name);
      return;
    case K::User: {
      if (!cat.hasSystemPrivilege(ctx.user(), "DROP USER")) throw OraError(1031);
      if (!cat.findUser(name)) throw OraError(1918, {name});
      if (name == "SYS" || name == "SYSTEM") throw OraError(1031);
      bool owns = ownsObjects(cat, name);
      if (owns && !stmt.cascade) throw OraError(1922, {name});
      // A user with a live session (the one running this statement included) stays.
      if (ctx.db.userConnected(name)) throw OraError(1940);
      if (owns) {
        // Nothing is dropped while a session holds rows of one of its temporary tables.
        for (const auto& [key, t] : cat.tables()) {
          if (key.first == name) requireTemporaryTableUnused(ctx, *t, 14452);
        }
        dropSchema(ctx, name);
      }
      cat.removeUser(name);
      return;
    }
    case K::Tablespace:
      return dropTablespace(ctx, stmt);
    case K::Role:
      if (!cat.findRole(name)) throw OraError(1919, {name});
      if (!cat.hasSystemPrivilege(ctx.user(), "DROP ANY ROLE")) {
        bool admin = false;
        for (const RoleGrant& g : cat.roleGrants()) {
          admin = admin || (g.grantee == ctx.user() && g.role == name && g.adminOption);
        }
        if (!admin) throw OraError(1031);
      }
      cat.removeRole(name);
      return;
  }
}

}  // namespace ocisim
