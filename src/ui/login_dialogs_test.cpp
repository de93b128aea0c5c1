#include "ui/login_dialogs.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QApplication>
#include <QMessageBox>
#include <QTableWidget>
#include <QTimer>

#include "oracle/ocisim_test_support.h"
#include "ui/gui_host.h"
#include "test_support/ui_test_support.h"

namespace velmora::ui {
namespace {

using test::ScriptedAsker;

class LoginDialogTest : public ocisimtest::OcisimTest {
 protected:
  void SetUp() override {
    OcisimTest::SetUp();
    guiHost.setAsker([this](const QString& text, Buttons buttons) { return asker(text, buttons); });
    environment.host = &guiHost;
  }

  GuiHost guiHost;
  ScriptedAsker asker;
};

TEST_F(LoginDialogTest, MissingFieldsAndARefusedLogonKeepTheDialogOpenWithTheFocusWhereItHelps) {
  ASSERT_NO_FATAL_FAILURE(createDatabase("orcl"));
  OracleSession session(environment);
  LoginDialogModel model(settings, &guiHost, session);
  model.open();
  LoginDialog dialog(model, 1);
  dialog.show();

  dialog.userField()->clear();
  dialog.accept();
  EXPECT_EQ(asker.texts.value(0), QStringLiteral("Please enter a username to connect to the database"));
  EXPECT_EQ(dialog.focusWidget(), dialog.userField());
  EXPECT_EQ(dialog.result(), QDialog::Rejected);  // still open

  dialog.userField()->setText(QStringLiteral("system"));
  dialog.passwordField()->clear();
  dialog.databaseField()->setText(QStringLiteral("orcl"));
  dialog.accept();
  EXPECT_EQ(asker.texts.value(1), QStringLiteral("Please enter a password to connect to 'system'"));
  EXPECT_EQ(dialog.focusWidget(), dialog.passwordField());

  // Oracle refuses the password: its message, and the user field with its text selected.
  dialog.passwordField()->setText(QStringLiteral("wrong"));
  dialog.accept();
  ASSERT_EQ(asker.texts.size(), 3);
  EXPECT_TRUE(asker.texts.value(2).contains(QStringLiteral("ORA-01017"))) << asker.texts.value(2).toStdString();
  EXPECT_EQ(dialog.focusWidget(), dialog.userField());
  EXPECT_EQ(dialog.userField()->selectedText(), QStringLiteral("system"));
  EXPECT_TRUE(asker.allOnUserThread);  // the logon ran on its own thread, its message here

  // The right password logs on and the login joins the recent list.
  dialog.passwordField()->setText(QStringLiteral("manager"));
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(model.loggedOnUser(), "system");
  EXPECT_EQ(settings.getString("Recent DB List", "0", "").rfind("system/", 0), 0u);
}

TEST_F(LoginDialogTest, RecentConnectionsFillTheFieldsAndCanBeDeleted) {
  settings.setString("Recent DB", "0", "scott/tiger@orcl");
  settings.setString("Recent DB", "1", "hr@test");
  OracleSession session(environment);
  LoginDialogModel model(settings, &guiHost, session);
  model.open();
  LoginDialog dialog(model, 2);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Login - Database 2"));
  QTableWidget* list = dialog.recentList();
  ASSERT_EQ(list->rowCount(), 2);
  EXPECT_EQ(list->item(0, 0)->text(), QStringLiteral("scott/*****@orcl"));
  EXPECT_EQ(list->item(1, 0)->text(), QStringLiteral("hr@test"));
  // The first entry is in the fields on opening; a click on a row puts that one there.
  EXPECT_EQ(dialog.userField()->text(), QStringLiteral("scott"));
  EXPECT_EQ(dialog.passwordField()->text(), QStringLiteral("tiger"));
  emit list->cellClicked(1, 0);
  EXPECT_EQ(dialog.userField()->text(), QStringLiteral("hr"));
  EXPECT_EQ(dialog.passwordField()->text(), QString());
  EXPECT_EQ(dialog.databaseField()->text(), QStringLiteral("test"));

  list->setCurrentCell(0, 0);
  dialog.deleteSelectedEntry();
  ASSERT_EQ(list->rowCount(), 1);
  EXPECT_EQ(list->item(0, 0)->text(), QStringLiteral("hr@test"));
  dialog.deleteAllEntries();
  EXPECT_EQ(list->rowCount(), 0);

  // "Save Password" is written at once.
  dialog.savePasswordBox()->setChecked(false);
  EXPECT_EQ(settings.getString("Settings", "Savepass", ""), "0");
}

TEST(PasswordPromptTest, ABlankPasswordIsRefused) {
  PasswordPrompt prompt(QStringLiteral("SCOTT"), QStringLiteral("orcl"));
  prompt.passwordField()->setText(QStringLiteral("   "));
  // The refusal is a message box; answer it from a timer so the test does not wait for a user.
  QTimer::singleShot(0, [] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* box = qobject_cast<QMessageBox*>(widget)) {
        EXPECT_EQ(box->text(), QStringLiteral("Please enter a password."));
        box->accept();
      }
    }
  });
  prompt.accept();
  EXPECT_EQ(prompt.result(), QDialog::Rejected);
  prompt.passwordField()->setText(QStringLiteral(" tiger"));
  prompt.accept();
  EXPECT_EQ(prompt.result(), QDialog::Accepted);
  EXPECT_EQ(prompt.password(), QStringLiteral(" tiger"));
}

}  // namespace
}  // namespace velmora::ui
