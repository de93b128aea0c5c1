#include "views/view_phases.h"

#include "oracle/database_connection.h"
#include "run/connection_readers.h"
#include "views/oracle_view_reader.h"
#include "views/view_lists.h"
#include "views/view_structures.h"

namespace velmora {

namespace {

class ConnectionSources : public ViewPhaseSources {
 public:
  explicit ConnectionSources(RunContext& context)
      : readers_(context, [&context](DatabaseConnection& connection, CatalogState& state) {
          return std::make_unique<OracleViewReader>(connection, state, context.output(),
                                                    context.options());
        }) {}

  ViewDatabase database(int number) override { return readers_.database<ViewDatabase>(number); }

 private:
  ConnectionReaders<OracleViewReader> readers_;
};

ViewRun makeRun(RunContext& context, ViewPhaseSources& sources) {
  ViewRun run(context.options(), context.output(), context.host(), context.control(),
              context.workLists().views, context.phaseState<ViewRunState>());
  run.database1 = sources.database(1);
  run.database2 = sources.database(2);
  run.errors = &context.errors();
  run.differences = &context.differences();
  return run;
}

}  // namespace

std::unique_ptr<ViewPhaseSources> viewConnectionSources(RunContext& context) {
  return std::make_unique<ConnectionSources>(context);
}

void runViewListPhase(RunContext& context, ViewPhaseSources& sources) {
  ViewRun run = makeRun(context, sources);
  ViewListComparer(run).compareViewLists();
}

void runViewStructurePhase(RunContext& context, ViewPhaseSources& sources) {
  ViewRun run = makeRun(context, sources);
  ViewStructureComparer(run).compareViewStructures();
}

void registerViewPhases(PhaseTable& phases, ViewPhaseSourcesFactory factory) {
  auto runner = [factory](void (*phase)(RunContext&, ViewPhaseSources&)) {
    return [factory, phase](RunContext& context) {
      std::unique_ptr<ViewPhaseSources> sources = factory(context);
      if (sources) phase(context, *sources);
    };
  };
  phases.setRunner(PhaseId::ViewLists, runner(runViewListPhase));
  phases.setRunner(PhaseId::ViewStructures, runner(runViewStructurePhase));
}

void registerViewPhases(PhaseTable& phases) {
  registerViewPhases(phases, viewConnectionSources);
}

void unregisterViewPhases(PhaseTable& phases) {
  phases.setRunner(PhaseId::ViewLists, nullptr);
  phases.setRunner(PhaseId::ViewStructures, nullptr);
}

}  // namespace velmora
