// CodeRun: what the stored-code comparer works with during one phase: the options, the report,
// the host, the run control, the two databases (each through its CodeReader), the state the
// stored-code phases of a run share (CodeRunState) and what the table phases of this run dropped.
// Built by the phase shells from the RunContext, or by tests from doubles; borrowed references
// only, valid for the phase. Worker thread only.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "base/comparison_options.h"
#include "base/report_colour.h"
#include "base/report_writer.h"
#include "base/run_control.h"
#include "base/run_differences.h"
#include "base/run_errors.h"
#include "base/run_host.h"
#include "run/run_context.h"
#include "source/code_reader.h"
#include "source/script_order.h"

namespace velmora {

class ScriptDependencies;

// One database as the stored-code comparer sees it.
struct CodeDatabase {
  int number = 1;                // 1 or 2
  std::string owner;             // the schema compared
  std::string displayName;       // as the report shows it
  CodeReader* reader = nullptr;  // null when the database is absent

  ReportColour colour() const { return number == 1 ? ReportColour::Blue : ReportColour::Red; }
};

// What the stored-code phases of one run share. The phases of a run come in their order, so a
// phase whose order is not above the last one's begins a new run (runStoredCodePhase).
struct CodeRunState : PhaseState {
  int lastOrder = 1000;  // the order of the last phase that ran: a phase of a lower or equal
                         // order begins a new run
  std::set<std::string> droppedSpecs;  // "PACKAGE X", "TYPE X" dropped by this run's script
  bool blankLinesAllowed = false;      // the script has said SET SQLBLANKLINES ON
  bool orderNoteWritten = false;       // the note that the order of the kinds is kept
  ScriptOrder order;
};

struct CodeRun {
  CodeRun(ComparisonOptions& options, ReportWriter& out, RunHost& host, RunControl& control,
          CodeRunState& state)
      : options(options), out(out), host(host), control(control), state(state) {}

  ComparisonOptions& options;
  ReportWriter& out;
  RunHost& host;
  RunControl& control;
  CodeRunState& state;
  CodeDatabase database1;
  CodeDatabase database2;
  RunErrors* errors = nullptr;                      // null in tests that do not look
  RunDifferences* differences = nullptr;            // what the run found different
  const ScriptDependencies* tableScript = nullptr;  // what this run's table phases dropped

  int mode() const { return options.i_DoingUpgradeScript; }
  bool report() const { return options.i_DoingUpgradeScript == 0; }
  bool upgrade() const { return options.i_DoingUpgradeScript == 1; }
  bool scriptOfFirst() const { return options.i_DoingUpgradeScript == 2; }
  void checkpoint() { control.checkpoint(); }
  void recordError(const std::string& kind) {
    if (errors != nullptr) errors->record(kind);
  }
  // A difference found between the databases; the script of Database 1 compares nothing.
  void recordDifference(const std::string& kind) {
    if (differences != nullptr && !scriptOfFirst()) differences->add(kind);
  }
};

}  // namespace velmora
