// The privilege views beyond dict_privileges.cpp's: the column privileges (dict_col_privs.cpp)
// and the views of roles, the session's privileges and the DBA_ views over the whole
// dictionary (dict_role_views.cpp). Internal to engine/dict; addPrivilegeViews registers them.
#pragma once

#include "engine/dict/dict_view.h"

namespace ocisim::dict {

// The DBA_ views answer only a session that may read the whole dictionary (the DBA role or
// SELECT ANY DICTIONARY); to anyone else they do not exist: ORA-00942, as on Oracle.
void requireDictionaryReader(const DictScan& s);

// ALL_COL_PRIVS, USER_COL_PRIVS, DBA_COL_PRIVS, ALL_COL_PRIVS_MADE, ALL_COL_PRIVS_RECD,
// USER_COL_PRIVS_MADE and USER_COL_PRIVS_RECD.
void addColumnPrivilegeViews(VirtualTableRegistry& registry);
// ROLE_SYS_PRIVS, ROLE_TAB_PRIVS, ROLE_ROLE_PRIVS, SESSION_PRIVS, SESSION_ROLES, DBA_ROLES, and
// DBA_OBJECTS / DBA_TABLES over ALL_OBJECTS / ALL_TABLES (which must be registered first).
void addRoleViews(VirtualTableRegistry& registry);

}  // namespace ocisim::dict
