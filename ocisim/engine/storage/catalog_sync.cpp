#include "engine/storage/catalog_sync.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/sql/parser.h"

namespace ocisim::storage {
namespace {

// ---- parsed texts ----

// Column defaults and check conditions are stored as text; their parsed form is rebuilt here.
// A text the parser no longer accepts leaves the parsed form empty rather than making the
// database impossible to open.
std::shared_ptr<const sql::Expr> parseDefault(const std::string& text) {
  if (text.empty()) return nullptr;
  try {
    auto stmt = sql::parseStatement("SELECT " + text + "\nFROM DUAL");
    auto& block = *stmt->as<sql::SelectStmt>().query->block;
    return std::shared_ptr<const sql::Expr>(std::move(block.items.at(0).expr));
  } catch (const std::exception&) {
    return nullptr;
  }
}

std::shared_ptr<const sql::Expr> parseCondition(const std::string& text) {
  if (text.empty()) return nullptr;
  try {
    auto stmt = sql::parseStatement("SELECT 1 FROM DUAL WHERE " + text + "\n");
    return std::shared_ptr<const sql::Expr>(
        std::move(stmt->as<sql::SelectStmt>().query->block->where));
  } catch (const std::exception&) {
    return nullptr;
  }
}

// Parses the defaults of `wanted`, reusing the parsed form of an unchanged column of `old`
// (parsing every default again on each catalog change would make long DDL scripts slow).
void restoreDefaults(Table& wanted, const Table* old) {
  for (Column& c : wanted.columns) {
    if (old) {
      int i = old->columnIndex(c.name);
      if (i >= 0 && old->columns[i].defaultText == c.defaultText) {
        c.defaultExpr = old->columns[i].defaultExpr;
        continue;
      }
    }
    c.defaultExpr = parseDefault(c.defaultText);
  }
}

void restoreCondition(Constraint& wanted, const Constraint* old) {
  if (wanted.type != ConstraintType::Check) return;
  if (old && old->searchCondition == wanted.searchCondition && old->condition) {
    wanted.condition = old->condition;
  } else {
    wanted.condition = parseCondition(wanted.searchCondition);
  }
}

// ---- generic map synchronisation ----

// Removes the records of `current` that `wanted` lacks or holds as a different object (same
// name, other identity), then updates the rest in place and adds the new ones.
template <class Key, class Rec, class Same, class Assign, class Remove, class Add>
void syncMap(const std::map<Key, std::unique_ptr<Rec>>& current,
             std::map<Key, std::unique_ptr<Rec>>& wanted, Same same, Assign assign, Remove remove,
             Add add) {
  std::vector<Key> gone;
  for (const auto& [key, rec] : current) {
    auto it = wanted.find(key);
    if (it == wanted.end() || !same(*rec, *it->second)) gone.push_back(key);
  }
  for (const Key& key : gone) remove(key);
  for (auto& [key, rec] : wanted) {
    auto it = current.find(key);
    if (it != current.end()) {
      assign(*it->second, std::move(*rec));
    } else {
      add(std::move(rec));
    }
  }
}

template <class Rec>
bool sameObjectId(const Rec& a, const Rec& b) {
  return a.header.objectId == b.header.objectId;
}

template <class Rec>
void assignWhole(Rec& target, Rec&& source) {
  target = std::move(source);
}

// ---- grants ----

bool sameGrants(const Catalog& c, const CatalogImage& image) {
  auto sysEq = [](const SystemPrivilegeGrant& a, const SystemPrivilegeGrant& b) {
    return a.grantee == b.grantee && a.privilege == b.privilege && a.adminOption == b.adminOption;
  };
  auto roleEq = [](const RoleGrant& a, const RoleGrant& b) {
    return a.grantee == b.grantee && a.role == b.role && a.adminOption == b.adminOption &&
           a.defaultRole == b.defaultRole;
  };
  auto objEq = [](const ObjectPrivilegeGrant& a, const ObjectPrivilegeGrant& b) {
    return a.grantee == b.grantee && a.owner == b.owner && a.objectName == b.objectName &&
           a.privilege == b.privilege && a.grantor == b.grantor && a.grantable == b.grantable &&
           a.column == b.column;
  };
  return std::equal(c.systemGrants().begin(), c.systemGrants().end(), image.systemGrants.begin(),
                    image.systemGrants.end(), sysEq) &&
         std::equal(c.roleGrants().begin(), c.roleGrants().end(), image.roleGrants.begin(),
                    image.roleGrants.end(), roleEq) &&
         std::equal(c.objectGrants().begin(), c.objectGrants().end(), image.objectGrants.begin(),
                    image.objectGrants.end(), objEq);
}

// Grants hold no pointers anyone keeps: replace them all, keeping the image's order.
// The tablespaces of an image replace the catalog's (a few records; order does not matter).
void syncTablespaces(Catalog& c, const std::map<std::string, std::string>& tablespaces,
                     const std::map<std::string, Catalog::UserTablespaces>& users) {
  std::vector<std::string> gone;
  for (const auto& [name, t] : c.tablespaces()) {
    auto it = tablespaces.find(name);
    if (it == tablespaces.end() || it->second != t->contents) gone.push_back(name);
  }
  for (const std::string& name : gone) c.removeTablespace(name);
  for (const auto& [name, contents] : tablespaces) {
    if (c.findTablespace(name)) continue;
    auto t = std::make_unique<Tablespace>();
    t->name = name;
    t->contents = contents;
    c.addTablespace(std::move(t));
  }
  if (c.userTablespaceMap() != users) {
    std::vector<std::string> old;
    for (const auto& [user, t] : c.userTablespaceMap()) old.push_back(user);
    for (const std::string& user : old) c.setUserTablespaces(user, {});
    for (const auto& [user, t] : users) c.setUserTablespaces(user, t);
  }
}

void syncGrants(Catalog& c, const CatalogImage& image) {
  if (sameGrants(c, image)) return;
  auto systemGrants = c.systemGrants();
  for (const auto& g : systemGrants) c.revokeSystemPrivilege(g.grantee, g.privilege);
  auto roleGrants = c.roleGrants();
  for (const auto& g : roleGrants) c.revokeRole(g.grantee, g.role);
  auto objectGrants = c.objectGrants();
  for (const auto& g : objectGrants) c.removeObjectGrants(g.owner, g.objectName);
  for (const auto& g : image.systemGrants) c.grantSystemPrivilege(g);
  for (const auto& g : image.roleGrants) c.grantRole(g);
  for (const auto& g : image.objectGrants) c.grantObjectPrivilege(g);
}

// Comments hold no pointers either; replaced as a whole when they differ.
void syncComments(Catalog& c, const CatalogImage& image) {
  if (c.comments() == image.comments) return;
  std::set<NameKey> objects;
  for (const auto& [key, text] : c.comments()) objects.insert({std::get<0>(key), std::get<1>(key)});
  for (const auto& [owner, object] : objects) c.removeComments(owner, object);
  for (const auto& [key, text] : image.comments) {
    c.setComment(std::get<0>(key), std::get<1>(key), std::get<2>(key), text);
  }
}

// A table renamed (same object id, another name) is moved, not dropped and created again: its
// rows and the pointers to it stay. Two steps through temporary names allow any permutation.
void followRenamedTables(Catalog& c, const CatalogImage& image) {
  std::map<ObjectId, NameKey> wanted;
  for (const auto& [key, t] : image.tables) wanted[t->header.objectId] = key;
  std::vector<std::pair<NameKey, std::string>> moves;  // (temporary key, final name)
  for (const auto& [key, t] : c.tables()) {
    auto it = wanted.find(t->header.objectId);
    if (it != wanted.end() && it->second != key && it->second.first == key.first) {
      moves.push_back({key, it->second.second});
    }
  }
  for (auto& [key, to] : moves) {
    std::string temporary = "\x01renaming " + key.second;
    c.renameTable(key.first, key.second, temporary);
    key.second = temporary;
  }
  for (const auto& [key, to] : moves) c.renameTable(key.first, key.second, to);
}

// ---- index structures ----

// What a table's index structures are built from: its column positions, the indexes on it
// and its key constraints. A table whose signature changed gets its indexes rebuilt.
std::string indexSignature(const Catalog& c, const Table& t) {
  std::string s;
  for (const Column& col : t.columns) s += col.name + ',';
  s += '|';
  for (const Index* i : c.indexesOn(t.header.owner, t.header.name)) {
    s += i->header.name + (i->unique ? "!" : ":");
    for (const IndexColumn& col : i->columns) s += col.name + (col.descending ? "-," : "+,");
    s += ';';
  }
  s += '|';
  for (const Constraint* k : c.constraintsOf(t.header.owner, t.header.name)) {
    if (!k->isKey()) continue;
    s += k->name + static_cast<char>(k->type) + k->indexOwner + '.' + k->indexName + ':';
    for (const std::string& col : k->columns) s += col + ',';
    s += ';';
  }
  return s;
}

}  // namespace

void applyCatalogImage(Database& db, CatalogImage image) {
  Catalog& c = db.catalog();
  // Index signatures are taken before anything changes and compared at the end.
  std::map<ObjectId, std::string> before;
  for (const auto& [key, t] : c.tables()) before[t->header.objectId] = indexSignature(c, *t);

  // Renames first: they move object grants along, which the grant sync then compares.
  followRenamedTables(c, image);
  syncMap(
      c.users(), image.users, [](const User& a, const User& b) { return a.userId == b.userId; },
      assignWhole<User>, [&](const std::string& k) { c.removeUser(k); },
      [&](std::unique_ptr<User> u) { c.addUser(std::move(u)); });
  syncMap(
      c.roles(), image.roles, [](const Role&, const Role&) { return true; }, assignWhole<Role>,
      [&](const std::string& k) { c.removeRole(k); },
      [&](std::unique_ptr<Role> r) { c.addRole(std::move(r)); });
  syncGrants(c, image);
  syncTablespaces(c, image.tablespaces, image.userTablespaces);

  std::set<const Table*> fresh;
  syncMap(
      c.tables(), image.tables, sameObjectId<Table>,
      [&](Table& t, Table&& w) {
        restoreDefaults(w, &t);
        t.header = std::move(w.header);
        t.columns = std::move(w.columns);
        t.storage = std::move(w.storage);
        t.organizationIndex = w.organizationIndex;
        t.temporary = w.temporary;
        t.onCommitPreserve = w.onCommitPreserve;
        if (t.data->columnCount() != t.columns.size()) {
          t.data = std::make_shared<TableData>(t.columns.size());
          fresh.insert(&t);
        }
      },
      [&](const NameKey& k) { c.removeTable(k.first, k.second); },
      [&](std::unique_ptr<Table> w) {
        restoreDefaults(*w, nullptr);
        w->data = std::make_shared<TableData>(w->columns.size());
        fresh.insert(&c.addTable(std::move(w)));
      });
  syncMap(
      c.views(), image.views, sameObjectId<View>, assignWhole<View>,
      [&](const NameKey& k) { c.removeView(k.first, k.second); },
      [&](std::unique_ptr<View> v) { c.addView(std::move(v)); });
  syncMap(
      c.indexes(), image.indexes, sameObjectId<Index>, assignWhole<Index>,
      [&](const NameKey& k) { c.removeIndex(k.first, k.second); },
      [&](std::unique_ptr<Index> i) { c.addIndex(std::move(i)); });
  syncMap(
      c.sequences(), image.sequences, sameObjectId<Sequence>, assignWhole<Sequence>,
      [&](const NameKey& k) { c.removeSequence(k.first, k.second); },
      [&](std::unique_ptr<Sequence> s) { c.addSequence(std::move(s)); });
  syncMap(
      c.constraints(), image.constraints, [](const Constraint&, const Constraint&) { return true; },
      [](Constraint& k, Constraint&& w) {
        restoreCondition(w, &k);
        k = std::move(w);
      },
      [&](const NameKey& k) { c.removeConstraint(k.first, k.second); },
      [&](std::unique_ptr<Constraint> k) {
        restoreCondition(*k, nullptr);
        c.addConstraint(std::move(k));
      });
  syncMap(
      c.triggers(), image.triggers, sameObjectId<Trigger>, assignWhole<Trigger>,
      [&](const NameKey& k) { c.removeTrigger(k.first, k.second); },
      [&](std::unique_ptr<Trigger> t) { c.addTrigger(std::move(t)); });
  syncMap(
      c.storedCode(), image.code, sameObjectId<StoredCode>, assignWhole<StoredCode>,
      [&](const Catalog::CodeKey& k) {
        c.removeCode(std::get<0>(k), std::get<1>(k), std::get<2>(k));
      },
      [&](std::unique_ptr<StoredCode> s) { c.addCode(std::move(s)); });
  syncMap(
      c.objectTypes(), image.types,
      [](const ObjectType& a, const ObjectType& b) { return a.codeObjectId == b.codeObjectId; },
      assignWhole<ObjectType>, [&](const NameKey& k) { c.removeObjectType(k.first, k.second); },
      [&](std::unique_ptr<ObjectType> t) { c.addObjectType(std::move(t)); });

  syncMap(
      c.synonyms(), image.synonyms, sameObjectId<Synonym>, assignWhole<Synonym>,
      [&](const NameKey& k) { c.removeSynonym(k.first, k.second); },
      [&](std::unique_ptr<Synonym> s) { c.addSynonym(std::move(s)); });
  syncComments(c, image);
  c.setCounters(image.counters);
  c.bumpVersion();

  for (const auto& [key, t] : c.tables()) {
    auto it = before.find(t->header.objectId);
    bool isFresh = fresh.count(t.get()) > 0;
    if (isFresh || (it != before.end() && it->second != indexSignature(c, *t))) {
      db.rebuildIndexes(*t);
    }
  }
}

// ---- deltas ----

namespace {

// The entries of one kind, decoded: removed keys and records put.
template <class Rec>
struct Decoded {
  std::vector<std::string> removed;  // encoded keys
  std::vector<std::unique_ptr<Rec>> put;
};

template <class Rec>
Decoded<Rec> decodeKind(const CatalogDelta& delta, RecordKind kind) {
  Decoded<Rec> d;
  for (const DeltaEntry& e : delta.entries) {
    if (e.kind != kind) continue;
    if (!e.put) {
      d.removed.push_back(e.key);
      continue;
    }
    ByteReader in(e.record);
    std::unique_ptr<Rec> rec;
    readRecord(in, rec);
    if (!in.atEnd()) throw CorruptData("catalog record longer than its fields");
    d.put.push_back(std::move(rec));
  }
  return d;
}

// Schema objects with a header: removed, then put in place when the object is the same (same
// object id), else dropped and added.
template <class Rec, class Find, class Remove, class Add>
void applyObjects(const CatalogDelta& delta, RecordKind kind, Find find, Remove remove, Add add) {
  Decoded<Rec> d = decodeKind<Rec>(delta, kind);
  for (const std::string& key : d.removed) {
    NameKey k = decodeOwnerKey(key);
    if (find(k.first, k.second)) remove(k.first, k.second);
  }
  for (auto& rec : d.put) {
    Rec* existing = find(rec->header.owner, rec->header.name);
    if (existing && existing->header.objectId == rec->header.objectId) {
      *existing = std::move(*rec);
      continue;
    }
    if (existing) remove(rec->header.owner, rec->header.name);
    add(std::move(rec));
  }
}

void applyTables(Database& db, const CatalogDelta& delta, DeltaEffect& effect,
                 std::set<Table*>& fresh) {
  Catalog& c = db.catalog();
  Decoded<Table> d = decodeKind<Table>(delta, RecordKind::Table);
  // A table renamed keeps its object id under another key: its old key is removed or put
  // with another table (names exchanged). Move it, rows and all, through a temporary name.
  std::map<ObjectId, NameKey> named;  // the tables now at the keys the delta names
  auto note = [&](const NameKey& k) {
    if (const Table* t = c.findTable(k.first, k.second)) named[t->header.objectId] = k;
  };
  for (const std::string& key : d.removed) note(decodeOwnerKey(key));
  for (const auto& w : d.put) note({w->header.owner, w->header.name});
  std::vector<std::pair<NameKey, std::string>> moves;  // (temporary key, final name)
  for (const auto& w : d.put) {
    auto it = named.find(w->header.objectId);
    if (it == named.end() || it->second.first != w->header.owner ||
        it->second.second == w->header.name) {
      continue;
    }
    std::string temporary = "\x01renaming " + it->second.second;
    c.renameTable(it->second.first, it->second.second, temporary);
    moves.push_back({{it->second.first, temporary}, w->header.name});
  }
  for (const std::string& key : d.removed) {
    NameKey k = decodeOwnerKey(key);
    if (c.findTable(k.first, k.second)) {
      c.removeTable(k.first, k.second);
      effect.tablesRemoved = true;
    }
  }
  for (const auto& [key, to] : moves) {
    if (c.findTable(key.first, to)) {
      c.removeTable(key.first, to);
      effect.tablesRemoved = true;
    }
    c.renameTable(key.first, key.second, to);
  }
  for (auto& w : d.put) {
    Table* t = c.findTable(w->header.owner, w->header.name);
    if (t && t->header.objectId == w->header.objectId) {
      restoreDefaults(*w, t);
      t->header = std::move(w->header);
      t->columns = std::move(w->columns);
      t->storage = std::move(w->storage);
      t->organizationIndex = w->organizationIndex;
      t->temporary = w->temporary;
      t->onCommitPreserve = w->onCommitPreserve;
      if (t->data->columnCount() != t->columns.size()) {
        t->data = std::make_shared<TableData>(t->columns.size());
        fresh.insert(t);
      }
      continue;
    }
    if (t) {
      c.removeTable(w->header.owner, w->header.name);
      effect.tablesRemoved = true;
    }
    restoreDefaults(*w, nullptr);
    w->data = std::make_shared<TableData>(w->columns.size());
    Table& added = c.addTable(std::move(w));
    fresh.insert(&added);
    effect.tablesAdded.push_back(&added);
  }
}

void applyConstraints(Catalog& c, const CatalogDelta& delta) {
  Decoded<Constraint> d = decodeKind<Constraint>(delta, RecordKind::Constraint);
  for (const std::string& key : d.removed) {
    NameKey k = decodeOwnerKey(key);
    if (c.findConstraint(k.first, k.second)) c.removeConstraint(k.first, k.second);
  }
  for (auto& w : d.put) {
    if (Constraint* k = c.findConstraint(w->owner, w->name)) {
      restoreCondition(*w, k);
      *k = std::move(*w);
    } else {
      restoreCondition(*w, nullptr);
      c.addConstraint(std::move(w));
    }
  }
}

// Tablespaces made by CREATE TABLESPACE and users' default tablespaces.
void applyTablespaces(Catalog& c, const CatalogDelta& delta) {
  for (const DeltaEntry& e : delta.entries) {
    if (e.kind == RecordKind::Tablespace) {
      std::string name = decodeNameKey(e.key);
      if (!e.put) {
        if (c.findTablespace(name)) c.removeTablespace(name);
        continue;
      }
      auto t = std::make_unique<Tablespace>();
      t->name = name;
      t->contents = e.record;
      c.addTablespace(std::move(t));
    } else if (e.kind == RecordKind::UserTablespaces) {
      std::string user = decodeNameKey(e.key);
      Catalog::UserTablespaces t;
      if (e.put) {
        ByteReader in(e.record);
        t.defaultTablespace = in.string();
        t.temporaryTablespace = in.string();
        if (!in.atEnd()) throw CorruptData("catalog record longer than its fields");
      }
      c.setUserTablespaces(user, t);
    }
  }
}

void applySecurity(Catalog& c, const CatalogDelta& delta) {
  Decoded<User> users = decodeKind<User>(delta, RecordKind::User);
  for (const std::string& key : users.removed) {
    std::string name = decodeNameKey(key);
    if (c.findUser(name)) c.removeUser(name);
  }
  for (auto& u : users.put) {
    User* existing = c.findUser(u->name);
    if (existing && existing->userId == u->userId) {
      *existing = std::move(*u);
      continue;
    }
    if (existing) c.removeUser(u->name);
    c.addUser(std::move(u));
  }
  Decoded<Role> roles = decodeKind<Role>(delta, RecordKind::Role);
  for (const std::string& key : roles.removed) {
    std::string name = decodeNameKey(key);
    if (c.findRole(name)) c.removeRole(name);
  }
  for (auto& r : roles.put) {
    if (Role* existing = c.findRole(r->name)) {
      *existing = std::move(*r);
    } else {
      c.addRole(std::move(r));
    }
  }
}

// A grant list put in the delta replaces the catalog's (after users and roles, whose removal
// takes grants along).
void applyGrants(Catalog& c, const CatalogDelta& delta) {
  for (const DeltaEntry& e : delta.entries) {
    if (!e.put) continue;
    ByteReader in(e.record);
    if (e.kind == RecordKind::SystemGrants) {
      auto grants = readSystemGrantList(in);
      auto old = c.systemGrants();
      for (const auto& g : old) c.revokeSystemPrivilege(g.grantee, g.privilege);
      for (const auto& g : grants) c.grantSystemPrivilege(g);
    } else if (e.kind == RecordKind::RoleGrants) {
      auto grants = readRoleGrantList(in);
      auto old = c.roleGrants();
      for (const auto& g : old) c.revokeRole(g.grantee, g.role);
      for (const auto& g : grants) c.grantRole(g);
    } else if (e.kind == RecordKind::ObjectGrants) {
      auto grants = readObjectGrantList(in);
      auto old = c.objectGrants();
      for (const auto& g : old) c.removeObjectGrants(g.owner, g.objectName);
      for (const auto& g : grants) c.grantObjectPrivilege(g);
    }
  }
}

void applyComments(Catalog& c, const CatalogDelta& delta) {
  // Comments are removed an object at a time: keep the object's others.
  std::set<Catalog::CommentKey> removed;
  for (const DeltaEntry& e : delta.entries) {
    if (e.kind == RecordKind::Comment && !e.put) removed.insert(decodeCommentKey(e.key));
  }
  std::set<NameKey> objects;
  for (const auto& key : removed) objects.insert({std::get<0>(key), std::get<1>(key)});
  for (const auto& [owner, object] : objects) {
    std::vector<std::pair<std::string, std::string>> keep;
    auto it = c.comments().lower_bound(Catalog::CommentKey(owner, object, ""));
    for (; it != c.comments().end() && std::get<0>(it->first) == owner &&
           std::get<1>(it->first) == object;
         ++it) {
      if (!removed.count(it->first)) keep.push_back({std::get<2>(it->first), it->second});
    }
    c.removeComments(owner, object);
    for (const auto& [column, text] : keep) c.setComment(owner, object, column, text);
  }
  for (const DeltaEntry& e : delta.entries) {
    if (e.kind != RecordKind::Comment || !e.put) continue;
    auto [owner, object, column] = decodeCommentKey(e.key);
    c.setComment(owner, object, column, e.record);
  }
}

}  // namespace

DeltaEffect applyCatalogDelta(Database& db, const CatalogDelta& delta) {
  Catalog& c = db.catalog();
  DeltaEffect effect;
  // The tables whose index structures may change, with their signatures before.
  std::set<NameKey> affected;
  for (const DeltaEntry& e : delta.entries) {
    if (!e.group.second.empty()) affected.insert(e.group);
  }
  std::map<ObjectId, std::string> before;
  for (const NameKey& k : affected) {
    if (const Table* t = c.findTable(k.first, k.second)) {
      before[t->header.objectId] = indexSignature(c, *t);
    }
  }

  applySecurity(c, delta);
  applyTablespaces(c, delta);
  std::set<Table*> fresh;
  applyTables(db, delta, effect, fresh);
  applyObjects<View>(
      delta, RecordKind::View, [&](const auto& o, const auto& n) { return c.findView(o, n); },
      [&](const auto& o, const auto& n) { c.removeView(o, n); },
      [&](std::unique_ptr<View> v) { c.addView(std::move(v)); });
  applyObjects<Index>(
      delta, RecordKind::Index, [&](const auto& o, const auto& n) { return c.findIndex(o, n); },
      [&](const auto& o, const auto& n) { c.removeIndex(o, n); },
      [&](std::unique_ptr<Index> i) { c.addIndex(std::move(i)); });
  applyObjects<Sequence>(
      delta, RecordKind::Sequence,
      [&](const auto& o, const auto& n) { return c.findSequence(o, n); },
      [&](const auto& o, const auto& n) { c.removeSequence(o, n); },
      [&](std::unique_ptr<Sequence> s) { c.addSequence(std::move(s)); });
  applyConstraints(c, delta);
  applyObjects<Trigger>(
      delta, RecordKind::Trigger, [&](const auto& o, const auto& n) { return c.findTrigger(o, n); },
      [&](const auto& o, const auto& n) { c.removeTrigger(o, n); },
      [&](std::unique_ptr<Trigger> t) { c.addTrigger(std::move(t)); });
  Decoded<StoredCode> code = decodeKind<StoredCode>(delta, RecordKind::Code);
  for (const std::string& key : code.removed) {
    auto [owner, name, kind] = decodeCodeKey(key);
    if (c.findCode(owner, name, kind)) c.removeCode(owner, name, kind);
  }
  for (auto& w : code.put) {
    StoredCode* existing = c.findCode(w->header.owner, w->header.name, w->kind);
    if (existing && existing->header.objectId == w->header.objectId) {
      *existing = std::move(*w);
      continue;
    }
    if (existing) c.removeCode(w->header.owner, w->header.name, w->kind);
    c.addCode(std::move(w));
  }
  Decoded<ObjectType> types = decodeKind<ObjectType>(delta, RecordKind::ObjectType);
  for (const std::string& key : types.removed) {
    NameKey k = decodeOwnerKey(key);
    if (c.findObjectType(k.first, k.second)) c.removeObjectType(k.first, k.second);
  }
  for (auto& w : types.put) {
    ObjectType* existing = c.findObjectType(w->owner, w->name);
    if (existing && existing->codeObjectId == w->codeObjectId) {
      *existing = std::move(*w);
      continue;
    }
    if (existing) c.removeObjectType(w->owner, w->name);
    c.addObjectType(std::move(w));
  }
  applyObjects<Synonym>(
      delta, RecordKind::Synonym, [&](const auto& o, const auto& n) { return c.findSynonym(o, n); },
      [&](const auto& o, const auto& n) { c.removeSynonym(o, n); },
      [&](std::unique_ptr<Synonym> s) { c.addSynonym(std::move(s)); });
  applyComments(c, delta);
  applyGrants(c, delta);
  c.setCounters(delta.counters);
  c.bumpVersion();

  for (Table* t : fresh) db.rebuildIndexes(*t);
  for (const NameKey& k : affected) {
    Table* t = c.findTable(k.first, k.second);
    if (!t || fresh.count(t)) continue;
    auto it = before.find(t->header.objectId);
    if (it == before.end() || it->second != indexSignature(c, *t)) db.rebuildIndexes(*t);
  }
  return effect;
}

}  // namespace ocisim::storage
