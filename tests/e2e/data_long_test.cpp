// LONG values beyond 65,000 bytes, read piece by piece: values of up to a megabyte that differ
// only in their last byte are told apart, equal ones are not reported, the upgrade script writes
// the values a script can hold (up to 32,760 bytes) and names the columns it leaves out for the
// longer ones; applied to a copy of Database 2 it leaves exactly those rows different.
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

// A value of `size` bytes: a repeating text ending in `last`.
std::string longValue(size_t size, char last) {
  std::string value;
  value.reserve(size);
  const std::string pattern = "The quick brown fox jumps over the lazy dog 0123456789. ";
  while (value.size() < size) value += pattern;
  value.resize(size);
  value.back() = last;
  return value;
}

std::string insert(const std::string& table, int id, const std::string& value) {
  return "INSERT INTO " + table + " VALUES (" + std::to_string(id) + ", " +
         (value.empty() ? "NULL" : "'" + value + "'") + ");\n";
}

class DataLong : public ::testing::Test {
 protected:
  void SetUp() override {
    scenario_.users = fs::path(E2E_SCENARIO_DIR) / "data_compare" / "users.sql";
    workspace_ = std::make_unique<Workspace>(scenario_);
    const std::string tables =
        "CREATE TABLE big (id NUMBER PRIMARY KEY, body LONG);\n"
        "CREATE TABLE small (id NUMBER PRIMARY KEY, body LONG);\n";
    std::string db1 = tables, db2 = tables;
    db1 += insert("big", 1, longValue(1 << 20, 'x'));
    db2 += insert("big", 1, longValue(1 << 20, 'y'));  // differs in its last byte only
    db1 += insert("big", 2, longValue(100000, 'x'));
    db2 += insert("big", 2, longValue(100000, 'x'));  // equal
    db1 += insert("big", 3, longValue(70000, 'x'));   // only in Database 1
    db2 += insert("big", 4, longValue(40000, 'x'));   // only in Database 2
    db1 += insert("small", 1, longValue(30000, 'x'));
    db2 += insert("small", 1, longValue(30000, 'y'));
    db1 += insert("small", 2, longValue(5000, 'x'));  // only in Database 1
    db1 += insert("small", 3, "");
    db2 += insert("small", 3, "");  // NULL in both
    ASSERT_EQ(workspace_->createDatabaseFrom("db1", db1), "");
    ASSERT_EQ(workspace_->createDatabaseFrom("db2", db2), "");
  }

  std::string cli(const std::string& mode, const std::string& target, const fs::path& output,
                  int* status) {
    std::vector<std::string> argv = {VELMORA_CLI_PATH, "run", "--mode", mode};
    for (const std::string& set : tablePhasesOnly()) argv.insert(argv.end(), {"--set", set});
    argv.insert(argv.end(),
                {"--set", "b_DoData=1", "--set", "b_NoDiffData=1", "--oci-library",
                 OCISIM_LIBRARY_PATH, "--color", "never", "--no-progress", "--db1", "APP/app@db1",
                 "--db2", "APP/app@" + target, "--output", output.string()});
    const ProcessResult result = runProcess(argv, workspace_->root());
    *status = result.exitCode;
    if (!fs::exists(output)) return result.describe(argv);
    return readFile(output);
  }

  Scenario scenario_ = adHocScenario("data_long");  // the workspace keeps a reference
  std::unique_ptr<Workspace> workspace_;
};

TEST_F(DataLong, LongValuesOfAMegabyteCompareWholeAndScriptWhatAScriptCanHold) {
  int status = -1;
  const fs::path script = workspace_->root() / "upgrade.sql";
  const std::string text = cli("upgrade", "db2", script, &status);
  ASSERT_EQ(status, 0) << text.substr(0, 4000);
  EXPECT_EQ(text.find("cannot be compared"), std::string::npos) << text.substr(0, 4000);
  // The megabyte values differ in their last byte: found, and named as too long for a script.
  EXPECT_NE(text.find("WARNING:  the value of COLUMN BODY (1048576 bytes) is longer than a "
                      "script can write"),
            std::string::npos);
  EXPECT_NE(text.find("WARNING:  the value of COLUMN BODY (70000 bytes)"), std::string::npos);
  EXPECT_NE(text.find("INSERT INTO BIG (\"ID\")\nVALUES (3);"), std::string::npos);
  EXPECT_NE(text.find("DELETE FROM BIG\nWHERE \"ID\" = 4 and ROWNUM = 1;"), std::string::npos);
  // The equal 100,000-byte values give no statement.
  EXPECT_EQ(text.find("\"ID\" = 2 and ROWNUM"), std::string::npos);
  EXPECT_EQ(text.find("INSERT INTO BIG (\"ID\", \"BODY\")\nVALUES (2,"), std::string::npos);
  // What a script can hold is written whole, through a PL/SQL variable (longer than a SQL
  // literal may be).
  EXPECT_NE(text.find("  long_value_1 LONG := '" + longValue(30000, 'x') +
                      "';\nBEGIN\nUPDATE SMALL SET \"BODY\" = long_value_1\n"),
            std::string::npos);
  EXPECT_NE(text.find("  long_value_1 LONG := '" + longValue(5000, 'x') +
                      "';\nBEGIN\nINSERT INTO SMALL (\"ID\", \"BODY\")\nVALUES (2, long_value_1);"),
            std::string::npos);

  ASSERT_EQ(workspace_->copyDatabase("db2", "db2a"), "");
  ASSERT_EQ(workspace_->runScript("db2a", script), "");
  const std::string again = cli("report", "db2a", workspace_->root() / "again.txt", &status);
  ASSERT_EQ(status, 0) << again.substr(0, 4000);
  EXPECT_NE(again.find("No data differences were found in table SMALL"), std::string::npos)
      << again.substr(0, 4000);
  // Left: the megabyte value (its row was updated without it) and the row inserted without it.
  EXPECT_NE(again.find("Differences found in table BIG"), std::string::npos);
  EXPECT_NE(again.find("\n< 1 "), std::string::npos);
  EXPECT_NE(again.find("\n> 1 "), std::string::npos);
  EXPECT_NE(again.find("\n> 3 "), std::string::npos);
  EXPECT_EQ(again.find("\n< 2 "), std::string::npos);
  EXPECT_EQ(again.find("\n> 4 "), std::string::npos);
}

}  // namespace
}  // namespace velmora::e2e
