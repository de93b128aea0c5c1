// Virtual tables: relations whose rows are computed when a statement reads them, for the session
// that reads them (the data dictionary views ALL_*, USER_*, GLOBAL_NAME, and DUAL). A virtual
// table is registered by name in its Database's VirtualTableRegistry (the dictionary's views by
// DatabaseHooks::installViews, database.h, when the instance is made); the executor resolves an
// unqualified name to it when the session user owns no object of that name (as Oracle resolves
// public synonyms), and SYS.name always. They are read-only: DML on them fails with ORA-01031.
//
// Producers run inside a statement with the database lock held: they may read the Catalog and
// table rows freely but must not change anything.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/exec/row_store.h"
#include "engine/value/data_type.h"
#include "engine/value/value.h"

namespace ocisim {

class Database;
class Catalog;
class Session;

struct VirtualColumn {
  std::string name;  // upper case, as Oracle names the view's column
  DataType type;     // LONG for Oracle's LONG columns (TEXT, DATA_DEFAULT, ...)
};

// What a producer gets when a statement scans it.
struct VirtualScanContext {
  const Database& database;
  const Catalog& catalog;
  const Session& session;
  std::string user;  // the session user, upper case
  bool dba = false;  // the user holds DBA (ALL_ views then show every schema)
  // Equality restrictions `COLUMN = constant/bind` taken from the WHERE clause, by column name,
  // with the value as written (not converted). A producer may use them to skip rows early; it
  // never has to: the executor applies the whole WHERE clause to what the producer emits.
  std::map<std::string, Value> equalities;

  const Value* equalityFor(const std::string& column) const {
    auto it = equalities.find(column);
    return it == equalities.end() ? nullptr : &it->second;
  }
};

using RowEmitter = std::function<void(Row&& row)>;

class VirtualTable {
 public:
  virtual ~VirtualTable() = default;
  // The columns as the database's release has them (Database::version()). Called when a
  // statement is planned; a column missing for that release gives ORA-00904 when named.
  virtual std::vector<VirtualColumn> columns(const Database& db) const = 0;
  // Emits every row the session may see, each with exactly columns(db).size() values in
  // column order, typed as the columns say (NUMBER columns as numbers, LONG as text ...).
  virtual void scan(const VirtualScanContext& ctx, const RowEmitter& emit) const = 0;
};

class VirtualTableRegistry {
 public:
  // Registers (or replaces) a virtual table under an upper-case name, owned by SYS.
  void add(const std::string& name, std::shared_ptr<const VirtualTable> table);
  const VirtualTable* find(const std::string& name) const;
  std::vector<std::string> names() const;

 private:
  std::map<std::string, std::shared_ptr<const VirtualTable>> tables_;
};

// A convenience producer for tests and simple views: fixed columns and a row function.
class LambdaVirtualTable : public VirtualTable {
 public:
  using ScanFunction = std::function<void(const VirtualScanContext&, const RowEmitter&)>;
  LambdaVirtualTable(std::vector<VirtualColumn> columns, ScanFunction scan)
      : columns_(std::move(columns)), scan_(std::move(scan)) {}
  std::vector<VirtualColumn> columns(const Database&) const override { return columns_; }
  void scan(const VirtualScanContext& ctx, const RowEmitter& emit) const override {
    scan_(ctx, emit);
  }

 private:
  std::vector<VirtualColumn> columns_;
  ScanFunction scan_;
};

}  // namespace ocisim
