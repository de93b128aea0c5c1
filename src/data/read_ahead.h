// ReadAhead: reads a RowSource on a thread of its own, a batch of rows ahead of the caller, so
// that the two databases of a comparison fetch at the same time, and while the rows already
// fetched are compared, instead of in turn. The caller sees the source's rows in the source's
// order; the end of the rows, the source's error and an exception the source throws (a stopped
// run) reach the caller at the row where they happened, after every row before it.
//
// The source belongs to the reader thread from construction until the caller has seen the end
// (or until destruction): the caller must not touch it, nor the session it reads, meanwhile.
// Destruction stops the reader after the row it is reading and waits for it. At most three
// batches are held (being read, ready, being handed out), each of at most kBatchRows rows and
// about kBatchBytes bytes of values (fewer rows when the source's rows may be long), so memory
// does not grow with the rows.
#pragma once

#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "data/data_cursor.h"

namespace velmora {

class ReadAhead : public RowSource {
 public:
  static constexpr size_t kBatchRows = 256;
  static constexpr size_t kBatchBytes = 1 << 20;

  explicit ReadAhead(RowSource& source, size_t batchRows = kBatchRows);
  ~ReadAhead() override;
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  // The next row of the source; rethrows what the source threw at this row.
  bool next(DataRow& row) override;
  // The source's error, once next has returned false.
  const std::string& error() const override { return error_; }

 private:
  struct Batch {
    std::vector<DataRow> rows;  // rows[0, count) hold values; the rest keep their storage
    size_t count = 0;
    bool last = false;  // the source ended after these rows (error_ or failure_ says why)
  };

  void read();

  RowSource& source_;
  const size_t batchRows_;
  const bool countBytes_;  // the source's rows have no known bound: the batch counts its bytes

  std::mutex mutex_;
  std::condition_variable changed_;
  Batch ready_;                    // guarded: filled by the reader, not yet taken
  bool readyFull_ = false;         // guarded
  std::string sourceError_;        // guarded: the source's error, set with the last batch
  std::exception_ptr failure_;     // guarded: what the source threw, set with the last batch
  std::atomic<bool> stop_{false};  // the caller is gone: the reader ends after its row

  // The caller's side.
  Batch current_;
  size_t at_ = 0;
  bool ended_ = false;
  std::string error_;
  std::exception_ptr thrown_;

  std::thread reader_;  // last: starts once everything above exists
};

}  // namespace velmora
