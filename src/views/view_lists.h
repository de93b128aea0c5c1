// The view list phase (compareViewLists): reads the views of both databases, writes
// their counts, pairs the views present in both (names compared exactly, unlike stored code) into
// the common-views work list, and with b_DoViewStruct lists the views found on one side only, the
// common views and the views not processed. Writes no statement: views are dropped, created and
// replaced by the view-source kind of the stored-code phases. In the scripts every line it writes
// stands inside a comment block. Runs on the worker thread.
#pragma once

#include <vector>

#include "views/view_run.h"

namespace velmora {

class ViewListComparer {
 public:
  explicit ViewListComparer(ViewRun& run) : run_(run) {}

  void compareViewLists();

 private:
  bool listsComplete() const;
  void readLists();
  void writeCounts();
  void writeCount(const ViewDatabase& database, bool complete, size_t count,
                  const std::string& lead, ReportColour wordsColour);
  void writeIncompleteNotice();
  void pairViews();
  void writeOnlyInFirst();
  void writeHeading(const std::string& heading, const ViewDatabase* database);
  void closeHeading();
  void writeCommonViews();
  void writeNotProcessed(const ViewDatabase& database, const std::vector<std::string>& views);

  ViewRun& run_;
  std::vector<bool> inBoth1_, inBoth2_;
};

}  // namespace velmora
