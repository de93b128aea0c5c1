#include <gtest/gtest.h>

#include <map>

#include "base/recording_host.h"
#include "base/report_layout.h"
#include "views/view_lists.h"
#include "views/view_structures.h"

namespace velmora {
namespace {

class FakeViewReader : public ViewReader {
 public:
  std::string version = "8";
  std::vector<std::string> views;
  std::map<std::string, std::vector<ViewColumnRow>> columnsOf;
  std::map<std::string, std::string> columnErrors;
  bool listFails = false;
  std::vector<std::string> queries;

  std::string serverVersion() override { return version; }
  bool listViews(std::vector<std::string>& names) override {
    names = views;
    if (listFails) names.resize(names.size() / 2);
    return !listFails;
  }
  std::string columns(const std::string& queryText, const std::string& view,
                      std::vector<ViewColumnRow>& rows) override {
    queries.push_back(queryText);
    auto error = columnErrors.find(view);
    if (error != columnErrors.end()) return error->second;
    rows = columnsOf[view];
    return "";
  }
};

struct ViewHarness {
  ViewHarness() : run(options, out, host, control, views, state) {
    control.beginRun();
    run.database1 = {1, "APP", "APP@DB1", &db1};
    run.database2 = {2, "APP", "APP@DB2", &db2};
    run.errors = &errors;
    run.differences = &differences;
  }
  void mode(int m) {
    options.i_DoingUpgradeScript = m;
    options.setDerivedValues();
  }

  ComparisonOptions options;
  RecordingWriter out;
  RecordingHost host;
  RunControl control;
  std::vector<CommonTable> views;
  ViewRunState state;
  RunErrors errors;
  RunDifferences differences;
  FakeViewReader db1, db2;
  ViewRun run;
};

CommonTable commonView(const std::string& name) {
  CommonTable view;
  view.firstName = view.secondName = name;
  return view;
}

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(ViewLists, ReportCountsMissingCommonAndNotProcessedViews) {
  ViewHarness h;
  h.mode(0);
  h.options.IgnoreViews.add("skipped_v");
  h.db1.views = {"ORDERS_V", "NEW_V", "SKIPPED_V"};
  h.db2.views = {"ORDERS_V", "OLD_V"};
  ViewListComparer(h.run).compareViewLists();
  EXPECT_EQ(h.out.text(),
            "\r\n\r\n\r\n3 views were found in APP@DB1\r\n2 views were found in APP@DB2"
            "\r\n\r\n\r\nThe following views DO NOT exist in APP@DB1\r\n\r\n\t\tOLD_V"
            "\r\n\r\n\r\nThe following views DO NOT exist in APP@DB2\r\n\r\n\t\tNEW_V"
            "\r\n\r\n\r\nThe following views exist in both databases\r\n\r\n\t\tORDERS_V"
            "\r\n\r\n\r\nThe following views were not processed in APP@DB1\r\n\r\n\t\tSKIPPED_V");
  ASSERT_EQ(h.views.size(), 1u);
  EXPECT_EQ(h.views[0].firstName, "ORDERS_V");
  EXPECT_EQ(h.host.objects(), std::vector<std::string>{"VIEW.ORDERS_V"});
  EXPECT_EQ(h.differences.total(), 2);
}

TEST(ViewLists, OneViewTakesTheSingularAndCaseMatters) {
  ViewHarness h;
  h.mode(0);
  h.db1.views = {"v"};
  h.db2.views = {"V"};
  ViewListComparer(h.run).compareViewLists();
  const std::string text = h.out.text();
  EXPECT_TRUE(contains(text, "1 view was found in APP@DB1"));
  EXPECT_TRUE(contains(text, "DO NOT exist in APP@DB1\r\n\r\n\t\tV"));
  EXPECT_TRUE(contains(text, "DO NOT exist in APP@DB2\r\n\r\n\t\tv"));
  EXPECT_TRUE(h.views.empty());
}

TEST(ViewLists, ScriptsHoldOnlyComments) {
  ViewHarness h;
  h.mode(1);
  h.db1.views = {"A", "B"};
  h.db2.views = {"A", "C"};
  ViewListComparer(h.run).compareViewLists();
  const std::string text = h.out.text();
  EXPECT_TRUE(contains(text, "*  views\r\n*\r\n*  2 views were found in APP@DB1\r\n*  2 views"));
  EXPECT_TRUE(contains(text, "*  The following views DO NOT exist in APP@DB1\r\n*\r\n*  \t\tC"));
  // Every line outside a /* */ block would be a statement: there is none.
  size_t depth = 0;
  for (size_t at = 0; at < text.size(); ++at) {
    if (text.compare(at, 1, "/") == 0 && at + 1 < text.size() && text[at + 1] == '*') ++depth;
    if (text.compare(at, 2, "*/") == 0 && depth > 0) --depth;
  }
  EXPECT_EQ(depth, 0u);
  EXPECT_FALSE(contains(text, "\r\n\t\t"));
}

TEST(ViewLists, WithoutViewStructureOnlyTheWorkListIsBuilt) {
  ViewHarness h;
  h.mode(0);
  h.options.b_DoViewStruct = 0;
  h.db1.views = {"A", "B"};
  h.db2.views = {"A", "C"};
  ViewListComparer(h.run).compareViewLists();
  EXPECT_FALSE(contains(h.out.text(), "DO NOT exist"));
  EXPECT_EQ(h.views.size(), 1u);
}

TEST(ViewLists, AListCutShortListsNoViewAsMissing) {
  ViewHarness h;
  h.mode(0);
  h.db1.views = {"A", "B"};
  h.db2.views = {"A", "B"};
  h.db2.listFails = true;
  ViewListComparer(h.run).compareViewLists();
  EXPECT_FALSE(contains(h.out.text(), "DO NOT exist")) << h.out.text();
  EXPECT_TRUE(contains(h.out.text(), "The list of views could not be read completely from "));
  EXPECT_TRUE(h.errors.any());
}

ViewColumnRow column(const std::string& name, const std::string& type, const std::string& length,
                     const std::string& owner = " ") {
  return {name, type, length, owner};
}

TEST(ViewStructures, ColumnsMatchByNameAndTypeOnly) {
  ViewHarness h;
  h.mode(0);
  h.views.push_back(commonView("V"));
  h.db1.columnsOf["V"] = {column("ID", "NUMBER", "22"), column("NAME", "VARCHAR2", "10"),
                          column("ONLY1", "DATE", "7"), column("DOC", "CLOB", "4000"),
                          column("PT", "POINT_T", "0", "APP")};
  h.db2.columnsOf["V"] = {column("ID", "NUMBER", "22"), column("NAME", "VARCHAR2", "20"),
                          column("DOC", "CLOB", "4000"), column("PT", "POINT_T", "0", "APP"),
                          column("ONLY2", "NUMBER", "22")};
  ViewStructureComparer(h.run).compareViewStructures();
  EXPECT_EQ(h.out.text(), "");
  const CommonTable& v = h.views[0];
  EXPECT_FALSE(v.sameColumns);
  ASSERT_EQ(v.columns.size(), 6u);
  EXPECT_EQ(v.columns[1].name, "NAME");
  EXPECT_EQ(v.columns[1].sourceType, "VARCHAR2");
  EXPECT_EQ(v.columns[1].targetType, "VARCHAR2");
  EXPECT_EQ(v.columns[1].displayWidth, 20);
  EXPECT_FALSE(v.columns[2].found);      // ONLY1
  EXPECT_FALSE(v.columns[3].orderable);  // a LOB
  EXPECT_TRUE(v.columns[3].selectable);
  EXPECT_FALSE(v.columns[4].orderable);  // a user-defined type
  EXPECT_FALSE(v.columns[4].selectable);
  EXPECT_EQ(v.columns[4].displayWidth, 500);
  EXPECT_EQ(v.columns[5].name, "ONLY2");
  EXPECT_EQ(v.columns[5].sourceType, kNotFound);
  EXPECT_TRUE(v.columns[5].found);
  EXPECT_TRUE(contains(h.db1.queries[0], "nvl(data_type_owner,' ')"));
}

TEST(ViewStructures, AWiderColumnIsNoDifference) {
  ViewHarness h;
  h.mode(0);
  h.views.push_back(commonView("V"));
  h.db1.columnsOf["V"] = {column("NAME", "VARCHAR2", "10")};
  h.db2.columnsOf["V"] = {column("NAME", "VARCHAR2", "20")};
  ViewStructureComparer(h.run).compareViewStructures();
  EXPECT_TRUE(h.views[0].sameColumns);
}

TEST(ViewStructures, An80ServerIsNotAskedForTypeOwners) {
  ViewHarness h;
  h.mode(0);
  h.db1.version = "8.0";
  h.views.push_back(commonView("V"));
  h.db1.columnsOf["V"] = {column("NAME", "VARCHAR2", "10")};
  ViewStructureComparer(h.run).compareViewStructures();
  EXPECT_FALSE(contains(h.db1.queries[0], "data_type_owner"));
  EXPECT_EQ(viewColumnQuery("7"),
            "select column_name, data_type, data_length, nvl(data_precision,0),nvl(data_scale,-1),"
            "decode(nvl(nullable,'Y'),'Y','    NULL ','NOT NULL '),' ' from all_tab_columns where "
            "owner = :owner and table_name = :name order by column_id");
}

TEST(ViewStructures, AQueryErrorEndsThePhaseAndDropsTheViewsNotRead) {
  ViewHarness h;
  h.mode(0);
  h.views = {commonView("A"), commonView("B"), commonView("C")};
  h.db2.columnErrors["B"] = "ORA-03113: end-of-file on communication channel";
  ViewStructureComparer(h.run).compareViewStructures();
  EXPECT_EQ(h.out.text(),
            "\r\n\r\n\r\nThe following error ocurred when trying to process view columns in "
            "database APP@DB2\r\nORA-03113: end-of-file on communication channel");
  ASSERT_EQ(h.views.size(), 1u);
  EXPECT_EQ(h.views[0].firstName, "A");
  EXPECT_EQ(h.errors.kinds(), std::vector<std::string>{"view columns"});
}

}  // namespace
}  // namespace velmora
