// StructureRun: what the table structure comparers (columns, indexes, constraints) work with
// during one phase: the options, the report, the host, the checkpoint, the tables work list, the
// two databases (each through its DictionaryReader), the DDL of Database 1 and the state the
// upgrade script carries from phase to phase. Built by the phase shells from the RunContext (or
// by tests from doubles); borrowed references only, valid for the phase.
#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "base/comparison_options.h"
#include "base/report_writer.h"
#include "base/run_differences.h"
#include "base/run_errors.h"
#include "base/run_host.h"
#include "base/work_lists.h"
#include "structure/dictionary_reader.h"
#include "structure/script_dependencies.h"
#include "structure/script_source.h"

namespace velmora {

// One database as the structure comparers see it.
struct StructureDatabase {
  int number = 1;                                    // 1 or 2
  std::string owner;                                 // the schema compared
  std::string displayName;                           // as the report shows it
  DictionaryReader* reader = nullptr;                // null when the database is absent
  const std::vector<std::string>* tables = nullptr;  // its own table list (mode 2 walks it)

  // Database 1 is written in blue, Database 2 in red.
  ReportColour colour() const { return number == 1 ? ReportColour::Blue : ReportColour::Red; }
};

struct StructureRun {
  StructureRun(ComparisonOptions& options, ReportWriter& out, RunHost& host,
               std::function<void()> checkpoint, std::vector<CommonTable>& tables,
               ScriptDependencies& dependencies)
      : options(options),
        out(out),
        host(host),
        checkpoint(std::move(checkpoint)),
        tables(tables),
        dependencies(dependencies) {}

  ComparisonOptions& options;
  ReportWriter& out;
  RunHost& host;
  std::function<void()> checkpoint;  // before each object and row; never returns after a stop
  std::vector<CommonTable>& tables;  // the tables work list
  ScriptDependencies& dependencies;  // what earlier statements of the script changed
  StructureDatabase database1;
  StructureDatabase database2;
  ScriptSource* scripts = nullptr;        // DDL of Database 1 (needed in the script modes)
  RunErrors* errors = nullptr;            // the run's errors (null in tests that do not look)
  RunDifferences* differences = nullptr;  // what the run found different (null: not counted)
  int tableNameWidth = 0;                 // longest table name of Database 1's list

  // The width of the TABLE column of the reports: the longest name and two blanks, and never
  // narrower than its own heading with them (short names would cut "TABLE").
  int tableColumnWidth() const { return std::max(tableNameWidth, 5) + 2; }

  int mode() const { return options.i_DoingUpgradeScript; }
  bool report() const { return options.i_DoingUpgradeScript == 0; }
  bool upgrade() const { return options.i_DoingUpgradeScript == 1; }
  StructureDatabase& database(bool firstPass) { return firstPass ? database1 : database2; }
  // A kind of object that could not (completely) be compared: the run ends with errors.
  void recordError(const std::string& kind) {
    if (errors != nullptr) errors->record(kind);
  }
  // A difference found between the databases; the script of Database 1 compares nothing.
  void recordDifference(const std::string& kind, int count = 1) {
    if (differences != nullptr && mode() != 2) differences->add(kind, count);
  }
};

// The error block of a failed dictionary query: "\r\n\r\n\r\n" + s_DashComment + "The following
// error ocurred when trying to process " + what (maroon), the display name in the database's
// colour, then detail (green, may be empty) and "\r\n" + s_DashComment + the message (maroon,
// counted). The run records `kind` ("columns", "indexes" ...) as not completely compared.
// The walk of the common tables that the index and constraint comparers make twice: before each
// table the checkpoint, the object list and the progress step, then readTable (its rows from
// Database 1 in the first pass, from Database 2 in the second). A read that fails ends the walk:
// the first pass notes where in tablesRead, and the second pass stops before that table, whose
// first reading is incomplete. False when a read failed.
bool walkCommonTables(StructureRun& run, bool firstPass, size_t& tablesRead,
                      const std::function<bool(CommonTable&)>& readTable);

void writeQueryError(StructureRun& run, const std::string& kind, const std::string& what,
                     const StructureDatabase& database, const std::string& detail,
                     const std::string& message);

}  // namespace velmora
