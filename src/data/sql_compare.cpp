#include "data/sql_compare.h"

#include <algorithm>
#include <fstream>

#include "base/report_layout.h"
#include "base/report_text.h"
#include "data/data_cursor.h"
#include "data/data_merge.h"
#include "oracle/database_connection.h"
#include "run/run_context.h"

namespace velmora {

namespace {

void writeStatementError(RunContext& context, DatabaseConnection& database,
                         const std::string& error) {
  ReportWriter& out = context.output();
  const ReportColour colour = database.number() == 1 ? kBlue : kRed;
  out.write(database.number() == 1
                ? "\r\n\r\n\r\nThe following error was received while processing statement "
                : "\r\n\r\n\r\nThe following error was received while processing statement",
            kMaroon);
  out.write(database.number() == 1 ? "in database " : " in database ", kMaroon);
  out.write(escapeControls(database.displayName()) + " :\r\n", colour);
  out.write(escapeControls(error, "\r\n") + "\r\n\r\n", kMaroon, false, kCounted);
  context.errors().record("SQL Compare");
}

}  // namespace

bool prepareSqlCompareStatement(std::string& statement, int database, std::string* message) {
  const auto trim = [&statement] {
    while (!statement.empty() &&
           std::string(" \t\r\n\v\f").find(statement.back()) != std::string::npos)
      statement.pop_back();
  };
  trim();
  if (!statement.empty() && statement.back() == ';') statement.pop_back();
  trim();
  if (!statement.empty()) return true;
  if (message != nullptr) {
    *message = std::string("Please enter a statement to be executed on the ") +
               (database == 1 ? "first" : "second") + " database.";
  }
  return false;
}

bool expandStatementFile(std::string& statement) {
  if (statement.empty() || statement[0] != '@') return true;
  std::string path = statement.substr(1);
  while (!path.empty() && (path.back() == '\r' || path.back() == '\n' || path.back() == ' '))
    path.pop_back();
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string text, line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    text += line + "\n";
  }
  if (in.bad()) return false;
  statement = text;
  return true;
}

void runSqlCompare(RunContext& context, const std::string& statement1,
                   const std::string& statement2) {
  ReportWriter& out = context.output();
  std::string texts[2] = {statement1, statement2};
  for (int i = 0; i < 2; ++i) {
    const bool fromFile = !texts[i].empty() && texts[i][0] == '@';
    if (expandStatementFile(texts[i])) {
      // A file's statement ends as a script's does: its ";" is no part of the select.
      if (fromFile) prepareSqlCompareStatement(texts[i], i + 1, nullptr);
      continue;
    }
    out.write("\r\n\r\n\r\nThe file ", kMaroon);
    out.write(escapeControls(texts[i].substr(1)), i == 0 ? kBlue : kRed);
    out.write(" could not be opened.\r\n\r\n", kMaroon, false, kCounted);
    context.errors().record("SQL Compare");
    return;
  }
  const bool upgrade = context.options().i_DoingUpgradeScript != 0;
  context.host().setTitle(std::string(upgrade ? "Upgrading Data" : "Comparing Data") +
                          " - Velmora for Oracle");
  context.clearSkipRequest();
  context.setSkipAllowed(true);
  DatabaseConnection* db1 = context.database1();
  DatabaseConnection* db2 = context.database2();
  if (db1 == nullptr || db2 == nullptr || db1->session() == nullptr || db2->session() == nullptr) {
    out.write("\r\n\r\n\r\nYou must select 2 database sources before you can begin.\r\n", kMaroon,
              false, kCounted);
    context.errors().record("SQL Compare");
    return;
  }
  preferBinarySort(*db1->session());
  preferBinarySort(*db2->session());
  DataCursor cursor1(*db1->session());
  std::string error = cursor1.openStatement(texts[0]);
  if (!error.empty()) return writeStatementError(context, *db1, error);
  DataCursor cursor2(*db2->session());
  error = cursor2.openStatement(texts[1]);
  if (!error.empty()) return writeStatementError(context, *db2, error);

  DataObject object;
  object.kind = DataObjectKind::Statements;
  object.statement1 = texts[0];
  object.statement2 = texts[1];
  for (const CursorColumn& column : cursor1.columns()) {
    object.columnNames.push_back(column.name);
    object.widths.push_back(column.width);
  }
  // The comparison only reports, whatever the output mode.
  ComparisonOptions options = context.options();
  options.i_DoingUpgradeScript = 0;
  options.s_DashComment.clear();
  options.s_StarComment.clear();
  DataDifferenceWriter writer(out, options, std::move(object));
  MergeHooks hooks;
  hooks.checkpoint = [&context] { context.checkpoint(); };
  hooks.skipRequested = [&context] { return context.skipRequested(); };
  int failedStream = 0;
  MergeEnd end = mergeRows(cursor1, cursor2, 0, options, writer, hooks, &failedStream);
  context.setSkipAllowed(false);
  if (end == MergeEnd::Skipped) {
    context.clearSkipRequest();
    out.write("\r\nStatement Skipped ...", kMaroon, false, kCounted);
    return;
  }
  if (end == MergeEnd::Failed) {
    DataCursor& cursor = failedStream == 1 ? cursor1 : cursor2;
    return writeStatementError(context, failedStream == 1 ? *db1 : *db2, cursor.error());
  }
  if (writer.wroteDifference()) {
    context.differences().add("SQL Compare");
  } else {
    out.write("\r\n\r\n\r\nNo data differences were found. ", kMaroon, false, kCounted);
  }
}

}  // namespace velmora
