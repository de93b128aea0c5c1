// The standard engine: a Database with the data dictionary views of engine/dict and the
// directory storage of engine/storage. This folder is where the layers meet; below it, exec
// knows neither the dictionary nor the storage, and they do not know each other.
//
// createDatabase, openDatabase and createDatabaseInMemory are Database::create, open and
// createInMemory (database.h) with standardHooks():
//
//   auto db = createDatabase(dir, {"ORCL", "19.3.0", "manager"});  // SYSTEM/manager (DBA)
//   auto again = openDatabase(dir);                                 // the same instance
#pragma once

#include <memory>
#include <string>

#include "engine/exec/database.h"

namespace ocisim {

// installViews: installDictionaryViews (engine/dict); storage: attachStorage (engine/storage).
DatabaseHooks standardHooks();

// Database::create(directory, options, standardHooks()).
std::shared_ptr<Database> createDatabase(const std::string& directory,
                                         const DatabaseOptions& options = {});
// Database::open(directory, standardHooks()).
std::shared_ptr<Database> openDatabase(const std::string& directory);
// Database::createInMemory(options, standardHooks()).
std::shared_ptr<Database> createDatabaseInMemory(const DatabaseOptions& options = {});

}  // namespace ocisim
