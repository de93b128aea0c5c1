// The Login dialog (user, password, database, "Save Password", "Recent Connections") and the
// password prompt, over the models of the Oracle access layer, and the LoginPrompter that shows
// them for a connect on any thread. The logon of the Login dialog runs on a thread of its own
// while the dialog waits with its controls disabled, so the windows keep painting and answering.
#pragma once

#include <QDialog>
#include <atomic>
#include <optional>
#include <string>

#include "oracle/login_dialog.h"

class QCheckBox;
class QLineEdit;
class QTableWidget;
class QLabel;

namespace velmora::ui {

class LoginDialog : public QDialog {
  Q_OBJECT

 public:
  LoginDialog(LoginDialogModel& model, int databaseNumber, QWidget* parent = nullptr);

  QLineEdit* userField() const { return user_; }
  QLineEdit* passwordField() const { return password_; }
  QLineEdit* databaseField() const { return database_; }
  QCheckBox* savePasswordBox() const { return savePassword_; }
  QTableWidget* recentList() const { return recent_; }
  // Delete Entry / Delete All Entries of the list's menu.
  void deleteSelectedEntry();
  void deleteAllEntries();

 public slots:
  void accept() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void fillList();
  void fillFields();
  void chooseRow(int row);
  void showMenu(const QPoint& position);
  void setBusy(bool busy);

  LoginDialogModel& model_;
  QLineEdit* user_;
  QLineEdit* password_;
  QLineEdit* database_;
  QCheckBox* savePassword_;
  QTableWidget* recent_;
  QLabel* connecting_;
};

// The prompt titled "Login" for a connection text without a password.
class PasswordPrompt : public QDialog {
  Q_OBJECT

 public:
  PasswordPrompt(const QString& user, const QString& database, QWidget* parent = nullptr);
  QString password() const;
  QLineEdit* passwordField() const { return password_; }

 public slots:
  void accept() override;

 private:
  QLineEdit* password_;
};

// Shows the dialogs on the user-interface thread for a connect on any thread. Once the window
// closes (closing() set), nothing is shown any more: the prompt and the dialog are cancelled.
class GuiLoginPrompter : public LoginPrompter {
 public:
  GuiLoginPrompter(QWidget* parent, int databaseNumber)
      : parent_(parent), databaseNumber_(databaseNumber) {}

  std::optional<std::string> askPassword(const std::string& user,
                                         const std::string& database) override;
  bool runLoginDialog(LoginDialogModel& model) override;
  void setClosing() { closing_ = true; }

 private:
  QWidget* parent_;
  int databaseNumber_;
  std::atomic<bool> closing_{false};
};

}  // namespace velmora::ui
