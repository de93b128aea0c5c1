// Catalog against libocisim.so: the dictionary queries of the product run unchanged on an ocisim
// database made with the tool, and give the list, view and trigger forms the comparers expect.
#include <algorithm>

#include "base/recording_host.h"
#include "oracle/catalog.h"
#include "oracle/ocisim_test_support.h"

namespace velmora::ocisimtest {
namespace {

// A view whose text is exactly `length` bytes: a comment pads it.
std::string longViewText(size_t length) {
  std::string head = "select 1 a /* ", tail = " */ from dual";
  return head + std::string(length - head.size() - tail.size(), 'x') + tail;
}

class CatalogOcisimTest : public OcisimTest {
 protected:
  void SetUp() override {
    OcisimTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(createDatabase("orcl", "19.3.0",
                                           "create user scott identified by tiger;\n"
                                           "grant connect, resource, create view to scott;\n"));
    ASSERT_NO_FATAL_FAILURE(runScript(
        "orcl",
        "create table emp (empno number(4) primary key, ename varchar2(10), sal number(7,2));\n"
        "create table plan_table (statement_id varchar2(30));\n"
        "create table \"plan_table\" (x number);\n"
        "create view emp_v (id, name) as select empno, ename from emp;\n"
        "create view big_v as " +
            longViewText(25000) +
            ";\n"
            "create or replace trigger emp_check before insert or update on emp for each row\n"
            "when (new.sal > 0)\n"
            "begin\n"
            "  null;\n"
            "end;\n"
            "/\n"
            "create or replace trigger emp_audit after update on emp\n"
            "referencing new as n old as o\n"
            "begin\n"
            "  null;\n"
            "end;\n"
            "/\n"
            "create or replace procedure touch is\n"
            "begin\n"
            "  null;\n"
            "end;\n"
            "/\n",
        "scott/tiger"));
    bool connected = false;
    session = logOn("scott", "tiger", "orcl", &connected);
    ASSERT_TRUE(connected) << ::testing::PrintToString(takeMessages());
  }
  CatalogSource source(int database, const std::string& owner = "SCOTT") {
    return CatalogSource{*session, database, owner, "SCOTT@ORCL"};
  }

  std::unique_ptr<OracleSession> session;
  CatalogState state;
  RecordingWriter report;
  Catalog catalog{state, &report, &options};
};

TEST_F(CatalogOcisimTest, TablesSkipPlanTableButNotAQuotedLowerCaseOne) {
  std::vector<std::string> tables;
  EXPECT_EQ(catalog.listTables(source(1), false, tables), 2);
  std::sort(tables.begin(), tables.end());
  EXPECT_EQ(tables, (std::vector<std::string>{"EMP", "plan_table"}));
  std::vector<std::string> views;
  EXPECT_EQ(catalog.listTables(source(1), true, views), 2);
  std::sort(views.begin(), views.end());
  EXPECT_EQ(views, (std::vector<std::string>{"BIG_V", "EMP_V"}));
  std::vector<std::string> triggers;
  EXPECT_EQ(catalog.listObjects(source(1), "TRIGGER", triggers), 2);
  EXPECT_EQ(triggers, (std::vector<std::string>{"EMP_AUDIT", "EMP_CHECK"}));  // by name
  std::vector<std::string> none;
  EXPECT_EQ(catalog.listTables(source(2, "NOBODY"), false, none), 0);
  EXPECT_TRUE(report.writes().empty());
  std::vector<std::string> users;
  Catalog::listUsers(*session, users);
  for (const char* user : {"SCOTT", "SYS", "SYSTEM"})
    EXPECT_NE(std::find(users.begin(), users.end(), user), users.end()) << user;
}

TEST_F(CatalogOcisimTest, ViewTextStartsWithItsColumnList) {
  std::string text;
  EXPECT_EQ(Catalog::sourceText(*session, "SCOTT", "EMP_V", "view", text), "");
  EXPECT_EQ(text, "VIEW EMP_V (ID, NAME ) AS\nselect empno, ename from emp");
  std::vector<std::string> lines;
  EXPECT_EQ(Catalog::sourceLines(*session, "SCOTT", "EMP_V", "VIEW", lines), "");
  EXPECT_EQ(lines, (std::vector<std::string>{"(1) VIEW EMP_V (ID, NAME ) AS\r\n",
                                             "(2) select empno, ename from emp\r\n"}));
}

TEST_F(CatalogOcisimTest, AViewText25000BytesLongIsReadWhole) {
  std::string text = session->readLong(
      "SELECT text FROM all_views WHERE owner = :bind1 and view_name= :bind2", "SCOTT", "BIG_V");
  EXPECT_EQ(text.size(), 25000u);
  EXPECT_EQ(text, longViewText(25000));
  std::string source;
  EXPECT_EQ(Catalog::sourceText(*session, "SCOTT", "BIG_V", "VIEW", source), "");
  EXPECT_EQ(source, "VIEW BIG_V (A ) AS\n" + longViewText(25000));
}

TEST_F(CatalogOcisimTest, TriggerHeaderForms) {
  std::string text;
  EXPECT_EQ(Catalog::sourceText(*session, "SCOTT", "EMP_CHECK", "TRIGGER", text), "");
  EXPECT_EQ(text,
            "TRIGGER \"EMP_CHECK\" BEFORE\nINSERT OR UPDATE\n ON \"EMP\"\nFOR EACH ROW\n"
            " WHEN (new.sal > 0)\nbegin\n  null;\nend;");
  EXPECT_EQ(Catalog::sourceText(*session, "SCOTT", "EMP_AUDIT", "trigger", text), "");
  EXPECT_EQ(text,
            "TRIGGER \"EMP_AUDIT\" AFTER\nUPDATE\n ON \"EMP\"\nREFERENCING NEW AS N OLD AS O\n"
            "begin\n  null;\nend;");
  std::vector<std::string> lines;
  EXPECT_EQ(Catalog::sourceLines(*session, "SCOTT", "EMP_CHECK", "TRIGGER", lines), "");
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[4], "(5)  WHEN (new.sal > 0)\r\n");
  EXPECT_TRUE(takeMessages().empty());
}

TEST_F(CatalogOcisimTest, StoredSourceWholeAndNumbered) {
  std::string text;
  EXPECT_EQ(Catalog::sourceText(*session, "SCOTT", "TOUCH", "procedure", text), "");
  EXPECT_EQ(text, "procedure touch is\r\nbegin\r\n  null;\r\nend;\r\n");
  std::vector<std::string> lines;
  EXPECT_EQ(Catalog::sourceLines(*session, "SCOTT", "TOUCH", "PROCEDURE", lines), "");
  EXPECT_EQ(lines, (std::vector<std::string>{"(1) procedure touch is\r\n", "(2) begin\r\n",
                                             "(3)   null;\r\n", "(4) end;\r\n"}));
  // A failing dictionary query gives its message and shows nothing.
  setenv("OCISIM_FAULTS", "fail_statement=ORA-00942:*from all_source*", 1);
  EXPECT_EQ(Catalog::sourceText(*session, "SCOTT", "TOUCH", "PROCEDURE", text),
            "ORA-00942: table or view does not exist\n");
  EXPECT_TRUE(takeMessages().empty());
}

TEST_F(CatalogOcisimTest, ListErrorsAreWrittenIntoTheReport) {
  setenv("OCISIM_FAULTS", "fail_statement=ORA-00942:*from all_catalog*", 1);
  std::vector<std::string> tables;
  EXPECT_EQ(catalog.listTables(source(2), false, tables), Catalog::kListFailed);
  std::vector<std::string> texts;
  for (const auto& write : report.writes()) texts.push_back(write.text);
  EXPECT_EQ(texts, (std::vector<std::string>{
                       "\r\n\r\n\r\nThe following error ocurred when trying to process tables in "
                       "database ",
                       "SCOTT@ORCL", "\r\nORA-00942: table or view does not exist"}));
}

// A connection lost in the middle of a list costs one silent reconnect and a new read of the whole
// list: no name twice, none missing. Lost again on the retry, the list is incomplete and says so.
TEST_F(CatalogOcisimTest, ListsSurviveOneLostConnectionAndFailTheSecond) {
  std::string script;
  for (int i = 0; i < 12; ++i) script += "create table t" + std::to_string(i) + " (x number);\n";
  ASSERT_NO_FATAL_FAILURE(runScript("orcl", script, "scott/tiger"));
  std::vector<std::string> reference;
  ASSERT_EQ(catalog.listTables(source(1), false, reference), 14);

  // Call 1 executes the list; call 2 fetches rows of it.
  setenv("OCISIM_FAULTS", "lose_connection_at=2", 1);
  std::vector<std::string> tables;
  EXPECT_EQ(catalog.listTables(source(1), false, tables), 14);
  EXPECT_EQ(tables, reference);
  EXPECT_TRUE(report.writes().empty());

  setenv("OCISIM_FAULTS", "fail_statement=ORA-03113:*from all_catalog*", 1);
  tables.clear();
  EXPECT_EQ(catalog.listTables(source(1), false, tables), Catalog::kListFailed);
  ASSERT_FALSE(report.writes().empty());
  EXPECT_NE(report.writes().back().text.find("ORA-03113"), std::string::npos);
  EXPECT_LT(tables.size(), reference.size());
  unsetenv("OCISIM_FAULTS");
}

}  // namespace
}  // namespace velmora::ocisimtest
