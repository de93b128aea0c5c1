#include "structure/oracle_dictionary_reader.h"

#include <algorithm>

#include "oracle/oracle_session.h"
#include "oracle/oracle_statement.h"
#include "oracle/oracle_text.h"
#include "structure/ddl_text.h"
#include "structure/script_source.h"

namespace velmora {

namespace {

constexpr int kRowsPerFetch = 20;
constexpr int kNameWidth = 30;
// A search condition is a LONG; conditions longer than this cannot be scripted either.
constexpr int kConditionWidth = 32000;
// An index key expression (a LONG) is read up to this many bytes.
constexpr int kExpressionWidth = 4000;

// A statement failure that is an error: 1403 (no data) and 24344 (compiled with errors) are not.
std::string errorText(OracleSession& session, const OracleStatement& statement) {
  if (!statement.failed()) return "";
  int code = 0;
  std::string message = session.lastError(&code);
  if (code == 1403 || code == 24344) return "";
  return message;
}

}  // namespace

OracleDictionaryReader::OracleDictionaryReader(OracleSession& session) : session_(session) {}

OracleDictionaryReader::~OracleDictionaryReader() = default;

std::string OracleDictionaryReader::serverVersion() {
  return session_.serverVersion();
}

StringColumn& OracleDictionaryReader::column(size_t position, int width) {
  std::unique_ptr<StringColumn>& slot = columns_[{position, width}];
  if (!slot) slot = std::make_unique<StringColumn>(width, kRowsPerFetch);
  return *slot;
}

// A lost connection costs one silent reconnect, after which the query runs again from its
// start: `restart` drops the rows of the lost attempt, so that no result is ever a mix.
std::string OracleDictionaryReader::run(const std::string& sql, const Binds& binds,
                                        const std::vector<int>& widths, const RowHandler& onRow,
                                        const std::function<void()>& restart) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    OracleStatement statement(session_);
    statement.prepare(sql);
    for (const auto& [placeholder, value] : binds) statement.bindText(placeholder, value);
    Cells cells;
    for (size_t i = 0; i < widths.size(); ++i) {
      cells.push_back(&column(i, widths[i]));
      statement.defineArray(static_cast<int>(i + 1), *cells.back());
    }
    if (statement.execute()) {
      do {
        for (int row = 0; row < statement.rowsInBatch(); ++row) onRow(cells, row);
      } while (statement.fetchNext());
    }
    std::string message = errorText(session_, statement);
    if (message.empty() || attempt > 0 || !session_.reportError(false, true)) return message;
    restart();
  }
  return "";
}

QueryRows<ColumnRow> OracleDictionaryReader::columns(const std::string& queryText,
                                                     const std::string& owner,
                                                     const std::string& table) {
  QueryRows<ColumnRow> result;
  const std::vector<int> widths = {kNameWidth, 140, 22, 22, 22, 10, 1000, kNameWidth};
  result.error = run(
      queryText, {{":owner", owner}, {":name", table}}, widths,
      [&](const Cells& c, int row) {
        ColumnRow r;
        r.name = c[0]->value(row);
        r.type = c[1]->value(row);
        r.length = c[2]->value(row);
        r.precision = c[3]->value(row);
        r.scale = c[4]->value(row);
        r.nullability = c[5]->value(row);
        StringColumn& defaults = *c[6];
        const int length = defaults.lengths()[row];
        if (!defaults.isNull(row) && length > 0)
          r.defaultText =
              trimTrailingSpace(defaults.value(row).substr(0, static_cast<size_t>(length)));
        r.typeOwner = c[7]->value(row);
        result.rows.push_back(std::move(r));
      },
      [&] { result.rows.clear(); });
  return result;
}

QueryRows<IndexRow> OracleDictionaryReader::indexes(const std::string& owner,
                                                    const std::string& table) {
  QueryRows<IndexRow> result;
  result.error = run(
      kIndexQuery, {{":owner1", owner}, {":owner2", owner}, {":name", table}},
      {kNameWidth, 20, kNameWidth, 50},
      [&](const Cells& c, int row) {
        result.rows.push_back(
            {c[0]->value(row), c[1]->value(row), c[2]->value(row), c[3]->value(row)});
      },
      [&] { result.rows.clear(); });
  if (result.failed()) return result;
  const bool anyHidden = std::any_of(result.rows.begin(), result.rows.end(), [](const IndexRow& r) {
    return isSystemIndexColumn(r.columnName);
  });
  if (anyHidden && serverHasIndexExpressions(serverVersion()))
    result.error = readIndexExpressions(owner, table, result.rows);
  return result;
}

// The rows come by index name and column position, so a row's position is its place among the
// rows of its index. A hidden column without an expression row keeps its name.
std::string OracleDictionaryReader::readIndexExpressions(const std::string& owner,
                                                         const std::string& table,
                                                         std::vector<IndexRow>& rows) {
  std::map<std::pair<std::string, std::string>, std::string> expressions;  // (index, position)
  const std::string error = run(
      kIndexExpressionsQuery, {{":owner1", owner}, {":owner2", owner}, {":name", table}},
      {kNameWidth, 40, 10, kExpressionWidth},
      [&](const Cells& c, int row) {
        expressions[{c[0]->value(row), c[1]->value(row)}] =
            indexExpressionText(c[3]->value(row), c[2]->value(row));
      },
      [&] { expressions.clear(); });
  if (!error.empty()) return error;
  std::string previous;
  int position = 0;
  for (IndexRow& row : rows) {
    position = row.indexName == previous ? position + 1 : 1;
    previous = row.indexName;
    if (!isSystemIndexColumn(row.columnName)) continue;
    auto found = expressions.find({row.indexName, std::to_string(position)});
    if (found != expressions.end()) row.columnName = found->second;
  }
  return "";
}

QueryRows<ConstraintRow> OracleDictionaryReader::constraints(const std::string& owner,
                                                             const std::string& table,
                                                             bool withoutSystemNamed) {
  QueryRows<ConstraintRow> result;
  result.error = run(
      withoutSystemNamed ? kConstraintQueryWithoutSystemNamed : kConstraintQuery,
      {{":owner", owner}, {":name", table}}, {kNameWidth, 2, 10, kConditionWidth},
      [&](const Cells& c, int row) {
        result.rows.push_back(
            {c[0]->value(row), c[1]->value(row), c[2]->value(row), c[3]->value(row)});
      },
      [&] { result.rows.clear(); });
  return result;
}

QueryRows<std::string> OracleDictionaryReader::strings(const std::string& sql, const Binds& binds,
                                                       int width) {
  QueryRows<std::string> result;
  result.error = run(
      sql, binds, {width},
      [&](const Cells& c, int row) { result.rows.push_back(c[0]->value(row)); },
      [&] { result.rows.clear(); });
  return result;
}

QueryRows<std::string> OracleDictionaryReader::constraintColumns(const std::string& owner,
                                                                 const std::string& constraint) {
  return strings(kConstraintColumnsQuery, {{":owner", owner}, {":name", constraint}}, kNameWidth);
}

QueryRows<std::string> OracleDictionaryReader::primaryKeyColumns(const std::string& owner,
                                                                 const std::string& table) {
  return strings(kPrimaryKeyColumnsQuery, {{":owner", owner}, {":name", table}}, kNameWidth);
}

// Bound as given: a table named in mixed case must not be upper-cased.
std::string OracleDictionaryReader::uniqueIndexName(const std::string& owner,
                                                    const std::string& table) {
  QueryRows<std::string> names =
      strings(kUniqueIndexQuery, {{":owner", owner}, {":objname", table}}, kNameWidth);
  return names.rows.empty() ? "" : names.rows.back();
}

bool OracleDictionaryReader::mayHoldRows(const std::string& owner, const std::string& table,
                                         const std::string& nullColumn) {
  std::string sql =
      "select 'x' from " + ddlName(owner) + "." + ddlName(table) + " where rownum = 1";
  if (!nullColumn.empty()) sql += " and " + ddlName(nullColumn) + " is null";
  QueryRows<std::string> rows = strings(sql, {}, 8);
  return !rows.error.empty() || !rows.rows.empty();
}

QueryRows<std::string> OracleDictionaryReader::indexColumns(const std::string& owner,
                                                            const std::string& index) {
  return strings(kIndexColumnsQuery, {{":owner", owner}, {":name", index}}, kNameWidth);
}

QueryRows<TableConstraint> OracleDictionaryReader::tableConstraints(const std::string& sql,
                                                                    const Binds& binds) {
  QueryRows<TableConstraint> result;
  result.error = run(
      sql, binds, {kNameWidth, kNameWidth, kNameWidth, 2},
      [&](const Cells& c, int row) {
        result.rows.push_back(
            {c[0]->value(row), c[1]->value(row), c[2]->value(row), c[3]->value(row)});
      },
      [&] { result.rows.clear(); });
  return result;
}

QueryRows<TableConstraint> OracleDictionaryReader::foreignKeysReferencingTable(
    const std::string& owner, const std::string& table) {
  return tableConstraints(
      "select c.owner, c.table_name, c.constraint_name, c.constraint_type from all_constraints c, "
      "all_constraints p where p.owner = :owner and p.table_name = :name and p.constraint_type in "
      "('P','U') and c.constraint_type = 'R' and c.r_owner = p.owner and c.r_constraint_name = "
      "p.constraint_name order by c.owner, c.table_name, c.constraint_name",
      {{":owner", owner}, {":name", table}});
}

QueryRows<TableConstraint> OracleDictionaryReader::foreignKeysReferencingKey(
    const std::string& owner, const std::string& constraint) {
  return tableConstraints(
      "select owner, table_name, constraint_name, constraint_type from all_constraints where "
      "constraint_type = 'R' and r_owner = :owner and r_constraint_name = :name order by owner, "
      "table_name, constraint_name",
      {{":owner", owner}, {":name", constraint}});
}

QueryRows<TableConstraint> OracleDictionaryReader::constraintsOnColumn(const std::string& owner,
                                                                       const std::string& table,
                                                                       const std::string& column) {
  return tableConstraints(
      "select c.owner, c.table_name, c.constraint_name, c.constraint_type from all_constraints c, "
      "all_cons_columns cc where c.owner = :owner and c.table_name = :name and cc.owner = c.owner "
      "and cc.constraint_name = c.constraint_name and cc.column_name = :objname order by "
      "c.constraint_name",
      {{":owner", owner}, {":name", table}, {":objname", column}});
}

QueryRows<std::string> OracleDictionaryReader::indexesOnColumn(const std::string& owner,
                                                               const std::string& table,
                                                               const std::string& column) {
  QueryRows<std::string> result = strings(
      "select index_name from all_ind_columns where index_owner = :owner and table_name = :name "
      "and column_name = :objname order by index_name",
      {{":owner", owner}, {":name", table}, {":objname", column}}, kNameWidth);
  if (result.failed() || !serverHasIndexExpressions(serverVersion())) return result;
  // A DESC or function-based key names a hidden column in ALL_IND_COLUMNS; its expression
  // names the column, quoted. Dropping the column drops such an index too.
  QueryRows<IndexRow> keys = indexes(owner, table);
  if (keys.failed()) {
    result.error = keys.error;
    return result;
  }
  const std::string quoted = "\"" + column + "\"";
  for (const IndexRow& key : keys.rows) {
    if (key.columnName.find(quoted) == std::string::npos) continue;
    if (std::find(result.rows.begin(), result.rows.end(), key.indexName) == result.rows.end())
      result.rows.push_back(key.indexName);
  }
  return result;
}

}  // namespace velmora
