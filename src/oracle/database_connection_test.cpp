#include "oracle/database_connection.h"

#include <gtest/gtest.h>

#include <functional>

#include "base/recording_host.h"
#include "oracle/login_dialog.h"
#include "oracle/testlib/session_fixture.h"

namespace velmora {
namespace {

// Answers the password prompt from a list and plays the Login dialog with a script.
class ScriptedPrompter : public LoginPrompter {
 public:
  std::optional<std::string> askPassword(const std::string& user,
                                         const std::string& database) override {
    asked.push_back(user + "@" + database);
    if (passwords.empty()) return std::nullopt;
    auto answer = passwords.front();
    passwords.erase(passwords.begin());
    return answer;
  }
  bool runLoginDialog(LoginDialogModel& model) override {
    ++dialogs;
    return dialog ? dialog(model) : false;
  }

  std::vector<std::optional<std::string>> passwords;
  std::function<bool(LoginDialogModel&)> dialog;
  std::vector<std::string> asked;
  int dialogs = 0;
};

class ConnectionTest : public SessionFixture {
 protected:
  ScriptedPrompter prompter;
};

TEST_P(ConnectionTest, SchemaUserPasswordAndDatabase) {
  backend->addUser("HR", "hr");
  DatabaseConnection connection(1, environment, &prompter);
  ASSERT_EQ(connection.open("HR:scott/tiger@orcl"), OpenResult::Connected);
  EXPECT_EQ(connection.owner(), "HR");
  EXPECT_EQ(connection.loginOwner(), "SCOTT");
  EXPECT_EQ(connection.displayName(), "HR:SCOTT@ORCL");
  EXPECT_EQ(connection.connectionText(), "SCOTT/tiger@orcl");
  EXPECT_TRUE(connection.passwordKept());
  EXPECT_EQ(connection.maxOrderByColumns(), 10000);
  EXPECT_EQ(connection.users().size(), 2u);
  EXPECT_EQ(connection.session()->connection(), &connection);
  EXPECT_EQ(connection.session()->displayName(), "SCOTT@ORCL");
  EXPECT_TRUE(prompter.asked.empty());

  backend->addTable("HR", "JOBS");
  CatalogState state;
  Catalog hrCatalog(state, nullptr, nullptr);
  EXPECT_EQ(connection.readTables(hrCatalog, false), 1);
  EXPECT_EQ(connection.tables(), std::vector<std::string>{"JOBS"});
  EXPECT_EQ(backend->lastBind(":owner"), "HR");
}

// A schema that is no user of the database (here only in its letter case) would hold "no
// objects", and an upgrade script would drop everything: the connection is refused instead.
TEST_P(ConnectionTest, SchemaThatIsNoUserIsRefused) {
  backend->addUser("HR", "hr");
  backend->addTable("HR", "JOBS");
  DatabaseConnection connection(2, environment, &prompter);
  EXPECT_EQ(connection.open("hr:scott/tiger@orcl"), OpenResult::SchemaMissing);
  EXPECT_FALSE(connection.connected());
  EXPECT_EQ(connection.problem(),
            "the schema hr does not exist in Database 2 (SCOTT@ORCL); schema names are "
            "case-sensitive: did you mean HR?");
  EXPECT_EQ(connection.open("NOBODY:scott/tiger@orcl"), OpenResult::SchemaMissing);
  EXPECT_EQ(connection.problem(), "the schema NOBODY does not exist in Database 2 (SCOTT@ORCL)");
  // The login user needs no check, and a good schema clears the problem.
  EXPECT_EQ(connection.open("SCOTT:scott/tiger@orcl"), OpenResult::Connected);
  EXPECT_EQ(connection.open("HR:scott/tiger@orcl"), OpenResult::Connected);
  EXPECT_EQ(connection.problem(), "");
}

TEST_P(ConnectionTest, MissingPasswordIsAskedAndNotKept) {
  DatabaseConnection connection(1, environment, &prompter);
  prompter.passwords = {std::string("tiger")};
  ASSERT_EQ(connection.open("scott@orcl"), OpenResult::Connected);
  EXPECT_EQ(prompter.asked, std::vector<std::string>{"scott@orcl"});
  EXPECT_EQ(connection.connectionText(), "SCOTT@orcl");
  EXPECT_FALSE(connection.passwordKept());
  EXPECT_EQ(connection.displayName(), "SCOTT@ORCL");

  prompter.passwords = {std::nullopt};
  EXPECT_EQ(connection.open("scott@orcl"), OpenResult::NotConnected) << "Cancel";
  EXPECT_FALSE(connection.connected());
  prompter.passwords = {std::string("   ")};
  EXPECT_EQ(connection.open("scott@orcl"), OpenResult::NotConnected);
  EXPECT_EQ(backend->callCount("OCISessionBegin"), 1) << "an empty password never reaches OCI";
}

TEST_P(ConnectionTest, RefusedLogonLeavesItUnconnected) {
  DatabaseConnection connection(1, environment, &prompter);
  EXPECT_EQ(connection.open("scott/lion@orcl"), OpenResult::NotConnected);
  EXPECT_FALSE(connection.connected());
  EXPECT_EQ(connection.session(), nullptr);
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].rfind("ORA-01017", 0), 0u);
}

TEST_P(ConnectionTest, MissingClientIsReportedBeforeAnyPrompt) {
  settings.setString(kSettingsSection, "OCIDLL", "/nonexistent/libclntsh.so");
  DatabaseConnection connection(1, environment, &prompter);
  EXPECT_EQ(connection.open("scott@orcl"), OpenResult::ClientMissing);
  EXPECT_EQ(connection.open(""), OpenResult::ClientMissing);
  EXPECT_TRUE(prompter.asked.empty());
  EXPECT_EQ(prompter.dialogs, 0);
  EXPECT_TRUE(messages().empty()) << "the front end shows the message and ends";
}

TEST_P(ConnectionTest, EmptyTextOpensTheLoginDialog) {
  prompter.dialog = [](LoginDialogModel& model) {
    model.setSavePassword(false);
    model.user = "scott/tiger@orcl";
    return model.submit().accepted;
  };
  DatabaseConnection connection(2, environment, &prompter);
  ASSERT_EQ(connection.open(""), OpenResult::Connected);
  EXPECT_EQ(connection.connectionText(), "SCOTT@orcl");
  EXPECT_EQ(connection.displayName(), "SCOTT@ORCL");

  prompter.dialog = [](LoginDialogModel&) { return false; };
  EXPECT_EQ(connection.open(""), OpenResult::NotConnected) << "Cancel";
}

TEST_P(ConnectionTest, ChoosingAnotherOwner) {
  DatabaseConnection connection(1, environment, &prompter);
  ASSERT_EQ(connection.open("scott/tiger@orcl"), OpenResult::Connected);
  CatalogState state;
  Catalog catalog(state, nullptr, nullptr);
  backend->addTable("SCOTT", "EMP");
  ASSERT_EQ(connection.readTables(catalog, false), 1);
  ASSERT_EQ(connection.tables().size(), 1u);

  connection.chooseOwner("HR");
  EXPECT_EQ(connection.owner(), "HR");
  EXPECT_EQ(connection.connectionText(), "HR:SCOTT/tiger@orcl");
  EXPECT_EQ(connection.displayName(), "HR:SCOTT@ORCL");
  EXPECT_TRUE(connection.tables().empty()) << "lists are read again for the new owner";

  connection.chooseOwner("SCOTT");
  EXPECT_EQ(connection.connectionText(), "SCOTT/tiger@orcl");
  EXPECT_EQ(connection.displayName(), "SCOTT@ORCL");
}

TEST_P(ConnectionTest, DateFormatChange) {
  DatabaseConnection connection(1, environment, &prompter);
  ASSERT_EQ(connection.open("scott/tiger@orcl"), OpenResult::Connected);
  EXPECT_TRUE(connection.applyDateFormat("DD.MM.YYYY"));
  EXPECT_EQ(backend->executeCount("alter session set nls_date_format = 'DD.MM.YYYY'"), 1);
  backend->failStatement("nls_date_format", 1, 1821);
  EXPECT_FALSE(connection.applyDateFormat("nonsense"));
}

INSTANTIATE_TEST_SUITE_P(Backends, ConnectionTest, ::testing::ValuesIn(availableOciBackends()));

}  // namespace
}  // namespace velmora
