// End-to-end runs of the stored-code phases that a scenario folder cannot hold well: a package
// body of more than 10,000 lines (report, upgrade round trip, script of Database 1), and a source
// read that fails, which must leave no CREATE OR REPLACE in the script.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "e2e_process.h"
#include "e2e_report.h"
#include "e2e_scenario.h"
#include "e2e_workspace.h"

namespace velmora::e2e {
namespace {

namespace fs = std::filesystem;

constexpr int kLines = 12000;
constexpr int kExitRunErrors = 5;

const std::vector<std::string> kCodeKinds = {"b_DoPack=1", "b_DoPackBody=1", "b_DoStpCode=1"};

// A package body of kLines lines. Database 2's differs at every 100th line (changed), and has
// one line fewer at 5,050 and one more after 7,070.
std::string bigPackage(bool second) {
  std::string sql = "CREATE PACKAGE big_pkg AS\n  PROCEDURE run;\nEND big_pkg;\n/\n";
  sql += "CREATE PACKAGE BODY big_pkg AS\n  PROCEDURE run IS\n    v NUMBER := 0;\n  BEGIN\n";
  for (int i = 1; i <= kLines; ++i) {
    if (second && i == 5050) continue;
    std::string line = "    v := v + " + std::to_string(i % 97) + ";  -- step " + std::to_string(i);
    if (second && i % 100 == 0) line += " (old)";
    sql += line + "\n";
    if (second && i == 7070) sql += "    v := v - 1;  -- only in production\n";
  }
  sql += "  END run;\nEND big_pkg;\n/\n";
  sql += "CREATE PROCEDURE small_proc IS\nBEGIN\n  big_pkg.run;\nEND;\n/\n";
  return sql;
}

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

size_t count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

class CodeRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    scenario_ = adHocScenario("code_roundtrip");
    workspace_ = std::make_unique<Workspace>(scenario_);
  }
  void TearDown() override { unsetenv("OCISIM_FAULTS"); }

  std::string run(const std::string& mode, const std::string& alias2,
                  const std::vector<std::string>& more = {}, int* exitCode = nullptr) {
    const fs::path output = workspace_->root() / ("out_" + std::to_string(++runs_) + ".txt");
    std::vector<std::string> sets = kCodeKinds;
    sets.insert(sets.end(), more.begin(), more.end());
    ProcessResult result;
    const std::string failure = workspace_->velmora(mode, "db1", alias2, sets, output, &result);
    if (exitCode != nullptr) {
      *exitCode = result.exitCode;
    } else {
      EXPECT_EQ(failure, "") << result.err;
    }
    return fs::exists(output) ? readFile(output) : "";
  }

  Scenario scenario_;
  std::unique_ptr<Workspace> workspace_;
  int runs_ = 0;
};

TEST_F(CodeRoundTrip, ASourceOfMoreThanTenThousandLinesRoundTrips) {
  ASSERT_EQ(workspace_->createDatabaseFrom("db1", bigPackage(false)), "");
  ASSERT_EQ(workspace_->createDatabaseFrom("db2", bigPackage(true)), "");

  // The report prints exactly the lines that differ: 120 changed lines on both sides, the line
  // missing in Database 2, the line only Database 2 has.
  const std::string report = run("report", "db2");
  EXPECT_TRUE(contains(report, "Differences found in package body BIG_PKG")) << report;
  EXPECT_EQ(count(report, "\n< ("), 121u);
  EXPECT_EQ(count(report, "\n> ("), 121u);
  EXPECT_TRUE(contains(report, "-- step 5050\n")) << report;
  EXPECT_TRUE(contains(report, "only in production")) << report;
  EXPECT_TRUE(contains(report, "No differences were found in package BIG_PKG"));

  const fs::path script = workspace_->root() / "upgrade.sql";
  const std::string upgrade = run("upgrade", "db2");
  writeFile(script.string(), upgrade);
  EXPECT_EQ(count(upgrade, "CREATE OR REPLACE PACKAGE BODY big_pkg"), 1u) << upgrade;
  ASSERT_EQ(workspace_->copyDatabase("db2", "db2_upgraded"), "");
  ASSERT_EQ(workspace_->runScript("db2_upgraded", script), "");
  const std::string after = run("report", "db2_upgraded");
  EXPECT_TRUE(differenceSections(after).empty()) << after;

  const fs::path script1 = workspace_->root() / "script1.sql";
  writeFile(script1.string(), run("script", ""));
  ASSERT_EQ(workspace_->createDatabaseFrom("rebuilt", ""), "");
  ASSERT_EQ(workspace_->runScript("rebuilt", script1), "");
  const std::string rebuilt = run("report", "rebuilt");
  EXPECT_TRUE(differenceSections(rebuilt).empty()) << rebuilt;
}

// The source of the changed package body cannot be read from Database 2: the script says so in
// its error block and replaces nothing from what it could not compare.
TEST_F(CodeRoundTrip, ASourceThatCannotBeReadIsNeverReplaced) {
  ASSERT_EQ(workspace_->createDatabaseFrom("db1", bigPackage(false)), "");
  ASSERT_EQ(workspace_->createDatabaseFrom("db2", bigPackage(true)), "");
  setenv("OCISIM_FAULTS", "fail_statement=ORA-03113:*from all_source*", 1);
  int exitCode = 0;
  const std::string upgrade = run("upgrade", "db2", {}, &exitCode);
  EXPECT_EQ(exitCode, kExitRunErrors) << upgrade;
  EXPECT_FALSE(contains(upgrade, "CREATE OR REPLACE")) << upgrade;
  EXPECT_TRUE(contains(upgrade, "-- The following error was received while processing "))
      << upgrade;
  EXPECT_TRUE(contains(upgrade, "ORA-03113")) << upgrade;
}

}  // namespace
}  // namespace velmora::e2e
