// PhaseTable: the ordered phases of a comparison run. Each entry has its condition on the
// options, the names of its steps, whether Skip is allowed while it runs, and the callable that
// does the work (empty until the comparer of that kind is registered with setRunner). The table
// is changed only while no run is active; a run reads it on its worker thread.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/comparison_options.h"

namespace velmora {

class RunContext;

enum class PhaseId {
  Privileges,
  Sequences,
  TableLists,
  TableStructures,
  Indexes,
  Constraints,
  TableData,
  ViewLists,
  ViewStructures,
  ViewData,
  Triggers,
  ViewSource,
  Functions,
  Packages,
  PackageBodies,
  StoredProcedures,
  Types,
  TypeBodies,
};

using PhaseRunner = std::function<void(RunContext&)>;

struct Phase {
  PhaseId id;
  std::string name;  // "table lists", "view data" ...
  std::function<bool(const ComparisonOptions&)> condition;
  std::vector<std::string> stepNames;  // as announced in status and title
  bool skipAllowed = false;            // Skip is enabled while it runs
  std::string kindCode;                // stored-code phases: "TRIG" ... "TYPEB"
  PhaseRunner run;                     // empty: the phase does nothing yet
};

class PhaseTable {
 public:
  PhaseTable();  // the standard order of a comparison run

  const std::vector<Phase>& phases() const { return phases_; }
  const Phase& phase(PhaseId id) const;

  void setRunner(PhaseId id, PhaseRunner runner);
  // The one stored-code comparer, called with the kind code of each phase 11 to 18.
  void setStoredCodeRunner(std::function<void(RunContext&, const std::string& kindCode)> runner);

  // The phases that run with these options, in order.
  std::vector<PhaseId> enabledPhases(const ComparisonOptions& options) const;

 private:
  std::vector<Phase> phases_;
};

}  // namespace velmora
