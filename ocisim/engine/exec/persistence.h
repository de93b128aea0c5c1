// The seam between the executor and durable storage. The storage module (engine/storage)
// implements PersistenceHook, and a Database gets its hook from DatabaseHooks::storage
// (database.h) when it is created or opened; the executor calls the hook around every
// statement of every session of a Database, with the database lock held, so the hook never
// runs concurrently with itself or with a statement.
//
// Contract of a statement:
//   beginStatement(db, writes)   - before anything is read; a storage shared between processes
//                                  takes its file lock here (exclusive when `writes`) and first
//                                  applies what other processes committed (through the loader
//                                  functions: Catalog add/remove, TableData::insertAt/update/
//                                  erase, Database::rebuildIndexes).
//   commit(db, record)           - only when the statement changed something, after it
//                                  succeeded and before execute returns (autocommit). It must
//                                  make the change durable; if it throws (OraError), the
//                                  executor undoes the statement in memory and the statement
//                                  fails with that error.
//   endStatement(db)             - always, after success or failure.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/exec/catalog_objects.h"
#include "engine/exec/row_store.h"

namespace ocisim {

class Database;

struct RowChange {
  enum class Kind : uint8_t { Insert, Update, Delete };
  Kind kind = Kind::Insert;
  ObjectId tableId = 0;  // the Table's header.objectId (Database::findTableById)
  RowId rowId = 0;
  // The values are not copied: for Insert and Update the row as committed is
  // findTableById(tableId)->data->row(rowId) at the time of the commit call. A row inserted
  // and deleted by the same statement has both records, and row() is then null.
};

struct CommitRecord {
  std::vector<RowChange> rows;  // in the order the statement made them
  // DDL, grants, users, roles, sequences: the catalog changed; write it again (it is small).
  bool catalogChanged = false;
  // When not empty, the catalog change is confined to these tables (owner, name): their
  // records, constraints, indexes, triggers and comments. The storage then writes what changed
  // there without looking at the rest of the catalog.
  std::vector<std::pair<std::string, std::string>> catalogTables;
  // Tables whose rows were rewritten as a whole by DDL (CREATE TABLE AS SELECT, ADD/DROP/MODIFY
  // COLUMN, TRUNCATE): store all their rows; their RowIds may have changed.
  std::vector<ObjectId> rewrittenTables;
  // Sequences advanced by NEXTVAL (LAST_NUMBER and the next value changed).
  std::vector<ObjectId> sequences;

  bool empty() const {
    return rows.empty() && !catalogChanged && rewrittenTables.empty() && sequences.empty();
  }
};

class PersistenceHook {
 public:
  virtual ~PersistenceHook() = default;
  virtual void beginStatement(Database& db, bool writes) = 0;
  virtual void commit(Database& db, const CommitRecord& record) = 0;
  virtual void endStatement(Database& db) noexcept = 0;
};

}  // namespace ocisim
