// The select of one table or view for the data comparison: which columns are read, in which
// order, under which condition and ORDER BY, for one of the two databases. Built on the run's
// worker thread just before the object's rows are compared; writes the warnings about columns
// that cannot be selected. No state.
#pragma once

#include <string>
#include <vector>

#include "base/comparison_options.h"
#include "base/report_writer.h"
#include "base/work_lists.h"

namespace velmora {

struct DataSelect {
  std::string head;  // "select "
  std::vector<std::string>
      items;         // the select list, one item per column (DataCursor may wrap them)
  std::string tail;  // " from OWNER.NAME [where ...] [order by ...]"
  std::vector<const ColumnEntry*> columns;  // the column of each item, in select order
  int keyCount = 0;                         // the first keyCount items are the row key

  bool empty() const { return items.empty(); }
  std::string text() const;  // head + items joined by ", " + tail
};

struct DataSelectSettings {
  int database = 1;        // 1 or 2: Database 2 reads a column it lacks as NULL
  bool bareNames = false;  // Database 1 runs release 7: column names without quotes
  bool keyed = false;      // upgrade script: key columns first, ordered first
  bool warn = true;        // write the warnings of columns that are not selected
};

// The select of `table` in the schema `owner`. Columns that Database 1 lacks are not read;
// columns that cannot be selected as text (user-defined types) are left out with a warning line
// (green, counted) when settings.warn; with settings.keyed the key columns come first. The
// ORDER BY names every column the database can order by (not LONG, LONG RAW nor LOBs), key
// columns first, so the rows arrive in the order compareRows expects. An empty select (no
// item) means the object has no column to read.
DataSelect buildDataSelect(const CommonTable& table, const std::string& name,
                           const std::string& owner, const ComparisonOptions& options,
                           const DataSelectSettings& settings, ReportWriter& out);
// The select points into the table's column entries: a temporary table would leave it dangling.
DataSelect buildDataSelect(CommonTable&& table, const std::string& name, const std::string& owner,
                           const ComparisonOptions& options, const DataSelectSettings& settings,
                           ReportWriter& out) = delete;

// The data condition of a table or view (WhereStatements, by its bare name): true with the
// condition (leading blanks and a leading WHERE keyword dropped) when a non-empty one exists.
bool findDataCondition(const ComparisonOptions& options, const std::string& name,
                       std::string* condition);

// Whether the database orders by a column of this type text (not LONG, LONG RAW, LOBs, BFILE).
bool orderableTypeText(const std::string& typeText);

// A schema or object name as the selects write it: in double quotes when it is special (a blank,
// "-" or "#" after its first character, or i_AutoSpecialName 1), else as it stands.
std::string selectName(const std::string& name, const ComparisonOptions& options);

}  // namespace velmora
