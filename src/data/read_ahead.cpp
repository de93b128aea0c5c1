#include "data/read_ahead.h"

#include <algorithm>
#include <utility>

namespace velmora {

namespace {

size_t rowsPerBatch(const RowSource& source, size_t batchRows) {
  const size_t bound = source.rowBytesAtMost();
  if (bound > 0) batchRows = std::min(batchRows, ReadAhead::kBatchBytes / bound);
  return std::max<size_t>(batchRows, 1);
}

}  // namespace

ReadAhead::ReadAhead(RowSource& source, size_t batchRows)
    : source_(source),
      batchRows_(rowsPerBatch(source, batchRows)),
      countBytes_(source.rowBytesAtMost() == 0),
      reader_([this] { read(); }) {}

ReadAhead::~ReadAhead() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  reader_.join();
}

void ReadAhead::read() {
  Batch batch;
  batch.rows.resize(batchRows_);
  for (;;) {
    batch.count = 0;
    size_t bytes = 0;
    bool more = true;
    std::exception_ptr failure;
    try {
      while (batch.count < batchRows_ && bytes < kBatchBytes && !stop_.load()) {
        DataRow& row = batch.rows[batch.count];
        more = source_.next(row);
        if (!more) break;
        ++batch.count;
        if (countBytes_) {
          for (const DataField& field : row) bytes += field.text.size();
        }
      }
    } catch (...) {
      failure = std::current_exception();
      more = false;
    }
    batch.last = !more;
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !readyFull_ || stop_.load(); });
    if (stop_.load()) return;
    if (batch.last) {
      sourceError_ = source_.error();
      failure_ = failure;
    }
    std::swap(ready_, batch);
    readyFull_ = true;
    lock.unlock();
    changed_.notify_all();
    if (!more) return;
    // The rows the caller handed back keep their storage: the next batch reuses it.
    if (batch.rows.size() < batchRows_) batch.rows.resize(batchRows_);
  }
}

bool ReadAhead::next(DataRow& row) {
  while (at_ >= current_.count) {
    if (ended_) {
      // What the source threw comes after the rows it read before it, and once.
      if (thrown_) std::rethrow_exception(std::exchange(thrown_, nullptr));
      return false;
    }
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return readyFull_; });
      std::swap(current_, ready_);
      readyFull_ = false;
      if (current_.last) {
        ended_ = true;
        error_ = sourceError_;
        thrown_ = failure_;
      }
    }
    changed_.notify_all();
    at_ = 0;
  }
  row.swap(current_.rows[at_++]);
  return true;
}

}  // namespace velmora
