// The table data and view data phases of a run: for each common table (or view) of the work
// lists, the two selects, the merge of their rows and the report lines or upgrade statements.
// Run on the run's worker thread with the run's context; the data statements of an upgrade
// script are written, never executed.
#pragma once

#include <string>
#include <vector>

#include "base/work_lists.h"
#include "run/phase_table.h"

namespace velmora {

class RunContext;
class DictionaryReader;

// The row key of a table for the upgrade script: the user's key override when in force, else
// the primary-key columns of Database 1 (or one unique index's when useUniqueIndex), else none.
// Columns that cannot be selected or ordered are no key columns. Returns the number of key
// columns; 0 means the table has no key (rows are then matched whole: DELETE and INSERT).
int markKeyColumns(CommonTable& table, DictionaryReader* reader, const std::string& owner,
                   bool useUniqueIndex);

// The table-data phase (b_DoData): comparison report and upgrade script; in the upgrade script
// the tables it creates, and in the script of Database 1 every table, get INSERTs of all rows.
void compareTableData(RunContext& context);
// The view-data phase (b_DoViewData, comparison report only), over the views work list with the
// column lists of the view structure phase.
void compareViewData(RunContext& context);

// Registers both phases' runners.
void registerDataPhases(PhaseTable& phases);

}  // namespace velmora
