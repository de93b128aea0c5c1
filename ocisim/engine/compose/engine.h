// The standard engine: a Database with the data dictionary views of engine/dict and the
// directory storage of engine/storage. This folder is where the layers meet; below it, exec
// knows neither the dictionary nor the storage, and they do not know each other.
//
// Database::create(directory, options), Database::open(directory) and
// Database::createInMemory(options) (database.h) are defined here and give standardHooks().
#pragma once

#include "engine/exec/database.h"

namespace ocisim {

// installViews: installDictionaryViews (engine/dict); storage: attachStorage (engine/storage).
DatabaseHooks standardHooks();

}  // namespace ocisim
