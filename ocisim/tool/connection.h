// The database side of the `ocisim` tool as the script runner sees it: run one statement,
// switch user (CONNECT), and collect DBMS_OUTPUT lines (SET SERVEROUTPUT ON). The engine's
// implementation is EngineConnection in engine_commands.cpp (openConnection, engine_commands.h);
// tests use a fake. Errors are OraError. Not thread-safe.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ocisim::tool {

struct ResultColumn {
  std::string name;
  bool numeric = false;  // printed right-aligned
};

// Receives the rows of a query as text; NULL is nullopt.
class RowSink {
 public:
  virtual ~RowSink() = default;
  virtual void columns(const std::vector<ResultColumn>& columns) = 0;
  virtual void row(const std::vector<std::optional<std::string>>& values) = 0;
};

struct StatementOutcome {
  int functionCode = 0;   // Oracle's SQL command code (3 INSERT, 4 SELECT, 26 ALTER TABLE ...)
  bool isQuery = false;
  uint64_t rowCount = 0;  // DML: rows processed; queries: rows fetched
  int warning = 0;        // 24344: created with compilation errors (CREATE FORCE VIEW)
};

class Connection {
 public:
  virtual ~Connection() = default;
  // Runs one statement (text without its ';' or '/'); query rows go to sink as they are
  // fetched. Throws OraError.
  virtual StatementOutcome execute(const std::string& sql, RowSink& sink) = 0;
  // Logs on as another user (ORA-01017 when refused); the old session stays on failure.
  virtual void connect(const std::string& user, const std::string& password) = 0;
  // SET SERVEROUTPUT ON / OFF: enables DBMS_OUTPUT of the session (unlimited buffer).
  virtual void setServerOutput(bool on) = 0;
  // The DBMS_OUTPUT lines produced since the last call (none while server output is off).
  virtual std::vector<std::string> takeServerOutput() = 0;
};

}  // namespace ocisim::tool
