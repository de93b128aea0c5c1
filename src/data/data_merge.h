// The merge of two row streams sorted alike: rows that match are passed over, the others become
// differences (DataDifferenceWriter). Used by the table data, view data and SQL Compare phases.
// Keeps only the current row of each stream, so memory does not grow with the rows.
#pragma once

#include <functional>

#include "base/comparison_options.h"
#include "data/data_cursor.h"
#include "data/data_difference.h"

namespace velmora {

enum class MergeEnd {
  Finished,
  Skipped,  // the user skipped the object (the caller writes its skip line)
  Failed,   // a stream ended on an error: failedStream says which (1 or 2)
};

struct MergeHooks {
  std::function<void()> checkpoint;     // per row: waits while paused, never returns after a stop
  std::function<bool()> skipRequested;  // per row
  std::function<void(long rows)> progress;  // every 1000 merged rows
};

// keyCount > 0: the rows carry a key (compareRows); a row of the same key with other values is
// `changed`. Otherwise a row present in one stream only is `onlyIn1` / `onlyIn2`.
MergeEnd mergeRows(RowSource& stream1, RowSource& stream2, int keyCount,
                   const ComparisonOptions& options, DataDifferenceWriter& writer,
                   const MergeHooks& hooks, int* failedStream);

}  // namespace velmora
