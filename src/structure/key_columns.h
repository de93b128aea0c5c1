// The key columns of a table, for the data upgrade statements (their WHERE clauses) and the
// constraint comparison: the primary-key columns, or when a table has none and "UseUniqueIndex"
// is on, the columns of one of its unique indexes. Errors are not reported: an empty list means
// the table has no usable key. Runs on any reader; no state.
#pragma once

#include <string>
#include <vector>

#include "structure/dictionary_reader.h"

namespace velmora {

// Appends the key columns of owner.table to `columns`, in the order the dictionary returns them.
// A unique index is used only when it was read whole and names table columns only (not the
// hidden column of a DESC or function-based key).
void primaryKeyColumns(DictionaryReader& reader, const std::string& owner, const std::string& table,
                       bool useUniqueIndex, std::vector<std::string>& columns);

// Column names joined by ", ": {"A", "B"} gives "A, B".
std::string joinColumns(const std::vector<std::string>& columns);

// A delete rule or search condition as constraints are compared: leading and trailing white
// space removed, then every double quote: ` "QTY" > 0 ` gives `QTY > 0`.
std::string normalizedConstraintText(const std::string& text);

}  // namespace velmora
