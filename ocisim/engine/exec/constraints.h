// Constraint enforcement for DML on one statement: NOT NULL and CHECK per row as rows are
// written; keys and foreign keys at the end of the statement (so that UPDATE t SET id = id + 1
// and a statement inserting a parent and its child both work, as in Oracle). Deleting a parent
// row applies ON DELETE CASCADE / SET NULL at once. Errors are Oracle's: ORA-01400, ORA-01407,
// ORA-02290, ORA-00001, ORA-02291, ORA-02292. Every row change goes through the ExecContext's
// undo log, so a failed statement is undone by the caller. Internal to the executor.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/exec/catalog.h"
#include "engine/exec/cexpr.h"
#include "engine/exec/row_store.h"

namespace ocisim {

class ExecContext;

class ConstraintChecker {
 public:
  explicit ConstraintChecker(ExecContext& ctx);
  ~ConstraintChecker();

  // Coerces, checks and stores a new row of `table` (all columns, in order).
  RowId insertRow(Table& table, Row row);
  // Checks and stores new values of an existing row.
  void updateRow(Table& table, RowId id, Row row);
  // Deletes a row, applying the delete rules of foreign keys that reference it.
  void deleteRow(Table& table, RowId id);
  // The end-of-statement checks of keys and foreign keys.
  void finish();

  // "OWNER"."TABLE"."COLUMN" as ORA-01400 and ORA-12899 show a column.
  static std::string columnLabel(const Table& table, size_t column);

 private:
  struct TableRules;
  TableRules& rulesFor(Table& table);
  void checkRow(TableRules& rules, const Row& row, bool update);
  void checkChildKeys(TableRules& rules, RowId id);
  void checkParentKeys(TableRules& rules, const Row& oldRow);

  ExecContext& ctx_;
  std::map<ObjectId, std::unique_ptr<TableRules>> rules_;
  // Rows written by the statement, for the key checks at the end.
  struct Written {
    Table* table;
    RowId id;
  };
  std::vector<Written> written_;
  // Old key values of rows deleted or re-keyed: children must not still point at them.
  struct Vanished {
    Table* table;
    Row oldRow;
  };
  std::vector<Vanished> vanished_;
  int depth_ = 0;
};

// Rows of a table's store whose columns `positions` equal `key` (no NULLs in key), using an
// index whose leading columns are exactly those when there is one.
std::vector<RowId> findRowsByKey(const TableData& data, const std::vector<int>& positions,
                                 const std::vector<Value>& key);

}  // namespace ocisim
