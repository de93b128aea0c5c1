// End-to-end round trips of the table comparison, one scenario folder at a time, through the real
// programs: ocisim builds Database 1 and Database 2, velmora-cli compares them through
// libocisim.so, and
//   - each comparison report of the scenario must match its reviewed golden file;
//   - the upgrade script, run on a copy of Database 2, must succeed statement by statement and
//     leave no table, column, index or constraint difference;
//   - the script of Database 1, run on an empty database, must reproduce its tables, indexes and
//     constraints.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "e2e_report.h"
#include "e2e_scenario.h"
#include "e2e_workspace.h"

namespace velmora::e2e {
namespace {

namespace fs = std::filesystem;

// Options of the comparisons that check a script's result: tables without differences write
// nothing, so any difference section left means the script did not do its work. System-named
// constraints take no part, as in an upgrade script (a script also names a primary key's
// columns NOT NULL, which adds a system-named check that Database 1 does not have).
const std::vector<std::string> kVerifySets = {"b_NoDiffCol=0", "b_DoCommon=1", "i_DoConsName=1"};

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += "  " + line + "\n";
  return text;
}

class RoundTrip : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    scenario_ = loadScenario(fs::path(E2E_SCENARIO_DIR) / GetParam());
    workspace_ = std::make_unique<Workspace>(scenario_);
  }

  void createBoth() {
    ASSERT_EQ(workspace_->createDatabase("db1", {scenario_.db1}), "");
    ASSERT_EQ(workspace_->createDatabase("db2", {scenario_.db2}), "");
  }

  // velmora-cli in `mode` with the scenario's options and `sets`; the test fails when the run
  // does not finish.
  void velmora(const std::string& mode, const std::string& alias2,
               const std::vector<std::string>& sets, const fs::path& output) {
    ProcessResult run;
    ASSERT_EQ(workspace_->velmora(mode, "db1", alias2, sets, output, &run), "");
  }

  // Compares Database 1 with `alias` after a script ran there: no difference may remain, and
  // both databases must have the same tables (all of them common).
  void expectNoDifferences(const std::string& alias, const std::string& script) {
    const fs::path output = workspace_->root() / ("verify_" + alias + ".txt");
    ASSERT_NO_FATAL_FAILURE(velmora("report", alias, kVerifySets, output));
    const std::string report = readFile(output);
    EXPECT_EQ(joined(differenceSections(report)), "")
        << "differences remain after the script ran\n--- script ---\n"
        << script << "\n--- comparison ---\n"
        << report;
    const TableCounts counts = tableCounts(report);
    EXPECT_GT(counts.database1, 0) << report;
    EXPECT_GT(counts.database2, 0) << report;
    // Tables left out are neither created nor dropped, so only then may the counts differ.
    const bool tablesLeftOut =
        std::any_of(scenario_.sets.begin(), scenario_.sets.end(),
                    [](const std::string& set) { return set.rfind("IgnoreTables=", 0) == 0; });
    if (!tablesLeftOut) {
      EXPECT_EQ(counts.database1, counts.database2) << report;
    }
  }

  Scenario scenario_;
  std::unique_ptr<Workspace> workspace_;
};

TEST_P(RoundTrip, ReportsMatchTheirGoldenFiles) {
  if (scenario_.reports.empty()) GTEST_SKIP() << "the scenario has no report of its own";
  ASSERT_NO_FATAL_FAILURE(createBoth());
  for (const ReportRun& report : scenario_.reports) {
    SCOPED_TRACE(report.name);
    const fs::path output = workspace_->root() / (report.name + ".txt");
    ASSERT_NO_FATAL_FAILURE(velmora("report", "db2", report.sets, output));
    const std::string masked = maskReport(readFile(output), workspace_->root().string());
    EXPECT_EQ(checkGolden(masked, (scenario_.folder / (report.name + ".golden")).string()), "");
  }
}

TEST_P(RoundTrip, UpgradeScriptMakesDatabase2LikeDatabase1) {
  if (!scenario_.skipUpgrade.empty()) GTEST_SKIP() << scenario_.skipUpgrade;
  ASSERT_NO_FATAL_FAILURE(createBoth());
  const fs::path script = workspace_->root() / "upgrade.sql";
  ASSERT_NO_FATAL_FAILURE(velmora("upgrade", "db2", {}, script));
  const std::string text = readFile(script);
  ASSERT_FALSE(differenceSections(text).empty()) << "the databases of the scenario should differ\n"
                                                 << text;
  ASSERT_EQ(workspace_->copyDatabase("db2", "db2_upgraded"), "");
  ASSERT_EQ(workspace_->runScript("db2_upgraded", script), "") << "--- script ---\n" << text;
  expectNoDifferences("db2_upgraded", text);
}

TEST_P(RoundTrip, ScriptOfDatabase1RebuildsItInAnEmptyDatabase) {
  if (!scenario_.skipScript.empty()) GTEST_SKIP() << scenario_.skipScript;
  ASSERT_EQ(workspace_->createDatabase("db1", {scenario_.db1}), "");
  ASSERT_EQ(workspace_->createDatabase("rebuilt", {}), "");
  const fs::path script = workspace_->root() / "script1.sql";
  ASSERT_NO_FATAL_FAILURE(velmora("script", "", {}, script));
  const std::string text = readFile(script);
  ASSERT_NE(text.find("CREATE TABLE"), std::string::npos) << text;
  ASSERT_EQ(workspace_->runScript("rebuilt", script), "") << "--- script ---\n" << text;
  expectNoDifferences("rebuilt", text);
}

std::vector<std::string> scenarioNames() {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(E2E_SCENARIO_DIR)) {
    if (entry.is_directory() && fs::exists(entry.path() / "scenario"))
      names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

INSTANTIATE_TEST_SUITE_P(Scenarios, RoundTrip, ::testing::ValuesIn(scenarioNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return info.param;
                         });

}  // namespace
}  // namespace velmora::e2e
