#include "oracle/login_dialog.h"

#include "base/run_host.h"
#include "config/registry_settings.h"
#include "oracle/connection_text.h"
#include "oracle/oracle_session.h"
#include "oracle/oracle_text.h"

namespace velmora {

bool acceptablePromptPassword(const std::string& password) {
  return !trimLeadingSpace(password).empty();
}

LoginDialogModel::LoginDialogModel(SettingsStore& settings, RunHost* host, OracleSession& session)
    : settings_(settings),
      host_(host),
      session_(session),
      cipher_(PasswordCipher::withBuiltInKey([host](const std::string& text) {
        if (host != nullptr) host->ask(text, Buttons::Ok);
      })) {}

void LoginDialogModel::message(const std::string& text) {
  if (host_ != nullptr) host_->ask(text, Buttons::Ok);
}

void LoginDialogModel::open() {
  savePassword_ = UserSettings(settings_).savePassword();
  list_ = readRecentLogins(settings_, cipher_);
  if (!list_.entries.empty()) choose(0);
}

void LoginDialogModel::setSavePassword(bool on) {
  savePassword_ = on;
  UserSettings(settings_).setSavePassword(on);
}

void LoginDialogModel::choose(size_t row) {
  if (row >= list_.entries.size()) return;
  user = list_.entries[row].user;
  password = list_.entries[row].password;
  database = list_.entries[row].database;
}

void LoginDialogModel::deleteRow(size_t row) {
  if (row < list_.entries.size())
    list_.entries.erase(list_.entries.begin() + static_cast<long>(row));
}

void LoginDialogModel::deleteAll() {
  list_.entries.clear();
}

LoginDialogModel::SubmitResult LoginDialogModel::submit() {
  if (user.empty()) {
    message("Please enter a username to connect to the database");
    return {false, Field::User, false};
  }
  // The user field may hold the whole login: "scott/tiger@orcl".
  ConnectionText login = parseLoginField(user);
  std::string loginPassword = login.hasPassword() ? login.password : password;
  std::string loginDatabase = !login.database.empty() ? login.database : database;
  if (loginPassword.empty()) {
    message("Please enter a password to connect to '" + login.user + "'");
    return {false, Field::Password, false};
  }
  RecentLogin newest{login.user, loginPassword, loginDatabase};
  saveRecentLogins(settings_, cipher_, newest, savePassword_, list_);
  list_.hadOldEntries = false;  // "Recent DB" has been emptied

  if (!session_.connect(login.user, loginPassword, loginDatabase, true, true))
    return {false, Field::User, true};
  passwordKept_ = savePassword_;
  loggedOnUser_ = login.user;
  loggedOnDatabase_ = loginDatabase;
  session_.setDisplayName(login.user + "@" + loginDatabase);
  return {true, Field::None, false};
}

}  // namespace velmora
