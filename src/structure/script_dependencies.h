// ScriptDependencies: what the statements already written into an upgrade script have done to
// Database 2 beyond their own object, so that later statements stay runnable: tables dropped,
// constraints and indexes that went with a dropped table, column or key (CASCADE), and the
// foreign keys whose creation waits until every table and key they may reference exists.
// One per run (cleared with the work lists); written and read by the table phases in order on
// the run's worker thread.
#pragma once

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace velmora {

class ScriptDependencies {
 public:
  using TableObject = std::pair<std::string, std::string>;  // table, constraint or index name

  void clear() { *this = ScriptDependencies(); }

  // A DROP TABLE was written for a table of Database 2.
  void tableDropped(const std::string& table) { droppedTables_.insert(table); }
  bool isTableDropped(const std::string& table) const { return droppedTables_.count(table) != 0; }

  // A constraint of Database 2 is gone: dropped by its own statement or by a CASCADE.
  void constraintDropped(const std::string& table, const std::string& name) {
    droppedConstraints_.insert({table, name});
  }
  bool isConstraintDropped(const std::string& table, const std::string& name) const {
    return droppedConstraints_.count({table, name}) != 0;
  }
  // A constraint that went with another statement (not its own DROP); it must be created again
  // when Database 1 has it and nothing else re-creates it.
  void constraintDroppedByCascade(const std::string& table, const std::string& name) {
    constraintDropped(table, name);
    cascaded_.push_back({table, name});
  }
  const std::vector<TableObject>& cascadedConstraints() const { return cascaded_; }

  // A constraint of Database 1 was created (or re-created) by the script.
  void constraintCreated(const std::string& table, const std::string& name) {
    createdConstraints_.insert({table, name});
  }
  bool isConstraintCreated(const std::string& table, const std::string& name) const {
    return createdConstraints_.count({table, name}) != 0 || isForeignKeyDeferred(table, name);
  }

  // An index of Database 2 is gone: dropped by its own statement or with a dropped column.
  void indexDropped(const std::string& table, const std::string& name) {
    droppedIndexes_.insert({table, name});
  }
  bool isIndexDropped(const std::string& table, const std::string& name) const {
    return droppedIndexes_.count({table, name}) != 0;
  }

  // Foreign keys of Database 1 to be created after every table and key exists. Each is added
  // once; the order of first addition is kept.
  void deferForeignKey(const std::string& table, const std::string& name) {
    if (deferredSet_.insert({table, name}).second) deferred_.push_back({table, name});
  }
  bool isForeignKeyDeferred(const std::string& table, const std::string& name) const {
    return deferredSet_.count({table, name}) != 0;
  }
  // Hands over the deferred keys and forgets them.
  std::vector<TableObject> takeDeferredForeignKeys() {
    std::vector<TableObject> keys = std::move(deferred_);
    deferred_.clear();
    deferredSet_.clear();
    return keys;
  }
  bool hasDeferredForeignKeys() const { return !deferred_.empty(); }

  // Columns of Database 1 that are NOT NULL but were added (or left) nullable, because rows of
  // Database 2 have no value for them until the data statements fill them: the data phase sets
  // NOT NULL after its statements. Each is added once, in order.
  void deferNotNull(const std::string& table, const std::string& column) {
    if (std::find(notNull_.begin(), notNull_.end(), TableObject{table, column}) == notNull_.end())
      notNull_.push_back({table, column});
  }
  // Hands over the deferred columns and forgets them.
  std::vector<TableObject> takeDeferredNotNulls() {
    std::vector<TableObject> columns = std::move(notNull_);
    notNull_.clear();
    return columns;
  }

 private:
  std::set<std::string> droppedTables_;
  std::set<TableObject> droppedConstraints_;
  std::vector<TableObject> cascaded_;
  std::set<TableObject> createdConstraints_;
  std::set<TableObject> droppedIndexes_;
  std::vector<TableObject> deferred_;
  std::vector<TableObject> notNull_;
  std::set<TableObject> deferredSet_;
};

}  // namespace velmora
