// ExecContext: the state of one running statement (or of one open cursor): the session, the
// binds, SYSDATE and SYSTIMESTAMP frozen at the start, the undo log that makes the statement
// atomic, and what the commit record of the statement needs. Internal to the executor.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/exec/database.h"
#include "engine/exec/persistence.h"
#include "engine/exec/session.h"
#include "engine/value/functions.h"

namespace ocisim {

// Every row change of a statement, to undo it when the statement fails and to tell storage
// what to make durable when it succeeds. `data` is the store the row is in: the table's own, or
// a session's rows of a temporary table (undone like any other, never made durable).
class UndoLog {
 public:
  void recordInsert(const Table& table, std::shared_ptr<TableData> data, RowId id);
  void recordUpdate(const Table& table, std::shared_ptr<TableData> data, RowId id, Row old);
  void recordDelete(const Table& table, std::shared_ptr<TableData> data, RowId id, Row old);
  // Undoes every recorded change, newest first, and forgets them.
  void rollback();
  bool empty() const { return entries_.empty(); }
  // The row records of the statement (in order) for the commit record.
  std::vector<RowChange> rowChanges() const;
  void clear() { entries_.clear(); }

 private:
  struct Entry {
    std::shared_ptr<TableData> data;
    ObjectId tableId;
    RowId id;
    RowChange::Kind kind;
    Row old;
    bool temporary = false;
  };
  std::vector<Entry> entries_;
};

// Storage for PL/SQL variables visible to SQL compiled inside a block (name -> slot).
struct VariableScope {
  virtual ~VariableScope() = default;
  // The variable's storage and declared type, or null when the name is not a variable.
  virtual Value* findVariable(const std::string& name, DataType* type) = 0;
};

class ExecContext {
 public:
  ExecContext(Session& session, const BindSet* binds);

  Session& session;
  Database& db;
  Catalog& catalog;
  const BindSet* binds;                // IN values (null: none)
  BindSet* outBinds = nullptr;         // PL/SQL: where OUT values go
  VariableScope* variables = nullptr;  // PL/SQL variables for SQL inside a block
  DateTime sysdate;
  DateTime systimestamp;  // the same instant with its microseconds
  FunctionContext functions;
  UndoLog undo;
  bool catalogChanged = false;
  // Catalog changes confined to a table (CREATE TABLE, CREATE INDEX): (owner, table). They let
  // the storage write only that table's records, unless something set catalogChanged too.
  std::vector<std::pair<std::string, std::string>> tableCatalogChanges;
  int warning = 0;  // 24344: success with compilation error (a FORCE view with errors)
  std::vector<ObjectId> rewrittenTables;
  std::vector<ObjectId> sequencesTouched;
  // Row stores the compiled plans of this statement read (INSERT ... SELECT from its own
  // target must read the rows as they were before it inserts any).
  std::vector<const TableData*> tablesRead;

  const std::string& user() const { return session.user(); }
  // The rows this session reads and writes in a table: the table's own, or the session's rows
  // of a temporary table.
  std::shared_ptr<TableData> rowsOf(const Table& table) const {
    return table.temporary ? db.temporaryRows(table, session.sessionId()) : table.data;
  }
  const NlsSettings& nls() const { return session.nls(); }
  void checkCancel() { session.checkCancel(); }

  // A bind's value; ORA-01008 when it is not bound.
  const Value& bind(const std::string& name) const;

  // NEXTVAL of a sequence: one new number per row even when named twice in the row.
  Value nextval(Sequence& sequence);
  Value currval(const Sequence& sequence);
  // Starts a new row for NEXTVAL (INSERT of a row, each projected row).
  void nextRow() { ++rowSerial_; }

  // The commit record of what the statement changed so far.
  CommitRecord commitRecord() const;

 private:
  uint64_t rowSerial_ = 1;
  std::map<ObjectId, std::pair<uint64_t, Value>> nextvalOfRow_;
};

}  // namespace ocisim
