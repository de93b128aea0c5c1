// IndexComparer: the index comparison of the common tables (indexes that back a primary or
// unique key belong to the constraints). The first pass reads Database 1 into each table's index
// list, the second reads Database 2, matches the indexes by name and writes the report table or
// DROP INDEX / CREATE INDEX statements; in "Script database 1" mode it writes the creation DDL
// of every index of Database 1's tables instead. Works on one StructureRun on the worker thread.
#pragma once

#include <string>
#include <vector>

#include "structure/structure_run.h"

namespace velmora {

class IndexComparer {
 public:
  explicit IndexComparer(StructureRun& run) : run_(run) {}

  // firstPass: Database 1, else Database 2. Returns the number of rows read, or 1 when an index
  // query failed (its error block is written and the phase ends) and in "Script database 1" mode.
  int compareIndexes(bool firstPass);

  // Whether two index entries differ: uniqueness, column count or a column at some position.
  static bool changed(const IndexEntry& index);

 private:
  int scriptDatabaseIndexes();
  bool readTable(CommonTable& table, bool firstPass, int& rows);
  void firstPassRow(CommonTable& table, const IndexRow& row, std::string& previousName);
  void secondPassRow(CommonTable& table, const IndexRow& row, std::string& previousNotFound);
  void writeTable(CommonTable& table);
  void writeIndex(const CommonTable& table, const IndexEntry& index);
  void writeReportIndex(const IndexEntry& index);
  void writeDropIndex(const CommonTable& table, const IndexEntry& index);
  void dropConstraintsNamedLike(const CommonTable& table);
  bool collidesWithNewIndex(const CommonTable& table, const std::string& key);
  void writeHeader();

  StructureRun& run_;
  // After a failed first pass, the second compares only the tables the first pass read: the
  // others have no (or old) lists, and comparing them would drop what Database 2 has.
  size_t firstPassTables_ = 0;           // the tables the first pass read (walkCommonTables)
  bool headerWritten_ = false;           // per call
  bool firstDifference_ = true;          // per table
  bool linesWritten_ = false;            // per table
  std::vector<std::string> createList_;  // per table: indexes to create from Database 1
};

}  // namespace velmora
