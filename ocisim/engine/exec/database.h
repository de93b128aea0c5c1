// Database: one ocisim database (global name, server release, users, catalog, rows), the root
// of the public engine API. Opening the same directory twice in one process gives the same
// shared instance; every Session of it runs its statements one at a time under the database
// lock (mutex()), so a Database and its Sessions may be used from several threads.
//
// A Database gets its dictionary views and its storage from the layers above this one, as
// DatabaseHooks given to create, open or createInMemory. The standard engine's hooks
// (engine/compose/engine.h: standardHooks(), which createDatabase, openDatabase and
// createDatabaseInMemory give) are the views of engine/dict and the directory storage of
// engine/storage:
//
//   auto db = Database::create(dir, {"ORCL", "19.3.0", "manager"}, standardHooks());
//   auto session = db->logon("SYSTEM", "manager");  // SYSTEM/manager (DBA); ORA-01017 when wrong
//   BindSet binds;
//   auto result = session->prepare("select * from dual")->execute(binds);
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "engine/exec/catalog.h"
#include "engine/exec/persistence.h"
#include "engine/exec/virtual_table.h"

namespace ocisim {

class Database;
class Session;

struct DatabaseOptions {
  std::string globalName = "OCISIM";
  // "7.3.4", "8.0.5", "8.1.7", "9.2.0", "19.3.0" ... (major.minor.patch[.x.y]). Decides the
  // dictionary's columns, the default NLS_DATE_FORMAT and the banner.
  std::string version = "19.3.0";
  std::string adminPassword = "manager";  // of SYS and SYSTEM
};

// What a Database is given by the layers above the executor.
struct DatabaseHooks {
  // Registers the views of a new Database instance (DUAL, GLOBAL_NAME, the ALL_ and USER_
  // views); called once per instance, before anything runs in it. Empty: no views.
  std::function<void(Database& db, VirtualTableRegistry& registry)> installViews;
  // Attaches durable storage to a database kept in `directory` (create and open need it).
  // `create`: the directory is new (or empty); write the database's initial state (already
  // bootstrapped in `db`: identity, users, catalog). Otherwise: load the database kept in the
  // directory into the empty `db` (Database::setIdentity, the catalog, the rows; then
  // Database::rebuildIndexes for every table). Returns the hook that keeps the directory up to
  // date (persistence.h), or null for a database kept in memory only. Throws OraError when the
  // directory cannot be used.
  std::function<std::unique_ptr<PersistenceHook>(Database& db, const std::string& directory,
                                                 bool create)>
      storage;
};

class Database : public std::enable_shared_from_this<Database> {
 public:
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // A new database in `directory` (created when missing; it must not hold a database). Users
  // SYS and SYSTEM (password adminPassword, SYSTEM holding DBA with ADMIN OPTION), the roles
  // DBA, CONNECT and RESOURCE, and the views of hooks.installViews; then hooks.storage writes
  // it. Throws OraError; std::invalid_argument without hooks.storage.
  static std::shared_ptr<Database> create(const std::string& directory,
                                          const DatabaseOptions& options,
                                          const DatabaseHooks& hooks);
  // The database in `directory`, loaded by hooks.storage; the instance already open in
  // this process if there is one (with the hooks it was opened with).
  static std::shared_ptr<Database> open(const std::string& directory, const DatabaseHooks& hooks);
  // A database kept in memory only (tests), with the views of hooks.installViews.
  static std::shared_ptr<Database> createInMemory(const DatabaseOptions& options,
                                                  const DatabaseHooks& hooks);

  // Logs on; ORA-01017 for an unknown user or a wrong password, ORA-01045 for a user without
  // CREATE SESSION. Passwords compare case-insensitively before release 11, exactly after.
  std::unique_ptr<Session> logon(const std::string& user, const std::string& password);

  const std::string& directory() const { return directory_; }
  const std::string& globalName() const { return globalName_; }
  // The release as given at creation, e.g. "8.1.7".
  const std::string& version() const { return version_; }
  int majorVersion() const;
  int minorVersion() const;
  // OCIServerVersion's text for the release, lines separated by "\n".
  std::string serverBanner() const;

  // ---- for the executor, the dictionary views and the storage ----
  // Serialises statements. Held by every execute and fetch.
  std::recursive_mutex& mutex() { return mutex_; }
  Catalog& catalog() { return catalog_; }
  const Catalog& catalog() const { return catalog_; }
  VirtualTableRegistry& virtualTables() { return virtualTables_; }
  const VirtualTableRegistry& virtualTables() const { return virtualTables_; }
  PersistenceHook* persistence() const { return persistence_.get(); }
  void setPersistence(std::unique_ptr<PersistenceHook> hook) { persistence_ = std::move(hook); }

  // Loader: the identity read from storage.
  void setIdentity(const std::string& globalName, const std::string& version);
  // Loader and DDL: (re)creates the index structures of a table's TableData from the catalog
  // (its indexes and the keys of its constraints).
  void rebuildIndexes(Table& table);
  Table* findTableById(ObjectId id) const;
  Sequence* findSequenceById(ObjectId id) const;

  // ---- global temporary tables (temporary_tables.cpp) ----
  // The catalog's Table holds the definition and an empty TableData; the rows are each
  // session's own, kept here and never handed to the storage.
  // A session's rows of a temporary table: made empty, with the table's index structures, at
  // first use, and made again when DDL has changed the table's structure since.
  std::shared_ptr<TableData> temporaryRows(const Table& table, uint64_t sessionId);
  // True when any session holds rows of the table (Oracle's "temporary table in use").
  bool temporaryTableInUse(ObjectId tableId) const;
  // A session's transaction ended: its rows of ON COMMIT DELETE ROWS tables go.
  void endTemporaryTransaction(uint64_t sessionId);
  // A session ended: all its rows go.
  void releaseTemporaryRows(uint64_t sessionId);
  // DDL changed or dropped a temporary table nobody uses: forget every session's store of it.
  void forgetTemporaryRows(ObjectId tableId);

  // ---- sessions ----
  // True while a session of the user has logged on and not ended (DROP USER: ORA-01940).
  bool userConnected(const std::string& user) const;
  // Session::logOff (or its destructor): one session of the user ended.
  void sessionEnded(const std::string& user);

 private:
  Database() = default;
  void bootstrap(const DatabaseOptions& options, const DatabaseHooks& hooks);

  std::string directory_;
  std::string globalName_ = "OCISIM";
  std::string version_ = "19.3.0";
  std::recursive_mutex mutex_;
  Catalog catalog_;
  VirtualTableRegistry virtualTables_;
  std::unique_ptr<PersistenceHook> persistence_;
  // objectId -> table, rebuilt when the catalog version moves (storage replays look tables up
  // once per journal record).
  mutable std::unordered_map<ObjectId, Table*> tablesById_;
  mutable uint64_t tablesByIdVersion_ = 0;
  // The rows of temporary tables by (table object id, session id), with the shared TableData
  // and its structure epoch they were made after (DDL moves the epoch).
  struct TemporaryRows {
    std::shared_ptr<TableData> data;
    const TableData* base = nullptr;
    uint64_t baseEpoch = 0;
    bool deleteOnCommit = true;
  };
  std::map<std::pair<ObjectId, uint64_t>, TemporaryRows> temporaryRows_;
  // The number of live sessions of each user, under mutex_.
  std::map<std::string, int> liveSessions_;
};

}  // namespace ocisim
