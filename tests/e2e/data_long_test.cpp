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
#include "engine/compose/engine.h"
#include "engine/exec/session.h"
#include "engine/exec/statement.h"

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

struct LongRow {
  std::string table;
  int id;
  std::string value;  // "" for NULL
};

// Inserts the rows into the database folder as user APP, the values bound: a SQL text literal
// holds at most 4,000 bytes, so a client loads longer LONG values through binds.
std::string insertRows(const fs::path& database, const std::vector<LongRow>& rows) {
  try {
    auto db = ocisim::openDatabase(database.string());
    auto session = db->logon("APP", "app");
    for (const LongRow& row : rows) {
      ocisim::BindSet binds;
      binds.set("ID", ocisim::Value::integer(row.id));
      binds.set("BODY", row.value.empty() ? ocisim::Value::null() : ocisim::Value::text(row.value));
      session->execute("INSERT INTO " + row.table + " VALUES (:id, :body)", binds);
    }
  } catch (const std::exception& e) {
    return std::string("loading the LONG rows failed: ") + e.what();
  }
  return "";
}

class DataLong : public ::testing::Test {
 protected:
  void SetUp() override {
    scenario_.users = fs::path(E2E_SCENARIO_DIR) / "data_compare" / "users.sql";
    workspace_ = std::make_unique<Workspace>(scenario_);
    const std::string tables =
        "CREATE TABLE big (id NUMBER PRIMARY KEY, body LONG);\n"
        "CREATE TABLE small (id NUMBER PRIMARY KEY, body LONG);\n";
    const std::vector<LongRow> db1 = {
        {"big", 1, longValue(1 << 20, 'x')},
        {"big", 2, longValue(100000, 'x')},
        {"big", 3, longValue(70000, 'x')},  // only in Database 1
        {"small", 1, longValue(30000, 'x')},
        {"small", 2, longValue(5000, 'x')},  // only in Database 1
        {"small", 3, ""},
    };
    const std::vector<LongRow> db2 = {
        {"big", 1, longValue(1 << 20, 'y')},  // differs in its last byte only
        {"big", 2, longValue(100000, 'x')},   // equal
        {"big", 4, longValue(40000, 'x')},    // only in Database 2
        {"small", 1, longValue(30000, 'y')},
        {"small", 3, ""},  // NULL in both
    };
    ASSERT_EQ(workspace_->createDatabaseFrom("db1", tables), "");
    ASSERT_EQ(workspace_->createDatabaseFrom("db2", tables), "");
    ASSERT_EQ(insertRows(workspace_->root() / "db1", db1), "");
    ASSERT_EQ(insertRows(workspace_->root() / "db2", db2), "");
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
