// ROLE_SYS_PRIVS, ROLE_TAB_PRIVS, ROLE_ROLE_PRIVS, SESSION_PRIVS, SESSION_ROLES, DBA_ROLES, and
// DBA_OBJECTS / DBA_TABLES / DBA_SYNONYMS.
#include <algorithm>
#include <memory>
#include <tuple>

#include "engine/dict/dict_privilege_views.h"
#include "engine/dict/views.h"
#include "engine/exec/database.h"
#include "engine/exec/system_privileges.h"

namespace ocisim::dict {
namespace {

// The roles whose grants the ROLE_ views show: those the session user holds, directly, through
// other roles or through PUBLIC.
bool accessibleRole(const DictScan& s, const std::string& role, const std::set<std::string>& held) {
  return s.catalog().findRole(role) && held.count(role) > 0;
}

std::shared_ptr<DictView> roleSysPrivs() {
  std::vector<DictColumn> columns = {ident("ROLE"), text("PRIVILEGE", 40), text("ADMIN_OPTION", 3),
                                     text("COMMON", 3, 1201), text("INHERITED", 3, 1202)};
  size_t width = columns.size();
  return std::make_shared<DictView>(
      std::move(columns), [width](const DictScan& s, const RowEmitter& emit) {
        std::set<std::string> held = s.catalog().enabledRoles(s.user());
        for (const SystemPrivilegeGrant& g : s.catalog().systemGrants()) {
          if (!s.admits("ROLE", g.grantee) || !accessibleRole(s, g.grantee, held)) continue;
          RowBuilder r(width);
          r.text(g.grantee).text(g.privilege).yesNo(g.adminOption).yesNo(false).yesNo(false);
          emit(r.take());
        }
      });
}

// Object privileges of the roles, column privileges included (COLUMN_NAME set).
std::shared_ptr<DictView> roleTabPrivs() {
  std::vector<DictColumn> columns = {
      ident("ROLE"),          ident("OWNER"),     ident("TABLE_NAME"),     ident("COLUMN_NAME"),
      text("PRIVILEGE", 40),  text("GRANTABLE", 3), text("COMMON", 3, 1201),
      text("INHERITED", 3, 1202)};
  size_t width = columns.size();
  return std::make_shared<DictView>(
      std::move(columns), [width](const DictScan& s, const RowEmitter& emit) {
        std::set<std::string> held = s.catalog().enabledRoles(s.user());
        for (const ObjectPrivilegeGrant& g : s.catalog().objectGrants()) {
          if (!s.admits("ROLE", g.grantee) || !s.admits("OWNER", g.owner) ||
              !s.admits("TABLE_NAME", g.objectName) || !accessibleRole(s, g.grantee, held)) {
            continue;
          }
          RowBuilder r(width);
          r.text(g.grantee).text(g.owner).text(g.objectName).text(g.column).text(g.privilege);
          r.yesNo(g.grantable).yesNo(false).yesNo(false);
          emit(r.take());
        }
      });
}

std::shared_ptr<DictView> roleRolePrivs() {
  std::vector<DictColumn> columns = {ident("ROLE"), ident("GRANTED_ROLE"), text("ADMIN_OPTION", 3),
                                     text("COMMON", 3, 1201), text("INHERITED", 3, 1202)};
  size_t width = columns.size();
  return std::make_shared<DictView>(
      std::move(columns), [width](const DictScan& s, const RowEmitter& emit) {
        std::set<std::string> held = s.catalog().enabledRoles(s.user());
        for (const RoleGrant& g : s.catalog().roleGrants()) {
          if (!s.admits("ROLE", g.grantee) || !accessibleRole(s, g.grantee, held)) continue;
          RowBuilder r(width);
          r.text(g.grantee).text(g.role).yesNo(g.adminOption).yesNo(false).yesNo(false);
          emit(r.take());
        }
      });
}

// SESSION_PRIVS: the system privileges the session may use now, from every source. The DBA
// role holds them all.
std::shared_ptr<DictView> sessionPrivs() {
  std::vector<DictColumn> columns = {text("PRIVILEGE", 40)};
  return std::make_shared<DictView>(std::move(columns), [](const DictScan& s,
                                                           const RowEmitter& emit) {
    const Catalog& cat = s.catalog();
    std::set<std::string> privileges;
    if (cat.isDba(s.user())) {
      int release = s.release;
      for (const std::string& p : systemPrivilegeNames()) {
        if (release >= systemPrivilegeSince(p)) privileges.insert(p);
      }
    } else {
      std::set<std::string> holders = cat.enabledRoles(s.user());
      holders.insert(s.user());
      holders.insert("PUBLIC");
      for (const SystemPrivilegeGrant& g : cat.systemGrants()) {
        if (holders.count(g.grantee)) privileges.insert(g.privilege);
      }
    }
    for (const std::string& p : privileges) {
      RowBuilder r(1);
      r.text(p);
      emit(r.take());
    }
  });
}

std::shared_ptr<DictView> sessionRoles() {
  std::vector<DictColumn> columns = {ident("ROLE")};
  return std::make_shared<DictView>(std::move(columns), [](const DictScan& s,
                                                           const RowEmitter& emit) {
    for (const std::string& role : s.catalog().enabledRoles(s.user())) {
      if (!s.catalog().findRole(role)) continue;
      RowBuilder r(1);
      r.text(role);
      emit(r.take());
    }
  });
}

// DBA_ROLES: every role. CONNECT, RESOURCE and DBA come with the database.
std::shared_ptr<DictView> dbaRoles() {
  std::vector<DictColumn> columns = {
      ident("ROLE"),           text("PASSWORD_REQUIRED", 8), text("AUTHENTICATION_TYPE", 11, 1102),
      text("COMMON", 3, 1201), text("ORACLE_MAINTAINED", 1, 1201), text("INHERITED", 3, 1202),
      text("IMPLICIT", 3, 1202)};
  size_t width = columns.size();
  return std::make_shared<DictView>(
      std::move(columns), [width](const DictScan& s, const RowEmitter& emit) {
        requireDictionaryReader(s);
        for (const auto& [name, role] : s.catalog().roles()) {
          if (!s.admits("ROLE", name)) continue;
          bool password = !role->password.empty();
          bool supplied = name == "CONNECT" || name == "RESOURCE" || name == "DBA";
          RowBuilder r(width);
          r.text(name).yesNo(password).text(password ? "PASSWORD" : "NONE").yesNo(false);
          r.yn(supplied).yesNo(false).yesNo(false);
          emit(r.take());
        }
      });
}

// A DBA_ view that is its ALL_ view seen with the whole dictionary: every schema's rows, for
// dictionary readers only.
class DictionaryWideView : public VirtualTable {
 public:
  explicit DictionaryWideView(const VirtualTable& all) : all_(all) {}

  std::vector<VirtualColumn> columns(const Database& db) const override {
    return all_.columns(db);
  }

  void scan(const VirtualScanContext& ctx, const RowEmitter& emit) const override {
    requireDictionaryReader(DictScan(ctx, 0));
    VirtualScanContext everything = ctx;
    everything.dba = true;
    all_.scan(everything, emit);
  }

 private:
  const VirtualTable& all_;  // owned by the same registry, which outlives every scan
};

}  // namespace

void addRoleViews(VirtualTableRegistry& registry) {
  registry.add("ROLE_SYS_PRIVS", roleSysPrivs());
  registry.add("ROLE_TAB_PRIVS", roleTabPrivs());
  registry.add("ROLE_ROLE_PRIVS", roleRolePrivs());
  registry.add("SESSION_PRIVS", sessionPrivs());
  registry.add("SESSION_ROLES", sessionRoles());
  registry.add("DBA_ROLES", dbaRoles());
  for (const char* name : {"OBJECTS", "TABLES", "SYNONYMS"}) {
    if (const VirtualTable* all = registry.find(std::string("ALL_") + name)) {
      registry.add(std::string("DBA_") + name, std::make_shared<DictionaryWideView>(*all));
    }
  }
}

}  // namespace ocisim::dict
