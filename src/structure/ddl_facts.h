// The dictionary facts the DDL generator formats: plain values read from ALL_TABLES,
// ALL_TAB_COLUMNS, ALL_CONSTRAINTS, ALL_CONS_COLUMNS, ALL_INDEXES and ALL_IND_COLUMNS by
// DdlDictionaryReader, and formatted by the pure functions of ddl_format.h. Numbers are kept in
// the text form the server returns them in; an empty text stands for NULL.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace velmora {

// The physical attributes of a table or index (ALL_TABLES / ALL_INDEXES).
struct SegmentFacts {
  std::string pctFree, pctUsed, iniTrans, maxTrans;
  std::string tablespace;
  std::string initialExtent, nextExtent, minExtents, maxExtents, pctIncrease;
  std::string freelists, freelistGroups;
};

struct TableFacts {
  std::string owner;
  std::string name;
  SegmentFacts segment;
};

struct ColumnFacts {
  std::string name;
  std::string dataType;  // upper case, e.g. "VARCHAR2", "TIMESTAMP(6)"
  std::string dataLength, dataPrecision, dataScale;
  std::string nullable;     // "Y" or "N"
  std::string defaultText;  // DATA_DEFAULT without trailing white space; "" when none
};

struct IndexFacts {
  std::string name;
  bool unique = false;
  SegmentFacts segment;     // pctFree, iniTrans, maxTrans and tablespace are used
  std::string compression;  // "ENABLED" or "DISABLED" ("DISABLED" on servers without it)
  std::string prefixLength;
  std::vector<std::string> columns;  // in column position order
  // By position, true where columns holds a key expression (indexExpressionText), written as
  // it is rather than as a name; shorter than columns when the later ones are plain names.
  std::vector<bool> expressions;
};

struct ConstraintFacts {
  std::string name;
  std::string type;        // ALL_CONSTRAINTS.CONSTRAINT_TYPE: "P", "U", "R", "C" or another letter
  std::string condition;   // SEARCH_CONDITION of a check, trailing white space removed
  std::string deleteRule;  // "CASCADE", "SET NULL", "NO ACTION" or ""
  std::vector<std::string> columns;  // in position order
  // Foreign keys: the key they reference. referencedTable is empty when that key could not be
  // read (not visible to the user).
  std::string referencedOwner;
  std::string referencedConstraint;
  std::string referencedTable;
  std::vector<std::string> referencedColumns;
  // Primary and unique keys: the index of the same name, when the table has one.
  std::optional<IndexFacts> index;
};

// The switches of section "Settings" that shape the DDL ("InclPct", "InclStorage").
struct DdlSwitches {
  bool pct = true;      // PCTFREE, PCTUSED, INITRANS, MAXTRANS
  bool storage = true;  // TABLESPACE and STORAGE
};

}  // namespace velmora
