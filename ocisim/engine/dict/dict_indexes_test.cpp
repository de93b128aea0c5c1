// ALL_INDEXES, ALL_IND_COLUMNS, ALL_CONSTRAINTS and ALL_CONS_COLUMNS against SCOTT's schema.
#include "engine/dict/dict_test_support.h"

namespace ocisim::dict::testing {
namespace {

using IndexesTest = DictTest;

TEST_F(IndexesTest, UniquenessCompressionAndStorage) {
  Rows rows = query(*scott,
                    "select index_name, index_type, table_owner, table_name, table_type, "
                    "uniqueness, compression, prefix_length, ini_trans, pct_free, status "
                    "from all_indexes where owner = 'SCOTT' and table_name = 'EMP' "
                    "order by index_name");
  Rows expected = {
      // HIREDATE DESC makes the index function-based.
      {"EMP_JOB", "FUNCTION-BASED NORMAL", "SCOTT", "EMP", "TABLE", "NONUNIQUE", "DISABLED", "NULL",
       "2", "10", "VALID"},
      {"EMP_MGR", "NORMAL", "SCOTT", "EMP", "TABLE", "UNIQUE", "ENABLED", "1", "4", "15", "VALID"},
      {"PK_EMP", "NORMAL", "SCOTT", "EMP", "TABLE", "UNIQUE", "DISABLED", "NULL", "2", "10",
       "VALID"},
      {"UK_ENAME", "NORMAL", "SCOTT", "EMP", "TABLE", "UNIQUE", "DISABLED", "NULL", "2", "5",
       "VALID"},
  };
  EXPECT_EQ(rows, expected);
}

TEST_F(IndexesTest, TableTypeIsChar) {
  // TABLE_TYPE is CHAR(5): blank-padded comparison with a CHAR literal.
  EXPECT_EQ(column(*scott,
                   "select count(*) from all_indexes where owner = 'SCOTT' and table_type = "
                   "'TABLE  '"),
            (std::vector<std::string>{"5"}));
}

TEST_F(IndexesTest, IndexColumnsWithPositionLengthAndOrder) {
  Rows rows = query(*scott,
                    "select index_name, column_name, column_position, column_length, "
                    "char_length, descend from all_ind_columns where index_owner = 'SCOTT' and "
                    "table_name = 'EMP' order by index_name, column_position");
  Rows expected = {
      // A DESC column is the hidden column after EMP's 12 columns.
      {"EMP_JOB", "JOB", "1", "9", "9", "ASC"},
      {"EMP_JOB", "SYS_NC00013$", "2", "7", "0", "DESC"},
      {"EMP_MGR", "MGR", "1", "22", "0", "ASC"},
      {"EMP_MGR", "EMPNO", "2", "22", "0", "ASC"},
      {"PK_EMP", "EMPNO", "1", "22", "0", "ASC"},
      {"UK_ENAME", "ENAME", "1", "10", "10", "ASC"},
  };
  EXPECT_EQ(rows, expected);
}

TEST_F(IndexesTest, DroppedIndexDisappears) {
  runAll(*scott, {"drop index emp_job"});
  EXPECT_EQ(column(*scott,
                   "select count(*) from all_ind_columns where index_owner = 'SCOTT' and "
                   "index_name = 'EMP_JOB'"),
            (std::vector<std::string>{"0"}));
}

using ConstraintsTest = DictTest;

TEST_F(ConstraintsTest, TypesRulesAndGeneratedNames) {
  Rows rows = query(*scott,
                    "select constraint_name, constraint_type, search_condition, r_owner, "
                    "r_constraint_name, delete_rule, status, generated, index_name "
                    "from all_constraints where owner = 'SCOTT' and table_name = 'EMP' and "
                    "constraint_name not like 'SYS_C%' order by constraint_name");
  Rows expected = {
      {"CK_SAL", "C", "sal > 0", "NULL", "NULL", "NULL", "ENABLED", "USER NAME", "NULL"},
      {"FK_EMP_DEPT", "R", "NULL", "SCOTT", "PK_DEPT", "CASCADE", "ENABLED", "USER NAME", "NULL"},
      {"PK_EMP", "P", "NULL", "NULL", "NULL", "NULL", "ENABLED", "USER NAME", "PK_EMP"},
      {"UK_ENAME", "U", "NULL", "NULL", "NULL", "NULL", "ENABLED", "USER NAME", "UK_ENAME"},
  };
  EXPECT_EQ(rows, expected);
}

TEST_F(ConstraintsTest, NotNullColumnsHaveASystemCheck) {
  Rows rows = query(*scott,
                    "select constraint_type, search_condition, generated, deferrable, "
                    "validated from all_constraints where owner = 'SCOTT' and table_name = "
                    "'EMP' and constraint_name like 'SYS_C%'");
  Rows expected = {{"C", "\"EMPNO\" IS NOT NULL", "GENERATED NAME", "NOT DEFERRABLE",
                    "VALIDATED"}};
  EXPECT_EQ(rows, expected);
  std::vector<std::string> names = column(
      *scott, "select constraint_name from all_constraints where constraint_name like 'SYS_C%'");
  ASSERT_FALSE(names.empty());
  for (const std::string& name : names) {
    EXPECT_EQ(name.size(), 11u) << name;  // SYS_C + six digits
  }
}

TEST_F(ConstraintsTest, SetNullRuleAndUnnamedForeignKey) {
  Rows rows = query(*scott,
                    "select constraint_type, r_constraint_name, delete_rule, search_condition "
                    "from all_constraints where owner = 'SCOTT' and table_name = 'BONUS' order "
                    "by constraint_type");
  Rows expected = {{"C", "NULL", "NULL", "amount >= 0"}, {"R", "PK_DEPT", "SET NULL", "NULL"}};
  EXPECT_EQ(rows, expected);
}

TEST_F(ConstraintsTest, ConsColumnsHavePositionsExceptForChecks) {
  Rows rows = query(*scott,
                    "select co.constraint_name, co.column_name, co.position from "
                    "all_cons_columns co where co.owner = 'SCOTT' and co.table_name = 'EMP' "
                    "order by co.constraint_name");
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"CK_SAL", "SAL", "NULL"}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"FK_EMP_DEPT", "DEPTNO", "1"}));
  EXPECT_EQ(rows[2], (std::vector<std::string>{"PK_EMP", "EMPNO", "1"}));
  EXPECT_EQ(rows[3][1], "EMPNO");  // the NOT NULL check
  EXPECT_EQ(rows[3][2], "NULL");
  EXPECT_EQ(rows[4], (std::vector<std::string>{"UK_ENAME", "ENAME", "1"}));
}

TEST_F(ConstraintsTest, CompositeKeyPositionsFollowTheKeyNotTheTable) {
  runAll(*scott, {"create table pair (a number, b number, c number, constraint pk_pair primary "
                  "key (c, a))"});
  Rows rows = query(*scott,
                    "select column_name, position from all_cons_columns where owner = 'SCOTT' "
                    "and constraint_name = 'PK_PAIR'");
  EXPECT_EQ(rows, (Rows{{"C", "1"}, {"A", "2"}}));
}

TEST_F(ConstraintsTest, DisabledConstraintShowsStatus) {
  runAll(*scott, {"alter table emp disable constraint ck_sal"});
  EXPECT_EQ(query(*scott,
                  "select status, validated from all_constraints where owner = 'SCOTT' and "
                  "constraint_name = 'CK_SAL'"),
            (Rows{{"DISABLED", "NOT VALIDATED"}}));
}

}  // namespace
}  // namespace ocisim::dict::testing
