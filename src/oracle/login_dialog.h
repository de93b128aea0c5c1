// The logic of the Login dialog (user, password, database, "Save Password", "Recent
// Connections") and of the password prompt, without any window. A LoginPrompter shows them: the
// GUI with real dialogs, the command line and the tests with their own answers. The model shows
// its messages through RunHost::ask and logs on with a session the connection lends it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "oracle/password_cipher.h"
#include "oracle/recent_logins.h"

namespace velmora {

class OracleSession;
class RunHost;
class SettingsStore;

class LoginDialogModel {
 public:
  enum class Field { None, User, Password, Database };
  struct SubmitResult {
    bool accepted = false;      // logged on: the dialog closes with OK
    Field focus = Field::None;  // where the focus goes when it stays open
    bool selectAll = false;     // the focused field's text is selected (failed logon)
  };

  LoginDialogModel(SettingsStore& settings, RunHost* host, OracleSession& session);

  // On opening: "Save Password" from the settings, the list from the settings, and the first
  // entry's user, password and database in the fields.
  void open();

  std::string user, password, database;  // the fields, bound by the dialog

  bool savePassword() const { return savePassword_; }
  void setSavePassword(bool on);  // written to "Savepass" at once

  const std::vector<RecentLogin>& recent() const { return list_.entries; }
  void choose(size_t row);     // fills the three fields from the row
  void deleteRow(size_t row);  // "Delete Entry" or the Delete key; the settings follow at OK
  void deleteAll();            // "Delete All Entries"

  // OK: checks the fields, saves the recent list, logs on. The messages have been shown.
  SubmitResult submit();

  // After an accepted submit: the user and database that logged on, and whether the password
  // is kept in the connection text ("Save Password").
  const std::string& loggedOnUser() const { return loggedOnUser_; }
  const std::string& loggedOnDatabase() const { return loggedOnDatabase_; }
  bool passwordKept() const { return passwordKept_; }

 private:
  void message(const std::string& text);

  SettingsStore& settings_;
  RunHost* host_;
  OracleSession& session_;
  PasswordCipher cipher_;
  RecentLoginList list_;
  bool savePassword_ = true;
  std::string loggedOnUser_, loggedOnDatabase_;
  bool passwordKept_ = false;
};

// The password prompt accepts only a password that is not empty after leading white space is
// removed; otherwise this message is shown and the prompt stays open.
inline constexpr const char* kEmptyPasswordMessage = "Please enter a password.";
bool acceptablePromptPassword(const std::string& password);

// Shows the two dialogs. Implemented by the GUI, the command line and tests.
class LoginPrompter {
 public:
  virtual ~LoginPrompter() = default;
  // The prompt titled "Login" with "Username: ", "Password: " and "Database: ", user and
  // database filled in. Returns the accepted password, or nothing for Cancel.
  virtual std::optional<std::string> askPassword(const std::string& user,
                                                 const std::string& database) = 0;
  // The Login dialog over a model already opened: returns true once a submit was accepted,
  // false for Cancel.
  virtual bool runLoginDialog(LoginDialogModel& model) = 0;
};

}  // namespace velmora
