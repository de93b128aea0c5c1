#include "structure/index_comparer.h"

#include <algorithm>

#include "base/report_layout.h"
#include "base/report_text.h"
#include "oracle/oracle_text.h"
#include "structure/ddl_text.h"
#include "structure/statement_guard.h"
#include "structure/upgrade_dependencies.h"

namespace velmora {

namespace {

IndexEntry* findIndex(CommonTable& table, const std::string& name) {
  for (IndexEntry& index : table.indexes) {
    if (index.name == name) return &index;
  }
  return nullptr;
}

}  // namespace

bool IndexComparer::changed(const IndexEntry& index) {
  return index.firstUniqueness != index.secondUniqueness ||
         index.firstColumns != index.secondColumns;
}

int IndexComparer::compareIndexes(bool firstPass) {
  headerWritten_ = false;
  if (run_.mode() == 2) return firstPass ? scriptDatabaseIndexes() : 0;
  if (run_.database(firstPass).reader == nullptr) return 0;
  int rows = 0;
  const bool read = walkCommonTables(run_, firstPass, firstPassTables_, [&](CommonTable& table) {
    if (firstPass) table.indexes.clear();
    return readTable(table, firstPass, rows);
  });
  return read ? rows : 1;
}

bool IndexComparer::readTable(CommonTable& table, bool firstPass, int& rows) {
  StructureDatabase& database = run_.database(firstPass);
  const std::string& name = firstPass ? table.firstName : table.secondName;
  QueryRows<IndexRow> result = database.reader->indexes(database.owner, name);
  if (result.failed()) {
    writeQueryError(run_, "indexes", "indexes in database ", database, " for table " + name,
                    result.error);
    return false;
  }
  std::string previous;  // index name of the previous row (first pass) or previous new entry
  for (const IndexRow& row : result.rows) {
    run_.checkpoint();
    ++rows;
    if (firstPass) {
      firstPassRow(table, row, previous);
    } else {
      secondPassRow(table, row, previous);
    }
  }
  if (!firstPass) writeTable(table);
  return true;
}

void IndexComparer::firstPassRow(CommonTable& table, const IndexRow& row,
                                 std::string& previousName) {
  if (row.indexName != previousName || table.indexes.empty()) {
    IndexEntry entry;
    entry.name = row.indexName;
    entry.firstUniqueness = row.uniqueness;
    entry.secondUniqueness = kNotFound;
    entry.found = false;
    table.indexes.push_back(std::move(entry));
    previousName = row.indexName;
  }
  table.indexes.back().firstColumns.push_back(row.columnName);
}

void IndexComparer::secondPassRow(CommonTable& table, const IndexRow& row,
                                  std::string& previousNotFound) {
  if (IndexEntry* index = findIndex(table, row.indexName)) {
    index->secondUniqueness = row.uniqueness;
    index->found = true;
    index->secondColumns.push_back(row.columnName);
    return;
  }
  // Not reached for the later columns of an index created here: findIndex finds its entry.
  if (row.indexName != previousNotFound || table.indexes.empty()) {
    IndexEntry entry;
    entry.name = row.indexName;
    entry.firstUniqueness = kNotFound;
    entry.secondUniqueness = row.uniqueness;
    entry.found = true;
    table.indexes.push_back(std::move(entry));
    previousNotFound = row.indexName;
  }
  table.indexes.back().secondColumns.push_back(row.columnName);
}

void IndexComparer::writeTable(CommonTable& table) {
  firstDifference_ = true;
  linesWritten_ = false;
  createList_.clear();
  for (const IndexEntry& index : table.indexes) {
    const bool onlySecond = index.firstUniqueness == kNotFound;
    const bool onlyFirst = index.secondUniqueness == kNotFound;
    if (!onlySecond && !onlyFirst && !changed(index)) continue;
    run_.recordDifference("indexes");
    writeIndex(table, index);
  }
  if (!linesWritten_) return;
  run_.out.write("\r\n", kBlack, false, kCounted);
  if (!run_.upgrade() || run_.scripts == nullptr) return;
  dropConstraintsNamedLike(table);
  run_.out.write(
      run_.scripts->scriptIndexes(run_.database1.owner, table.firstName, &createList_) + "\r\n",
      kBlue, false, kCounted);
}

void IndexComparer::writeIndex(const CommonTable& table, const IndexEntry& index) {
  if (!headerWritten_) writeHeader();
  const int nameWidth = run_.tableColumnWidth();
  if (firstDifference_) {
    if (run_.report()) {
      run_.out.write(
          "\r\n" + fixedWidth(escapeControls(table.firstName), static_cast<size_t>(nameWidth)),
          kGreen, false, kNotCounted);
    } else {
      run_.out.write("\r\n/*  " + escapeForBlockComment(table.firstName) + "  */\r\n", kGreen,
                     false, kCounted);
    }
    firstDifference_ = false;
  } else if (run_.report()) {
    run_.out.write("\r\n\r\n" + blanks(nameWidth), kGreen, false, kNotCounted);
  }
  const bool onlySecond = index.firstUniqueness == kNotFound;
  if (run_.report()) {
    writeReportIndex(index);
  } else {
    if (onlySecond || index.secondUniqueness != kNotFound) writeDropIndex(table, index);
    if (!onlySecond) createList_.push_back(index.name);
  }
  linesWritten_ = true;
}

void IndexComparer::writeReportIndex(const IndexEntry& index) {
  const bool onlySecond = index.firstUniqueness == kNotFound;
  const bool onlyFirst = index.secondUniqueness == kNotFound;
  const ReportColour nameColour = onlySecond ? kRed : onlyFirst ? kBlue : kGreen;
  run_.out.write(fixedWidth(escapeControls(index.name), 25), nameColour, false, kNotCounted);
  const bool same = index.firstUniqueness == index.secondUniqueness;
  run_.out.write(fixedWidth(escapeControls(index.firstUniqueness), 16),
                 onlySecond ? kBlack
                 : same     ? kGreen
                            : kBlue,
                 false, kNotCounted);
  run_.out.write(fixedWidth(escapeControls(index.secondUniqueness), 16),
                 onlyFirst ? kBlack
                 : same    ? kGreen
                           : kRed,
                 false, kNotCounted);
  if (onlySecond || onlyFirst) return;
  const size_t pairs = std::max(index.firstColumns.size(), index.secondColumns.size());
  for (size_t i = 0; i < pairs; ++i) {
    const std::string first =
        i < index.firstColumns.size() ? escapeControls(index.firstColumns[i]) : "";
    const std::string second =
        i < index.secondColumns.size() ? escapeControls(index.secondColumns[i]) : "";
    if (i > 0)
      run_.out.write("\r\n" + blanks(run_.tableColumnWidth() + 57), kGreen, false, kNotCounted);
    const bool equal = first == second;
    run_.out.write(fixedWidth(first, 21), equal ? kGreen : kBlue, false, kNotCounted);
    run_.out.write(second, equal ? kGreen : kRed, false, kNotCounted);
  }
}

// An index that went with a dropped column is not dropped again.
void IndexComparer::writeDropIndex(const CommonTable& table, const IndexEntry& index) {
  if (linesWritten_) run_.out.write("\r\n", kBlack, false, kCounted);
  if (run_.dependencies.isIndexDropped(table.secondName, index.name)) {
    run_.out.write(run_.options.s_DashComment + "Index " + escapeControls(index.name) +
                       " went with a dropped column",
                   kGreen, false, kNotCounted);
    return;
  }
  if (refuseStatement(run_, "indexes", "the drop of index " + index.name, {index.name}, "")) return;
  run_.out.write("DROP INDEX " + ddlName(index.name) + ";", kRed, false, kNotCounted);
  run_.dependencies.indexDropped(table.secondName, index.name);
}

// An index about to be created under the name of a primary or unique key of Database 2 would
// collide with that key's own index, and one on the very columns of such a key would find them
// indexed already (ORA-01408) unless Database 1 keeps that key as it is: the key is dropped first
// (the constraint phase then finds it gone, and creates it again when Database 1 has it).
void IndexComparer::dropConstraintsNamedLike(const CommonTable& table) {
  if (createList_.empty() || run_.database2.reader == nullptr) return;
  DictionaryReader& reader2 = *run_.database2.reader;
  const std::string& owner2 = run_.database2.owner;
  for (const ConstraintRow& key : reader2.constraints(owner2, table.secondName, false).rows) {
    if (key.type != "P" && key.type != "U") continue;
    if (run_.dependencies.isConstraintDropped(table.secondName, key.name)) continue;
    if (!collidesWithNewIndex(table, key.name)) continue;
    if (refuseStatement(run_, "indexes",
                        "the drop of key " + key.name + " of table " + table.firstName,
                        {table.firstName, key.name}, "", "\r\n"))
      continue;
    const bool cascade = noteKeyDrop(reader2, owner2, key.name, run_.dependencies);
    run_.dependencies.constraintDropped(table.secondName, key.name);
    run_.out.write("ALTER TABLE " + ddlName(table.firstName) + " DROP CONSTRAINT " +
                       ddlName(key.name) + (cascade ? " CASCADE;" : ";") + "\r\n",
                   kRed, false, kCounted);
  }
}

bool IndexComparer::collidesWithNewIndex(const CommonTable& table, const std::string& key) {
  for (const std::string& name : createList_) {
    if (name == key) return true;
  }
  const std::vector<std::string> keyColumns =
      run_.database2.reader->constraintColumns(run_.database2.owner, key).rows;
  std::vector<std::string> keptColumns;
  if (run_.database1.reader != nullptr)
    keptColumns = run_.database1.reader->constraintColumns(run_.database1.owner, key).rows;
  if (keptColumns == keyColumns) return false;  // Database 1 has the key as it is
  for (const IndexEntry& index : table.indexes) {
    const bool created =
        std::find(createList_.begin(), createList_.end(), index.name) != createList_.end();
    if (created && index.firstColumns == keyColumns) return true;
  }
  return false;
}

void IndexComparer::writeHeader() {
  headerWritten_ = true;
  if (!run_.report()) {
    run_.out.write(
        kSectionStart + bannerTop() +
            "*  The following statements will upgrade the indexes for the COMMON tables" +
            bannerBottom(),
        kGreen, false, kCounted);
    return;
  }
  const int nameWidth = run_.tableColumnWidth();
  run_.out.write(
      "\r\n\r\n\r\nThe following are the index differences between COMMON tables\r\n\r\n", kBlack,
      false, kCounted);
  const std::string& name1 = run_.database1.displayName;
  const std::string& name2 = run_.database2.displayName;
  run_.out.write(blanks(nameWidth) + blanks(25) + fixedWidth(escapeControls(name1), 16), kBlue,
                 false, kNotCounted);
  run_.out.write(fixedWidth(escapeControls(name2), 16), kRed, false, kNotCounted);
  run_.out.write(fixedWidth(escapeControls(name1), 21), kBlue, false, kNotCounted);
  run_.out.write(fixedWidth(escapeControls(name2), 27), kRed, false, kNotCounted);
  run_.out.write("\r\n" + fixedWidth("TABLE", static_cast<size_t>(nameWidth)) +
                     fixedWidth("INDEX", 25) + fixedWidth("UNIQUENESS", 16) +
                     fixedWidth("UNIQUENESS", 16) + fixedWidth("COLUMN", 21) +
                     fixedWidth("COLUMN", 11) + "\r\n",
                 kBlack, false, kNotCounted);
  run_.out.write(std::string(130, '-'), kBlack, false, kNotCounted);
}

int IndexComparer::scriptDatabaseIndexes() {
  if (run_.database1.tables == nullptr || run_.scripts == nullptr) return 1;
  bool first = true;
  for (const std::string& table : *run_.database1.tables) {
    run_.checkpoint();
    run_.host.selectObject(table);
    run_.host.stepProgress();
    if (run_.options.isIgnoredTable(table)) continue;
    // Its creation was refused, with the comment that says why.
    if (!unwritableNameReason(table).empty()) continue;
    std::string ddl =
        trimTrailingSpace(run_.scripts->scriptIndexes(run_.database1.owner, table, nullptr));
    if (ddl.empty()) continue;
    ddl += "\r\n";
    if (first) {
      run_.out.write(kSectionStart + bannerTop(), kGreen, false, kCounted);
      run_.out.write("*  indexes\r\n*\r\n", kGreen, false, kCounted);
      run_.out.write("*  The following statements will create the indexes\r\n*\r\n", kGreen, false,
                     kNotCounted);
      run_.out.write(bannerBottom(), kGreen, false, kNotCounted);
      first = false;
    }
    run_.out.write(ddl, kBlue, false, kCounted);
  }
  return 1;
}

}  // namespace velmora
