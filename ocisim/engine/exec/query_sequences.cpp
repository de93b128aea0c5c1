#include "engine/exec/query_sequences.h"

#include <algorithm>

#include "engine/exec/database.h"

namespace ocisim {
namespace {

bool ascending(const Sequence& s) { return !s.incrementBy.isNegative(); }

// The sequence's state as written while a reservation is on disk: the next value and the
// high-water mark both at the reservation's end. Restored when the write is done.
class ReservedState {
 public:
  ReservedState(Sequence& s, const Decimal& reservedTo)
      : s_(s), next_(s.nextValue), last_(s.lastNumber) {
    s.nextValue = reservedTo;
    bool beyond = ascending(s) ? s.lastNumber < reservedTo : reservedTo < s.lastNumber;
    if (beyond) s.lastNumber = reservedTo;
  }
  ~ReservedState() {
    s_.nextValue = next_;
    s_.lastNumber = last_;
  }
  ReservedState(const ReservedState&) = delete;
  ReservedState& operator=(const ReservedState&) = delete;

 private:
  Sequence& s_;
  Decimal next_;
  Decimal last_;
};

}  // namespace

bool QuerySequenceWriter::covers(const Sequence& s, const Reservation& r) const {
  if (!r.valid) return false;
  return ascending(s) ? !(r.reservedTo < s.nextValue) : !(s.nextValue < r.reservedTo);
}

void QuerySequenceWriter::beforeFetch() {
  for (auto& [id, r] : reservations_) {
    const Sequence* s = db_.findSequenceById(id);
    if (!s || !(s->nextValue == r.expectedNext)) r.valid = false;
  }
}

void QuerySequenceWriter::afterFetch(const std::vector<ObjectId>& touched, bool finished) {
  std::vector<ObjectId> written;
  std::vector<std::unique_ptr<ReservedState>> reserved;
  for (ObjectId id : touched) {
    Sequence* s = db_.findSequenceById(id);
    if (!s) continue;
    auto [it, fresh] = reservations_.try_emplace(id);
    Reservation& r = it->second;
    r.expectedNext = s->nextValue;
    if (covers(*s, r)) continue;
    written.push_back(id);
    r.valid = true;
    r.reservedTo = s->nextValue;
    if (fresh || finished || s->exhausted) {
      r.block = 0;  // the state as it is
      continue;
    }
    int64_t block = std::clamp<int64_t>(r.block * 2, 64, kMaxBlock);
    Decimal end = s->nextValue + s->incrementBy * Decimal::fromInt64(block);
    bool fits = ascending(*s) ? !(s->maxValue < end) : !(end < s->minValue);
    if (!fits) {
      r.block = 0;  // near the end of the range (or about to cycle): no reservation
      continue;
    }
    r.block = block;
    r.reservedTo = end;
    reserved.push_back(std::make_unique<ReservedState>(*s, end));
  }
  if (finished) {
    // Give back what the query reserved and did not use, unless another writer moved on.
    for (auto& [id, r] : reservations_) {
      Sequence* s = db_.findSequenceById(id);
      if (!s || !r.valid || s->nextValue == r.reservedTo) continue;
      if (std::find(written.begin(), written.end(), id) != written.end()) continue;
      written.push_back(id);
      r.reservedTo = s->nextValue;
    }
  }
  if (written.empty()) return;
  PersistenceHook* hook = db_.persistence();
  if (!hook) return;
  CommitRecord record;
  record.sequences = written;
  try {
    hook->commit(db_, record);
  } catch (...) {
    for (ObjectId id : written) reservations_[id].valid = false;
    throw;
  }
}

}  // namespace ocisim
