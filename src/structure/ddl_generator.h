// DdlGenerator: the creation DDL of Database 1's tables, constraints and indexes (CREATE TABLE
// with storage, ALTER TABLE ... ADD ( CONSTRAINT ... ), CREATE [UNIQUE] INDEX). The text is
// built on the client from the same dictionary views a server-side block would read, line by
// line as that block would print it through DBMS_OUTPUT and as readServerOutput returns it (each
// line right-trimmed and followed by CR LF, blank lines dropped), so no PL/SQL runs on the
// server. Every statement it writes runs as written: foreign keys keep their delete rule, keys
// of other schemas are named with their owner, clauses the dictionary has no value for are
// left out. A dictionary query that fails is reported by the session (message box) and the
// object concerned gives no text. Used on the run's worker thread with the session of
// Database 1; borrows the session, the settings and the options.
#pragma once

#include <string>
#include <vector>

namespace velmora {

class OracleSession;
class SettingsStore;
struct ComparisonOptions;

class DdlGenerator {
 public:
  // "InclPct" and "InclStorage" are read from settings at each call ("Y" only counts when it is
  // exactly "Y"); the output mode decides whether scriptTable appends the table's constraints
  // and indexes (not in mode 2).
  DdlGenerator(OracleSession& session, SettingsStore& settings, const ComparisonOptions& options);

  // CREATE TABLE with its columns and storage; in the comparison and upgrade modes followed by
  // the table's constraints and indexes. "" + CR LF when the table does not exist.
  std::string scriptTable(const std::string& owner, const std::string& table);
  // CREATE TABLE alone, whatever the mode.
  std::string scriptTableAlone(const std::string& owner, const std::string& table);
  // One ALTER TABLE ... ADD ( ... ) per constraint of the table (primary key, unique, foreign
  // keys, checks, others), system-named NOT NULL checks left out.
  std::string scriptConstraints(const std::string& owner, const std::string& table);
  // The same for one named constraint.
  std::string scriptConstraint(const std::string& owner, const std::string& table,
                               const std::string& constraint);
  // CREATE [UNIQUE] INDEX for the indexes of the table that do not back a primary or unique
  // key: all of them when indexNames is null, else only the named ones (none for an empty list).
  std::string scriptIndexes(const std::string& owner, const std::string& table,
                            const std::vector<std::string>* indexNames = nullptr);

 private:
  std::string constraintsText(const std::string& owner, const std::string& table,
                              const std::string* constraintName);

  OracleSession& session_;
  SettingsStore& settings_;
  const ComparisonOptions& options_;
};

}  // namespace velmora
