// Catalog: the source readers. Views are composed from their column list and their LONG text,
// triggers from a header computed from ALL_TRIGGERS and their LONG body, everything else is read
// line by line from ALL_SOURCE.
#include "oracle/catalog.h"
#include "oracle/oracle_session.h"
#include "oracle/oracle_statement.h"
#include "oracle/oracle_text.h"

namespace velmora {

namespace {

constexpr int kColumnWidth = 30;
constexpr int kSourceWidth = 4020;
constexpr int kRowsPerFetch = 20;
// The header joins the name, the event (227), the table, the referencing names (128) and the WHEN
// clause (4000).
constexpr int kTriggerHeaderWidth = 4600;
constexpr int kTriggerColumnWidth = 4000;

const char* const kTriggerHeaderSql =
    "select '\"' || trigger_name || '\" ' || decode( substr( trigger_type, 1, 1 ),'A', 'AFTER', "
    "'B', 'BEFORE', 'I', 'INSTEAD OF' ) ||chr(10) ||triggering_event || chr(10) ||' ON \"' "
    "||table_name || '\"' || decode(referencing_names,null,'','REFERENCING NEW AS NEW OLD AS "
    "OLD','',chr(10)||referencing_names) || chr(10) ||decode( instr( trigger_type, 'EACH ROW' ), "
    "0, null,'FOR EACH ROW' ) || chr(10) || decode(when_clause,null,'',' WHEN ('||when_clause ) "
    "from all_triggers where owner = :owner and trigger_name = :objname";

bool isBlank(const std::string& text, size_t from) {
  return trimTrailingSpace(text.substr(from)).empty();
}

// Removes trailing lines that are empty or blank, then ends the text with exactly one "\n".
std::string endWithOneLineFeed(std::string text) {
  for (;;) {
    size_t lastFeed = text.rfind('\n');
    if (lastFeed == std::string::npos) {
      if (isBlank(text, 0)) text.clear();
      break;
    }
    if (!isBlank(text, lastFeed + 1)) break;
    text.erase(lastFeed);
  }
  return text + "\n";
}

// "VIEW name (A, B ) AS\n" + text; returns the error text of either query. Names are written as a
// statement needs them (sqlName), so that a lower-case column is quoted; a view without columns in
// the dictionary (one that does not compile) gets no column list: "VIEW name AS\n" + text.
std::string viewText(OracleSession& session, const std::string& owner, const std::string& name,
                     std::string& text) {
  OracleStatement statement(session);
  statement.prepare(
      "select column_name from all_tab_columns where owner = :owner and table_name = :name "
      "order by column_id asc");
  statement.bindText(":owner", owner);
  statement.bindText(":name", name);
  StringColumn columns(kColumnWidth, kRowsPerFetch);
  statement.defineArray(1, columns);
  std::string list, error;
  if (statement.execute()) {
    do {
      for (int row = 0; row < statement.rowsInBatch(); ++row)
        list += (list.empty() ? "" : ", ") + sqlName(columns.value(row));
    } while (statement.fetchNext());
  }
  if (statement.failed()) error = statementErrorText(session, statement);
  text = "VIEW " + sqlName(name) + (list.empty() ? " AS\n" : " (" + list + " ) AS\n");
  std::string longError;
  text += session.readLong("SELECT text FROM all_views WHERE owner = :bind1 and view_name= :bind2",
                           owner, name, &longError);
  return error.empty() ? longError : error;
}

// The columns of UPDATE OF, joined by ", " ("" when there are none or the server has no
// ALL_TRIGGER_COLS); the Oracle message of another failure in *error.
std::string updateColumns(OracleSession& session, const std::string& owner, const std::string& name,
                          std::string* error) {
  OracleStatement statement(session);
  statement.prepare(
      "select column_name from all_trigger_cols where trigger_owner = :owner and trigger_name = "
      ":name and column_list = 'YES' order by column_name");
  statement.bindText(":owner", owner);
  statement.bindText(":name", name);
  StringColumn columns(kTriggerColumnWidth, kRowsPerFetch);
  statement.defineArray(1, columns);
  std::string list;
  if (statement.execute()) {
    do {
      for (int row = 0; row < statement.rowsInBatch(); ++row)
        list += (list.empty() ? "" : ", ") + sqlName(columns.value(row));
    } while (statement.fetchNext());
  }
  if (!statement.failed() || statement.noData()) return list;
  int code = 0;
  const std::string message = session.lastError(&code);
  if (code != 942 && code != 1403 && code != 24344) *error = message;
  return "";
}

// The trigger header names only the events, so UPDATE OF c1, c2 would come back as UPDATE and a
// trigger created from it would fire on every update: the columns go back into the event line.
void addUpdateColumns(std::string& header, const std::string& columns) {
  const size_t eventStart = header.find('\n');
  if (columns.empty() || eventStart == std::string::npos) return;
  const size_t eventEnd = header.find('\n', eventStart + 1);
  const size_t update = header.find("UPDATE", eventStart + 1);
  if (update == std::string::npos || (eventEnd != std::string::npos && update > eventEnd)) return;
  header.insert(update + 6, " OF " + columns);
}

// The header (computed from ALL_TRIGGERS, names bound exactly as they are) and the LONG body.
std::string triggerText(OracleSession& session, const std::string& owner, const std::string& name,
                        std::string& text) {
  OracleStatement statement(session);
  statement.prepare(kTriggerHeaderSql);
  statement.bindText(":owner", owner);
  statement.bindText(":objname", name);
  StringColumn value(kTriggerHeaderWidth, 1);
  statement.defineArray(1, value);
  std::string header;
  bool found = false;
  if (statement.execute()) {
    do {
      if (statement.rowsInBatch() > 0) {
        header = value.value(statement.rowsInBatch() - 1);
        found = true;
      }
    } while (statement.fetchNext());
  }
  if (statement.failed()) {
    std::string error = statementErrorText(session, statement);
    if (!error.empty()) return error;
  }
  if (!found) return "the trigger " + name + " was not found";
  std::string columnsError;
  addUpdateColumns(header, updateColumns(session, owner, name, &columnsError));
  if (!columnsError.empty()) return columnsError;
  if (header.find(" WHEN (") != std::string::npos) header += ")";
  text = endWithOneLineFeed("TRIGGER " + header);
  std::string error;
  text += session.readLong(
      "SELECT trigger_body FROM all_triggers WHERE owner=:bind1 and trigger_name=:bind2", owner,
      name, &error);
  return error;
}

// Lines of ALL_SOURCE, trailing white space trimmed and "\r\n" added, numbered by the query in
// the line-list form.
std::string storedSource(OracleSession& session, const std::string& owner, const std::string& name,
                         const std::string& type, bool numbered, std::vector<std::string>& lines) {
  OracleStatement statement(session);
  statement.prepare(std::string(numbered ? "select '(' || line || ') ' || text" : "select text") +
                    " from all_source where owner = :owner and name = :name and type = :type "
                    "order by line asc");
  statement.bindText(":owner", owner);
  statement.bindText(":name", name);
  statement.bindText(":type", type);
  StringColumn text(kSourceWidth, kRowsPerFetch);
  statement.defineArray(1, text);
  if (statement.execute()) {
    do {
      for (int row = 0; row < statement.rowsInBatch(); ++row)
        lines.push_back(trimTrailingSpace(text.value(row)) + "\r\n");
    } while (statement.fetchNext());
  }
  return statement.failed() ? statementErrorText(session, statement) : "";
}

// A composed text as numbered lines: "(1) first\r\n", ..., the piece after the last "\n" too.
void numberLines(const std::string& text, std::vector<std::string>& lines) {
  size_t start = 0;
  for (int number = 1;; ++number) {
    size_t feed = text.find('\n', start);
    std::string piece = text.substr(start, feed == std::string::npos ? feed : feed - start);
    lines.push_back("(" + std::to_string(number) + ") " + piece + "\r\n");
    if (feed == std::string::npos) break;
    start = feed + 1;
  }
}

}  // namespace

std::string Catalog::sourceText(OracleSession& session, const std::string& owner,
                                const std::string& name, const std::string& type,
                                std::string& text) {
  std::string kind = toUpperAscii(type);
  text.clear();
  if (kind == "VIEW") return viewText(session, owner, name, text);
  if (kind == "TRIGGER") return triggerText(session, owner, name, text);
  std::vector<std::string> lines;
  std::string error = storedSource(session, owner, name, kind, false, lines);
  for (const std::string& line : lines) text += line;
  return error;
}

std::string Catalog::sourceLines(OracleSession& session, const std::string& owner,
                                 const std::string& name, const std::string& type,
                                 std::vector<std::string>& lines) {
  std::string kind = toUpperAscii(type);
  lines.clear();
  if (kind == "VIEW" || kind == "TRIGGER") {
    std::string text;
    std::string error = sourceText(session, owner, name, kind, text);
    numberLines(text, lines);
    return error;
  }
  return storedSource(session, owner, name, kind, true, lines);
}

}  // namespace velmora
