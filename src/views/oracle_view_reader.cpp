#include "views/oracle_view_reader.h"

#include "oracle/database_connection.h"
#include "oracle/oracle_session.h"
#include "oracle/oracle_statement.h"

namespace velmora {

namespace {

constexpr int kRowsPerFetch = 20;

}  // namespace

OracleViewReader::OracleViewReader(DatabaseConnection& connection, CatalogState& state,
                                   ReportWriter& report, const ComparisonOptions& options)
    : connection_(connection), catalog_(state, &report, &options) {}

std::string OracleViewReader::serverVersion() {
  return connection_.session()->serverVersion();
}

bool OracleViewReader::listViews(std::vector<std::string>& names) {
  const int count = connection_.readTables(catalog_, true);
  names = connection_.views();
  return count != Catalog::kListFailed;
}

// Items fetched 20 rows at a time with widths 30, 140, 22, 22, 22, 10 and 30; names
// get 128, as Oracle's identifiers may be that long from 12.2 on.
std::string OracleViewReader::columns(const std::string& queryText, const std::string& view,
                                      std::vector<ViewColumnRow>& rows) {
  OracleSession& session = *connection_.session();
  OracleStatement statement(session);
  statement.prepare(queryText);
  statement.bindText(":owner", connection_.owner());
  statement.bindText(":name", view);
  const int widths[] = {128, 140, 22, 22, 22, 10, 128};
  std::vector<std::unique_ptr<StringColumn>> cells;
  for (int i = 0; i < 7; ++i) {
    cells.push_back(std::make_unique<StringColumn>(widths[i], kRowsPerFetch));
    statement.defineArray(i + 1, *cells.back());
  }
  if (statement.execute()) {
    do {
      for (int row = 0; row < statement.rowsInBatch(); ++row)
        rows.push_back({cells[0]->value(row), cells[1]->value(row), cells[2]->value(row),
                        cells[6]->value(row)});
    } while (statement.fetchNext());
  }
  return statement.failed() ? statementErrorText(session, statement) : "";
}

}  // namespace velmora
