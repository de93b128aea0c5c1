// The column privileges: ALL_COL_PRIVS, USER_COL_PRIVS, DBA_COL_PRIVS, ALL_COL_PRIVS_MADE,
// ALL_COL_PRIVS_RECD, USER_COL_PRIVS_MADE and USER_COL_PRIVS_RECD. Each lists the grants of
// INSERT, UPDATE or REFERENCES on single columns (GRANT UPDATE (c) ON t ...); a grant on the
// whole table shows in the _TAB_PRIVS views only.
#include <memory>

#include "engine/dict/dict_privilege_views.h"
#include "engine/dict/views.h"

namespace ocisim::dict {
namespace {

// Which column grants a view lists.
enum class Scope {
  All,       // owner, grantor or grantee (the user, an enabled role or PUBLIC)
  User,      // owner, grantor or grantee (the user itself)
  Dba,       // every one (dictionary readers only)
  Made,      // owner or grantor
  Received,  // grantee: the user, an enabled role or PUBLIC
  UserMade,  // owner
  UserReceived,  // grantee: the user itself
};

// ALL_COL_PRIVS names the owner TABLE_SCHEMA and puts GRANTOR first; the others follow
// DBA_COL_PRIVS (GRANTEE, OWNER, TABLE_NAME, COLUMN_NAME, GRANTOR, ...), some without the
// column their scope makes the session user.
std::shared_ptr<DictView> columnPrivileges(Scope scope) {
  std::vector<DictColumn> columns;
  if (scope == Scope::All) {
    columns = {ident("GRANTOR"), ident("GRANTEE"), ident("TABLE_SCHEMA"), ident("TABLE_NAME"),
               ident("COLUMN_NAME")};
  } else {
    if (scope != Scope::UserReceived) columns.push_back(ident("GRANTEE"));
    if (scope != Scope::UserMade) columns.push_back(ident("OWNER"));
    columns.push_back(ident("TABLE_NAME"));
    columns.push_back(ident("COLUMN_NAME"));
    columns.push_back(ident("GRANTOR"));
  }
  columns.push_back(text("PRIVILEGE", 40));
  columns.push_back(text("GRANTABLE", 3));
  columns.push_back(text("COMMON", 3, 1201));
  columns.push_back(text("INHERITED", 3, 1202));
  size_t width = columns.size();
  const char* ownerColumn = scope == Scope::All ? "TABLE_SCHEMA" : "OWNER";
  return std::make_shared<DictView>(
      std::move(columns), [scope, width, ownerColumn](const DictScan& s, const RowEmitter& emit) {
        if (scope == Scope::Dba) requireDictionaryReader(s);
        const std::string& user = s.user();
        for (const ObjectPrivilegeGrant& g : s.catalog().objectGrants()) {
          if (g.column.empty() || !s.admits("GRANTEE", g.grantee) ||
              !s.admits(ownerColumn, g.owner) || !s.admits("TABLE_NAME", g.objectName) ||
              !s.admits("GRANTOR", g.grantor)) {
            continue;
          }
          bool owner = g.owner == user;
          bool grantor = g.grantor == user;
          bool received = s.visibility().isGrantee(g.grantee);
          bool shown = false;
          switch (scope) {
            case Scope::All: shown = owner || grantor || received; break;
            case Scope::User: shown = owner || grantor || g.grantee == user; break;
            case Scope::Dba: shown = true; break;
            case Scope::Made: shown = owner || grantor; break;
            case Scope::Received: shown = received; break;
            case Scope::UserMade: shown = owner; break;
            case Scope::UserReceived: shown = g.grantee == user; break;
          }
          if (!shown) continue;
          RowBuilder r(width);
          if (scope == Scope::All) {
            r.text(g.grantor).text(g.grantee).text(g.owner).text(g.objectName).text(g.column);
          } else {
            if (scope != Scope::UserReceived) r.text(g.grantee);
            if (scope != Scope::UserMade) r.text(g.owner);
            r.text(g.objectName).text(g.column).text(g.grantor);
          }
          r.text(g.privilege).yesNo(g.grantable).yesNo(false).yesNo(false);
          emit(r.take());
        }
      });
}

}  // namespace

void addColumnPrivilegeViews(VirtualTableRegistry& registry) {
  registry.add("ALL_COL_PRIVS", columnPrivileges(Scope::All));
  registry.add("USER_COL_PRIVS", columnPrivileges(Scope::User));
  registry.add("DBA_COL_PRIVS", columnPrivileges(Scope::Dba));
  registry.add("ALL_COL_PRIVS_MADE", columnPrivileges(Scope::Made));
  registry.add("ALL_COL_PRIVS_RECD", columnPrivileges(Scope::Received));
  registry.add("USER_COL_PRIVS_MADE", columnPrivileges(Scope::UserMade));
  registry.add("USER_COL_PRIVS_RECD", columnPrivileges(Scope::UserReceived));
}

}  // namespace ocisim::dict
