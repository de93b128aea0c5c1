// Whole runs through the Comparison facade against two ocisim databases, as a front end drives
// them: connects on a connect thread that asks for a password, a run paused and resumed, a skip
// where the phase allows none, a stop, and the report handed over in changes that own their
// text.
#if defined(OCISIM_LIBRARY_PATH) && defined(OCISIM_TOOL_PATH)

#include "comparison/comparison.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "oracle/login_dialog.h"
#include "oracle/ocisim_test_support.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;

const char* const kDatabase1 = R"(
CREATE USER scott IDENTIFIED BY tiger;
GRANT CREATE SESSION, CREATE TABLE TO scott;
CREATE TABLE scott.dept (id NUMBER(4) CONSTRAINT dept_pk PRIMARY KEY, name VARCHAR2(30) NOT NULL);
CREATE TABLE scott.emp (id NUMBER(6) CONSTRAINT emp_pk PRIMARY KEY, name VARCHAR2(40),
  dept_id NUMBER(4) CONSTRAINT emp_dept_fk REFERENCES scott.dept (id));
CREATE INDEX scott.emp_name_ix ON scott.emp (name);
CREATE TABLE scott.bonus (emp_id NUMBER(6), amount NUMBER(8,2));
)";

const char* const kDatabase2 = R"(
CREATE USER scott IDENTIFIED BY tiger;
GRANT CREATE SESSION, CREATE TABLE TO scott;
CREATE TABLE scott.dept (id NUMBER(4) CONSTRAINT dept_pk PRIMARY KEY, name VARCHAR2(20));
CREATE TABLE scott.emp (id NUMBER(6) CONSTRAINT emp_pk PRIMARY KEY, name VARCHAR2(40),
  dept_id NUMBER(4));
CREATE TABLE scott.legacy (id NUMBER);
)";

// A password prompt that answers from a list and notes the thread it was asked on.
class ScriptedPrompter : public LoginPrompter {
 public:
  explicit ScriptedPrompter(std::string password) : password_(std::move(password)) {}
  std::optional<std::string> askPassword(const std::string& user,
                                         const std::string& database) override {
    std::lock_guard lock(mutex_);
    asked_.push_back(user + "@" + database);
    thread_ = std::this_thread::get_id();
    return password_;
  }
  bool runLoginDialog(LoginDialogModel&) override { return false; }
  std::vector<std::string> asked() const {
    std::lock_guard lock(mutex_);
    return asked_;
  }
  std::thread::id thread() const {
    std::lock_guard lock(mutex_);
    return thread_;
  }

 private:
  std::string password_;
  mutable std::mutex mutex_;
  std::vector<std::string> asked_;
  std::thread::id thread_;
};

// A recording host that can hold the run's worker at a status until the test lets it go.
class HoldingHost : public RecordingHost {
 public:
  void holdAt(const std::string& status) {
    std::lock_guard lock(holdMutex_);
    holdAt_ = status;
    held_ = released_ = false;
  }
  void waitUntilHeld() {
    std::unique_lock lock(holdMutex_);
    ASSERT_TRUE(holdChanged_.wait_for(lock, 60s, [this] { return held_; })) << holdAt_;
  }
  void release() {
    std::lock_guard lock(holdMutex_);
    released_ = true;
    holdChanged_.notify_all();
  }
  void setStatus(const std::string& text) override {
    RecordingHost::setStatus(text);
    std::unique_lock lock(holdMutex_);
    if (text != holdAt_ || held_) return;
    held_ = true;
    holdChanged_.notify_all();
    holdChanged_.wait(lock, [this] { return released_; });
  }

 private:
  std::mutex holdMutex_;
  std::condition_variable holdChanged_;
  std::string holdAt_;
  bool held_ = false;
  bool released_ = false;
};

class ComparisonTest : public ocisimtest::OcisimTest {
 protected:
  void SetUp() override {
    OcisimTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(createDatabase("db1", "19.3.0", kDatabase1));
    ASSERT_NO_FATAL_FAILURE(createDatabase("db2", "19.3.0", kDatabase2));
    options.i_DoingUpgradeScript = 0;
    options.b_DoPriv = options.b_DoSeq = options.b_DoData = 0;
    options.b_DoViewStruct = options.b_DoViewData = 0;
    oracle.libraryOverride = OCISIM_LIBRARY_PATH;
  }

  // Opens a database on its connect thread and waits for the callback.
  OpenReport openAsync(Comparison& comparison, int number, const std::string& text,
                       LoginPrompter* prompter) {
    std::promise<OpenReport> done;
    std::future<OpenReport> report = done.get_future();
    EXPECT_TRUE(comparison.openAsync(number, text, prompter,
                                     [&done](int, const OpenReport& r) { done.set_value(r); }));
    EXPECT_EQ(report.wait_for(60s), std::future_status::ready);
    comparison.waitForOpen(number);
    return report.get();
  }

  bool reportHas(Comparison& comparison, const std::string& part) {
    return comparison.document().text().find(part) != std::string::npos;
  }

  HoldingHost holdingHost;
  OracleEnvironment oracle;
};

TEST_F(ComparisonTest, AsyncConnectAsksForThePasswordOnItsOwnThread) {
  Comparison comparison(options, holdingHost, settings, oracle);
  ScriptedPrompter prompter("tiger");
  const OpenReport report = openAsync(comparison, 1, "scott@db1", &prompter);
  EXPECT_EQ(report.result, OpenResult::Connected) << report.problem;
  ASSERT_EQ(prompter.asked().size(), 1u);
  EXPECT_NE(prompter.thread(), std::this_thread::get_id());
  ASSERT_NE(comparison.database(1), nullptr);
  EXPECT_EQ(comparison.database(1)->owner(), "SCOTT");
  EXPECT_EQ(comparison.database(2), nullptr);

  // A refused password leaves no connection behind, and the slot can be opened again.
  ScriptedPrompter wrong("lion");
  const OpenReport refused = openAsync(comparison, 1, "scott@db1", &wrong);
  EXPECT_EQ(refused.result, OpenResult::NotConnected);
  EXPECT_EQ(comparison.database(1), nullptr);
  EXPECT_FALSE(holdingHost.questionTexts().empty());  // the Oracle message went to the host
  const OpenReport again = comparison.open(1, "scott/tiger@db1", nullptr);
  EXPECT_EQ(again.result, OpenResult::Connected);
}

TEST_F(ComparisonTest, RunPausedSkippedAndResumedFinishesTheWholeReport) {
  Comparison comparison(options, holdingHost, settings, oracle);
  ScriptedPrompter prompter("tiger");
  ASSERT_EQ(openAsync(comparison, 1, "scott@db1", &prompter).result, OpenResult::Connected);
  ASSERT_EQ(comparison.open(2, "scott/tiger@db2", nullptr).result, OpenResult::Connected);

  holdingHost.holdAt("Analyzing Indexes ...");
  ASSERT_TRUE(comparison.start());
  holdingHost.waitUntilHeld();
  // While a run is active no database can be changed.
  EXPECT_EQ(comparison.open(2, "scott/tiger@db2", nullptr).result, OpenResult::NotConnected);
  EXPECT_NE(comparison.database(2), nullptr);
  // The table phases allow no skip: a skip asked for changes nothing.
  EXPECT_FALSE(comparison.canSkip());
  comparison.skip();
  comparison.pause();
  EXPECT_TRUE(comparison.isPaused());
  holdingHost.release();
  ASSERT_TRUE(holdingHost.waitForLog("title:Paused - Velmora for Oracle"));
  // Paused: the worker waits at its next checkpoint and the run does not end.
  std::this_thread::sleep_for(200ms);
  EXPECT_TRUE(comparison.isActive());
  EXPECT_EQ(comparison.lastOutcome(), RunOutcome::None);
  comparison.resume();
  comparison.waitForEnd();

  EXPECT_EQ(comparison.lastOutcome(), RunOutcome::Finished);
  EXPECT_FALSE(comparison.errors().any());
  EXPECT_TRUE(reportHas(comparison, "The following tables DO NOT exist in"))
      << comparison.document().text();
  EXPECT_TRUE(reportHas(comparison, "structural differences between COMMON tables"));
  EXPECT_TRUE(reportHas(comparison, "index differences between COMMON tables"));
  EXPECT_TRUE(reportHas(comparison, "constraint differences for table EMP"));
  // The header names the databases the facade connected.
  EXPECT_TRUE(reportHas(comparison, "SCOTT@"));
}

TEST_F(ComparisonTest, StopEndsTheRunAndTheConnectionsServeTheNextOne) {
  Comparison comparison(options, holdingHost, settings, oracle);
  ASSERT_EQ(comparison.open(1, "scott/tiger@db1", nullptr).result, OpenResult::Connected);
  ASSERT_EQ(comparison.open(2, "scott/tiger@db2", nullptr).result, OpenResult::Connected);

  holdingHost.holdAt("Analyzing Structures ...");
  ASSERT_TRUE(comparison.start());
  holdingHost.waitUntilHeld();
  holdingHost.scriptAnswers({Answer::Yes});  // "Are you sure you want to stop?"
  EXPECT_TRUE(comparison.stop());
  holdingHost.release();
  comparison.waitForEnd();
  EXPECT_EQ(comparison.lastOutcome(), RunOutcome::Stopped);
  EXPECT_TRUE(reportHas(comparison, "Velmora Stopped"));
  EXPECT_FALSE(reportHas(comparison, "index differences"));

  // Outside a run the sessions are usable: the stop of the last run is not taken for a new one.
  EXPECT_TRUE(comparison.database(1)->session()->execute("begin null; end;").ok());
  holdingHost.holdAt("");
  holdingHost.scriptAnswers({Answer::No});  // no save of the stopped report
  ASSERT_TRUE(comparison.rerunLast());
  comparison.waitForEnd();
  EXPECT_EQ(comparison.lastOutcome(), RunOutcome::Finished);
  EXPECT_TRUE(reportHas(comparison, "index differences between COMMON tables"));
}

TEST_F(ComparisonTest, ChangesOwnTheirTextWhenQueuedToAnotherThread) {
  Comparison comparison(options, holdingHost, settings, oracle);
  ASSERT_EQ(comparison.open(1, "scott/tiger@db1", nullptr).result, OpenResult::Connected);
  ASSERT_EQ(comparison.open(2, "scott/tiger@db2", nullptr).result, OpenResult::Connected);
  std::mutex mutex;
  std::vector<ReportDocument::Change> queued;
  const int observer = comparison.document().addObserver([&](const ReportDocument::Change& change) {
    std::lock_guard lock(mutex);
    queued.push_back(change);
  });
  ASSERT_TRUE(comparison.start());
  comparison.waitForEnd();
  comparison.document().removeObserver(observer);

  std::string replayed;
  for (const ReportDocument::Change& change : queued) {
    if (change.kind == ReportDocument::ChangeKind::Appended) replayed += change.text;
  }
  EXPECT_EQ(replayed, comparison.document().text());
}

TEST_F(ComparisonTest, WithoutDatabaseOneTheTablePhasesAreNotCompared) {
  Comparison comparison(options, holdingHost, settings, oracle);
  ASSERT_TRUE(comparison.start());
  comparison.waitForEnd();
  EXPECT_TRUE(reportHas(comparison, "Switched on but not compared"))
      << comparison.document().text();
  EXPECT_FALSE(reportHas(comparison, "tables were found"));
}

// The table data of both databases is read at once, each on a thread of its own: the rows come
// out whole across many fetches, and a stop while both are fetching ends the run promptly.
TEST_F(ComparisonTest, TableDataIsReadFromBothDatabasesAtOnceAndStopsOnRequest) {
  options.b_DoData = 1;
  Comparison comparison(options, holdingHost, settings, oracle);
  ASSERT_EQ(comparison.open(1, "scott/tiger@db1", nullptr).result, OpenResult::Connected);
  ASSERT_EQ(comparison.open(2, "scott/tiger@db2", nullptr).result, OpenResult::Connected);
  const std::string rows =
      "insert into scott.emp (id, name) select level, 'emp ' || level from dual "
      "connect by level <= 1500";
  ASSERT_TRUE(comparison.database(1)->session()->execute(rows).ok());
  ASSERT_TRUE(comparison.database(2)->session()->execute(rows).ok());
  ASSERT_TRUE(comparison.database(2)
                  ->session()
                  ->execute("update scott.emp set name = 'changed' where id in (7, 1234)")
                  .ok());
  ASSERT_TRUE(comparison.database(2)->session()->execute("delete scott.emp where id = 900").ok());

  ASSERT_TRUE(comparison.start());
  comparison.waitForEnd();
  ASSERT_EQ(comparison.lastOutcome(), RunOutcome::Finished);
  const std::string text = comparison.document().text();
  int dataDifferences = 0;
  for (const auto& [kind, count] : comparison.differences().counts())
    if (kind == "table data") dataDifferences = count;
  EXPECT_EQ(dataDifferences, 5) << text;  // a changed row shows both its versions
  for (const char* changed : {"emp 7", "emp 900", "emp 1234"})
    EXPECT_NE(text.find(changed), std::string::npos) << changed << "\n" << text;

  // Every fetch now waits: the stop reaches both readers in their fetches.
  holdingHost.holdAt("Comparing Data ...");
  ASSERT_TRUE(comparison.rerunLast());
  holdingHost.waitUntilHeld();
  ::setenv("OCISIM_FAULTS", "fetch_delay_ms=2000", 1);
  holdingHost.release();
  std::this_thread::sleep_for(300ms);
  holdingHost.scriptAnswers({Answer::Yes, Answer::No});  // stop; no save of the report
  const auto asked = std::chrono::steady_clock::now();
  EXPECT_TRUE(comparison.stop());
  comparison.waitForEnd();
  ::unsetenv("OCISIM_FAULTS");
  EXPECT_LT(std::chrono::steady_clock::now() - asked, 1500ms);
  EXPECT_EQ(comparison.lastOutcome(), RunOutcome::Stopped);
  EXPECT_TRUE(comparison.database(1)->session()->execute("begin null; end;").ok());
}

// A configuration saved with the connected databases opens them again on load, with the options
// it held; the desktop's start from a configuration file runs without a question, and a file that
// cannot be read changes nothing.
TEST_F(ComparisonTest, ConfigurationFilesKeepTheConnectionsAndOptionsAndStartARun) {
  const std::string path =
      testing::TempDir() + "comparison_config_" + std::to_string(getpid()) + ".dbo";
  {
    Comparison comparison(options, holdingHost, settings, oracle);
    ASSERT_EQ(comparison.open(1, "scott/tiger@db1", nullptr).result, OpenResult::Connected);
    ASSERT_EQ(comparison.open(2, "scott/tiger@db2", nullptr).result, OpenResult::Connected);
    options.b_DoIndex = 0;
    options.IgnoreTables.add("SKIPPED");
    ASSERT_TRUE(comparison.saveConfiguration(path).ok());
    EXPECT_EQ(comparison.configurationFile(), path);
  }
  ComparisonOptions loadedOptions;
  RecordingHost host;
  Comparison comparison(loadedOptions, host, settings, oracle);
  const Status missing = comparison.loadConfiguration(path + ".none", nullptr, true);
  EXPECT_FALSE(missing.ok());
  EXPECT_EQ(loadedOptions.b_DoIndex, 1);  // nothing changed
  ASSERT_TRUE(comparison.loadConfiguration(path, nullptr, true).ok());
  EXPECT_TRUE(host.questions().empty());  // nothing was connected: no re-connect question
  ASSERT_NE(comparison.database(1), nullptr);
  ASSERT_NE(comparison.database(2), nullptr);
  EXPECT_EQ(comparison.database(1)->owner(), "SCOTT");
  EXPECT_EQ(loadedOptions.b_DoIndex, 0);
  EXPECT_EQ(loadedOptions.IgnoreTables, NameList({"SKIPPED"}));

  // Connected now: the question comes, and No keeps the connections as they are.
  DatabaseConnection* before = comparison.database(1);
  host.scriptAnswers({Answer::No});
  ASSERT_TRUE(comparison.loadConfiguration(path, nullptr, true).ok());
  ASSERT_EQ(host.questionTexts().size(), 1u);
  EXPECT_EQ(host.questionTexts()[0],
            "Do you wish to re-connect to the databases on the config file?");
  EXPECT_EQ(comparison.database(1), before);

  ASSERT_TRUE(comparison.startFromCommandLine(path, nullptr));
  comparison.waitForEnd();
  EXPECT_EQ(comparison.lastOutcome(), RunOutcome::Finished);
  EXPECT_NE(comparison.document().text().find("tables were found"), std::string::npos);
  std::remove(path.c_str());
}

}  // namespace
}  // namespace velmora

#endif
