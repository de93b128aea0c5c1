#include "oracle/login_dialog.h"

#include <gtest/gtest.h>

#include "oracle/testlib/session_fixture.h"

namespace velmora {
namespace {

class LoginDialogTest : public SessionFixture {
 protected:
  void SetUp() override {
    SessionFixture::SetUp();
    session = std::make_unique<OracleSession>(environment);
  }
  std::string recent(int i) {
    return settings.getString(kRecentDbListSection, std::to_string(i), "<missing>");
  }
  std::unique_ptr<OracleSession> session;
  PasswordCipher cipher = PasswordCipher::withBuiltInKey();
};

TEST_P(LoginDialogTest, OpensOnTheNewestLogin) {
  settings.setString(kRecentDbListSection, "0", "hr/" + cipher.encipherText("secret") + "@test");
  settings.setString(kRecentDbListSection, "1", "scott@orcl");
  settings.setInt(kSettingsSection, "Savepass", 0);
  LoginDialogModel model(settings, &host, *session);
  model.open();
  EXPECT_FALSE(model.savePassword());
  ASSERT_EQ(model.recent().size(), 2u);
  EXPECT_EQ(model.recent()[0].displayText(), "hr/*****@test");
  EXPECT_EQ(model.user, "hr");
  EXPECT_EQ(model.password, "secret");
  EXPECT_EQ(model.database, "test");
  model.choose(1);
  EXPECT_EQ(model.user, "scott");
  EXPECT_EQ(model.password, "");
  model.setSavePassword(true);
  EXPECT_EQ(settings.getInt(kSettingsSection, "Savepass", -1), 1);
}

TEST_P(LoginDialogTest, MissingFieldsKeepItOpen) {
  LoginDialogModel model(settings, &host, *session);
  model.open();
  auto result = model.submit();
  EXPECT_FALSE(result.accepted);
  EXPECT_EQ(result.focus, LoginDialogModel::Field::User);
  model.user = "scott";
  model.database = backend->alias();
  result = model.submit();
  EXPECT_EQ(result.focus, LoginDialogModel::Field::Password);
  EXPECT_EQ(messages(),
            (std::vector<std::string>{"Please enter a username to connect to the database",
                                      "Please enter a password to connect to 'scott'"}));
  EXPECT_EQ(backend->callCount("OCIServerAttach"), 0);
}

TEST_P(LoginDialogTest, UserFieldMayHoldTheWholeLogin) {
  LoginDialogModel model(settings, &host, *session);
  model.open();
  model.user = "scott/tiger@" + backend->alias();
  model.password = "ignored";
  model.database = "ignored";
  auto result = model.submit();
  EXPECT_TRUE(result.accepted);
  EXPECT_TRUE(session->connected());
  EXPECT_EQ(session->displayName(), "scott@" + backend->alias());
  EXPECT_EQ(recent(0), "scott/" + cipher.encipherText("tiger") + "@" + backend->alias());
  EXPECT_TRUE(model.passwordKept());
}

TEST_P(LoginDialogTest, FailedLogonStillRemembersTheLogin) {
  settings.setString(kRecentDbSection, "0", "system/manager@prod");
  LoginDialogModel model(settings, &host, *session);
  model.open();
  model.user = "scott";
  model.password = "lion";
  model.database = backend->alias();
  auto result = model.submit();
  EXPECT_FALSE(result.accepted);
  EXPECT_EQ(result.focus, LoginDialogModel::Field::User);
  EXPECT_TRUE(result.selectAll);
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].rfind("ORA-01017", 0), 0u);
  EXPECT_EQ(recent(0), "scott/" + cipher.encipherText("lion") + "@" + backend->alias());
  EXPECT_EQ(recent(1), "system/" + cipher.encipherText("manager") + "@prod");
  EXPECT_EQ(settings.getString(kRecentDbSection, "0", "<missing>"), "");

  model.password = "tiger";
  EXPECT_TRUE(model.submit().accepted);
  EXPECT_EQ(recent(0), "scott/" + cipher.encipherText("tiger") + "@" + backend->alias());
}

TEST_P(LoginDialogTest, DeletedRowsLeaveTheListAtTheNextOk) {
  settings.setString(kRecentDbListSection, "0", "a@x");
  settings.setString(kRecentDbListSection, "1", "b@y");
  settings.setString(kRecentDbListSection, "2", "c@z");
  LoginDialogModel model(settings, &host, *session);
  model.open();
  model.deleteRow(1);
  EXPECT_EQ(recent(1), "b@y") << "nothing is written before OK";
  model.user = "scott";
  model.password = "tiger";
  model.database = backend->alias();
  ASSERT_TRUE(model.submit().accepted);
  EXPECT_EQ(recent(1), "a@x");
  EXPECT_EQ(recent(2), "c@z");
  EXPECT_EQ(recent(3), "");
}

TEST(PasswordPrompt, RefusesBlankPasswords) {
  EXPECT_FALSE(acceptablePromptPassword(""));
  EXPECT_FALSE(acceptablePromptPassword(" \t "));
  EXPECT_TRUE(acceptablePromptPassword(" x"));
  EXPECT_STREQ(kEmptyPasswordMessage, "Please enter a password.");
}

INSTANTIATE_TEST_SUITE_P(Backends, LoginDialogTest, ::testing::ValuesIn(availableOciBackends()));

}  // namespace
}  // namespace velmora
