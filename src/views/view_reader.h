// ViewReader: what the view phases read from one database: its view names (through
// the Catalog) and the columns of one view. OracleViewReader runs the queries on the
// database's connection; tests use FakeViewReader. Used by the run's worker thread only.
#pragma once

#include <string>
#include <vector>

namespace velmora {

// One row of the view column query, every item as text.
struct ViewColumnRow {
  std::string name;
  std::string type;       // data_type, bare (VARCHAR2, NUMBER ...)
  std::string length;     // data_length
  std::string typeOwner;  // " " for a built-in type (and always " " on 7 and 8.0)
};

class ViewReader {
 public:
  virtual ~ViewReader() = default;

  // "7", "8.0" or "8": picks the column query.
  virtual std::string serverVersion() = 0;
  // The names of the schema's views in the dictionary's order. A failing query writes its error
  // block into the report and returns false: the names read are kept, but the list is
  // incomplete.
  [[nodiscard]] virtual bool listViews(std::vector<std::string>& names) = 0;
  // The columns of a view by the given query text (":owner" and ":name" bound). Returns "" or the
  // Oracle message of a failure ("" for 1403 and 24344); rows holds what was read before it.
  virtual std::string columns(const std::string& queryText, const std::string& view,
                              std::vector<ViewColumnRow>& rows) = 0;
};

}  // namespace velmora
