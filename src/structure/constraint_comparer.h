// ConstraintComparer: the constraint comparison of the common tables (primary, unique and
// foreign keys, checks). The first pass reads Database 1 into each table's constraint list, the
// second reads Database 2, matches by name (or, in a report that ignores names, by column list)
// and writes the "< " / "> " report lines or DROP CONSTRAINT / ADD statements; in "Script
// database 1" mode it writes the constraint DDL of every table of Database 1 instead. One
// comparer serves both passes of a phase (the column widths span both). Worker thread only.
#pragma once

#include <algorithm>
#include <set>
#include <string>

#include "structure/structure_run.h"

namespace velmora {

class ConstraintComparer {
 public:
  explicit ConstraintComparer(StructureRun& run) : run_(run) {}

  // firstPass: Database 1, else Database 2. Returns the number of rows read; 0 after a query
  // error (its error block is written and the phase ends); 1 in "Script database 1" mode.
  int compareConstraints(bool firstPass);

  // The columns of one constraint of a table in the pass's database joined by ", "; "" after an
  // error, which is written into the report (and the table's constraints are then not compared).
  std::string constraintColumnList(const std::string& table, const std::string& constraint,
                                   bool firstPass);

 private:
  int scriptDatabaseConstraints();
  bool readTable(CommonTable& table, bool firstPass, int& rows);
  void addRow(CommonTable& table, const ConstraintRow& row, bool firstPass);
  void writeTable(const CommonTable& table);
  std::string line(const ConstraintEntry& entry, bool first) const;
  bool namesShown() const;
  void writeTableHeading(const CommonTable& table);
  void writeDrop(const CommonTable& table, const ConstraintEntry& entry);
  void writeAdd(const CommonTable& table, const ConstraintEntry& entry);
  void dropSystemNamedKeyInTheWay(const CommonTable& table, const ConstraintEntry& entry);
  void dropIndexNamedLike(const CommonTable& table, const std::string& key);

  StructureRun& run_;
  // After a failed first pass, the second compares only the tables the first pass read: the
  // others have no (or old) lists, and comparing them would drop what Database 2 has.
  size_t firstPassTables_ = static_cast<size_t>(-1);  // see walkCommonTables
  // Tables some of whose constraint columns could not be read (either pass): their
  // constraints are not compared, since a missing column list would look like a difference.
  std::set<std::string> columnsUnread_;
  // The widths of the CONSTRAINT and COLUMNS columns: the longest entry, never narrower than
  // the column's heading.
  size_t keyWidth() const { return std::max<size_t>(longestKey_, 10); }
  size_t columnsWidth() const { return std::max<size_t>(longestColumns_, 7); }
  size_t longestKey_ = 0;      // over both passes of the phase
  size_t longestColumns_ = 0;  // over both passes of the phase
};

}  // namespace velmora
