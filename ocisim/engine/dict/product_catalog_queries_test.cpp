// The session set-up, catalog, column and view-column queries of the comparison tool, run
// unchanged against a prepared schema, with the answers Oracle gives.
#include "engine/dict/dict_test_support.h"
#include "engine/dict/product_query_texts.h"

namespace ocisim::dict::testing {
namespace {

class CatalogQueriesTest : public DictTest {
 protected:
  void SetUp() override {
    DictTest::SetUp();
    runAll(*scott,
           {"create or replace function net(x number) return number is\nbegin\n  return x;\nend;",
            "create or replace package pk is\n  procedure p;\nend;",
            "create or replace package body pk is\n  procedure p is\n  begin\n    null;\n  "
            "end;\nend;",
            "create or replace type point_t as object (x number, y number)",
            "create or replace type body point_t is\nend;",
            "create or replace trigger dept_audit\nafter delete on dept\nbegin\n  null;\nend;",
            "create or replace trigger dept_ref\nafter update on dept\nreferencing old as o new "
            "as n\nfor each row\nbegin\n  null;\nend;"});
  }
};

TEST_F(CatalogQueriesTest, SessionSetUp) {
  EXPECT_EQ(column(*scott, "select global_name from global_name"),
            (std::vector<std::string>{"DICTDB"}));
  exec(*scott, "alter session set nls_date_format = 'MM/DD/YYYY HH24:MI'");
  exec(*scott, "insert into dept (deptno, dname) values (10, 'ACCOUNTING')");
  exec(*scott,
       "insert into emp (empno, hiredate, deptno) values (1, to_date('2024-01-05 10:11', "
       "'YYYY-MM-DD HH24:MI'), 10)");
  EXPECT_EQ(column(*scott, "select hiredate from emp"),
            (std::vector<std::string>{"01/05/2024 10:11"}));
}

TEST_F(CatalogQueriesTest, ServerOutputReader) {
  const char* reader =
      "declare line varchar2(4000); begin dbms_output.get_line( line, :more); :line := "
      "nvl(line,' '); end;";
  exec(*scott, "begin dbms_output.enable(100000); end;");
  exec(*scott, "begin dbms_output.put_line('first'); dbms_output.put_line('second'); end;");
  std::vector<std::string> lines;
  for (int i = 0; i < 5; ++i) {
    BindSet b;
    b.set("LINE", Value::text(std::string(10, ' ')));
    b.set("MORE", Value::integer(0));
    scott->execute(reader, b);
    if (toText(*b.find("MORE"), scott->nls()) == "1") break;
    lines.push_back(toText(*b.find("LINE"), scott->nls()));
  }
  EXPECT_EQ(lines, (std::vector<std::string>{"first", "second"}));
  exec(*scott, "begin dbms_output.disable; end;");
}

TEST_F(CatalogQueriesTest, TableAndViewLists) {
  EXPECT_EQ(column(*scott,
                   "SELECT table_name from all_catalog where owner = 'SCOTT' and table_type = "
                   "'TABLE'"),
            (std::vector<std::string>{"BONUS", "DEPT", "EMP"}));
  EXPECT_EQ(column(*scott,
                   "SELECT table_name from all_catalog where owner = 'SCOTT' and table_type = "
                   "'VIEW'"),
            (std::vector<std::string>{"EMP_V"}));
  // An owner without views: no rows, no error.
  EXPECT_TRUE(column(*other,
                     "SELECT table_name from all_catalog where owner = 'OTHER' and table_type = "
                     "'VIEW'")
                  .empty());
}

TEST_F(CatalogQueriesTest, StoredObjectListsOfEveryType) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"TRIGGER", {"DEPT_AUDIT", "DEPT_REF", "EMP_TRG"}},
      {"FUNCTION", {"NET"}},
      {"PACKAGE", {"PK"}},
      {"PACKAGE BODY", {"PK"}},
      {"PROCEDURE", {"RAISE_SAL"}},
      {"TYPE", {"POINT_T"}},
      {"TYPE BODY", {"POINT_T"}},
      {"VIEW", {"EMP_V"}},
  };
  for (const auto& [type, names] : cases) {
    std::string sql = "select object_name from all_objects where owner = 'SCOTT' and "
                      "object_type = '" + std::string(type) + "' order by object_name";
    EXPECT_EQ(column(*scott, sql), names) << type;
  }
}

TEST_F(CatalogQueriesTest, UserList) {
  std::vector<std::string> users = column(*scott, "SELECT username FROM all_users");
  std::sort(users.begin(), users.end());
  EXPECT_EQ(users, (std::vector<std::string>{"BOSS", "OTHER", "SCOTT", "SYS", "SYSTEM"}));
}

TEST_F(CatalogQueriesTest, ViewSourceQueries) {
  EXPECT_EQ(column(*scott,
                   "select column_name from all_tab_columns where owner = :owner and table_name "
                   "= :name order by column_id asc",
                   binds({{"OWNER", "SCOTT"}, {"NAME", "EMP_V"}})),
            (std::vector<std::string>{"EMPNO", "ENAME", "SAL"}));
  EXPECT_EQ(column(*scott, "SELECT text FROM all_views WHERE owner = :bind1 and view_name= :bind2",
                   binds({{"BIND1", "SCOTT"}, {"BIND2", "EMP_V"}})),
            (std::vector<std::string>{"select empno, ename, sal from emp where deptno = 10"}));
}

TEST_F(CatalogQueriesTest, TriggerHeaderAndBody) {
  auto header = [&](const char* name) {
    return column(*scott, kTriggerHeader, binds({{"OWNER", "SCOTT"}, {"OBJNAME", name}}));
  };
  // A row trigger with default referencing names and a WHEN clause (the reader adds ")").
  EXPECT_EQ(header("EMP_TRG"), (std::vector<std::string>{
                                   "\"EMP_TRG\" BEFORE\nINSERT OR UPDATE\n ON \"EMP\"\nFOR EACH "
                                   "ROW\n WHEN (new.sal > 100"}));
  // A statement trigger: no FOR EACH ROW, no WHEN.
  EXPECT_EQ(header("DEPT_AUDIT"),
            (std::vector<std::string>{"\"DEPT_AUDIT\" AFTER\nDELETE\n ON \"DEPT\"\n\n"}));
  // Referencing names other than the default are shown.
  EXPECT_EQ(header("DEPT_REF"),
            (std::vector<std::string>{"\"DEPT_REF\" AFTER\nUPDATE\n ON \"DEPT\"\nREFERENCING "
                                      "NEW AS N OLD AS O\nFOR EACH ROW\n"}));
  EXPECT_EQ(column(*scott,
                   "SELECT trigger_body FROM all_triggers WHERE owner=:bind1 and "
                   "trigger_name=:bind2",
                   binds({{"BIND1", "SCOTT"}, {"BIND2", "DEPT_AUDIT"}})),
            (std::vector<std::string>{"begin\n  null;\nend;"}));
}

TEST_F(CatalogQueriesTest, SourceTextAndNumberedLines) {
  BindSet b = binds({{"OWNER", "SCOTT"}, {"NAME", "PK"}, {"TYPE", "PACKAGE BODY"}});
  EXPECT_EQ(column(*scott,
                   "select text from all_source where owner = :owner and name = :name and type "
                   "= :type order by line asc",
                   b),
            (std::vector<std::string>{"package body pk is\n", "  procedure p is\n",
                                      "  begin\n", "    null;\n", "  end;\n", "end;\n"}));
  EXPECT_EQ(column(*scott,
                   "select '(' || line || ') ' || text from all_source where owner = :owner and "
                   "name = :name and type = :type order by line asc",
                   binds({{"OWNER", "SCOTT"}, {"NAME", "NET"}, {"TYPE", "FUNCTION"}})),
            (std::vector<std::string>{"(1) function net(x number) return number is\n",
                                      "(2) begin\n", "(3)   return x;\n", "(4) end;\n"}));
}

// ---- column queries ----

class ColumnQueriesTest : public CatalogQueriesTest {
 protected:
  Rows columns(const std::string& sql, const char* table = "EMP") {
    return query(*scott, sql, binds({{"OWNER", "SCOTT"}, {"NAME", table}}));
  }
};

TEST_F(ColumnQueriesTest, FormattedWithOwnerForAReport) {
  Rows rows = columns(columnQuery(kTypeFormattedOwner, "    NULL ", "nvl(data_type_owner,' ')"));
  Rows expected = {
      {"EMPNO", "NUMBER(4)", "22", "4", "0", "NOT NULL ", "NULL", " "},
      {"ENAME", "VARCHAR2(10)", "10", "0", "-1", "    NULL ", "NULL", " "},
      {"JOB", "CHAR(9)", "9", "0", "-1", "    NULL ", "NULL", " "},
      {"MGR", "NUMBER", "22", "0", "0", "    NULL ", "NULL", " "},
      {"HIREDATE", "DATE", "7", "0", "-1", "    NULL ", "sysdate", " "},
      {"SAL", "NUMBER(7,2)", "22", "7", "2", "    NULL ", "NULL", " "},
      {"COMM", "FLOAT(22)", "22", "126", "-1", "    NULL ", "NULL", " "},
      {"BONUS", "NUMBER", "22", "0", "-1", "    NULL ", "NULL", " "},
      {"NOTES", "LONG", "0", "0", "-1", "    NULL ", "NULL", " "},
      {"RESUME", "CLOB", "4000", "0", "-1", "    NULL ", "NULL", " "},
      {"PHOTO", "BLOB", "4000", "0", "-1", "    NULL ", "NULL", " "},
      {"DEPTNO", "NUMBER(2)", "22", "2", "0", "    NULL ", "NULL", " "},
  };
  EXPECT_EQ(rows, expected);
}

TEST_F(ColumnQueriesTest, FormattedForAScriptWithDefaults) {
  Rows rows = columns(columnQuery(kTypeFormattedOwner, "NULL ", "nvl(data_type_owner,' ')"),
                      "DEPT");
  Rows expected = {
      {"DEPTNO", "NUMBER(2)", "22", "2", "0", "NOT NULL ", "NULL", " "},
      {"DNAME", "VARCHAR2(14)", "14", "0", "-1", "NOT NULL ", "NULL", " "},
      {"LOC", "VARCHAR2(13)", "13", "0", "-1", "NULL ", "'NEW YORK' ", " "},
  };
  EXPECT_EQ(rows, expected);
  // The formatted type without owner gives the same texts for built-in types.
  Rows plainOwner = columns(columnQuery(kTypeFormatted, "NULL ", "' '"), "DEPT");
  EXPECT_EQ(plainOwner, expected);
}

TEST_F(ColumnQueriesTest, PlainTypesIgnoreLengths) {
  for (const char* owner : {"' '", "nvl(data_type_owner,' ')"}) {
    Rows rows = columns(columnQuery(kTypePlain, "    NULL ", owner));
    ASSERT_EQ(rows.size(), 12u);
    EXPECT_EQ(rows[1][1], "VARCHAR2");
    EXPECT_EQ(rows[5][1], "NUMBER");
    EXPECT_EQ(rows[6][1], "FLOAT");
  }
}

TEST_F(ColumnQueriesTest, ObjectTypeColumnsAreBareWithTheirOwner) {
  runAll(*scott, {"create table shape (id number(5) primary key, origin point_t)"});
  Rows rows = columns(columnQuery(kTypeFormattedOwner, "NULL ", "nvl(data_type_owner,' ')"),
                      "SHAPE");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1][0], "ORIGIN");
  EXPECT_EQ(rows[1][1], "POINT_T");
  EXPECT_EQ(rows[1][7], "SCOTT");
}

TEST_F(ColumnQueriesTest, ReleaseSevenHasNoTypeOwner) {
  prepare("7.3.4");
  EXPECT_EQ(errorCode(*scott,
                      columnQuery(kTypeFormattedOwner, "    NULL ", "nvl(data_type_owner,' ')"),
                      binds({{"OWNER", "SCOTT"}, {"NAME", "EMP"}})),
            904);
  Rows rows = columns(columnQuery(kTypeFormatted, "    NULL ", "' '"));
  ASSERT_EQ(rows.size(), 12u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"EMPNO", "NUMBER(4)", "22", "4", "0", "NOT NULL ",
                                               "NULL", " "}));
}

TEST_F(ColumnQueriesTest, ViewColumnsByRelease) {
  Rows expected = {{"EMPNO", "NUMBER", "22", "4", "0", "NOT NULL ", " "},
                   {"ENAME", "VARCHAR2", "10", "0", "-1", "    NULL ", " "},
                   {"SAL", "NUMBER", "22", "7", "2", "    NULL ", " "}};
  EXPECT_EQ(columns(kViewColumns8, "EMP_V"), expected);
  for (const char* version : {"7.3.4", "8.0.5"}) {
    prepare(version);
    EXPECT_EQ(columns(kViewColumns7, "EMP_V"), expected) << version;
  }
}

}  // namespace
}  // namespace ocisim::dict::testing
