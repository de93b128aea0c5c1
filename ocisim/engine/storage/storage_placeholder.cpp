// Placeholder of the storage module until durable storage lands: a created database lives in
// memory for the life of the process (its directory is created and kept empty), and opening a
// directory that no live process instance holds fails instead of pretending.
#include <filesystem>

#include "engine/exec/database.h"
#include "engine/exec/persistence.h"
#include "engine/ora_error.h"

namespace ocisim {

std::unique_ptr<PersistenceHook> attachStorage(Database& db, const std::string& directory,
                                               bool create) {
  (void)db;
  if (!create) throw OraError(1034);
  std::error_code ec;
  std::filesystem::create_directories(directory, ec);
  if (ec) throw OraError(1034);
  return nullptr;
}

}  // namespace ocisim
