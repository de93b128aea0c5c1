// ColumnComparer: the column comparison of the common tables. The first pass reads Database 1
// and builds each table's column list (which the data comparison later uses); the second pass
// reads Database 2, matches the columns by name and writes the report table or the ALTER TABLE
// statements. With b_DoStruct off both passes still build the lists and write only query
// errors. Works on one StructureRun on the run's worker thread.
#pragma once

#include <string>

#include "structure/structure_run.h"

namespace velmora {

class ColumnComparer {
 public:
  explicit ColumnComparer(StructureRun& run) : run_(run) {}

  // firstPass: Database 1, else Database 2. Returns the number of column rows read, or 1 when a
  // column query failed: its error block is written and the remaining tables are not read.
  int compareTableColumns(bool firstPass);

 private:
  enum class Difference { Changed, OnlyInFirst, OnlyInSecond };

  bool readTable(CommonTable& table, bool firstPass, const std::string& queryText, int& rows);
  void firstPassRow(CommonTable& table, const ColumnRow& row);
  void secondPassRow(CommonTable& table, const ColumnRow& row);
  void endTable(CommonTable& table);
  void writeDifference(CommonTable& table, ColumnEntry& column, Difference kind);
  void writeReportLine(const CommonTable& table, const ColumnEntry& column, Difference kind);
  void writeStatement(const CommonTable& table, ColumnEntry& column, Difference kind);
  void writeHeader(bool oneSided);
  std::string dropColumnClause(const CommonTable& table, const std::string& column);
  bool writeKeyRelease(const CommonTable& table, ColumnEntry& column);
  bool deferNotNull(const CommonTable& table, ColumnEntry& column, Difference kind);

  StructureRun& run_;
  // After a failed first pass, the second compares only the tables the first pass read: the
  // others have no (or old) lists, and comparing them would drop what Database 2 has.
  size_t firstPassTables_ = 0;     // the tables the first pass read (walkCommonTables)
  bool headerWritten_ = false;     // per call
  bool firstDifference_ = true;    // per table
  bool differencesFound_ = false;  // per table
};

// The report header of the column differences, without its leading section start: the display
// names over the columns, the column headings and a line of hyphens (194, or 189 when brought on
// by a column found in one database only).
void writeColumnReportHeader(StructureRun& run, bool oneSided);

}  // namespace velmora
