#include "ui/parameters_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QTimer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <iostream>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>

#include "comparison/comparison.h"
#include "config/registry_settings.h"
#include "oracle/ocisim_test_support.h"
#include "ui/gui_host.h"
#include "ui/option_sheets.h"
#include "ui/selection_list.h"
#include "test_support/ui_test_support.h"

namespace velmora::ui {
namespace {

using test::MessageBoxCatcher;
using test::ScriptedAsker;

class ParametersDialogTest : public ocisimtest::OcisimTest {
 protected:
  void SetUp() override {
    OcisimTest::SetUp();
    guiHost.setAsker([this](const QString& text, Buttons buttons) { return asker(text, buttons); });
    environment.host = &guiHost;
    environment.options = &edited;
  }

  std::unique_ptr<Comparison> comparison() {
    return std::make_unique<Comparison>(edited, guiHost, settings, environment);
  }

  GuiHost guiHost;
  ScriptedAsker asker;
  ComparisonOptions edited;
  UserSettings userSettings{settings};
};

// Every switch of the dialog sets its own field and no other, both ways.
TEST_F(ParametersDialogTest, EverySwitchMapsToItsOptionAndARefusedCloseCopiesNothingBack) {
  auto compare = comparison();
  std::vector<SwitchControl> switches(objectSwitches().begin(), objectSwitches().end());
  switches.insert(switches.end(), sourceSwitches().begin(), sourceSwitches().end());
  ASSERT_EQ(switches.size(), 16u);
  for (const SwitchControl& control : switches) {
    SCOPED_TRACE(control.label);
    ComparisonOptions options;
    for (const SwitchControl& other : switches) options.*other.field = 1;
    options.i_DoingUpgradeScript = 2;  // Database 1 is enough then
    ParametersDialog dialog(options, *compare, userSettings, nullptr, nullptr);
    QCheckBox* box = dialog.check(control.field);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isChecked());
    box->setChecked(false);
    // Without Database 1 the dialog refuses and copies nothing back.
    MessageBoxCatcher boxes;
    EXPECT_FALSE(dialog.finish(DialogResult::Close));
    EXPECT_EQ(boxes.texts.value(0), QStringLiteral("You must select a database before you can begin."));
    EXPECT_EQ(options.*control.field, 1);
  }
}

TEST_F(ParametersDialogTest, DatabasesModesAndTheCopyBackOfStartCloseAndCancel) {
  ASSERT_NO_FATAL_FAILURE(createDatabase("one", "19.3.0",
      "create user scott identified by tiger;\ngrant connect, resource to scott;\n"));
  auto compare = comparison();
  ASSERT_EQ(compare->open(1, "system/manager@one", nullptr).result, OpenResult::Connected);

  ComparisonOptions options;
  options.b_DoSeq = 0;
  ParametersDialog dialog(options, *compare, userSettings, nullptr, nullptr);
  EXPECT_EQ(dialog.databaseButton(1)->text(), QStringLiteral("SYSTEM@ONE"));
  EXPECT_EQ(dialog.databaseButton(2)->text(), QStringLiteral("Press to select Database 2"));
  EXPECT_EQ(dialog.userList(1)->currentText(), QStringLiteral("SYSTEM"));
  EXPECT_GE(dialog.userList(1)->findText(QStringLiteral("SCOTT")), 0);
  EXPECT_EQ(dialog.userList(2)->count(), 0);

  // A report needs both databases; the script of Database 1 only the first.
  MessageBoxCatcher boxes;
  dialog.check(&ComparisonOptions::b_DoSeq)->setChecked(true);
  EXPECT_FALSE(dialog.finish(DialogResult::Start));
  EXPECT_EQ(boxes.texts.value(0), QStringLiteral("You must select 2 databases before you can begin."));
  EXPECT_EQ(options.b_DoSeq, 0);
  dialog.openObjectOptions();
  EXPECT_EQ(boxes.texts.value(1),
            QStringLiteral("You must select 2 databases before you can setup the advanced options."));
  dialog.outputChoice(2)->setChecked(true);
  EXPECT_TRUE(dialog.finish(DialogResult::Close));
  EXPECT_EQ(options.b_DoSeq, 1);
  EXPECT_EQ(options.i_DoingUpgradeScript, 2);
  EXPECT_EQ(options.s_StarComment, "*  ");  // the prefixes follow the mode

  // The Advanced sheet confirmed with OK keeps its last page in "LastObjectProp" and writes the
  // options at once: a later Cancel of the parameters dialog keeps what it set.
  QTimer::singleShot(50, [] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* sheet = qobject_cast<ObjectOptionsSheet*>(widget); sheet && sheet->isVisible()) {
        sheet->pages()->setCurrentIndex(4);
        sheet->check(&ComparisonOptions::b_DoConsCols)->setChecked(false);
        sheet->accept();
      }
    }
  });
  dialog.openObjectOptions();
  EXPECT_EQ(userSettings.lastObjectProp(), 4);
  EXPECT_EQ(options.b_DoConsCols, 0);

  // Choosing another user compares that schema.
  const int scott = dialog.userList(1)->findText(QStringLiteral("SCOTT"));
  dialog.userList(1)->setCurrentIndex(scott);
  emit dialog.userList(1)->activated(scott);
  EXPECT_EQ(compare->database(1)->owner(), "SCOTT");
  EXPECT_EQ(dialog.databaseButton(1)->text(), QStringLiteral("SCOTT:SYSTEM@ONE"));
}

TEST_F(ParametersDialogTest, ThePrimaryKeysDialogReadsColumnsAndKeysOfDatabaseOne) {
  ASSERT_NO_FATAL_FAILURE(createDatabase("one", "19.3.0",
      "create table orders (order_id number primary key, status varchar2(10), note varchar2(20));\n"
      "create table audit_log (logged_at date, message varchar2(100));\n"));
  auto compare = comparison();
  ASSERT_EQ(compare->open(1, "system/manager@one", nullptr).result, OpenResult::Connected);
  ComparisonOptions options;
  ParametersDialog dialog(options, *compare, userSettings, nullptr, nullptr);
  const KeySource keys = dialog.keySource();
  const std::vector<std::string> tables = keys.tables();
  EXPECT_NE(std::find(tables.begin(), tables.end(), "ORDERS"), tables.end());
  EXPECT_EQ(keys.columns("ORDERS"), (std::vector<std::string>{"ORDER_ID", "STATUS", "NOTE"}));
  EXPECT_EQ(keys.keyColumns("ORDERS"), (std::vector<std::string>{"ORDER_ID"}));
  EXPECT_TRUE(keys.keyColumns("AUDIT_LOG").empty());
}

TEST_F(ParametersDialogTest, GeneralOptionsChecksItsFieldsAndWritesTheSettings) {
  auto compare = comparison();
  ComparisonOptions options;
  GeneralOptionsDialog dialog(options, userSettings, *compare);
  EXPECT_TRUE(dialog.outputChoice(0)->isChecked());
  EXPECT_FALSE(dialog.linesField()->isEnabled());
  EXPECT_FALSE(dialog.fileField()->isEnabled());
  EXPECT_EQ(dialog.dateFormatField()->text(), QStringLiteral("MM/DD/YYYY HH24:MI"));

  MessageBoxCatcher boxes;
  dialog.outputChoice(1)->click();
  EXPECT_TRUE(dialog.linesField()->isEnabled());
  dialog.fileField()->setText(QStringLiteral("   "));
  dialog.accept();
  EXPECT_EQ(boxes.texts.value(0), QStringLiteral("Please enter a file name to save report"));
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  dialog.fileField()->setText(QStringLiteral("report.txt"));
  dialog.dateFormatField()->setText(QStringLiteral("   "));
  dialog.accept();
  EXPECT_EQ(boxes.texts.value(1), QStringLiteral("Please enter a date format."));
  dialog.dateFormatField()->setText(QStringLiteral("YYYY-MM-DD  "));
  dialog.linesField()->setValue(250);
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.dateFormatField()->text(), QStringLiteral("YYYY-MM-DD"));  // trailing blanks go
  EXPECT_EQ(userSettings.dateFormat(), "YYYY-MM-DD");
  dialog.copyBack(options);
  EXPECT_EQ(options.b_AutoSave, 1);
  EXPECT_EQ(options.b_OnlyToFile, 0);
  EXPECT_EQ(options.i_AutoSaveLines, 250);
  EXPECT_EQ(options.s_AutoSaveFile, "report.txt");
}

std::vector<std::string> demoNames(const std::string& kind) {
  if (kind == "TABLE") return {"CUSTOMERS", "ORDERS", "AUDIT_LOG"};
  if (kind == "VIEW") return {"OPEN_ORDERS_V"};
  if (kind == "FUNCTION") return {"ORDER_TOTAL", "CUSTOMER_LABEL"};
  return {};
}

TEST(OptionSheets, SelectionPagesWriteTheUnselectedNamesAndThePagesTheirSwitches) {
  ComparisonOptions options;
  options.IgnoreTables = {"orders"};  // any letter case
  options.IgnoreColumns = {"EMP%"};
  options.i_DoConsName = 2;
  options.b_CompDatCase = 1;
  ObjectOptionsSheet sheet(options, demoNames, 2);
  EXPECT_EQ(sheet.pages()->currentIndex(), 2);
  ASSERT_EQ(sheet.tables()->list()->count(), 3);
  EXPECT_EQ(sheet.tables()->list()->item(1)->checkState(), Qt::Unchecked);
  EXPECT_TRUE(sheet.check(&ComparisonOptions::b_CompDatCase)->isChecked());
  EXPECT_FALSE(sheet.check(&ComparisonOptions::b_CompDatFrac)->isChecked());

  sheet.tables()->selectAll(true);
  sheet.tables()->list()->item(2)->setCheckState(Qt::Unchecked);
  sheet.check(&ComparisonOptions::b_DoSysPrivs)->setChecked(false);
  MessageBoxCatcher boxes;
  sheet.patternField()->setText(QStringLiteral("A%B%"));
  sheet.addPattern();
  EXPECT_EQ(boxes.texts.value(0), QStringLiteral("You can have only one expander ('%') per string"));
  sheet.patternField()->setText(QStringLiteral("%_DT"));
  sheet.addPattern();
  EXPECT_TRUE(sheet.patternField()->text().isEmpty());
  sheet.pages()->setCurrentIndex(5);
  sheet.copyBack(options);
  EXPECT_EQ(options.IgnoreTables, (NameList{"AUDIT_LOG"}));
  EXPECT_EQ(options.IgnoreColumns, (NameList{"EMP%", "%_DT"}));
  EXPECT_EQ(options.b_DoSysPrivs, 0);
  EXPECT_EQ(options.i_DoConsName, 2);
  EXPECT_EQ(sheet.lastPage(), 5);  // the last page shown is the one "LastObjectProp" keeps

  // Unselecting everything ignores every name; in mode 2 there is no Views page.
  options.i_DoingUpgradeScript = 2;
  ObjectOptionsSheet script(options, demoNames, 9);
  EXPECT_EQ(script.pages()->count(), 6);
  EXPECT_EQ(script.pages()->currentIndex(), 5);
  EXPECT_EQ(script.views(), nullptr);
  script.tables()->selectAll(false);
  script.copyBack(options);
  EXPECT_EQ(options.IgnoreTables, (NameList{"CUSTOMERS", "ORDERS", "AUDIT_LOG"}));
}

TEST(OptionSheets, SourcePagesKeepEachKindsListAndSwitches) {
  ComparisonOptions options;
  options.IgnoreFuncs = {"ORDER_TOTAL"};
  SourceOptionsSheet sheet(options, demoNames, 2);
  ASSERT_EQ(sheet.pages()->count(), 8);
  EXPECT_EQ(sheet.pages()->tabText(0), QStringLiteral("Triggers"));
  SelectionList* functions = sheet.list(2);
  ASSERT_EQ(functions->list()->count(), 2);
  EXPECT_EQ(functions->list()->item(0)->checkState(), Qt::Unchecked);
  functions->selectAll(true);
  sheet.check(&ComparisonOptions::b_NoDiffFunc)->setChecked(false);
  sheet.copyBack(options);
  EXPECT_TRUE(options.IgnoreFuncs.empty());
  EXPECT_EQ(options.b_NoDiffFunc, 0);
  EXPECT_EQ(options.b_NoDiffPkg, 1);
}

TEST(SelectionListTest, TheUnionKeepsDatabaseOnesOrderAndTheFilterHidesWithoutUnselecting) {
  EXPECT_EQ(unionOfNames({"B", "a"}, {"A", "C", "b"}), (std::vector<std::string>{"B", "a", "C"}));
  SelectionList list(QStringLiteral("Include the following tables in the process:"));
  std::vector<std::string> names;
  for (int i = 0; i < 10000; ++i) names.push_back("TABLE_" + std::to_string(i));
  list.setNames(names, NameList{"TABLE_7"});
  EXPECT_EQ(list.list()->count(), 10000);
  list.setFilter(QStringLiteral("table_99"));
  EXPECT_FALSE(list.list()->isRowHidden(99));
  EXPECT_TRUE(list.list()->isRowHidden(7));
  list.selectAll(false);
  EXPECT_EQ(list.unselected().size(), 10000u);
  list.selectAll(true);
  EXPECT_TRUE(list.unselected().empty());
}

// Opening the Tables page of a schema of 10,000 tables in each database (half of them shared):
// every name is listed once, and the time to build and show the sheet is printed (not asserted:
// the machine running the tests may be slow and shared).
TEST(OptionSheets, TheTablesPageOfTenThousandTables) {
  std::vector<std::string> first, second;
  for (int i = 0; i < 10000; ++i) {
    first.push_back("TABLE_" + std::to_string(i));
    second.push_back("TABLE_" + std::to_string(i + 5000));
  }
  const NameSource names = [&](const std::string& kind) {
    return kind == "TABLE" ? unionOfNames(first, second) : std::vector<std::string>{};
  };
  ComparisonOptions options;
  options.IgnoreTables = {"TABLE_3", "TABLE_14999"};
  QElapsedTimer timer;
  timer.start();
  ObjectOptionsSheet sheet(options, names, 2);
  sheet.show();
  QCoreApplication::processEvents();
  const qint64 opened = timer.elapsed();
  EXPECT_EQ(sheet.tables()->list()->count(), 15000);
  timer.restart();
  sheet.tables()->selectAll(false);
  sheet.tables()->selectAll(true);
  sheet.tables()->setFilter(QStringLiteral("TABLE_1499"));
  QCoreApplication::processEvents();
  const qint64 acted = timer.elapsed();
  sheet.copyBack(options);
  EXPECT_TRUE(options.IgnoreTables.empty());
  std::cout << "[ tables page ] 15,000 names: opened in " << opened
            << " ms; UnSelect All, Select All and a filter in " << acted << " ms\n";
}

}  // namespace
}  // namespace velmora::ui
