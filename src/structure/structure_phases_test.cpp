#include "structure/structure_phases.h"
#include "structure/table_lists.h"

#include <gtest/gtest.h>

#include "base/report_document.h"
#include "base/report_output.h"
#include "config/memory_settings_store.h"
#include "run/run_context.h"
#include "structure/structure_test_doubles.h"

namespace velmora {
namespace {

class FakeSources : public TablePhaseSources {
 public:
  FakeSources(FakeDictionary& db1, FakeDictionary* db2, ScriptSource& scripts) : scripts_(scripts) {
    first_ = {db1.owner, db1.owner + "@ORCL", &db1, &db1.tableNames};
    if (db2 != nullptr)
      second_ = PhaseDatabase{db2->owner, db2->owner + "@TEST", db2, &db2->tableNames};
    hasSecond_ = db2 != nullptr;
  }
  const PhaseDatabase* database(int number) override {
    if (number == 1) return &first_;
    return hasSecond_ ? &second_ : nullptr;
  }
  bool loadTables(int number) override {
    loads.push_back(number);
    return true;
  }
  ScriptSource* scripts() override { return &scripts_; }

  std::vector<int> loads;

 private:
  ScriptSource& scripts_;
  PhaseDatabase first_, second_;
  bool hasSecond_ = false;
};

class StructurePhasesTest : public ::testing::Test {
 protected:
  StructurePhasesTest() {
    control.beginRun();
    options.setDerivedValues();
    db2.owner = "HR";
    db1.table("EMP").columns = {{"ID", "NUMBER", 22, "", "", true, "", ""}};
    db2.table("EMP").columns = {{"ID", "NUMBER", 22, "", "", false, "", ""}};
    db1.table("DEPT");
    db2.table("DEPT");
  }
  void runAll(FakeSources& sources) {
    runTableListPhase(context, sources);
    runTableStructurePhase(context, sources);
    runIndexPhase(context, sources);
    runConstraintPhase(context, sources);
  }

  ComparisonOptions options;
  RecordingHost host;
  MemorySettingsStore settings;
  RunControl control;
  RunErrors errors;
  ReportDocument document;
  ReportOutput output{document, options, host};
  RunContext context{options, output, host, settings, control, errors};
  FakeDictionary db1, db2;
  FakeScripts scripts{options};
};

TEST_F(StructurePhasesTest, ShellsAnnounceTheirStepsAndProgress) {
  FakeSources sources(db1, &db2, scripts);
  runAll(sources);
  EXPECT_EQ(sources.loads, (std::vector<int>{1, 2}));
  EXPECT_EQ(host.statuses(),
            (std::vector<std::string>{"Analyzing Databases ...", "Analyzing Structures ...",
                                      "Comparing Structures ...", "Analyzing Indexes ...",
                                      "Comparing Indexes ...", "Analyzing Constraints ...",
                                      "Comparing Constraints ..."}));
  EXPECT_EQ(host.lastTitle(), "Comparing Constraints - Velmora for Oracle");
  EXPECT_EQ(host.progressHigh(), 2);
  EXPECT_EQ(host.progress(), 2);
  EXPECT_NE(document.text().find("\r\nEMP    ID  "), std::string::npos);
  EXPECT_EQ(context.phaseState<TableRunState>().tableNameWidth, 4);

  // The lists are read once per connection.
  runTableListPhase(context, sources);
  EXPECT_EQ(sources.loads, (std::vector<int>{1, 2}));
  context.setDatabases(nullptr, nullptr);
  runTableListPhase(context, sources);
  EXPECT_EQ(sources.loads, (std::vector<int>{1, 2, 1, 2}));
}

TEST_F(StructurePhasesTest, WithoutStructuresTheSecondPassStillBuildsTheLists) {
  options.b_DoStruct = 0;
  FakeSources sources(db1, &db2, scripts);
  runTableListPhase(context, sources);
  runTableStructurePhase(context, sources);
  EXPECT_EQ(host.statuses(),
            (std::vector<std::string>{"Analyzing Databases ...", "Analyzing Structures ..."}));
  ASSERT_EQ(context.workLists().tables.size(), 2u);
  EXPECT_EQ(context.workLists().tables[0].columns[0].targetType, "NUMBER NOT NULL ");
}

TEST_F(StructurePhasesTest, ScriptDatabaseOneWorksOnDatabaseOneAlone) {
  options.i_DoingUpgradeScript = 2;
  options.setDerivedValues();
  scripts.tableDdl["EMP"] = "CREATE TABLE EMP\r\n;\r\n";
  scripts.indexDdl["EMP.EMP_IX"] = "CREATE INDEX EMP_IX ON EMP\r\n;\r\n";
  FakeSources sources(db1, nullptr, scripts);
  runAll(sources);
  EXPECT_EQ(sources.loads, (std::vector<int>{1}));
  EXPECT_TRUE(db2.log.empty());
  EXPECT_EQ(host.statuses(),
            (std::vector<std::string>{"Analyzing Databases ...", "Analyzing Structures ...",
                                      "Comparing Structures ...", "Analyzing Indexes ...",
                                      "Analyzing Constraints ..."}));
  EXPECT_EQ(host.progressHigh(), 2);  // indexes and constraints walk Database 1's tables
  const std::string text = document.text();
  EXPECT_NE(text.find("CREATE TABLE EMP"), std::string::npos);
  EXPECT_NE(text.find("CREATE INDEX EMP_IX"), std::string::npos);
}

// Each table phase reports what it found different to the run, kind by kind, in the report and
// in the upgrade script alike; the script of Database 1 compares nothing and reports nothing.
TEST_F(StructurePhasesTest, PhasesReportTheirDifferencesToTheRun) {
  db1.table("ONLY1");
  db2.table("ONLY2A");
  db2.table("ONLY2B");
  db1.table("EMP").indexes = {{"EMP_IX", false, {"ID"}}};
  db1.table("EMP").constraints = {{"EMP_PK", "P", {"ID"}, "", "", ""}};
  db2.table("EMP").constraints = {{"EMP_CK", "C", {"ID"}, "", "ID > 0", ""}};
  for (int mode : {0, 1}) {
    options.i_DoingUpgradeScript = mode;
    options.setDerivedValues();
    context.differences().clear();
    FakeSources sources(db1, &db2, scripts);
    runAll(sources);
    const std::vector<std::pair<std::string, int>> expected = {
        {"tables", 3}, {"columns", 1}, {"indexes", 1}, {"constraints", 2}};
    EXPECT_EQ(context.differences().counts(), expected) << "mode " << mode;
  }
  options.i_DoingUpgradeScript = 2;
  options.setDerivedValues();
  context.differences().clear();
  FakeSources alone(db1, nullptr, scripts);
  runAll(alone);
  EXPECT_FALSE(context.differences().any()) << context.differences().summary();
}

TEST_F(StructurePhasesTest, RegisteredRunnersUseTheFactory) {
  PhaseTable phases;
  int made = 0;
  registerTablePhases(phases, [&](RunContext&) -> std::unique_ptr<TablePhaseSources> {
    ++made;
    return std::make_unique<FakeSources>(db1, &db2, scripts);
  });
  for (PhaseId id :
       {PhaseId::TableLists, PhaseId::TableStructures, PhaseId::Indexes, PhaseId::Constraints}) {
    ASSERT_TRUE(phases.phase(id).run);
    phases.phase(id).run(context);
  }
  EXPECT_EQ(made, 4);
  EXPECT_EQ(context.workLists().tables.size(), 2u);
  EXPECT_FALSE(phases.phase(PhaseId::TableData).run);
}

}  // namespace
}  // namespace velmora
