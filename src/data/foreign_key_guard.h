// The foreign keys that the data statements of an upgrade script would trip over: an INSERT of a
// child row before its parent's, a DELETE of a parent row before its children's, rows of a
// table that references itself. The script disables, before its first data statement, every
// enabled foreign key of the common tables that Database 2 will hold at that point (its own,
// less those the script dropped, plus those the script created from Database 1), and enables
// them again after the last one, which checks every row. Used on the run's worker thread.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "base/comparison_options.h"
#include "base/report_writer.h"
#include "base/work_lists.h"

namespace velmora {

class OracleSession;
class ScriptDependencies;

class ForeignKeyGuard {
 public:
  using Key = std::pair<std::string, std::string>;  // table, constraint

  // Reads the enabled foreign keys of both schemas. False with *error when a list could not be
  // read (the caller then writes no data statement).
  // newTables: the tables the script creates (filled by INSERTs of all their rows). Without
  // session2 (the script of Database 1) every enabled foreign key of the new tables counts.
  bool read(OracleSession& session1, const std::string& owner1, OracleSession* session2,
            const std::string& owner2, const std::vector<CommonTable>& tables,
            const std::vector<std::string>& newTables, const ScriptDependencies& dependencies,
            std::string* error);

  // For tests: the keys as read.
  void setKeys(std::vector<Key> keys) { keys_ = std::move(keys); }
  const std::vector<Key>& keys() const { return keys_; }

  // The DISABLE statements, once, before the first data statement; the ENABLE statements at the
  // end of the data phase when the DISABLE ones were written.
  void disable(ReportWriter& out, const ComparisonOptions& options);
  void enable(ReportWriter& out, const ComparisonOptions& options);
  bool disabled() const { return disabled_; }

 private:
  std::vector<Key> keys_;
  bool disabled_ = false;
};

// Enabled foreign keys of a schema: (table, constraint), read with the session.
bool readEnabledForeignKeys(OracleSession& session, const std::string& owner,
                            std::vector<ForeignKeyGuard::Key>* keys, std::string* error);

}  // namespace velmora
