// The rows of global temporary tables: one store per session and table, made at the session's
// first use of the table with the index structures of the table's own (empty) TableData, which
// every DDL keeps up to date. They live in memory only: the storage never sees them.
#include "engine/exec/database.h"

#include <algorithm>

namespace ocisim {
namespace {

void copyIndexes(const TableData& from, TableData& to) {
  to.dropAllIndexes();
  for (const auto& index : from.indexes()) {
    to.createIndex(index->name(), index->keyColumns(), index->descending());
  }
}

}  // namespace

std::shared_ptr<TableData> Database::temporaryRows(const Table& table, uint64_t sessionId) {
  TemporaryRows& rows = temporaryRows_[{table.header.objectId, sessionId}];
  const TableData& base = *table.data;
  rows.deleteOnCommit = !table.onCommitPreserve;
  if (rows.data && rows.base == &base && rows.baseEpoch == base.structureEpoch()) return rows.data;
  if (rows.data && rows.data->columnCount() == base.columnCount()) {
    // The indexes changed (another process's DDL; this one's waits until no session has rows).
    copyIndexes(base, *rows.data);
  } else {
    rows.data = std::make_shared<TableData>(base.columnCount());
    copyIndexes(base, *rows.data);
  }
  rows.base = &base;
  rows.baseEpoch = base.structureEpoch();
  return rows.data;
}

bool Database::temporaryTableInUse(ObjectId tableId) const {
  for (auto it = temporaryRows_.lower_bound({tableId, 0});
       it != temporaryRows_.end() && it->first.first == tableId; ++it) {
    if (it->second.data && it->second.data->rowCount() > 0) return true;
  }
  return false;
}

void Database::endTemporaryTransaction(uint64_t sessionId) {
  for (auto& [key, rows] : temporaryRows_) {
    if (key.second == sessionId && rows.deleteOnCommit && rows.data && rows.data->rowCount() > 0) {
      rows.data->clear();
    }
  }
}

void Database::releaseTemporaryRows(uint64_t sessionId) {
  std::erase_if(temporaryRows_, [&](const auto& entry) { return entry.first.second == sessionId; });
}

void Database::forgetTemporaryRows(ObjectId tableId) {
  std::erase_if(temporaryRows_, [&](const auto& entry) { return entry.first.first == tableId; });
}

}  // namespace ocisim
