#include "data/data_select.h"

#include <gtest/gtest.h>

#include "base/recording_host.h"
#include "data/table_data.h"

namespace velmora {
namespace {

ColumnEntry column(const std::string& name, const std::string& type, bool key = false,
                   bool found = true) {
  ColumnEntry entry;
  entry.name = name;
  entry.sourceType = type;
  entry.targetType = found ? type : kNotFound;
  entry.found = found;
  entry.key = key;
  entry.selectable = type.find('.') == std::string::npos;  // OWNER.TYPE: a user-defined type
  entry.orderable = entry.selectable;
  return entry;
}

CommonTable items() {
  CommonTable table;
  table.firstName = table.secondName = "ITEMS";
  table.columns = {column("NOTE", "LONG"),
                   column("NAME", "VARCHAR2(30)"),
                   column("ID", "NUMBER(10)", true),
                   column("DOC", "CLOB"),
                   column("SHAPE", "MDSYS.SDO_GEOMETRY"),
                   column("ADDED", "DATE", false, false),
                   column("GONE", kNotFound)};
  return table;
}

TEST(BuildDataSelect, ReportSelectInColumnOrderOrderedByWhatTheDatabaseCanOrder) {
  ComparisonOptions options;
  RecordingWriter out;
  const CommonTable table = items();
  DataSelect select = buildDataSelect(table, "ITEMS", "APP", options, {}, out);
  EXPECT_EQ(
      select.text(),
      "select \"NOTE\", \"NAME\", \"ID\", \"DOC\", \"ADDED\" from APP.ITEMS order by \"NAME\", "
      "\"ID\", \"ADDED\"");
  EXPECT_EQ(select.keyCount, 0);
  EXPECT_EQ(out.text(),
            "\r\nWARNING:  COLUMN SHAPE of type MDSYS.SDO_GEOMETRY in table ITEMS will not be "
            "selected and therefore not compared.\r\n");
}

TEST(BuildDataSelect, UpgradeSelectPutsTheKeyFirstAndReadsMissingColumnsAsNull) {
  ComparisonOptions options;
  options.i_DoingUpgradeScript = 1;
  options.setDerivedValues();
  options.whereStatements.set("ITEMS", "  where ID > 5");
  RecordingWriter out;
  DataSelectSettings settings;
  settings.keyed = true;
  settings.database = 2;
  settings.warn = false;
  // The select points into the table's column entries: the table outlives it.
  const CommonTable table = items();
  DataSelect select = buildDataSelect(table, "ITEMS", "APP", options, settings, out);
  EXPECT_EQ(
      select.text(),
      "select \"ID\", \"NOTE\", \"NAME\", \"DOC\", NULL \"ADDED\" from APP.ITEMS where ID > 5 "
      "order by \"ID\", \"NAME\"");
  EXPECT_EQ(select.keyCount, 1);
  EXPECT_EQ(out.text(), "");
  ASSERT_EQ(select.columns.size(), 5u);
  EXPECT_EQ(select.columns[0]->name, "ID");
}

TEST(BuildDataSelect, SpecialNamesAndRelease7) {
  ComparisonOptions options;
  RecordingWriter out;
  CommonTable table;
  table.firstName = "ORDER LINES";
  table.columns = {column("DESC", "NUMBER"), column("ID", "NUMBER")};
  DataSelectSettings settings;
  settings.bareNames = true;
  EXPECT_EQ(buildDataSelect(table, "ORDER LINES", "APP", options, settings, out).text(),
            "select \"DESC\", ID from APP.\"ORDER LINES\" order by \"DESC\", ID");
  options.i_AutoSpecialName = 1;
  table.firstName = "T";
  EXPECT_EQ(buildDataSelect(table, "T", "APP", options, settings, out).tail,
            " from \"APP\".\"T\" order by \"DESC\", \"ID\"");
  table.columns = {column("S", "SYS.XMLTYPE")};
  EXPECT_TRUE(buildDataSelect(table, "T", "APP", options, settings, out).empty());
}

TEST(FindDataCondition, DropsTheWhereKeywordAndIgnoresEmptyConditions) {
  ComparisonOptions options;
  options.whereStatements.set("A", " WHERE\tX = 1");
  options.whereStatements.set("B", "   ");
  std::string condition;
  EXPECT_TRUE(findDataCondition(options, "A", &condition));
  EXPECT_EQ(condition, "X = 1");
  EXPECT_FALSE(findDataCondition(options, "B", &condition));
  EXPECT_FALSE(findDataCondition(options, "a", &condition));
}

}  // namespace
}  // namespace velmora

namespace velmora {
namespace {

TEST(MarkKeyColumns, TheOverrideWinsAndUnusableColumnsAreNoKey) {
  CommonTable table;
  table.firstName = "T";
  table.columns = {column("A", "NUMBER", true), column("B", "VARCHAR2(5)"), column("C", "LONG"),
                   column("D", "SYS.XMLTYPE")};
  table.keyOverride = true;
  table.keyColumns = {"B", "C", "D"};
  EXPECT_EQ(markKeyColumns(table, nullptr, "APP", true), 1);
  EXPECT_FALSE(table.columns[0].key) << "the dictionary's key gives way to the override";
  EXPECT_TRUE(table.columns[1].key);
  EXPECT_FALSE(table.columns[2].key) << "a LONG cannot be ordered";
  EXPECT_FALSE(table.columns[3].key) << "an object type cannot be selected";
  // No override and no dictionary key: no key at all, rows are matched whole.
  table.keyOverride = false;
  EXPECT_EQ(markKeyColumns(table, nullptr, "APP", true), 0);
}

}  // namespace
}  // namespace velmora
