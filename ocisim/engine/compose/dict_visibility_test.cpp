// What the ALL_ views show to whom (own objects, granted objects, everything for a DBA) and how
// the dictionary differs between releases.
#include "engine/compose/engine.h"
#include "engine/dict/dict_test_support.h"

namespace ocisim::dict::testing {
namespace {

using VisibilityTest = DictTest;

TEST_F(VisibilityTest, GrantedTablesAndTheirDependents) {
  EXPECT_EQ(column(*other,
                   "select table_name from all_catalog where owner = 'SCOTT' order by 1"),
            (std::vector<std::string>{"DEPT", "EMP"}));
  EXPECT_EQ(column(*other,
                   "select distinct table_name from all_tab_columns where owner = 'SCOTT' "
                   "order by 1"),
            (std::vector<std::string>{"DEPT", "EMP"}));
  EXPECT_EQ(column(*other,
                   "select table_name from all_tables where owner = 'SCOTT' order by 1"),
            (std::vector<std::string>{"DEPT", "EMP"}));
  // Indexes and constraints of a visible table are visible; BONUS's are not.
  EXPECT_EQ(column(*other,
                   "select count(*) from all_indexes where table_owner = 'SCOTT' and table_name "
                   "= 'BONUS'"),
            (std::vector<std::string>{"0"}));
  EXPECT_EQ(column(*other,
                   "select count(*) from all_indexes where table_owner = 'SCOTT' and table_name "
                   "= 'EMP'"),
            (std::vector<std::string>{"4"}));
  EXPECT_EQ(column(*other,
                   "select distinct table_name from all_constraints where owner = 'SCOTT' order "
                   "by 1"),
            (std::vector<std::string>{"DEPT", "EMP"}));
  // The view, sequences, procedure and trigger were not granted.
  EXPECT_EQ(column(*other,
                   "select object_type from all_objects where owner = 'SCOTT' and object_type "
                   "not in ('TABLE', 'INDEX')"),
            std::vector<std::string>{});
  EXPECT_TRUE(query(*other, "select * from all_views where owner = 'SCOTT'").empty());
  EXPECT_TRUE(query(*other, "select * from all_triggers where owner = 'SCOTT'").empty());
}

TEST_F(VisibilityTest, ExecuteShowsTheSpecificationOnly) {
  runAll(*scott, {"create or replace package pk is\n  procedure p;\nend;",
                  "create or replace package body pk is\n  procedure p is\n  begin\n    "
                  "null;\n  end;\nend;",
                  "grant execute on pk to other"});
  EXPECT_EQ(column(*other,
                   "select distinct type from all_source where owner = 'SCOTT' order by 1"),
            (std::vector<std::string>{"PACKAGE"}));
  EXPECT_EQ(column(*other, "select object_type from all_objects where object_name = 'PK'"),
            (std::vector<std::string>{"PACKAGE"}));
}

TEST_F(VisibilityTest, SequenceAndViewGrants) {
  runAll(*scott, {"grant select on emp_seq to other", "grant select on emp_v to other"});
  EXPECT_EQ(column(*other, "select sequence_name from all_sequences"),
            (std::vector<std::string>{"EMP_SEQ"}));
  EXPECT_EQ(column(*other, "select view_name from all_views"),
            (std::vector<std::string>{"EMP_V"}));
}

TEST_F(VisibilityTest, RoleGrantsOpenObjectsToTheRoleHolders) {
  runAll(*sys, {"create role reader", "grant reader to other"});
  runAll(*scott, {"grant select on bonus to reader"});
  EXPECT_EQ(column(*other,
                   "select table_name from all_tables where owner = 'SCOTT' order by 1"),
            (std::vector<std::string>{"BONUS", "DEPT", "EMP"}));
}

TEST_F(VisibilityTest, DbaSeesEverySchema) {
  std::string sql =
      "select count(*) from all_objects where owner = 'SCOTT'";
  EXPECT_EQ(column(*boss, sql), column(*scott, sql));
  EXPECT_EQ(column(*boss, "select count(*) from all_triggers where owner = 'SCOTT'"),
            (std::vector<std::string>{"1"}));
  EXPECT_EQ(column(*boss, "select count(*) from all_source where owner = 'SCOTT' and type = "
                          "'PROCEDURE'"),
            (std::vector<std::string>{"4"}));
  // Other users do not see SYSTEM's objects; the DBA does.
  runAll(*sys, {"create table sys_only (a number)"});
  EXPECT_EQ(column(*boss, "select owner from all_tables where table_name = 'SYS_ONLY'"),
            (std::vector<std::string>{"SYSTEM"}));
  EXPECT_TRUE(query(*scott, "select owner from all_tables where table_name = 'SYS_ONLY'").empty());
}

TEST_F(VisibilityTest, AnyPrivilegesOpenTheirKind) {
  runAll(*sys, {"grant select any table to other"});
  EXPECT_EQ(column(*other, "select count(*) from all_tables where owner = 'SCOTT'"),
            (std::vector<std::string>{"3"}));
  EXPECT_EQ(column(*other, "select count(*) from all_sequences where sequence_owner = 'SCOTT'"),
            (std::vector<std::string>{"0"}));
  runAll(*sys, {"grant create any trigger to other"});
  EXPECT_EQ(column(*other, "select trigger_name from all_triggers"),
            (std::vector<std::string>{"EMP_TRG"}));
}

TEST_F(VisibilityTest, UserViewsShowTheSessionUserOnly) {
  EXPECT_EQ(column(*boss, "select count(*) from user_segments"),
            (std::vector<std::string>{"0"}));
  EXPECT_EQ(column(*boss, "select granted_role from user_role_privs"),
            (std::vector<std::string>{"DBA"}));
}

TEST_F(VisibilityTest, UserViewsAreTheOwnPartOfTheAllViews) {
  runAll(*other, {"create table mine (a number constraint mine_pk primary key)"});
  EXPECT_EQ(query(*other, "select table_name, table_type from user_catalog"),
            (Rows{{"MINE", "TABLE"}}));
  EXPECT_EQ(column(*other, "select table_name from user_tables"),
            (std::vector<std::string>{"MINE"}));
  EXPECT_EQ(column(*other, "select object_name from user_objects order by 1"),
            (std::vector<std::string>{"MINE", "MINE_PK"}));
  EXPECT_EQ(query(*other, "select table_name, column_name, nullable from user_tab_columns"),
            (Rows{{"MINE", "A", "N"}}));
  EXPECT_EQ(query(*other, "select owner, constraint_name, constraint_type from user_constraints"),
            (Rows{{"OTHER", "MINE_PK", "P"}}));
  EXPECT_EQ(query(*other, "select owner, constraint_name, column_name from user_cons_columns"),
            (Rows{{"OTHER", "MINE_PK", "A"}}));
  EXPECT_EQ(query(*other, "select index_name, table_owner, uniqueness from user_indexes"),
            (Rows{{"MINE_PK", "OTHER", "UNIQUE"}}));
  EXPECT_EQ(query(*other, "select index_name, table_name, column_name from user_ind_columns"),
            (Rows{{"MINE_PK", "MINE", "A"}}));
  // The owner columns Oracle's USER_ views do not have.
  EXPECT_EQ(errorCode(*other, "select owner from user_tab_columns"), 904);
  EXPECT_EQ(errorCode(*other, "select table_owner from user_ind_columns"), 904);
  EXPECT_EQ(errorCode(*other, "select sequence_owner from user_sequences"), 904);
  // SCOTT's code, sequences, triggers and views.
  EXPECT_EQ(column(*scott, "select sequence_name from user_sequences order by 1"),
            (std::vector<std::string>{"EMP_SEQ", "PLAIN_SEQ"}));
  EXPECT_EQ(column(*scott, "select count(*) from user_source where name = 'RAISE_SAL'"),
            (std::vector<std::string>{"4"}));
  EXPECT_EQ(column(*scott, "select trigger_name from user_triggers"),
            (std::vector<std::string>{"EMP_TRG"}));
  EXPECT_EQ(column(*scott, "select view_name from user_views"),
            (std::vector<std::string>{"EMP_V"}));
  // A DBA's USER_ views hold its own objects only.
  EXPECT_TRUE(query(*boss, "select * from user_tables").empty());
}

// ---- releases ----

struct ReleaseCase {
  const char* version;
  bool dataTypeOwner;
  bool compression;
};

void PrintTo(const ReleaseCase& c, std::ostream* os) { *os << c.version; }

class ReleaseTest : public DictTest, public ::testing::WithParamInterface<ReleaseCase> {
 protected:
  void SetUp() override { prepare(GetParam().version); }
};

TEST_P(ReleaseTest, ColumnsMissingInOlderReleasesAreInvalidIdentifiers) {
  const ReleaseCase& c = GetParam();
  EXPECT_EQ(errorCode(*scott, "select data_type_owner from all_tab_columns"),
            c.dataTypeOwner ? 0 : 904);
  EXPECT_EQ(errorCode(*scott, "select compression from all_indexes"), c.compression ? 0 : 904);
  EXPECT_EQ(errorCode(*scott, "select prefix_length from all_indexes"), c.compression ? 0 : 904);
  EXPECT_EQ(errorCode(*scott, "select * from all_indexes where compression = 'ENABLED'"),
            c.compression ? 0 : 904);
  // What every release has.
  EXPECT_EQ(errorCode(*scott,
                      "select owner, table_name, column_name, data_type, data_length, "
                      "data_precision, data_scale, nullable, column_id, data_default from "
                      "all_tab_columns"),
            0);
  EXPECT_EQ(errorCode(*scott,
                      "select owner, index_name, table_owner, table_name, uniqueness, "
                      "tablespace_name, ini_trans, max_trans, pct_free from all_indexes"),
            0);
}

TEST_P(ReleaseTest, StarSelectHasTheReleaseColumns) {
  const ReleaseCase& c = GetParam();
  auto stmt = scott->prepare("select * from all_tab_columns");
  bool found = false;
  for (const ColumnInfo& info : stmt->describe()) found = found || info.name == "DATA_TYPE_OWNER";
  EXPECT_EQ(found, c.dataTypeOwner);
  // The rows still match the columns.
  Rows rows = query(*scott, "select * from all_indexes where owner = 'SCOTT'");
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows[0].size(), scott->prepare("select * from all_indexes")->describe().size());
}

INSTANTIATE_TEST_SUITE_P(Releases, ReleaseTest,
                         ::testing::Values(ReleaseCase{"7.3.4", false, false},
                                           ReleaseCase{"8.0.5", true, false},
                                           ReleaseCase{"8.1.7", true, true},
                                           ReleaseCase{"9.2.0", true, true},
                                           ReleaseCase{"19.3.0", true, true}),
                         [](const auto& info) {
                           std::string name = info.param.version;
                           for (char& ch : name) {
                             if (ch == '.') ch = '_';
                           }
                           return "V" + name;
                         });

TEST(ReleaseIdentifiers, NameColumnsWidenIn12cR2) {
  for (auto [version, width] : {std::pair{"12.1.0", 30}, std::pair{"19.3.0", 128}}) {
    auto db = createDatabaseInMemory({"X", version, "manager"});
    auto s = db->logon("SYSTEM", "manager");
    EXPECT_EQ(s->prepare("select owner from all_objects")->describe()[0].type.length, width)
        << version;
  }
}

}  // namespace
}  // namespace ocisim::dict::testing
