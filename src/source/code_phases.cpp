#include "source/code_phases.h"

#include <stdexcept>

#include "oracle/database_connection.h"
#include "run/connection_readers.h"
#include "run/run_context.h"
#include "source/code_kinds.h"
#include "source/oracle_code_reader.h"
#include "source/stored_code_comparer.h"
#include "structure/table_lists.h"

namespace velmora {

namespace {

class ConnectionSources : public CodePhaseSources {
 public:
  explicit ConnectionSources(RunContext& context)
      : readers_(context, [&context](DatabaseConnection& connection, CatalogState& state) {
          return std::make_unique<OracleCodeReader>(connection, state, context.output(),
                                                    context.options());
        }) {}

  CodeDatabase database(int number) override { return readers_.database<CodeDatabase>(number); }

 private:
  ConnectionReaders<OracleCodeReader> readers_;
};

// The table phases of this run: they ran before the stored-code phases when their condition
// holds, so their record of dropped tables is this run's.
bool tablePhasesRan(const ComparisonOptions& o) {
  return o.b_DoStruct || o.b_DoData || o.b_DoIndex || o.b_DoConst;
}

}  // namespace

std::vector<std::string> plannedCodeTypes(const ComparisonOptions& options) {
  std::vector<std::string> types;
  for (const CodeKind& kind : codeKinds()) {
    if (options.*kind.doKind) types.push_back(kind.oracleType);
  }
  return types;
}

std::unique_ptr<CodePhaseSources> codeConnectionSources(RunContext& context) {
  return std::make_unique<ConnectionSources>(context);
}

void runStoredCodePhase(RunContext& context, CodePhaseSources& sources,
                        const std::string& kindCode) {
  const CodeKind* kind = codeKindByCode(kindCode);
  if (kind == nullptr) throw std::invalid_argument("not a stored-code kind: " + kindCode);
  CodeRunState& state = context.phaseState<CodeRunState>();
  if (kind->order <= state.lastOrder) {
    state.droppedSpecs.clear();
    state.blankLinesAllowed = false;
    state.orderNoteWritten = false;
    state.order.begin(plannedCodeTypes(context.options()));
  }
  state.lastOrder = kind->order;
  CodeRun run(context.options(), context.output(), context.host(), context.control(), state);
  run.database1 = sources.database(1);
  run.database2 = sources.database(2);
  run.errors = &context.errors();
  run.differences = &context.differences();
  if (tablePhasesRan(context.options()))
    run.tableScript = &context.phaseState<TableRunState>().dependencies;
  compareStoredCode(run, kindCode);
}

void registerCodePhases(PhaseTable& phases, CodePhaseSourcesFactory factory) {
  phases.setStoredCodeRunner([factory](RunContext& context, const std::string& kindCode) {
    std::unique_ptr<CodePhaseSources> sources = factory(context);
    if (sources) runStoredCodePhase(context, *sources, kindCode);
  });
}

void registerCodePhases(PhaseTable& phases) {
  registerCodePhases(phases, codeConnectionSources);
}

void unregisterCodePhases(PhaseTable& phases) {
  for (PhaseId id :
       {PhaseId::Triggers, PhaseId::ViewSource, PhaseId::Functions, PhaseId::Packages,
        PhaseId::PackageBodies, PhaseId::StoredProcedures, PhaseId::Types, PhaseId::TypeBodies})
    phases.setRunner(id, nullptr);
}

}  // namespace velmora
