// The key columns of the data upgrade chosen on the command line (--key) and kept in a
// configuration file: for a table without any key, the upgrade script finds the rows by the
// chosen columns (an UPDATE of the changed row, not a DELETE and INSERT), runs on a copy of
// Database 2 without a failing statement, and a new comparison finds no data difference. A key
// naming a column the table lacks is refused with a warning and the rows are matched whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "e2e_process.h"
#include "e2e_report.h"
#include "e2e_workspace.h"

namespace velmora::e2e {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDatabase1 =
    "CREATE TABLE lines (order_id NUMBER, line_no NUMBER, item VARCHAR2(20), qty NUMBER);\n"
    "INSERT INTO lines VALUES (1, 1, 'tea', 2);\n"
    "INSERT INTO lines VALUES (1, 2, 'O''Hara''s jam', 1);\n"
    "INSERT INTO lines VALUES (2, 1, 'bread', 5);\n"
    "INSERT INTO lines VALUES (4, 1, 'salt', NULL);\n";
constexpr const char* kDatabase2 =
    "CREATE TABLE lines (order_id NUMBER, line_no NUMBER, item VARCHAR2(20), qty NUMBER);\n"
    "INSERT INTO lines VALUES (1, 1, 'tea', 3);\n"
    "INSERT INTO lines VALUES (2, 1, 'bread', 5);\n"
    "INSERT INTO lines VALUES (3, 1, 'milk', 1);\n"
    "INSERT INTO lines VALUES (4, 1, 'pepper', 7);\n";

class DataKeyOverride : public ::testing::Test {
 protected:
  void SetUp() override {
    scenario_.users = fs::path(E2E_SCENARIO_DIR) / "data_compare" / "users.sql";
    workspace_ = std::make_unique<Workspace>(scenario_);
    ASSERT_EQ(workspace_->createDatabaseFrom("db1", kDatabase1), "");
    ASSERT_EQ(workspace_->createDatabaseFrom("db2", kDatabase2), "");
  }

  // velmora-cli with the table and data phases only, Database 1 and `target`; the output file's
  // text (or what went wrong) and the exit status.
  std::string cli(std::vector<std::string> argv, const std::string& target, const fs::path& output,
                  int* status) {
    argv.insert(argv.begin(), VELMORA_CLI_PATH);
    for (const std::string& set : tablePhasesOnly()) argv.insert(argv.end(), {"--set", set});
    argv.insert(argv.end(), {"--set", "b_DoData=1", "--oci-library", OCISIM_LIBRARY_PATH, "--color",
                             "never", "--no-progress", "--db1", "APP/app@db1", "--db2",
                             "APP/app@" + target, "--output", output.string()});
    const ProcessResult result = runProcess(argv, workspace_->root());
    *status = result.exitCode;
    if (!fs::exists(output)) return result.describe(argv);
    return readFile(output);
  }

  // Applies `script` to a copy of Database 2 and compares again: "" when every statement
  // succeeded and no data difference is left, else what was found.
  std::string applyAndCompare(const fs::path& script, const std::string& copy) {
    if (std::string error = workspace_->copyDatabase("db2", copy); !error.empty()) return error;
    if (std::string error = workspace_->runScript(copy, script); !error.empty()) return error;
    int status = -1;
    const std::string report =
        cli({"run", "--mode", "report"}, copy, workspace_->root() / (copy + ".txt"), &status);
    if (status != 0) return report;
    if (report.find("Differences found in table") != std::string::npos) return report;
    return "";
  }

  Scenario scenario_ = adHocScenario("data_key");  // the workspace keeps a reference
  std::unique_ptr<Workspace> workspace_;
};

TEST_F(DataKeyOverride, TheChosenKeyFindsTheRowsAndTheScriptMakesDatabase2Alike) {
  int status = -1;
  const fs::path script = workspace_->root() / "upgrade.sql";
  const std::string text =
      cli({"run", "--mode", "upgrade", "--key", "lines=order_id,LINE_NO"}, "db2", script, &status);
  ASSERT_EQ(status, 0) << text;
  // Rows of the same key are updated in place; nothing makes a chosen key unique, so the row is
  // found by its old values too.
  EXPECT_NE(text.find("SET \"QTY\" = 2\nWHERE \"ORDER_ID\" = 1 and \"LINE_NO\" = 1 and \"ITEM\" "
                      "= 'tea' and \"QTY\" = 3 and ROWNUM"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("SET \"ITEM\" = 'salt', \"QTY\" = NULL\nWHERE \"ORDER_ID\" = 4 and "
                      "\"LINE_NO\" = 1 and \"ITEM\" = 'pepper' and \"QTY\" = 7 and ROWNUM"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("WHERE \"ORDER_ID\" = 3 and \"LINE_NO\" = 1 and \"ITEM\" = 'milk' and "
                      "\"QTY\" = 1 and ROWNUM = 1"),
            std::string::npos)
      << text;
  // No whole-row match: the row of key (4, 1) is not deleted and inserted again.
  EXPECT_EQ(text.find("DELETE FROM LINES\nWHERE \"ORDER_ID\" = 4"), std::string::npos) << text;
  EXPECT_EQ(text.find("VALUES (4, 1, 'salt'"), std::string::npos) << text;
  EXPECT_EQ(applyAndCompare(script, "db2a"), "");

  // Without the key the same rows are matched whole: no UPDATE, and still a sound script.
  const fs::path whole = workspace_->root() / "whole.sql";
  const std::string unkeyed = cli({"run", "--mode", "upgrade"}, "db2", whole, &status);
  ASSERT_EQ(status, 0) << unkeyed;
  EXPECT_EQ(unkeyed.find("UPDATE"), std::string::npos) << unkeyed;
  EXPECT_EQ(applyAndCompare(whole, "db2b"), "");
}

TEST_F(DataKeyOverride, AConfigurationFileKeepsTheKey) {
  const fs::path config = workspace_->root() / "keys.dbo";
  ProcessResult saved =
      runProcess({VELMORA_CLI_PATH, "config", "save", config.string(), "--mode", "upgrade", "--key",
                  "LINES=ORDER_ID,LINE_NO", "--db1", "APP/app@db1", "--db2", "APP/app@db2"},
                 workspace_->root());
  ASSERT_EQ(saved.exitCode, 0) << saved.describe({"config save"});
  const std::string file = readFile(config);
  EXPECT_NE(file.find("[PrimaryKeys]"), std::string::npos) << file;
  EXPECT_NE(file.find("keys0=ORDER_ID,LINE_NO"), std::string::npos) << file;
  int status = -1;
  const fs::path script = workspace_->root() / "from_config.sql";
  const std::string text = cli({"run", "--config", config.string()}, "db2", script, &status);
  ASSERT_EQ(status, 0) << text;
  EXPECT_NE(text.find("WHERE \"ORDER_ID\" = 1 and \"LINE_NO\" = 1 and \"ITEM\" = 'tea'"),
            std::string::npos)
      << text;
  EXPECT_EQ(applyAndCompare(script, "db2c"), "");
}

// A chosen key that repeats in Database 2: the statements still change exactly the rows they
// mean, so the multiset of rows comes out right.
TEST_F(DataKeyOverride, ARepeatedChosenKeyChangesOnlyTheRowsMeant) {
  ASSERT_EQ(workspace_->createDatabaseFrom(
                "dup",
                "CREATE TABLE lines (order_id NUMBER, line_no NUMBER, item VARCHAR2(20), qty "
                "NUMBER);\n"
                "INSERT INTO lines VALUES (1, 1, 'tea', 3);\n"
                "INSERT INTO lines VALUES (1, 1, 'tea', 9);\n"
                "INSERT INTO lines VALUES (1, 2, 'O''Hara''s jam', 1);\n"
                "INSERT INTO lines VALUES (2, 1, 'bread', 5);\n"
                "INSERT INTO lines VALUES (4, 1, 'salt', NULL);\n"),
            "");
  int status = -1;
  const fs::path script = workspace_->root() / "dup.sql";
  const std::string text =
      cli({"run", "--mode", "upgrade", "--key", "LINES=ORDER_ID,LINE_NO"}, "dup", script, &status);
  ASSERT_EQ(status, 0) << text;
  ASSERT_EQ(workspace_->copyDatabase("dup", "dupa"), "");
  ASSERT_EQ(workspace_->runScript("dupa", script), "");
  const std::string again =
      cli({"run", "--mode", "report"}, "dupa", workspace_->root() / "dupa.txt", &status);
  ASSERT_EQ(status, 0) << again;
  EXPECT_EQ(again.find("Differences found in table"), std::string::npos) << text << again;
}

TEST_F(DataKeyOverride, AKeyColumnTheTableLacksIsRefusedAndTheRowsAreMatchedWhole) {
  int status = -1;
  const fs::path script = workspace_->root() / "upgrade.sql";
  const std::string text =
      cli({"run", "--mode", "upgrade", "--key", "LINES=ORDER_ID,NOPE"}, "db2", script, &status);
  ASSERT_EQ(status, 0) << text;
  EXPECT_NE(text.find("WARNING:  the key columns chosen for table LINES include NOPE, which "
                      "cannot serve as a key"),
            std::string::npos)
      << text;
  // Matching by ORDER_ID alone would have updated one of the two rows of order 1.
  EXPECT_EQ(text.find("UPDATE"), std::string::npos) << text;
  EXPECT_EQ(applyAndCompare(script, "db2a"), "");

  // Malformed values are usage errors.
  for (const char* bad : {"LINES", "LINES=", "=ORDER_ID", "LINES=A,A"}) {
    const ProcessResult result =
        runProcess({VELMORA_CLI_PATH, "run", "--key", bad}, workspace_->root());
    EXPECT_EQ(result.exitCode, 2) << bad;
    EXPECT_NE(result.err.find("for --key"), std::string::npos) << bad << ": " << result.err;
  }
}

}  // namespace
}  // namespace velmora::e2e
