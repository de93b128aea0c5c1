// The merge of two row streams sorted alike: rows that match are passed over, the others become
// differences (DataDifferenceWriter). Used by the table data, view data and SQL Compare phases.
// Each stream is read ahead on a thread of its own (ReadAhead), so that the two databases fetch at
// the same time; memory stays a few batches of rows whatever the number of rows. The streams
// are the merge's until it returns: their sessions must not be used meanwhile.
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
// `changed`. Otherwise a row present in one stream only is `onlyIn1` / `onlyIn2`. What a stream
// throws (a stopped run) leaves the merge after the rows read before it.
MergeEnd mergeRows(RowSource& stream1, RowSource& stream2, int keyCount,
                   const ComparisonOptions& options, DataDifferenceWriter& writer,
                   const MergeHooks& hooks, int* failedStream);

}  // namespace velmora
