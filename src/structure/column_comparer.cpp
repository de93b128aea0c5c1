#include "structure/column_comparer.h"

#include <algorithm>

#include "base/report_layout.h"
#include "base/report_text.h"
#include "structure/column_text.h"
#include "structure/ddl_text.h"
#include "structure/statement_guard.h"
#include "structure/upgrade_dependencies.h"

namespace velmora {

namespace {

ColumnEntry* findColumn(CommonTable& table, const std::string& name) {
  for (ColumnEntry& column : table.columns) {
    if (column.name == name) return &column;
  }
  return nullptr;
}

}  // namespace

void writeColumnReportHeader(StructureRun& run, bool oneSided) {
  const int nameWidth = run.tableColumnWidth();
  run.out.write(
      "\r\n\r\n\r\nThe following are the structural differences between COMMON tables\r\n\r\n",
      kBlack, false, kNotCounted);
  run.out.write(
      blanks(nameWidth) + blanks(30) + fixedWidth(escapeControls(run.database1.displayName), 72),
      kBlue, false, kNotCounted);
  run.out.write(fixedWidth(escapeControls(run.database2.displayName), 32), kRed, false,
                kNotCounted);
  run.out.write("\r\n" + fixedWidth("TABLE", static_cast<size_t>(nameWidth)) +
                    fixedWidth("COLUMN", 30) + fixedWidth("TYPE", 72) + fixedWidth("TYPE", 67) +
                    "\r\n",
                kBlack, false, kNotCounted);
  run.out.write(std::string(oneSided ? 189 : 194, '-'), kBlack, false, kNotCounted);
}

int ColumnComparer::compareTableColumns(bool firstPass) {
  headerWritten_ = false;
  StructureDatabase& database = run_.database(firstPass);
  if (database.reader == nullptr) return 0;
  const std::string queryText = columnQueryText(run_.mode(), run_.options.b_CompColLen != 0,
                                                database.reader->serverVersion());
  int rows = 0;
  // Complete once the last pass of the run has read the table.
  const bool lastPass = !firstPass || run_.mode() == 2;
  if (firstPass) {
    for (CommonTable& table : run_.tables) table.columnsIncomplete = true;
  }
  const bool read = walkCommonTables(run_, firstPass, firstPassTables_, [&](CommonTable& table) {
    if (firstPass) table.columns.clear();
    if (!readTable(table, firstPass, queryText, rows)) return false;
    if (lastPass) table.columnsIncomplete = false;
    return true;
  });
  return read ? rows : 1;
}

// Reads one table in one database; false after a query error (already written).
bool ColumnComparer::readTable(CommonTable& table, bool firstPass, const std::string& queryText,
                               int& rows) {
  StructureDatabase& database = run_.database(firstPass);
  const std::string& name = firstPass ? table.firstName : table.secondName;
  QueryRows<ColumnRow> result = database.reader->columns(queryText, database.owner, name);
  if (result.failed()) {
    // Written whatever b_DoStruct says: the column lists of the later tables stay as they are.
    writeQueryError(run_, "columns", "columns for table " + table.firstName + " in database ",
                    database, "", result.error);
    return false;
  }
  firstDifference_ = true;
  differencesFound_ = false;
  for (const ColumnRow& row : result.rows) {
    run_.checkpoint();
    ++rows;
    if (firstPass) {
      firstPassRow(table, row);
    } else {
      secondPassRow(table, row);
    }
  }
  if (!firstPass) endTable(table);
  return true;
}

void ColumnComparer::firstPassRow(CommonTable& table, const ColumnRow& row) {
  if (run_.options.isIgnoredColumn(row.name)) return;
  const std::string typeText = columnTypeText(row);
  const ColumnTraits traits = columnTraits(row, typeText);
  ColumnEntry entry;
  entry.name = row.name;
  entry.sourceType = typeText;
  entry.targetType = kNotFound;
  entry.found = false;
  entry.orderable = traits.orderable;
  entry.selectable = traits.selectable;
  entry.key = true;
  entry.displayWidth = columnDisplayWidth(row.name, typeText, traits.rawWidth);
  table.columns.push_back(std::move(entry));
}

void ColumnComparer::secondPassRow(CommonTable& table, const ColumnRow& row) {
  const std::string typeText = columnTypeText(row);
  const ColumnTraits traits = columnTraits(row, typeText);
  if (ColumnEntry* column = findColumn(table, row.name)) {
    column->targetType = typeText;
    column->orderable = column->orderable && traits.orderable;
    column->selectable = column->selectable && traits.selectable;
    column->found = true;
    column->key = true;
    if (column->sourceType != column->targetType)
      writeDifference(table, *column, Difference::Changed);
    if (column->displayWidth < traits.rawWidth) column->displayWidth = traits.rawWidth;
    return;
  }
  if (run_.options.isIgnoredColumn(row.name)) return;
  table.sameColumns = false;
  ColumnEntry entry;
  entry.name = row.name;
  entry.sourceType = kNotFound;
  entry.targetType = typeText;
  entry.displayWidth = traits.rawWidth;
  entry.found = true;
  entry.orderable = traits.orderable;
  entry.selectable = traits.selectable;
  entry.key = true;
  table.columns.push_back(std::move(entry));
  writeDifference(table, table.columns.back(), Difference::OnlyInSecond);
}

void ColumnComparer::endTable(CommonTable& table) {
  for (ColumnEntry& column : table.columns) {
    if (column.found) continue;
    table.sameColumns = false;
    writeDifference(table, column, Difference::OnlyInFirst);
  }
  if (!run_.options.b_DoStruct) return;
  if (differencesFound_) {
    run_.out.write("\r\n", kBlack, false, kCounted);
    return;
  }
  if (!run_.options.b_NoDiffCol) return;
  if (!headerWritten_) writeHeader(false);
  run_.out.write(
      "\r\n" + run_.options.s_DashComment +
          fixedWidth(escapeControls(table.firstName), static_cast<size_t>(run_.tableColumnWidth())),
      kGreen, false, kNotCounted);
  run_.out.write("No Structural Differences Found\r\n", kMaroon, false, kNotCounted);
}

void ColumnComparer::writeHeader(bool oneSided) {
  headerWritten_ = true;
  if (run_.report()) {
    writeColumnReportHeader(run_, oneSided);
    return;
  }
  run_.out.write(kSectionStart + bannerTop() + run_.options.s_StarComment +
                     "The following statements will upgrade the COMMON tables" + bannerBottom(),
                 kGreen, false, kCounted);
}

void ColumnComparer::writeDifference(CommonTable& table, ColumnEntry& column, Difference kind) {
  if (!run_.options.b_DoStruct) return;
  differencesFound_ = true;
  run_.recordDifference("columns");
  if (!headerWritten_) writeHeader(kind != Difference::Changed);
  if (run_.report()) {
    writeReportLine(table, column, kind);
  } else {
    writeStatement(table, column, kind);
  }
}

void ColumnComparer::writeReportLine(const CommonTable& table, const ColumnEntry& column,
                                     Difference kind) {
  const size_t nameWidth = static_cast<size_t>(run_.tableColumnWidth());
  run_.out.write("\r\n" + (firstDifference_ ? fixedWidth(escapeControls(table.firstName), nameWidth)
                                            : blanks(static_cast<int>(nameWidth))),
                 kGreen, false, kNotCounted);
  firstDifference_ = false;
  const ReportColour nameColour = kind == Difference::OnlyInSecond  ? kRed
                                  : kind == Difference::OnlyInFirst ? kBlue
                                                                    : kGreen;
  run_.out.write(fixedWidth(escapeControls(column.name), 30), nameColour, false, kNotCounted);
  run_.out.write(fixedWidth(escapeControls(column.sourceType), 72),
                 column.sourceType == kNotFound ? kBlack : kBlue, false, kNotCounted);
  run_.out.write(escapeControls(column.targetType), column.targetType == kNotFound ? kBlack : kRed,
                 false, kNotCounted);
}

void ColumnComparer::writeStatement(const CommonTable& table, ColumnEntry& column,
                                    Difference kind) {
  // The type text holds the default of Database 1, written into ADD and MODIFY as it stands.
  std::string reason = unwritableNamesReason({table.firstName, column.name});
  if (reason.empty() && kind != Difference::OnlyInSecond) {
    reason = unwritableExpressionReason(column.sourceType);
    if (!reason.empty()) reason = "its type and default: " + reason;
  }
  if (refuseStatementFor(run_, "columns", "column " + column.name + " of table " + table.firstName,
                         reason))
    return;
  if (kind == Difference::Changed && writeKeyRelease(table, column)) return;
  if (kind != Difference::OnlyInSecond && deferNotNull(table, column, kind)) return;
  const bool drop = kind == Difference::OnlyInSecond;
  run_.out.write("\r\nALTER TABLE " + ddlName(table.firstName), drop ? kRed : kBlue, false,
                 kNotCounted);
  switch (kind) {
    case Difference::OnlyInSecond:
      run_.out.write(dropColumnClause(table, column.name), kRed, false, kNotCounted);
      break;
    case Difference::OnlyInFirst:
      run_.out.write(" ADD ( " + ddlName(column.name) + " " + column.sourceType + " );", kBlue,
                     false, kNotCounted);
      break;
    case Difference::Changed:
      column.sourceType = modifyTypeText(column.sourceType, column.targetType);
      run_.out.write(" MODIFY ( " + ddlName(column.name) + " " + column.sourceType + " );", kBlue,
                     false, kNotCounted);
      break;
  }
}

// A NOT NULL column added to a table of Database 2 that has rows fails (ORA-01758), and so does
// NOT NULL on a column that holds NULLs there (ORA-02296), although the data statements further
// down would fill those values. So the upgrade script adds or changes the column nullable and
// the data phase sets NOT NULL after its statements; without the data phase a comment says what
// the user must fill. True when the statement has been written here.
bool ColumnComparer::deferNotNull(const CommonTable& table, ColumnEntry& column, Difference kind) {
  if (!run_.upgrade() || !isNotNullType(column.sourceType)) return false;
  if (kind == Difference::Changed && isNotNullType(column.targetType)) return false;
  // A column added with a default takes the default in every row.
  if (kind == Difference::OnlyInFirst && column.sourceType.find(" DEFAULT ") != std::string::npos)
    return false;
  // A table without such rows takes the NOT NULL at once.
  if (run_.database2.reader != nullptr &&
      !run_.database2.reader->mayHoldRows(run_.database2.owner, table.secondName,
                                          kind == Difference::Changed ? column.name : ""))
    return false;
  const std::string nullable = withNullability(column.sourceType, false);
  if (kind == Difference::OnlyInFirst) {
    run_.out.write("\r\nALTER TABLE " + ddlName(table.firstName) + " ADD ( " +
                       ddlName(column.name) + " " + nullable + " );",
                   kBlue, false, kNotCounted);
  } else if (nullable != column.targetType) {
    run_.out.write("\r\nALTER TABLE " + ddlName(table.firstName) + " MODIFY ( " +
                       ddlName(column.name) + " " + modifyTypeText(nullable, column.targetType) +
                       " );",
                   kBlue, false, kNotCounted);
  }
  if (run_.options.b_DoData) {
    run_.dependencies.deferNotNull(table.firstName, column.name);
  } else {
    run_.out.write("\r\n" + run_.options.s_DashComment + "WARNING:  column " +
                       escapeControls(column.name) + " of table " +
                       escapeControls(table.firstName) +
                       " is NOT NULL in the source: give every row a value, then run ALTER TABLE " +
                       escapeControls(ddlName(table.firstName)) + " MODIFY ( " +
                       escapeControls(ddlName(column.name)) + " NOT NULL );",
                   kMaroon, false, kNotCounted);
  }
  return true;
}

// A column made nullable while a primary key of Database 2 holds it: the key is dropped first;
// when the key alone made the column NOT NULL, the column is nullable with it and MODIFY says
// only what else changes (nothing, when that was all).
bool ColumnComparer::writeKeyRelease(const CommonTable& table, ColumnEntry& column) {
  if (!run_.upgrade() || run_.database2.reader == nullptr) return false;
  if (isNotNullType(column.sourceType) || !isNotNullType(column.targetType)) return false;
  KeyRelease release = notePrimaryKeyRelease(*run_.database2.reader, run_.database2.owner,
                                             table.secondName, column.name, run_.dependencies);
  if (release.key.empty()) return false;
  if (refuseStatement(run_, "columns",
                      "the drop of key " + release.key + " of table " + table.firstName,
                      {release.key}))
    return true;
  if (!release.alreadyDropped)
    run_.out.write("\r\nALTER TABLE " + ddlName(table.firstName) + " DROP CONSTRAINT " +
                       ddlName(release.key) + (release.cascade ? " CASCADE;" : ";"),
                   kRed, false, kNotCounted);
  if (release.ownNotNull) return false;
  const std::string nullable = withNullability(column.targetType, false);
  if (nullable == column.sourceType) {
    if (release.alreadyDropped)
      run_.out.write("\r\n" + run_.options.s_DashComment + "Column " + escapeControls(column.name) +
                         " is nullable without the dropped key " + escapeControls(release.key),
                     kGreen, false, kNotCounted);
    return true;
  }
  column.sourceType = modifyTypeText(column.sourceType, nullable);
  run_.out.write("\r\nALTER TABLE " + ddlName(table.firstName), kBlue, false, kNotCounted);
  run_.out.write(" MODIFY ( " + ddlName(column.name) + " " + column.sourceType + " );", kBlue,
                 false, kNotCounted);
  return true;
}

// Dropping a column also drops the constraints and indexes on it; a key that foreign keys
// reference, or a constraint on several columns, needs CASCADE CONSTRAINTS.
std::string ColumnComparer::dropColumnClause(const CommonTable& table, const std::string& column) {
  bool cascade = false;
  if (run_.database2.reader != nullptr)
    cascade = noteColumnDrop(*run_.database2.reader, run_.database2.owner, table.secondName, column,
                             run_.dependencies);
  return " DROP COLUMN " + ddlName(column) + (cascade ? " CASCADE CONSTRAINTS;" : ";");
}

}  // namespace velmora
