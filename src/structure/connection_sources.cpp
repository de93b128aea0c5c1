// The table phases' sources over the run's DatabaseConnections: each connected database gets an
// OracleDictionaryReader on its session, Database 1 also the DdlGenerator; table lists are read
// through the Catalog into the connections.
#include "oracle/catalog.h"
#include "oracle/database_connection.h"
#include "run/run_context.h"
#include "structure/oracle_dictionary_reader.h"
#include "structure/structure_phases.h"

namespace velmora {

namespace {

class ConnectionSources : public TablePhaseSources {
 public:
  explicit ConnectionSources(RunContext& context) : context_(context) {
    DatabaseConnection* connections[2] = {context.database1(), context.database2()};
    for (int i = 0; i < 2; ++i) {
      DatabaseConnection* connection = connections[i];
      if (connection == nullptr || !connection->connected()) continue;
      Side& side = sides_[i];
      side.connection = connection;
      side.reader = std::make_unique<OracleDictionaryReader>(*connection->session());
      side.database = {connection->owner(), connection->displayName(), side.reader.get(),
                       &connection->tables()};
    }
    if (sides_[0].connection != nullptr)
      scripts_ = makeDdlScriptSource(*sides_[0].connection->session(), context.settings(),
                                     context.options(),
                                     [&context] { context.errors().record("creation DDL"); });
  }

  const PhaseDatabase* database(int number) override {
    const Side& side = sides_[number == 1 ? 0 : 1];
    return side.connection != nullptr ? &side.database : nullptr;
  }

  bool loadTables(int number) override {
    Side& side = sides_[number == 1 ? 0 : 1];
    if (side.connection == nullptr) return true;
    Catalog catalog(catalogState_, &context_.output(), &context_.options());
    return side.connection->readTables(catalog, false) != Catalog::kListFailed;
  }

  ScriptSource* scripts() override { return scripts_.get(); }

 private:
  struct Side {
    DatabaseConnection* connection = nullptr;
    std::unique_ptr<OracleDictionaryReader> reader;
    PhaseDatabase database;
  };

  RunContext& context_;
  Side sides_[2];
  CatalogState catalogState_;  // the longest-name widths the phases do not use
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
