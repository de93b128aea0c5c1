#include "structure/ddl_reader.h"

#include <algorithm>
#include <memory>

#include "oracle/oracle_session.h"
#include "oracle/oracle_statement.h"
#include "oracle/oracle_text.h"
#include "structure/ddl_format.h"
#include "structure/ddl_text.h"

namespace velmora {

namespace {

constexpr int kNameWidth = 128;  // identifiers are up to 128 characters on recent servers
constexpr int kNumberWidth = 40;
// An index key expression (a LONG) is read up to this many bytes.
constexpr int kExpressionWidth = 4000;

using Binds = std::vector<std::pair<std::string, std::string>>;

bool isDigits(const std::string& text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

bool DdlDictionaryReader::query(const std::string& sql, const Binds& binds,
                                const std::vector<int>& widths, std::vector<Row>* rows) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    rows->clear();
    if (queryOnce(sql, binds, widths, rows)) return true;
    // The first failure may cost a silent reconnect; then the query runs once more.
    if (!session_.reportError(attempt > 0, false)) return false;
  }
  return false;
}

bool DdlDictionaryReader::queryOnce(const std::string& sql, const Binds& binds,
                                    const std::vector<int>& widths, std::vector<Row>* rows) {
  OracleStatement statement(session_);
  statement.prepare(sql);
  for (const auto& [name, value] : binds) statement.bindText(name, value);
  std::vector<std::unique_ptr<StringColumn>> columns;
  for (size_t i = 0; i < widths.size(); ++i) {
    columns.push_back(std::make_unique<StringColumn>(widths[i], OracleStatement::kMaxRowsPerFetch));
    statement.defineArray(static_cast<int>(i + 1), *columns.back());
  }
  if (!statement.execute()) return !statement.failed();
  do {
    for (int row = 0; row < statement.rowsInBatch(); ++row) {
      Row values;
      for (const auto& column : columns) values.push_back(column->value(row));
      rows->push_back(std::move(values));
    }
  } while (statement.fetchNext());
  return !statement.failed();
}

bool DdlDictionaryReader::serverHasCompression() const {
  const std::string& version = session_.serverVersion();
  return version != "7" && version != "8.0";
}

bool DdlDictionaryReader::readTable(const std::string& owner, const std::string& table,
                                    std::optional<TableFacts>* facts) {
  facts->reset();
  std::vector<Row> rows;
  if (!query("select owner, table_name, pct_free, pct_used, ini_trans, max_trans, "
             "tablespace_name, initial_extent, next_extent, min_extents, max_extents, freelists, "
             "freelist_groups, pct_increase from all_tables where owner = :owner and "
             "table_name = :name",
             {{":owner", owner}, {":name", table}},
             {kNameWidth, kNameWidth, kNumberWidth, kNumberWidth, kNumberWidth, kNumberWidth,
              kNameWidth, kNumberWidth, kNumberWidth, kNumberWidth, kNumberWidth, kNumberWidth,
              kNumberWidth, kNumberWidth},
             &rows))
    return false;
  if (rows.empty()) return true;
  const Row& row = rows.front();
  TableFacts result;
  result.owner = row[0];
  result.name = row[1];
  SegmentFacts& s = result.segment;
  s.pctFree = row[2];
  s.pctUsed = row[3];
  s.iniTrans = row[4];
  s.maxTrans = row[5];
  s.tablespace = row[6];
  s.initialExtent = row[7];
  s.nextExtent = row[8];
  s.minExtents = row[9];
  s.maxExtents = row[10];
  s.freelists = row[11];
  s.freelistGroups = row[12];
  s.pctIncrease = row[13];
  *facts = std::move(result);
  return true;
}

bool DdlDictionaryReader::readColumns(const TableFacts& table, std::vector<ColumnFacts>* columns) {
  columns->clear();
  std::vector<Row> rows;
  if (!query("select column_name, data_type, data_length, data_precision, data_scale, nullable, "
             "default_length, column_id from all_tab_columns where owner = :owner and "
             "table_name = :name order by column_id",
             {{":owner", table.owner}, {":name", table.name}},
             {kNameWidth, kNameWidth, kNumberWidth, kNumberWidth, kNumberWidth, 1, kNumberWidth,
              kNumberWidth},
             &rows))
    return false;
  for (const Row& row : rows) {
    ColumnFacts column;
    column.name = row[0];
    column.dataType = toUpperAscii(row[1]);
    column.dataLength = row[2];
    column.dataPrecision = row[3];
    column.dataScale = row[4];
    column.nullable = row[5];
    // DATA_DEFAULT is a LONG: read piecewise, and only for columns that have a default.
    if (!row[6].empty() && row[6] != "0" && isDigits(row[7]))
      column.defaultText = session_.readLong(
          "select data_default from all_tab_columns where owner = :bind1 and table_name = :bind2 "
          "and column_id = " +
              row[7],
          table.owner, table.name);
    columns->push_back(std::move(column));
  }
  return true;
}

bool DdlDictionaryReader::readConstraints(const TableFacts& table,
                                          const std::string* constraintName,
                                          std::vector<ConstraintFacts>* constraints) {
  constraints->clear();
  std::string sql =
      "select constraint_name, constraint_type, r_owner, r_constraint_name, delete_rule from "
      "all_constraints where owner = :owner and table_name = :name";
  Binds binds = {{":owner", table.owner}, {":name", table.name}};
  if (constraintName != nullptr) {
    sql += " and constraint_name = :cname";
    binds.push_back({":cname", *constraintName});
  }
  std::vector<Row> rows;
  if (!query(sql, binds, {kNameWidth, 1, kNameWidth, kNameWidth, 20}, &rows)) return false;
  for (const Row& row : rows) {
    ConstraintFacts constraint;
    constraint.name = row[0];
    constraint.type = row[1];
    constraint.referencedOwner = row[2];
    constraint.referencedConstraint = row[3];
    constraint.deleteRule = row[4];
    // SEARCH_CONDITION is a LONG; constraint names are unique within their owner.
    if (constraint.type == "C")
      constraint.condition = session_.readLong(
          "select search_condition from all_constraints where owner = :bind1 and "
          "constraint_name = :bind2",
          table.owner, constraint.name);
    constraints->push_back(std::move(constraint));
  }
  std::stable_sort(constraints->begin(), constraints->end(),
                   [](const ConstraintFacts& a, const ConstraintFacts& b) {
                     int rankA = constraintTypeRank(a.type), rankB = constraintTypeRank(b.type);
                     return rankA != rankB ? rankA < rankB : a.name < b.name;
                   });
  if (constraints->empty()) return true;
  if (!readConstraintColumns(table, constraints)) return false;
  for (ConstraintFacts& constraint : *constraints)
    if (constraint.type == "R" && !readReferencedKey(&constraint)) return false;
  return attachKeyIndexes(table, constraints);
}

bool DdlDictionaryReader::readConstraintColumns(const TableFacts& table,
                                                std::vector<ConstraintFacts>* constraints) {
  std::vector<Row> rows;
  if (!query("select constraint_name, column_name from all_cons_columns where owner = :owner and "
             "table_name = :name order by constraint_name, position",
             {{":owner", table.owner}, {":name", table.name}}, {kNameWidth, kNameWidth}, &rows))
    return false;
  for (const Row& row : rows)
    for (ConstraintFacts& constraint : *constraints)
      if (constraint.name == row[0]) constraint.columns.push_back(row[1]);
  return true;
}

bool DdlDictionaryReader::readReferencedKey(ConstraintFacts* constraint) {
  if (constraint->referencedOwner.empty() || constraint->referencedConstraint.empty()) return true;
  std::vector<Row> rows;
  if (!query("select table_name, column_name from all_cons_columns where owner = :owner and "
             "constraint_name = :name order by position",
             {{":owner", constraint->referencedOwner}, {":name", constraint->referencedConstraint}},
             {kNameWidth, kNameWidth}, &rows))
    return false;
  for (const Row& row : rows) {
    constraint->referencedTable = row[0];
    constraint->referencedColumns.push_back(row[1]);
  }
  return true;
}

bool DdlDictionaryReader::attachKeyIndexes(const TableFacts& table,
                                           std::vector<ConstraintFacts>* constraints) {
  bool anyKey = std::any_of(constraints->begin(), constraints->end(),
                            [](const auto& c) { return c.type == "P" || c.type == "U"; });
  if (!anyKey) return true;
  std::vector<IndexFacts> indexes;
  if (!readIndexes(table, false, &indexes)) return false;
  for (ConstraintFacts& constraint : *constraints) {
    if (constraint.type != "P" && constraint.type != "U") continue;
    for (const IndexFacts& index : indexes)
      if (index.name == constraint.name) constraint.index = index;
  }
  return true;
}

bool DdlDictionaryReader::readIndexes(const TableFacts& table, bool withColumns,
                                      std::vector<IndexFacts>* indexes) {
  indexes->clear();
  bool compression = serverHasCompression();
  std::string sql =
      "select index_name, uniqueness, pct_free, ini_trans, max_trans, tablespace_name";
  if (compression) sql += ", compression, prefix_length";
  sql +=
      " from all_indexes where owner = :owner1 and table_owner = :owner2 and table_name = :name"
      " order by index_name";
  std::vector<int> widths = {kNameWidth, 20, kNumberWidth, kNumberWidth, kNumberWidth, kNameWidth};
  if (compression) widths.insert(widths.end(), {20, kNumberWidth});
  Binds binds = {{":owner1", table.owner}, {":owner2", table.owner}, {":name", table.name}};
  std::vector<Row> rows;
  if (!query(sql, binds, widths, &rows)) return false;
  for (const Row& row : rows) {
    IndexFacts index;
    index.name = row[0];
    index.unique = row[1] == "UNIQUE";
    index.segment.pctFree = row[2];
    index.segment.iniTrans = row[3];
    index.segment.maxTrans = row[4];
    index.segment.tablespace = row[5];
    index.compression = compression ? row[6] : "DISABLED";
    index.prefixLength = compression ? row[7] : "10";
    indexes->push_back(std::move(index));
  }
  std::stable_sort(indexes->begin(), indexes->end(),
                   [](const IndexFacts& a, const IndexFacts& b) { return a.name < b.name; });
  if (!withColumns || indexes->empty()) return true;
  if (!query("select index_name, column_name from all_ind_columns where index_owner = :owner1 "
             "and table_owner = :owner2 and table_name = :name order by index_name, "
             "column_position",
             binds, {kNameWidth, kNameWidth}, &rows))
    return false;
  bool anyHidden = false;
  for (const Row& row : rows)
    for (IndexFacts& index : *indexes)
      if (index.name == row[0]) {
        index.columns.push_back(row[1]);
        anyHidden = anyHidden || isSystemIndexColumn(row[1]);
      }
  if (!anyHidden || !serverHasIndexExpressions(session_.serverVersion())) return true;
  return readIndexExpressions(binds, indexes);
}

// A hidden column of an index becomes its key expression; one without an expression row keeps
// its name, which formatIndex refuses to write.
bool DdlDictionaryReader::readIndexExpressions(const Binds& binds,
                                               std::vector<IndexFacts>* indexes) {
  std::vector<Row> rows;
  if (!query(kIndexExpressionsQuery, binds, {kNameWidth, kNumberWidth, 10, kExpressionWidth},
             &rows))
    return false;
  for (const Row& row : rows) {
    if (!isDigits(row[1]) || row[1].size() > 6) continue;
    const size_t position = std::stoul(row[1]);
    for (IndexFacts& index : *indexes) {
      if (index.name != row[0] || position == 0 || position > index.columns.size()) continue;
      if (!isSystemIndexColumn(index.columns[position - 1])) continue;
      index.columns[position - 1] = indexExpressionText(row[3], row[2]);
      if (index.expressions.size() < position) index.expressions.resize(position, false);
      index.expressions[position - 1] = true;
    }
  }
  return true;
}

bool DdlDictionaryReader::readKeyConstraintNames(const TableFacts& table,
                                                 std::vector<std::string>* names) {
  names->clear();
  std::vector<Row> rows;
  if (!query("select constraint_name from all_constraints where owner = :owner and "
             "table_name = :name and constraint_type in ('P','U')",
             {{":owner", table.owner}, {":name", table.name}}, {kNameWidth}, &rows))
    return false;
  for (const Row& row : rows) names->push_back(row[0]);
  return true;
}

}  // namespace velmora
