#include "run/run_driver.h"

#include <cstdio>
#include <exception>

#include "base/exit_status.h"
#include "base/report_layout.h"

namespace velmora {

namespace {

constexpr const char* kAnotherRun =
    "You cannot start another Velmora before the previous one ends.\nPress the <stop> icon to "
    "terminate the current Velmora";
constexpr const char* kStopQuestion =
    "You won't be able to resume this Velmora if you stop it.\nAre you sure you want to stop?";
constexpr const char* kCannotAutoStart =
    "Could not automatically start a comparison, please make sure 2 valid database connections "
    "(including passwords) are saved in the configuration file.\nSee the help topics for more "
    "information.";
constexpr const char* kNeedTwoSources = "You must have 2 database sources before you can begin.";

// Skip is allowed only while a phase that can skip an object runs (or a phase that marks itself
// skippable). A request that its phase did not honour does not carry over into a later phase.
class SkipAllowedScope {
 public:
  SkipAllowedScope(RunControl& control, bool allowed) : control_(control) {
    control_.setSkipAllowed(allowed);
  }
  ~SkipAllowedScope() {
    control_.setSkipAllowed(false);
    control_.clearSkipRequest();
  }
  SkipAllowedScope(const SkipAllowedScope&) = delete;
  SkipAllowedScope& operator=(const SkipAllowedScope&) = delete;

 private:
  RunControl& control_;
};

}  // namespace

RunDriver::RunDriver(ComparisonOptions& options, RunHost& host, SettingsStore& settings)
    : options_(options),
      relay_(host),
      settings_(settings),
      output_(document_, options_, relay_),
      context_(options_, output_, relay_, settings_, control_, errors_),
      clock_([] { return std::time(nullptr); }) {
  output_.attachRun(&errors_, [this] { requestStop(); });
}

RunDriver::~RunDriver() {
  control_.requestStop();
  waitForEnd();
}

std::string RunDriver::formatElapsed(long long seconds) {
  if (seconds < 0) seconds = 0;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%02lld:%02lld:%02lld", seconds / 3600,
                seconds / 60 - (seconds / 3600) * 60, seconds % 60);
  return buffer;
}

std::string RunDriver::commandLineFile() const {
  std::lock_guard lock(commandLineMutex_);
  return commandLineFile_;
}

// Start steps 1 to 3: no second run; the previous report saved, or given up on purpose.
bool RunDriver::guardStart() {
  if (isActive()) {
    relay_.ask(kAnotherRun, Buttons::Ok);
    return false;
  }
  return output_.offerSave(saveChooser_);
}

bool RunDriver::start() {
  if (!guardStart()) return false;
  context_.workLists().clear();
  control_.setSkipAllowed(false);
  if (parametersDialog_ && parametersDialog_(options_) != DialogResult::Start) return false;
  output_.setReportSaved(false);
  beginRun(Body::Comparison, true);
  return true;
}

bool RunDriver::rerunLast() {
  if (!rerunAvailable_ || !guardStart()) return false;
  context_.workLists().clear();
  beginRun(Body::Comparison, true);
  return true;
}

bool RunDriver::startSqlCompare() {
  if (!guardStart()) return false;
  if (sqlCompareDialog_ && !sqlCompareDialog_(options_)) return false;
  beginRun(Body::SqlCompare, true);
  return true;
}

bool RunDriver::rerunLastSqlCompare() {
  if (!sqlCompareRan_) return false;
  if (connectionCheck_ && !connectionCheck_()) {
    relay_.ask(kNeedTwoSources, Buttons::Ok);
    return false;
  }
  if (!guardStart()) return false;
  beginRun(Body::SqlCompare, true);
  return true;
}

bool RunDriver::startFromCommandLine(const std::string& configurationFile) {
  if (isActive()) {
    relay_.ask(kAnotherRun, Buttons::Ok);
    return false;
  }
  {
    std::lock_guard lock(commandLineMutex_);
    commandLineFile_ = configurationFile;
  }
  const bool connected = loader_ && loader_(configurationFile, context_);
  if (!connected) {
    {
      std::lock_guard lock(commandLineMutex_);
      commandLineFile_.clear();
    }
    relay_.restoreMainWindow();
    relay_.ask(kCannotAutoStart, Buttons::Ok);
    return false;
  }
  context_.workLists().clear();
  control_.setSkipAllowed(false);
  beginRun(Body::Comparison, false);  // the comment prefixes are those the load has set
  return true;
}

void RunDriver::beginRun(Body body, bool setPrefixes) {
  if (setPrefixes) options_.setDerivedValues();
  errors_.clear();
  context_.differences().clear();
  rerunAvailable_ = true;
  control_.beginRun();
  relay_.clearObjects();
  relay_.setStatus("Retrieving Database Information ...");
  relay_.setTitle("Retrieving Databases Information - Velmora for Oracle");
  if (worker_.joinable()) worker_.join();  // the previous worker has ended (not active)
  if (scopeBegin_) scopeBegin_();
  workerActive_ = true;
  worker_ = std::thread([this, body] { workerMain(body); });
}

void RunDriver::workerMain(Body body) {
  try {
    if (body == Body::SqlCompare) {
      sqlCompareBody();
    } else {
      comparisonBody();
    }
  } catch (const RunStopped&) {
    stoppedEnd();
  } catch (const std::exception& e) {
    // Not expected: comparers report their errors themselves. The run ends, but visibly.
    control_.endRun();
    output_.write(
        std::string("\r\n\r\nThe run ended because of an unexpected error: ") + e.what() + "\r\n",
        ReportColour::Red);
    endOutputFiles();
    lastOutcome_ = RunOutcome::Stopped;
    relay_.setTitle("Ready - Velmora for Oracle");
  }
  if (scopeEnd_) scopeEnd_();
  workerActive_ = false;
  relay_.runEnded();
}

void RunDriver::comparisonBody() {
  control_.clearSkipRequest();
  startTime_ = clock_();
  relay_.runStarted();
  output_.prepareForRun();
  writeRunHeader(output_, options_.i_DoingUpgradeScript, context_.headerNames(), startTime_);
  runPhases();
  finishRun(false);
}

void RunDriver::sqlCompareBody() {
  control_.clearSkipRequest();
  sqlCompareRan_ = true;
  rerunAvailable_ = true;
  startTime_ = clock_();
  output_.prepareForRun();
  writeComparisonHeader(output_, context_.headerNames());
  if (sqlCompareRunner_) {
    sqlCompareRunner_(context_, options_.s_GlobalPassSql1, options_.s_GlobalPassSql2);
  }
  finishRun(true);
}

void RunDriver::runPhases() {
  notCompared_.clear();
  for (const Phase& phase : phases_.phases()) {
    if (!phase.condition(options_)) continue;
    // Nothing of a stopped run begins: a phase starts at a checkpoint too.
    control_.checkpoint();
    if (!phase.run) {
      // Switched on, but this build has no comparer for it: the report must not read as "no
      // difference".
      notCompared_.push_back(phase.name);
      continue;
    }
    SkipAllowedScope skipScope(control_, phase.skipAllowed);
    try {
      phase.run(context_);
    } catch (const std::exception& e) {
      // Comparers report their own errors; one that escapes costs only its phase.
      output_.write("\r\n\r\n" + options_.s_DashComment + "The " + phase.name +
                        " phase ended because of an unexpected error: " + e.what() + "\r\n",
                    ReportColour::Red);
      errors_.record(phase.name);
    }
  }
}

// Before the end line: what was switched on but not compared, and what errors left incomplete.
// In the scripts these are comments, like every line that is not a statement.
void RunDriver::writeRunSummary() {
  const std::string& dash = options_.s_DashComment;
  if (!notCompared_.empty()) {
    output_.write("\r\n\r\n" + dash +
                      "Switched on but not compared (not available in this version): " +
                      RunErrors::joinKinds(notCompared_),
                  ReportColour::Maroon);
  }
  if (!errors_.any()) return;
  const std::vector<std::string> kinds = errors_.kinds();
  std::string text =
      "\r\n\r\n" + dash + "The run finished with errors (see the error blocks above)";
  if (!kinds.empty()) text += ": not (completely) compared: " + RunErrors::joinKinds(kinds);
  if (errors_.outputFailed())
    text += "\r\n" + dash + "The report file could not be written: " + errors_.outputFailure();
  output_.write(text, ReportColour::Red);
}

// The end of the output files of a run: the last flush of the auto-save file, the close of the
// report file.
void RunDriver::endOutputFiles() {
  if (options_.b_AutoSave) {
    output_.flushToAutoSave();
    output_.forgetAutoSaveFile();
  }
  if (options_.b_OnlyToFile) {
    output_.setReportSaved(true);
    output_.closeReportFile();
  }
}

void RunDriver::finishRun(bool sqlCompare) {
  control_.endRun();
  relay_.endPause();
  const std::string elapsed = formatElapsed(static_cast<long long>(clock_() - startTime_));
  relay_.setProgressRange(0, 100);
  relay_.setProgressPosition(100);
  if (!sqlCompare) writeRunSummary();
  output_.write("\r\n\r\n--- End of Velmora for Oracle --- Elapsed Time: " + elapsed + " ---",
                ReportColour::Maroon);
  relay_.reportEnded();
  relay_.setTitle("Finished - Velmora for Oracle");
  output_.setReportSaved(false);
  endOutputFiles();
  lastOutcome_ = RunOutcome::Finished;
  if (!sqlCompare && !commandLineFile().empty()) {
    {
      std::lock_guard lock(commandLineMutex_);
      commandLineFile_.clear();
    }
    if (options_.b_OnlyToFile) {
      // A scheduler reads the status: success only when the run finished without errors.
      relay_.quitApplication(errors_.outputFailed() ? exit_status::kOutputFailed
                             : errors_.any()        ? exit_status::kRunErrors
                                                    : exit_status::kFinished);
      return;
    }
    relay_.restoreMainWindow();
  }
  std::string message = options_.i_DoingUpgradeScript == 2
                            ? "Velmora for Oracle has finished scripting the database"
                            : "Velmora for Oracle has finished comparing the databases";
  if (errors_.any()) {
    const std::vector<std::string> kinds = errors_.kinds();
    message += ", with errors";
    if (!kinds.empty()) message += ".\nNot (completely) compared: " + RunErrors::joinKinds(kinds);
    if (errors_.outputFailed())
      message += ".\nThe report file could not be written: " + errors_.outputFailure();
  }
  relay_.ask(message, Buttons::Ok);
  relay_.setTitle("Ready - Velmora for Oracle");
}

void RunDriver::stoppedEnd() {
  control_.endRun();
  relay_.endPause();
  output_.write("\r\n\r\nVelmora Stopped ...", ReportColour::Maroon);
  relay_.reportEnded();
  relay_.setTitle("Stopped - Velmora for Oracle");
  endOutputFiles();
  {
    std::lock_guard lock(commandLineMutex_);
    commandLineFile_.clear();
  }
  lastOutcome_ = RunOutcome::Stopped;
  relay_.ask("Velmora for Oracle has been stopped.", Buttons::Ok);
  relay_.setTitle("Ready - Velmora for Oracle");
}

void RunDriver::pause() {
  if (!isRunning() || isPaused()) return;
  relay_.pauseTitle();
  control_.pause();
}

void RunDriver::resume() {
  if (!isPaused()) return;
  relay_.resumeTitle();
  control_.resume();
}

void RunDriver::skip() {
  if (canSkip()) control_.requestSkip();
}

bool RunDriver::stop() {
  if (!isRunning()) return false;
  if (relay_.ask(kStopQuestion, Buttons::YesNo) != Answer::Yes) return false;
  requestStop();
  return true;
}

void RunDriver::requestStop() {
  if (!isRunning()) return;
  control_.requestStop();
  output_.setReportSaved(false);
}

bool RunDriver::closeControlPanel() {
  if (!isRunning()) return true;
  relay_.ask("Please wait until Velmora is finished to close the control panel.", Buttons::Ok);
  return false;
}

void RunDriver::waitForEnd() {
  if (worker_.joinable()) worker_.join();
}

}  // namespace velmora
