// The suite's own helpers: a masking that hid a real difference, or a difference check that
// missed a section, would let every round trip pass for the wrong reason.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "e2e_process.h"
#include "e2e_report.h"
#include "e2e_scenario.h"

namespace velmora::e2e {
namespace {

namespace fs = std::filesystem;

TEST(Harness, MaskingHidesOnlyWhatChangesFromRunToRun) {
  const std::string report =
      "< DATABASE 1:  APP@DB1\r\n*  Date: December 08, 2026  05:10:11\r\n"
      "path /tmp/velmora_e2e_x_ab12/upgrade.sql\r\nVARCHAR2(10)  NOT NULL \r\n"
      "\r\n--- End of Velmora for Oracle --- Elapsed Time: 00:01:07 ---";
  EXPECT_EQ(maskReport(report, "/tmp/velmora_e2e_x_ab12"),
            "< DATABASE 1:  APP@DB1\n*  Date: <date>\npath <tmp>/upgrade.sql\n"
            "VARCHAR2(10)  NOT NULL \n\n--- End of Velmora for Oracle --- Elapsed Time: "
            "<elapsed> ---");
}

TEST(Harness, EveryDifferenceSectionIsFoundAndAgreementIsNot) {
  const std::string agreeing =
      "\r\n\r\n\r\n2 tables were found in APP@DB1\r\n2 tables were found in APP@DB2"
      "\r\n\r\n\r\nThe following tables exist in both databases\r\n\r\n\t\tA\r\n\t\tB"
      "\r\n\r\n--- End of Velmora for Oracle --- Elapsed Time: 00:00:00 ---";
  EXPECT_TRUE(differenceSections(agreeing).empty());
  for (const std::string& opening : differenceSectionOpenings()) {
    const std::vector<std::string> found =
        differenceSections(agreeing + "\r\n\r\n\r\n" + opening + "X\r\n\r\nmore");
    ASSERT_EQ(found.size(), 1u) << opening;
    EXPECT_EQ(found[0], opening + "X");
  }
}

TEST(Harness, TableCountsComeFromBothCountLines) {
  EXPECT_EQ(tableCounts("\r\n1 table was found in A\r\n12 tables were found in B").database2, 12);
  EXPECT_EQ(tableCounts("\r\n1 table was found in A\r\n12 tables were found in B").database1, 1);
  const TableCounts script =
      tableCounts("*  3 tables were found in A\r\n*  0 tables were found in ");
  EXPECT_EQ(script.database1, 3);
  EXPECT_EQ(script.database2, 0);
  EXPECT_EQ(tableCounts("no counts here").database1, -1);
}

class ScenarioFile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "velmora_e2e_harness_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    fs::create_directory(root_ / "case");
  }
  void TearDown() override { fs::remove_all(root_); }
  fs::path root_;
};

TEST_F(ScenarioFile, KeysDefaultsAndReports) {
  writeFile(root_ / "case" / "scenario",
            "# a comment\n\nschema OE/oe\nlogin1 OE:inspector/insp\nset b_DoConsCols=0\n"
            "version 8.0.5\nversion1 9.2.0\n"
            "report report\nreport names i_DoConsName=0 b_DoConsCols=1\n"
            "skip-script the engine refuses X  \n");
  const Scenario scenario = loadScenario(root_ / "case");
  EXPECT_EQ(scenario.name, "case");
  EXPECT_EQ(scenario.schemaUser, "OE");
  EXPECT_EQ(scenario.schemaPassword, "oe");
  EXPECT_EQ(scenario.login1, "OE:inspector/insp");
  EXPECT_EQ(scenario.login2, "OE/oe");
  EXPECT_EQ(scenario.users, root_ / "users.sql");  // no users.sql of its own
  EXPECT_EQ(scenario.db2, root_ / "case" / "db2.sql");
  EXPECT_EQ(scenario.sets, std::vector<std::string>{"b_DoConsCols=0"});
  EXPECT_EQ(scenario.version, "8.0.5");
  EXPECT_EQ(scenario.version1, "9.2.0");
  ASSERT_EQ(scenario.reports.size(), 2u);
  EXPECT_EQ(scenario.reports[1].name, "names");
  EXPECT_EQ(scenario.reports[1].sets,
            (std::vector<std::string>{"i_DoConsName=0", "b_DoConsCols=1"}));
  EXPECT_EQ(scenario.skipScript, "the engine refuses X");
  EXPECT_EQ(scenario.skipUpgrade, "");
}

TEST_F(ScenarioFile, AMalformedLineIsNamed) {
  writeFile(root_ / "case" / "scenario", "schema OE/oe\nschema nopassword\n");
  try {
    loadScenario(root_ / "case");
    FAIL() << "no error";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find("scenario:2: schema takes USER/PASSWORD"),
              std::string::npos)
        << error.what();
  }
  writeFile(root_ / "case" / "scenario", "colour red\n");
  EXPECT_THROW(loadScenario(root_ / "case"), std::runtime_error);
}

TEST(Harness, AChildProcessIsWaitedForAndItsOutputsKept) {
  const fs::path scratch = fs::temp_directory_path();
  const ProcessResult result =
      runProcess({"/bin/sh", "-c", "echo out; echo err >&2; exit 3"}, scratch);
  EXPECT_EQ(result.exitCode, 3);
  EXPECT_EQ(result.out, "out\n");
  EXPECT_EQ(result.err, "err\n");
  const ProcessResult slow = runProcess({"/bin/sleep", "30"}, scratch, 1);
  EXPECT_TRUE(slow.timedOut);
  EXPECT_EQ(slow.exitCode, -1);
}

}  // namespace
}  // namespace velmora::e2e
