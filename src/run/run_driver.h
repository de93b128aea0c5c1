// RunDriver: takes a comparison from Start to the final message. It guards against a second run,
// offers to save the previous report, shows the parameters dialog (a hook of the front end), and
// runs the phase table on one worker std::thread with pause, resume, skip and stop; it also runs
// SQL Compare and the start from a configuration file named on the command line. It owns the
// report document and output, the run context and control, the phase table and the worker.
// Commands are called on one user thread; the worker calls the host (through a relay that keeps
// the title across Pause). The options, host and settings are borrowed and must outlive it.
#pragma once

#include <atomic>
#include <ctime>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/comparison_options.h"
#include "base/report_document.h"
#include "base/report_output.h"
#include "base/run_control.h"
#include "base/run_host.h"
#include "run/phase_table.h"
#include "run/run_context.h"
#include "run/run_host_relay.h"

namespace velmora {

class SettingsStore;

enum class RunOutcome { None, Finished, Stopped };

// How the parameters dialog was left.
enum class DialogResult { Start, Close, Cancel };

class RunDriver {
 public:
  // The parameters dialog: edits the options; Start, Close or Cancel. Without one the options
  // are used as they are (the command line, tests).
  using ParametersDialog = std::function<DialogResult(ComparisonOptions&)>;
  // The "Sql Compare" dialog: sets s_GlobalPassSql1/2; false when cancelled.
  using SqlCompareDialog = std::function<bool(ComparisonOptions&)>;
  // Loads a configuration file into the context (options and connections); true when the
  // databases of the run are connected afterwards.
  using ConfigurationLoader = std::function<bool(const std::string& path, RunContext& context)>;
  // Whether both databases are connected (needed by Rerun Last SQL Compare).
  using ConnectionCheck = std::function<bool()>;
  // The SQL Compare of the two statements, on the worker thread.
  using SqlCompareRunner = std::function<void(RunContext& context, const std::string& statement1,
                                              const std::string& statement2)>;

  RunDriver(ComparisonOptions& options, RunHost& host, SettingsStore& settings);
  ~RunDriver();  // stops a run still active and waits for its worker
  RunDriver(const RunDriver&) = delete;
  RunDriver& operator=(const RunDriver&) = delete;

  ReportDocument& document() { return document_; }
  ReportOutput& output() { return output_; }
  RunContext& context() { return context_; }
  PhaseTable& phases() { return phases_; }  // change only while no run is active
  RunHostRelay& host() { return relay_; }

  // Hooks of the front end (set while no run is active).
  void setParametersDialog(ParametersDialog dialog) { parametersDialog_ = std::move(dialog); }
  void setSaveFileChooser(ReportOutput::FileChooser chooser) { saveChooser_ = std::move(chooser); }
  void setSqlCompareDialog(SqlCompareDialog dialog) { sqlCompareDialog_ = std::move(dialog); }
  void setConfigurationLoader(ConfigurationLoader loader) { loader_ = std::move(loader); }
  void setConnectionCheck(ConnectionCheck check) { connectionCheck_ = std::move(check); }
  void setSqlCompareRunner(SqlCompareRunner runner) { sqlCompareRunner_ = std::move(runner); }
  void setClock(std::function<std::time_t()> clock) { clock_ = std::move(clock); }
  // Called on the user thread as a run begins (after the parameters dialog, before the worker
  // starts) and on the worker as it ends (before RunHost::runEnded): a front end puts the run's
  // databases and phases in place and takes back what only a run may use.
  void setRunScope(std::function<void()> begin, std::function<void()> end) {
    scopeBegin_ = std::move(begin);
    scopeEnd_ = std::move(end);
  }

  // Commands of the user thread; each start returns true when a worker was started.
  bool start();
  bool rerunLast();
  bool startSqlCompare();
  bool rerunLastSqlCompare();
  bool startFromCommandLine(const std::string& configurationFile);
  void pause();
  void resume();
  void skip();
  bool stop();               // asks first; true when the stop was requested
  void requestStop();        // without asking (Ctrl+C of the command line)
  bool closeControlPanel();  // false (with a message) while a run is active
  // The question before the main window closes; true when it may close.
  bool offerSaveBeforeClose() { return output_.offerSave(saveChooser_); }

  void waitForEnd();  // joins the worker of the last run, if any

  // State, readable from any thread.
  bool isRunning() const { return control_.running(); }
  bool isPaused() const { return control_.paused(); }
  bool isActive() const { return workerActive_; }  // the worker has not ended yet
  bool canSkip() const { return isRunning() && control_.skipAllowed() && !isPaused(); }
  bool rerunAvailable() const { return rerunAvailable_; }
  bool sqlCompareRan() const { return sqlCompareRan_; }
  RunOutcome lastOutcome() const { return lastOutcome_; }
  // What the last run could not read, compare or write (read after the run ended).
  const RunErrors& errors() const { return errors_; }
  // What the last run found different (read after the run ended).
  const RunDifferences& differences() const { return context_.differences(); }
  std::string commandLineFile() const;

  // "%02i:%02i:%02i" of hours, minutes and seconds: 3725 gives "01:02:05".
  static std::string formatElapsed(long long seconds);

 private:
  enum class Body { Comparison, SqlCompare };

  bool guardStart();
  void beginRun(Body body, bool setPrefixes);
  void workerMain(Body body);
  void comparisonBody();
  void sqlCompareBody();
  void runPhases();
  void finishRun(bool sqlCompare);
  void writeRunSummary();
  void stoppedEnd();
  void endOutputFiles();

  ComparisonOptions& options_;
  RunHostRelay relay_;
  SettingsStore& settings_;
  ReportDocument document_;
  ReportOutput output_;
  RunControl control_;
  RunErrors errors_;
  RunContext context_;
  PhaseTable phases_;

  ParametersDialog parametersDialog_;
  ReportOutput::FileChooser saveChooser_;
  SqlCompareDialog sqlCompareDialog_;
  ConfigurationLoader loader_;
  ConnectionCheck connectionCheck_;
  SqlCompareRunner sqlCompareRunner_;
  std::function<std::time_t()> clock_;
  std::function<void()> scopeBegin_;
  std::function<void()> scopeEnd_;

  std::thread worker_;
  std::atomic<bool> workerActive_{false};  // set by the user thread at start, cleared by the worker
  std::atomic<bool> rerunAvailable_{false};  // written by either thread, read by the user thread
  std::atomic<bool> sqlCompareRan_{false};   // written by the SQL Compare worker
  std::atomic<RunOutcome> lastOutcome_{RunOutcome::None};  // written by the worker
  std::time_t startTime_ = 0;                              // worker only
  std::vector<std::string> notCompared_;  // worker only: phases switched on without a comparer

  mutable std::mutex commandLineMutex_;  // guards commandLineFile_
  std::string commandLineFile_;          // set by the command-line start, cleared at the run end
};

}  // namespace velmora
