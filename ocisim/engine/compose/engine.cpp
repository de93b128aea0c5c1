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

std::shared_ptr<Database> Database::create(const std::string& directory,
                                           const DatabaseOptions& options) {
  return create(directory, options, standardHooks());
}

std::shared_ptr<Database> Database::open(const std::string& directory) {
  return open(directory, standardHooks());
}

std::shared_ptr<Database> Database::createInMemory(const DatabaseOptions& options) {
  return createInMemory(options, standardHooks());
}

}  // namespace ocisim
