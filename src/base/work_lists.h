// Work lists of a run: per object kind, the objects present in both databases and selected.
// The list phases fill them (tables: the table-list phase), the structure phases attach their
// entries (columns, indexes, constraints), and the data phases read them afterwards. Owned by the
// run's RunContext; cleared at every Start and Rerun Last. Used by the worker thread only.
#pragma once

#include <string>
#include <vector>

namespace velmora {

inline constexpr const char* kNotFound = "Not Found";

// One column of a common table or view. Database 1's columns in column order, then the columns
// found only in Database 2.
struct ColumnEntry {
  std::string name;
  std::string sourceType = kNotFound;  // type text in Database 1, or "Not Found"
  std::string targetType = kNotFound;  // type text in Database 2, or "Not Found"
  int displayWidth = 0;                // characters the data report reserves for the column
  bool found = false;                  // Database 2 has the column
  bool orderable = true;               // may stand in an ORDER BY
  bool selectable = true;              // may be selected as text
  bool key = true;                     // part of the row key of data upgrades
};

// One index of a common table (indexes backing primary or unique keys are left out).
struct IndexEntry {
  std::string name;
  std::string firstUniqueness = kNotFound;  // "    UNIQUE " / "NOT UNIQUE " / "Not Found"
  std::string secondUniqueness = kNotFound;
  std::vector<std::string> firstColumns;  // in column position order
  std::vector<std::string> secondColumns;
  bool found = false;  // Database 2 has the index
};

// One constraint of a common table, matched by name or (ignoring names) by column list.
struct ConstraintEntry {
  std::string key;                    // what the entries are matched by
  std::string firstType = kNotFound;  // P, U, R, C ... or "Not Found"
  std::string secondType = kNotFound;
  std::string firstDeleteRule;
  std::string secondDeleteRule;
  std::string firstCondition;
  std::string secondCondition;
  std::string firstColumns;  // names joined by ", "
  std::string secondColumns;
  bool matched = false;
};

// A table (or view) present in both databases and selected.
struct CommonTable {
  std::string firstName;   // name in Database 1: used in every line written
  std::string secondName;  // name in Database 2
  bool sameColumns = true;
  // The column lists could not be read in every database of the run (a read failed at this
  // table or before it): `columns` does not say what the table holds, and no data of it is
  // compared.
  bool columnsIncomplete = false;
  std::vector<ColumnEntry> columns;
  std::vector<IndexEntry> indexes;
  std::vector<ConstraintEntry> constraints;
  // Key columns chosen by the user for data upgrades (the Primary Keys dialog).
  bool keyOverride = false;
  std::vector<std::string> keyColumns;
};

struct WorkLists {
  std::vector<CommonTable> tables;
  std::vector<CommonTable> views;
  void clear() {
    tables.clear();
    views.clear();
  }
};

}  // namespace velmora
