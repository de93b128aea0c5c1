#include "source/oracle_code_reader.h"

#include "oracle/database_connection.h"
#include "oracle/oracle_session.h"
#include "oracle/oracle_statement.h"

namespace velmora {

namespace {

constexpr int kNameWidth = 128;
constexpr int kTypeWidth = 30;
constexpr int kRowsPerFetch = 20;

bool isVersion7Or80(const std::string& version) {
  return version == "7" || version == "8.0";
}

}  // namespace

OracleCodeReader::OracleCodeReader(DatabaseConnection& connection, CatalogState& state,
                                   ReportWriter& report, const ComparisonOptions& options)
    : connection_(connection), catalog_(state, &report, &options) {}

bool OracleCodeReader::listObjects(const std::string& oracleType, std::vector<std::string>& names) {
  const int count = connection_.readObjects(catalog_, oracleType);
  names = connection_.objects(oracleType);
  return count != Catalog::kListFailed;
}

std::string OracleCodeReader::sourceText(const std::string& name, const std::string& oracleType,
                                         std::string& text) {
  return Catalog::sourceText(*connection_.session(), connection_.owner(), name, oracleType, text);
}

std::string OracleCodeReader::sourceLines(const std::string& name, const std::string& oracleType,
                                          std::vector<std::string>& lines) {
  return Catalog::sourceLines(*connection_.session(), connection_.owner(), name, oracleType, lines);
}

// BASE_OBJECT_TYPE came with Oracle 8.1: before, a trigger's table may also be a view.
std::string OracleCodeReader::triggerBase(const std::string& name, TriggerBase& base) {
  OracleSession& session = *connection_.session();
  OracleStatement statement(session);
  statement.prepare(std::string("select table_name, ") +
                    (isVersion7Or80(session.serverVersion()) ? "' '" : "base_object_type") +
                    ", status from all_triggers where owner = :owner and trigger_name = :name");
  statement.bindText(":owner", connection_.owner());
  statement.bindText(":name", name);
  StringColumn table(kNameWidth, 1), type(kTypeWidth, 1), status(kTypeWidth, 1);
  statement.defineArray(1, table);
  statement.defineArray(2, type);
  statement.defineArray(3, status);
  bool found = false;
  if (statement.execute() && statement.rowsInBatch() > 0) {
    base.table = table.value(0);
    base.objectType = type.value(0) == " " ? "" : type.value(0);
    base.enabled = status.value(0) != "DISABLED";
    found = true;
  }
  if (statement.failed()) {
    std::string error = statementErrorText(session, statement);
    if (!error.empty()) return error;
  }
  return found ? "" : "the trigger " + name + " was not found";
}

DependencyRead OracleCodeReader::dependencies(std::vector<Dependency>& out, std::string& error) {
  OracleSession& session = *connection_.session();
  OracleStatement statement(session);
  statement.prepare(
      "select name, type, referenced_name, referenced_type from all_dependencies where owner = "
      ":owner and referenced_owner = :owner");
  statement.bindText(":owner", connection_.owner());
  StringColumn name(kNameWidth, kRowsPerFetch), type(kTypeWidth, kRowsPerFetch),
      referencedName(kNameWidth, kRowsPerFetch), referencedType(kTypeWidth, kRowsPerFetch);
  statement.defineArray(1, name);
  statement.defineArray(2, type);
  statement.defineArray(3, referencedName);
  statement.defineArray(4, referencedType);
  out.clear();
  error.clear();
  if (statement.execute()) {
    do {
      for (int row = 0; row < statement.rowsInBatch(); ++row)
        out.push_back({name.value(row), type.value(row), referencedName.value(row),
                       referencedType.value(row)});
    } while (statement.fetchNext());
  }
  if (!statement.failed()) return DependencyRead::Read;
  int code = 0;
  error = session.lastError(&code);
  if (code == 1403 || code == 24344) {
    error.clear();
    return DependencyRead::Read;
  }
  return code == 942 ? DependencyRead::Unavailable : DependencyRead::Failed;
}

}  // namespace velmora
