// DatabaseConnection and the Login dialog's logic against libocisim.so: connection texts with a
// schema, passwords asked for, refused logons, and the recent-logins list in the settings.
#include "oracle/database_connection.h"
#include "oracle/login_dialog.h"
#include "oracle/ocisim_test_support.h"
#include "oracle/recent_logins.h"

namespace velmora::ocisimtest {
namespace {

// Answers the password prompt from a list and plays the Login dialog with a function.
class Prompter : public LoginPrompter {
 public:
  std::optional<std::string> askPassword(const std::string& user,
                                         const std::string& database) override {
    asked.push_back(user + "@" + database);
    if (passwords.empty()) return std::nullopt;
    std::optional<std::string> answer = passwords.front();
    passwords.erase(passwords.begin());
    return answer;
  }
  bool runLoginDialog(LoginDialogModel& model) override { return dialog && dialog(model); }

  std::vector<std::optional<std::string>> passwords;
  std::vector<std::string> asked;
  std::function<bool(LoginDialogModel&)> dialog;
};

class ConnectionOcisimTest : public OcisimTest {
 protected:
  void SetUp() override {
    OcisimTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(createDatabase("orcl", "19.3.0",
                                           "create user scott identified by tiger;\n"
                                           "grant connect, resource to scott;\n"
                                           "create user hr identified by hr;\n"
                                           "grant connect, resource to hr;\n"
                                           "create table hr.jobs (job_id varchar2(10));\n"
                                           "create table scott.emp (empno number(4));\n"
                                           "grant select on hr.jobs to scott;\n"));
  }
  Prompter prompter;
};

TEST_F(ConnectionOcisimTest, SchemaHrComparedWhileLoggedOnAsScott) {
  DatabaseConnection connection(1, environment, &prompter);
  ASSERT_EQ(connection.open("HR:scott/tiger@orcl"), OpenResult::Connected)
      << ::testing::PrintToString(takeMessages());
  EXPECT_EQ(connection.owner(), "HR");
  EXPECT_EQ(connection.loginOwner(), "SCOTT");
  EXPECT_EQ(connection.displayName(), "HR:SCOTT@ORCL");
  EXPECT_EQ(connection.connectionText(), "SCOTT/tiger@orcl");  // no schema, password kept
  EXPECT_EQ(connection.maxOrderByColumns(), 10000);
  const auto& users = connection.users();
  EXPECT_NE(std::find(users.begin(), users.end(), "HR"), users.end());
  EXPECT_TRUE(prompter.asked.empty());

  CatalogState state;
  Catalog catalog(state, nullptr, &options);
  EXPECT_EQ(connection.readTables(catalog, false), 1);
  EXPECT_EQ(connection.tables(), (std::vector<std::string>{"JOBS"}));
  // The login user's own objects again.
  connection.chooseOwner("SCOTT");
  EXPECT_EQ(connection.displayName(), "SCOTT@ORCL");
  EXPECT_EQ(connection.readTables(catalog, false), 1);
  EXPECT_EQ(connection.tables(), (std::vector<std::string>{"EMP"}));
}

TEST_F(ConnectionOcisimTest, SchemaThatIsNoUserIsRefused) {
  DatabaseConnection connection(2, environment, &prompter);
  EXPECT_EQ(connection.open("hr:scott/tiger@orcl"), OpenResult::SchemaMissing);
  EXPECT_NE(connection.problem().find("did you mean HR?"), std::string::npos)
      << connection.problem();
}

TEST_F(ConnectionOcisimTest, MissingPasswordIsAskedAndNotKept) {
  prompter.passwords = {std::string("tiger")};
  DatabaseConnection connection(1, environment, &prompter);
  ASSERT_EQ(connection.open("scott@orcl"), OpenResult::Connected);
  EXPECT_EQ(prompter.asked, (std::vector<std::string>{"scott@orcl"}));
  EXPECT_EQ(connection.connectionText(), "SCOTT@orcl");
}

TEST_F(ConnectionOcisimTest, WrongPasswordAndUnknownAliasLeaveItUnconnected) {
  DatabaseConnection connection(1, environment, &prompter);
  EXPECT_EQ(connection.open("scott/lion@orcl"), OpenResult::NotConnected);
  EXPECT_FALSE(connection.connected());
  EXPECT_EQ(takeMessages(),
            (std::vector<std::string>{"ORA-01017: invalid username/password; logon denied\n"}));
  EXPECT_EQ(connection.open("scott/tiger@elsewhere"), OpenResult::NotConnected);
  EXPECT_EQ(takeMessages(),
            (std::vector<std::string>{"ORA-12154: TNS:could not resolve the connect identifier "
                                      "specified\n"}));
}

TEST_F(ConnectionOcisimTest, RecentLoginsNewestFirstWithoutDuplicates) {
  auto loginAs = [&](const std::string& user, const std::string& password) {
    prompter.dialog = [=](LoginDialogModel& model) {
      model.user = user;
      model.password = password;
      model.database = "orcl";
      return model.submit().accepted;
    };
    DatabaseConnection connection(1, environment, &prompter);
    return connection.open("") == OpenResult::Connected;
  };
  ASSERT_TRUE(loginAs("scott", "tiger")) << ::testing::PrintToString(takeMessages());
  ASSERT_TRUE(loginAs("hr", "hr"));
  ASSERT_TRUE(loginAs("scott", "tiger"));
  EXPECT_FALSE(loginAs("scott", "wrong"));  // refused, but remembered as the newest attempt

  PasswordCipher cipher = PasswordCipher::withBuiltInKey();
  RecentLoginList list = readRecentLogins(settings, cipher);
  std::vector<std::string> rows;
  for (const RecentLogin& login : list.entries)
    rows.push_back(login.user + "/" + login.password + "@" + login.database);
  EXPECT_EQ(rows, (std::vector<std::string>{"scott/wrong@orcl", "scott/tiger@orcl", "hr/hr@orcl"}));
  // Stored enciphered, never in plain text.
  EXPECT_EQ(settings.getString(kRecentDbListSection, "1", "").find("tiger"), std::string::npos);
  EXPECT_EQ(settings.getString(kRecentDbListSection, "3", "<missing>"), "");
}

}  // namespace
}  // namespace velmora::ocisimtest
