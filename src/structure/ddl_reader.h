// DdlDictionaryReader: reads the facts the DDL generator formats from the dictionary views of one
// session (ALL_TABLES, ALL_TAB_COLUMNS, ALL_CONSTRAINTS, ALL_CONS_COLUMNS, ALL_INDEXES,
// ALL_IND_COLUMNS, ALL_IND_EXPRESSIONS); LONG values (defaults, check conditions) are read
// piecewise, index key expressions as select-list columns of up to 4000 bytes. Every read
// returns false when a query failed: the session has then shown the Oracle message (after one
// silent reconnect and retry when the connection was lost) and the output is incomplete.
// Borrowed session; used on the thread that uses the session.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "structure/ddl_facts.h"

namespace velmora {

class OracleSession;

class DdlDictionaryReader {
 public:
  using Row = std::vector<std::string>;

  explicit DdlDictionaryReader(OracleSession& session) : session_(session) {}

  // The table's row of ALL_TABLES; nullopt when there is none.
  bool readTable(const std::string& owner, const std::string& table,
                 std::optional<TableFacts>* facts);
  // The columns in column order, defaults included.
  bool readColumns(const TableFacts& table, std::vector<ColumnFacts>* columns);
  // The table's constraints (only the named one when constraintName is not null) in the order
  // they are written: primary key, unique keys, foreign keys, checks, others, each kind by name.
  // With their columns, conditions, referenced keys and, for keys, the index of the same name.
  bool readConstraints(const TableFacts& table, const std::string* constraintName,
                       std::vector<ConstraintFacts>* constraints);
  // The table's indexes by name, with their columns when withColumns.
  bool readIndexes(const TableFacts& table, bool withColumns, std::vector<IndexFacts>* indexes);
  // Names of the table's primary and unique key constraints.
  bool readKeyConstraintNames(const TableFacts& table, std::vector<std::string>* names);

  // Runs a query with string binds (name, value) and collects every row, each value as text
  // ("" for NULL), with one column of the given width per select item.
  bool query(const std::string& sql, const std::vector<std::pair<std::string, std::string>>& binds,
             const std::vector<int>& widths, std::vector<Row>* rows);

 private:
  bool queryOnce(const std::string& sql,
                 const std::vector<std::pair<std::string, std::string>>& binds,
                 const std::vector<int>& widths, std::vector<Row>* rows);
  bool readConstraintColumns(const TableFacts& table, std::vector<ConstraintFacts>* constraints);
  bool readReferencedKey(ConstraintFacts* constraint);
  bool readIndexExpressions(const std::vector<std::pair<std::string, std::string>>& binds,
                            std::vector<IndexFacts>* indexes);
  bool attachKeyIndexes(const TableFacts& table, std::vector<ConstraintFacts>* constraints);
  bool serverHasCompression() const;

  OracleSession& session_;
};

}  // namespace velmora
