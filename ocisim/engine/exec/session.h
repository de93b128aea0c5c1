// Session: one logged-on user of a Database (Database::logon). It holds what Oracle keeps per
// session: the user, the NLS settings, the DBMS_OUTPUT buffer, the CURRVAL of each sequence
// used, and a cancel flag. A Session is used by one thread at a time, except cancel(), which
// any thread may call while a call of the session runs (OCIBreak).
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "engine/exec/catalog_objects.h"
#include "engine/exec/statement.h"
#include "engine/value/decimal.h"
#include "engine/value/nls.h"

namespace ocisim {

class Database;

// DBMS_OUTPUT of one session, with the package's rules: calls are ignored unless enabled;
// ENABLE sets the buffer size (the largest of repeated calls wins; 0 / NULL = unlimited from
// release 10.2); PUT_LINE of more than the line limit fails with ORU-10028 and filling the
// buffer with ORU-10027 (both as ORA-20000); lines not retrieved are discarded by the first
// PUT / PUT_LINE / NEW_LINE after a GET_LINE.
class DbmsOutput {
 public:
  explicit DbmsOutput(int majorVersion = 19) : majorVersion_(majorVersion) {}
  void enable(std::optional<int64_t> bufferSize);
  void disable();
  bool enabled() const { return enabled_; }
  void put(std::string_view text);
  void putLine(std::string_view text);
  void newLine();
  // Returns the next line (status 0), or nullopt when there is none (status 1).
  std::optional<std::string> getLine();
  size_t pendingLines() const { return lines_.size(); }

 private:
  void discardAfterGet();
  void append(std::string line);
  int majorVersion_;
  bool enabled_ = false;
  int64_t bufferSize_ = 20000;  // 0 = unlimited
  int64_t bufferedBytes_ = 0;
  bool gotSincePut_ = false;
  std::string partial_;
  std::deque<std::string> lines_;
};

class Session {
 public:
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  Database& database() const { return *database_; }
  const std::shared_ptr<Database>& databasePtr() const { return database_; }
  // The session logged off (OCISessionEnd) while the object lives on: its user no longer
  // counts as connected (DROP USER). Done by the destructor when not before; idempotent.
  void logOff();
  // The user logged on, upper case (USER).
  const std::string& user() const { return user_; }
  // The schema unqualified names resolve in: the user's own unless ALTER SESSION SET
  // CURRENT_SCHEMA chose another. Privileges stay the user's.
  const std::string& currentSchema() const {
    return currentSchema_.empty() ? user_ : currentSchema_;
  }
  void setCurrentSchema(std::string schema) { currentSchema_ = std::move(schema); }
  // USERENV('SESSIONID'): a number that tells the sessions of the process apart.
  uint64_t sessionId() const { return sessionId_; }
  NlsSettings& nls() { return nls_; }
  const NlsSettings& nls() const { return nls_; }
  DbmsOutput& output() { return output_; }
  std::string serverBanner() const;

  // Parses a statement (OraError with Oracle's code when malformed).
  std::unique_ptr<PreparedStatement> prepare(std::string_view sql);
  // prepare + execute in one call.
  ExecResult execute(std::string_view sql, BindSet& binds);
  ExecResult execute(std::string_view sql);

  // OCIBreak: the call running now (execute or fetch) stops at its next row with ORA-01013.
  // A break while no call runs is forgotten when the next call starts.
  void cancel() { cancelRequested_.store(true); }
  // Throws ORA-01013 when cancel() was called (the executor checks between rows).
  void checkCancel();
  void clearCancel() { cancelRequested_.store(false); }

  // CURRVAL of a sequence in this session (ORA-08002 before the first NEXTVAL).
  std::optional<Decimal> currval(ObjectId sequenceId) const;
  void setCurrval(ObjectId sequenceId, const Decimal& value) { currvals_[sequenceId] = value; }

 private:
  friend class Database;
  Session(std::shared_ptr<Database> database, std::string user);

  std::shared_ptr<Database> database_;
  std::string user_;
  std::string currentSchema_;
  uint64_t sessionId_ = 0;
  bool loggedOff_ = false;  // under the database lock
  NlsSettings nls_;
  DbmsOutput output_;
  std::atomic<bool> cancelRequested_{false};  // written by any thread (cancel), read by the
                                              // thread running the session's call
  std::map<ObjectId, Decimal> currvals_;
};

}  // namespace ocisim
