// DataRow: one fetched row of a data comparison, as a vector of fields. Each field keeps the
// value's text exactly as the server sent it (dates and timestamps in the fixed forms of
// DataCursor), whether it is NULL, and the kind of its column, which decides how the field
// orders, compares and is written as a literal. A row never joins its values into one text, so
// no value can be mistaken for a separator. Plain values; no state beyond the row.
#pragma once

#include <string>
#include <vector>

namespace velmora {

enum class FieldKind {
  Number,     // NUMBER, FLOAT: the server's decimal text, ordered by exact value
  Text,       // VARCHAR2, CHAR, ROWID ...: ordered by bytes (NLS_SORT BINARY)
  Date,       // DATE as "YYYY-MM-DD HH24:MI:SS"
  Timestamp,  // TIMESTAMP as "YYYY-MM-DD HH24:MI:SS.FF9"
  Raw,        // RAW as upper-case hexadecimal, ordered by bytes
  Long,       // LONG: text, never ordered by the database
  LongRaw,    // LONG RAW: hexadecimal, never ordered
  Lob,        // CLOB, BLOB, BFILE: the placeholder text, never fetched
};

// The form in which DATE and TIMESTAMP columns are selected: it sorts as the values do, and it
// keeps the time and the fraction whatever the session's date format.
inline constexpr const char* kDateSelectFormat = "YYYY-MM-DD HH24:MI:SS";
inline constexpr const char* kTimestampSelectFormat = "YYYY-MM-DD HH24:MI:SS.FF9";
// What a large-object column shows in every row: its contents are never read.
inline constexpr const char* kLobPlaceholder = "-lob not shown-";

struct DataField {
  std::string text;  // the value ("" for NULL)
  bool null = true;
  FieldKind kind = FieldKind::Text;
};

using DataRow = std::vector<DataField>;

// The kind of a column from its Oracle external type code (OCI_ATTR_DATA_TYPE).
FieldKind fieldKindForTypeCode(int typeCode);

// Whether the database can order rows by a column of this kind (ORDER BY refuses LONG and LOBs).
inline bool orderableKind(FieldKind kind) {
  return kind != FieldKind::Long && kind != FieldKind::LongRaw && kind != FieldKind::Lob;
}

}  // namespace velmora
