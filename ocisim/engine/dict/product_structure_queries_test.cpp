// The index and constraint queries of the structure comparers, the key-column lookups of the
// data upgrade, and the dictionary cursors of the server-side DDL generator, run unchanged.
#include "engine/dict/dict_test_support.h"
#include "engine/dict/product_query_texts.h"

namespace ocisim::dict::testing {
namespace {

using StructureQueriesTest = DictTest;

TEST_F(StructureQueriesTest, IndexQueryLeavesOutKeyIndexes) {
  Rows rows = query(*scott, kIndexQuery,
                    binds({{"OWNER1", "SCOTT"}, {"OWNER2", "SCOTT"}, {"NAME", "EMP"}}));
  Rows expected = {
      {"SCOTT", "NOT UNIQUE ", "EMP_JOB", "JOB"},
      {"SCOTT", "NOT UNIQUE ", "EMP_JOB", "SYS_NC00013$"},  // HIREDATE DESC, as Oracle lists it
      {"SCOTT", "    UNIQUE ", "EMP_MGR", "MGR"},
      {"SCOTT", "    UNIQUE ", "EMP_MGR", "EMPNO"},
  };
  EXPECT_EQ(rows, expected);
  EXPECT_TRUE(query(*scott, kIndexQuery,
                    binds({{"OWNER1", "SCOTT"}, {"OWNER2", "SCOTT"}, {"NAME", "DEPT"}}))
                  .empty());
}

TEST_F(StructureQueriesTest, ConstraintQueries) {
  BindSet b = binds({{"OWNER", "SCOTT"}, {"NAME", "EMP"}});
  Rows named = {
      {"CK_SAL", "C", "NULL", "sal > 0"},
      {"FK_EMP_DEPT", "R", "CASCADE", "NULL"},
      {"PK_EMP", "P", "NULL", "NULL"},
      {"UK_ENAME", "U", "NULL", "NULL"},
  };
  EXPECT_EQ(query(*scott, serverText(kConstraintsNoSys), b), named);
  // "SYS_C%%" as written would match the same names.
  EXPECT_EQ(query(*scott, kConstraintsNoSys, b), named);
  Rows all = query(*scott, kConstraintsAll, b);
  ASSERT_EQ(all.size(), 5u);
  // In name order the system-named NOT NULL check comes before UK_ENAME.
  EXPECT_EQ(all[3][0].substr(0, 5), "SYS_C");
  EXPECT_EQ(all[3][1], "C");
  EXPECT_EQ(all[3][3], "\"EMPNO\" IS NOT NULL");
  EXPECT_EQ(all[4][0], "UK_ENAME");
}

TEST_F(StructureQueriesTest, ConstraintQueryOnATableWithoutConstraints) {
  runAll(*scott, {"create table loose (a number)"});
  EXPECT_TRUE(query(*scott, kConstraintsAll, binds({{"OWNER", "SCOTT"}, {"NAME", "LOOSE"}}))
                  .empty());
}

TEST_F(StructureQueriesTest, ConstraintColumnList) {
  runAll(*scott, {"create table pair (a number, b number, c number, constraint pk_pair primary "
                  "key (c, a))"});
  EXPECT_EQ(column(*scott, kConsColumns, binds({{"OWNER", "SCOTT"}, {"NAME", "PK_PAIR"}})),
            (std::vector<std::string>{"C", "A"}));
  EXPECT_EQ(column(*scott, kConsColumns, binds({{"OWNER", "SCOTT"}, {"NAME", "FK_EMP_DEPT"}})),
            (std::vector<std::string>{"DEPTNO"}));
  EXPECT_EQ(column(*scott, kConsColumns, binds({{"OWNER", "SCOTT"}, {"NAME", "CK_SAL"}})),
            (std::vector<std::string>{"SAL"}));
}

TEST_F(StructureQueriesTest, PrimaryKeyColumnsAndUniqueIndexFallback) {
  runAll(*scott, {"create table pair (a number, b number, c number, constraint pk_pair primary "
                  "key (c, a))",
                  "create table nokey (a number, b varchar2(5), c date)",
                  "create unique index nokey_u on nokey (b, a)"});
  EXPECT_EQ(column(*scott, kPrimaryKeyColumns, binds({{"OWNER", "SCOTT"}, {"NAME", "PAIR"}})),
            (std::vector<std::string>{"C", "A"}));
  EXPECT_TRUE(
      column(*scott, kPrimaryKeyColumns, binds({{"OWNER", "SCOTT"}, {"NAME", "NOKEY"}})).empty());
  std::vector<std::string> index =
      column(*scott,
             "select index_name from all_indexes where table_owner = :owner and table_name = "
             ":objname and uniqueness = 'UNIQUE' and rownum = 1",
             binds({{"OWNER", "SCOTT"}, {"OBJNAME", "NOKEY"}}));
  ASSERT_EQ(index, (std::vector<std::string>{"NOKEY_U"}));
  EXPECT_EQ(column(*scott,
                   "select c.column_name from all_ind_columns c where c.table_owner = :owner "
                   "and c.index_name = :name",
                   binds({{"OWNER", "SCOTT"}, {"NAME", "NOKEY_U"}})),
            (std::vector<std::string>{"B", "A"}));
}

// ---- the dictionary cursors of the DDL generator blocks ----

TEST_F(StructureQueriesTest, TableGeneratorCursors) {
  Rows table = query(*scott,
                     "select upper(owner), upper(table_name), pct_free, pct_used, ini_trans, "
                     "max_trans, tablespace_name, initial_extent, next_extent, min_extents, "
                     "max_extents, freelists, freelist_groups, pct_increase from all_tables "
                     "where owner != 'SYS' AND owner = :bind1 AND table_name = :bind2 order by "
                     "owner, table_name",
                     binds({{"BIND1", "SCOTT"}, {"BIND2", "EMP"}}));
  EXPECT_EQ(table, (Rows{{"SCOTT", "EMP", "20", "50", "2", "100", "USERS", "131072", "262144",
                          "1", "200", "2", "1", "10"}}));
  Rows columns = query(*scott,
                       "select owner, column_name, upper(data_type), data_length, "
                       "data_precision, data_scale, nullable, default_length, data_default, "
                       "column_id from all_tab_columns where table_name = :c_tab and owner = "
                       ":c_own order by column_id",
                       binds({{"C_TAB", "DEPT"}, {"C_OWN", "SCOTT"}}));
  EXPECT_EQ(columns, (Rows{{"SCOTT", "DEPTNO", "NUMBER", "22", "2", "0", "N", "NULL", "NULL", "1"},
                           {"SCOTT", "DNAME", "VARCHAR2", "14", "NULL", "NULL", "N", "NULL",
                            "NULL", "2"},
                           {"SCOTT", "LOC", "VARCHAR2", "13", "NULL", "NULL", "Y", "11",
                            "'NEW YORK' ", "3"}}));
}

TEST_F(StructureQueriesTest, ConstraintGeneratorCursors) {
  const std::string constraints =
      "select upper(t.owner), upper(t.table_name), t.pct_free, t.tablespace_name, "
      "upper(c.constraint_name) constr_name, DECODE(constraint_type,'C','CHECK','P','PRIMARY "
      "KEY','R','FOREIGN KEY','U','UNIQUE',constraint_type) constr_type, c.search_condition "
      "search_cond, c.R_owner, c.R_constraint_name, DECODE(c.delete_rule,'CASCADE','ON DELETE "
      "CASCADE',NULL) from all_tables t,all_constraints c where t.owner = :bind1 AND "
      "t.table_name = :bind2 AND t.table_name = c.table_name AND t.owner = c.owner order by "
      "DECODE(constraint_type,'P',1,'U',2,'R',3,'C',4,5),t.owner, t.table_name";
  Rows rows = query(*scott, constraints, binds({{"BIND1", "SCOTT"}, {"BIND2", "EMP"}}));
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0][4], "PK_EMP");
  EXPECT_EQ(rows[0][5], "PRIMARY KEY");
  EXPECT_EQ(rows[1][5], "UNIQUE");
  EXPECT_EQ(rows[2], (std::vector<std::string>{"SCOTT", "EMP", "20", "USERS", "FK_EMP_DEPT",
                                               "FOREIGN KEY", "NULL", "SCOTT", "PK_DEPT",
                                               "ON DELETE CASCADE"}));
  EXPECT_EQ(rows[3][5], "CHECK");
  EXPECT_EQ(rows[4][5], "CHECK");
  // The referenced key's table, its columns by position, and the key's index.
  EXPECT_EQ(column(*scott,
                   "select table_name from all_constraints where constraint_name = :c_pk and "
                   "owner = :c_own",
                   binds({{"C_PK", "PK_DEPT"}, {"C_OWN", "SCOTT"}})),
            (std::vector<std::string>{"DEPT"}));
  EXPECT_EQ(column(*scott,
                   "select column_name from all_cons_COLUMNS where table_name = :c_tab and owner "
                   "= :c_own and constraint_name = :c_pk order by position",
                   binds({{"C_TAB", "DEPT"}, {"C_OWN", "SCOTT"}, {"C_PK", "PK_DEPT"}})),
            (std::vector<std::string>{"DEPTNO"}));
  EXPECT_EQ(query(*scott,
                  "select owner, index_name, uniqueness, tablespace_name, ini_trans, max_trans, "
                  "pct_free, pct_increase, initial_extent, next_extent from all_indexes where "
                  "owner = :c_own AND table_name LIKE :c_tab AND index_name LIKE :c_ind ORDER BY "
                  "1,2",
                  binds({{"C_OWN", "SCOTT"}, {"C_TAB", "EMP"}, {"C_IND", "UK_ENAME"}})),
            (Rows{{"SCOTT", "UK_ENAME", "UNIQUE", "USERS", "2", "255", "5", "0", "65536",
                   "1048576"}}));
}

std::string indexGeneratorCursor(bool compressionColumns, const std::string& nameFilter) {
  std::string compression = compressionColumns ? "i.compression compr, i.prefix_length pref, "
                                                : "'DISABLED' compr, 10 pref, ";
  return "select upper(t.owner) a, upper(t.table_name) b, upper(i.index_name) c, i.pct_free d, "
         "t.pct_used e, i.ini_trans f, i.max_trans g, i.tablespace_name h, i.initial_extent i, "
         "i.next_extent j, i.min_extents k, i.max_extents l, i.freelists m, i.freelist_groups "
         "n, i.pct_increase o, " +
         compression +
         "decode(nvl(i.uniqueness,'NOT'),'UNIQUE','UNIQUE ','') uniq from all_tables "
         "t,all_indexes i where t.table_name = i.table_name AND t.owner = i.owner " +
         nameFilter +
         "AND t.owner = :bind1 AND t.table_name = :bind2 AND i.index_name NOT IN (SELECT "
         "c.constraint_name from all_constraints c WHERE c.constraint_type IN ('P','U') AND "
         "c.table_name = t.table_name) order by t.owner, t.table_name, i.index_name";
}

TEST_F(StructureQueriesTest, IndexGeneratorCursors) {
  BindSet b = binds({{"BIND1", "SCOTT"}, {"BIND2", "EMP"}});
  Rows rows = query(*scott, indexGeneratorCursor(true, ""), b);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][2], "EMP_JOB");
  EXPECT_EQ(rows[0][15], "DISABLED");
  EXPECT_EQ(rows[0][17], "NULL");  // '' is NULL
  EXPECT_EQ(rows[1][2], "EMP_MGR");
  EXPECT_EQ(rows[1][5], "4");
  EXPECT_EQ(rows[1][15], "ENABLED");
  EXPECT_EQ(rows[1][16], "1");
  EXPECT_EQ(rows[1][17], "UNIQUE ");
  Rows named = query(*scott, indexGeneratorCursor(true, "\tAND i.index_name in ('EMP_MGR')\n"), b);
  ASSERT_EQ(named.size(), 1u);
  EXPECT_EQ(named[0][2], "EMP_MGR");
  EXPECT_EQ(column(*scott,
                   "select column_name from all_ind_COLUMNS where table_name = :c_tab and "
                   "index_owner = :c_own and index_name = :c_pk order by column_position",
                   binds({{"C_TAB", "EMP"}, {"C_OWN", "SCOTT"}, {"C_PK", "EMP_MGR"}})),
            (std::vector<std::string>{"MGR", "EMPNO"}));
  // Releases 7 and 8.0 select constants in place of the compression columns.
  prepare("8.0.5");
  EXPECT_EQ(errorCode(*scott, indexGeneratorCursor(true, ""), b), 904);
  rows = query(*scott, indexGeneratorCursor(false, ""), b);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1][15], "DISABLED");
  EXPECT_EQ(rows[1][16], "10");
}

}  // namespace
}  // namespace ocisim::dict::testing
