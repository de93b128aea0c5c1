// Catalog: the data-dictionary queries that list what a schema holds (tables, views, stored
// objects, users) and read the source of stored objects, views and triggers, on one
// OracleSession as its logged-on user. The list operations keep the longest-name widths and the
// candidate lists in a CatalogState the run owns, and write their errors into the report; the
// readers return the Oracle message to their callers instead. Used by one thread at a time.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmora {

class OracleSession;
class OracleStatement;
class ReportWriter;
struct ComparisonOptions;

// The kinds that have a candidate list (every name seen in either database, no repeats).
enum class CandidateKind {
  Tables,
  Views,
  Triggers,
  Procedures,
  Functions,
  Packages,
  PackageBodies,
  Types,
  TypeBodies,
};
inline constexpr int kCandidateKindCount = 9;

// What the list operations leave for the report and the selection pages. Owned by the run's
// owner (the report view in the GUI), shared by both databases' catalogs.
class CatalogState {
 public:
  int tableWidth = 0;   // longest table name read
  int viewWidth = 0;    // longest view name read
  int objectWidth = 0;  // longest stored-object name read

  const std::vector<std::string>& candidates(CandidateKind kind) const;
  void clearCandidates(CandidateKind kind);
  void addCandidate(CandidateKind kind, const std::string& name);  // unless present

  // Called after Database 2's list of a kind was read: the selection page refreshes.
  std::function<void(CandidateKind)> listsRead;

 private:
  std::array<std::vector<std::string>, kCandidateKindCount> candidates_;
};

// The database a list is read from.
struct CatalogSource {
  OracleSession& session;
  int database = 1;         // 1 or 2: which candidate list is reset, which colour errors take
  std::string owner;        // the schema whose objects are listed
  std::string displayName;  // names the database in error lines
};

// The stored-object types listObjects accepts ("VIEW" included, for view source).
bool isListableObjectType(const std::string& type);
CandidateKind candidateKindOf(const std::string& objectType);

class Catalog {
 public:
  // report and options may be null: then errors are not written (options give s_DashComment).
  Catalog(CatalogState& state, ReportWriter* report, const ComparisonOptions* options);

  // What the list operations return when the query failed: the error is written into the report
  // and the names read before it are kept, but the list is incomplete and must not be taken for
  // what the schema holds.
  static constexpr int kListFailed = -1;

  // Names of the owner's tables (or views), PLAN_TABLE skipped. Returns how many were read, or
  // kListFailed.
  int listTables(const CatalogSource& source, bool views, std::vector<std::string>& out);
  // Names of the owner's stored objects of one type, in name order; how many, or kListFailed.
  // Throws std::invalid_argument for a type that is not listable (a caller's bug).
  int listObjects(const CatalogSource& source, const std::string& type,
                  std::vector<std::string>& out);
  // Every user name of the database; a failure is reported by the session (message shown) and
  // returns false.
  static bool listUsers(OracleSession& session, std::vector<std::string>& out);

  // Source of a stored object, view ("VIEW name (cols ) AS\n" + text, names written by sqlName;
  // "VIEW name AS\n" + text for a view without columns in the dictionary) or trigger ("TRIGGER "
  // + header + body), as one text or as numbered lines "(n) text\r\n". Returns "" or the Oracle
  // message of any of the queries (never shown here; "" for 1403 and 24344; a trigger that is
  // not found is an error): a text whose read failed must not be used.
  static std::string sourceText(OracleSession& session, const std::string& owner,
                                const std::string& name, const std::string& type,
                                std::string& text);
  static std::string sourceLines(OracleSession& session, const std::string& owner,
                                 const std::string& name, const std::string& type,
                                 std::vector<std::string>& lines);

  // Every row of a one-column query as a line ending "\r\n", 5 rows per fetch.
  static std::string queryLines(OracleSession& session, const std::string& sql, int width,
                                std::vector<std::string>& out);
  // Prepares and executes a one-column query for reading row by row: the statement gets an
  // owned buffer of width + 1 bytes (width < 0 means 4000) defined as position 1, no row is
  // fetched yet. On failure the statement is destroyed and the Oracle message returned.
  static std::string openQuery(std::unique_ptr<OracleStatement>& statement, const std::string& sql,
                               int width);

 private:
  void writeError(const CatalogSource& source, const std::string& what, const std::string& message);
  std::string readList(const CatalogSource& source, const std::string& sql,
                       std::vector<std::string>& out,
                       const std::function<bool(const std::string&)>& keep);

  CatalogState& state_;
  ReportWriter* report_;
  const ComparisonOptions* options_;
};

// The error text of a failed statement: the Oracle message, "" for 1403 and 24344 and for a
// query that simply found no rows.
std::string statementErrorText(OracleSession& session, const OracleStatement& statement);

}  // namespace velmora
