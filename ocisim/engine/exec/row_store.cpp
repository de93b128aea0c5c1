#include "engine/exec/row_store.h"

#include <algorithm>
#include <stdexcept>

#include "engine/value/value_ops.h"

namespace ocisim {

// ---- TableIndex ----

TableIndex::TableIndex(const TableData& data, std::string name, std::vector<int> keyColumns,
                       std::vector<bool> descending)
    : data_(data),
      name_(std::move(name)),
      keyColumns_(std::move(keyColumns)),
      descending_(std::move(descending)),
      entries_(EntryLess{this}) {
  descending_.resize(keyColumns_.size(), false);
}

int TableIndex::compareRows(RowId a, RowId b) const {
  const Value* ra = data_.row(a);
  const Value* rb = data_.row(b);
  for (size_t i = 0; i < keyColumns_.size(); ++i) {
    int c = sortCompare(ra[keyColumns_[i]], rb[keyColumns_[i]]);
    if (c != 0) return descending_[i] ? -c : c;
  }
  return 0;
}

int TableIndex::compareRowToKey(RowId a, const std::vector<Value>& prefix) const {
  const Value* ra = data_.row(a);
  size_t n = std::min(prefix.size(), keyColumns_.size());
  for (size_t i = 0; i < n; ++i) {
    int c = sortCompare(ra[keyColumns_[i]], prefix[i]);
    if (c != 0) return descending_[i] ? -c : c;
  }
  return 0;
}

bool TableIndex::EntryLess::operator()(RowId a, RowId b) const {
  int c = index->compareRows(a, b);
  return c < 0 || (c == 0 && a < b);
}

bool TableIndex::EntryLess::operator()(RowId a, const KeyProbe& p) const {
  int c = index->compareRowToKey(a, *p.values);
  return c < 0 || (c == 0 && p.bias > 0);
}

bool TableIndex::EntryLess::operator()(const KeyProbe& p, RowId a) const {
  int c = index->compareRowToKey(a, *p.values);
  return c > 0 || (c == 0 && p.bias < 0);
}

TableIndex::Iterator TableIndex::seek(const std::vector<Value>& prefix, int bias) const {
  return entries_.lower_bound(KeyProbe{&prefix, bias});
}

TableIndex::Iterator TableIndex::seekAfter(const std::vector<Value>& keyValues, RowId rowId) const {
  // Entries equal on the key are ordered by RowId; skip those up to rowId.
  auto it = entries_.lower_bound(KeyProbe{&keyValues, -1});
  while (it != entries_.end() && compareRowToKey(*it, keyValues) == 0 && *it <= rowId) ++it;
  return it;
}

std::vector<Value> TableIndex::keyOf(RowId id) const {
  const Value* r = data_.row(id);
  std::vector<Value> key;
  key.reserve(keyColumns_.size());
  for (int c : keyColumns_) key.push_back(r[c]);
  return key;
}

size_t TableIndex::countEqualKeys(RowId id) const {
  std::vector<Value> key = keyOf(id);
  if (std::all_of(key.begin(), key.end(), [](const Value& v) { return v.isNull(); })) return 1;
  size_t n = 0;
  for (auto it = seek(key, -1); it != entries_.end() && compareRowToKey(*it, key) == 0; ++it) {
    ++n;
  }
  return n;
}

bool TableIndex::touches(const Value* oldRow, const Value* newRow) const {
  for (int c : keyColumns_) {
    if (!oldRow[c].identical(newRow[c])) return true;
  }
  return false;
}

// ---- TableData ----

TableData::TableData(size_t columnCount) : columnCount_(columnCount) {}

Value* TableData::slot(RowId id) {
  return chunks_[id / kChunkRows].get() + (id % kChunkRows) * columnCount_;
}

const Value* TableData::slot(RowId id) const {
  return chunks_[id / kChunkRows].get() + (id % kChunkRows) * columnCount_;
}

const Value* TableData::row(RowId id) const {
  if (id >= slotLimit_ || !live_[id]) return nullptr;
  return slot(id);
}

Row TableData::copyRow(RowId id) const {
  const Value* r = row(id);
  return r ? Row(r, r + columnCount_) : Row();
}

void TableData::ensureSlot(RowId id) {
  while (chunks_.size() * kChunkRows <= id) {
    chunks_.push_back(std::make_unique<Value[]>(kChunkRows * std::max<size_t>(columnCount_, 1)));
  }
  if (live_.size() <= id) live_.resize(id + 1, false);
  if (slotLimit_ <= id) {
    for (RowId r = slotLimit_; r < id; ++r) freeSlots_.push_back(r);
    slotLimit_ = id + 1;
  }
}

RowId TableData::insert(Row values) {
  RowId id;
  if (!freeSlots_.empty()) {
    id = freeSlots_.back();
    freeSlots_.pop_back();
  } else {
    id = slotLimit_;
  }
  ensureSlot(id);
  place(id, std::move(values));
  return id;
}

void TableData::insertAt(RowId id, Row values) {
  if (values.size() != columnCount_) throw std::logic_error("row width does not match table");
  ensureSlot(id);
  if (live_[id]) throw std::logic_error("row slot already in use");
  auto fit = std::find(freeSlots_.begin(), freeSlots_.end(), id);
  if (fit != freeSlots_.end()) {
    *fit = freeSlots_.back();
    freeSlots_.pop_back();
  }
  place(id, std::move(values));
}

void TableData::place(RowId id, Row values) {
  if (values.size() != columnCount_) throw std::logic_error("row width does not match table");
  Value* dst = slot(id);
  for (size_t i = 0; i < columnCount_; ++i) dst[i] = std::move(values[i]);
  live_[id] = true;
  ++rowCount_;
  ++changeCount_;
  for (auto& index : indexes_) index->add(id);
}

Row TableData::erase(RowId id) {
  if (!row(id)) throw std::logic_error("erase of a free row slot");
  for (auto& index : indexes_) index->remove(id);
  Value* src = slot(id);
  Row old(std::make_move_iterator(src), std::make_move_iterator(src + columnCount_));
  for (size_t i = 0; i < columnCount_; ++i) src[i] = Value();
  live_[id] = false;
  freeSlots_.push_back(id);
  --rowCount_;
  ++changeCount_;
  return old;
}

Row TableData::update(RowId id, Row values) {
  if (!row(id)) throw std::logic_error("update of a free row slot");
  if (values.size() != columnCount_) throw std::logic_error("row width does not match table");
  Value* dst = slot(id);
  std::vector<TableIndex*> moved;
  for (auto& index : indexes_) {
    if (index->touches(dst, values.data())) {
      index->remove(id);
      moved.push_back(index.get());
    }
  }
  Row old(columnCount_);
  for (size_t i = 0; i < columnCount_; ++i) {
    old[i] = std::move(dst[i]);
    dst[i] = std::move(values[i]);
  }
  for (TableIndex* index : moved) index->add(id);
  ++changeCount_;
  return old;
}

void TableData::clear() {
  for (auto& index : indexes_) index->clear();
  chunks_.clear();
  live_.clear();
  freeSlots_.clear();
  rowCount_ = 0;
  slotLimit_ = 0;
  ++changeCount_;
}

void TableData::reshape(size_t newColumnCount, size_t dropPosition, const Value* fill) {
  std::vector<std::unique_ptr<Value[]>> chunks;
  for (size_t c = 0; c < chunks_.size(); ++c) {
    chunks.push_back(std::make_unique<Value[]>(kChunkRows * std::max<size_t>(newColumnCount, 1)));
  }
  for (RowId id = 0; id < slotLimit_; ++id) {
    if (!live_[id]) continue;
    Value* src = slot(id);
    Value* dst = chunks[id / kChunkRows].get() + (id % kChunkRows) * newColumnCount;
    size_t out = 0;
    for (size_t i = 0; i < columnCount_; ++i) {
      if (i == dropPosition) continue;
      dst[out++] = std::move(src[i]);
    }
    if (fill) dst[out] = *fill;
  }
  chunks_ = std::move(chunks);
  columnCount_ = newColumnCount;
  ++changeCount_;
  ++structureEpoch_;
}

void TableData::addColumn(const Value& fill) {
  indexes_.clear();
  reshape(columnCount_ + 1, static_cast<size_t>(-1), &fill);
}

void TableData::dropColumn(size_t position) {
  indexes_.clear();
  reshape(columnCount_ - 1, position, nullptr);
}

TableIndex& TableData::createIndex(const std::string& name, std::vector<int> keyColumns,
                                   std::vector<bool> descending) {
  dropIndex(name);
  auto index =
      std::make_unique<TableIndex>(*this, name, std::move(keyColumns), std::move(descending));
  for (RowId id = 0; id < slotLimit_; ++id) {
    if (live_[id]) index->add(id);
  }
  indexes_.push_back(std::move(index));
  ++structureEpoch_;
  return *indexes_.back();
}

void TableData::dropIndex(const std::string& name) {
  if (std::erase_if(indexes_, [&](const auto& i) { return i->name() == name; }) > 0) {
    ++structureEpoch_;
  }
}

TableIndex* TableData::findIndex(const std::string& name) const {
  for (const auto& index : indexes_) {
    if (index->name() == name) return index.get();
  }
  return nullptr;
}

}  // namespace ocisim
