// End-to-end checks that no name of a database can inject SQL into the upgrade script or act on
// the terminal: tables named with a line break and a statement, or with ESC and BEL sequences,
// built with the ocisim tool, compared by velmora-cli, and the script run back on a copy of
// Database 2.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "e2e_process.h"
#include "e2e_scenario.h"
#include "e2e_workspace.h"

namespace velmora::e2e {
namespace {

namespace fs = std::filesystem;

constexpr int kExitFinished = 0;
constexpr int kExitRunErrors = 5;

// A quoted name that holds a line break, a statement and another line break: SQL*Plus ends a
// statement at a line that ends with ";", even inside quotes.
const char* const kInjectedTable = "CREATE TABLE \"Z\nDROP TABLE VICTIM;\n\" (a NUMBER);\n";
const char* const kVictim =
    "CREATE TABLE victim (a NUMBER);\nCREATE INDEX victim_ix ON victim (a);\n";
// Sets the window title and clears the screen when a terminal prints it.
const char* const kTerminalTable = "CREATE TABLE \"T\x1b]0;pwned\x07\x1b[2J\" (a NUMBER);\n";

std::string trimmed(std::string line) {
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
  const size_t start = line.find_first_not_of(" \t");
  return start == std::string::npos ? "" : line.substr(start);
}

// The statements of a script as SQL*Plus reads it, line by line and blind to quotes: "--" and
// REM lines and /* ... */ blocks between statements are skipped; a statement ends at a line that
// ends with ";" or is "/", and is dropped at a blank line. Each statement is its lines joined by
// LF. CR LF, LF and a lone CR each end a line.
std::vector<std::string> sqlPlusStatements(const std::string& script) {
  std::vector<std::string> lines;
  std::string current;
  for (size_t i = 0; i < script.size(); ++i) {
    if (script[i] != '\r' && script[i] != '\n') {
      current += script[i];
      continue;
    }
    if (script[i] == '\r' && i + 1 < script.size() && script[i + 1] == '\n') ++i;
    lines.push_back(current);
    current.clear();
  }
  lines.push_back(current);

  std::vector<std::string> statements;
  std::string statement;
  bool inStatement = false, inComment = false;
  for (const std::string& raw : lines) {
    const std::string line = trimmed(raw);
    if (inComment) {
      inComment = line.find("*/") == std::string::npos;
      continue;
    }
    if (!inStatement) {
      if (line.empty() || line.rfind("--", 0) == 0 || line.rfind("REM", 0) == 0) continue;
      if (line.rfind("/*", 0) == 0) {
        inComment = line.find("*/", 2) == std::string::npos;
        continue;
      }
      inStatement = true;
      statement.clear();
    } else if (line.empty()) {
      inStatement = false;  // SQL*Plus drops the statement and reads on
      continue;
    }
    statement += (statement.empty() ? "" : "\n") + line;
    if (line == "/" || line.back() == ';') {
      statements.push_back(statement);
      inStatement = false;
    }
  }
  if (inStatement) statements.push_back(statement);
  return statements;
}

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class TrustInjection : public ::testing::Test {
 protected:
  void SetUp() override {
    scenario_ = adHocScenario("trust_injection");
    workspace_ = std::make_unique<Workspace>(scenario_);
  }

  void create(const std::string& alias, const std::string& schema) {
    ASSERT_EQ(workspace_->createDatabaseFrom(alias, schema), "");
  }

  // velmora-cli run with the table phases only; the report goes to stdout unless `output` names
  // a file (its text is then in output_).
  ProcessResult velmora(const std::string& mode, const std::vector<std::string>& more,
                        const std::string& output = "") {
    std::vector<std::string> argv = {
        VELMORA_CLI_PATH, "run",   "--oci-library", OCISIM_LIBRARY_PATH,
        "--mode",         mode,    "--no-progress", "--db1",
        "APP/app@db1",    "--db2", "APP/app@db2"};
    if (!output.empty()) argv.insert(argv.end(), {"--output", output});
    for (const std::string& set : tablePhasesOnly()) argv.insert(argv.end(), {"--set", set});
    argv.insert(argv.end(), more.begin(), more.end());
    ProcessResult result = runProcess(argv, workspace_->root());
    output_ = !output.empty() && fs::exists(output) ? readFile(output) : "";
    return result;
  }

  // Runs SQL on a database with the ocisim tool as the schema owner; true when it succeeded.
  bool sql(const std::string& alias, const std::string& text) {
    const ProcessResult result =
        runProcess({OCISIM_TOOL_PATH, "run", (workspace_->root() / alias).string(), "-u", "APP/app",
                    "-c", text},
                   workspace_->root());
    return result.exitCode == 0;
  }

  Scenario scenario_;
  std::unique_ptr<Workspace> workspace_;
  std::string output_;
};

// Both databases hold VICTIM and the table whose name carries DROP TABLE VICTIM; Database 2 also
// OTHER. The script drops OTHER and nothing else, and run on a copy of Database 2 it leaves VICTIM
// where it was.
TEST_F(TrustInjection, ANameCannotInjectAStatementIntoTheUpgradeScript) {
  ASSERT_NO_FATAL_FAILURE(create("db1", std::string(kVictim) + kInjectedTable));
  ASSERT_NO_FATAL_FAILURE(
      create("db2", std::string(kVictim) + kInjectedTable + "CREATE TABLE other (a NUMBER);\n"));
  ASSERT_TRUE(sql("db2", "SELECT COUNT(*) FROM victim;"));

  const fs::path script = workspace_->root() / "upgrade.sql";
  const ProcessResult run =
      velmora("upgrade", {"--color", "never", "--set", "b_DoCommon=1"}, script.string());
  ASSERT_EQ(run.exitCode, kExitFinished) << run.err << output_;
  EXPECT_EQ(sqlPlusStatements(output_), (std::vector<std::string>{"DROP TABLE OTHER;"})) << output_;
  EXPECT_TRUE(contains(output_, "Z\\nDROP TABLE VICTIM;\\n")) << "the name, escaped\n" << output_;

  ASSERT_EQ(workspace_->copyDatabase("db2", "upgraded"), "");
  ASSERT_EQ(workspace_->runScript("upgraded", script), "");
  EXPECT_TRUE(sql("upgraded", "SELECT COUNT(*) FROM victim;")) << "VICTIM was dropped\n" << output_;
  EXPECT_FALSE(sql("upgraded", "SELECT COUNT(*) FROM other;")) << "OTHER is still there";
}

// A table on one side only whose name cannot stand in a statement gets a comment instead of its
// DROP or CREATE TABLE, and the run ends with errors rather than as a success.
TEST_F(TrustInjection, NoStatementIsWrittenForANameThatWouldBreakTheScript) {
  ASSERT_NO_FATAL_FAILURE(create(
      "db1", std::string(kVictim) + "CREATE TABLE \"NEW\nDROP TABLE VICTIM;\n\" (a NUMBER);\n"));
  ASSERT_NO_FATAL_FAILURE(create(
      "db2", std::string(kVictim) + "CREATE TABLE \"OLD\nDROP TABLE VICTIM;\n\" (a NUMBER);\n"));

  const fs::path script = workspace_->root() / "upgrade.sql";
  const ProcessResult run = velmora("upgrade", {"--color", "never"}, script.string());
  EXPECT_EQ(run.exitCode, kExitRunErrors) << run.err << output_;
  EXPECT_TRUE(sqlPlusStatements(output_).empty()) << output_;
  EXPECT_TRUE(contains(output_,
                       "-- No statement is written for the drop of table "
                       "OLD\\nDROP TABLE VICTIM;\\n: its name holds a line break"))
      << output_;
  EXPECT_TRUE(contains(output_,
                       "-- No statement is written for table NEW\\nDROP TABLE "
                       "VICTIM;\\n: its name holds a line break"))
      << output_;

  ASSERT_EQ(workspace_->copyDatabase("db2", "upgraded"), "");
  ASSERT_EQ(workspace_->runScript("upgraded", script), "");
  EXPECT_TRUE(sql("upgraded", "SELECT COUNT(*) FROM victim;")) << output_;

  // The script of Database 1 leaves the table out the same way.
  const fs::path script1 = workspace_->root() / "script1.sql";
  const ProcessResult scripted = velmora("script", {"--color", "never"}, script1.string());
  EXPECT_EQ(scripted.exitCode, kExitRunErrors) << scripted.err << output_;
  for (const std::string& statement : sqlPlusStatements(output_))
    EXPECT_FALSE(contains(statement, "NEW")) << statement;
  EXPECT_TRUE(contains(output_, "-- No statement is written for table NEW\\n")) << output_;
}

// The report printed in colour (as on a terminal): the only escape sequences in it are the colours
// velmora-cli writes itself; the name's ESC and BEL are shown, not sent.
TEST_F(TrustInjection, ANameCannotDriveTheTerminal) {
  ASSERT_NO_FATAL_FAILURE(create("db1", std::string(kVictim) + kTerminalTable));
  ASSERT_NO_FATAL_FAILURE(create("db2", kVictim));

  const ProcessResult run = velmora("report", {"--color", "always"});
  ASSERT_EQ(run.exitCode, kExitFinished) << run.err;
  const std::string& out = run.out;
  EXPECT_TRUE(contains(out, "T\\x1B]0;pwned\\x07\\x1B[2J")) << out;
  EXPECT_FALSE(contains(out, "\x07")) << out;
  size_t colours = 0;
  for (size_t at = out.find('\x1b'); at != std::string::npos; at = out.find('\x1b', at + 1)) {
    // ESC [ digits and semicolons m: a colour, nothing else.
    size_t end = at + 1;
    bool colour = end < out.size() && out[end] == '[';
    for (++end; colour && end < out.size() && out[end] != 'm'; ++end)
      colour = (out[end] >= '0' && out[end] <= '9') || out[end] == ';';
    EXPECT_TRUE(colour && end < out.size()) << out.substr(at, 12);
    ++colours;
  }
  EXPECT_GT(colours, 0u) << "the report is in colour";
  EXPECT_FALSE(contains(run.err, "\x1b")) << run.err;
}

}  // namespace
}  // namespace velmora::e2e
