// DatabaseConnection: "Database 1" or "Database 2" of a run. Owns the OracleSession, knows the
// schema owner whose objects are compared and the display name the report shows (HR:SCOTT@ORCL),
// and keeps the users and the object lists read from that database. Opened from a connection
// text or through the Login dialog (LoginPrompter). Used by one thread at a time.
//
// A missing Oracle client is not handled here: open() returns OpenResult::ClientMissing and the
// front end says why (OciLibrary::loadFailureMessage) and ends the run.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "oracle/catalog.h"
#include "oracle/oracle_session.h"

namespace velmora {

class LoginPrompter;

enum class OpenResult {
  Connected,
  NotConnected,   // cancelled, or the logon failed (its message has been shown)
  ClientMissing,  // no Oracle client library could be loaded: the caller ends the process
  SchemaMissing,  // logged on, but the schema to compare is no user of that database (or its
                  // users could not be read): problem() says which; the session is closed
};

class DatabaseConnection {
 public:
  static constexpr int kMaxOrderByColumns = 10000;

  // number: 1 or 2. The prompter may be null: then a login that lacks something stays
  // unconnected.
  DatabaseConnection(int number, const OracleEnvironment& environment, LoginPrompter* prompter);
  ~DatabaseConnection();
  DatabaseConnection(const DatabaseConnection&) = delete;
  DatabaseConnection& operator=(const DatabaseConnection&) = delete;

  // "[schema:]user[/password][@database]"; an empty text shows the Login dialog, a text
  // without a password asks for it.
  [[nodiscard]] OpenResult open(const std::string& connectionText);

  int number() const { return number_; }
  std::string name() const { return "Database " + std::to_string(number_); }
  bool connected() const { return session_ != nullptr; }
  OracleSession* session() { return session_.get(); }

  // The run's stop (see OracleSession::breakCall and setCallCheck). breakCall may come from any
  // thread while the connection is neither opened nor closed.
  void breakCall() {
    if (session_) session_->breakCall();
  }
  void setCallCheck(std::function<void()> check) {
    if (session_) session_->setCallCheck(std::move(check));
  }
  const std::string& connectionText() const { return connectionText_; }
  const std::string& owner() const { return owner_; }            // the schema compared
  const std::string& loginOwner() const { return loginOwner_; }  // the user, upper case
  const std::string& displayName() const { return displayName_; }
  bool passwordKept() const { return passwordKept_; }
  int maxOrderByColumns() const { return maxOrderByColumns_; }
  const std::vector<std::string>& users() const { return users_; }
  // Why the last open() gave SchemaMissing ("" otherwise).
  const std::string& problem() const { return problem_; }

  // The parameters dialog's owner list: compare another user's objects (or the login user's
  // again). The object lists are cleared so that they are read again.
  void chooseOwner(const std::string& owner);

  // The session's date format: "alter session set nls_date_format = '<format>'".
  [[nodiscard]] bool applyDateFormat(const std::string& format);

  // Object lists read through a Catalog, each replacing the previous list of its kind.
  CatalogSource catalogSource();
  // Each returns the count read, or Catalog::kListFailed when the list is incomplete.
  [[nodiscard]] int readTables(Catalog& catalog, bool views);
  [[nodiscard]] int readObjects(Catalog& catalog, const std::string& type);
  const std::vector<std::string>& tables() const { return tables_; }
  const std::vector<std::string>& views() const { return views_; }
  const std::vector<std::string>& objects(const std::string& type) const;
  void clearLists();

 private:
  OpenResult openFromText(const std::string& text);
  OpenResult openWithDialog();
  bool finish(const std::string& schema);
  bool checkSchema(const std::string& schema, bool usersRead);
  std::unique_ptr<OracleSession> newSession(OpenResult* result);

  int number_;
  OracleEnvironment environment_;
  LoginPrompter* prompter_;
  std::unique_ptr<OracleSession> session_;
  bool passwordKept_ = false;
  std::string connectionText_, owner_, loginOwner_, displayName_, problem_;
  int maxOrderByColumns_ = 0;
  std::vector<std::string> users_, tables_, views_;
  std::map<std::string, std::vector<std::string>> objects_;
};

}  // namespace velmora
