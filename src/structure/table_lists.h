// The table-list phase of a run: reads (once per connection) the table lists of both databases,
// writes the counts, pairs the tables that exist in both into the tables work list (names
// compared exactly, unselected tables left out), and with b_DoStruct reports or scripts the
// tables found on one side only and lists the common and the unselected tables. Also the state
// the table phases of a run share (TableRunState). Runs on the worker thread.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "run/run_context.h"
#include "structure/script_dependencies.h"
#include "structure/structure_run.h"

namespace velmora {

// What the table phases of one run share; cleared with the work lists.
struct TableRunState : PhaseState {
  // The connections' table lists are read; they are read once per connection, so whoever
  // changes a connection clears these.
  bool tables1Loaded = false;
  bool tables2Loaded = false;
  // Whether this run's lists were read completely. A list cut short by an error is never taken
  // for what the schema holds: no table is dropped or created from it.
  bool list1Complete = true;
  bool list2Complete = true;
  int tableNameWidth = 0;           // longest table name of Database 1's list
  ScriptDependencies dependencies;  // cleared by the table-list phase at its start
};

class TableListComparer {
 public:
  // loadLists reads the table lists that are not loaded yet (Database 2 not in mode 2), after
  // the phase is announced; database1.tables and database2.tables then point at them.
  TableListComparer(StructureRun& run, TableRunState& state, std::function<void()> loadLists)
      : run_(run), state_(state), loadLists_(std::move(loadLists)) {}

  void compareTableLists();

 private:
  const std::vector<std::string>& list1() const;
  const std::vector<std::string>& list2() const;
  void writeCounts();
  void writeCount(bool firstDatabase, const std::string& lead, ReportColour wordsColour);
  bool confirmDropAll();
  void writeIncompleteNotice();
  void pairTables();
  void writeOnlyInSecond(const std::string& name, bool& first);
  void writeOnlyInFirst();
  void writeCreation(const std::string& name);
  void writeCommonTables();
  void writeNotProcessed(bool firstDatabase);
  void step(const std::string& name);

  StructureRun& run_;
  TableRunState& state_;
  std::function<void()> loadLists_;
  std::vector<bool> inBoth1_, inBoth2_;
  bool dropsAllowed_ = true;  // false when dropping every table of Database 2 was not confirmed
};

}  // namespace velmora
