// ALL_TAB_COLUMNS, ALL_TABLES and USER_SEGMENTS against SCOTT's prepared schema.
#include "engine/dict/dict_test_support.h"

namespace ocisim::dict::testing {
namespace {

using TabColumnsTest = DictTest;

TEST_F(TabColumnsTest, TypesLengthsPrecisionScaleAndNullability) {
  Rows rows = query(*scott,
                    "select column_name, data_type, data_length, data_precision, data_scale, "
                    "nullable, column_id from all_tab_columns where owner = 'SCOTT' and "
                    "table_name = 'EMP' order by column_id");
  Rows expected = {
      {"EMPNO", "NUMBER", "22", "4", "0", "N", "1"},
      {"ENAME", "VARCHAR2", "10", "NULL", "NULL", "Y", "2"},
      {"JOB", "CHAR", "9", "NULL", "NULL", "Y", "3"},
      {"MGR", "NUMBER", "22", "NULL", "0", "Y", "4"},
      {"HIREDATE", "DATE", "7", "NULL", "NULL", "Y", "5"},
      {"SAL", "NUMBER", "22", "7", "2", "Y", "6"},
      {"COMM", "FLOAT", "22", "126", "NULL", "Y", "7"},
      {"BONUS", "NUMBER", "22", "NULL", "NULL", "Y", "8"},
      {"NOTES", "LONG", "0", "NULL", "NULL", "Y", "9"},
      {"RESUME", "CLOB", "4000", "NULL", "NULL", "Y", "10"},
      {"PHOTO", "BLOB", "4000", "NULL", "NULL", "Y", "11"},
      {"DEPTNO", "NUMBER", "22", "2", "0", "Y", "12"},
  };
  EXPECT_EQ(rows, expected);
}

TEST_F(TabColumnsTest, PrimaryKeyAndNotNullColumnsAreNotNullable) {
  EXPECT_EQ(column(*scott,
                   "select nullable from all_tab_columns where owner = 'SCOTT' and table_name = "
                   "'DEPT' order by column_id"),
            (std::vector<std::string>{"N", "N", "Y"}));
}

TEST_F(TabColumnsTest, DefaultsAreKeptAsWrittenInALongColumn) {
  Rows rows = query(*scott,
                    "select column_name, default_length, data_default from all_tab_columns "
                    "where owner = 'SCOTT' and table_name = 'DEPT' order by column_id");
  Rows expected = {{"DEPTNO", "NULL", "NULL"},
                   {"DNAME", "NULL", "NULL"},
                   {"LOC", "11", "'NEW YORK' "}};
  EXPECT_EQ(rows, expected);
  auto stmt = scott->prepare("select data_default from all_tab_columns");
  ASSERT_EQ(stmt->describe().size(), 1u);
  EXPECT_EQ(stmt->describe()[0].type.code, TypeCode::Long);
  EXPECT_EQ(stmt->describe()[0].type.ociTypeCode(), 8);
}

TEST_F(TabColumnsTest, APreparedQueryFollowsItsBinds) {
  // The pinned owner and table come from the binds of each execution.
  auto stmt = scott->prepare(
      "select column_name from all_tab_columns where owner = :owner and table_name = :name "
      "order by column_id");
  for (auto [table, first] : {std::pair{"EMP", "EMPNO"}, std::pair{"DEPT", "DEPTNO"},
                              std::pair{"EMP_V", "EMPNO"}}) {
    BindSet b = binds({{"OWNER", "SCOTT"}, {"NAME", table}});
    auto result = stmt->execute(b);
    Row row;
    ASSERT_TRUE(result.cursor->fetch(row)) << table;
    EXPECT_EQ(row[0].asText(), first) << table;
  }
}

TEST_F(TabColumnsTest, AlteredTablesRenumberTheirColumns) {
  runAll(*scott, {"alter table dept add (budget number(10,2) default 0 not null)",
                  "alter table dept drop column loc"});
  Rows rows = query(*scott,
                    "select column_name, column_id, nullable, data_default from all_tab_columns "
                    "where owner = 'SCOTT' and table_name = 'DEPT' order by column_id");
  Rows expected = {{"DEPTNO", "1", "N", "NULL"},
                   {"DNAME", "2", "N", "NULL"},
                   {"BUDGET", "3", "N", "0 "}};
  EXPECT_EQ(rows, expected);
  runAll(*scott, {"alter table dept modify (budget null)"});
  EXPECT_EQ(column(*scott,
                   "select nullable from all_tab_columns where table_name = 'DEPT' and "
                   "column_name = 'BUDGET'"),
            (std::vector<std::string>{"Y"}));
}

TEST_F(TabColumnsTest, ViewColumnsAreListedWithTheirTypes) {
  Rows rows = query(*scott,
                    "select column_name, data_type, data_length, column_id from all_tab_columns "
                    "where owner = 'SCOTT' and table_name = 'EMP_V' order by column_id");
  Rows expected = {{"EMPNO", "NUMBER", "22", "1"},
                   {"ENAME", "VARCHAR2", "10", "2"},
                   {"SAL", "NUMBER", "22", "3"}};
  EXPECT_EQ(rows, expected);
}

TEST_F(TabColumnsTest, ObjectTypeColumnsNameTheirOwner) {
  runAll(*scott, {"create type addr_t as object (street varchar2(30), city varchar2(20))",
                  "create table person (id number primary key, home addr_t)"});
  Rows rows = query(*scott,
                    "select column_name, data_type, nvl(data_type_owner, ' ') from "
                    "all_tab_columns where owner = 'SCOTT' and table_name = 'PERSON' order by "
                    "column_id");
  Rows expected = {{"ID", "NUMBER", " "}, {"HOME", "ADDR_T", "SCOTT"}};
  EXPECT_EQ(rows, expected);
}

TEST_F(TabColumnsTest, CharacterColumnsCarryCharacterSetAndCharLength) {
  Rows rows = query(*scott,
                    "select column_name, character_set_name, char_length, char_used from "
                    "all_tab_columns where owner = 'SCOTT' and table_name = 'EMP' and "
                    "column_name in ('ENAME', 'JOB', 'SAL') order by column_id");
  Rows expected = {{"ENAME", "CHAR_CS", "10", "B"},
                   {"JOB", "CHAR_CS", "9", "B"},
                   {"SAL", "NULL", "0", "NULL"}};
  EXPECT_EQ(rows, expected);
}

TEST_F(TabColumnsTest, WithoutPinsEveryVisibleTableAndViewIsListedInNameOrder) {
  // No equality on OWNER/TABLE_NAME: the whole listing, tables and views interleaved.
  std::vector<std::string> tables = column(
      *scott,
      "select distinct table_name from all_tab_columns where owner like 'SCOTT' order by 1");
  EXPECT_EQ(tables, (std::vector<std::string>{"BONUS", "DEPT", "EMP", "EMP_V"}));
  Rows firstColumns = query(*scott,
                            "select table_name, column_name from all_tab_columns where owner "
                            "like 'SCO%' and column_id = 1");
  Rows expected = {{"BONUS", "ENAME"}, {"DEPT", "DEPTNO"}, {"EMP", "EMPNO"}, {"EMP_V", "EMPNO"}};
  EXPECT_EQ(firstColumns, expected);
}

using TablesTest = DictTest;

TEST_F(TablesTest, StorageAttributesAsDeclared) {
  Rows rows = query(*scott,
                    "select tablespace_name, pct_free, pct_used, ini_trans, max_trans, "
                    "initial_extent, next_extent, min_extents, max_extents, pct_increase, "
                    "freelists, freelist_groups from all_tables where owner = 'SCOTT' and "
                    "table_name = 'EMP'");
  Rows expected = {{"USERS", "20", "50", "2", "100", "131072", "262144", "1", "200", "10", "2",
                    "1"}};
  EXPECT_EQ(rows, expected);
}

TEST_F(TablesTest, DefaultStorageAndFixedColumns) {
  Rows rows = query(*scott,
                    "select pct_free, pct_used, ini_trans, max_trans, logging, partitioned, "
                    "temporary, degree, cache, status from all_tables where owner = 'SCOTT' "
                    "and table_name = 'DEPT'");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][0], "10");
  EXPECT_EQ(rows[0][1], "40");
  EXPECT_EQ(rows[0][4], "YES");
  EXPECT_EQ(rows[0][5], "NO");
  EXPECT_EQ(rows[0][6], "N");
  EXPECT_EQ(rows[0][7], "         1");
  EXPECT_EQ(rows[0][8], "    N");
  EXPECT_EQ(rows[0][9], "VALID");
}

TEST_F(TablesTest, PlanTableIsAnOrdinaryTable) {
  EXPECT_EQ(errorCode(*scott, "select * from plan_table"), 942);
  runAll(*scott, {"create table plan_table (statement_id varchar2(30), cost number)"});
  EXPECT_EQ(column(*scott,
                   "select table_name from all_tables where owner = 'SCOTT' order by table_name"),
            (std::vector<std::string>{"BONUS", "DEPT", "EMP", "PLAN_TABLE"}));
}

using SegmentsTest = DictTest;

TEST_F(SegmentsTest, OneSegmentPerTableAndIndexOfTheUser) {
  Rows rows = query(*scott,
                    "select segment_name, segment_type, tablespace_name, bytes, blocks, extents "
                    "from user_segments order by segment_type desc, segment_name");
  ASSERT_EQ(rows.size(), 8u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"BONUS", "TABLE", "USERS", "65536", "8", "1"}));
  EXPECT_EQ(rows[2], (std::vector<std::string>{"EMP", "TABLE", "USERS", "131072", "16", "1"}));
  EXPECT_EQ(column(*scott,
                   "select segment_name from user_segments where segment_type = 'INDEX' order "
                   "by 1"),
            (std::vector<std::string>{"EMP_JOB", "EMP_MGR", "PK_DEPT", "PK_EMP", "UK_ENAME"}));
  // Another user's segments are not listed.
  EXPECT_TRUE(query(*other, "select * from user_segments").empty());
}

TEST_F(SegmentsTest, MinExtentsAllocateNextExtentsWithTheirIncrease) {
  runAll(*scott, {"create table big (a number) storage (initial 64k next 64k minextents 3 "
                  "pctincrease 50)"});
  // 64K + 64K + 96K.
  EXPECT_EQ(query(*scott, "select bytes, extents from user_segments where segment_name = 'BIG'"),
            (Rows{{"229376", "3"}}));
}

}  // namespace
}  // namespace ocisim::dict::testing
