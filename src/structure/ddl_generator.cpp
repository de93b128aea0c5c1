#include "structure/ddl_generator.h"

#include <algorithm>
#include <optional>

#include "base/comparison_options.h"
#include "config/registry_settings.h"
#include "oracle/oracle_text.h"
#include "structure/ddl_format.h"
#include "structure/ddl_reader.h"
#include "structure/ddl_text.h"

namespace velmora {

namespace {

constexpr const char* kLineEnd = "\r\n";

// "InclPct" and "InclStorage" as they are now.
DdlSwitches readSwitches(SettingsStore& settings) {
  UserSettings user(settings);
  DdlSwitches result;
  result.pct = user.includePctClauses();
  result.storage = user.includeStorageClauses();
  return result;
}

// Appends a part of scriptTable: cut of trailing white space, then a line end when not empty.
void appendPart(std::string& text, const std::string& part) {
  std::string trimmed = trimTrailingSpace(part);
  if (trimmed.empty()) return;
  text += trimmed;
  text += kLineEnd;
}

}  // namespace

DdlGenerator::DdlGenerator(OracleSession& session, SettingsStore& settings,
                           const ComparisonOptions& options)
    : session_(session), settings_(settings), options_(options) {}

std::string DdlGenerator::scriptTableAlone(const std::string& owner, const std::string& table) {
  DdlSwitches switches = readSwitches(settings_);
  DdlDictionaryReader reader(session_);
  std::optional<TableFacts> facts;
  // Tables of SYS are never scripted.
  if (owner == "SYS" || !reader.readTable(owner, table, &facts) || !facts) return kLineEnd;
  std::vector<ColumnFacts> columns;
  if (!reader.readColumns(*facts, &columns) || columns.empty()) return kLineEnd;
  return ddlOutputText(formatCreateTable(*facts, columns, switches)) + kLineEnd;
}

std::string DdlGenerator::scriptTable(const std::string& owner, const std::string& table) {
  std::string text = scriptTableAlone(owner, table);
  // Without its CREATE TABLE (none read, or one that cannot be written), ALTER TABLE and CREATE
  // INDEX statements would only fail.
  if (options_.i_DoingUpgradeScript == 2 || text == kLineEnd || holdsUnwrittenStatement(text))
    return text;
  appendPart(text, scriptConstraints(owner, table));
  appendPart(text, scriptIndexes(owner, table));
  return text;
}

std::string DdlGenerator::constraintsText(const std::string& owner, const std::string& table,
                                          const std::string* constraintName) {
  DdlSwitches switches = readSwitches(settings_);
  DdlDictionaryReader reader(session_);
  std::optional<TableFacts> facts;
  if (!reader.readTable(owner, table, &facts) || !facts) return "";
  std::vector<ConstraintFacts> constraints;
  if (!reader.readConstraints(*facts, constraintName, &constraints)) return "";
  std::vector<std::string> lines;
  for (const ConstraintFacts& constraint : constraints) {
    std::vector<std::string> more = formatConstraint(*facts, constraint, switches);
    lines.insert(lines.end(), more.begin(), more.end());
  }
  return ddlOutputText(lines);
}

std::string DdlGenerator::scriptConstraints(const std::string& owner, const std::string& table) {
  return constraintsText(owner, table, nullptr) + kLineEnd;
}

std::string DdlGenerator::scriptConstraint(const std::string& owner, const std::string& table,
                                           const std::string& constraint) {
  return constraintsText(owner, table, &constraint) + kLineEnd;
}

std::string DdlGenerator::scriptIndexes(const std::string& owner, const std::string& table,
                                        const std::vector<std::string>* indexNames) {
  if (indexNames != nullptr && indexNames->empty()) return kLineEnd;
  DdlSwitches switches = readSwitches(settings_);
  DdlDictionaryReader reader(session_);
  std::optional<TableFacts> facts;
  if (!reader.readTable(owner, table, &facts) || !facts) return kLineEnd;
  std::vector<IndexFacts> indexes;
  std::vector<std::string> keyNames;
  if (!reader.readIndexes(*facts, true, &indexes) ||
      !reader.readKeyConstraintNames(*facts, &keyNames))
    return kLineEnd;
  auto listed = [](const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
  };
  std::vector<std::string> lines;
  for (const IndexFacts& index : indexes) {
    // The index of a primary or unique key comes with its constraint (USING INDEX).
    if (listed(keyNames, index.name)) continue;
    if (indexNames != nullptr && !listed(*indexNames, index.name)) continue;
    std::vector<std::string> more = formatIndex(facts->name, index, switches);
    lines.insert(lines.end(), more.begin(), more.end());
  }
  return ddlOutputText(lines) + kLineEnd;
}

}  // namespace velmora
