// The table phases of a run (table lists, structures, indexes, constraints) registered into the
// PhaseTable, each with its shell: the status, title and progress of its steps around the
// comparer's passes. What the phases need of the databases comes from TablePhaseSources, made
// per phase from the RunContext: by default over the run's DatabaseConnections, in tests from
// doubles. Runs on the run's worker thread.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "run/phase_table.h"
#include "structure/dictionary_reader.h"
#include "structure/script_source.h"

namespace velmora {

class RunContext;

// One database of the run as the table phases use it.
struct PhaseDatabase {
  std::string owner;                                 // the schema compared
  std::string displayName;                           // as the report shows it
  DictionaryReader* reader = nullptr;                // its dictionary queries
  const std::vector<std::string>* tables = nullptr;  // its table list (valid after loadTables)
};

class TablePhaseSources {
 public:
  virtual ~TablePhaseSources() = default;
  // Database 1 or 2; null when that database is not connected.
  virtual const PhaseDatabase* database(int number) = 0;
  // Reads the table list of a database (errors are written into the report); false when the
  // list could not be read completely.
  [[nodiscard]] virtual bool loadTables(int number) = 0;
  // The creation DDL of Database 1; null when it is not connected.
  virtual ScriptSource* scripts() = 0;
};

using TablePhaseSourcesFactory = std::function<std::unique_ptr<TablePhaseSources>(RunContext&)>;

// Registers the runners of the table lists, table structures, indexes and constraints phases.
void registerTablePhases(PhaseTable& phases, TablePhaseSourcesFactory factory);

// The sources over the run's DatabaseConnections (RunContext::database1/2) and DdlGenerator.
std::unique_ptr<TablePhaseSources> connectionSources(RunContext& context);

// The same registration with the sources over the run's connections: what a front end calls.
void registerTablePhases(PhaseTable& phases);
// The four phases do nothing again (a run without Database 1).
void unregisterTablePhases(PhaseTable& phases);

// The four runners, for tests and front ends that run one phase.
void runTableListPhase(RunContext& context, TablePhaseSources& sources);
void runTableStructurePhase(RunContext& context, TablePhaseSources& sources);
void runIndexPhase(RunContext& context, TablePhaseSources& sources);
void runConstraintPhase(RunContext& context, TablePhaseSources& sources);

}  // namespace velmora
