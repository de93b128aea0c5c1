// Prepared statements, bind values and cursors of the public engine API. A PreparedStatement
// belongs to one Session and is used by one thread at a time; it may be executed many times.
// A Cursor streams the rows of one execution of a query; it stays valid while its session
// lives (later DML of any session does not invalidate it: it re-seeks where it stopped).
// Every call takes the database lock for its duration; errors are OraError.
#pragma once

#include <cstdint>
#include <exception>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/exec/row_store.h"
#include "engine/value/data_type.h"
#include "engine/value/value.h"

namespace ocisim {

class Session;

// Bind values by name: upper case unless the statement quoted the name, without ':' (":1" is
// "1"). An execute reads IN values and, for PL/SQL blocks, writes OUT values back.
class BindSet {
 public:
  void set(const std::string& name, Value value);
  // Null when the name is not bound.
  const Value* find(const std::string& name) const;
  Value* findMutable(const std::string& name);
  bool contains(const std::string& name) const { return find(name) != nullptr; }
  const std::map<std::string, Value>& values() const { return values_; }
  // Normalises a name as the parser does for unquoted names (upper case, no leading ':').
  static std::string normalize(std::string_view name);

 private:
  std::map<std::string, Value> values_;
};

// One select-list column as describe shows it.
struct ColumnInfo {
  std::string name;  // Oracle's column name (alias, column name or expression text)
  DataType type;     // gives the OCI type code, size, precision and scale
  bool nullable = true;
};

class Cursor {
 public:
  virtual ~Cursor() = default;
  virtual const std::vector<ColumnInfo>& columns() const = 0;
  // Fetches the next row into `row` (resized to the column count). False at the end; after
  // that, fetch keeps returning false. ORA-01013 when the session was cancelled meanwhile.
  virtual bool fetch(Row& row) = 0;
  // Rows fetched so far.
  virtual uint64_t rowCount() const = 0;
  // Up to `max` next rows into rows[0], rows[1] ... (the vector grows when it is shorter) in
  // one call, as one round trip of a client fetches them; the count, less than `max` only at
  // the end or on an error, which is then put in `error` (the rows before it are kept).
  virtual size_t fetchMany(std::vector<Row>& rows, size_t max, std::exception_ptr& error);
};

struct ExecResult {
  uint64_t rowCount = 0;           // DML: rows processed; queries: 0
  std::unique_ptr<Cursor> cursor;  // queries only
  // 0, or 24344 when the statement succeeded with compilation errors (CREATE FORCE VIEW of a
  // view that does not compile): OCI returns OCI_SUCCESS_WITH_INFO with ORA-24344.
  int warning = 0;
};

class PreparedStatement {
 public:
  ~PreparedStatement();
  PreparedStatement(const PreparedStatement&) = delete;
  PreparedStatement& operator=(const PreparedStatement&) = delete;

  const std::string& text() const;
  // OCI_ATTR_STMT_TYPE (1 SELECT, 2 UPDATE, 3 DELETE, 4 INSERT, 5 CREATE, 6 DROP, 7 ALTER,
  // 8 BEGIN, 9 DECLARE, 0 others) and OCI_ATTR_SQLFNCODE.
  int statementType() const;
  int sqlFunctionCode() const;
  bool isQuery() const;
  bool isPlsql() const;
  // Distinct bind names in order of first appearance (OCIBindByPos position n is element n-1).
  const std::vector<std::string>& bindNames() const;

  // The select-list columns of a query (empty for other statements). Plans the query without
  // running it: name-resolution errors (ORA-00942, ORA-00904 ...) come here as at execute.
  const std::vector<ColumnInfo>& describe();

  // Runs the statement with the given binds (ORA-01008 when one is missing). A query returns a
  // cursor; DML, DDL and PL/SQL are committed before this returns.
  ExecResult execute(BindSet& binds);

 private:
  friend class Session;
  struct Impl;
  explicit PreparedStatement(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace ocisim
