// The view structure phase (compareViewStructures): for every common view, the column
// list that the view data phase selects and orders rows by, built like the table column lists of
// the column comparer: a first pass on Database 1 and a second pass on Database 2 that matches the columns by
// name. Two view columns differ only when their data types differ; a column only in Database 1
// (or only in Database 2) clears the view's same-columns flag. Writes nothing but a query error.
// Runs on the worker thread.
#pragma once

#include <string>

#include "views/view_run.h"

namespace velmora {

// The column query of a server version.
std::string viewColumnQuery(const std::string& serverVersion);

class ViewStructureComparer {
 public:
  explicit ViewStructureComparer(ViewRun& run) : run_(run) {}

  // Status, title and both passes; then the progress position is the number of common views.
  void compareViewStructures();
  // One pass: the number of rows read, or -1 after a query error (not 1, which could not
  // be told from one row read). The pass and the phase then end, and the views from the failing
  // one on leave the work list: their column lists were not read in both databases.
  int compareViewColumns(bool firstPass);

 private:
  bool readView(CommonTable& view, bool firstPass, int& rows);
  void writeQueryError(const ViewDatabase& database, const std::string& message);

  ViewRun& run_;
};

}  // namespace velmora
