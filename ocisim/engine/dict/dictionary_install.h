// The data dictionary of a database: DUAL, GLOBAL_NAME and the ALL_ and USER_ views, computed
// from the catalog whenever a statement reads them.
#pragma once

#include "engine/exec/database.h"
#include "engine/exec/virtual_table.h"

namespace ocisim {

// Registers every dictionary view in the registry of a new Database instance: the
// installViews hook of DatabaseHooks (database.h). The views read the release at plan and
// scan time, so one registration serves every release.
void installDictionaryViews(Database& db, VirtualTableRegistry& registry);

}  // namespace ocisim
