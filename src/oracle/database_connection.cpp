#include "oracle/database_connection.h"

#include <algorithm>

#include "oracle/connection_text.h"
#include "oracle/login_dialog.h"
#include "oracle/oracle_text.h"

namespace velmora {

DatabaseConnection::DatabaseConnection(int number, const OracleEnvironment& environment,
                                       LoginPrompter* prompter)
    : number_(number), environment_(environment), prompter_(prompter) {}

DatabaseConnection::~DatabaseConnection() {
  clearLists();
  session_.reset();  // disconnects
}

std::unique_ptr<OracleSession> DatabaseConnection::newSession(OpenResult* result) {
  auto session = std::make_unique<OracleSession>(environment_);
  if (!session->clientLoaded()) {
    *result = OpenResult::ClientMissing;
    return nullptr;
  }
  return session;
}

OpenResult DatabaseConnection::open(const std::string& connectionText) {
  session_.reset();
  clearLists();
  users_.clear();
  problem_.clear();
  maxOrderByColumns_ = 0;
  return connectionText.empty() ? openWithDialog() : openFromText(connectionText);
}

OpenResult DatabaseConnection::openFromText(const std::string& text) {
  ConnectionText login = parseConnectionText(text);
  // The client is looked for before anything is asked.
  OpenResult result = OpenResult::NotConnected;
  std::unique_ptr<OracleSession> session = newSession(&result);
  if (!session) return result;
  std::string password = login.password;
  if (!login.hasPassword()) {
    if (prompter_ == nullptr) return OpenResult::NotConnected;
    std::optional<std::string> answer = prompter_->askPassword(login.user, login.database);
    if (!answer || !acceptablePromptPassword(*answer)) return OpenResult::NotConnected;
    password = *answer;
  }
  passwordKept_ = login.hasPassword();
  if (!session->connect(login.user, password, login.database, true, true))
    return OpenResult::NotConnected;
  session->setDisplayName(login.user + "@" + login.database);
  session_ = std::move(session);
  if (finish(login.schema)) return OpenResult::Connected;
  session_.reset();
  return OpenResult::SchemaMissing;
}

OpenResult DatabaseConnection::openWithDialog() {
  OpenResult result = OpenResult::NotConnected;
  std::unique_ptr<OracleSession> session = newSession(&result);
  if (!session) return result;
  if (prompter_ == nullptr || environment_.settings == nullptr) return OpenResult::NotConnected;
  LoginDialogModel model(*environment_.settings, environment_.host, *session);
  model.open();
  if (!prompter_->runLoginDialog(model) || !session->connected()) return OpenResult::NotConnected;
  passwordKept_ = model.passwordKept();
  session_ = std::move(session);
  finish("");
  return OpenResult::Connected;  // the login user always exists
}

// A schema named in the connection text must be a user of the database, exactly as written: a
// schema that does not exist (or differs in letter case) would hold "no objects", and an
// upgrade script would drop everything Database 2 has.
bool DatabaseConnection::checkSchema(const std::string& schema, bool usersRead) {
  if (!usersRead) {
    problem_ = "the users of " + name() + " could not be read, so the schema " + schema +
               " cannot be checked";
    return false;
  }
  if (std::find(users_.begin(), users_.end(), schema) != users_.end()) return true;
  problem_ = "the schema " + schema + " does not exist in " + name() + " (" +
             session_->displayName() + ")";
  const std::string upper = toUpperAscii(schema);
  for (const std::string& user : users_) {
    if (toUpperAscii(user) == upper) {
      problem_ += "; schema names are case-sensitive: did you mean " + user + "?";
      break;
    }
  }
  return false;
}

bool DatabaseConnection::finish(const std::string& schema) {
  OracleSession& session = *session_;
  owner_ = loginOwner_ = session.owner();
  connectionText_ =
      loginOwner_ + (passwordKept_ ? "/" + session.password() : "") + "@" + session.databaseAlias();
  session.setDisplayName(toUpperAscii(session.displayName()));
  displayName_ = session.displayName();
  if (!schema.empty()) {
    owner_ = schema;  // as written: a lower-case schema finds no objects
    displayName_ = schema + ":" + displayName_;
  }
  session.setConnection(this);
  maxOrderByColumns_ = kMaxOrderByColumns;
  const bool usersRead = Catalog::listUsers(session, users_);
  return schema.empty() || schema == loginOwner_ || checkSchema(schema, usersRead);
}

void DatabaseConnection::chooseOwner(const std::string& owner) {
  if (!session_) return;
  owner_ = owner;
  std::string login = loginOwner_ + (passwordKept_ ? "/" + session_->password() : "") + "@" +
                      session_->databaseAlias();
  if (owner != loginOwner_) {
    connectionText_ = owner + ":" + login;
    displayName_ = owner + ":" + session_->displayName();
  } else {
    connectionText_ = login;
    displayName_ = session_->displayName();
  }
  clearLists();
}

bool DatabaseConnection::applyDateFormat(const std::string& format) {
  return session_ && session_->execute("alter session set nls_date_format = '" + format + "'").ok();
}

CatalogSource DatabaseConnection::catalogSource() {
  return CatalogSource{*session_, number_, owner_, displayName_};
}

int DatabaseConnection::readTables(Catalog& catalog, bool views) {
  std::vector<std::string>& list = views ? views_ : tables_;
  list.clear();
  if (!session_) return 0;
  return catalog.listTables(catalogSource(), views, list);
}

int DatabaseConnection::readObjects(Catalog& catalog, const std::string& type) {
  std::vector<std::string>& list = objects_[type];
  list.clear();
  if (!session_) return 0;
  return catalog.listObjects(catalogSource(), type, list);
}

const std::vector<std::string>& DatabaseConnection::objects(const std::string& type) const {
  static const std::vector<std::string> kNone;
  auto it = objects_.find(type);
  return it == objects_.end() ? kNone : it->second;
}

void DatabaseConnection::clearLists() {
  tables_.clear();
  views_.clear();
  objects_.clear();
}

}  // namespace velmora
