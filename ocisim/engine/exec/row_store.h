// Row storage of one table: rows of Values in fixed slots (RowId), kept in chunks so that a
// million rows never need one huge reallocation, plus the table's ordered indexes. A TableData
// is owned through std::shared_ptr by its catalog Table and by open cursors, so a dropped table
// stays readable for a cursor that still scans it. Not thread-safe: the Database serialises.
//
// No constraint is checked here: the executor checks NOT NULL, keys and foreign keys and undoes
// a failed statement through its UndoLog. Every change bumps changeCount() so that a streaming
// index scan knows it must re-seek; every change of the index structures or of the row shape
// (an index created, dropped or rebuilt, a column added or dropped) bumps structureEpoch(), so
// that an open cursor never follows a freed index or reads a row of another width.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/value/value.h"

namespace ocisim {

using RowId = uint64_t;
using Row = std::vector<Value>;

class TableData;

// A key probe for index searches: values for the first n key columns (already converted to the
// column types). bias < 0 places the probe before every entry with an equal prefix, bias > 0
// after them, so lower_bound gives either end of the equal range.
struct KeyProbe {
  const std::vector<Value>* values = nullptr;
  int bias = -1;
};

class TableIndex {
 public:
  struct EntryLess {
    using is_transparent = void;
    const TableIndex* index = nullptr;
    bool operator()(RowId a, RowId b) const;
    bool operator()(RowId a, const KeyProbe& p) const;
    bool operator()(const KeyProbe& p, RowId a) const;
  };
  using EntrySet = std::set<RowId, EntryLess>;
  using Iterator = EntrySet::const_iterator;

  TableIndex(const TableData& data, std::string name, std::vector<int> keyColumns,
             std::vector<bool> descending);
  TableIndex(const TableIndex&) = delete;
  TableIndex& operator=(const TableIndex&) = delete;

  const std::string& name() const { return name_; }
  const std::vector<int>& keyColumns() const { return keyColumns_; }
  const std::vector<bool>& descending() const { return descending_; }
  size_t size() const { return entries_.size(); }

  Iterator begin() const { return entries_.begin(); }
  Iterator end() const { return entries_.end(); }
  // First entry whose key prefix is >= (bias < 0) or > (bias > 0) the probe.
  Iterator seek(const std::vector<Value>& prefix, int bias) const;
  // The position of an existing entry (for a cursor re-seeking after changes): first entry
  // ordered after (key of `row` values, rowId).
  Iterator seekAfter(const std::vector<Value>& keyValues, RowId rowId) const;
  // Number of live entries whose whole key equals the key of `id`, counting `id` itself.
  // Rows whose key columns are all NULL count as 1 (Oracle does not index them for uniqueness).
  size_t countEqualKeys(RowId id) const;
  // The key values of a stored row.
  std::vector<Value> keyOf(RowId id) const;

  // Three-way comparison of two stored rows on the key (ties are not broken by RowId).
  int compareRows(RowId a, RowId b) const;
  // Three-way comparison of a stored row with a key prefix.
  int compareRowToKey(RowId a, const std::vector<Value>& prefix) const;

 private:
  friend class TableData;
  void add(RowId id) { entries_.insert(id); }
  void remove(RowId id) { entries_.erase(id); }
  void clear() { entries_.clear(); }
  bool touches(const Value* oldRow, const Value* newRow) const;

  const TableData& data_;
  std::string name_;
  std::vector<int> keyColumns_;  // column positions in the table row
  std::vector<bool> descending_;
  EntrySet entries_;
};

class TableData {
 public:
  explicit TableData(size_t columnCount);
  TableData(const TableData&) = delete;
  TableData& operator=(const TableData&) = delete;

  size_t columnCount() const { return columnCount_; }
  size_t rowCount() const { return rowCount_; }
  // Every RowId in use is below slotLimit(); iterate 0..slotLimit() and skip free slots.
  RowId slotLimit() const { return slotLimit_; }
  // The row's columnCount() values, or null for a free slot.
  const Value* row(RowId id) const;
  Row copyRow(RowId id) const;
  uint64_t changeCount() const { return changeCount_; }
  uint64_t structureEpoch() const { return structureEpoch_; }

  // Stores a row (exactly columnCount() values) in a free slot and adds it to every index.
  RowId insert(Row values);
  // Stores a row in a given free slot (a loader replaying a journal).
  void insertAt(RowId id, Row values);
  // Removes a row; returns its values.
  Row erase(RowId id);
  // Replaces a row's values; returns the old ones.
  Row update(RowId id, Row values);
  // Removes every row (TRUNCATE); indexes stay, emptied.
  void clear();

  // Structure changes (ALTER TABLE). Indexes are rebuilt by the caller afterwards.
  void addColumn(const Value& fill);
  void dropColumn(size_t position);

  TableIndex& createIndex(const std::string& name, std::vector<int> keyColumns,
                          std::vector<bool> descending);
  void dropIndex(const std::string& name);
  void dropAllIndexes() {
    indexes_.clear();
    ++structureEpoch_;
  }
  TableIndex* findIndex(const std::string& name) const;
  const std::vector<std::unique_ptr<TableIndex>>& indexes() const { return indexes_; }

 private:
  static constexpr size_t kChunkRows = 1024;
  Value* slot(RowId id);
  const Value* slot(RowId id) const;
  void ensureSlot(RowId id);
  void place(RowId id, Row values);
  void reshape(size_t newColumnCount, size_t dropPosition, const Value* fill);

  size_t columnCount_;
  size_t rowCount_ = 0;
  RowId slotLimit_ = 0;
  uint64_t changeCount_ = 0;
  uint64_t structureEpoch_ = 0;
  std::vector<std::unique_ptr<Value[]>> chunks_;
  std::vector<bool> live_;
  std::vector<RowId> freeSlots_;
  std::vector<std::unique_ptr<TableIndex>> indexes_;
};

}  // namespace ocisim
