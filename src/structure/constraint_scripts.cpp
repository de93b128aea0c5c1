#include "structure/constraint_scripts.h"

#include <algorithm>

#include "base/report_layout.h"
#include "oracle/oracle_text.h"
#include "structure/ddl_format.h"
#include "structure/ddl_text.h"

namespace velmora {

namespace {

// The order in which the generator scripts a table's constraints.
int constraintRank(const std::string& type) {
  if (type == "P") return 1;
  if (type == "U") return 2;
  if (type == "R") return 3;
  if (type == "C") return 4;
  return 5;
}

void appendPart(std::string& text, const std::string& part) {
  std::string trimmed = trimTrailingSpace(part);
  if (trimmed.empty()) return;
  if (!text.empty()) text += "\r\n";
  text += trimmed;
}

// The type of a constraint of Database 1 ("" when it has none of that name on the table).
std::string firstDatabaseType(StructureRun& run, const std::string& table,
                              const std::string& name) {
  if (run.database1.reader == nullptr) return "";
  for (const ConstraintRow& row :
       run.database1.reader->constraints(run.database1.owner, table, false).rows) {
    if (row.name == name) return row.type;
  }
  return "";
}

}  // namespace

std::string scriptOwnConstraints(StructureRun& run, const std::string& table) {
  const std::string& owner = run.database1.owner;
  QueryRows<ConstraintRow> constraints;
  if (run.database1.reader != nullptr)
    constraints = run.database1.reader->constraints(owner, table, false);
  if (run.database1.reader == nullptr || constraints.failed())
    return trimTrailingSpace(run.scripts->scriptConstraints(owner, table));
  std::stable_sort(constraints.rows.begin(), constraints.rows.end(),
                   [](const ConstraintRow& a, const ConstraintRow& b) {
                     return constraintRank(a.type) < constraintRank(b.type);
                   });
  std::string text;
  for (const ConstraintRow& constraint : constraints.rows) {
    if (constraint.type == "R") {
      run.dependencies.deferForeignKey(table, constraint.name);
      continue;
    }
    appendPart(text, run.scripts->scriptConstraint(owner, table, constraint.name));
  }
  return text;
}

std::string scriptNewTable(StructureRun& run, const std::string& table) {
  const std::string& owner = run.database1.owner;
  std::string text = run.scripts->scriptTableAlone(owner, table);
  // Without its CREATE TABLE (none read, or one that cannot be written) the table's keys,
  // indexes and foreign keys would only fail.
  if (trimTrailingSpace(text).empty() || holdsUnwrittenStatement(text)) return text;
  const std::string constraints = scriptOwnConstraints(run, table);
  if (!constraints.empty()) text += constraints + "\r\n";
  const std::string indexes = trimTrailingSpace(run.scripts->scriptIndexes(owner, table, nullptr));
  if (!indexes.empty()) text += indexes + "\r\n";
  return text;
}

void writeDeferredConstraints(StructureRun& run) {
  if (run.scripts == nullptr) return;
  ScriptDependencies& dependencies = run.dependencies;
  std::vector<ScriptDependencies::TableObject> keys;  // constraints other than foreign keys
  if (run.upgrade()) {
    for (const auto& [table, name] : dependencies.cascadedConstraints()) {
      if (isSystemConstraintName(name) || dependencies.isTableDropped(table) ||
          dependencies.isConstraintCreated(table, name))
        continue;
      const std::string type = firstDatabaseType(run, table, name);
      if (type == "R") {
        dependencies.deferForeignKey(table, name);
      } else if (!type.empty()) {
        keys.push_back({table, name});
        dependencies.constraintCreated(table, name);
      }
    }
  }
  std::vector<ScriptDependencies::TableObject> foreignKeys = dependencies.takeDeferredForeignKeys();
  if (keys.empty() && foreignKeys.empty()) return;
  run.out.write(kSectionStart + bannerTop() + run.options.s_StarComment +
                    "The following statements will create the foreign keys, after every table "
                    "and key they reference" +
                    bannerBottom(),
                ReportColour::Green, false, true);
  keys.insert(keys.end(), foreignKeys.begin(), foreignKeys.end());
  for (const auto& [table, name] : keys) {
    dependencies.constraintCreated(table, name);
    std::string ddl =
        trimTrailingSpace(run.scripts->scriptConstraint(run.database1.owner, table, name));
    if (ddl.empty()) continue;
    run.out.write(ddl + "\r\n", ReportColour::Blue, false, true);
  }
}

}  // namespace velmora
