// The view list and view structure phases of a run registered into the PhaseTable. What they read
// comes from ViewPhaseSources, made per phase from the RunContext: by default over the run's
// DatabaseConnections, in tests from doubles. The common views and their column lists are left in
// RunContext::workLists().views, where the view data phase finds them; the view lists
// themselves in RunContext::phaseState<ViewRunState>(). Runs on the run's worker thread.
#pragma once

#include <functional>
#include <memory>

#include "run/phase_table.h"
#include "views/view_run.h"

namespace velmora {

class RunContext;

class ViewPhaseSources {
 public:
  virtual ~ViewPhaseSources() = default;
  // Database 1 or 2 (its reader null when that database is not connected).
  virtual ViewDatabase database(int number) = 0;
};

using ViewPhaseSourcesFactory = std::function<std::unique_ptr<ViewPhaseSources>(RunContext&)>;

void registerViewPhases(PhaseTable& phases, ViewPhaseSourcesFactory factory);
void registerViewPhases(PhaseTable& phases);  // over the run's connections
void unregisterViewPhases(PhaseTable& phases);

std::unique_ptr<ViewPhaseSources> viewConnectionSources(RunContext& context);

void runViewListPhase(RunContext& context, ViewPhaseSources& sources);
void runViewStructurePhase(RunContext& context, ViewPhaseSources& sources);

}  // namespace velmora
