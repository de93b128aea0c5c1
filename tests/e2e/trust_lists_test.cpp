// End-to-end checks that a comparison never writes a statement from what it could not read, never
// reports a failure as success, and says what it did not compare: table lists cut short by a lost
// connection or an Oracle error, a schema that does not exist, a Database 1 without tables, the
// header of the script of Database 1, and phases switched on that this build cannot run. The
// fault matrix loses the connection at every call of a small upgrade run, with and without the
// table data.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "e2e_process.h"
#include "e2e_report.h"
#include "e2e_scenario.h"
#include "e2e_workspace.h"

namespace velmora::e2e {
namespace {

namespace fs = std::filesystem;

constexpr int kExitFinished = 0;
constexpr int kExitUnanswered = 3;
constexpr int kExitNotConnected = 4;
constexpr int kExitRunErrors = 5;

const char* const kCommon =
    "CREATE TABLE t1 (id NUMBER(6) PRIMARY KEY, name VARCHAR2(30));\n"
    "CREATE TABLE t2 (id NUMBER(6), amount NUMBER(10,2));\n"
    "CREATE INDEX t2_amount ON t2 (amount);\n";

// Database 1 has ONLY1 and a wider T2.AMOUNT; Database 2 has ONLY2.
const char* const kDatabase1 =
    "CREATE TABLE t1 (id NUMBER(6) PRIMARY KEY, name VARCHAR2(30));\n"
    "CREATE TABLE t2 (id NUMBER(6), amount NUMBER(12,2));\n"
    "CREATE INDEX t2_amount ON t2 (amount);\n"
    "CREATE TABLE only1 (id NUMBER(6) CONSTRAINT only1_pk PRIMARY KEY);\n";
const char* const kDatabase2 =
    "CREATE TABLE t1 (id NUMBER(6) PRIMARY KEY, name VARCHAR2(30));\n"
    "CREATE TABLE t2 (id NUMBER(6), amount NUMBER(10,2));\n"
    "CREATE INDEX t2_amount ON t2 (amount);\n"
    "CREATE TABLE only2 (id NUMBER(6));\n";

// The lines of a script that are not comments: outside the /* ... */ banners, not behind "--",
// trimmed, blank lines dropped.
std::vector<std::string> statementLines(const std::string& script) {
  std::vector<std::string> lines;
  std::istringstream in(script);
  std::string line;
  bool inComment = false;
  while (std::getline(in, line)) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    size_t start = line.find_first_not_of(' ');
    if (start == std::string::npos) continue;
    line = line.substr(start);
    if (inComment) {
      if (line.size() >= 2 && line.compare(line.size() - 2, 2, "*/") == 0) inComment = false;
      continue;
    }
    if (line.rfind("/*", 0) == 0) {
      inComment = !(line.size() >= 4 && line.compare(line.size() - 2, 2, "*/") == 0);
      continue;
    }
    if (line.rfind("--", 0) == 0) continue;
    lines.push_back(line);
  }
  return lines;
}

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class TrustLists : public ::testing::Test {
 protected:
  void SetUp() override {
    scenario_ = adHocScenario("trust_lists");
    workspace_ = std::make_unique<Workspace>(scenario_);
  }

  void TearDown() override { unsetenv("OCISIM_FAULTS"); }

  void create(const std::string& alias, const std::string& schema) {
    ASSERT_EQ(workspace_->createDatabaseFrom(alias, schema), "");
  }

  void createBoth(const std::string& schema1 = kDatabase1,
                  const std::string& schema2 = kDatabase2) {
    ASSERT_NO_FATAL_FAILURE(create("db1", schema1));
    ASSERT_NO_FATAL_FAILURE(create("db2", schema2));
  }

  // velmora-cli run with the table phases only; `db1`/`db2` are whole connection texts ("" for
  // none). The output file's text is in output_.
  ProcessResult velmora(const std::string& mode, const std::string& db1, const std::string& db2,
                        const std::vector<std::string>& more = {},
                        const std::vector<std::string>& sets = tablePhasesOnly()) {
    const fs::path output = workspace_->root() / ("out_" + std::to_string(++runs_) + ".txt");
    std::vector<std::string> argv = {
        VELMORA_CLI_PATH, "run",   "--oci-library", OCISIM_LIBRARY_PATH,
        "--mode",         mode,    "--output",      output.string(),
        "--color",        "never", "--no-progress"};
    if (!db1.empty()) argv.insert(argv.end(), {"--db1", db1});
    if (!db2.empty()) argv.insert(argv.end(), {"--db2", db2});
    for (const std::string& set : sets) argv.insert(argv.end(), {"--set", set});
    argv.insert(argv.end(), more.begin(), more.end());
    ProcessResult result = runProcess(argv, workspace_->root());
    output_ = fs::exists(output) ? readFile(output) : "";
    return result;
  }

  void expectNoLossWritesAStatementOfItsOwn(const std::vector<std::string>& sets,
                                            const std::string& expected);

  Scenario scenario_;
  std::unique_ptr<Workspace> workspace_;
  std::string output_;
  int runs_ = 0;
};

// Both table lists fail (the query and its retry after the reconnect lose the connection): the
// script holds the error blocks and not one DROP or CREATE, the column difference of the common
// table T2 is not lost, and the run ends with the status of errors.
TEST_F(TrustLists, FailedTableListsWriteNoDropOrCreateAndEndWithErrors) {
  ASSERT_NO_FATAL_FAILURE(createBoth());
  setenv("OCISIM_FAULTS", "fail_statement=ORA-03113:*from all_catalog*", 1);
  const ProcessResult run = velmora("upgrade", "APP/app@db1", "APP/app@db2");
  EXPECT_EQ(run.exitCode, kExitRunErrors) << run.err << output_;
  EXPECT_TRUE(contains(output_, "The following error ocurred when trying to process tables"))
      << output_;
  EXPECT_FALSE(contains(output_, "DROP TABLE")) << output_;
  EXPECT_FALSE(contains(output_, "CREATE TABLE")) << output_;
  EXPECT_FALSE(contains(output_, "tables were found in")) << output_;
  EXPECT_TRUE(contains(output_, "The list of tables could not be read completely from")) << output_;
  EXPECT_TRUE(contains(output_, "not (completely) compared: tables")) << output_;
  EXPECT_TRUE(contains(run.err, "with errors")) << run.err;
  for (const std::string& line : statementLines(output_)) {
    EXPECT_EQ(line.rfind("DROP", 0), std::string::npos) << line;
  }
}

// An Oracle error on every column query: nothing is compared for any table, and the run says so
// instead of "has finished comparing".
TEST_F(TrustLists, AnOracleErrorMidRunEndsWithErrorsNamingWhatWasNotCompared) {
  ASSERT_NO_FATAL_FAILURE(createBoth());
  setenv("OCISIM_FAULTS", "fail_statement=ORA-01555:*all_tab_columns*", 1);
  const ProcessResult run = velmora("report", "APP/app@db1", "APP/app@db2");
  EXPECT_EQ(run.exitCode, kExitRunErrors) << run.err << output_;
  EXPECT_TRUE(contains(output_, "ORA-01555")) << output_;
  EXPECT_TRUE(contains(output_, "The run finished with errors")) << output_;
  EXPECT_TRUE(contains(output_, "columns")) << output_;
  EXPECT_TRUE(contains(run.err, "with errors")) << run.err;
  EXPECT_FALSE(contains(run.err, "has finished comparing the databases\n")) << run.err;
}

TEST_F(TrustLists, ASchemaThatDoesNotExistIsRefusedAtConnect) {
  ASSERT_NO_FATAL_FAILURE(createBoth());
  ProcessResult run = velmora("upgrade", "NOSUCH:APP/app@db1", "APP/app@db2");
  EXPECT_EQ(run.exitCode, kExitNotConnected) << run.err;
  EXPECT_TRUE(contains(run.err, "the schema NOSUCH does not exist in Database 1")) << run.err;
  EXPECT_FALSE(contains(output_, "DROP TABLE")) << output_;

  // The case of a schema name counts; the message says which user was meant.
  run = velmora("upgrade", "APP/app@db1", "app:APP/app@db2");
  EXPECT_EQ(run.exitCode, kExitNotConnected) << run.err;
  EXPECT_TRUE(contains(run.err, "did you mean APP?")) << run.err;
}

// Database 1 without tables would drop everything Database 2 has: the question comes first, an
// unattended run without an answer stops, and the answer is written into the script.
TEST_F(TrustLists, AnEmptyDatabase1AsksBeforeEveryTableIsDropped) {
  ASSERT_NO_FATAL_FAILURE(createBoth("CREATE SEQUENCE nothing_here;\n", kDatabase2));
  ProcessResult run = velmora("upgrade", "APP/app@db1", "APP/app@db2");
  EXPECT_EQ(run.exitCode, kExitUnanswered) << run.err << output_;
  EXPECT_TRUE(contains(run.err, "holds no tables")) << run.err;
  EXPECT_FALSE(contains(output_, "DROP TABLE")) << output_;

  run = velmora("upgrade", "APP/app@db1", "APP/app@db2", {"--no"});
  EXPECT_EQ(run.exitCode, kExitFinished) << run.err << output_;
  EXPECT_FALSE(contains(output_, "DROP TABLE")) << output_;
  EXPECT_TRUE(contains(output_, "are not dropped (not confirmed)")) << output_;

  run = velmora("upgrade", "APP/app@db1", "APP/app@db2", {"--yes"});
  EXPECT_EQ(run.exitCode, kExitFinished) << run.err << output_;
  EXPECT_TRUE(contains(output_, "DROP TABLE ONLY2")) << output_;
  EXPECT_TRUE(contains(output_, "-- Database 1 holds no tables: dropping all 3 tables")) << output_;

  // A report drops nothing, so it asks nothing.
  run = velmora("report", "APP/app@db1", "APP/app@db2");
  EXPECT_EQ(run.exitCode, kExitFinished) << run.err << output_;
}

TEST_F(TrustLists, TheScriptOfDatabase1SaysOnlyWhatIsTrue) {
  ASSERT_NO_FATAL_FAILURE(create("db1", kDatabase1));
  const ProcessResult run = velmora("script", "APP/app@db1", "");
  ASSERT_EQ(run.exitCode, kExitFinished) << run.err << output_;
  EXPECT_FALSE(contains(output_, "upgrade")) << output_;
  EXPECT_TRUE(contains(output_, "*  This creation script was automatically generated")) << output_;
  EXPECT_TRUE(contains(output_, "APP@DB1\n*\n*  IMPORTANT:  ")) << output_;
  EXPECT_TRUE(contains(output_, "3 tables were found in APP@DB1")) << output_;
  EXPECT_FALSE(contains(output_, "0 tables were found")) << output_;
}

// Every kind a run can switch on has its comparer now: none is named as not compared (the
// driver's own tests keep the line for a phase without one).
TEST_F(TrustLists, PhasesSwitchedOnAreAllCompared) {
  ASSERT_NO_FATAL_FAILURE(createBoth());
  std::vector<std::string> sets = tablePhasesOnly();
  sets.insert(sets.end(), {"b_DoSeq=1", "b_DoFunc=1"});
  const ProcessResult run = velmora("report", "APP/app@db1", "APP/app@db2", {}, sets);
  EXPECT_EQ(run.exitCode, kExitFinished) << run.err << output_;
  EXPECT_FALSE(contains(output_, "Switched on but not compared")) << output_;
}

// A lost connection at every execute or fetch call of a small upgrade run: each run either
// recovers silently and writes the very script of the run without faults with status 0, or ends
// with a failure status; either way it writes no statement that the run without faults does not
// write (a failed read never turns into a DROP, a CREATE or a data statement). `expected` is a
// statement the run without faults must write.
void TrustLists::expectNoLossWritesAStatementOfItsOwn(const std::vector<std::string>& sets,
                                                      const std::string& expected) {
  const fs::path countFile = workspace_->root() / "calls.txt";
  setenv("OCISIM_FAULTS", ("count_calls_to=" + countFile.string()).c_str(), 1);
  ProcessResult run = velmora("upgrade", "APP/app@db1", "APP/app@db2", {}, sets);
  ASSERT_EQ(run.exitCode, kExitFinished) << run.err << output_;
  const std::string reference = maskReport(output_, workspace_->root().string());
  const std::vector<std::string> referenceLines = statementLines(output_);
  ASSERT_TRUE(contains(output_, expected)) << output_;
  const std::set<std::string> allowed(referenceLines.begin(), referenceLines.end());
  const int calls = std::stoi(readFile(countFile));
  ASSERT_GT(calls, 10);

  // A single loss costs a silent reconnect; a burst of four also fails the reconnect and the
  // retry, so the read in hand fails for good.
  int recovered = 0, failed = 0;
  for (int burst : {1, 4}) {
    for (int call = 1; call <= calls; ++call) {
      std::string at = std::to_string(call);
      for (int more = 1; more < burst; ++more) at += "," + std::to_string(call + more);
      SCOPED_TRACE("connection lost at calls " + at);
      setenv("OCISIM_FAULTS", ("lose_connection_at=" + at).c_str(), 1);
      run = velmora("upgrade", "APP/app@db1", "APP/app@db2", {}, sets);
      ASSERT_FALSE(run.timedOut);
      if (run.exitCode == kExitFinished) {
        ++recovered;
        EXPECT_EQ(maskReport(output_, workspace_->root().string()), reference) << run.err;
        continue;
      }
      ++failed;
      EXPECT_GT(run.exitCode, 0) << run.err;
      for (const std::string& line : statementLines(output_)) {
        EXPECT_TRUE(allowed.count(line) != 0) << "a statement of its own: " << line << "\n"
                                              << output_;
      }
    }
  }
  // Both outcomes happen, or the matrix tests less than it says.
  EXPECT_GT(recovered, calls / 2);
  EXPECT_GT(failed, 0);
}

TEST_F(TrustLists, LostConnectionAtEveryCallNeverWritesAStatementOfItsOwn) {
  ASSERT_NO_FATAL_FAILURE(createBoth());
  expectNoLossWritesAStatementOfItsOwn(tablePhasesOnly(), "DROP TABLE ONLY2");
}

// The same with the table data compared: rows read in several fetches from both databases at
// once. A data read that fails for good writes no data statement beyond those of the rows
// compared before it.
TEST_F(TrustLists, LostConnectionDuringTheDataReadsNeverWritesAStatementOfItsOwn) {
  const std::string rows =
      "INSERT INTO t1 SELECT LEVEL, 'name ' || LEVEL FROM dual CONNECT BY LEVEL <= 700;\n";
  ASSERT_NO_FATAL_FAILURE(createBoth(std::string(kDatabase1) + rows,
                                     std::string(kDatabase2) + rows +
                                         "UPDATE t1 SET name = 'changed' WHERE MOD(id, 97) = 0;\n"
                                         "DELETE FROM t1 WHERE id IN (5, 450);\n"));
  std::vector<std::string> sets = tablePhasesOnly();
  sets.push_back("b_DoData=1");
  expectNoLossWritesAStatementOfItsOwn(sets, "UPDATE T1");
}

}  // namespace
}  // namespace velmora::e2e
