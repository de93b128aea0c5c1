// RunContext: everything a comparer of a run may use, handed to each phase as RunContext&: the
// options, the report output, the host (status, title, progress, object list, questions), the
// settings, run control (checkpoint, skip) and the names for the run header. Owned by the
// RunDriver; comparers borrow it for the duration of their phase on the worker thread.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <typeindex>
#include <typeinfo>

#include "base/comparison_options.h"
#include "base/report_layout.h"
#include "base/report_output.h"
#include "base/run_control.h"
#include "base/run_differences.h"
#include "base/run_errors.h"
#include "base/run_host.h"
#include "base/work_lists.h"

namespace velmora {

class SettingsStore;
class DatabaseConnection;

// What the phases of one kind share across a run and from run to run (for example the table
// lists read once per connection). A comparer derives its state from it and finds it with
// RunContext::phaseState<T>(); the context forgets every state when the databases change.
class PhaseState {
 public:
  virtual ~PhaseState() = default;
};

class RunContext {
 public:
  RunContext(ComparisonOptions& options, ReportOutput& output, RunHost& host,
             SettingsStore& settings, RunControl& control, RunErrors& errors)
      : options_(options),
        output_(output),
        host_(host),
        settings_(settings),
        control_(control),
        errors_(errors) {}
  RunContext(const RunContext&) = delete;
  RunContext& operator=(const RunContext&) = delete;

  ComparisonOptions& options() { return options_; }
  ReportOutput& output() { return output_; }  // write() is the one way to output
  RunHost& host() { return host_; }
  SettingsStore& settings() { return settings_; }
  RunControl& control() { return control_; }
  // What could not be read or compared: every error block a comparer writes records its kind.
  RunErrors& errors() { return errors_; }
  // What the comparers found different, per kind: every phase that compares reports each
  // difference it finds (differences().add("columns")); cleared as a run begins.
  RunDifferences& differences() { return differences_; }
  const RunDifferences& differences() const { return differences_; }
  WorkLists& workLists() { return workLists_; }  // cleared by Start and Rerun Last

  // Before each object: waits while paused; never returns when the run was stopped.
  void checkpoint() { control_.checkpoint(); }
  // For a phase that can skip an object: test while working on it; after writing its own skip
  // line it clears the request and goes on with the next object.
  bool skipRequested() const { return control_.skipRequested(); }
  void clearSkipRequest() { control_.clearSkipRequest(); }
  void setSkipAllowed(bool allowed) { control_.setSkipAllowed(allowed); }
  // For long fetches that poll between batches (the checkpoint ends the run).
  bool stopRequested() const { return control_.stopRequested(); }

  // A step of a phase: status "<step> ..." and title "<step> - Velmora for Oracle".
  void announceStep(const std::string& step) { announceStep(step, step); }
  void announceStep(const std::string& statusStep, const std::string& titleStep);

  // The names of the run header. Plain strings until the database connections exist; then they
  // come from the connections' display names and the schema compared in Database 2.
  // The two DatabaseConnections of the run join the context here.
  RunHeaderNames& headerNames() { return headerNames_; }

  // The two databases of the run (Database 2 may be absent in "Script database 1" mode), owned
  // by the front end. Setting them forgets the phases' states (what was read from the old ones).
  void setDatabases(DatabaseConnection* database1, DatabaseConnection* database2) {
    database1_ = database1;
    database2_ = database2;
    phaseStates_.clear();
  }
  DatabaseConnection* database1() const { return database1_; }
  DatabaseConnection* database2() const { return database2_; }
  // The state of a kind of phase, made on first use; T derives from PhaseState. Used on the
  // run's worker thread only (setDatabases is called while no run is active).
  template <class T>
  T& phaseState() {
    std::unique_ptr<PhaseState>& slot = phaseStates_[std::type_index(typeid(T))];
    if (!slot) slot = std::make_unique<T>();
    return static_cast<T&>(*slot);
  }

 private:
  ComparisonOptions& options_;
  ReportOutput& output_;
  RunHost& host_;
  SettingsStore& settings_;
  RunControl& control_;
  RunErrors& errors_;
  RunDifferences differences_;
  WorkLists workLists_;
  RunHeaderNames headerNames_;
  DatabaseConnection* database1_ = nullptr;
  DatabaseConnection* database2_ = nullptr;
  std::map<std::type_index, std::unique_ptr<PhaseState>> phaseStates_;
};

}  // namespace velmora
