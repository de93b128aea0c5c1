// CREATE / ALTER USER, CREATE ROLE, GRANT and REVOKE of system privileges, roles and object
// privileges, with the rules on who may grant what.
#include <algorithm>
#include <set>

#include "engine/exec/ddl_util.h"
#include "engine/exec/executor.h"
#include "engine/exec/system_privileges.h"
#include "engine/exec/synonyms.h"
#include "engine/ora_error.h"

namespace ocisim {

const std::set<std::string>& systemPrivilegeNames() {
  static const std::set<std::string> names = {"ALTER ANY INDEX",
                                              "ALTER ANY PROCEDURE",
                                              "ALTER ANY ROLE",
                                              "ALTER ANY SEQUENCE",
                                              "ALTER ANY TABLE",
                                              "ALTER ANY TRIGGER",
                                              "ALTER ANY TYPE",
                                              "ALTER DATABASE",
                                              "ALTER SESSION",
                                              "ALTER SYSTEM",
                                              "ALTER TABLESPACE",
                                              "ALTER USER",
                                              "ANALYZE ANY",
                                              "AUDIT ANY",
                                              "BECOME USER",
                                              "COMMENT ANY TABLE",
                                              "CREATE ANY CLUSTER",
                                              "CREATE ANY INDEX",
                                              "CREATE ANY MATERIALIZED VIEW",
                                              "CREATE ANY PROCEDURE",
                                              "CREATE ANY SEQUENCE",
                                              "CREATE ANY SYNONYM",
                                              "CREATE ANY TABLE",
                                              "CREATE ANY TRIGGER",
                                              "CREATE ANY TYPE",
                                              "CREATE ANY VIEW",
                                              "CREATE CLUSTER",
                                              "CREATE DATABASE LINK",
                                              "CREATE DIMENSION",
                                              "CREATE INDEXTYPE",
                                              "CREATE JOB",
                                              "CREATE MATERIALIZED VIEW",
                                              "CREATE OPERATOR",
                                              "CREATE PROCEDURE",
                                              "CREATE PUBLIC DATABASE LINK",
                                              "CREATE PUBLIC SYNONYM",
                                              "CREATE ROLE",
                                              "CREATE SEQUENCE",
                                              "CREATE SESSION",
                                              "CREATE SYNONYM",
                                              "CREATE TABLE",
                                              "CREATE TABLESPACE",
                                              "CREATE TRIGGER",
                                              "CREATE TYPE",
                                              "CREATE USER",
                                              "CREATE VIEW",
                                              "DEBUG CONNECT SESSION",
                                              "DELETE ANY TABLE",
                                              "DROP ANY INDEX",
                                              "DROP ANY PROCEDURE",
                                              "DROP ANY ROLE",
                                              "DROP ANY SEQUENCE",
                                              "DROP ANY SYNONYM",
                                              "DROP ANY TABLE",
                                              "DROP ANY TRIGGER",
                                              "DROP ANY TYPE",
                                              "DROP ANY VIEW",
                                              "DROP PUBLIC SYNONYM",
                                              "DROP TABLESPACE",
                                              "DROP USER",
                                              "EXECUTE ANY PROCEDURE",
                                              "EXECUTE ANY TYPE",
                                              "FLASHBACK ANY TABLE",
                                              "GLOBAL QUERY REWRITE",
                                              "GRANT ANY OBJECT PRIVILEGE",
                                              "GRANT ANY PRIVILEGE",
                                              "GRANT ANY ROLE",
                                              "INSERT ANY TABLE",
                                              "LOCK ANY TABLE",
                                              "QUERY REWRITE",
                                              "RESTRICTED SESSION",
                                              "SELECT ANY DICTIONARY",
                                              "SELECT ANY SEQUENCE",
                                              "SELECT ANY TABLE",
                                              "UNDER ANY TYPE",
                                              "UNLIMITED TABLESPACE",
                                              "UPDATE ANY TABLE"};
  return names;
}

int systemPrivilegeSince(const std::string& privilege) {
  // Both came with release 9 (with the dictionary protected from the ANY privileges).
  if (privilege == "GRANT ANY OBJECT PRIVILEGE" || privilege == "SELECT ANY DICTIONARY") {
    return 900;
  }
  return 0;
}

namespace {

int releaseOf(const ExecContext& ctx) {
  return ctx.db.majorVersion() * 100 + ctx.db.minorVersion();
}

// A system privilege of this release (the names of later releases are no privileges here).
bool isSystemPrivilege(const ExecContext& ctx, const std::string& name) {
  return systemPrivilegeNames().count(name) && releaseOf(ctx) >= systemPrivilegeSince(name);
}

// The object a privilege is granted on, the privileges ALL stands for on it, and its columns
// (tables and views).
struct GrantTarget {
  std::string owner;
  std::string name;
  std::vector<std::string> all;
  std::vector<std::string> columns;
};

GrantTarget grantTarget(ExecContext& ctx, const sql::QualifiedName& object) {
  Catalog& cat = ctx.catalog;
  GrantTarget t;
  t.owner = object.schema.empty() ? ctx.user() : object.schema;
  t.name = object.name;
  // A grant on a synonym is a grant on the object it stands for.
  if (auto target = resolveObjectName(ctx.db, t.owner, t.name, !object.schema.empty())) {
    t.owner = target->first;
    t.name = target->second;
  }
  if (const Table* table = cat.findTable(t.owner, t.name)) {
    t.all = {"ALTER", "DELETE", "INDEX", "INSERT", "REFERENCES", "SELECT", "UPDATE"};
    for (const Column& c : table->columns) t.columns.push_back(c.name);
  } else if (const View* view = cat.findView(t.owner, t.name)) {
    t.all = {"DELETE", "INSERT", "REFERENCES", "SELECT", "UPDATE"};
    for (const ViewColumn& c : view->columns) t.columns.push_back(c.name);
  } else if (cat.findSequence(t.owner, t.name)) {
    t.all = {"ALTER", "SELECT"};
  } else if (cat.findInMainNamespace(t.owner, t.name)) {
    t.all = {"EXECUTE"};
  } else {
    throw OraError(942);
  }
  return t;
}

void requireGrantee(const Catalog& cat, const std::string& grantee) {
  if (grantee == "PUBLIC" || cat.findUser(grantee) || cat.findRole(grantee)) return;
  throw OraError(1917, {grantee});
}

bool holdsRoleWithAdmin(const Catalog& cat, const std::string& user, const std::string& role) {
  for (const RoleGrant& g : cat.roleGrants()) {
    if (g.grantee == user && g.role == role && g.adminOption) return true;
  }
  return false;
}

bool holdsSystemWithAdmin(const Catalog& cat, const std::string& user,
                          const std::string& privilege) {
  for (const SystemPrivilegeGrant& g : cat.systemGrants()) {
    if (g.grantee == user && g.privilege == privilege && g.adminOption) return true;
  }
  return false;
}

// One privilege of a GRANT on one column, or on the whole object (column empty).
struct ObjectPrivilegeItem {
  std::string privilege;
  std::string column;
};

// The privileges a GRANT names, ALL expanded; a column list makes one item per column. Only
// INSERT, UPDATE and REFERENCES take columns (anything else expects ON: ORA-00969).
std::vector<ObjectPrivilegeItem> grantItems(const sql::GrantStmt& stmt, const GrantTarget& target) {
  std::vector<ObjectPrivilegeItem> items;
  for (size_t i = 0; i < stmt.privileges.size(); ++i) {
    const std::string& p = stmt.privileges[i];
    const std::vector<std::string> none;
    const std::vector<std::string>& columns =
        i < stmt.privilegeColumns.size() ? stmt.privilegeColumns[i] : none;
    if (!columns.empty() && p != "INSERT" && p != "UPDATE" && p != "REFERENCES") {
      throw OraError(969);
    }
    if (p == "ALL" || p == "ALL PRIVILEGES") {
      for (const std::string& a : target.all) items.push_back({a, ""});
    } else if (std::find(target.all.begin(), target.all.end(), p) == target.all.end()) {
      throw OraError(p == "EXECUTE" ? 2224 : 2225);
    } else if (columns.empty()) {
      items.push_back({p, ""});
    } else {
      for (size_t c = 0; c < columns.size(); ++c) {
        if (std::find(target.columns.begin(), target.columns.end(), columns[c]) ==
            target.columns.end()) {
          throw OraError(904, {"\"" + columns[c] + "\""});
        }
        if (std::find(columns.begin(), columns.begin() + static_cast<std::ptrdiff_t>(c),
                      columns[c]) != columns.begin() + static_cast<std::ptrdiff_t>(c)) {
          throw OraError(957);
        }
        items.push_back({p, columns[c]});
      }
    }
  }
  return items;
}

// Whether the user holds the privilege with GRANT OPTION: on the whole object, or (for a column
// item) on the whole object or that column. The grant option is never held through a role.
bool holdsWithGrantOption(const Catalog& cat, const std::string& user, const GrantTarget& target,
                          const ObjectPrivilegeItem& item) {
  for (const ObjectPrivilegeGrant& g : cat.objectGrants()) {
    if (g.grantee == user && g.owner == target.owner && g.objectName == target.name &&
        g.privilege == item.privilege && g.grantable &&
        (g.column.empty() || g.column == item.column)) {
      return true;
    }
  }
  return false;
}

void grantObject(ExecContext& ctx, const sql::GrantStmt& stmt) {
  Catalog& cat = ctx.catalog;
  GrantTarget target = grantTarget(ctx, *stmt.object);
  const std::string& user = ctx.user();
  std::vector<ObjectPrivilegeItem> items = grantItems(stmt, target);
  // The grantor Oracle records: the owner for the owner's own grants; a holder of the grant
  // option for the grants that rest on it; the owner again for grants that rest on GRANT ANY
  // OBJECT PRIVILEGE, which grants on the owner's behalf.
  std::vector<std::string> grantors;
  for (const ObjectPrivilegeItem& item : items) {
    if (target.owner == user || holdsWithGrantOption(cat, user, target, item)) {
      grantors.push_back(user);
    } else if (cat.hasSystemPrivilege(user, "GRANT ANY OBJECT PRIVILEGE")) {
      grantors.push_back(target.owner);
    } else {
      throw OraError(cat.hasAnyObjectPrivilege(user, target.owner, target.name) ? 1031 : 942);
    }
  }
  for (const std::string& grantee : stmt.grantees) {
    requireGrantee(cat, grantee);
    if (grantee == target.owner || grantee == user) throw OraError(1749);
    if (stmt.withGrantOption && cat.findRole(grantee)) throw OraError(1926);
  }
  for (const std::string& grantee : stmt.grantees) {
    for (size_t i = 0; i < items.size(); ++i) {
      ObjectPrivilegeGrant g{grantee, target.owner, target.name, items[i].privilege,
                             grantors[i], stmt.withGrantOption, items[i].column};
      cat.grantObjectPrivilege(g);
    }
  }
}

// REVOKE takes a privilege from the whole object and every column at once: column privileges
// cannot be revoked a column at a time (ORA-01750). The revoker takes back the grants it made;
// with GRANT ANY OBJECT PRIVILEGE, those the owner made (or that were made on its behalf).
void revokeObject(ExecContext& ctx, const sql::GrantStmt& stmt) {
  Catalog& cat = ctx.catalog;
  GrantTarget target = grantTarget(ctx, *stmt.object);
  const std::string& user = ctx.user();
  for (const std::vector<std::string>& columns : stmt.privilegeColumns) {
    if (!columns.empty()) throw OraError(1750);
  }
  std::vector<std::string> privileges;
  for (const std::string& p : stmt.privileges) {
    if (p == "ALL" || p == "ALL PRIVILEGES") {
      privileges.insert(privileges.end(), target.all.begin(), target.all.end());
    } else {
      privileges.push_back(p);
    }
  }
  bool all = stmt.privileges.size() == 1 &&
             (stmt.privileges[0] == "ALL" || stmt.privileges[0] == "ALL PRIVILEGES");
  bool onBehalf = target.owner != user && cat.hasSystemPrivilege(user, "GRANT ANY OBJECT PRIVILEGE");
  for (const std::string& grantee : stmt.grantees) {
    requireGrantee(cat, grantee);
    int removed = 0;
    for (const std::string& p : privileges) {
      bool byUser = false;
      bool byOwner = false;
      for (const ObjectPrivilegeGrant& g : cat.objectGrants()) {
        if (g.grantee != grantee || g.owner != target.owner || g.objectName != target.name ||
            g.privilege != p) {
          continue;
        }
        byUser = byUser || g.grantor == user;
        byOwner = byOwner || g.grantor == target.owner;
      }
      if (!byUser && !(onBehalf && byOwner)) {
        if (all) continue;
        throw OraError(1927);
      }
      removed += cat.revokeObjectPrivilege(grantee, target.owner, target.name, p,
                                           byUser ? user : target.owner);
    }
    if (all && removed == 0) throw OraError(1927);
  }
}

void grantSystem(ExecContext& ctx, const sql::GrantStmt& stmt) {
  Catalog& cat = ctx.catalog;
  const std::string& user = ctx.user();
  for (const std::string& p : stmt.privileges) {
    if (cat.findRole(p)) {
      if (!cat.hasSystemPrivilege(user, "GRANT ANY ROLE") && !holdsRoleWithAdmin(cat, user, p)) {
        throw OraError(1932, {p});
      }
    } else if (isSystemPrivilege(ctx, p)) {
      if (!cat.hasSystemPrivilege(user, "GRANT ANY PRIVILEGE") &&
          !holdsSystemWithAdmin(cat, user, p)) {
        throw OraError(1031);
      }
    } else if (p == "ALL" || p == "ALL PRIVILEGES") {
      if (!cat.hasSystemPrivilege(user, "GRANT ANY PRIVILEGE")) throw OraError(1031);
    } else {
      throw OraError(cat.findUser(p) ? 1919 : 990, {p});
    }
  }
  for (const std::string& grantee : stmt.grantees) {
    requireGrantee(cat, grantee);
    for (const std::string& p : stmt.privileges) {
      if (cat.findRole(p)) {
        if (p == grantee || cat.enabledRoles(p).count(grantee)) throw OraError(1934);
        cat.grantRole({grantee, p, stmt.withAdminOption, true});
      } else if (p == "ALL" || p == "ALL PRIVILEGES") {
        for (const std::string& s : systemPrivilegeNames()) {
          if (!isSystemPrivilege(ctx, s)) continue;
          cat.grantSystemPrivilege({grantee, s, stmt.withAdminOption});
        }
      } else {
        cat.grantSystemPrivilege({grantee, p, stmt.withAdminOption});
      }
    }
  }
}

void revokeSystem(ExecContext& ctx, const sql::GrantStmt& stmt) {
  Catalog& cat = ctx.catalog;
  const std::string& user = ctx.user();
  for (const std::string& grantee : stmt.grantees) {
    requireGrantee(cat, grantee);
    for (const std::string& p : stmt.privileges) {
      if (cat.findRole(p)) {
        if (!cat.hasSystemPrivilege(user, "GRANT ANY ROLE") && !holdsRoleWithAdmin(cat, user, p)) {
          throw OraError(1932, {p});
        }
        if (!cat.revokeRole(grantee, p)) throw OraError(1951, {p, grantee});
      } else if (isSystemPrivilege(ctx, p)) {
        if (!cat.hasSystemPrivilege(user, "GRANT ANY PRIVILEGE") &&
            !holdsSystemWithAdmin(cat, user, p)) {
          throw OraError(1031);
        }
        if (!cat.revokeSystemPrivilege(grantee, p)) throw OraError(1952, {grantee});
      } else {
        throw OraError(990);
      }
    }
  }
}

}  // namespace

void runUser(ExecContext& ctx, const sql::UserStmt& stmt) {
  Catalog& cat = ctx.catalog;
  if (stmt.kind == sql::StatementKind::CreateUser) {
    if (!cat.hasSystemPrivilege(ctx.user(), "CREATE USER")) throw OraError(1031);
    if (cat.findUser(stmt.user) || cat.findRole(stmt.user) || stmt.user == "PUBLIC") {
      throw OraError(1920, {stmt.user});
    }
    if (!stmt.password) throw OraError(988);
    applyUserTablespaces(ctx, stmt);  // DEFAULT / TEMPORARY TABLESPACE (ddl_tablespaces.cpp)
    auto u = std::make_unique<User>();
    u->name = stmt.user;
    u->password = *stmt.password;
    u->userId = cat.allocateUserId();
    u->created = ctx.sysdate;
    cat.addUser(std::move(u));
  } else {
    User* u = cat.findUser(stmt.user);
    if (!u) throw OraError(1918, {stmt.user});
    if (stmt.user != ctx.user() && !cat.hasSystemPrivilege(ctx.user(), "ALTER USER")) {
      throw OraError(1031);
    }
    applyUserTablespaces(ctx, stmt);  // DEFAULT / TEMPORARY TABLESPACE (ddl_tablespaces.cpp)
    if (stmt.password) u->password = *stmt.password;
    cat.bumpVersion();
  }
  ctx.catalogChanged = true;
}

void runCreateRole(ExecContext& ctx, const sql::CreateRoleStmt& stmt) {
  Catalog& cat = ctx.catalog;
  if (!cat.hasSystemPrivilege(ctx.user(), "CREATE ROLE")) throw OraError(1031);
  if (cat.findUser(stmt.role) || cat.findRole(stmt.role) || stmt.role == "PUBLIC") {
    throw OraError(1921, {stmt.role});
  }
  auto r = std::make_unique<Role>();
  r->name = stmt.role;
  r->password = stmt.password.value_or("");
  cat.addRole(std::move(r));
  // The creator holds the new role with ADMIN OPTION, as in Oracle.
  cat.grantRole({ctx.user(), stmt.role, true, true});
  ctx.catalogChanged = true;
}

void runGrant(ExecContext& ctx, const sql::GrantStmt& stmt) {
  if (stmt.object) {
    grantObject(ctx, stmt);
  } else {
    grantSystem(ctx, stmt);
  }
  ctx.catalogChanged = true;
}

void runRevoke(ExecContext& ctx, const sql::GrantStmt& stmt) {
  if (stmt.object) {
    revokeObject(ctx, stmt);
  } else {
    revokeSystem(ctx, stmt);
  }
  ctx.catalogChanged = true;
}

}  // namespace ocisim
