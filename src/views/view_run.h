// ViewRun: what the view list and view structure phases work with: the options, the report, the
// host, the run control, the two databases (each through its ViewReader), the common-views work
// list and the state of the view phases of a run. Built by the phase shells from the RunContext,
// or by tests from doubles; borrowed references only, valid for the phase. Worker thread only.
#pragma once

#include <string>
#include <vector>

#include "base/comparison_options.h"
#include "base/report_colour.h"
#include "base/report_writer.h"
#include "base/run_control.h"
#include "base/run_differences.h"
#include "base/run_errors.h"
#include "base/run_host.h"
#include "base/work_lists.h"
#include "run/run_context.h"
#include "views/view_reader.h"

namespace velmora {

struct ViewDatabase {
  int number = 1;
  std::string owner;
  std::string displayName;
  ViewReader* reader = nullptr;  // null when the database is absent

  ReportColour colour() const { return number == 1 ? ReportColour::Blue : ReportColour::Red; }
};

// What the view phases of a run share: the view lists read by the view list phase (every run
// reads them again) and whether they were read completely.
struct ViewRunState : PhaseState {
  std::vector<std::string> views1, views2;
  bool complete1 = true, complete2 = true;
  int nameWidth = 0;  // longest view name of either list (as the report writes it)
};

struct ViewRun {
  ViewRun(ComparisonOptions& options, ReportWriter& out, RunHost& host, RunControl& control,
          std::vector<CommonTable>& views, ViewRunState& state)
      : options(options), out(out), host(host), control(control), views(views), state(state) {}

  ComparisonOptions& options;
  ReportWriter& out;
  RunHost& host;
  RunControl& control;
  std::vector<CommonTable>& views;  // the common-views work list (RunContext::workLists().views)
  ViewRunState& state;
  ViewDatabase database1;
  ViewDatabase database2;
  RunErrors* errors = nullptr;
  RunDifferences* differences = nullptr;

  int mode() const { return options.i_DoingUpgradeScript; }
  bool report() const { return options.i_DoingUpgradeScript == 0; }
  void checkpoint() { control.checkpoint(); }
  void recordError(const std::string& kind) {
    if (errors != nullptr) errors->record(kind);
  }
  void recordDifference(const std::string& kind) {
    if (differences != nullptr && mode() != 2) differences->add(kind);
  }
};

}  // namespace velmora
