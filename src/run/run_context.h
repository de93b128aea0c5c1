// RunContext: everything a comparer of a run may use, handed to each phase as RunContext&: the
// options, the report output, the host (status, title, progress, object list, questions), the
// settings, run control (checkpoint, skip) and the names for the run header. Owned by the
// RunDriver; comparers borrow it for the duration of their phase on the worker thread.
#pragma once

#include <string>

#include "run/comparison_options.h"
#include "run/report_layout.h"
#include "run/report_output.h"
#include "run/run_control.h"
#include "run/run_errors.h"
#include "run/run_host.h"
#include "run/table_lists.h"
#include "run/work_lists.h"

namespace velmora {

// The settings store lives in config/, a layer above this one: borrowed by reference only.
class SettingsStore;

class DatabaseConnection;

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
  // by the front end. Setting them forgets the table lists read for the run, which are read
  // once per connection.
  void setDatabases(DatabaseConnection* database1, DatabaseConnection* database2) {
    database1_ = database1;
    database2_ = database2;
    tableRun_.tables1Loaded = false;
    tableRun_.tables2Loaded = false;
  }
  DatabaseConnection* database1() const { return database1_; }
  DatabaseConnection* database2() const { return database2_; }
  // What the table phases of a run share: the table-name width, the lists read, the upgrade
  // script's dependencies. Reset by the table-list phase at its start.
  TableRunState& tableRun() { return tableRun_; }

 private:
  ComparisonOptions& options_;
  ReportOutput& output_;
  RunHost& host_;
  SettingsStore& settings_;
  RunControl& control_;
  RunErrors& errors_;
  WorkLists workLists_;
  RunHeaderNames headerNames_;
  DatabaseConnection* database1_ = nullptr;
  DatabaseConnection* database2_ = nullptr;
  TableRunState tableRun_;
};

}  // namespace velmora
