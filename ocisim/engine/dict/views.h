// Registration of the dictionary views, one function per family (internal to engine/dict).
// installDictionaryViews (dictionary_install.h) calls them all for every new Database instance.
#pragma once

#include "engine/exec/virtual_table.h"

namespace ocisim::dict {

// DUAL, GLOBAL_NAME, ALL_CATALOG, ALL_OBJECTS, ALL_USERS.
void addObjectViews(VirtualTableRegistry& registry);
// ALL_SOURCE, ALL_TRIGGERS, ALL_TRIGGER_COLS, ALL_VIEWS.
void addSourceViews(VirtualTableRegistry& registry);
// ALL_DEPENDENCIES.
void addDependencyViews(VirtualTableRegistry& registry);
// ALL_TAB_COLUMNS, ALL_TABLES, USER_SEGMENTS.
void addTableViews(VirtualTableRegistry& registry);
// ALL_INDEXES, ALL_IND_COLUMNS, ALL_IND_EXPRESSIONS.
void addIndexViews(VirtualTableRegistry& registry);
// DBA_TABLESPACES, USER_TABLESPACES.
void addTablespaceViews(VirtualTableRegistry& registry);
// ALL_TAB_COMMENTS, ALL_COL_COMMENTS.
void addCommentViews(VirtualTableRegistry& registry);
// ALL_CONSTRAINTS, ALL_CONS_COLUMNS.
void addConstraintViews(VirtualTableRegistry& registry);
// ALL_SEQUENCES and the privilege views: ALL_/USER_/DBA_TAB_PRIVS, the _COL_PRIVS views,
// USER_/DBA_SYS_PRIVS, USER_/DBA_ROLE_PRIVS, the ROLE_ and SESSION_ views, DBA_ROLES, and
// DBA_OBJECTS / DBA_TABLES (call after the ALL_ views they stand over are registered).
void addPrivilegeViews(VirtualTableRegistry& registry);
// The USER_ views that restrict an ALL_ view to the session user's objects (USER_TABLES,
// USER_OBJECTS ...). Call after the ALL_ views are registered: each refers to its ALL_ view in
// the same registry, which must not replace it afterwards.
void addUserViews(VirtualTableRegistry& registry);

}  // namespace ocisim::dict
