// The tool's commands over the engine's public API: Database logon and Session statements
// (engine/exec), on databases created and opened by the standard engine (engine/compose:
// createDatabase and openDatabase give the dictionary views and the directory storage).
#include "tool/engine_commands.h"

#include "engine/compose/engine.h"
#include "engine/exec/database.h"
#include "engine/exec/session.h"
#include "engine/exec/statement.h"
#include "engine/value/conversion.h"
#include "tool/catalog_dump.h"

namespace ocisim::tool {
namespace {

// The largest DBMS_OUTPUT buffer every release accepts (8i/9i: 2,000 to 1,000,000 bytes).
constexpr int64_t kServerOutputBuffer = 1000000;

class EngineConnection : public Connection {
 public:
  EngineConnection(std::shared_ptr<Database> database, std::unique_ptr<Session> session)
      : database_(std::move(database)), session_(std::move(session)) {}

  StatementOutcome execute(const std::string& sql, RowSink& sink) override {
    std::unique_ptr<PreparedStatement> stmt = session_->prepare(sql);
    BindSet binds;
    ExecResult result = stmt->execute(binds);
    StatementOutcome outcome;
    outcome.functionCode = stmt->sqlFunctionCode();
    outcome.isQuery = stmt->isQuery();
    outcome.warning = result.warning;
    if (!result.cursor) {
      outcome.rowCount = result.rowCount;
      return outcome;
    }
    std::vector<ResultColumn> columns;
    for (const ColumnInfo& c : result.cursor->columns()) {
      columns.push_back({c.name, c.type.isNumeric()});
    }
    sink.columns(columns);
    Row row;
    std::vector<std::optional<std::string>> texts;
    while (result.cursor->fetch(row)) {
      texts.clear();
      for (const Value& v : row) {
        if (v.isNull()) {
          texts.emplace_back(std::nullopt);
        } else {
          texts.emplace_back(toText(v, session_->nls()));
        }
      }
      sink.row(texts);
      ++outcome.rowCount;
    }
    return outcome;
  }

  void connect(const std::string& user, const std::string& password) override {
    std::unique_ptr<Session> next = database_->logon(user, password);
    session_ = std::move(next);
    if (serverOutput_) session_->output().enable(kServerOutputBuffer);
  }

  void setServerOutput(bool on) override {
    serverOutput_ = on;
    if (on) {
      session_->output().enable(kServerOutputBuffer);
    } else {
      session_->output().disable();
    }
  }

  std::vector<std::string> takeServerOutput() override {
    std::vector<std::string> lines;
    if (!serverOutput_) return lines;
    while (std::optional<std::string> line = session_->output().getLine()) {
      lines.push_back(std::move(*line));
    }
    return lines;
  }

 private:
  std::shared_ptr<Database> database_;
  std::unique_ptr<Session> session_;
  bool serverOutput_ = false;
};

}  // namespace

std::shared_ptr<Database> createDatabase(const CreateArgs& args) {
  DatabaseOptions options;
  options.globalName = args.name;
  options.version = args.version;
  options.adminPassword = args.adminPassword;
  return ocisim::createDatabase(args.directory, options);
}

std::unique_ptr<Connection> openConnection(const RunArgs& args) {
  std::shared_ptr<Database> database = openDatabase(args.directory);
  std::unique_ptr<Session> session = database->logon(args.user, args.password);
  return std::make_unique<EngineConnection>(std::move(database), std::move(session));
}

void dumpDatabase(const DumpArgs& args, std::ostream& out) {
  std::shared_ptr<Database> database = openDatabase(args.directory);
  dumpCatalog(*database, out);
}

}  // namespace ocisim::tool
