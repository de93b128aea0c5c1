// Prints query results as a text table: the column names, a line of hyphens under each, then
// the rows; columns one blank apart, numbers right-aligned, text left-aligned, NULL empty,
// trailing blanks cut; nothing at all for a result without rows. Widths come from the names and the first rows (up to sampleRows are
// held back to measure them); later rows stream out with those widths. Not thread-safe.
//
//   ID NAME  NOTE
//   -- ----- ----
//    1 Smith
//   12 O'Neil x
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tool/connection.h"

namespace ocisim::tool {

class TablePrinter : public RowSink {
 public:
  explicit TablePrinter(std::ostream& out, size_t sampleRows = 1000)
      : out_(out), sampleRows_(sampleRows) {}

  void columns(const std::vector<ResultColumn>& columns) override;
  void row(const std::vector<std::optional<std::string>>& values) override;
  // Prints the rows still held back (with the header before the first row). A result without
  // rows prints nothing, as SQL*Plus shows only "no rows selected".
  void finish();
  // True once the header (and so at least one row) was printed.
  bool printedRows() const { return headerPrinted_; }

 private:
  using Row = std::vector<std::optional<std::string>>;
  void printHeader();
  void printRow(const Row& row);
  void emitLine(std::string line);

  std::ostream& out_;
  size_t sampleRows_;
  std::vector<ResultColumn> columns_;
  std::vector<size_t> widths_;
  std::vector<Row> held_;
  bool headerPrinted_ = false;
};

// The display width of UTF-8 text (code points; combining marks are not special-cased).
size_t displayWidth(const std::string& text);

}  // namespace ocisim::tool
