#include "data/table_data.h"

#include <algorithm>

#include "base/report_layout.h"
#include "base/report_text.h"
#include "config/registry_settings.h"
#include "data/data_cursor.h"
#include "data/data_merge.h"
#include "data/data_select.h"
#include "data/foreign_key_guard.h"
#include "oracle/database_connection.h"
#include "run/run_context.h"
#include "structure/ddl_text.h"
#include "structure/key_columns.h"
#include "structure/oracle_dictionary_reader.h"
#include "structure/table_lists.h"

namespace velmora {

namespace {

constexpr int kProgressRange = 1000;

struct ObjectPhase {
  RunContext& context;
  DataObjectKind kind;
  const char* word;  // "table" / "view"
  int progress = 0;
  ForeignKeyGuard* foreignKeys = nullptr;  // upgrade script: disabled around the data statements

  ComparisonOptions& options() { return context.options(); }
  ReportWriter& out() { return context.output(); }
  void step() {
    progress = progress >= kProgressRange - 2 ? 0 : progress + 1;
    context.host().setProgressPosition(progress);
  }
};

void writeOpenError(ObjectPhase& phase, const std::string& name, DatabaseConnection& database,
                    const std::string& error) {
  ReportWriter& out = phase.out();
  const ComparisonOptions& options = phase.options();
  const ReportColour colour = database.number() == 1 ? kBlue : kRed;
  out.write(std::string(kSectionStart) + options.s_DashComment +
                "The following error was received while processing " + phase.word + " ",
            kMaroon);
  out.write(reportText(options, name), colour);
  out.write(" in database ", kMaroon);
  out.write(reportText(options, database.displayName()) + " :\r\n", colour);
  out.write(options.s_DashComment + commentLines(options.s_DashComment, error) + "\r\n\r\n",
            kMaroon, false, kCounted);
  phase.context.errors().record(std::string(phase.word) + " data");
}

// A name that cannot stand in a line-based script: no statement is written for the object.
bool refuseUnwritable(ObjectPhase& phase, const CommonTable& table, const DataSelect& select) {
  std::string reason = unwritableNameReason(table.firstName);
  for (size_t i = 0; reason.empty() && i < select.columns.size(); ++i)
    reason = unwritableNameReason(select.columns[i]->name);
  if (reason.empty()) return false;
  phase.out().write(
      "\r\n" + unwrittenStatementComment("the data of table " + table.firstName, reason) + "\r\n",
      kMaroon, false, kCounted);
  phase.context.errors().record("table data");
  return true;
}

void writeNoDifference(ObjectPhase& phase, const std::string& name, int nameWidth) {
  const ComparisonOptions& options = phase.options();
  if (phase.kind == DataObjectKind::View) {
    if (!options.b_NoDiffView) return;
    phase.out().write("\r\n\r\n\r\nNo data differences were found in view ", kMaroon, false,
                      kCounted);
    phase.out().write(reportText(options, name), kGreen, false, kCounted);
    return;
  }
  if (!options.b_NoDiffData) return;
  if (options.i_DoingUpgradeScript != 0) {
    std::string shown = reportText(options, name);
    phase.out().write("\r\n" + options.s_DashComment + shown +
                          blanks(nameWidth + 2 - static_cast<int>(shown.size())),
                      kGreen);
    phase.out().write("No Data Differences Found\r\n", kMaroon, false, kCounted);
  } else {
    phase.out().write("\r\n\r\n\r\nNo data differences were found in table ", kMaroon, false,
                      kCounted);
    phase.out().write(reportText(options, name), kGreen, false, kCounted);
  }
}

void compareObject(ObjectPhase& phase, CommonTable& table, int nameWidth) {
  RunContext& context = phase.context;
  ComparisonOptions& options = phase.options();
  DatabaseConnection& db1 = *context.database1();
  DatabaseConnection& db2 = *context.database2();
  const bool upgrade = options.i_DoingUpgradeScript == 1;
  const bool view = phase.kind == DataObjectKind::View;
  if (table.columnsIncomplete) {
    // Rows selected by a column list that is not the table's would be paired wrongly.
    phase.out().write("\r\n\r\n" + options.s_DashComment + "WARNING:  the data of table " +
                          reportText(options, table.firstName) +
                          " is not compared: its columns could not be read in both databases.\r\n",
                      kMaroon, false, kCounted);
    context.errors().record("table data");
    return;
  }
  int keyCount = 0;
  if (upgrade && !view) {
    if (const std::vector<std::string>* columns = options.keyOverrides.find(table.firstName)) {
      table.keyOverride = true;
      table.keyColumns = *columns;
    }
    OracleDictionaryReader reader(*db1.session());
    UserSettings settings(context.settings());
    keyCount = markKeyColumns(table, &reader, db1.owner(), settings.useUniqueIndex());
    // A key override that names a column the table cannot be keyed by would match rows by part
    // of the key the user meant: the rows are matched whole instead.
    if (table.keyOverride && keyCount != static_cast<int>(table.keyColumns.size())) {
      std::string unusable;
      for (const std::string& name : table.keyColumns) {
        const bool usable =
            std::any_of(table.columns.begin(), table.columns.end(),
                        [&](const ColumnEntry& c) { return c.key && c.name == name; });
        if (!usable) unusable += (unusable.empty() ? "" : ", ") + name;
      }
      phase.out().write(
          "\r\n" + options.s_DashComment + "WARNING:  the key columns chosen for table " +
              reportText(options, table.firstName) + " include " +
              reportText(options,
                         unusable.empty() ? std::string("a column given twice") : unusable) +
              ", which cannot serve as a key (no such column, or one that cannot be "
              "ordered); its rows are matched whole.\r\n",
          kMaroon, false, kCounted);
      for (ColumnEntry& column : table.columns) column.key = false;
      keyCount = 0;
    }
  }
  DataSelectSettings settings1;
  settings1.bareNames = db1.session()->serverVersion() == "7";
  settings1.keyed = keyCount > 0;
  DataSelectSettings settings2 = settings1;
  settings2.database = 2;
  settings2.warn = false;
  const DataSelect select1 =
      buildDataSelect(table, table.firstName, db1.owner(), options, settings1, phase.out());
  const DataSelect select2 =
      buildDataSelect(table, table.secondName, db2.owner(), options, settings2, phase.out());
  if (select1.empty()) {
    phase.out().write("\r\n\r\n" + options.s_DashComment +
                          "WARNING:  There are no columns to select from " + phase.word + " ",
                      kMaroon);
    phase.out().write(reportText(options, table.firstName) + "\r\n\r\n", kGreen, false, kCounted);
    return;
  }
  if (upgrade && refuseUnwritable(phase, table, select1)) return;
  DataCursor cursor1(*db1.session());
  std::string error = cursor1.open(select1.head, select1.items, select1.tail);
  if (!error.empty()) return writeOpenError(phase, table.firstName, db1, error);
  DataCursor cursor2(*db2.session());
  error = cursor2.open(select2.head, select2.items, select2.tail);
  if (!error.empty()) return writeOpenError(phase, table.secondName, db2, error);

  DataObject object;
  object.kind = phase.kind;
  object.name = table.firstName;
  object.keyCount = select1.keyCount;
  object.keyUnique = !table.keyOverride;
  for (const ColumnEntry* column : select1.columns) {
    object.columnNames.push_back(column->name);
    // Dates and timestamps show whole, with their time and fraction.
    int width = std::max(column->displayWidth, 1);
    if (column->sourceType.rfind("DATE", 0) == 0) width = std::max(width, 19);
    if (column->sourceType.rfind("TIMESTAMP", 0) == 0) width = std::max(width, 29);
    object.widths.push_back(width);
  }
  DataDifferenceWriter writer(phase.out(), options, std::move(object));
  if (phase.foreignKeys != nullptr)
    writer.setBeforeFirst([&phase] { phase.foreignKeys->disable(phase.out(), phase.options()); });
  MergeHooks hooks;
  hooks.checkpoint = [&context] { context.checkpoint(); };
  hooks.skipRequested = [&context] { return context.skipRequested(); };
  hooks.progress = [&phase](long) { phase.step(); };
  int failedStream = 0;
  MergeEnd end =
      mergeRows(cursor1, cursor2, select1.keyCount, options, writer, hooks, &failedStream);
  if (end == MergeEnd::Skipped) {
    context.clearSkipRequest();
    if (view) {
      phase.out().write("\r\n\r\n" + reportText(options, table.firstName) + " view Skipped ...",
                        kMaroon, false, kCounted);
    } else {
      phase.out().write("\r\n" + options.s_DashComment + "Table Skipped ...", kMaroon, false,
                        kCounted);
    }
    return;
  }
  if (end == MergeEnd::Failed) {
    DataCursor& cursor = failedStream == 1 ? cursor1 : cursor2;
    return writeOpenError(phase, failedStream == 1 ? table.firstName : table.secondName,
                          failedStream == 1 ? db1 : db2, cursor.error());
  }
  if (writer.wroteDifference()) {
    context.differences().add(std::string(phase.word) + " data", writer.differences());
  } else {
    writeNoDifference(phase, table.firstName, nameWidth);
  }
}

// The tables the script creates from Database 1 (or, in the script of Database 1, every table):
// their rows are all inserted. Empty when a table list was not read completely.
std::vector<std::string> newTables(RunContext& context, const std::vector<CommonTable>& common) {
  std::vector<std::string> names;
  const TableRunState& state = context.phaseState<TableRunState>();
  const int mode = context.options().i_DoingUpgradeScript;
  if (mode == 0 || !state.list1Complete || (mode == 1 && !state.list2Complete)) return names;
  for (const std::string& name : context.database1()->tables()) {
    if (context.options().isIgnoredTable(name)) continue;
    if (std::any_of(common.begin(), common.end(),
                    [&](const CommonTable& table) { return table.firstName == name; }))
      continue;
    names.push_back(name);
  }
  return names;
}

// Every row of a table that the script creates: one INSERT each, in no particular order (the
// foreign keys are disabled meanwhile).
void insertAllRows(ObjectPhase& phase, const std::string& name) {
  RunContext& context = phase.context;
  DatabaseConnection& db1 = *context.database1();
  DataCursor cursor(*db1.session());
  const ComparisonOptions& options = phase.options();
  if (!unwritableNameReason(name).empty()) return;
  std::string error = cursor.openStatement("select * from " + selectName(db1.owner(), options) +
                                           "." + selectName(name, options));
  if (!error.empty()) return writeOpenError(phase, name, db1, error);
  DataObject object;
  object.name = name;
  for (const CursorColumn& column : cursor.columns()) {
    if (!unwritableNameReason(column.name).empty()) return;
    object.columnNames.push_back(column.name);
  }
  DataDifferenceWriter writer(phase.out(), options, std::move(object));
  if (phase.foreignKeys != nullptr)
    writer.setBeforeFirst([&phase] { phase.foreignKeys->disable(phase.out(), phase.options()); });
  DataRow row;
  while (cursor.next(row)) {
    context.checkpoint();
    writer.onlyIn1(row);
  }
  if (!cursor.error().empty()) writeOpenError(phase, name, db1, cursor.error());
}

// The NOT NULL of the columns that the structure statements added or changed nullable, now that
// the data statements have given them their values.
void writeDeferredNotNulls(RunContext& context) {
  const std::vector<ScriptDependencies::TableObject> columns =
      context.phaseState<TableRunState>().dependencies.takeDeferredNotNulls();
  if (columns.empty()) return;
  ReportWriter& out = context.output();
  out.write(std::string(kSectionStart) + context.options().s_DashComment +
                "The following statements make NOT NULL the columns that the data statements "
                "filled.\r\n",
            kGreen, false, kCounted);
  for (const auto& [table, column] : columns) {
    out.write("ALTER TABLE " + ddlName(table) + " MODIFY ( " + ddlName(column) + " NOT NULL );\r\n",
              kBlue, false, kCounted);
  }
}

void runObjects(RunContext& context, DataObjectKind kind, std::vector<CommonTable>& objects) {
  ObjectPhase phase{context, kind, kind == DataObjectKind::View ? "view" : "table"};
  const int mode = context.options().i_DoingUpgradeScript;
  if (context.database1() == nullptr || context.database1()->session() == nullptr) return;
  if (mode != 2 && (context.database2() == nullptr || context.database2()->session() == nullptr))
    return;
  const std::vector<std::string> newTables = kind == DataObjectKind::Table
                                                 ? velmora::newTables(context, objects)
                                                 : std::vector<std::string>();
  preferBinarySort(*context.database1()->session());
  if (mode != 2) preferBinarySort(*context.database2()->session());
  context.host().setProgressRange(0, kProgressRange);
  context.host().setProgressPosition(0);
  context.clearSkipRequest();
  context.setSkipAllowed(true);
  ForeignKeyGuard foreignKeys;
  if (kind == DataObjectKind::Table && mode != 0) {
    std::string error;
    if (!foreignKeys.read(*context.database1()->session(), context.database1()->owner(),
                          mode == 2 ? nullptr : context.database2()->session(),
                          mode == 2 ? std::string() : context.database2()->owner(), objects,
                          newTables, context.phaseState<TableRunState>().dependencies, &error)) {
      // Without the foreign keys the statements could not run in any order: none is written.
      writeOpenError(phase, "foreign keys", *context.database1(), error);
      return;
    }
    phase.foreignKeys = &foreignKeys;
  }
  std::vector<CommonTable> noTables;  // the script of Database 1 compares nothing
  int nameWidth = 0;
  for (const CommonTable& table : objects)
    nameWidth = std::max(nameWidth, static_cast<int>(table.firstName.size()));
  for (CommonTable& table : mode == 2 ? noTables : objects) {
    context.checkpoint();
    phase.step();
    context.host().selectObject((kind == DataObjectKind::View ? "VIEW." : "") + table.firstName);
    compareObject(phase, table, nameWidth);
  }
  for (const std::string& name : newTables) {
    context.checkpoint();
    phase.step();
    context.host().selectObject(name);
    insertAllRows(phase, name);
  }
  foreignKeys.enable(context.output(), context.options());
  if (kind == DataObjectKind::Table && mode == 1) writeDeferredNotNulls(context);
  context.host().setProgressPosition(kProgressRange);
  context.setSkipAllowed(false);
}

}  // namespace

int markKeyColumns(CommonTable& table, DictionaryReader* reader, const std::string& owner,
                   bool useUniqueIndex) {
  std::vector<std::string> keys;
  if (table.keyOverride) {
    keys = table.keyColumns;
  } else if (reader != nullptr) {
    primaryKeyColumns(*reader, owner, table.firstName, useUniqueIndex, keys);
  }
  int count = 0;
  for (ColumnEntry& column : table.columns) {
    column.key = std::find(keys.begin(), keys.end(), column.name) != keys.end() &&
                 column.selectable && column.sourceType != kNotFound &&
                 orderableTypeText(column.sourceType);
    if (column.key) ++count;
  }
  return count;
}

void compareTableData(RunContext& context) {
  const bool upgrade = context.options().i_DoingUpgradeScript != 0;
  context.announceStep(upgrade ? "Upgrading Data" : "Comparing Data");
  runObjects(context, DataObjectKind::Table, context.workLists().tables);
}

void compareViewData(RunContext& context) {
  context.host().setStatus("Comparing View Data ...");
  context.host().setTitle("Comparing Views Data - Velmora for Oracle");
  if (context.options().i_DoingUpgradeScript != 0) return;
  runObjects(context, DataObjectKind::View, context.workLists().views);
}

void registerDataPhases(PhaseTable& phases) {
  phases.setRunner(PhaseId::TableData, compareTableData);
  phases.setRunner(PhaseId::ViewData, compareViewData);
}

}  // namespace velmora
