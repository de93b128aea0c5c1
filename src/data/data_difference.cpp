#include "data/data_difference.h"

#include "base/report_layout.h"
#include "base/report_text.h"
#include "data/data_literal.h"
#include "data/row_compare.h"
#include "structure/ddl_text.h"

namespace velmora {

namespace {

constexpr const char* kUpdateNote =
    "-- ROWNUM=1 added to prevent updating more than a single row, if multiple records need be "
    "updated, multiple statements will be generated.\r\n";
constexpr const char* kDeleteNote =
    "-- ROWNUM=1 added to prevent deleting more than a single row, if multiple records need be "
    "deleted, multiple statements will be generated.\r\n";

bool searchable(FieldKind kind) {
  return kind != FieldKind::Lob && kind != FieldKind::Long && kind != FieldKind::LongRaw;
}

// A LONG value a script cannot write: longer than the longest literal PL/SQL takes.
constexpr size_t kLongestScriptLong = 32760;

bool unscriptable(const DataField& field) {
  return (field.kind == FieldKind::Long || field.kind == FieldKind::LongRaw) && !field.null &&
         field.text.size() > kLongestScriptLong;
}

// A LONG value longer than a SQL literal may be (4,000 bytes) reaches its statement through a
// PL/SQL variable (a literal of up to 32,767 bytes there): the statement runs in a block.
constexpr size_t kLongestSqlLiteral = 4000;

class LongVariables {
 public:
  // The value as the statement writes it: its literal, or the variable that holds it.
  std::string value(const DataField& field) {
    const bool isLong = field.kind == FieldKind::Long || field.kind == FieldKind::LongRaw;
    if (!isLong || field.null || field.text.size() <= kLongestSqlLiteral)
      return scriptLiteral(field);
    const std::string name = "long_value_" + std::to_string(++count_);
    declarations_ += "  " + name +
                     (field.kind == FieldKind::LongRaw ? " LONG RAW := " : " LONG := ") +
                     scriptLiteral(field) + ";\r\n";
    return name;
  }
  // The statement (ending in ";\r\n"), in a block when it uses a variable.
  std::string wrap(const std::string& statement) const {
    if (count_ == 0) return statement;
    return "DECLARE\r\n" + declarations_ + "BEGIN\r\n" + statement + "END;\r\n/\r\n";
  }

 private:
  int count_ = 0;
  std::string declarations_;
};

// What the statements leave out: large objects (named once per table) and LONG values too long
// for a script (named before each statement that leaves one out).
bool leftOut(const DataField& field) {
  return field.kind == FieldKind::Lob || unscriptable(field);
}

}  // namespace

DataDifferenceWriter::DataDifferenceWriter(ReportWriter& out, const ComparisonOptions& options,
                                           DataObject object)
    : out_(out), options_(options), object_(std::move(object)) {}

std::string DataDifferenceWriter::column(size_t i) const {
  return "\"" + (i < object_.columnNames.size() ? object_.columnNames[i] : std::string()) + "\"";
}

std::vector<std::string> DataDifferenceWriter::lobColumns(const DataRow& row) const {
  std::vector<std::string> names;
  for (size_t i = 0; i < row.size() && i < object_.columnNames.size(); ++i) {
    if (row[i].kind == FieldKind::Lob) names.push_back(object_.columnNames[i]);
  }
  return names;
}

void DataDifferenceWriter::writeHeader(const DataRow& row) {
  ++differences_;
  if (!headerPending_) return;
  headerPending_ = false;
  if (beforeFirst_) beforeFirst_();
  const std::string name = reportText(options_, object_.name);
  switch (object_.kind) {
    case DataObjectKind::View:
      out_.write("\r\n\r\n\r\nDifferences found in view ", kBlack);
      break;
    case DataObjectKind::Statements:
      out_.write("\r\n\r\n\r\nDifferences found in statements ", kBlack);
      out_.write("\r\n\r\n\r\n< " + escapeControls(object_.statement1, "\r\n\t"), kBlue);
      out_.write("\r\n\r\n> " + escapeControls(object_.statement2, "\r\n\t"), kRed);
      out_.write("\r\n", kRed);
      break;
    case DataObjectKind::Table:
      if (upgrade()) {
        out_.write("\r\n\r\n\r\n" + options_.s_DashComment +
                       "The following statements will update the data for table ",
                   kMaroon);
      } else {
        out_.write("\r\n\r\n\r\nDifferences found in table ", kBlack);
      }
      break;
  }
  out_.write(name + "\r\n\r\n  ", kGreen);
  if (!upgrade()) {
    for (size_t i = 0; i < object_.columnNames.size(); ++i) {
      int width = i < object_.widths.size() ? object_.widths[i] : 10;
      out_.write(fixedWidth(escapeControls(object_.columnNames[i]), static_cast<size_t>(width)),
                 kGreen, true);
      out_.write("_", ReportColour::White);
    }
  } else {
    for (const std::string& lob : lobColumns(row)) {
      out_.write("\r\n" + options_.s_DashComment + "WARNING:  the contents of COLUMN " +
                     reportText(options_, lob) +
                     " (a large object) are not compared; the statements below leave it out.",
                 kMaroon, false, kCounted);
    }
  }
  out_.write("\r\n", kBlack, false, kCounted);
}

void DataDifferenceWriter::writeRow(const DataRow& row, bool first) {
  out_.write("\r\n", kBlack, false, kCounted);
  out_.write(first ? "< " : "> ", kBlack);
  const ReportColour colour = first ? kBlue : kRed;
  std::string line;
  for (size_t i = 0; i < row.size(); ++i) {
    const int width = i < object_.widths.size() ? object_.widths[i] : 10;
    appendFixedWidth(line, reportValue(row[i]), static_cast<size_t>(std::max(width, 1)));
    line += ' ';
  }
  out_.write(line, colour, false, kCounted);
}

std::string DataDifferenceWriter::insertStatement(const DataRow& row) const {
  std::string names, values;
  LongVariables variables;
  for (size_t i = 0; i < row.size(); ++i) {
    if (leftOut(row[i])) continue;
    names += (names.empty() ? "" : ", ") + column(i);
    values += (values.empty() ? "" : ", ") + variables.value(row[i]);
  }
  return variables.wrap("INSERT INTO " + ddlName(object_.name) + " (" + names + ")\r\nVALUES (" +
                        values + ");\r\n");
}

std::string DataDifferenceWriter::whereClause(const DataRow& row) const {
  const size_t keys = static_cast<size_t>(object_.keyCount);
  std::string where;
  for (size_t i = 0; i < row.size(); ++i) {
    if (keys > 0 && i >= keys && object_.keyUnique) break;
    if (!searchable(row[i].kind)) continue;
    where += (where.empty() ? "" : " and ") + column(i) +
             (row[i].null ? " IS NULL" : " = " + scriptLiteral(row[i]));
  }
  return where;
}

std::string DataDifferenceWriter::updateStatement(const DataRow& row1, const DataRow& row2) const {
  std::string set;
  LongVariables variables;
  for (size_t i = static_cast<size_t>(object_.keyCount); i < row1.size() && i < row2.size(); ++i) {
    if (leftOut(row1[i]) || fieldsEqual(row1[i], row2[i], options_)) continue;
    set += (set.empty() ? "" : ", ") + column(i) + " = " + variables.value(row1[i]);
  }
  if (set.empty()) return "";
  return variables.wrap("UPDATE " + ddlName(object_.name) + " SET " + set + "\r\nWHERE " +
                        whereClause(row2) + " and ROWNUM = 1;\r\n") +
         kUpdateNote;
}

std::string DataDifferenceWriter::deleteStatement(const DataRow& row) const {
  std::string where = whereClause(row);
  if (where.empty()) return "";
  return "DELETE FROM " + ddlName(object_.name) + "\r\nWHERE " + where + " and ROWNUM = 1;\r\n" +
         kDeleteNote;
}

void DataDifferenceWriter::warnUnscriptable(const DataRow& row) {
  for (size_t i = 0; i < row.size() && i < object_.columnNames.size(); ++i) {
    if (!unscriptable(row[i])) continue;
    out_.write(options_.s_DashComment + "WARNING:  the value of COLUMN " +
                   reportText(options_, object_.columnNames[i]) + " (" +
                   std::to_string(row[i].text.size()) +
                   " bytes) is longer than a script can write; the statement below leaves it "
                   "out: copy it by other means.\r\n",
               kMaroon, false, kCounted);
  }
}

void DataDifferenceWriter::onlyIn1(const DataRow& row) {
  writeHeader(row);
  if (!upgrade()) return writeRow(row, true);
  out_.write("\r\n", kBlack, false, kCounted);
  if (!options_.b_UpdInserts) return;
  warnUnscriptable(row);
  out_.write(insertStatement(row), kBlue);
}

void DataDifferenceWriter::onlyIn2(const DataRow& row) {
  writeHeader(row);
  if (!upgrade()) return writeRow(row, false);
  out_.write("\r\n", kBlack, false, kCounted);
  if (!options_.b_UpdDeletes) return;
  std::string statement = deleteStatement(row);
  if (statement.empty()) {
    out_.write(options_.s_DashComment +
                   "WARNING:  a row only in Database 2 has no column that can find it; it is not "
                   "deleted.\r\n",
               kMaroon, false, kCounted);
    return;
  }
  out_.write(statement, kRed);
}

void DataDifferenceWriter::changed(const DataRow& row1, const DataRow& row2) {
  writeHeader(row1);
  if (!upgrade()) {
    writeRow(row1, true);
    writeRow(row2, false);
    return;
  }
  out_.write("\r\n", kBlack, false, kCounted);
  if (!options_.b_UpdUpdates) return;
  warnUnscriptable(row1);
  out_.write(updateStatement(row1, row2), kGreen);
}

}  // namespace velmora
