// Catalog: everything an ocisim database knows about its users, privileges and schema objects.
// It owns the records of catalog_objects.h (one std::unique_ptr each, stable addresses until
// the object is dropped) and hands them out by (owner, name). Not thread-safe by itself: the
// Database serialises statements, and readers (dictionary views) run inside a statement.
//
// Seams for the dictionary views and the storage: every collection can be iterated in a stable
// order (by owner, then name); `version()` changes with every catalog change; the add/remove
// functions below are what the DDL executor uses, and what a loader uses to rebuild a catalog
// from a snapshot (counters included: setCounters).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/exec/catalog_objects.h"

namespace ocisim {

using NameKey = std::pair<std::string, std::string>;  // (owner, name)

class Catalog {
 public:
  Catalog() = default;
  Catalog(const Catalog&) = delete;
  Catalog& operator=(const Catalog&) = delete;

  // ---- counters (persisted with the catalog) ----
  struct Counters {
    int64_t nextObjectId = 100000;     // OBJECT_ID of the next object
    int64_t nextUserId = 100;          // USER_ID of the next user
    int64_t nextConstraintNumber = 1;  // SYS_C000001 ...
  };
  const Counters& counters() const { return counters_; }
  void setCounters(const Counters& c) { counters_ = c; }
  ObjectId allocateObjectId() { return counters_.nextObjectId++; }
  int64_t allocateUserId() { return counters_.nextUserId++; }
  // "SYS_C" + six or more digits, never handed out twice in a database.
  std::string allocateSystemName();

  // Incremented by every change; prepared statements re-plan when it moved.
  uint64_t version() const { return version_; }
  void bumpVersion() { ++version_; }

  // ---- users and roles ----
  const std::map<std::string, std::unique_ptr<User>>& users() const { return users_; }
  const std::map<std::string, std::unique_ptr<Role>>& roles() const { return roles_; }
  User* findUser(const std::string& name) const;
  Role* findRole(const std::string& name) const;
  User& addUser(std::unique_ptr<User> user);
  Role& addRole(std::unique_ptr<Role> role);
  // Removes the user and every grant to or by it (not its objects: see dropSchema).
  void removeUser(const std::string& name);
  void removeRole(const std::string& name);

  // ---- tablespaces (the built-in ones are not kept here: builtinTablespaces) ----
  const std::map<std::string, std::unique_ptr<Tablespace>>& tablespaces() const {
    return tablespaces_;
  }
  Tablespace* findTablespace(const std::string& name) const;
  Tablespace& addTablespace(std::unique_ptr<Tablespace> t);
  void removeTablespace(const std::string& name);
  // A user's DEFAULT / TEMPORARY TABLESPACE; users not listed have USERS and TEMP.
  struct UserTablespaces {
    std::string defaultTablespace = "USERS";
    std::string temporaryTablespace = "TEMP";
    bool operator==(const UserTablespaces&) const = default;
  };
  const std::map<std::string, UserTablespaces>& userTablespaceMap() const {
    return userTablespaces_;
  }
  UserTablespaces userTablespaces(const std::string& user) const;
  // Sets them (the defaults remove the entry).
  void setUserTablespaces(const std::string& user, const UserTablespaces& t);

  // ---- grants ----
  const std::vector<SystemPrivilegeGrant>& systemGrants() const { return systemGrants_; }
  const std::vector<RoleGrant>& roleGrants() const { return roleGrants_; }
  const std::vector<ObjectPrivilegeGrant>& objectGrants() const { return objectGrants_; }
  // Adds or updates (an existing grant gains the admin / grant option, never loses it).
  void grantSystemPrivilege(const SystemPrivilegeGrant& g);
  void grantRole(const RoleGrant& g);
  void grantObjectPrivilege(const ObjectPrivilegeGrant& g);
  // Return false when there was no such grant.
  bool revokeSystemPrivilege(const std::string& grantee, const std::string& privilege);
  bool revokeRole(const std::string& grantee, const std::string& role);
  // Removes the grants of privilege on owner.object to grantee made by grantor (every grantor
  // when empty), on the whole object and on its columns, and, like Oracle, the grants that
  // grantee passed on with its grant option. Returns the number removed.
  int revokeObjectPrivilege(const std::string& grantee, const std::string& owner,
                            const std::string& object, const std::string& privilege,
                            const std::string& grantor = "");
  void removeObjectGrants(const std::string& owner, const std::string& object);
  // The column privileges on a dropped column go with it; a renamed column keeps its own.
  void removeColumnGrants(const std::string& owner, const std::string& object,
                          const std::string& column);
  void renameColumnGrants(const std::string& owner, const std::string& object,
                          const std::string& from, const std::string& to);

  // Every role the grantee holds, directly or through other roles (PUBLIC's roles included).
  std::set<std::string> enabledRoles(const std::string& grantee) const;
  // DBA role (directly or through roles): sees and may do everything.
  bool isDba(const std::string& user) const;
  // privilege held directly, through PUBLIC, through a role, or as DBA.
  bool hasSystemPrivilege(const std::string& user, const std::string& privilege) const;
  // privilege on the whole of owner.object granted to the user, PUBLIC or one of the user's
  // roles (column privileges do not count).
  bool hasObjectPrivilege(const std::string& user, const std::string& owner,
                          const std::string& object, const std::string& privilege) const;
  // The columns of owner.object on which the user, PUBLIC or one of the user's roles holds a
  // column privilege (INSERT, UPDATE, REFERENCES).
  std::set<std::string> columnPrivileges(const std::string& user, const std::string& owner,
                                         const std::string& object,
                                         const std::string& privilege) const;
  // Any object privilege at all on owner.object, column privileges included (decides ORA-00942
  // versus ORA-01031).
  bool hasAnyObjectPrivilege(const std::string& user, const std::string& owner,
                             const std::string& object) const;

  // ---- schema objects ----
  const std::map<NameKey, std::unique_ptr<Table>>& tables() const { return tables_; }
  const std::map<NameKey, std::unique_ptr<View>>& views() const { return views_; }
  const std::map<NameKey, std::unique_ptr<Index>>& indexes() const { return indexes_; }
  const std::map<NameKey, std::unique_ptr<Sequence>>& sequences() const { return sequences_; }
  const std::map<NameKey, std::unique_ptr<Constraint>>& constraints() const { return constraints_; }
  const std::map<NameKey, std::unique_ptr<Trigger>>& triggers() const { return triggers_; }
  // Stored code by (owner, name, kind text): a package and its body share owner and name.
  using CodeKey = std::tuple<std::string, std::string, ObjectKind>;
  const std::map<CodeKey, std::unique_ptr<StoredCode>>& storedCode() const { return code_; }
  const std::map<NameKey, std::unique_ptr<ObjectType>>& objectTypes() const { return types_; }
  // Synonyms by (owner, name); PUBLIC synonyms have the owner "PUBLIC".
  const std::map<NameKey, std::unique_ptr<Synonym>>& synonyms() const { return synonyms_; }
  Synonym* findSynonym(const std::string& owner, const std::string& name) const;
  Synonym& addSynonym(std::unique_ptr<Synonym> s);
  void removeSynonym(const std::string& owner, const std::string& name);

  Table* findTable(const std::string& owner, const std::string& name) const;
  View* findView(const std::string& owner, const std::string& name) const;
  Index* findIndex(const std::string& owner, const std::string& name) const;
  Sequence* findSequence(const std::string& owner, const std::string& name) const;
  Constraint* findConstraint(const std::string& owner, const std::string& name) const;
  Trigger* findTrigger(const std::string& owner, const std::string& name) const;
  StoredCode* findCode(const std::string& owner, const std::string& name, ObjectKind kind) const;
  ObjectType* findObjectType(const std::string& owner, const std::string& name) const;

  // The kind of the object named owner.name in the namespace shared by tables, views,
  // sequences, procedures, functions, packages, types and private synonyms (ORA-00955 when
  // taken).
  std::optional<ObjectKind> findInMainNamespace(const std::string& owner,
                                                const std::string& name) const;
  // The object id and header of any schema object (for ALL_OBJECTS-like listings).
  const ObjectHeader* findHeader(const std::string& owner, const std::string& name,
                                 ObjectKind kind) const;

  Table& addTable(std::unique_ptr<Table> t);
  View& addView(std::unique_ptr<View> v);
  Index& addIndex(std::unique_ptr<Index> i);
  Sequence& addSequence(std::unique_ptr<Sequence> s);
  Constraint& addConstraint(std::unique_ptr<Constraint> c);
  Trigger& addTrigger(std::unique_ptr<Trigger> t);
  StoredCode& addCode(std::unique_ptr<StoredCode> c);
  ObjectType& addObjectType(std::unique_ptr<ObjectType> t);

  // Removal of a single record (the DDL executor removes dependents first).
  void removeTable(const std::string& owner, const std::string& name);
  void removeView(const std::string& owner, const std::string& name);
  void removeIndex(const std::string& owner, const std::string& name);
  void removeSequence(const std::string& owner, const std::string& name);
  void removeConstraint(const std::string& owner, const std::string& name);
  void removeTrigger(const std::string& owner, const std::string& name);
  void removeCode(const std::string& owner, const std::string& name, ObjectKind kind);
  void removeObjectType(const std::string& owner, const std::string& name);
  // Moves a table record to a new name (ALTER TABLE ... RENAME TO), with its grants and
  // comments; the other dependents are the caller's.
  void renameTable(const std::string& owner, const std::string& from, const std::string& to);
  // RENAME of a view (with its constraint, INSTEAD OF triggers, grants and comments) and of a
  // sequence (with its grants).
  void renameView(const std::string& owner, const std::string& from, const std::string& to);
  void renameSequence(const std::string& owner, const std::string& from, const std::string& to);

  // ---- comments (COMMENT ON TABLE / COLUMN; column "" is the table's comment) ----
  using CommentKey = std::tuple<std::string, std::string, std::string>;
  const std::map<CommentKey, std::string>& comments() const { return comments_; }
  void setComment(const std::string& owner, const std::string& object, const std::string& column,
                  const std::string& text);
  void removeComments(const std::string& owner, const std::string& object);
  // A column's comment follows its column: renamed with it (to = the new name), dropped with it
  // (to = "").
  void moveColumnComment(const std::string& owner, const std::string& object,
                         const std::string& from, const std::string& to);

  // ---- relations ----
  // Constraints of a table in name order.
  std::vector<Constraint*> constraintsOf(const std::string& owner, const std::string& table) const;
  // Indexes on a table in name order.
  std::vector<Index*> indexesOn(const std::string& owner, const std::string& table) const;
  // The same two lists for readers that look at many tables between changes (the dictionary
  // views): a lookup in lists built on first use after a change (version()). Valid until the
  // next change; a DDL statement that changes objects in place calls bumpVersion() before it
  // reads them again.
  const std::vector<Constraint*>& tableConstraints(const std::string& owner,
                                                   const std::string& table) const;
  const std::vector<Index*>& tableIndexes(const std::string& owner, const std::string& table) const;
  // Triggers on a table in name order.
  std::vector<Trigger*> triggersOn(const std::string& owner, const std::string& table) const;
  // Foreign keys (of any table) whose referenced key is owner.constraintName.
  std::vector<Constraint*> foreignKeysReferencing(const std::string& owner,
                                                  const std::string& constraintName) const;
  // The primary key of a table, or null.
  Constraint* primaryKeyOf(const std::string& owner, const std::string& table) const;
  // False when the column is declared NOT NULL (a check constraint made by NOT NULL) or is part
  // of the primary key: ALL_TAB_COLUMNS.NULLABLE.
  bool isNullable(const std::string& owner, const std::string& table,
                  const std::string& column) const;

 private:
  // Constraints and indexes by (owner, table), in name order (tableConstraints, tableIndexes).
  struct TableObjects {
    std::vector<Constraint*> constraints;
    std::vector<Index*> indexes;
  };
  const TableObjects& objectsOf(const std::string& owner, const std::string& table) const;

  Counters counters_;
  uint64_t version_ = 1;
  mutable uint64_t byTableVersion_ = 0;
  mutable std::map<NameKey, TableObjects> byTable_;
  std::map<std::string, std::unique_ptr<User>> users_;
  std::map<std::string, std::unique_ptr<Role>> roles_;
  std::map<std::string, std::unique_ptr<Tablespace>> tablespaces_;
  std::map<std::string, UserTablespaces> userTablespaces_;
  std::vector<SystemPrivilegeGrant> systemGrants_;
  std::vector<RoleGrant> roleGrants_;
  std::vector<ObjectPrivilegeGrant> objectGrants_;
  std::map<NameKey, std::unique_ptr<Table>> tables_;
  std::map<NameKey, std::unique_ptr<View>> views_;
  std::map<NameKey, std::unique_ptr<Index>> indexes_;
  std::map<NameKey, std::unique_ptr<Sequence>> sequences_;
  std::map<NameKey, std::unique_ptr<Constraint>> constraints_;
  std::map<NameKey, std::unique_ptr<Trigger>> triggers_;
  std::map<CodeKey, std::unique_ptr<StoredCode>> code_;
  std::map<NameKey, std::unique_ptr<ObjectType>> types_;
  std::map<NameKey, std::unique_ptr<Synonym>> synonyms_;
  std::map<CommentKey, std::string> comments_;
  // Grants and comments of a renamed object follow its new name.
  void moveObjectEntries(const std::string& owner, const std::string& from, const std::string& to);
};

}  // namespace ocisim
