#include "structure/upgrade_dependencies.h"

#include <vector>

#include "structure/key_columns.h"

namespace velmora {

namespace {

// The foreign keys that a CASCADE would remove, without the ones already gone. False when one of
// them belongs to another schema: the caller then does not cascade.
bool liveForeignKeys(const std::vector<TableConstraint>& keys, const std::string& owner,
                     const std::string& exceptTable, const ScriptDependencies& dependencies,
                     std::vector<TableConstraint>& live) {
  for (const TableConstraint& key : keys) {
    if (key.owner != owner) return false;
    if (key.table == exceptTable) continue;  // goes with its own table
    if (dependencies.isTableDropped(key.table)) continue;
    if (dependencies.isConstraintDropped(key.table, key.name)) continue;
    live.push_back(key);
  }
  return true;
}

void recordCascaded(const std::vector<TableConstraint>& keys, ScriptDependencies& dependencies) {
  for (const TableConstraint& key : keys)
    dependencies.constraintDroppedByCascade(key.table, key.name);
}

}  // namespace

bool noteTableDrop(DictionaryReader& reader2, const std::string& owner, const std::string& table,
                   ScriptDependencies& dependencies) {
  dependencies.tableDropped(table);
  std::vector<TableConstraint> live;
  if (!liveForeignKeys(reader2.foreignKeysReferencingTable(owner, table).rows, owner, table,
                       dependencies, live))
    return false;
  recordCascaded(live, dependencies);
  return !live.empty();
}

bool noteColumnDrop(DictionaryReader& reader2, const std::string& owner, const std::string& table,
                    const std::string& column, ScriptDependencies& dependencies) {
  bool cascade = false;
  bool foreignSchema = false;
  std::vector<TableConstraint> gone;
  for (const TableConstraint& constraint : reader2.constraintsOnColumn(owner, table, column).rows) {
    if (dependencies.isConstraintDropped(table, constraint.name)) continue;
    gone.push_back(constraint);
    if (reader2.constraintColumns(owner, constraint.name).rows.size() > 1) cascade = true;
    if (constraint.type != "P" && constraint.type != "U") continue;
    std::vector<TableConstraint> live;
    if (!liveForeignKeys(reader2.foreignKeysReferencingKey(owner, constraint.name).rows, owner, "",
                         dependencies, live)) {
      foreignSchema = true;
      continue;
    }
    for (const TableConstraint& key : live) {
      if (key.table == table && key.name == constraint.name) continue;
      gone.push_back(key);
      cascade = true;
    }
  }
  if (foreignSchema) return false;  // written plainly; it fails rather than touch another schema
  recordCascaded(gone, dependencies);
  for (const std::string& index : reader2.indexesOnColumn(owner, table, column).rows)
    dependencies.indexDropped(table, index);
  return cascade;
}

bool noteKeyDrop(DictionaryReader& reader2, const std::string& owner, const std::string& key,
                 ScriptDependencies& dependencies) {
  std::vector<TableConstraint> live;
  if (!liveForeignKeys(reader2.foreignKeysReferencingKey(owner, key).rows, owner, "", dependencies,
                       live))
    return false;
  recordCascaded(live, dependencies);
  return !live.empty();
}

KeyRelease notePrimaryKeyRelease(DictionaryReader& reader2, const std::string& owner,
                                 const std::string& table, const std::string& column,
                                 ScriptDependencies& dependencies) {
  KeyRelease release;
  std::vector<std::string> checks;  // check constraints on the column
  for (const TableConstraint& constraint : reader2.constraintsOnColumn(owner, table, column).rows) {
    if (constraint.type == "P") release.key = constraint.name;
    if (constraint.type == "C") checks.push_back(constraint.name);
  }
  if (release.key.empty()) return release;
  for (const ConstraintRow& row : reader2.constraints(owner, table, false).rows) {
    for (const std::string& check : checks) {
      if (row.name == check && normalizedConstraintText(row.condition) == column + " IS NOT NULL")
        release.ownNotNull = true;
    }
  }
  release.alreadyDropped = dependencies.isConstraintDropped(table, release.key);
  if (release.alreadyDropped) return release;
  release.cascade = noteKeyDrop(reader2, owner, release.key, dependencies);
  dependencies.constraintDroppedByCascade(table, release.key);
  return release;
}

}  // namespace velmora
