#include "oracle/catalog.h"

#include <algorithm>
#include <stdexcept>

#include "base/comparison_options.h"
#include "base/report_text.h"
#include "base/report_writer.h"
#include "oracle/oracle_session.h"
#include "oracle/oracle_statement.h"

namespace velmora {

namespace {

constexpr int kListWidth = 60;
constexpr int kListRowsPerFetch = 5;
constexpr int kUserWidth = 30;
constexpr int kUserRowsPerFetch = 20;

struct ObjectType {
  const char* type;
  CandidateKind kind;
};

const ObjectType kObjectTypes[] = {
    {"TRIGGER", CandidateKind::Triggers},     {"FUNCTION", CandidateKind::Functions},
    {"PACKAGE", CandidateKind::Packages},     {"PACKAGE BODY", CandidateKind::PackageBodies},
    {"PROCEDURE", CandidateKind::Procedures}, {"TYPE", CandidateKind::Types},
    {"TYPE BODY", CandidateKind::TypeBodies}, {"VIEW", CandidateKind::Views},
};

std::string lowerAscii(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return text;
}

}  // namespace

const std::vector<std::string>& CatalogState::candidates(CandidateKind kind) const {
  return candidates_[static_cast<size_t>(kind)];
}

void CatalogState::clearCandidates(CandidateKind kind) {
  candidates_[static_cast<size_t>(kind)].clear();
}

void CatalogState::addCandidate(CandidateKind kind, const std::string& name) {
  auto& list = candidates_[static_cast<size_t>(kind)];
  if (std::find(list.begin(), list.end(), name) == list.end()) list.push_back(name);
}

bool isListableObjectType(const std::string& type) {
  return std::any_of(std::begin(kObjectTypes), std::end(kObjectTypes),
                     [&](const ObjectType& t) { return type == t.type; });
}

CandidateKind candidateKindOf(const std::string& objectType) {
  for (const ObjectType& t : kObjectTypes) {
    if (objectType == t.type) return t.kind;
  }
  throw std::invalid_argument("not a listable object type: " + objectType);
}

std::string statementErrorText(OracleSession& session, const OracleStatement& statement) {
  if (statement.noData()) return "";
  int code = 0;
  std::string message = session.lastError(&code);
  return code == 1403 || code == 24344 ? "" : message;
}

Catalog::Catalog(CatalogState& state, ReportWriter* report, const ComparisonOptions* options)
    : state_(state), report_(report), options_(options) {}

void Catalog::writeError(const CatalogSource& source, const std::string& what,
                         const std::string& message) {
  if (report_ == nullptr || message.empty()) return;
  std::string dash = options_ != nullptr ? options_->s_DashComment : "";
  report_->write("\r\n\r\n\r\n" + dash + "The following error ocurred when trying to process " +
                     what + " in database ",
                 ReportColour::Maroon, false, false);
  report_->write(escapeControls(source.displayName),
                 source.database == 1 ? ReportColour::Blue : ReportColour::Red, false, false);
  // Every line of the message stays behind the comment's dashes.
  report_->write("\r\n" + dash + commentLines(dash, message), ReportColour::Maroon, false, true);
}

// Runs a one-column list query and appends its names; a lost connection costs one silent
// reconnect, after which the list is read again from its start (the names of the lost attempt
// are dropped). Returns "" or the Oracle message of the failure.
std::string Catalog::readList(const CatalogSource& source, const std::string& sql,
                              std::vector<std::string>& out,
                              const std::function<bool(const std::string&)>& keep) {
  const size_t start = out.size();
  for (int attempt = 0; attempt < 2; ++attempt) {
    out.resize(start);
    OracleStatement statement(source.session);
    statement.prepare(sql);
    statement.bindText(":owner", source.owner);
    StringColumn names(kListWidth, kListRowsPerFetch);
    statement.defineArray(1, names);
    if (statement.execute()) {
      do {
        for (int row = 0; row < statement.rowsInBatch(); ++row) {
          std::string name = names.value(row);
          if (keep(name)) out.push_back(std::move(name));
        }
      } while (statement.fetchNext());
    }
    if (!statement.failed()) return "";
    std::string message = statementErrorText(source.session, statement);
    if (message.empty()) return "";
    if (attempt == 0 && source.session.reportError(false, true)) continue;
    return message;
  }
  return "";
}

int Catalog::listTables(const CatalogSource& source, bool views, std::vector<std::string>& out) {
  CandidateKind kind = views ? CandidateKind::Views : CandidateKind::Tables;
  int& width = views ? state_.viewWidth : state_.tableWidth;
  if (source.database == 1) state_.clearCandidates(kind);
  const size_t start = out.size();
  const std::string message =
      readList(source,
               std::string("SELECT table_name from all_catalog where owner = :owner ") +
                   (views ? "and table_type = 'VIEW'" : "and table_type = 'TABLE'"),
               out, [](const std::string& name) {
                 return name != "PLAN_TABLE";  // the optimizer's table is never compared
               });
  for (size_t i = start; i < out.size(); ++i) {
    width = std::max(width, static_cast<int>(out[i].size()));
    state_.addCandidate(kind, out[i]);
  }
  if (source.database == 2 && state_.listsRead) state_.listsRead(kind);
  if (message.empty()) return static_cast<int>(out.size() - start);
  writeError(source, views ? "views" : "tables", message);
  return kListFailed;
}

int Catalog::listObjects(const CatalogSource& source, const std::string& type,
                         std::vector<std::string>& out) {
  CandidateKind kind = candidateKindOf(type);
  if (source.database == 1) state_.clearCandidates(kind);
  const size_t start = out.size();
  const std::string message =
      readList(source,
               "select object_name from all_objects where owner = :owner and object_type = '" +
                   type + "' order by object_name",
               out, [](const std::string&) { return true; });
  for (size_t i = start; i < out.size(); ++i) {
    state_.objectWidth = std::max(state_.objectWidth, static_cast<int>(out[i].size()));
    state_.addCandidate(kind, out[i]);
  }
  if (source.database == 2 && state_.listsRead) state_.listsRead(kind);
  if (message.empty()) return static_cast<int>(out.size() - start);
  writeError(source, lowerAscii(type), message);
  return kListFailed;
}

bool Catalog::listUsers(OracleSession& session, std::vector<std::string>& out) {
  out.clear();
  OracleStatement statement(session);
  statement.prepare("SELECT username FROM all_users");
  StringColumn names(kUserWidth, kUserRowsPerFetch);
  statement.defineArray(1, names);
  if (statement.execute()) {
    do {
      for (int row = 0; row < statement.rowsInBatch(); ++row) out.push_back(names.value(row));
    } while (statement.fetchNext());
  }
  if (!statement.failed() || statementErrorText(session, statement).empty()) return true;
  session.reportError(false, false);
  return false;
}

std::string Catalog::queryLines(OracleSession& session, const std::string& sql, int width,
                                std::vector<std::string>& out) {
  OracleStatement statement(session);
  statement.prepare(sql);
  StringColumn lines(width, kListRowsPerFetch);
  statement.defineArray(1, lines);
  if (statement.execute()) {
    do {
      for (int row = 0; row < statement.rowsInBatch(); ++row)
        out.push_back(lines.value(row) + "\r\n");
    } while (statement.fetchNext());
  }
  return statement.failed() ? statementErrorText(session, statement) : "";
}

std::string Catalog::openQuery(std::unique_ptr<OracleStatement>& statement, const std::string& sql,
                               int width) {
  if (width < 0) width = 4000;
  statement->prepare(sql);
  char* buffer = statement->ownBuffer(static_cast<size_t>(width) + 1);
  statement->define(1, buffer, width);
  ExecuteDetails details;  // asking for them keeps the first row unfetched
  if (statement->execute(&details)) return "";
  std::string message = statementErrorText(statement->session(), *statement);
  statement.reset();
  return message;
}

}  // namespace velmora
