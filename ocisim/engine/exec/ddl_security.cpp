// CREATE / ALTER USER, CREATE ROLE, GRANT and REVOKE of system privileges, roles and object
// privileges, with the rules on who may grant what.
#include <algorithm>
#include <set>

#include "engine/exec/ddl_util.h"
#include "engine/exec/executor.h"
#include "engine/ora_error.h"

namespace ocisim {
namespace {

const std::set<std::string>& systemPrivileges() {
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

// The object a privilege is granted on, and the privileges ALL stands for on it.
struct GrantTarget {
  std::string owner;
  std::string name;
  std::vector<std::string> all;
};

GrantTarget grantTarget(ExecContext& ctx, const sql::QualifiedName& object) {
  Catalog& cat = ctx.catalog;
  GrantTarget t;
  t.owner = object.schema.empty() ? ctx.user() : object.schema;
  t.name = object.name;
  if (cat.findTable(t.owner, t.name)) {
    t.all = {"ALTER", "DELETE", "INDEX", "INSERT", "REFERENCES", "SELECT", "UPDATE"};
  } else if (cat.findView(t.owner, t.name)) {
    t.all = {"DELETE", "INSERT", "REFERENCES", "SELECT", "UPDATE"};
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

void grantObject(ExecContext& ctx, const sql::GrantStmt& stmt) {
  Catalog& cat = ctx.catalog;
  GrantTarget target = grantTarget(ctx, *stmt.object);
  const std::string& user = ctx.user();
  std::vector<std::string> privileges;
  for (const std::string& p : stmt.privileges) {
    if (p == "ALL" || p == "ALL PRIVILEGES") {
      privileges.insert(privileges.end(), target.all.begin(), target.all.end());
    } else if (std::find(target.all.begin(), target.all.end(), p) == target.all.end()) {
      throw OraError(p == "EXECUTE" ? 2224 : 2225);
    } else {
      privileges.push_back(p);
    }
  }
  for (const std::string& p : privileges) {
    bool may = target.owner == user || cat.hasSystemPrivilege(user, "GRANT ANY OBJECT PRIVILEGE");
    if (!may) {
      for (const ObjectPrivilegeGrant& g : cat.objectGrants()) {
        may = may || (g.grantee == user && g.owner == target.owner && g.objectName == target.name &&
                      g.privilege == p && g.grantable);
      }
    }
    if (!may) {
      throw OraError(cat.hasAnyObjectPrivilege(user, target.owner, target.name) ? 1031 : 942);
    }
  }
  for (const std::string& grantee : stmt.grantees) {
    requireGrantee(cat, grantee);
    if (grantee == target.owner) throw OraError(1749);
    for (const std::string& p : privileges) {
      cat.grantObjectPrivilege({grantee, target.owner, target.name, p,
                                target.owner == user ? target.owner : user, stmt.withGrantOption});
    }
  }
}

void revokeObject(ExecContext& ctx, const sql::GrantStmt& stmt) {
  Catalog& cat = ctx.catalog;
  GrantTarget target = grantTarget(ctx, *stmt.object);
  const std::string& user = ctx.user();
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
  for (const std::string& grantee : stmt.grantees) {
    requireGrantee(cat, grantee);
    int removed = 0;
    for (const std::string& p : privileges) {
      bool granted = false;
      for (const ObjectPrivilegeGrant& g : cat.objectGrants()) {
        granted = granted || (g.grantee == grantee && g.owner == target.owner &&
                              g.objectName == target.name && g.privilege == p &&
                              (g.grantor == user || target.owner == user ||
                               cat.hasSystemPrivilege(user, "GRANT ANY OBJECT PRIVILEGE")));
      }
      if (!granted) {
        if (all) continue;
        throw OraError(1927);
      }
      removed += cat.revokeObjectPrivilege(grantee, target.owner, target.name, p);
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
    } else if (systemPrivileges().count(p)) {
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
        for (const std::string& s : systemPrivileges()) {
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
      } else if (systemPrivileges().count(p)) {
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
