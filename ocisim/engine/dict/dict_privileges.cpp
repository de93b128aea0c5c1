// ALL_SEQUENCES, ALL_TAB_PRIVS, USER_TAB_PRIVS, DBA_TAB_PRIVS, USER_SYS_PRIVS, USER_ROLE_PRIVS,
// DBA_SYS_PRIVS and DBA_ROLE_PRIVS; the other privilege views register from here too.
#include <algorithm>
#include <memory>
#include <tuple>

#include "engine/dict/dict_privilege_views.h"
#include "engine/dict/dict_view.h"
#include "engine/dict/views.h"
#include "engine/ora_error.h"

namespace ocisim::dict {
namespace {

// ALL_SEQUENCES. MAX_VALUE of a NOMAXVALUE sequence is what the release writes (10^27 - 1 before
// 12c, 10^28 - 1 from 12c). LAST_NUMBER is the value Oracle has written to disk, which the
// executor keeps as Oracle does: START WITH at creation; when NEXTVAL hands out a value at or
// past it, that value + CACHE_SIZE * INCREMENT_BY (the end of the newly cached range); with
// NOCACHE, the value after the one handed out. So a sequence with CACHE 20 starting at 1 shows
// LAST_NUMBER 1 before its first NEXTVAL and 21 after it.
std::shared_ptr<DictView> allSequences() {
  std::vector<DictColumn> columns = {
      ident("SEQUENCE_OWNER"),   ident("SEQUENCE_NAME"),     number("MIN_VALUE"),
      number("MAX_VALUE"),       number("INCREMENT_BY"),     text("CYCLE_FLAG", 1),
      text("ORDER_FLAG", 1),     number("CACHE_SIZE"),       number("LAST_NUMBER"),
      text("SCALE_FLAG", 1, 1800), text("EXTEND_FLAG", 1, 1800), text("SHARDED_FLAG", 1, 1800),
      text("SESSION_FLAG", 1, 1201), text("KEEP_VALUE", 1, 1201),
  };
  size_t width = columns.size();
  return std::make_shared<DictView>(
      std::move(columns), [width](const DictScan& s, const RowEmitter& emit) {
        for (const auto& [key, q] : s.catalog().sequences()) {
          const ObjectHeader& h = q->header;
          if (!s.admits("SEQUENCE_OWNER", h.owner) || !s.admits("SEQUENCE_NAME", h.name) ||
              !s.visibility().sequence(h.owner, h.name)) {
            continue;
          }
          RowBuilder r(width);
          r.text(h.owner).text(h.name).number(q->minValue).number(q->maxValue);
          r.number(q->incrementBy).yn(q->cycle).yn(q->order).number(q->cacheSize);
          r.number(q->lastNumber).yn(false).yn(false).yn(false).yn(false).yn(false);
          emit(r.take());
        }
      });
}

// ALL_TAB_PRIVS.TYPE (12c): the kind of the object the privilege is on.
std::string objectTypeOf(const Catalog& cat, const std::string& owner, const std::string& name) {
  auto kind = cat.findInMainNamespace(owner, name);
  return kind ? objectTypeName(*kind) : "";
}

std::shared_ptr<DictView> allTabPrivs() {
  std::vector<DictColumn> columns = {
      ident("GRANTOR"),         ident("GRANTEE"),         ident("TABLE_SCHEMA"),
      ident("TABLE_NAME"),      text("PRIVILEGE", 40),    text("GRANTABLE", 3),
      text("HIERARCHY", 3, 900), text("COMMON", 3, 1201), text("TYPE", 24, 1201),
      text("INHERITED", 3, 1202),
  };
  size_t width = columns.size();
  return std::make_shared<DictView>(
      std::move(columns), [width](const DictScan& s, const RowEmitter& emit) {
        // Oracle's rule: grants the user gave, received (itself, PUBLIC or an enabled role),
        // or that are on the user's objects. A DBA sees no more here (DBA_TAB_PRIVS would).
        const Visibility& v = s.visibility();
        // Column privileges are ALL_COL_PRIVS' rows, not these.
        for (const ObjectPrivilegeGrant& g : s.catalog().objectGrants()) {
          if (!g.column.empty() || !s.admits("GRANTEE", g.grantee) ||
              !s.admits("TABLE_SCHEMA", g.owner) || !s.admits("TABLE_NAME", g.objectName) ||
              !s.admits("GRANTOR", g.grantor)) {
            continue;
          }
          if (g.grantor != v.user() && g.owner != v.user() && !v.isGrantee(g.grantee)) continue;
          RowBuilder r(width);
          r.text(g.grantor).text(g.grantee).text(g.owner).text(g.objectName).text(g.privilege);
          r.yesNo(g.grantable).yesNo(false).yesNo(false);
          r.text(objectTypeOf(s.catalog(), g.owner, g.objectName)).yesNo(false);
          emit(r.take());
        }
      });
}

// USER_TAB_PRIVS (grants the user made, received itself, or on its objects) and DBA_TAB_PRIVS
// (every grant): DBA_TAB_PRIVS' columns, GRANTEE first.
std::shared_ptr<DictView> tabPrivs(bool dba) {
  std::vector<DictColumn> columns = {
      ident("GRANTEE"),          ident("OWNER"),          ident("TABLE_NAME"),
      ident("GRANTOR"),          text("PRIVILEGE", 40),   text("GRANTABLE", 3),
      text("HIERARCHY", 3, 900), text("COMMON", 3, 1201), text("TYPE", 24, 1201),
      text("INHERITED", 3, 1202),
  };
  size_t width = columns.size();
  return std::make_shared<DictView>(
      std::move(columns), [width, dba](const DictScan& s, const RowEmitter& emit) {
        if (dba) requireDictionaryReader(s);
        const std::string& user = s.user();
        for (const ObjectPrivilegeGrant& g : s.catalog().objectGrants()) {
          if (!g.column.empty() || !s.admits("GRANTEE", g.grantee) ||
              !s.admits("OWNER", g.owner) || !s.admits("TABLE_NAME", g.objectName) ||
              !s.admits("GRANTOR", g.grantor)) {
            continue;
          }
          if (!dba && g.grantor != user && g.owner != user && g.grantee != user) continue;
          RowBuilder r(width);
          r.text(g.grantee).text(g.owner).text(g.objectName).text(g.grantor).text(g.privilege);
          r.yesNo(g.grantable).yesNo(false).yesNo(false);
          r.text(objectTypeOf(s.catalog(), g.owner, g.objectName)).yesNo(false);
          emit(r.take());
        }
      });
}

std::shared_ptr<DictView> userSysPrivs() {
  std::vector<DictColumn> columns = {ident("USERNAME"), text("PRIVILEGE", 40),
                                     text("ADMIN_OPTION", 3), text("COMMON", 3, 1201),
                                     text("INHERITED", 3, 1202)};
  size_t width = columns.size();
  return std::make_shared<DictView>(
      std::move(columns), [width](const DictScan& s, const RowEmitter& emit) {
        std::vector<const SystemPrivilegeGrant*> grants;
        for (const SystemPrivilegeGrant& g : s.catalog().systemGrants()) {
          if (g.grantee == s.user() || g.grantee == "PUBLIC") grants.push_back(&g);
        }
        std::sort(grants.begin(), grants.end(), [](const auto* a, const auto* b) {
          return std::tie(a->grantee, a->privilege) < std::tie(b->grantee, b->privilege);
        });
        for (const SystemPrivilegeGrant* g : grants) {
          RowBuilder r(width);
          r.text(g->grantee).text(g->privilege).yesNo(g->adminOption).yesNo(false).yesNo(false);
          emit(r.take());
        }
      });
}

std::shared_ptr<DictView> userRolePrivs() {
  std::vector<DictColumn> columns = {
      ident("USERNAME"),         ident("GRANTED_ROLE"),  text("ADMIN_OPTION", 3),
      text("DELEGATE_OPTION", 3, 1201), text("DEFAULT_ROLE", 3), text("OS_GRANTED", 3),
      text("COMMON", 3, 1201),   text("INHERITED", 3, 1202),
  };
  size_t width = columns.size();
  return std::make_shared<DictView>(
      std::move(columns), [width](const DictScan& s, const RowEmitter& emit) {
        std::vector<const RoleGrant*> grants;
        for (const RoleGrant& g : s.catalog().roleGrants()) {
          if (g.grantee == s.user() || g.grantee == "PUBLIC") grants.push_back(&g);
        }
        std::sort(grants.begin(), grants.end(), [](const auto* a, const auto* b) {
          return std::tie(a->grantee, a->role) < std::tie(b->grantee, b->role);
        });
        for (const RoleGrant* g : grants) {
          RowBuilder r(width);
          r.text(g->grantee).text(g->role).yesNo(g->adminOption).yesNo(false);
          r.yesNo(g->defaultRole).yesNo(false).yesNo(false).yesNo(false);
          emit(r.take());
        }
      });
}

// DBA_SYS_PRIVS: the system privileges of every user and role.
std::shared_ptr<DictView> dbaSysPrivs() {
  std::vector<DictColumn> columns = {ident("GRANTEE"), text("PRIVILEGE", 40),
                                     text("ADMIN_OPTION", 3), text("COMMON", 3, 1201),
                                     text("INHERITED", 3, 1202)};
  size_t width = columns.size();
  return std::make_shared<DictView>(
      std::move(columns), [width](const DictScan& s, const RowEmitter& emit) {
        requireDictionaryReader(s);
        for (const SystemPrivilegeGrant& g : s.catalog().systemGrants()) {
          if (!s.admits("GRANTEE", g.grantee)) continue;
          RowBuilder r(width);
          r.text(g.grantee).text(g.privilege).yesNo(g.adminOption).yesNo(false).yesNo(false);
          emit(r.take());
        }
      });
}

// DBA_ROLE_PRIVS: the roles granted to every user and role (no OS_GRANTED column here).
std::shared_ptr<DictView> dbaRolePrivs() {
  std::vector<DictColumn> columns = {
      ident("GRANTEE"),        ident("GRANTED_ROLE"),         text("ADMIN_OPTION", 3),
      text("DELEGATE_OPTION", 3, 1201), text("DEFAULT_ROLE", 3), text("COMMON", 3, 1201),
      text("INHERITED", 3, 1202),
  };
  size_t width = columns.size();
  return std::make_shared<DictView>(
      std::move(columns), [width](const DictScan& s, const RowEmitter& emit) {
        requireDictionaryReader(s);
        for (const RoleGrant& g : s.catalog().roleGrants()) {
          if (!s.admits("GRANTEE", g.grantee)) continue;
          RowBuilder r(width);
          r.text(g.grantee).text(g.role).yesNo(g.adminOption).yesNo(false);
          r.yesNo(g.defaultRole).yesNo(false).yesNo(false);
          emit(r.take());
        }
      });
}

}  // namespace

void requireDictionaryReader(const DictScan& s) {
  if (s.ctx.dba || s.catalog().hasSystemPrivilege(s.user(), "SELECT ANY DICTIONARY")) return;
  throw OraError(942);
}

void addPrivilegeViews(VirtualTableRegistry& registry) {
  registry.add("ALL_SEQUENCES", allSequences());
  registry.add("ALL_TAB_PRIVS", allTabPrivs());
  registry.add("USER_TAB_PRIVS", tabPrivs(false));
  registry.add("DBA_TAB_PRIVS", tabPrivs(true));
  registry.add("USER_SYS_PRIVS", userSysPrivs());
  registry.add("USER_ROLE_PRIVS", userRolePrivs());
  registry.add("DBA_SYS_PRIVS", dbaSysPrivs());
  registry.add("DBA_ROLE_PRIVS", dbaRolePrivs());
  addColumnPrivilegeViews(registry);
  addRoleViews(registry);
}

}  // namespace ocisim::dict
