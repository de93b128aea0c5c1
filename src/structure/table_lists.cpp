#include "structure/table_lists.h"

#include <algorithm>

#include "base/report_layout.h"
#include "base/report_text.h"
#include "structure/constraint_scripts.h"
#include "structure/ddl_text.h"
#include "structure/statement_guard.h"
#include "structure/upgrade_dependencies.h"

namespace velmora {

namespace {

const std::vector<std::string>& emptyList() {
  static const std::vector<std::string> empty;
  return empty;
}

}  // namespace

const std::vector<std::string>& TableListComparer::list1() const {
  return run_.database1.tables != nullptr ? *run_.database1.tables : emptyList();
}

// Database 2 is not read in "Script database 1" mode.
const std::vector<std::string>& TableListComparer::list2() const {
  return run_.mode() != 2 && run_.database2.tables != nullptr ? *run_.database2.tables
                                                              : emptyList();
}

void TableListComparer::compareTableLists() {
  run_.host.setStatus("Analyzing Databases ...");
  run_.host.setTitle("Analyzing Databases - Velmora for Oracle");
  run_.dependencies.clear();  // a new script begins
  if (loadLists_) loadLists_();
  int width = 0;
  // The report lines write the names escaped.
  for (const std::string& name : list1())
    width = std::max(width, static_cast<int>(escapeControls(name).size()));
  state_.tableNameWidth = width;
  run_.tableNameWidth = width;
  inBoth1_.assign(list1().size(), false);
  inBoth2_.assign(list2().size(), false);
  run_.tables.clear();

  writeCounts();
  const int total = 3 * static_cast<int>(list1().size() + list2().size());
  run_.host.setProgressRange(0, total);
  run_.host.setProgressPosition(0);
  dropsAllowed_ = run_.mode() != 1 || !run_.options.b_DoStruct || confirmDropAll();
  if (run_.mode() != 2) pairTables();
  if (run_.options.b_DoStruct) {
    writeIncompleteNotice();
    writeOnlyInFirst();
    if (run_.options.b_DoCommon) writeCommonTables();
    if (run_.options.b_DoSkipped) {
      writeNotProcessed(true);
      if (run_.mode() != 2) writeNotProcessed(false);
    }
  }
  // Without a constraint phase to follow, the foreign keys of the created tables come here.
  if (run_.upgrade() && !run_.options.b_DoConst) writeDeferredConstraints(run_);
  run_.host.setProgressPosition(total);
}

// The count of a list (after `lead`, in the database's colour), or for a list cut short by an
// error (whose block precedes) that it is incomplete: its count would be false.
void TableListComparer::writeCount(bool firstDatabase, const std::string& lead,
                                   ReportColour wordsColour) {
  const StructureDatabase& database = firstDatabase ? run_.database1 : run_.database2;
  const ReportColour colour = firstDatabase ? kBlue : kRed;
  if (!(firstDatabase ? state_.list1Complete : state_.list2Complete)) {
    run_.out.write(lead + "The list of tables could not be read completely from ", wordsColour);
    run_.out.write(reportText(run_.options, database.displayName), colour);
    return;
  }
  const int n = static_cast<int>((firstDatabase ? list1() : list2()).size());
  run_.out.write(lead + std::to_string(n), colour);
  run_.out.write(countWords(n, "table", "tables"), wordsColour);
  run_.out.write(reportText(run_.options, database.displayName), colour);
}

// Database 2 is not read in "Script database 1" mode, so its count is not written there.
void TableListComparer::writeCounts() {
  ReportWriter& out = run_.out;
  if (run_.report()) {
    writeCount(true, kSectionStart, kBlack);
    writeCount(false, "\r\n", kBlack);
    return;
  }
  out.write(kSectionStart + bannerTop() + "*  tables\r\n*\r\n*  ", kGreen);
  writeCount(true, "", kGreen);
  if (run_.mode() == 1) {
    out.write("\r\n*  ", kGreen);
    writeCount(false, "", kGreen);
  }
  out.write(bannerBottom(), kGreen);
}

// Database 1 holds no table while Database 2 has some: the upgrade script would drop every one
// of them, which is what a wrong schema or an empty connection looks like. Asked first; the
// answer is written into the script.
bool TableListComparer::confirmDropAll() {
  if (!state_.list1Complete || !state_.list2Complete) return false;
  int n1 = 0, n2 = 0;
  for (const std::string& name : list1()) n1 += run_.options.isIgnoredTable(name) ? 0 : 1;
  for (const std::string& name : list2()) n2 += run_.options.isIgnoredTable(name) ? 0 : 1;
  if (n1 > 0 || n2 == 0) return true;
  const std::string count = std::to_string(n2) + (n2 == 1 ? " table" : " tables");
  const bool yes =
      run_.host.ask("Database 1 (" + run_.database1.displayName +
                        ") holds no tables, and Database 2 (" + run_.database2.displayName +
                        ") holds " + count +
                        ".\nThe upgrade script would drop all of them.\nDo you want to write "
                        "these DROP TABLE statements?",
                    Buttons::YesNo) == Answer::Yes;
  run_.out.write(kSectionStart + run_.options.s_DashComment + "Database 1 holds no tables: " +
                     (yes ? "dropping all " + count + " of Database 2 was confirmed"
                          : "the " + count + " of Database 2 are not dropped (not confirmed)"),
                 kMaroon);
  return yes;
}

// Tables found on one side only cannot be told from tables the failed list did not reach.
void TableListComparer::writeIncompleteNotice() {
  const bool scriptOfFirst = run_.mode() == 2;
  if (state_.list1Complete && (scriptOfFirst || state_.list2Complete)) return;
  run_.out.write(
      kSectionStart + run_.options.s_DashComment +
          (scriptOfFirst ? "No table is scripted, because the list of tables of "
                           "Database 1 could not be read completely"
                         : "Tables that exist in one database only are not " +
                               std::string(run_.report() ? "listed" : "dropped or created") +
                               ", because a list of tables could not be read "
                               "completely; the common tables read in both are compared"),
      kMaroon);
}

void TableListComparer::pairTables() {
  const std::vector<std::string>& tables1 = list1();
  const std::vector<std::string>& tables2 = list2();
  bool first = true;
  for (size_t i = 0; i < tables2.size(); ++i) {
    run_.checkpoint();
    const std::string& name = tables2[i];
    if (run_.options.isIgnoredTable(name)) continue;
    auto partner = std::find(tables1.begin(), tables1.end(), name);
    if (partner != tables1.end()) {
      inBoth1_[static_cast<size_t>(partner - tables1.begin())] = true;
      inBoth2_[i] = true;
      CommonTable table;
      table.firstName = *partner;
      table.secondName = name;
      run_.tables.push_back(std::move(table));
      run_.host.addObject(name);
      run_.host.selectObject(name);
      run_.host.stepProgress();
    } else if (run_.options.b_DoStruct && state_.list1Complete) {
      // A difference also when its drop was not confirmed: the databases still differ.
      run_.recordDifference("tables");
      if (dropsAllowed_) writeOnlyInSecond(name, first);
    }
  }
}

// In the upgrade script a table that foreign keys of other tables reference is dropped with
// CASCADE CONSTRAINTS (Database 1 has no such keys, since it lacks the table).
void TableListComparer::writeOnlyInSecond(const std::string& name, bool& first) {
  if (run_.report()) {
    if (first) {
      run_.out.write("\r\n\r\n\r\nThe following tables DO NOT exist in ", kBlack);
      run_.out.write(escapeControls(run_.database1.displayName) + "\r\n", kBlue);
    }
    first = false;
    run_.out.write("\r\n\t\t" + escapeControls(name), kRed);
    return;
  }
  if (first) {
    run_.out.write(kSectionStart + bannerTop() +
                       "*  The following statements will drop tables that DO NOT exist in ",
                   kGreen);
    run_.out.write(escapeForBlockComment(run_.database1.displayName), kBlue);
    run_.out.write(bannerBottom(), kGreen);
  }
  first = false;
  if (refuseStatement(run_, "tables", "the drop of table " + name, {name})) return;
  bool cascade = false;
  if (run_.database2.reader != nullptr)
    cascade = noteTableDrop(*run_.database2.reader, run_.database2.owner, name, run_.dependencies);
  else
    run_.dependencies.tableDropped(name);
  run_.out.write("\r\nDROP TABLE " + ddlName(name) + (cascade ? " CASCADE CONSTRAINTS;" : ";"),
                 kRed);
}

void TableListComparer::writeOnlyInFirst() {
  if (!state_.list1Complete || (run_.mode() != 2 && !state_.list2Complete)) return;
  const std::vector<std::string>& tables1 = list1();
  bool first = true;
  for (size_t i = 0; i < tables1.size(); ++i) {
    run_.checkpoint();
    const std::string& name = tables1[i];
    step(name);
    if (run_.options.isIgnoredTable(name) || inBoth1_[i]) continue;
    if (first) {
      switch (run_.mode()) {
        case 0:
          run_.out.write("\r\n\r\n\r\nThe following tables DO NOT exist in ", kBlack);
          run_.out.write(escapeControls(run_.database2.displayName) + "\r\n", kRed);
          break;
        case 1:
          run_.out.write(kSectionStart + bannerTop() +
                             "*  The following statements will create tables that DO NOT exist in ",
                         kGreen);
          run_.out.write(escapeForBlockComment(run_.database2.displayName), kRed);
          run_.out.write(bannerBottom(), kGreen);
          break;
        default:
          // A comment block, so that the script stays runnable.
          run_.out.write(kSectionStart + bannerTop(), kGreen);
          run_.out.write(
              run_.options.s_StarComment + "The following statements will create the tables",
              kBlack);
          run_.out.write(bannerBottom(), kGreen);
          break;
      }
      first = false;
    }
    run_.recordDifference("tables");
    if (run_.report()) {
      run_.out.write("\r\n\t\t" + escapeControls(name), kBlue);
    } else {
      writeCreation(name);
    }
  }
}

void TableListComparer::writeCreation(const std::string& name) {
  run_.out.write("\r\n/*  " + escapeForBlockComment(name) + "  */\r\n", kGreen);
  if (run_.scripts == nullptr) return;
  if (refuseStatement(run_, "tables", "table " + name, {name}, "", "\r\n")) return;
  // The upgrade script holds the foreign keys back until every table exists.
  const std::string ddl = run_.upgrade() ? scriptNewTable(run_, name)
                                         : run_.scripts->scriptTable(run_.database1.owner, name);
  run_.out.write(ddl, kBlue);
}

void TableListComparer::writeCommonTables() {
  const bool walkFirst = list1().size() < list2().size();
  const std::vector<std::string>& tables = walkFirst ? list1() : list2();
  const std::vector<bool>& inBoth = walkFirst ? inBoth1_ : inBoth2_;
  bool written = false;
  for (size_t i = 0; i < tables.size(); ++i) {
    run_.checkpoint();
    step(tables[i]);
    if (!inBoth[i]) continue;
    if (!written) {
      if (run_.report()) {
        run_.out.write("\r\n\r\n\r\nThe following tables exist in both databases\r\n", kBlack);
      } else {
        run_.out.write(kSectionStart + bannerTop() + run_.options.s_StarComment +
                           "The following tables exist in both databases\r\n*",
                       kGreen);
      }
      written = true;
    }
    run_.out.write(listLine(run_.options, tables[i]), kGreen);
  }
  if (written && !run_.report()) run_.out.write(bannerBottom(), kGreen);
}

void TableListComparer::writeNotProcessed(bool firstDatabase) {
  const std::vector<std::string>& tables = firstDatabase ? list1() : list2();
  const StructureDatabase& database = firstDatabase ? run_.database1 : run_.database2;
  const ReportColour colour = firstDatabase ? kBlue : kRed;
  bool written = false;
  for (const std::string& name : tables) {
    run_.checkpoint();
    step(name);
    if (!run_.options.isIgnoredTable(name)) continue;
    if (!written) {
      if (run_.report()) {
        run_.out.write("\r\n\r\n\r\nThe following tables were not processed in ", kBlack);
      } else {
        run_.out.write(kSectionStart + bannerTop() + run_.options.s_StarComment +
                           "The following tables were not processed in ",
                       kGreen);
      }
      run_.out.write(reportText(run_.options, database.displayName) + "\r\n", colour);
      if (!run_.report()) run_.out.write("*", kGreen);
      written = true;
    }
    run_.out.write("\r\n" + run_.options.s_StarComment + "\t\t", kGreen);
    run_.out.write(reportText(run_.options, name), colour);
  }
  if (written && !run_.report()) run_.out.write(bannerBottom(), kGreen);
}

void TableListComparer::step(const std::string& name) {
  run_.host.selectObject(name);
  run_.host.stepProgress();
}

}  // namespace velmora
