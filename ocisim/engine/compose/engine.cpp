#include "engine/compose/engine.h"

#include "engine/dict/dictionary_install.h"
#include "engine/storage/directory_storage.h"

namespace ocisim {

DatabaseHooks standardHooks() {
  DatabaseHooks hooks;
  hooks.installViews = installDictionaryViews;
  hooks.storage = attachStorage;
  return hooks;
}

std::shared_ptr<Database> createDatabase(const std::string& directory,
                                         const DatabaseOptions& options) {
  return Database::create(directory, options, standardHooks());
}

std::shared_ptr<Database> openDatabase(const std::string& directory) {
  return Database::open(directory, standardHooks());
}

std::shared_ptr<Database> createDatabaseInMemory(const DatabaseOptions& options) {
  return Database::createInMemory(options, standardHooks());
}

}  // namespace ocisim
