// The stored-code phases of a run (triggers, view source, functions, packages, package bodies,
// procedures, types, type bodies) registered into the PhaseTable: one runner, called with the
// kind code of each phase. What they read comes from CodePhaseSources, made per phase from the
// RunContext: by default over the run's DatabaseConnections, in tests from doubles. Runs on the
// run's worker thread.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "run/phase_table.h"
#include "source/code_run.h"

namespace velmora {

class RunContext;

class CodePhaseSources {
 public:
  virtual ~CodePhaseSources() = default;
  // Database 1 or 2 (its reader null when that database is not connected).
  virtual CodeDatabase database(int number) = 0;
};

using CodePhaseSourcesFactory = std::function<std::unique_ptr<CodePhaseSources>(RunContext&)>;

// Registers the runner of the eight stored-code phases.
void registerCodePhases(PhaseTable& phases, CodePhaseSourcesFactory factory);
// The same over the run's connections: what a front end calls.
void registerCodePhases(PhaseTable& phases);
void unregisterCodePhases(PhaseTable& phases);

// The sources over the run's DatabaseConnections (RunContext::database1/2).
std::unique_ptr<CodePhaseSources> codeConnectionSources(RunContext& context);

// One stored-code phase: the kind "TRIG" ... "TYPEB".
void runStoredCodePhase(RunContext& context, CodePhaseSources& sources,
                        const std::string& kindCode);

// The Oracle types of the stored-code phases these options run, in the order of the run.
std::vector<std::string> plannedCodeTypes(const ComparisonOptions& options);

}  // namespace velmora
