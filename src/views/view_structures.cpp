#include "views/view_structures.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>

#include "base/report_layout.h"
#include "base/report_text.h"

namespace velmora {

namespace {

bool builtIn(const std::string& typeOwner) {
  return typeOwner.empty() || typeOwner == " ";
}

// A column of a view as the row gives it: the raw width and the orderable and selectable flags.
ColumnEntry entryOf(const ViewColumnRow& row) {
  ColumnEntry entry;
  entry.name = row.name;
  entry.displayWidth = std::atoi(row.length.c_str());
  entry.orderable = entry.selectable = true;
  const std::string& type = row.type;
  if (type.rfind("LONG", 0) == 0 || type == "RAW" || type.find("LOB") != std::string::npos ||
      !builtIn(row.typeOwner)) {
    entry.orderable = false;
    if (entry.displayWidth <= 0) entry.displayWidth = 500;
  }
  if (!builtIn(row.typeOwner)) entry.selectable = false;
  return entry;
}

}  // namespace

std::string viewColumnQuery(const std::string& serverVersion) {
  const bool old = serverVersion == "7" || serverVersion == "8.0";
  return std::string(
             "select column_name, data_type, data_length, nvl(data_precision,0),nvl(data_scale,-1),"
             "decode(nvl(nullable,'Y'),'Y','    NULL ','NOT NULL '),") +
         (old ? "' '" : "nvl(data_type_owner,' ')") +
         " from all_tab_columns where owner = :owner and table_name = :name order by column_id";
}

void ViewStructureComparer::compareViewStructures() {
  run_.host.setStatus("Analyzing View Structures ...");
  run_.host.setTitle("Analyzing View Structures - Velmora for Oracle");
  const int n = static_cast<int>(run_.views.size());
  run_.host.setProgressRange(0, n);
  if (compareViewColumns(true) >= 0 && run_.mode() != 2) {
    run_.host.setStatus("Analyzing View Structures ...");
    run_.host.setProgressRange(0, n);
    (void)compareViewColumns(false);
  }
  run_.host.setProgressPosition(n);
}

void ViewStructureComparer::writeQueryError(const ViewDatabase& database,
                                            const std::string& message) {
  const std::string& dash = run_.options.s_DashComment;
  run_.out.write(kSectionStart + dash +
                     "The following error ocurred when trying to process view columns in "
                     "database ",
                 kMaroon);
  run_.out.write(reportText(run_.options, database.displayName), database.colour());
  run_.out.write("\r\n" + dash + commentLines(dash, message), kMaroon, false, kCounted);
  run_.recordError("view columns");
}

// The columns of one view in one pass; false after a query error.
bool ViewStructureComparer::readView(CommonTable& view, bool firstPass, int& rows) {
  ViewDatabase& database = firstPass ? run_.database1 : run_.database2;
  std::vector<ViewColumnRow> read;
  const std::string error =
      database.reader->columns(viewColumnQuery(database.reader->serverVersion()),
                               firstPass ? view.firstName : view.secondName, read);
  if (!error.empty()) {
    writeQueryError(database, error);
    return false;
  }
  if (firstPass) {
    view.columns.clear();
    view.sameColumns = true;
  }
  for (const ViewColumnRow& row : read) {
    run_.checkpoint();
    ++rows;
    ColumnEntry entry = entryOf(row);
    const bool ignored = run_.options.isIgnoredColumn(row.name);
    if (firstPass) {
      if (ignored) continue;
      entry.sourceType = row.type;
      entry.targetType = kNotFound;
      entry.found = false;
      entry.key = true;
      view.columns.push_back(std::move(entry));
      continue;
    }
    auto match = std::find_if(view.columns.begin(), view.columns.end(),
                              [&](const ColumnEntry& c) { return c.name == row.name; });
    if (match != view.columns.end()) {
      match->targetType = row.type;
      match->orderable = match->orderable && entry.orderable;
      match->selectable = match->selectable && entry.selectable;
      match->found = true;
      match->key = true;
      match->displayWidth = std::max(match->displayWidth, entry.displayWidth);
    } else if (!ignored) {
      view.sameColumns = false;
      entry.sourceType = kNotFound;
      entry.targetType = row.type;
      entry.found = true;
      entry.key = true;
      view.columns.push_back(std::move(entry));
    }
  }
  if (!firstPass) {
    for (const ColumnEntry& column : view.columns) {
      if (!column.found) view.sameColumns = false;
    }
  }
  return true;
}

int ViewStructureComparer::compareViewColumns(bool firstPass) {
  ViewDatabase& database = firstPass ? run_.database1 : run_.database2;
  if (database.reader == nullptr) return 0;
  int rows = 0;
  for (size_t i = 0; i < run_.views.size(); ++i) {
    CommonTable& view = run_.views[i];
    run_.checkpoint();
    run_.host.selectObject("VIEW." + view.firstName);
    run_.host.stepProgress();
    if (readView(view, firstPass, rows)) continue;
    // The views from this one on were not read in both databases: no later phase may take their
    // column lists for what the views hold.
    run_.views.erase(run_.views.begin() + static_cast<std::ptrdiff_t>(i), run_.views.end());
    return -1;
  }
  return rows;
}

}  // namespace velmora
