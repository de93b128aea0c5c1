// OracleDictionaryReader: the DictionaryReader of one database over its OracleSession. Every
// query is one small function with the exact statement text, binds by name, array fetches of 20
// rows, every value read as text. The column buffers are kept between queries, so a phase over
// thousands of tables allocates them once. The session must outlive the reader; one thread.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "structure/dictionary_reader.h"

namespace velmora {

class OracleSession;
class StringColumn;

// The query texts, for the tests that script a server.
inline constexpr const char* kIndexQuery =
    "select all_indexes.table_owner,decode(nvl(all_indexes.uniqueness,'NOT'),'UNIQUE','    "
    "UNIQUE ','NOT UNIQUE '),all_indexes.index_name,nvl(all_ind_columns.column_name,' ') from "
    "all_indexes ,all_ind_columns  where all_indexes.owner = :owner1 and all_indexes.table_owner "
    "= :owner2 and all_indexes.table_name = :name and all_ind_columns.index_owner = "
    "all_indexes.owner and all_indexes.index_name = all_ind_columns.index_name AND "
    "all_indexes.index_name NOT IN (SELECT c.constraint_name from all_constraints c WHERE "
    "c.constraint_type IN ('P','U') AND c.table_name = all_indexes.table_name) order by "
    "all_indexes.index_name, column_position";
inline constexpr const char* kConstraintQueryWithoutSystemNamed =
    "select constraint_name,constraint_type,delete_rule,search_condition from all_constraints "
    "where owner = :owner and table_name = :name and constraint_name not like 'SYS_C%%' order by "
    "constraint_name";
inline constexpr const char* kConstraintQuery =
    "select constraint_name,constraint_type,delete_rule,search_condition from all_constraints "
    "where owner = :owner and table_name = :name order by constraint_name";
inline constexpr const char* kConstraintColumnsQuery =
    "select column_name from all_cons_columns where owner = :owner and constraint_name = :name";
inline constexpr const char* kPrimaryKeyColumnsQuery =
    "select co.column_name from all_constraints c, all_cons_columns co where c.owner = :owner and "
    "c.table_name = :name and constraint_type = 'P' and c.owner = co.owner and  "
    "c.constraint_name = co.constraint_name";
inline constexpr const char* kUniqueIndexQuery =
    "select index_name from all_indexes where table_owner = :owner and table_name = :objname and "
    "uniqueness = 'UNIQUE' and rownum = 1";
inline constexpr const char* kIndexColumnsQuery =
    "select c.column_name from all_ind_columns c where c.table_owner = :owner and c.index_name = "
    ":name";

class OracleDictionaryReader : public DictionaryReader {
 public:
  explicit OracleDictionaryReader(OracleSession& session);
  ~OracleDictionaryReader() override;

  std::string serverVersion() override;
  QueryRows<ColumnRow> columns(const std::string& queryText, const std::string& owner,
                               const std::string& table) override;
  QueryRows<IndexRow> indexes(const std::string& owner, const std::string& table) override;
  QueryRows<ConstraintRow> constraints(const std::string& owner, const std::string& table,
                                       bool withoutSystemNamed) override;
  QueryRows<std::string> constraintColumns(const std::string& owner,
                                           const std::string& constraint) override;
  QueryRows<std::string> primaryKeyColumns(const std::string& owner,
                                           const std::string& table) override;
  std::string uniqueIndexName(const std::string& owner, const std::string& table) override;
  bool mayHoldRows(const std::string& owner, const std::string& table,
                   const std::string& nullColumn) override;
  QueryRows<std::string> indexColumns(const std::string& owner, const std::string& index) override;
  QueryRows<TableConstraint> foreignKeysReferencingTable(const std::string& owner,
                                                         const std::string& table) override;
  QueryRows<TableConstraint> foreignKeysReferencingKey(const std::string& owner,
                                                       const std::string& constraint) override;
  QueryRows<TableConstraint> constraintsOnColumn(const std::string& owner, const std::string& table,
                                                 const std::string& column) override;
  QueryRows<std::string> indexesOnColumn(const std::string& owner, const std::string& table,
                                         const std::string& column) override;

 private:
  using Binds = std::vector<std::pair<std::string, std::string>>;  // placeholder, value
  using Cells = std::vector<StringColumn*>;                        // by select-list position
  using RowHandler = std::function<void(const Cells& cells, int row)>;

  // Runs a query with its binds over the given column widths (positions 1..n), calling onRow
  // for every fetched row; returns the error text ("" when none).
  std::string run(const std::string& sql, const Binds& binds, const std::vector<int>& widths,
                  const RowHandler& onRow, const std::function<void()>& restart);
  StringColumn& column(size_t position, int width);
  QueryRows<std::string> strings(const std::string& sql, const Binds& binds, int width);
  QueryRows<TableConstraint> tableConstraints(const std::string& sql, const Binds& binds);
  // Puts the key expression (ALL_IND_EXPRESSIONS) in place of every hidden column of the rows;
  // returns the error text ("" when none).
  std::string readIndexExpressions(const std::string& owner, const std::string& table,
                                   std::vector<IndexRow>& rows);

  OracleSession& session_;
  // Buffers by position and width, reused between queries.
  std::map<std::pair<size_t, int>, std::unique_ptr<StringColumn>> columns_;
};

}  // namespace velmora
