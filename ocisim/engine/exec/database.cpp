#include "engine/exec/database.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "engine/exec/session.h"
#include "engine/ora_error.h"

namespace ocisim {
namespace {

// The databases open in this process, by canonical directory.
std::mutex& registryMutex() {
  static std::mutex m;
  return m;
}

std::map<std::string, std::weak_ptr<Database>>& openDatabases() {
  static std::map<std::string, std::weak_ptr<Database>> m;
  return m;
}

std::string canonicalDirectory(const std::string& directory) {
  std::error_code ec;
  auto path = std::filesystem::weakly_canonical(std::filesystem::absolute(directory), ec);
  return ec ? directory : path.string();
}

std::vector<int> versionParts(const std::string& version) {
  std::vector<int> parts;
  std::stringstream in(version);
  std::string piece;
  while (std::getline(in, piece, '.')) parts.push_back(std::atoi(piece.c_str()));
  while (parts.size() < 5) parts.push_back(0);
  return parts;
}

// create and open cannot do without the storage hook.
void requireStorage(const DatabaseHooks& hooks) {
  if (!hooks.storage) {
    throw std::invalid_argument("a database in a directory needs DatabaseHooks::storage");
  }
}

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// CONNECT holds CREATE SESSION alone from release 10.2; before, it held these eight.
const char* kConnectPrivileges[] = {"CREATE SESSION"};
const char* kConnectPrivilegesBefore102[] = {
    "ALTER SESSION",   "CREATE CLUSTER", "CREATE DATABASE LINK", "CREATE SEQUENCE",
    "CREATE SESSION",  "CREATE SYNONYM", "CREATE TABLE",         "CREATE VIEW"};
const char* kResourcePrivileges[] = {"CREATE TABLE",     "CREATE SEQUENCE", "CREATE PROCEDURE",
                                     "CREATE TRIGGER",   "CREATE TYPE",     "CREATE CLUSTER",
                                     "CREATE INDEXTYPE", "CREATE OPERATOR"};

}  // namespace

Database::~Database() = default;

std::shared_ptr<Database> Database::createInMemory(const DatabaseOptions& options,
                                                   const DatabaseHooks& hooks) {
  std::shared_ptr<Database> db(new Database());
  db->bootstrap(options, hooks);
  return db;
}

std::shared_ptr<Database> Database::create(const std::string& directory,
                                           const DatabaseOptions& options,
                                           const DatabaseHooks& hooks) {
  requireStorage(hooks);
  std::string key = canonicalDirectory(directory);
  std::lock_guard lock(registryMutex());
  if (auto existing = openDatabases()[key].lock()) throw OraError(1034);
  std::shared_ptr<Database> db(new Database());
  db->directory_ = key;
  db->bootstrap(options, hooks);
  db->persistence_ = hooks.storage(*db, key, true);
  openDatabases()[key] = db;
  return db;
}

std::shared_ptr<Database> Database::open(const std::string& directory, const DatabaseHooks& hooks) {
  requireStorage(hooks);
  std::string key = canonicalDirectory(directory);
  std::lock_guard lock(registryMutex());
  if (auto existing = openDatabases()[key].lock()) return existing;
  std::shared_ptr<Database> db(new Database());
  db->directory_ = key;
  if (hooks.installViews) hooks.installViews(*db, db->virtualTables_);
  db->persistence_ = hooks.storage(*db, key, false);
  openDatabases()[key] = db;
  return db;
}

void Database::bootstrap(const DatabaseOptions& options, const DatabaseHooks& hooks) {
  globalName_ = upper(options.globalName);
  version_ = options.version;
  DateTime now = DateTime::now();
  int64_t userId = 0;
  for (const char* name : {"SYS", "SYSTEM"}) {
    auto user = std::make_unique<User>();
    user->name = name;
    user->password = options.adminPassword;
    user->userId = userId;
    user->created = now;
    catalog_.addUser(std::move(user));
    userId += 5;
  }
  for (const char* name : {"CONNECT", "RESOURCE", "DBA"}) {
    auto role = std::make_unique<Role>();
    role->name = name;
    catalog_.addRole(std::move(role));
  }
  int major = majorVersion();
  if (major > 10 || (major == 10 && minorVersion() >= 2)) {
    for (const char* p : kConnectPrivileges) catalog_.grantSystemPrivilege({"CONNECT", p, false});
  } else {
    for (const char* p : kConnectPrivilegesBefore102) {
      catalog_.grantSystemPrivilege({"CONNECT", p, false});
    }
  }
  for (const char* p : kResourcePrivileges) catalog_.grantSystemPrivilege({"RESOURCE", p, false});
  catalog_.grantSystemPrivilege({"DBA", "CREATE SESSION", true});
  catalog_.grantSystemPrivilege({"SYSTEM", "UNLIMITED TABLESPACE", true});
  catalog_.grantRole({"SYSTEM", "DBA", true, true});
  if (hooks.installViews) hooks.installViews(*this, virtualTables_);
}

std::unique_ptr<Session> Database::logon(const std::string& userName, const std::string& password) {
  std::lock_guard lock(mutex_);
  std::string name = userName;
  if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
    name = name.substr(1, name.size() - 2);
  } else {
    name = upper(name);
  }
  User* user = catalog_.findUser(name);
  if (!user || password.empty()) throw OraError(1017);
  bool match =
      majorVersion() < 11 ? upper(user->password) == upper(password) : user->password == password;
  if (!match) throw OraError(1017);
  if (!catalog_.hasSystemPrivilege(name, "CREATE SESSION")) throw OraError(1045, {name});
  auto session = std::unique_ptr<Session>(new Session(shared_from_this(), name));
  ++liveSessions_[name];
  return session;
}

bool Database::userConnected(const std::string& user) const {
  auto it = liveSessions_.find(user);
  return it != liveSessions_.end() && it->second > 0;
}

void Database::sessionEnded(const std::string& user) {
  auto it = liveSessions_.find(user);
  if (it != liveSessions_.end() && --it->second <= 0) liveSessions_.erase(it);
}

int Database::majorVersion() const {
  return versionParts(version_)[0];
}
int Database::minorVersion() const {
  return versionParts(version_)[1];
}

std::string Database::serverBanner() const {
  std::vector<int> v = versionParts(version_);
  char release[64];
  std::snprintf(release, sizeof release, "%d.%d.%d.%d.%d", v[0], v[1], v[2], v[3], v[4]);
  std::string r = release;
  switch (v[0]) {
    case 7:
      return "Oracle7 Server Release " + r + " - Production\nPL/SQL Release 2." +
             std::to_string(v[1]) + "." + std::to_string(v[2]) + ".0.0 - Production";
    case 8:
      if (v[1] == 0) {
        return "Oracle8 Enterprise Edition Release " + r + " - Production\nPL/SQL Release " + r +
               " - Production";
      }
      return "Oracle8i Enterprise Edition Release " + r +
             " - Production\nWith the Partitioning option\nJServer Release " + r + " - Production";
    case 9:
      return "Oracle9i Enterprise Edition Release " + r +
             " - Production\nWith the Partitioning, OLAP and Oracle Data Mining options\n"
             "JServer Release " +
             r + " - Production";
    case 10:
    case 11:
      return "Oracle Database " + std::to_string(v[0]) + "g Enterprise Edition Release " + r +
             " - 64bit Production";
    case 12:
      return "Oracle Database 12c Enterprise Edition Release " + r + " - 64bit Production";
    default: {
      char base[64];
      std::snprintf(base, sizeof base, "%d.0.0.0.0", v[0]);
      return "Oracle Database " + std::to_string(v[0]) + "c Enterprise Edition Release " + base +
             " - Production\nVersion " + r;
    }
  }
}

void Database::setIdentity(const std::string& globalName, const std::string& version) {
  globalName_ = globalName;
  version_ = version;
}

Table* Database::findTableById(ObjectId id) const {
  if (tablesByIdVersion_ != catalog_.version()) {
    tablesById_.clear();
    for (const auto& [key, table] : catalog_.tables())
      tablesById_[table->header.objectId] = table.get();
    tablesByIdVersion_ = catalog_.version();
  }
  auto it = tablesById_.find(id);
  return it == tablesById_.end() ? nullptr : it->second;
}

Sequence* Database::findSequenceById(ObjectId id) const {
  for (const auto& [key, seq] : catalog_.sequences()) {
    if (seq->header.objectId == id) return seq.get();
  }
  return nullptr;
}

void Database::rebuildIndexes(Table& table) {
  TableData& data = *table.data;
  data.dropAllIndexes();
  for (Index* index : catalog_.indexesOn(table.header.owner, table.header.name)) {
    std::vector<int> columns;
    std::vector<bool> descending;
    for (const IndexColumn& c : index->columns) {
      columns.push_back(table.columnIndex(c.name));
      descending.push_back(c.descending);
    }
    data.createIndex(index->header.name, std::move(columns), std::move(descending));
  }
}

}  // namespace ocisim
