// Helpers for the storage tests: a temporary directory, statements run through the storage
// hook the way the executor runs them, reopening. Catalog records and dumps: test_catalog.h.
// The tests open their databases as the standard engine does (createDatabase and openDatabase
// of engine.h: the dictionary and the directory storage), so they live here and not in
// engine/storage.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "engine/compose/engine.h"
#include "engine/exec/database.h"
#include "engine/exec/session.h"
#include "engine/storage/directory_storage.h"

namespace ocisim::storage::testing {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "ocisim-st-XXXXXX").string();
    char* made = ::mkdtemp(pattern.data());
    if (!made) throw std::runtime_error("mkdtemp failed");
    path_ = made;
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  // A directory inside (not created).
  std::string sub(const std::string& name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

inline DirectoryStorage& storageOf(Database& db) {
  auto* s = dynamic_cast<DirectoryStorage*>(db.persistence());
  if (!s) throw std::logic_error("database without directory storage");
  return *s;
}

// Runs `change` as one writing statement: begin (catch up), change, commit, end. `change`
// changes the database and fills the commit record the way the executor would. Errors of the
// commit propagate (nothing is undone in memory: the caller knows what it changed).
inline void runStatement(Database& db, const std::function<void(CommitRecord&)>& change) {
  std::lock_guard lock(db.mutex());
  PersistenceHook* hook = db.persistence();
  hook->beginStatement(db, true);
  try {
    CommitRecord record;
    change(record);
    if (!record.empty()) hook->commit(db, record);
  } catch (...) {
    hook->endStatement(db);
    throw;
  }
  hook->endStatement(db);
}

// A reading statement: begin (catch up with other processes), look, end.
template <class Fn>
auto readStatement(Database& db, Fn fn) {
  std::lock_guard lock(db.mutex());
  db.persistence()->beginStatement(db, false);
  struct End {
    Database& db;
    ~End() { db.persistence()->endStatement(db); }
  } end{db};
  return fn();
}

// Opens the database's directory in a fresh instance: drops `db` (the only reference to the
// instance open in this process must be the caller's) and opens the directory again.
inline std::shared_ptr<Database> reopen(std::shared_ptr<Database>& db) {
  std::string directory = db->directory();
  db.reset();
  return openDatabase(directory);
}

}  // namespace ocisim::storage::testing
