#include "data/data_merge.h"

#include "data/read_ahead.h"
#include "data/row_compare.h"

namespace velmora {

MergeEnd mergeRows(RowSource& source1, RowSource& source2, int keyCount,
                   const ComparisonOptions& options, DataDifferenceWriter& writer,
                   const MergeHooks& hooks, int* failedStream) {
  // Both databases fetch at once, and while the rows fetched are compared.
  ReadAhead stream1(source1), stream2(source2);
  DataRow row1, row2;
  bool have1 = stream1.next(row1);
  bool have2 = stream2.next(row2);
  long merged = 0;
  const auto failed = [&](int stream) {
    if (failedStream != nullptr) *failedStream = stream;
    return MergeEnd::Failed;
  };
  for (;;) {
    // A stream cut short by an error is no stream of rows: nothing more is written from it.
    if (!have1 && !stream1.error().empty()) return failed(1);
    if (!have2 && !stream2.error().empty()) return failed(2);
    if (!have1 && !have2) return MergeEnd::Finished;
    if (hooks.checkpoint) hooks.checkpoint();
    if (hooks.skipRequested && hooks.skipRequested()) return MergeEnd::Skipped;
    if (hooks.progress && ++merged % 1000 == 0) hooks.progress(merged);
    if (!have2) {
      writer.onlyIn1(row1);
      have1 = stream1.next(row1);
      continue;
    }
    if (!have1) {
      writer.onlyIn2(row2);
      have2 = stream2.next(row2);
      continue;
    }
    switch (compareRows(row1, row2, keyCount, options)) {
      case kRowsEqual:
        have1 = stream1.next(row1);
        have2 = stream2.next(row2);
        break;
      case kRow1First:
        writer.onlyIn1(row1);
        have1 = stream1.next(row1);
        break;
      case kRow2First:  // == kSameKeyOtherValues
        if (keyCount > 0) {
          writer.changed(row1, row2);
          have1 = stream1.next(row1);
        } else {
          writer.onlyIn2(row2);
        }
        have2 = stream2.next(row2);
        break;
      default:  // kRow2KeyFirst
        writer.onlyIn2(row2);
        have2 = stream2.next(row2);
        break;
    }
  }
}

}  // namespace velmora
