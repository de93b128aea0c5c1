#include <gtest/gtest.h>

#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <fstream>

#include "comparison/comparison.h"
#include "config/memory_settings_store.h"
#include "config/registry_settings.h"
#include "oracle/ocisim_test_support.h"
#include "ui/data_conditions_dialog.h"
#include "ui/gui_host.h"
#include "ui/primary_keys_dialog.h"
#include "ui/sql_compare_dialog.h"
#include "test_support/ui_test_support.h"

namespace velmora::ui {
namespace {

using test::MessageBoxCatcher;

class SqlCompareDialogTest : public ocisimtest::OcisimTest {
 protected:
  void SetUp() override {
    OcisimTest::SetUp();
    environment.host = &guiHost;
    environment.options = &options;
  }
  GuiHost guiHost;
  ComparisonOptions options;
  UserSettings userSettings{settings};
};

TEST_F(SqlCompareDialogTest, StartNeedsBothDatabasesAndTwoStatements) {
  Comparison comparison(options, guiHost, settings, environment);
  SqlCompareDialog dialog(options, comparison, userSettings, nullptr, nullptr);
  EXPECT_EQ(dialog.databaseButton(2)->text(), QStringLiteral("Press to select Database 2"));
  MessageBoxCatcher boxes;
  EXPECT_FALSE(dialog.start());
  EXPECT_EQ(boxes.texts.value(0), QStringLiteral("You must select 2 database sources before you can begin."));

  ASSERT_NO_FATAL_FAILURE(createDatabase("one"));
  ASSERT_EQ(comparison.open(1, "system/manager@one", nullptr).result, OpenResult::Connected);
  ASSERT_EQ(comparison.open(2, "system/manager@one", nullptr).result, OpenResult::Connected);
  dialog.statement(1)->setPlainText(QStringLiteral("  \n"));
  EXPECT_FALSE(dialog.start());
  EXPECT_EQ(boxes.texts.value(1), QStringLiteral("Please enter a statement to be executed on the first database."));
  dialog.statement(1)->setPlainText(QStringLiteral("select username\nfrom all_users;  \n"));
  dialog.statement(2)->clear();
  EXPECT_FALSE(dialog.start());
  EXPECT_EQ(boxes.texts.value(2), QStringLiteral("Please enter a statement to be executed on the second database."));
  // The first statement was put back without its blanks and its ";" already.
  EXPECT_EQ(dialog.statement(1)->toPlainText(), QStringLiteral("select username\nfrom all_users"));
  dialog.copyFirstToSecond();
  EXPECT_TRUE(dialog.start());
  EXPECT_EQ(options.s_GlobalPassSql1, "select username\r\nfrom all_users");
  EXPECT_EQ(options.s_GlobalPassSql2, options.s_GlobalPassSql1);
}

TEST_F(SqlCompareDialogTest, AStatementFileIsLoadedLineByLine) {
  Comparison comparison(options, guiHost, settings, environment);
  SqlCompareDialog dialog(options, comparison, userSettings, nullptr, nullptr);
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("rows.sql"));
  std::ofstream(path.toStdString(), std::ios::binary) << "select id\r\nfrom t";
  EXPECT_TRUE(dialog.loadFile(2, path));
  EXPECT_EQ(dialog.statement(2)->toPlainText(), QStringLiteral("select id\nfrom t\n"));
  MessageBoxCatcher boxes;
  const QString missing = folder.filePath(QStringLiteral("missing.sql"));
  EXPECT_FALSE(dialog.loadFile(1, missing));
  EXPECT_EQ(boxes.texts.value(0), QStringLiteral("Could not open file: ") + missing);
}

std::vector<std::string> names(const std::string& kind) {
  if (kind == "TABLE") return {"ORDERS", "CUSTOMERS"};
  return {"OPEN_ORDERS_V"};
}

TEST(DataConditionsDialogTest, ConditionsFollowTheSelectedObjectAndTheChoiceIsKept) {
  MemorySettingsStore store;
  UserSettings settings(store);
  WhereStatements conditions;
  conditions.set("CUSTOMERS", "CREDIT_LIMIT > 1000");
  DataConditionsDialog dialog(conditions, names, settings);
  EXPECT_TRUE(dialog.showTables()->isChecked());  // "WhereTab" 1 by default
  ASSERT_EQ(dialog.objects()->count(), 2);
  EXPECT_EQ(dialog.conditionField()->toPlainText(), QString());  // ORDERS, the first, has none
  dialog.conditionField()->setPlainText(QStringLiteral("STATUS = 'OPEN'"));
  dialog.objects()->setCurrentRow(1);
  EXPECT_EQ(dialog.conditionField()->toPlainText(), QStringLiteral("CREDIT_LIMIT > 1000"));
  dialog.conditionField()->clear();  // an emptied condition is no condition

  dialog.showKind(false);
  EXPECT_EQ(store.getString("Settings", "WhereTab", ""), "0");
  ASSERT_EQ(dialog.objects()->count(), 1);
  dialog.conditionField()->setPlainText(QStringLiteral("ID < 10"));
  const WhereStatements edited = dialog.conditions();
  std::string condition;
  EXPECT_TRUE(edited.find("ORDERS", &condition));
  EXPECT_EQ(condition, "STATUS = 'OPEN'");
  EXPECT_FALSE(edited.find("CUSTOMERS", &condition));
  EXPECT_TRUE(edited.find("OPEN_ORDERS_V", &condition));
  EXPECT_EQ(condition, "ID < 10");

  dialog.clearAll();
  EXPECT_TRUE(dialog.conditions().empty());
}

TEST(PrimaryKeysDialogTest, TicksThatDifferFromTheDatabasesKeyBecomeTheOverride) {
  KeySource source;
  source.tables = [] { return std::vector<std::string>{"ORDERS", "AUDIT_LOG"}; };
  source.columns = [](const std::string& table) {
    return table == "ORDERS" ? std::vector<std::string>{"ORDER_ID", "CUSTOMER_ID", "STATUS"}
                             : std::vector<std::string>{"LOGGED_AT", "MESSAGE"};
  };
  source.keyColumns = [](const std::string& table) {
    return table == "ORDERS" ? std::vector<std::string>{"ORDER_ID"} : std::vector<std::string>{};
  };
  KeyOverrides given;
  given.set("ORDERS", {"CUSTOMER_ID", "STATUS"});
  PrimaryKeysDialog dialog(given, source);
  ASSERT_EQ(dialog.tables()->count(), 2);
  // ORDERS shows its override.
  ASSERT_EQ(dialog.columns()->count(), 3);
  EXPECT_EQ(dialog.columns()->item(0)->checkState(), Qt::Unchecked);
  EXPECT_EQ(dialog.columns()->item(1)->checkState(), Qt::Checked);
  // Restore from DB ticks the primary key again: the override goes.
  dialog.restoreFromDatabase();
  EXPECT_EQ(dialog.columns()->item(0)->checkState(), Qt::Checked);
  EXPECT_EQ(dialog.columns()->item(2)->checkState(), Qt::Unchecked);
  // The keyless table gets the column the user ticks.
  dialog.tables()->setCurrentRow(1);
  ASSERT_EQ(dialog.columns()->count(), 2);
  EXPECT_EQ(dialog.columns()->item(0)->checkState(), Qt::Unchecked);
  dialog.columns()->item(0)->setCheckState(Qt::Checked);
  const KeyOverrides edited = dialog.overrides();
  EXPECT_EQ(edited.find("ORDERS"), nullptr);
  ASSERT_NE(edited.find("AUDIT_LOG"), nullptr);
  EXPECT_EQ(*edited.find("AUDIT_LOG"), (std::vector<std::string>{"LOGGED_AT"}));
}

}  // namespace
}  // namespace velmora::ui
