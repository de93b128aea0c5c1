#include "oracle/catalog.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "base/recording_host.h"
#include "oracle/oracle_statement.h"
#include "oracle/testlib/session_fixture.h"

namespace velmora {
namespace {

class CatalogTest : public SessionFixture {
 protected:
  void SetUp() override {
    SessionFixture::SetUp();
    session = logOn();
    ASSERT_TRUE(session->connected());
  }
  CatalogSource source(int database, const std::string& owner = "SCOTT") {
    return CatalogSource{*session, database, owner, "SCOTT@ORCL"};
  }

  std::unique_ptr<OracleSession> session;
  CatalogState state;
  RecordingWriter report;
  Catalog catalog{state, &report, &options};
};

TEST_P(CatalogTest, TablesSkipPlanTableAndFeedTheCandidates) {
  backend->addTable("SCOTT", "EMP");
  backend->addTable("SCOTT", "PLAN_TABLE");
  backend->addTable("SCOTT", "plan_table");
  backend->addTable("SCOTT", "SALGRADE_HISTORY");
  std::vector<std::string> tables;
  EXPECT_EQ(catalog.listTables(source(1), false, tables), 3);
  EXPECT_EQ(tables, (std::vector<std::string>{"EMP", "plan_table", "SALGRADE_HISTORY"}));
  EXPECT_EQ(state.tableWidth, 16);
  EXPECT_EQ(backend->lastBind(":owner"), "SCOTT");

  std::vector<CandidateKind> refreshed;
  state.listsRead = [&](CandidateKind kind) { refreshed.push_back(kind); };
  backend->addTable("HR", "EMP");
  backend->addTable("HR", "JOBS");
  std::vector<std::string> second;
  EXPECT_EQ(catalog.listTables(source(2, "HR"), false, second), 2);
  EXPECT_EQ(state.candidates(CandidateKind::Tables),
            (std::vector<std::string>{"EMP", "plan_table", "SALGRADE_HISTORY", "JOBS"}));
  EXPECT_EQ(refreshed, std::vector<CandidateKind>{CandidateKind::Tables});

  // Reading Database 1 again starts the candidates afresh.
  tables.clear();
  catalog.listTables(source(1, "HR"), false, tables);
  EXPECT_EQ(state.candidates(CandidateKind::Tables), (std::vector<std::string>{"EMP", "JOBS"}));
  EXPECT_TRUE(report.writes().empty());
}

TEST_P(CatalogTest, NoViewsIsNotAnError) {
  std::vector<std::string> views;
  EXPECT_EQ(catalog.listTables(source(1), true, views), 0);
  EXPECT_TRUE(views.empty());
  EXPECT_TRUE(report.writes().empty());
  EXPECT_TRUE(messages().empty());
}

TEST_P(CatalogTest, ListErrorsAreThreeReportLines) {
  options.s_DashComment = "-- ";
  backend->failStatement("all_catalog", 1, 942);
  std::vector<std::string> views;
  EXPECT_EQ(catalog.listTables(source(2), true, views), Catalog::kListFailed);
  auto writes = report.writes();
  ASSERT_EQ(writes.size(), 3u);
  EXPECT_EQ(writes[0].text,
            "\r\n\r\n\r\n-- The following error ocurred when trying to process views in database ");
  EXPECT_EQ(writes[0].colour, ReportColour::Maroon);
  EXPECT_EQ(writes[1].text, "SCOTT@ORCL");
  EXPECT_EQ(writes[1].colour, ReportColour::Red);
  EXPECT_EQ(writes[2].text.rfind("\r\n-- ORA-00942", 0), 0u) << writes[2].text;
  EXPECT_TRUE(writes[2].counts);
  EXPECT_TRUE(messages().empty()) << "list errors go into the report, not a message box";

  backend->failStatement("all_objects", 1, 942);
  std::vector<std::string> bodies;
  catalog.listObjects(source(1), "PACKAGE BODY", bodies);
  ASSERT_EQ(report.writes().size(), 6u);
  EXPECT_NE(report.writes()[3].text.find("process package body in database "), std::string::npos);
  EXPECT_EQ(report.writes()[4].colour, ReportColour::Blue);
}

TEST_P(CatalogTest, ObjectsInNameOrderWithTheirWidth) {
  backend->addObject("SCOTT", "PROCEDURE", "RAISE_SALARY");
  backend->addObject("SCOTT", "PROCEDURE", "FIRE");
  backend->addObject("SCOTT", "FUNCTION", "A_VERY_LONG_FUNCTION_NAME");
  std::vector<std::string> procedures;
  EXPECT_EQ(catalog.listObjects(source(1), "PROCEDURE", procedures), 2);
  EXPECT_EQ(procedures, (std::vector<std::string>{"FIRE", "RAISE_SALARY"}));
  EXPECT_EQ(state.objectWidth, 12);
  EXPECT_EQ(state.candidates(CandidateKind::Procedures), procedures);
  EXPECT_TRUE(state.candidates(CandidateKind::Functions).empty());
  EXPECT_THROW(catalog.listObjects(source(1), "SYNONYM' or 'x'='x", procedures),
               std::invalid_argument);
}

TEST_P(CatalogTest, UsersAreReadTwentyAtATime) {
  for (int i = 0; i < 23; ++i) backend->addUser("USER" + std::to_string(i), "x");
  std::vector<std::string> users = {"stale"};
  Catalog::listUsers(*session, users);
  ASSERT_EQ(users.size(), 24u);  // SCOTT and the 23 others
  EXPECT_EQ(users.front(), "SCOTT");
  EXPECT_EQ(users.back(), "USER22");
}

TEST_P(CatalogTest, ViewTextStartsWithItsColumns) {
  backend->addView("SCOTT", "V", {"A", "B"}, "select a, b\nfrom t  \n");
  std::string text;
  EXPECT_EQ(Catalog::sourceText(*session, "SCOTT", "V", "view", text), "");
  EXPECT_EQ(text, "VIEW V (A, B ) AS\nselect a, b\nfrom t");
  std::vector<std::string> lines;
  EXPECT_EQ(Catalog::sourceLines(*session, "SCOTT", "V", "VIEW", lines), "");
  EXPECT_EQ(lines, (std::vector<std::string>{"(1) VIEW V (A, B ) AS\r\n", "(2) select a, b\r\n",
                                             "(3) from t\r\n"}));
  // A view without columns in the dictionary (one that does not compile) gets no column list:
  // the bare "VIEW GONE (" directly followed by the text would be no statement at all.
  EXPECT_EQ(Catalog::sourceText(*session, "SCOTT", "GONE", "VIEW", text), "");
  EXPECT_EQ(text, "VIEW GONE AS\n");
  // Names that a statement must quote are quoted.
  backend->addView("SCOTT", "lower v", {"a b", "ID"}, "select x, id from t");
  EXPECT_EQ(Catalog::sourceText(*session, "SCOTT", "lower v", "VIEW", text), "");
  EXPECT_EQ(text, "VIEW \"lower v\" (\"a b\", ID ) AS\nselect x, id from t");
  // A text that cannot be read is an error, not an empty view.
  backend->failStatement("FROM all_views", 1, 3113);
  EXPECT_EQ(Catalog::sourceText(*session, "SCOTT", "V", "VIEW", text).rfind("ORA-03113", 0), 0u);
  EXPECT_TRUE(messages().empty());
}

TEST_P(CatalogTest, TriggerHeaderForms) {
  backend->addTrigger("SCOTT",
                      {"EMP_CHECK", "BEFORE EACH ROW", "INSERT OR UPDATE", "EMP",
                       "REFERENCING NEW AS NEW OLD AS OLD", "new.sal > 0", "begin\n  null;\nend;"});
  backend->addTrigger("SCOTT", {"EMP_ROW", "AFTER EACH ROW", "DELETE", "EMP",
                                "REFERENCING NEW AS NEW OLD AS OLD", "", "begin null; end;"});
  backend->addTrigger("SCOTT", {"EMP_AUDIT", "AFTER STATEMENT", "UPDATE", "EMP",
                                "REFERENCING NEW AS N OLD AS O", "", "begin log; end;"});
  std::string text;
  Catalog::sourceText(*session, "SCOTT", "EMP_CHECK", "TRIGGER", text);
  EXPECT_EQ(text,
            "TRIGGER \"EMP_CHECK\" BEFORE\nINSERT OR UPDATE\n ON \"EMP\"\nFOR EACH ROW\n"
            " WHEN (new.sal > 0)\nbegin\n  null;\nend;");
  Catalog::sourceText(*session, "SCOTT", "EMP_ROW", "trigger", text);
  EXPECT_EQ(text, "TRIGGER \"EMP_ROW\" AFTER\nDELETE\n ON \"EMP\"\nFOR EACH ROW\nbegin null; end;");
  Catalog::sourceText(*session, "SCOTT", "EMP_AUDIT", "TRIGGER", text);
  EXPECT_EQ(text,
            "TRIGGER \"EMP_AUDIT\" AFTER\nUPDATE\n ON \"EMP\"\nREFERENCING NEW AS N OLD AS O\n"
            "begin log; end;");
  std::vector<std::string> lines;
  Catalog::sourceLines(*session, "SCOTT", "EMP_ROW", "TRIGGER", lines);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[4], "(5) begin null; end;\r\n");
  EXPECT_TRUE(messages().empty());
  // A trigger that is not there is an error (its statement would be empty); nothing is shown.
  EXPECT_NE(Catalog::sourceText(*session, "SCOTT", "GONE", "TRIGGER", text), "");
  EXPECT_TRUE(messages().empty());
}

TEST_P(CatalogTest, StoredSourceWholeAndNumbered) {
  backend->addSource("SCOTT", "PROCEDURE", "P",
                     {"procedure p is  \n", "begin\n", "  null;\n", "end;"});
  std::string text;
  EXPECT_EQ(Catalog::sourceText(*session, "SCOTT", "P", "procedure", text), "");
  EXPECT_EQ(text, "procedure p is\r\nbegin\r\n  null;\r\nend;\r\n");
  std::vector<std::string> lines;
  EXPECT_EQ(Catalog::sourceLines(*session, "SCOTT", "P", "PROCEDURE", lines), "");
  EXPECT_EQ(lines.front(), "(1) procedure p is\r\n");
  EXPECT_EQ(lines.back(), "(4) end;\r\n");
  // Nothing found is no error; a failing query returns the message and shows nothing.
  EXPECT_EQ(Catalog::sourceText(*session, "SCOTT", "NONE", "PROCEDURE", text), "");
  EXPECT_EQ(text, "");
  backend->failStatement("from all_source", 1, 942);
  EXPECT_EQ(Catalog::sourceText(*session, "SCOTT", "P", "PROCEDURE", text).rfind("ORA-00942", 0),
            0u);
  EXPECT_TRUE(messages().empty());
}

TEST_P(CatalogTest, QueryLinesAndOpenQuery) {
  std::string sql = backend->addNumberedTable("SCOTT", "PRIVS", 12);
  std::vector<std::string> lines;
  EXPECT_EQ(Catalog::queryLines(*session, sql, 30, lines), "");
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[11], "row 12\r\n");

  auto statement = std::make_unique<OracleStatement>(*session);
  EXPECT_EQ(Catalog::openQuery(statement, sql, -1), "");
  ASSERT_TRUE(statement);
  std::vector<std::string> rows;
  for (;;) {
    statement->ownedBuffer()[0] = '\0';
    if (!statement->fetchNext()) break;
    rows.push_back(statement->ownedBuffer());
  }
  EXPECT_EQ(rows.size(), 12u);
  EXPECT_EQ(rows.back(), "row 12");

  EXPECT_NE(Catalog::openQuery(statement, "select nothing from nowhere", 10), "");
  EXPECT_FALSE(statement) << "a failed query's statement is destroyed";
}

INSTANTIATE_TEST_SUITE_P(Backends, CatalogTest, ::testing::ValuesIn(availableOciBackends()));

}  // namespace
}  // namespace velmora
