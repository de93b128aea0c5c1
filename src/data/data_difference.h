// DataDifferenceWriter: what the merge of one table, view or statement pair writes for each
// difference: the header before the first one, then in the comparison report one line per row
// ("< " Database 1 in blue, "> " Database 2 in red), in the upgrade script one statement per
// difference that makes the row of Database 2 like that of Database 1 (INSERT, UPDATE of the
// row with that key, DELETE of one row). Borrows the output and options for one object.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/comparison_options.h"
#include "base/report_writer.h"
#include "data/data_row.h"

namespace velmora {

enum class DataObjectKind { Table, View, Statements };

struct DataObject {
  DataObjectKind kind = DataObjectKind::Table;
  std::string name;                      // as Database 1 lists it ("" for statements)
  std::vector<std::string> columnNames;  // in select order
  std::vector<int> widths;               // display widths of the report columns
  int keyCount = 0;                      // upgrade script: the first keyCount columns are the key
  // False when nothing makes the key unique (the user chose it): UPDATE and DELETE then find the
  // row by every column they can compare, so that a repeated key never makes them change
  // another row of that key.
  bool keyUnique = true;
  std::string statement1, statement2;  // SQL Compare: the two statements
};

class DataDifferenceWriter {
 public:
  DataDifferenceWriter(ReportWriter& out, const ComparisonOptions& options, DataObject object);

  void onlyIn1(const DataRow& row);                        // an INSERT in the upgrade script
  void onlyIn2(const DataRow& row);                        // a DELETE
  void changed(const DataRow& row1, const DataRow& row2);  // same key: an UPDATE
  bool wroteDifference() const { return !headerPending_; }
  int differences() const { return differences_; }  // rows written or statements made
  // Called before the first difference is written (the upgrade script disables foreign keys).
  void setBeforeFirst(std::function<void()> hook) { beforeFirst_ = std::move(hook); }

  // The statements of the upgrade script, without the line that precedes each.
  std::string insertStatement(const DataRow& row) const;
  std::string updateStatement(const DataRow& row1, const DataRow& row2) const;  // "" if no SET
  std::string deleteStatement(const DataRow& row) const;  // "" when no column can find the row
  // The columns the statements leave out (large objects), named once per table in a comment.
  std::vector<std::string> lobColumns(const DataRow& row) const;

 private:
  bool upgrade() const { return options_.i_DoingUpgradeScript != 0; }
  void writeHeader(const DataRow& row);
  void writeRow(const DataRow& row, bool first);
  void warnUnscriptable(const DataRow& row);
  std::string column(size_t i) const;
  std::string whereClause(const DataRow& row) const;

  ReportWriter& out_;
  const ComparisonOptions& options_;
  DataObject object_;
  bool headerPending_ = true;
  int differences_ = 0;
  std::function<void()> beforeFirst_;
};

}  // namespace velmora
