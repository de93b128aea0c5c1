#include "structure/structure_phases.h"

#include "run/run_context.h"
#include "structure/column_comparer.h"
#include "structure/constraint_comparer.h"
#include "structure/constraint_scripts.h"
#include "structure/index_comparer.h"
#include "structure/table_lists.h"

namespace velmora {

namespace {

void fill(StructureDatabase& database, int number, const PhaseDatabase* source) {
  database.number = number;
  if (source == nullptr) return;
  database.owner = source->owner;
  database.displayName = source->displayName;
  database.reader = source->reader;
  database.tables = source->tables;
}

StructureRun makeRun(RunContext& context, TablePhaseSources& sources) {
  TableRunState& state = context.phaseState<TableRunState>();
  StructureRun run(
      context.options(), context.output(), context.host(), [&context] { context.checkpoint(); },
      context.workLists().tables, state.dependencies);
  fill(run.database1, 1, sources.database(1));
  fill(run.database2, 2, sources.database(2));
  // A table list read only in part is walked by no later phase (the script of Database 1 walks
  // its list): the common tables of the work list were read in both and stay valid.
  if (!state.list1Complete) run.database1.tables = nullptr;
  if (!state.list2Complete) run.database2.tables = nullptr;
  run.scripts = sources.scripts();
  run.errors = &context.errors();
  run.differences = &context.differences();
  run.tableNameWidth = state.tableNameWidth;
  return run;
}

// A step of a phase shell: status, progress range 0..n, title.
void announce(RunContext& context, const std::string& step, int n) {
  context.host().setStatus(step + " ...");
  context.host().setProgressRange(0, n);
  context.host().setTitle(step + " - Velmora for Oracle");
}

int count(const std::vector<std::string>* tables) {
  return tables == nullptr ? 0 : static_cast<int>(tables->size());
}

}  // namespace

void runTableListPhase(RunContext& context, TablePhaseSources& sources) {
  StructureRun run = makeRun(context, sources);
  TableRunState& state = context.phaseState<TableRunState>();
  const bool script1 = context.options().i_DoingUpgradeScript == 2;
  // A list that failed is read again by the next run (it is not marked loaded).
  state.list1Complete = state.list2Complete = true;
  TableListComparer comparer(run, state, [&] {
    if (!state.tables1Loaded && sources.database(1) != nullptr) {
      state.list1Complete = sources.loadTables(1);
      state.tables1Loaded = state.list1Complete;
    }
    if (!script1 && !state.tables2Loaded && sources.database(2) != nullptr) {
      state.list2Complete = sources.loadTables(2);
      state.tables2Loaded = state.list2Complete;
    }
    fill(run.database1, 1, sources.database(1));
    fill(run.database2, 2, sources.database(2));
  });
  comparer.compareTableLists();
  if (!state.list1Complete || !state.list2Complete) context.errors().record("tables");
}

void runTableStructurePhase(RunContext& context, TablePhaseSources& sources) {
  StructureRun run = makeRun(context, sources);
  const int n = static_cast<int>(run.tables.size());
  ColumnComparer comparer(run);
  announce(context, "Analyzing Structures", n);
  comparer.compareTableColumns(true);
  if (run.options.b_DoStruct) {
    context.host().setStatus("Comparing Structures ...");
    context.host().setTitle("Comparing Structures - Velmora for Oracle");
  }
  context.host().setProgressRange(0, n);
  // The second pass also runs without b_DoStruct: the data comparison needs its lists.
  if (run.mode() != 2) comparer.compareTableColumns(false);
  context.host().setProgressPosition(n);
}

void runIndexPhase(RunContext& context, TablePhaseSources& sources) {
  StructureRun run = makeRun(context, sources);
  const int n = run.mode() == 2 ? count(run.database1.tables) : static_cast<int>(run.tables.size());
  IndexComparer comparer(run);
  announce(context, "Analyzing Indexes", n);
  comparer.compareIndexes(true);
  if (run.mode() != 2) {
    announce(context, "Comparing Indexes", n);
    comparer.compareIndexes(false);
  }
  context.host().setProgressPosition(n);
}

void runConstraintPhase(RunContext& context, TablePhaseSources& sources) {
  StructureRun run = makeRun(context, sources);
  const int n = run.mode() == 2 ? count(run.database1.tables) : static_cast<int>(run.tables.size());
  ConstraintComparer comparer(run);
  announce(context, "Analyzing Constraints", n);
  comparer.compareConstraints(true);
  if (run.mode() != 2) {
    announce(context, "Comparing Constraints", n);
    comparer.compareConstraints(false);
  }
  if (run.mode() != 0) writeDeferredConstraints(run);
  context.host().setProgressPosition(n);
}

void registerTablePhases(PhaseTable& phases, TablePhaseSourcesFactory factory) {
  auto runner = [factory](void (*phase)(RunContext&, TablePhaseSources&)) {
    return [factory, phase](RunContext& context) {
      std::unique_ptr<TablePhaseSources> sources = factory(context);
      if (sources) phase(context, *sources);
    };
  };
  phases.setRunner(PhaseId::TableLists, runner(runTableListPhase));
  phases.setRunner(PhaseId::TableStructures, runner(runTableStructurePhase));
  phases.setRunner(PhaseId::Indexes, runner(runIndexPhase));
  phases.setRunner(PhaseId::Constraints, runner(runConstraintPhase));
}

void unregisterTablePhases(PhaseTable& phases) {
  for (PhaseId id :
       {PhaseId::TableLists, PhaseId::TableStructures, PhaseId::Indexes, PhaseId::Constraints})
    phases.setRunner(id, nullptr);
}

}  // namespace velmora
