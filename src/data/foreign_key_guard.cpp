#include "data/foreign_key_guard.h"

#include <algorithm>
#include <set>

#include "base/report_layout.h"
#include "data/data_cursor.h"
#include "structure/ddl_text.h"
#include "structure/script_dependencies.h"

namespace velmora {

bool readEnabledForeignKeys(OracleSession& session, const std::string& owner,
                            std::vector<ForeignKeyGuard::Key>* keys, std::string* error) {
  std::string quoted;
  for (char c : owner) {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  DataCursor cursor(session);
  std::string failure = cursor.openStatement(
      "select table_name, constraint_name from all_constraints where owner = '" + quoted +
      "' and constraint_type = 'R' and status = 'ENABLED' order by table_name, constraint_name");
  DataRow row;
  while (failure.empty() && cursor.next(row)) {
    if (row.size() >= 2) keys->push_back({row[0].text, row[1].text});
  }
  if (failure.empty()) failure = cursor.error();
  if (failure.empty()) return true;
  *error = failure;
  return false;
}

bool ForeignKeyGuard::read(OracleSession& session1, const std::string& owner1,
                           OracleSession* session2, const std::string& owner2,
                           const std::vector<CommonTable>& tables,
                           const std::vector<std::string>& newTables,
                           const ScriptDependencies& dependencies, std::string* error) {
  std::vector<Key> first, second;
  if (session2 != nullptr && !readEnabledForeignKeys(*session2, owner2, &second, error))
    return false;
  if (!readEnabledForeignKeys(session1, owner1, &first, error)) return false;
  std::set<std::string> common1, common2;
  for (const CommonTable& table : tables) {
    common1.insert(table.firstName);
    common2.insert(table.secondName);
  }
  std::set<Key> seen;
  keys_.clear();
  for (const Key& key : second) {
    if (common2.count(key.first) == 0 || dependencies.isTableDropped(key.first) ||
        dependencies.isConstraintDropped(key.first, key.second))
      continue;
    if (seen.insert(key).second) keys_.push_back(key);
  }
  const std::set<std::string> created(newTables.begin(), newTables.end());
  for (const Key& key : first) {
    const bool isNew = created.count(key.first) != 0;
    if (!isNew && common1.count(key.first) == 0) continue;
    if (session2 != nullptr && !dependencies.isConstraintCreated(key.first, key.second)) continue;
    if (seen.insert(key).second) keys_.push_back(key);
  }
  // A name a line-based script cannot hold is left alone.
  keys_.erase(std::remove_if(keys_.begin(), keys_.end(),
                             [](const Key& key) {
                               return !unwritableNamesReason({key.first, key.second}).empty();
                             }),
              keys_.end());
  return true;
}

void ForeignKeyGuard::disable(ReportWriter& out, const ComparisonOptions& options) {
  if (disabled_ || keys_.empty()) return;
  disabled_ = true;
  out.write("\r\n\r\n\r\n" + options.s_DashComment +
                "The following statements disable the foreign keys while the data changes; "
                "they are enabled again after the data statements.\r\n",
            kGreen, false, kCounted);
  for (const Key& key : keys_) {
    out.write("ALTER TABLE " + ddlName(key.first) + " DISABLE CONSTRAINT " + ddlName(key.second) +
                  ";\r\n",
              kBlack, false, kCounted);
  }
}

void ForeignKeyGuard::enable(ReportWriter& out, const ComparisonOptions& options) {
  if (!disabled_) return;
  disabled_ = false;
  out.write("\r\n\r\n\r\n" + options.s_DashComment +
                "The following statements enable the foreign keys again (they check every "
                "row).\r\n",
            kGreen, false, kCounted);
  for (const Key& key : keys_) {
    out.write(
        "ALTER TABLE " + ddlName(key.first) + " ENABLE CONSTRAINT " + ddlName(key.second) + ";\r\n",
        kBlack, false, kCounted);
  }
}

}  // namespace velmora
