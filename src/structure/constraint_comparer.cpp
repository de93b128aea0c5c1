#include "structure/constraint_comparer.h"

#include <algorithm>

#include "base/report_layout.h"
#include "base/report_text.h"
#include "oracle/oracle_text.h"
#include "structure/constraint_scripts.h"
#include "structure/ddl_format.h"
#include "structure/ddl_text.h"
#include "structure/key_columns.h"
#include "structure/statement_guard.h"
#include "structure/upgrade_dependencies.h"

namespace velmora {

namespace {

bool isKey(const std::string& type) {
  return type == "P" || type == "U";
}

}  // namespace

bool ConstraintComparer::namesShown() const {
  return run_.options.i_DoConsName != 0 || !run_.report();
}

std::string ConstraintComparer::constraintColumnList(const std::string& table,
                                                     const std::string& constraint,
                                                     bool firstPass) {
  StructureDatabase& database = run_.database(firstPass);
  if (database.reader == nullptr) return "";
  QueryRows<std::string> columns = database.reader->constraintColumns(database.owner, constraint);
  if (columns.failed()) {
    writeQueryError(run_, "constraints", "constraint columns in database ", database,
                    " for constraint " + constraint, columns.error);
    columnsUnread_.insert(table);
    return "";
  }
  return joinColumns(columns.rows);
}

int ConstraintComparer::compareConstraints(bool firstPass) {
  if (firstPass) {
    longestKey_ = 0;
    longestColumns_ = 0;
    columnsUnread_.clear();
  }
  if (run_.mode() == 2) return firstPass ? scriptDatabaseConstraints() : 0;
  if (run_.database(firstPass).reader == nullptr) return 0;
  int rows = 0;
  const bool read = walkCommonTables(run_, firstPass, firstPassTables_, [&](CommonTable& table) {
    if (firstPass) table.constraints.clear();
    return readTable(table, firstPass, rows);
  });
  return read ? rows : 0;
}

bool ConstraintComparer::readTable(CommonTable& table, bool firstPass, int& rows) {
  StructureDatabase& database = run_.database(firstPass);
  const std::string& name = firstPass ? table.firstName : table.secondName;
  const bool withoutSystemNamed = run_.options.i_DoConsName == 1 || run_.upgrade();
  QueryRows<ConstraintRow> result =
      database.reader->constraints(database.owner, name, withoutSystemNamed);
  if (result.failed()) {
    writeQueryError(run_, "constraints", "constraints in database ", database, " for table " + name,
                    result.error);
    return false;
  }
  for (const ConstraintRow& row : result.rows) {
    run_.checkpoint();
    ++rows;
    addRow(table, row, firstPass);
  }
  if (!firstPass && columnsUnread_.count(table.firstName) == 0) writeTable(table);
  return true;
}

void ConstraintComparer::addRow(CommonTable& table, const ConstraintRow& row, bool firstPass) {
  const std::string deleteRule = normalizedConstraintText(row.deleteRule);
  const std::string condition = normalizedConstraintText(row.condition);
  const std::string columns =
      run_.options.b_DoConsCols ? constraintColumnList(table.firstName, row.name, firstPass) : "";
  const std::string key = run_.report() && run_.options.i_DoConsName == 0 ? columns : row.name;
  longestKey_ = std::max(longestKey_, key.size());
  longestColumns_ = std::max(longestColumns_, columns.size());
  if (!firstPass) {
    for (ConstraintEntry& entry : table.constraints) {
      if (entry.key != key || entry.secondType != kNotFound) continue;
      entry.secondType = row.type;
      entry.secondDeleteRule = deleteRule;
      entry.secondCondition = condition;
      entry.secondColumns = columns;
      entry.matched = true;
      return;
    }
  }
  ConstraintEntry entry;
  entry.key = key;
  if (firstPass) {
    entry.firstType = row.type;
    entry.firstDeleteRule = deleteRule;
    entry.firstCondition = condition;
    entry.firstColumns = columns;
    entry.matched = false;
  } else {
    entry.secondType = row.type;
    entry.secondDeleteRule = deleteRule;
    entry.secondCondition = condition;
    entry.secondColumns = columns;
    entry.matched = true;
  }
  table.constraints.push_back(std::move(entry));
}

std::string ConstraintComparer::line(const ConstraintEntry& entry, bool first) const {
  std::string text;
  if (namesShown()) text += fixedWidth(entry.key, keyWidth() + 2);
  text += fixedWidth(first ? entry.firstType : entry.secondType, 6);
  if (run_.options.b_DoConsCols)
    text += fixedWidth(first ? entry.firstColumns : entry.secondColumns, columnsWidth() + 2);
  text += fixedWidth(first ? entry.firstDeleteRule : entry.secondDeleteRule, 17);
  text += first ? entry.firstCondition : entry.secondCondition;
  return text;
}

void ConstraintComparer::writeTable(const CommonTable& table) {
  std::vector<const ConstraintEntry*> differing;
  for (const ConstraintEntry& entry : table.constraints) {
    const bool onlySecond = entry.firstType == kNotFound;
    const bool onlyFirst = entry.secondType == kNotFound;
    if (!onlySecond && !onlyFirst && line(entry, true) == line(entry, false)) continue;
    differing.push_back(&entry);
  }
  if (differing.empty()) return;
  run_.recordDifference("constraints", static_cast<int>(differing.size()));
  writeTableHeading(table);
  if (run_.report()) {
    for (const ConstraintEntry* entry : differing) {
      if (entry->firstType != kNotFound) {
        run_.out.write("< ", kBlack, false, kCounted);
        run_.out.write(escapeControls(line(*entry, true)) + "\r\n", kBlue, false, kCounted);
      }
      if (entry->secondType != kNotFound) {
        run_.out.write("> ", kBlack, false, kCounted);
        run_.out.write(escapeControls(line(*entry, false)) + "\r\n", kRed, false, kCounted);
      }
    }
    return;
  }
  // Every drop comes before any creation: a key of Database 1 may need the columns that a key
  // of Database 2 holds under another name (ORA-02261), and a table has one primary key.
  for (const ConstraintEntry* entry : differing) {
    if (entry->secondType != kNotFound) writeDrop(table, *entry);
  }
  for (const ConstraintEntry* entry : differing) {
    if (entry->firstType != kNotFound) writeAdd(table, *entry);
  }
}

void ConstraintComparer::writeTableHeading(const CommonTable& table) {
  if (!run_.report()) {
    run_.out.write(kSectionStart + bannerTop() +
                       "*  The following statements will upgrade constraints for table " +
                       escapeForBlockComment(table.firstName) + bannerBottom(),
                   kGreen, false, kCounted);
    return;
  }
  run_.out.write("\r\n\r\n\r\nThe following are the constraint differences for table ", kBlack,
                 false, kCounted);
  run_.out.write(escapeControls(table.firstName) + "\r\n\r\n", kGreen, false, kCounted);
  const bool columns = run_.options.b_DoConsCols != 0;
  std::string heading = namesShown() ? fixedWidth("  CONSTRAINT", keyWidth() + 4) : "  ";
  heading += "TYPE  ";
  if (columns) heading += fixedWidth("COLUMNS", columnsWidth() + 2);
  heading += "DELETE RULE      SEARCH CONDITION    \r\n";
  std::string hyphens = namesShown() ? fixedWidth(separatorLine(), keyWidth() + 4) : "--";
  if (columns) hyphens += fixedWidth(separatorLine(), columnsWidth() + 2);
  hyphens += std::string(6, '-') + std::string(126, '-') + "\r\n";
  run_.out.write(heading + hyphens, kBlack, false, kNotCounted);
}

// A key that foreign keys still reference is dropped with CASCADE (the foreign keys Database 1
// keeps are created again at the end); a constraint already gone is not dropped again.
void ConstraintComparer::writeDrop(const CommonTable& table, const ConstraintEntry& entry) {
  ScriptDependencies& dependencies = run_.dependencies;
  if (dependencies.isConstraintDropped(table.secondName, entry.key)) {
    run_.out.write(run_.options.s_DashComment + "Constraint " + escapeControls(entry.key) +
                       " was dropped by an earlier statement\r\n",
                   kGreen, false, kCounted);
    return;
  }
  if (refuseStatement(run_, "constraints",
                      "the drop of constraint " + entry.key + " of table " + table.firstName,
                      {table.firstName, entry.key}, "", "\r\n"))
    return;
  bool cascade = false;
  if (isKey(entry.secondType) && run_.database2.reader != nullptr)
    cascade = noteKeyDrop(*run_.database2.reader, run_.database2.owner, entry.key, dependencies);
  dependencies.constraintDropped(table.secondName, entry.key);
  run_.out.write("ALTER TABLE " + ddlName(table.firstName) + " DROP CONSTRAINT " +
                     ddlName(entry.key) + (cascade ? " CASCADE" : "") + ";\r\n",
                 kRed, false, kCounted);
}

// Foreign keys wait for the end of the script, when every key they may reference exists.
void ConstraintComparer::writeAdd(const CommonTable& table, const ConstraintEntry& entry) {
  if (run_.scripts == nullptr) return;
  if (entry.firstType == "R") {
    run_.dependencies.deferForeignKey(table.firstName, entry.key);
    run_.out.write(run_.options.s_DashComment + "Foreign key " + escapeControls(entry.key) +
                       " is created at the end of the script\r\n",
                   kGreen, false, kCounted);
    return;
  }
  if (isKey(entry.firstType)) {
    dropSystemNamedKeyInTheWay(table, entry);
    dropIndexNamedLike(table, entry.key);
  }
  run_.dependencies.constraintCreated(table.firstName, entry.key);
  run_.out.write(
      run_.scripts->scriptConstraint(run_.database1.owner, table.firstName, entry.key) + "\r\n",
      kBlue, false, kCounted);
}

// System-named constraints take no part in an upgrade, but a system-named key of Database 2
// would make the named key of Database 1 fail: the table's primary key (ORA-02260), or a unique
// key on the same columns (ORA-02261). Such a key is dropped first, with CASCADE when foreign
// keys reference it.
void ConstraintComparer::dropSystemNamedKeyInTheWay(const CommonTable& table,
                                                    const ConstraintEntry& entry) {
  DictionaryReader* reader1 = run_.database1.reader;
  DictionaryReader* reader2 = run_.database2.reader;
  if (reader1 == nullptr || reader2 == nullptr) return;
  const std::string& owner2 = run_.database2.owner;
  const std::vector<std::string> columns =
      reader1->constraintColumns(run_.database1.owner, entry.key).rows;
  for (const ConstraintRow& row : reader2->constraints(owner2, table.secondName, false).rows) {
    if (!isSystemConstraintName(row.name) || !isKey(row.type)) continue;
    if (run_.dependencies.isConstraintDropped(table.secondName, row.name)) continue;
    const bool bothPrimary = row.type == "P" && entry.firstType == "P";
    if (!bothPrimary && reader2->constraintColumns(owner2, row.name).rows != columns) continue;
    if (refuseStatement(run_, "constraints",
                        "the drop of key " + row.name + " of table " + table.firstName,
                        {table.firstName, row.name}, "", "\r\n"))
      continue;
    const bool cascade = noteKeyDrop(*reader2, owner2, row.name, run_.dependencies);
    run_.dependencies.constraintDropped(table.secondName, row.name);
    run_.out.write(run_.options.s_DashComment + "The system-named key " + escapeControls(row.name) +
                       " stands in the way of " + escapeControls(entry.key) + "\r\n",
                   kGreen, false, kCounted);
    run_.out.write("ALTER TABLE " + ddlName(table.firstName) + " DROP CONSTRAINT " +
                       ddlName(row.name) + (cascade ? " CASCADE" : "") + ";\r\n",
                   kRed, false, kCounted);
  }
}

// A key creates an index of its own name: a plain index of that name in Database 2 is dropped
// first (unless the index phase already did).
void ConstraintComparer::dropIndexNamedLike(const CommonTable& table, const std::string& key) {
  if (run_.database2.reader == nullptr) return;
  if (run_.dependencies.isIndexDropped(table.secondName, key)) return;
  for (const IndexRow& row :
       run_.database2.reader->indexes(run_.database2.owner, table.secondName).rows) {
    if (row.indexName != key) continue;
    if (refuseStatement(run_, "constraints", "the drop of index " + key, {key}, "", "\r\n")) return;
    run_.dependencies.indexDropped(table.secondName, key);
    run_.out.write("DROP INDEX " + ddlName(key) + ";\r\n", kRed, false, kCounted);
    return;
  }
}

int ConstraintComparer::scriptDatabaseConstraints() {
  if (run_.database1.tables == nullptr || run_.scripts == nullptr) return 1;
  bool first = true;
  for (const std::string& table : *run_.database1.tables) {
    run_.checkpoint();
    run_.host.selectObject(table);
    run_.host.stepProgress();
    if (run_.options.isIgnoredTable(table)) continue;
    // Its creation was refused, with the comment that says why.
    if (!unwritableNameReason(table).empty()) continue;
    std::string ddl = trimTrailingSpace(scriptOwnConstraints(run_, table));
    if (ddl.empty()) continue;
    ddl += "\r\n";
    if (first) {
      run_.out.write(kSectionStart + bannerTop(), kGreen, false, kCounted);
      run_.out.write("*  constraints\r\n*\r\n", kGreen, false, kCounted);
      run_.out.write("*  The following statements will create the constraints\r\n\r\n", kBlack,
                     false, kNotCounted);
      run_.out.write(bannerBottom(), kGreen, false, kNotCounted);
      first = false;
    }
    run_.out.write(ddl, kBlue, false, kCounted);
  }
  return 1;
}

}  // namespace velmora
