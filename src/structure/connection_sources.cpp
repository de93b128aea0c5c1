// The table phases' sources over the run's DatabaseConnections: each connected database gets an
// OracleDictionaryReader on its session, Database 1 also the DdlGenerator; table lists are read
// through the Catalog into the connections.
#include "oracle/catalog.h"
#include "oracle/database_connection.h"
#include "run/connection_readers.h"
#include "run/run_context.h"
#include "structure/oracle_dictionary_reader.h"
#include "structure/structure_phases.h"

namespace velmora {

namespace {

class ConnectionSources : public TablePhaseSources {
 public:
  explicit ConnectionSources(RunContext& context)
      : context_(context), readers_(context, [](DatabaseConnection& connection, CatalogState&) {
          return std::make_unique<OracleDictionaryReader>(*connection.session());
        }) {
    for (int number : {1, 2}) {
      if (DatabaseConnection* connection = readers_.connection(number))
        databases_[number - 1] = {connection->owner(), connection->displayName(),
                                  readers_.reader(number), &connection->tables()};
    }
    if (DatabaseConnection* first = readers_.connection(1))
      scripts_ = makeDdlScriptSource(*first->session(), context.settings(), context.options(),
                                     [&context] { context.errors().record("creation DDL"); });
  }

  const PhaseDatabase* database(int number) override {
    return readers_.connection(number) != nullptr ? &databases_[number == 1 ? 0 : 1] : nullptr;
  }

  bool loadTables(int number) override {
    DatabaseConnection* connection = readers_.connection(number);
    if (connection == nullptr) return true;
    Catalog catalog(readers_.catalogState(), &context_.output(), &context_.options());
    return connection->readTables(catalog, false) != Catalog::kListFailed;
  }

  ScriptSource* scripts() override { return scripts_.get(); }

 private:
  RunContext& context_;
  ConnectionReaders<OracleDictionaryReader> readers_;
  PhaseDatabase databases_[2];
  std::unique_ptr<ScriptSource> scripts_;
};

}  // namespace

std::unique_ptr<TablePhaseSources> connectionSources(RunContext& context) {
  return std::make_unique<ConnectionSources>(context);
}

void registerTablePhases(PhaseTable& phases) {
  registerTablePhases(phases, connectionSources);
}

}  // namespace velmora
