// SQL Compare and view data through the real velmora-cli: two databases built by ocisim, the
// sql-compare command with statements given inline and from a file, and the view data of a
// comparison report; each report checked against its reviewed golden file.
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
    "CREATE TABLE prices (id NUMBER PRIMARY KEY, item VARCHAR2(20), price NUMBER(8,2));\n"
    "INSERT INTO prices VALUES (1, 'tea', 2.5);\n"
    "INSERT INTO prices VALUES (2, 'O''Hara''s jam', 4);\n"
    "INSERT INTO prices VALUES (10, 'bread', 3.2);\n"
    "CREATE VIEW cheap_v AS SELECT id, item FROM prices WHERE price < 4;\n"
    "CREATE VIEW same_v AS SELECT id FROM prices WHERE id = 1;\n";
constexpr const char* kDatabase2 =
    "CREATE TABLE prices (id NUMBER PRIMARY KEY, item VARCHAR2(20), price NUMBER(8,2));\n"
    "INSERT INTO prices VALUES (1, 'tea', 2.5);\n"
    "INSERT INTO prices VALUES (9, 'milk', 1.1);\n"
    "INSERT INTO prices VALUES (10, 'bread', 3.5);\n"
    "CREATE VIEW cheap_v AS SELECT id, item FROM prices WHERE price < 4;\n"
    "CREATE VIEW same_v AS SELECT id FROM prices WHERE id = 1;\n";

class DataCompare : public ::testing::Test {
 protected:
  void SetUp() override {
    scenario_.users = fs::path(E2E_SCENARIO_DIR) / "data_compare" / "users.sql";
    workspace_ = std::make_unique<Workspace>(scenario_);
    ASSERT_EQ(workspace_->createDatabaseFrom("db1", kDatabase1), "");
    ASSERT_EQ(workspace_->createDatabaseFrom("db2", kDatabase2), "");
  }
  std::vector<std::string> connections() const {
    return {"--oci-library", OCISIM_LIBRARY_PATH, "--color", "never",      "--no-progress",
            "--db1",         "APP/app@db1",       "--db2",   "APP/app@db2"};
  }
  std::string golden(const std::string& name) const {
    return (fs::path(E2E_SCENARIO_DIR) / "data_compare" / (name + ".golden")).string();
  }
  std::string run(std::vector<std::string> argv, const fs::path& output, int* status) {
    const std::vector<std::string> more = connections();
    argv.insert(argv.begin(), VELMORA_CLI_PATH);
    argv.insert(argv.end(), more.begin(), more.end());
    argv.insert(argv.end(), {"--output", output.string()});
    const ProcessResult result = runProcess(argv, workspace_->root());
    *status = result.exitCode;
    if (!fs::exists(output)) return result.describe(argv);
    return maskReport(readFile(output), workspace_->root().string());
  }

  Scenario scenario_ = adHocScenario("data_compare");  // the workspace keeps a reference
  std::unique_ptr<Workspace> workspace_;
};

TEST_F(DataCompare, SqlCompareReportsTheRowsOfOneResultOnly) {
  const fs::path file = workspace_->root() / "query.sql";
  writeFile(file, "select id, item, price\n  from prices\n order by id;\n");
  int status = -1;
  const std::string report = run({"sql-compare", "--sql1", "@" + file.string(), "--sql2",
                                  "select id, item, price from prices order by id ;  "},
                                 workspace_->root() / "sql.txt", &status);
  EXPECT_EQ(status, 0) << report;
  EXPECT_EQ(checkGolden(report, golden("sql_compare")), "");

  // The same statement on the same rows: no difference.
  const std::string same = run({"sql-compare", "--sql", "select item from prices where id = 1"},
                               workspace_->root() / "same.txt", &status);
  EXPECT_EQ(status, 0) << same;
  EXPECT_NE(same.find("No data differences were found. "), std::string::npos) << same;

  // A statement Database 2 refuses: its error, and a run that finished with errors.
  const std::string refused = run(
      {"sql-compare", "--sql1", "select id from prices", "--sql2", "select nothing from prices"},
      workspace_->root() / "refused.txt", &status);
  EXPECT_EQ(status, 5) << refused;
  EXPECT_NE(refused.find("The following error was received while processing statement in "
                         "database APP@DB2 :"),
            std::string::npos)
      << refused;
}

TEST_F(DataCompare, ViewDataInTheComparisonReport) {
  int status = -1;
  std::vector<std::string> argv = {"run", "--mode", "report"};
  for (const std::string& set : tablePhasesOnly()) {
    if (set.rfind("b_DoView", 0) == 0) continue;
    argv.insert(argv.end(), {"--set", set});
  }
  argv.insert(argv.end(), {"--set", "b_DoViewStruct=1", "--set", "b_DoViewData=1"});
  const std::string report = run(argv, workspace_->root() / "views.txt", &status);
  EXPECT_EQ(status, 0) << report;
  EXPECT_EQ(checkGolden(report, golden("view_data")), "");
}

}  // namespace
}  // namespace velmora::e2e
