// The script runner over a fake connection: what is executed, and what is printed.
#include "tool/script_runner.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "engine/ora_error.h"
#include "engine/sql/parser.h"

namespace ocisim::tool {
namespace {

struct FakeResult {
  std::vector<ResultColumn> columns;
  std::vector<std::vector<std::optional<std::string>>> rows;
};

// Parses every statement with the real parser (so syntax errors carry real positions),
// answers queries from a table of results and fails statements listed in `errors`.
class FakeConnection : public Connection {
 public:
  StatementOutcome execute(const std::string& sql, RowSink& sink) override {
    executed.push_back(sql);
    auto error = errors.find(sql);
    if (error != errors.end()) throw OraError(error->second);
    auto stmt = sql::parseStatement(sql);
    StatementOutcome outcome;
    outcome.functionCode = stmt->sqlFunctionCode();
    outcome.isQuery = stmt->kind == sql::StatementKind::Select;
    if (outcome.isQuery) {
      const FakeResult& r = results[sql];
      sink.columns(r.columns);
      for (const auto& row : r.rows) sink.row(row);
      outcome.rowCount = r.rows.size();
    } else {
      outcome.rowCount = 1;
    }
    if (serverOutputOn && outputs.count(sql)) pending = outputs[sql];
    return outcome;
  }
  void connect(const std::string& user, const std::string& password) override {
    if (password == "wrong") throw OraError(1017);
    users.push_back(user);
  }
  void setServerOutput(bool on) override { serverOutputOn = on; }
  std::vector<std::string> takeServerOutput() override { return std::exchange(pending, {}); }

  std::vector<std::string> executed;
  std::map<std::string, int> errors;
  std::map<std::string, FakeResult> results;
  std::map<std::string, std::vector<std::string>> outputs;
  std::vector<std::string> users;
  std::vector<std::string> pending;
  bool serverOutputOn = false;
};

struct RunResult {
  std::string output;
  int failures;
  bool stopped;
};

RunResult run(FakeConnection& connection, const std::string& script) {
  std::ostringstream out;
  ScriptRunner runner(connection, out);
  runner.runScript(script, "");
  return {out.str(), runner.failures(), runner.stopped()};
}

TEST(ScriptRunner, PrintsResultsFeedbackAndErrorsWithScriptLines) {
  FakeConnection c;
  c.results["select id, name from t"] = {{{"ID", true}, {"NAME", false}},
                                         {{"1", "Smith"}, {"12", std::nullopt}}};
  c.errors["drop table missing"] = 942;
  RunResult r = run(c,
              "create table t (id number, name varchar2(10));\n"
              "insert into t values (1, 'Smith');\n"
              "\n"
              "select id, name from t;\n"
              "select * from empty_t;\n"
              "drop table missing;\n"
              "select a,\n  b c d\nfrom t;\n");
  EXPECT_EQ(r.output,
            "Table created.\n\n"
            "1 row created.\n\n"
            "ID NAME\n"
            "-- -----\n"
            " 1 Smith\n"
            "12\n\n"
            "2 rows selected.\n\n"
            "no rows selected\n\n"
            "ERROR at line 6:\n"
            "ORA-00942: table or view does not exist\n\n"
            "ERROR at line 8:\n"
            "ORA-00923: FROM keyword not found where expected\n\n");
  EXPECT_EQ(r.failures, 2);
  EXPECT_FALSE(r.stopped);
  EXPECT_EQ(c.executed.size(), 6u);
}

TEST(ScriptRunner, BlocksServerOutputAndRerun) {
  FakeConnection c;
  c.outputs["begin dbms_output.put_line('hi'); end;"] = {"hi", "there"};
  RunResult r = run(c,
              "set serveroutput on\n"
              "begin dbms_output.put_line('hi'); end;\n/\n"
              "update t set a = 1;\n"
              "/\n");
  EXPECT_TRUE(c.serverOutputOn);
  EXPECT_EQ(r.output,
            "hi\nthere\n\n"
            "PL/SQL procedure successfully completed.\n\n"
            "1 row updated.\n\n"
            "1 row updated.\n\n");
  EXPECT_EQ(c.executed.back(), "update t set a = 1");
}

TEST(ScriptRunner, CommandsAreHonouredOrNoted) {
  FakeConnection c;
  RunResult r = run(c,
              "prompt Creating the schema\n"
              "set pagesize 100\n"
              "spool out.log\n"
              "rem nothing\n"
              "connect scott/tiger\n"
              "connect scott/wrong\n"
              "connect scott\n"
              "exit\n"
              "drop table t;\n");
  EXPECT_EQ(r.output,
            "Creating the schema\n"
            "Note: line 2: SET PAGESIZE ignored\n\n"
            "Note: line 3: SPOOL ignored\n\n"
            "Connected.\n\n"
            "ERROR at line 6:\n"
            "ORA-01017: invalid username/password; logon denied\n\n"
            "ERROR at line 7:\n"
            "SP2-0306: Invalid option.\nUsage: CONNECT username/password\n\n");
  EXPECT_EQ(c.users, std::vector<std::string>{"scott"});
  EXPECT_TRUE(r.stopped);
  EXPECT_TRUE(c.executed.empty());
}

TEST(ScriptRunner, WheneverSqlErrorExitStopsAtTheFirstFailure) {
  FakeConnection c;
  c.errors["drop table a"] = 942;
  RunResult r = run(c, "whenever sqlerror exit failure\ndrop table a;\ndrop table b;\n");
  EXPECT_EQ(r.failures, 1);
  EXPECT_TRUE(r.stopped);
  EXPECT_EQ(c.executed, std::vector<std::string>{"drop table a"});
}

TEST(ScriptRunner, NestedScriptsAndMissingFiles) {
  std::string dir = ::testing::TempDir();
  {
    std::ofstream(dir + "inner_script.sql") << "drop table inner_t;\n";
    std::ofstream(dir + "outer_script.sql") << "@@inner_script\ndrop table outer_t;\n@@nope\n";
  }
  FakeConnection c;
  std::ostringstream out;
  ScriptRunner runner(c, out);
  runner.runFile(dir + "outer_script.sql", 0);
  EXPECT_EQ(c.executed, (std::vector<std::string>{"drop table inner_t", "drop table outer_t"}));
  EXPECT_EQ(runner.failures(), 1);
  EXPECT_NE(out.str().find("ERROR at line 3:\nSP2-0310: unable to open file \"" + dir +
                           "nope.sql\""),
            std::string::npos);
}

TEST(ScriptRunner, SelfIncludingScriptStopsAtTheNestingLimit) {
  std::string path = ::testing::TempDir() + "loop_script.sql";
  std::ofstream(path) << "@@loop_script.sql\n";
  FakeConnection c;
  std::ostringstream out;
  ScriptRunner runner(c, out, RunnerOptions{false, 5});
  runner.runFile(path, 0);
  EXPECT_EQ(runner.failures(), 1);
  EXPECT_NE(out.str().find("SP2-0309"), std::string::npos);
}

TEST(ScriptRunner, FeedbackTexts) {
  EXPECT_EQ(feedbackText({4, true, 0}), "no rows selected");
  EXPECT_EQ(feedbackText({4, true, 1}), "1 row selected.");
  EXPECT_EQ(feedbackText({9, false, 3}), "3 rows deleted.");
  EXPECT_EQ(feedbackText({3, false, 0}), "0 rows created.");
  EXPECT_EQ(feedbackText({26, false, 0}), "Table altered.");
  EXPECT_EQ(feedbackText({60, false, 0}), "Trigger altered.");
  EXPECT_EQ(feedbackText({10, false, 0, 24344}), "Warning: View created with compilation errors.");
  EXPECT_EQ(feedbackText({10, false, 0, 0}), "View created.");
  EXPECT_EQ(feedbackText({97, false, 0}), "Package body created.");
  EXPECT_EQ(feedbackText({999, false, 0}), "Statement processed.");
}

}  // namespace
}  // namespace ocisim::tool
