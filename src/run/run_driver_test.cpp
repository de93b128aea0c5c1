#include "run/run_driver.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "base/recording_host.h"
#include "config/memory_settings_store.h"

namespace velmora {
namespace {

using namespace std::chrono_literals;

constexpr const char* kFinishedComparing =
    "Velmora for Oracle has finished comparing the databases";
constexpr const char* kStopped = "Velmora for Oracle has been stopped.";
constexpr const char* kStopQuestion =
    "You won't be able to resume this Velmora if you stop it.\nAre you sure you want to stop?";

// Opened by the test thread, waited for by a phase on the worker (at checkpoints, so a stop ends
// the wait too).
class Gate {
 public:
  void open() { open_ = true; }
  bool isOpen() const { return open_; }
  void waitAtCheckpoints(RunContext& context) const {
    while (!open_) {
      context.checkpoint();
      std::this_thread::sleep_for(1ms);
    }
  }

 private:
  std::atomic<bool> open_{false};
};

void allKindsOff(ComparisonOptions& o) {
  for (int ComparisonOptions::*field :
       {&ComparisonOptions::b_DoPriv, &ComparisonOptions::b_DoSeq, &ComparisonOptions::b_DoStruct,
        &ComparisonOptions::b_DoIndex, &ComparisonOptions::b_DoConst, &ComparisonOptions::b_DoData,
        &ComparisonOptions::b_DoViewStruct, &ComparisonOptions::b_DoViewData,
        &ComparisonOptions::b_DoTrigger, &ComparisonOptions::b_DoViewSource,
        &ComparisonOptions::b_DoFunc, &ComparisonOptions::b_DoPack,
        &ComparisonOptions::b_DoPackBody, &ComparisonOptions::b_DoStpCode,
        &ComparisonOptions::b_DoType, &ComparisonOptions::b_DoTypeBody}) {
    o.*field = 0;
  }
}

class RunDriverTest : public ::testing::Test {
 protected:
  RunDriverTest() {
    driver_.context().headerNames() = {"SCOTT@ORCL", "HR@TEST", "HR"};
    // Every phase records its name; the clock gives 1000 at the start and 4725 afterwards.
    for (const Phase& phase : driver_.phases().phases()) {
      driver_.phases().setRunner(phase.id, [this, name = phase.name](RunContext&) {
        std::lock_guard lock(mutex_);
        ran_.push_back(name);
      });
    }
    driver_.setClock([this] { return clockCalls_++ == 0 ? std::time_t(1000) : std::time_t(4725); });
  }
  ~RunDriverTest() override { driver_.waitForEnd(); }

  std::vector<std::string> ran() {
    std::lock_guard lock(mutex_);
    return ran_;
  }
  std::vector<std::string> runWith(const ComparisonOptions& options) {
    options_ = options;
    {
      std::lock_guard lock(mutex_);
      ran_.clear();
    }
    driver_.output().setReportSaved(true);
    EXPECT_TRUE(driver_.start());
    driver_.waitForEnd();
    return ran();
  }

  ComparisonOptions options_;
  RecordingHost host_;
  MemorySettingsStore settings_;
  RunDriver driver_{options_, host_, settings_};
  std::mutex mutex_;
  std::vector<std::string> ran_;
  std::atomic<int> clockCalls_{0};
};

TEST_F(RunDriverTest, PhasesRunInOrderUnderTheirConditions) {
  ComparisonOptions all;
  EXPECT_EQ(
      runWith(all),
      (std::vector<std::string>{
          "privileges", "sequences", "table lists", "table structures", "indexes", "constraints",
          "table data", "view lists", "view structures", "view data", "triggers", "view source",
          "functions", "packages", "package bodies", "stored procedures", "types", "type bodies"}));
  ComparisonOptions o;
  allKindsOff(o);
  EXPECT_EQ(runWith(o), std::vector<std::string>{});
  o.b_DoIndex = 1;  // the table lists run, the structures do not
  EXPECT_EQ(runWith(o), (std::vector<std::string>{"table lists", "indexes"}));
  allKindsOff(o);
  o.b_DoData = 1;
  EXPECT_EQ(runWith(o),
            (std::vector<std::string>{"table lists", "table structures", "table data"}));
  allKindsOff(o);
  o.b_DoConst = 1;
  EXPECT_EQ(runWith(o), (std::vector<std::string>{"table lists", "constraints"}));
  allKindsOff(o);
  o.b_DoViewData = 1;  // the comparison report compares view data with its lists and structures
  EXPECT_EQ(runWith(o), (std::vector<std::string>{"view lists", "view structures", "view data"}));
  for (int mode : {1, 2}) {
    o.i_DoingUpgradeScript = mode;  // the scripts have no view data
    EXPECT_EQ(runWith(o), std::vector<std::string>{}) << mode;
    o.b_DoViewStruct = 1;
    EXPECT_EQ(runWith(o), (std::vector<std::string>{"view lists", "view structures"})) << mode;
    o.b_DoViewStruct = 0;
  }
  allKindsOff(o);
  o.b_DoPack = o.b_DoTrigger = o.b_DoTypeBody = 1;
  EXPECT_EQ(runWith(o), (std::vector<std::string>{"triggers", "packages", "type bodies"}));
  EXPECT_EQ(driver_.phases().enabledPhases(o),
            (std::vector<PhaseId>{PhaseId::Triggers, PhaseId::Packages, PhaseId::TypeBodies}));
}

TEST_F(RunDriverTest, StoredCodeRunnerGetsTheKindCodesInOrder) {
  driver_.phases().setStoredCodeRunner([this](RunContext&, const std::string& kind) {
    std::lock_guard lock(mutex_);
    ran_.push_back(kind);
  });
  ComparisonOptions o;
  allKindsOff(o);
  o.b_DoTrigger = o.b_DoViewSource = o.b_DoFunc = o.b_DoPack = o.b_DoPackBody = o.b_DoStpCode =
      o.b_DoType = o.b_DoTypeBody = 1;
  EXPECT_EQ(runWith(o), (std::vector<std::string>{"TRIG", "VIEW", "FUNC", "PKG", "PKGBD", "STP",
                                                  "TYPE", "TYPEB"}));
}

TEST_F(RunDriverTest, ElapsedTimeFormat) {
  EXPECT_EQ(RunDriver::formatElapsed(3725), "01:02:05");
  EXPECT_EQ(RunDriver::formatElapsed(0), "00:00:00");
  EXPECT_EQ(RunDriver::formatElapsed(59), "00:00:59");
  EXPECT_EQ(RunDriver::formatElapsed(3600 * 100 + 61), "100:01:01");
}

TEST_F(RunDriverTest, FinishedRunWritesHeaderEndLineTitlesAndMessage) {
  ComparisonOptions o;
  allKindsOff(o);
  runWith(o);
  EXPECT_EQ(driver_.document().text(),
            "< DATABASE 1:  SCOTT@ORCL\r\n> DATABASE 2:  HR@TEST"
            "\r\n\r\n--- End of Velmora for Oracle --- Elapsed Time: 01:02:05 ---");
  EXPECT_EQ(driver_.document().snapshot().runs.back().colour, ReportColour::Maroon);
  EXPECT_EQ(host_.titles(), (std::vector<std::string>{
                                "Retrieving Databases Information - Velmora for Oracle",
                                "Finished - Velmora for Oracle", "Ready - Velmora for Oracle"}));
  EXPECT_EQ(host_.statuses(), (std::vector<std::string>{"Retrieving Database Information ..."}));
  EXPECT_EQ(host_.questionTexts(), (std::vector<std::string>{kFinishedComparing}));
  EXPECT_EQ(host_.progress(), 100);
  EXPECT_EQ(host_.progressHigh(), 100);
  EXPECT_TRUE(host_.logged("runStarted"));
  EXPECT_TRUE(host_.logged("runEnded"));
  EXPECT_FALSE(driver_.output().reportSaved());
  EXPECT_FALSE(driver_.isRunning());
  EXPECT_FALSE(driver_.isActive());
  EXPECT_TRUE(driver_.rerunAvailable());
  EXPECT_EQ(driver_.lastOutcome(), RunOutcome::Finished);

  o.i_DoingUpgradeScript = 2;          // the database script: its own message and banner
  host_.setDefaultAnswer(Answer::No);  // do not save the previous report
  options_ = o;
  ASSERT_TRUE(driver_.start());
  driver_.waitForEnd();
  EXPECT_EQ(host_.questionTexts().back(), "Velmora for Oracle has finished scripting the database");
  EXPECT_EQ(driver_.document().text().rfind("/****", 0), 0u);
  EXPECT_EQ(options_.s_StarComment, "*  ");  // set from the mode at the start
}

TEST_F(RunDriverTest, StopWhilePausedEndsPromptlyWithTheStoppedLine) {
  std::atomic<int> iterations{0};
  std::atomic<bool> returnedFromCheckpoint{false};
  driver_.phases().setRunner(PhaseId::Sequences, [&](RunContext& context) {
    context.announceStep("Comparing Sequences");
    for (;;) {
      context.checkpoint();
      ++iterations;
      std::this_thread::sleep_for(1ms);
      if (!context.control().running()) returnedFromCheckpoint = true;
    }
  });
  ASSERT_TRUE(driver_.start());
  while (iterations < 3) std::this_thread::sleep_for(1ms);
  driver_.pause();
  EXPECT_EQ(host_.lastTitle(), "Paused - Velmora for Oracle");
  EXPECT_TRUE(driver_.isPaused());
  std::this_thread::sleep_for(50ms);
  const int whilePaused = iterations;
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(iterations, whilePaused);  // the worker waits at its checkpoint

  host_.scriptAnswers({Answer::Yes});
  const auto stopAt = std::chrono::steady_clock::now();
  ASSERT_TRUE(driver_.stop());
  ASSERT_TRUE(host_.waitForLog("ask:" + std::string(kStopped)));
  const auto took = std::chrono::steady_clock::now() - stopAt;
  EXPECT_LT(took, 2s);  // the condition variable wakes it at once; generous for a busy machine
  driver_.waitForEnd();

  const std::string text = driver_.document().text();
  EXPECT_TRUE(text.ends_with("\r\n\r\nVelmora Stopped ...")) << text;
  EXPECT_EQ(driver_.document().snapshot().runs.back().colour, ReportColour::Maroon);
  EXPECT_EQ(text.find("End of Velmora"), std::string::npos);
  EXPECT_EQ(iterations, whilePaused);  // it never resumed
  EXPECT_FALSE(returnedFromCheckpoint);
  EXPECT_EQ(ran(), (std::vector<std::string>{"privileges"}));  // no later phase ran
  const auto titles = host_.titles();
  ASSERT_GE(titles.size(), 2u);
  EXPECT_EQ(titles[titles.size() - 2], "Stopped - Velmora for Oracle");
  EXPECT_EQ(titles.back(), "Ready - Velmora for Oracle");
  EXPECT_EQ(host_.questionTexts(), (std::vector<std::string>{kStopQuestion, kStopped}));
  EXPECT_FALSE(driver_.isPaused());
  EXPECT_FALSE(driver_.output().reportSaved());
  EXPECT_EQ(driver_.lastOutcome(), RunOutcome::Stopped);
}

TEST_F(RunDriverTest, StopAnsweredNoGoesOn) {
  Gate gate;
  driver_.phases().setRunner(PhaseId::Privileges,
                             [&](RunContext& context) { gate.waitAtCheckpoints(context); });
  ASSERT_TRUE(driver_.start());
  host_.scriptAnswers({Answer::No});
  EXPECT_FALSE(driver_.stop());
  EXPECT_TRUE(driver_.isRunning());
  EXPECT_FALSE(driver_.closeControlPanel());
  EXPECT_EQ(host_.questionTexts().back(),
            "Please wait until Velmora is finished to close the control panel.");
  gate.open();
  driver_.waitForEnd();
  EXPECT_EQ(driver_.lastOutcome(), RunOutcome::Finished);
  EXPECT_TRUE(driver_.closeControlPanel());
}

TEST_F(RunDriverTest, ResumeGivesBackTheTitleSetWhilePaused) {
  Gate gate;
  std::atomic<bool> paused{false}, announced{false};
  driver_.phases().setRunner(PhaseId::Privileges, [&](RunContext& context) {
    context.announceStep("Analyzing System Privileges");
    while (!paused) std::this_thread::sleep_for(1ms);
    context.announceStep("Comparing System Privileges");  // set while paused: kept for Resume
    announced = true;
    gate.waitAtCheckpoints(context);
  });
  ASSERT_TRUE(driver_.start());
  ASSERT_TRUE(host_.waitForLog("title:Analyzing System Privileges - Velmora for Oracle"));
  driver_.pause();
  paused = true;
  while (!announced) std::this_thread::sleep_for(1ms);
  EXPECT_EQ(host_.lastTitle(), "Paused - Velmora for Oracle");
  EXPECT_FALSE(driver_.canSkip());
  driver_.resume();
  EXPECT_EQ(host_.lastTitle(), "Comparing System Privileges - Velmora for Oracle");
  gate.open();
  driver_.waitForEnd();
  EXPECT_EQ(driver_.lastOutcome(), RunOutcome::Finished);
}

TEST_F(RunDriverTest, SkipOnlyInPhasesThatAllowIt) {
  Gate indexesGate;
  std::atomic<bool> inIndexes{false}, inData{false};
  driver_.phases().setRunner(PhaseId::Indexes, [&](RunContext& context) {
    inIndexes = true;
    indexesGate.waitAtCheckpoints(context);
  });
  driver_.phases().setRunner(PhaseId::TableData, [&](RunContext& context) {
    for (const char* table : {"EMP", "DEPT"}) {
      context.checkpoint();
      context.output().write(std::string("\r\nTable ") + table, ReportColour::Black);
      inData = true;
      while (!context.skipRequested()) {
        context.checkpoint();
        std::this_thread::sleep_for(1ms);
      }
      context.output().write("\r\nTable Skipped ...", ReportColour::Maroon);
      context.clearSkipRequest();
    }
  });
  ComparisonOptions o;
  allKindsOff(o);
  o.b_DoIndex = o.b_DoData = 1;
  options_ = o;
  ASSERT_TRUE(driver_.start());
  while (!inIndexes) std::this_thread::sleep_for(1ms);
  EXPECT_FALSE(driver_.canSkip());
  driver_.skip();  // not allowed here: no request
  EXPECT_FALSE(driver_.context().skipRequested());
  indexesGate.open();
  while (!inData) std::this_thread::sleep_for(1ms);
  EXPECT_TRUE(driver_.canSkip());
  driver_.skip();
  while (driver_.document().text().find("Table DEPT") == std::string::npos) {
    std::this_thread::sleep_for(1ms);
  }
  driver_.skip();
  driver_.waitForEnd();
  EXPECT_NE(driver_.document().text().find(
                "\r\nTable EMP\r\nTable Skipped ...\r\nTable DEPT\r\nTable Skipped ..."),
            std::string::npos);
  EXPECT_FALSE(driver_.canSkip());
  EXPECT_FALSE(driver_.context().control().skipAllowed());
  EXPECT_EQ(driver_.lastOutcome(), RunOutcome::Finished);
}

TEST_F(RunDriverTest, StartGuards) {
  Gate gate;
  driver_.phases().setRunner(PhaseId::Privileges,
                             [&](RunContext& context) { gate.waitAtCheckpoints(context); });
  ASSERT_TRUE(driver_.start());
  EXPECT_FALSE(driver_.start());  // a second run
  EXPECT_FALSE(driver_.rerunLast());
  EXPECT_EQ(host_.questionTexts().back(),
            "You cannot start another Velmora before the previous one ends.\nPress the <stop> icon "
            "to terminate the current Velmora");
  gate.open();
  driver_.waitForEnd();

  // The finished report is unsaved: the save question comes first.
  int dialogs = 0;
  DialogResult result = DialogResult::Cancel;
  driver_.setParametersDialog([&](ComparisonOptions& options) {
    ++dialogs;
    options.b_DoPriv = 0;
    return result;
  });
  host_.scriptAnswers({Answer::Cancel});
  EXPECT_FALSE(driver_.start());
  EXPECT_EQ(dialogs, 0);
  host_.scriptAnswers({Answer::Yes});  // Yes, then the save dialog is cancelled
  driver_.setSaveFileChooser([] { return std::nullopt; });
  EXPECT_FALSE(driver_.start());
  EXPECT_TRUE(driver_.output().saveDeclined());
  EXPECT_EQ(dialogs, 0);
  host_.scriptAnswers({Answer::No, Answer::No});  // do not save; the dialog is cancelled, closed
  EXPECT_FALSE(driver_.start());
  result = DialogResult::Close;
  EXPECT_FALSE(driver_.start());
  EXPECT_EQ(dialogs, 2);
  EXPECT_EQ(options_.b_DoPriv, 0);  // Close keeps the edited options
  EXPECT_EQ(host_.questions().back().text,
            "The report has not been saved. Do you wish to save it?");

  result = DialogResult::Start;
  host_.scriptAnswers({Answer::No});
  {
    std::lock_guard lock(mutex_);
    ran_.clear();
  }
  EXPECT_TRUE(driver_.start());
  driver_.waitForEnd();
  EXPECT_EQ(dialogs, 3);
  EXPECT_EQ(ran().front(), "sequences");  // the dialog turned privileges off
}

TEST_F(RunDriverTest, RerunLastNeedsAnEarlierRunAndSkipsTheDialog) {
  int dialogs = 0;
  driver_.setParametersDialog([&](ComparisonOptions&) {
    ++dialogs;
    return DialogResult::Start;
  });
  EXPECT_FALSE(driver_.rerunLast());
  ASSERT_TRUE(driver_.start());
  driver_.waitForEnd();
  host_.scriptAnswers({Answer::No});  // the unsaved report is given up
  ASSERT_TRUE(driver_.rerunLast());
  driver_.waitForEnd();
  EXPECT_EQ(dialogs, 1);
  EXPECT_EQ(driver_.lastOutcome(), RunOutcome::Finished);
}

TEST_F(RunDriverTest, PhaseErrorsCostOnlyTheirPhase) {
  driver_.phases().setRunner(PhaseId::Sequences,
                             [](RunContext&) { throw std::runtime_error("boom"); });
  ComparisonOptions o;
  allKindsOff(o);
  o.b_DoSeq = o.b_DoConst = 1;
  EXPECT_EQ(runWith(o), (std::vector<std::string>{"table lists", "constraints"}));
  EXPECT_NE(driver_.document().text().find(
                "The sequences phase ended because of an unexpected error: boom"),
            std::string::npos);
  EXPECT_EQ(driver_.lastOutcome(), RunOutcome::Finished);
  EXPECT_EQ(driver_.errors().kinds(), std::vector<std::string>{"sequences"});
}

// A run whose comparers recorded errors finishes, but its last lines, final message and error
// record say what was not compared; the next run starts with a clean record.
TEST_F(RunDriverTest, ErrorsOfARunAreSummedUpAtItsEnd) {
  driver_.phases().setRunner(PhaseId::Indexes, [](RunContext& context) {
    context.errors().record("indexes");
    context.errors().record("indexes");
  });
  driver_.phases().setRunner(PhaseId::Constraints,
                             [](RunContext& context) { context.errors().record("constraints"); });
  ComparisonOptions o;
  allKindsOff(o);
  o.b_DoIndex = o.b_DoConst = 1;
  o.i_DoingUpgradeScript = 1;
  runWith(o);
  EXPECT_EQ(driver_.errors().count(), 3);
  const std::string text = driver_.document().text();
  EXPECT_NE(text.find("\r\n\r\n-- The run finished with errors (see the error blocks above): not "
                      "(completely) compared: indexes and constraints\r\n\r\n--- End of"),
            std::string::npos)
      << text;
  EXPECT_TRUE(
      host_.logged("ask:Velmora for Oracle has finished comparing the databases, with errors.\nNot "
                   "(completely) compared: indexes and constraints"));

  driver_.phases().setRunner(PhaseId::Indexes, [](RunContext&) {});
  driver_.phases().setRunner(PhaseId::Constraints, [](RunContext&) {});
  runWith(o);
  EXPECT_FALSE(driver_.errors().any());
  EXPECT_EQ(driver_.document().text().find("with errors"), std::string::npos);
}

// A phase switched on without a comparer in this build is named, so that the report does not
// read as "no difference"; it is not an error of the run.
TEST_F(RunDriverTest, PhasesWithoutAComparerAreNamed) {
  driver_.phases().setRunner(PhaseId::Sequences, {});
  driver_.phases().setRunner(PhaseId::Types, {});
  ComparisonOptions o;
  allKindsOff(o);
  o.b_DoSeq = o.b_DoType = o.b_DoIndex = 1;
  runWith(o);
  EXPECT_NE(driver_.document().text().find(
                "\r\n\r\nSwitched on but not compared (not available in this version): "
                "sequences and types"),
            std::string::npos)
      << driver_.document().text();
  EXPECT_FALSE(driver_.errors().any());
}

TEST_F(RunDriverTest, CommandLineStart) {
  EXPECT_FALSE(driver_.startFromCommandLine("setup.dbo"));  // no loader: not connected
  EXPECT_TRUE(host_.logged("restoreMainWindow"));
  EXPECT_EQ(host_.questionTexts().back(),
            "Could not automatically start a comparison, please make sure 2 valid database "
            "connections (including passwords) are saved in the configuration file.\nSee the help "
            "topics for more information.");

  std::string loaded;
  Gate gate;
  driver_.phases().setRunner(PhaseId::Privileges,
                             [&](RunContext& context) { gate.waitAtCheckpoints(context); });
  driver_.setConfigurationLoader([&](const std::string& path, RunContext& context) {
    loaded = path;
    context.options().i_DoingUpgradeScript = 1;
    context.options().setDerivedValues();
    return true;
  });
  ASSERT_TRUE(driver_.startFromCommandLine("setup.dbo"));
  EXPECT_EQ(driver_.commandLineFile(), "setup.dbo");  // known until the end of the run
  gate.open();
  driver_.waitForEnd();
  EXPECT_EQ(loaded, "setup.dbo");
  EXPECT_EQ(driver_.commandLineFile(), "");
  EXPECT_EQ(host_.log().back(), "runEnded");
  EXPECT_EQ(host_.questionTexts().back(), kFinishedComparing);
  EXPECT_FALSE(host_.logged("quit:1"));
}

TEST_F(RunDriverTest, CommandLineStartWithOnlyToFileQuits) {
  const std::string dir = ::testing::TempDir();
  const std::string file = dir + "velmora_cmdline_" + std::to_string(getpid()) + ".txt";
  driver_.setConfigurationLoader([&](const std::string&, RunContext& context) {
    context.options().b_OnlyToFile = 1;
    context.options().s_AutoSaveFile = file;
    return true;
  });
  ASSERT_TRUE(driver_.startFromCommandLine("x.dbo"));
  driver_.waitForEnd();
  // A scheduler sees success: the run finished without errors.
  EXPECT_TRUE(host_.logged("quit:0"));
  EXPECT_FALSE(host_.logged("quit:1"));
  EXPECT_TRUE(host_.questions().empty());  // no finished message: the application ends
  EXPECT_TRUE(driver_.output().reportSaved());
  std::ifstream in(file, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  EXPECT_EQ(content.str().rfind("< DATABASE 1:  SCOTT@ORCL", 0), 0u);
  EXPECT_NE(content.str().find("--- End of Velmora for Oracle ---"), std::string::npos);

  // A run with errors ends the application with the status that says so.
  driver_.phases().setRunner(PhaseId::Privileges,
                             [](RunContext& context) { context.errors().record("privileges"); });
  ASSERT_TRUE(driver_.startFromCommandLine("x.dbo"));
  driver_.waitForEnd();
  EXPECT_TRUE(host_.logged("quit:5"));
  std::filesystem::remove(file);
}

TEST_F(RunDriverTest, SqlCompareRunsTheShellWithTheComparisonHeader) {
  std::string got1, got2;
  driver_.setSqlCompareRunner(
      [&](RunContext&, const std::string& statement1, const std::string& statement2) {
        got1 = statement1;
        got2 = statement2;
      });
  driver_.setSqlCompareDialog([](ComparisonOptions& options) {
    options.s_GlobalPassSql1 = "select 1 from dual";
    options.s_GlobalPassSql2 = "select 2 from dual";
    return true;
  });
  EXPECT_FALSE(driver_.rerunLastSqlCompare());  // none ran before
  options_.i_DoingUpgradeScript = 1;
  ASSERT_TRUE(driver_.startSqlCompare());
  driver_.waitForEnd();
  EXPECT_EQ(got1, "select 1 from dual");
  EXPECT_EQ(got2, "select 2 from dual");
  EXPECT_EQ(
      driver_.document().text().rfind("< DATABASE 1:  SCOTT@ORCL\r\n> DATABASE 2:  HR@TEST", 0),
      0u);
  EXPECT_TRUE(ran().empty());  // no phase of the comparison
  EXPECT_TRUE(driver_.sqlCompareRan());

  driver_.setConnectionCheck([] { return false; });
  EXPECT_FALSE(driver_.rerunLastSqlCompare());
  EXPECT_EQ(host_.questionTexts().back(), "You must have 2 database sources before you can begin.");
}

TEST_F(RunDriverTest, AutoSaveFlushesAtTheEndOfTheRun) {
  const std::string file =
      ::testing::TempDir() + "velmora_autosave_" + std::to_string(getpid()) + ".txt";
  options_.b_AutoSave = 1;
  options_.s_AutoSaveFile = file;
  ASSERT_TRUE(driver_.start());
  driver_.waitForEnd();
  std::ifstream in(file, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  EXPECT_EQ(content.str(), driver_.document().text());
  EXPECT_FALSE(driver_.output().autoSaveStarted());
  EXPECT_TRUE(driver_.output().reportSaved());
  std::filesystem::remove(file);
}

// A phase blocked in a call that only a stop hook can end (as OCIBreak ends a long fetch): the
// hook runs on the stopping thread once running is cleared, and the run ends as stopped.
TEST_F(RunDriverTest, StopHooksEndABlockingCallAndTheRunEndsStopped) {
  std::atomic<bool> inCall{false};
  std::atomic<bool> broken{false};
  std::atomic<bool> sawRunning{true};
  std::atomic<bool> returnedFromCall{false};
  std::atomic<int> removedCalls{0};
  std::thread::id hookThread;
  RunControl& control = driver_.context().control();
  const int hook = control.addStopHook([&] {
    hookThread = std::this_thread::get_id();
    sawRunning = control.running();
    broken = true;
  });
  const int removed = control.addStopHook([&] { ++removedCalls; });
  control.removeStopHook(removed);
  driver_.phases().setRunner(PhaseId::Sequences, [&](RunContext& context) {
    context.output().write("\r\nlisting", ReportColour::Black);
    inCall = true;
    while (!broken) std::this_thread::sleep_for(1ms);  // no checkpoint: only the hook ends it
    context.control().throwIfStopped();
    returnedFromCall = true;
  });
  ASSERT_TRUE(driver_.start());
  while (!inCall) std::this_thread::sleep_for(1ms);
  driver_.requestStop();
  EXPECT_EQ(hookThread, std::this_thread::get_id());
  EXPECT_FALSE(sawRunning);
  driver_.waitForEnd();
  control.removeStopHook(hook);

  EXPECT_FALSE(returnedFromCall);
  EXPECT_EQ(removedCalls, 0);
  EXPECT_TRUE(driver_.document().text().ends_with("\r\nlisting\r\n\r\nVelmora Stopped ..."))
      << driver_.document().text();
  EXPECT_EQ(driver_.lastOutcome(), RunOutcome::Stopped);
  EXPECT_FALSE(driver_.errors().any());
}

// Inside a long operation a stop is honoured even while paused, and nothing is thrown while the
// run goes on.
TEST(RunControlTest, ThrowIfStoppedNeitherWaitsNorThrowsWhileRunning) {
  RunControl control;
  control.beginRun();
  control.pause();
  EXPECT_NO_THROW(control.throwIfStopped());  // paused: returns at once
  control.requestStop();
  EXPECT_THROW(control.throwIfStopped(), RunStopped);
}

TEST(RunDriverLifetimeTest, DestroyingADriverStopsAPausedRun) {
  ComparisonOptions options;
  RecordingHost host;
  MemorySettingsStore settings;
  std::atomic<bool> entered{false};
  {
    RunDriver driver(options, host, settings);
    driver.phases().setRunner(PhaseId::Privileges, [&](RunContext& context) {
      entered = true;
      for (;;) context.checkpoint();
    });
    ASSERT_TRUE(driver.start());
    while (!entered) std::this_thread::sleep_for(1ms);
    driver.pause();
  }
  EXPECT_TRUE(host.logged("ask:" + std::string(kStopped)));
}

}  // namespace
}  // namespace velmora
