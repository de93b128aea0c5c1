// Comparison: what a front end drives. It owns the run driver and the two database connections,
// registers the comparers' phases, lets the run's stop reach the databases, and hands the report
// and every question to the front end's RunHost. The command line and the desktop application
// are both thin front ends over it.
//
// Threads. The front end calls every member on one thread of its own (its "user thread"). The
// run's worker and a connect started with openAsync call the RunHost (status, report, ask) and
// the connection's LoginPrompter on their own threads; ask() and askPassword() block that thread
// until answered. A front end with an event loop answers by a blocking queued call into its user
// thread; that is safe because nothing here makes the user thread wait for those threads while
// they may ask, except waitForEnd(), waitForOpen() and the destructor. So a front end with an
// event loop calls waitForEnd() only after RunHost::runEnded, waitForOpen() only after the
// connect's callback, and before destroying the Comparison stops the run and makes its host
// answer pending and later questions at once (Cancel/No) instead of through its user thread.
// A front end without an event loop (the command line) answers on the asking thread and may
// wait freely.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "base/comparison_options.h"
#include "base/run_host.h"
#include "base/status.h"
#include "oracle/database_connection.h"
#include "oracle/oracle_session.h"
#include "run/run_driver.h"

namespace velmora {

class LoginPrompter;
class SettingsStore;

// How opening a database ended: the result, and for SchemaMissing what the connection says.
struct OpenReport {
  OpenResult result = OpenResult::NotConnected;
  std::string problem;
};

class Comparison {
 public:
  // The options, host and settings are borrowed and must outlive the comparison. `oracle` says
  // which client library to load (its settings, host and options are this comparison's).
  Comparison(ComparisonOptions& options, RunHost& host, SettingsStore& settings,
             OracleEnvironment oracle = {});
  ~Comparison();  // stops a run still active, waits for it and for a connect under way
  Comparison(const Comparison&) = delete;
  Comparison& operator=(const Comparison&) = delete;

  // --- The databases (number 1 or 2). The prompter asks for a missing password and shows the
  // Login dialog; it is borrowed and must outlive the connection (null: nothing is asked).
  // Opening replaces the database's connection; a failed open leaves it without one. No
  // database can be opened or closed while a run is active or a connect of it is under way.

  // Opens on the calling thread.
  [[nodiscard]] OpenReport open(int number, const std::string& text, LoginPrompter* prompter);
  // Opens on a connect thread of its own; `done` is called on that thread when it ended (the
  // connection, when made, is already in place). False when it could not be started.
  using OpenDone = std::function<void(int number, const OpenReport& report)>;
  bool openAsync(int number, const std::string& text, LoginPrompter* prompter, OpenDone done);
  bool opening(int number) const;
  void waitForOpen(int number);  // joins the connect of that database, if any
  void close(int number);
  // The connected database, or null.
  DatabaseConnection* database(int number) const;

  // --- The run. start() and rerunLast() return true when a worker was started.
  bool start();
  bool rerunLast();
  void pause() { driver_.pause(); }
  void resume() { driver_.resume(); }
  void skip() { driver_.skip(); }
  bool stop() { return driver_.stop(); }         // asks first; true when the stop was requested
  void requestStop() { driver_.requestStop(); }  // without asking; any thread
  void waitForEnd() { driver_.waitForEnd(); }

  bool isActive() const { return driver_.isActive(); }
  bool isPaused() const { return driver_.isPaused(); }
  bool canSkip() const { return driver_.canSkip(); }
  RunOutcome lastOutcome() const { return driver_.lastOutcome(); }
  const RunErrors& errors() const { return driver_.errors(); }
  const RunDifferences& differences() const { return driver_.differences(); }

  // --- Configuration files (".dbo"), while no run is active.
  // Load: reads the file (one that cannot be read or is damaged changes nothing: the Status says
  // why, starting "Could not open config file."); then, when the file names a connection and
  // `ask` is set and a database is connected now, asks "Do you wish to re-connect to the
  // databases on the config file?" (No keeps the connections); opens each database the file
  // names (a failed open leaves that database without a connection; the rest is loaded all the
  // same); replaces the options; marks the report saved. A file of the current format becomes
  // the current configuration file, a legacy one does not.
  Status loadConfiguration(const std::string& path, LoginPrompter* prompter, bool ask);
  // Save: the connected databases (their texts hold a password only when one was given) and the
  // options. The file is replaced atomically and created readable by its owner only.
  Status saveConfiguration(const std::string& path);
  const std::string& configurationFile() const { return configurationFile_; }
  // The start from a configuration file named on the desktop application's command line: load
  // it without the question, then run with no dialog when the databases of its mode are
  // connected (else the driver's message). False when no run was started.
  bool startFromCommandLine(const std::string& path, LoginPrompter* prompter);

  ReportDocument& document() { return driver_.document(); }
  ReportOutput& output() { return driver_.output(); }
  // The driver, for the hooks of a front end (parameters dialog, save chooser) and tests.
  RunDriver& driver() { return driver_; }

 private:
  struct Slot {
    std::unique_ptr<DatabaseConnection> connection;
    std::thread connect;
    bool opening = false;
  };

  OpenReport openInto(int number, const std::string& text, LoginPrompter* prompter);
  bool canChange(int number) const;
  void joinConnect(int number);
  void beginRun();
  void endRun();

  ComparisonOptions& options_;
  OracleEnvironment oracle_;
  RunDriver driver_;
  mutable std::mutex mutex_;  // guards the slots against a connect thread
  Slot slots_[2];
  int stopHook_ = 0;
  int connectionsChanged_ = 0;        // counts opens and closes (guarded by mutex_)
  int connectionsInRun_ = -1;         // the count the run context last took its databases at
  bool comparersRegistered_ = false;  // the comparers' phases are in the phase table
  std::string configurationFile_;     // the current configuration file ("" none)
};

}  // namespace velmora
