#include "run/table_lists.h"

#include <algorithm>

#include "run/report_layout.h"
#include "structure/constraint_scripts.h"
#include "structure/ddl_text.h"
#include "structure/upgrade_dependencies.h"

namespace velmora {

namespace {

constexpr ReportColour kBlack = ReportColour::Black;
constexpr ReportColour kBlue = ReportColour::Blue;
constexpr ReportColour kRed = ReportColour::Red;
constexpr ReportColour kGreen = ReportColour::Green;

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
  for (const std::string& name : list1()) width = std::max(width, static_cast<int>(name.size()));
  state_.tableNameWidth = width;
  run_.tableNameWidth = width;
  inBoth1_.assign(list1().size(), false);
  inBoth2_.assign(list2().size(), false);
  run_.tables.clear();

  writeCounts();
  const int total = 3 * static_cast<int>(list1().size() + list2().size());
  run_.host.setProgressRange(0, total);
  run_.host.setProgressPosition(0);
  if (run_.mode() != 2) pairTables();
  if (run_.options.b_DoStruct) {
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

void TableListComparer::writeCounts() {
  const int n1 = static_cast<int>(list1().size());
  const int n2 = static_cast<int>(list2().size());
  const std::string& name1 = run_.database1.displayName;
  const std::string& name2 = run_.database2.displayName;
  ReportWriter& out = run_.out;
  if (run_.report()) {
    out.write("\r\n\r\n\r\n" + std::to_string(n1), kBlue);
    out.write(countWords(n1, "table", "tables"), kBlack);
    out.write(name1, kBlue);
    out.write("\r\n" + std::to_string(n2), kRed);
    out.write(countWords(n2, "table", "tables"), kBlack);
    out.write(name2, kRed);
    return;
  }
  out.write(kSectionStart + bannerTop() + "*  tables\r\n*\r\n*  ", kGreen);
  writeCountLine(out, n1, "table", "tables", name1, kBlue, kGreen);
  out.write("\r\n*  ", kGreen);
  writeCountLine(out, n2, "table", "tables", name2, kRed, kGreen);
  out.write(bannerBottom(), kGreen);
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
    } else if (run_.options.b_DoStruct) {
      writeOnlyInSecond(name, first);
    }
  }
}

// In the upgrade script a table that foreign keys of other tables reference is dropped with
// CASCADE CONSTRAINTS (Database 1 has no such keys, since it lacks the table).
void TableListComparer::writeOnlyInSecond(const std::string& name, bool& first) {
  if (run_.report()) {
    if (first) {
      run_.out.write("\r\n\r\n\r\nThe following tables DO NOT exist in ", kBlack);
      run_.out.write(run_.database1.displayName + "\r\n", kBlue);
    }
    first = false;
    run_.out.write("\r\n\t\t" + name, kRed);
    return;
  }
  if (first) {
    run_.out.write(kSectionStart + bannerTop() +
                       "*  The following statements will drop tables that DO NOT exist in ",
                   kGreen);
    run_.out.write(run_.database1.displayName, kBlue);
    run_.out.write(bannerBottom(), kGreen);
  }
  first = false;
  bool cascade = false;
  if (run_.database2.reader != nullptr)
    cascade = noteTableDrop(*run_.database2.reader, run_.database2.owner, name, run_.dependencies);
  else
    run_.dependencies.tableDropped(name);
  run_.out.write("\r\nDROP TABLE " + ddlName(name) + (cascade ? " CASCADE CONSTRAINTS;" : ";"),
                 kRed);
}

void TableListComparer::writeOnlyInFirst() {
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
          run_.out.write(run_.database2.displayName + "\r\n", kRed);
          break;
        case 1:
          run_.out.write(kSectionStart + bannerTop() +
                             "*  The following statements will create tables that DO NOT exist in ",
                         kGreen);
          run_.out.write(run_.database2.displayName, kRed);
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
    if (run_.report()) {
      run_.out.write("\r\n\t\t" + name, kBlue);
    } else {
      writeCreation(name);
    }
  }
}

void TableListComparer::writeCreation(const std::string& name) {
  run_.out.write("\r\n/*  " + name + "  */\r\n", kGreen);
  if (run_.scripts == nullptr) return;
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
      run_.out.write(database.displayName + "\r\n", colour);
      if (!run_.report()) run_.out.write("*", kGreen);
      written = true;
    }
    run_.out.write("\r\n" + run_.options.s_StarComment + "\t\t", kGreen);
    run_.out.write(name, colour);
  }
  if (written && !run_.report()) run_.out.write(bannerBottom(), kGreen);
}

void TableListComparer::step(const std::string& name) {
  run_.host.selectObject(name);
  run_.host.stepProgress();
}

}  // namespace velmora
