// DictionaryReader: the dictionary queries of the table structure phases, one small function per
// query, each returning plain rows and the query's error text. The comparers (columns, indexes,
// constraints, table lists) hold all the logic and see one reader per database; the
// OCI implementation runs the exact query texts on that database's OracleSession, tests script
// the rows. A reader is used by one thread at a time (the run's worker).
#pragma once

#include <string>
#include <vector>

namespace velmora {

// The rows of one query. error is "" when the query succeeded or found nothing (ORA-01403 and
// ORA-24344 are no error); otherwise the Oracle message, and rows holds what was read before.
template <typename Row>
struct [[nodiscard]] QueryRows {
  std::vector<Row> rows;
  std::string error;
  bool failed() const { return !error.empty(); }
};

// One row of the column query, every item as text (see columnQueryText).
struct ColumnRow {
  std::string name;
  std::string type;         // the type as selected: plain or formatted
  std::string length;       // to_char(data_length)
  std::string precision;    // to_char(nvl(data_precision,0))
  std::string scale;        // to_char(nvl(data_scale,-1))
  std::string nullability;  // "    NULL ", "NULL " or "NOT NULL "
  std::string defaultText;  // data_default cut to its returned length, trailing blanks removed;
                            // "" when NULL or of length 0
  std::string typeOwner;    // " " for a built-in type
};

// One row of the index query: one column of one index.
struct IndexRow {
  std::string owner;
  std::string uniqueness;  // "    UNIQUE " or "NOT UNIQUE "
  std::string indexName;
  std::string columnName;
};

// One row of the constraint query (NULL values as "").
struct ConstraintRow {
  std::string name;
  std::string type;        // P, U, R, C ...
  std::string deleteRule;  // as the dictionary holds it (untrimmed)
  std::string condition;   // search_condition, read to its full length
};

// A constraint of some table (the dependency lookups of the upgrade script).
struct TableConstraint {
  std::string owner;
  std::string table;
  std::string name;
  std::string type;
};

class DictionaryReader {
 public:
  virtual ~DictionaryReader() = default;

  // "7", "8.0" or "8": picks the column query.
  virtual std::string serverVersion() = 0;

  // The column query text chosen by the caller, ":owner" and ":name" bound.
  virtual QueryRows<ColumnRow> columns(const std::string& queryText, const std::string& owner,
                                       const std::string& table) = 0;
  // The indexes of a table that do not back a primary or unique key, ordered by index name and
  // column position.
  virtual QueryRows<IndexRow> indexes(const std::string& owner, const std::string& table) = 0;
  // The constraints of a table in name order; without the system-named ones (SYS_C%) when asked.
  virtual QueryRows<ConstraintRow> constraints(const std::string& owner, const std::string& table,
                                               bool withoutSystemNamed) = 0;
  // The columns of one constraint, in the order returned.
  virtual QueryRows<std::string> constraintColumns(const std::string& owner,
                                                   const std::string& constraint) = 0;
  // The primary-key columns of a table.
  virtual QueryRows<std::string> primaryKeyColumns(const std::string& owner,
                                                   const std::string& table) = 0;
  // The name of one unique index of the table ("" when none or on error).
  virtual std::string uniqueIndexName(const std::string& owner, const std::string& table) = 0;
  // Whether owner.table may hold a row (one whose nullColumn is NULL, when it is given): true
  // when it cannot tell, so that a caller that needs "no such row" stays careful.
  virtual bool mayHoldRows(const std::string& /*owner*/, const std::string& /*table*/,
                           const std::string& /*nullColumn*/) {
    return true;
  }
  // The columns of an index.
  virtual QueryRows<std::string> indexColumns(const std::string& owner,
                                              const std::string& index) = 0;

  // Dependency lookups for a runnable upgrade script (Database 2).
  // Foreign keys (of any schema) that reference a primary or unique key of `table`.
  virtual QueryRows<TableConstraint> foreignKeysReferencingTable(const std::string& owner,
                                                                 const std::string& table) = 0;
  // Foreign keys (of any schema) that reference the key `constraint` of the owner.
  virtual QueryRows<TableConstraint> foreignKeysReferencingKey(const std::string& owner,
                                                               const std::string& constraint) = 0;
  // Constraints of `table` that include `column`.
  virtual QueryRows<TableConstraint> constraintsOnColumn(const std::string& owner,
                                                         const std::string& table,
                                                         const std::string& column) = 0;
  // Indexes of `table` that include `column`.
  virtual QueryRows<std::string> indexesOnColumn(const std::string& owner, const std::string& table,
                                                 const std::string& column) = 0;
};

}  // namespace velmora
