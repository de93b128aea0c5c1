#include "oracle/oracle_session.h"

#include <gtest/gtest.h>

#include "oracle/oracle_statement.h"
#include "oracle/testlib/session_fixture.h"

namespace velmora {
namespace {

using SessionTest = SessionFixture;

TEST_P(SessionTest, LogonPreparesTheSession) {
  settings.setString(kSettingsSection, "DateFormat", "YYYY-MM-DD");
  auto session = logOn();
  ASSERT_TRUE(session->connected());
  EXPECT_EQ(session->displayName(), "SCOTT@ORCL");
  EXPECT_EQ(session->owner(), "SCOTT");
  EXPECT_EQ(session->loginUser(), "scott");
  EXPECT_EQ(session->globalName(), "ORCL.WORLD");
  EXPECT_EQ(backend->executeCount("alter session set nls_date_format = 'YYYY-MM-DD'"), 1);
  EXPECT_TRUE(messages().empty());
}

TEST_P(SessionTest, ServerVersionComesFromTheBanner) {
  const std::pair<const char*, const char*> cases[] = {
      {"7.3.4", "7"}, {"8.0.5", "8.0"}, {"8.1.7", "8"}, {"9.2", "8"}, {"19", "8"}};
  for (const auto& [release, version] : cases) {
    backend->setRelease(release);
    auto session = logOn();
    EXPECT_EQ(session->serverVersion(), version) << release << ": " << session->serverBanner();
  }
}

TEST_P(SessionTest, RefusedLogonsShowTheOracleMessage) {
  auto wrongPassword = logOn("scott", "lion");
  EXPECT_FALSE(wrongPassword->connected());
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].rfind("ORA-01017", 0), 0u) << messages()[0];

  clearMessages();
  auto session = std::make_unique<OracleSession>(environment);
  EXPECT_FALSE(session->connect("scott", "tiger", "nowhere", true, true));
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].rfind("ORA-12154", 0), 0u) << messages()[0];

  clearMessages();
  EXPECT_FALSE(session->connect("scott", "lion", backend->alias(), false, true));
  EXPECT_TRUE(messages().empty()) << "a logon that is not interactive shows nothing";
}

TEST_P(SessionTest, EmptyUserOrPasswordNeverReachesOci) {
  auto session = std::make_unique<OracleSession>(environment);
  EXPECT_FALSE(session->connect("scott", "", backend->alias(), true, true));
  EXPECT_FALSE(session->connect("", "tiger", backend->alias(), true, true));
  EXPECT_EQ(backend->callCount("OCIServerAttach").value_or(0), 0);
  ASSERT_EQ(messages().size(), 2u);
  EXPECT_EQ(messages()[0], "Please enter a password to connect to 'scott'");
  EXPECT_EQ(messages()[1], "Please enter a username to connect to the database");
}

TEST_P(SessionTest, HandlesAreFreedAtDisconnectAndDestruction) {
  auto before = backend->liveHandles();
  if (!before) GTEST_SKIP() << "backend cannot count handles";
  auto session = logOn();
  EXPECT_GT(*backend->liveHandles(), *before);
  session->disconnect();
  EXPECT_EQ(backend->liveHandles(), before);
  ASSERT_TRUE(session->connect("scott", "tiger", backend->alias(), true, true));
  session->readLong("SELECT text FROM all_views WHERE owner = :bind1 and view_name= :bind2",
                    "SCOTT", "NONE");
  session.reset();
  EXPECT_EQ(backend->liveHandles(), before);
  // A failed logon leaves nothing behind either.
  logOn("scott", "lion").reset();
  EXPECT_EQ(backend->liveHandles(), before);
}

// Reads a query with `perFetch` rows per fetch; returns the rows in order.
std::vector<std::string> readAll(OracleSession& session, const std::string& sql, int perFetch,
                                 bool describeFirst = false) {
  OracleStatement statement(session);
  statement.prepare(sql);
  StringColumn column(60, perFetch);
  statement.defineArray(1, column);
  std::vector<std::string> rows;
  ExecuteDetails details;
  if (!statement.execute(describeFirst ? &details : nullptr)) return rows;
  do {
    for (int i = 0; i < statement.rowsInBatch(); ++i) rows.push_back(column.value(i));
  } while (statement.fetchNext());
  EXPECT_FALSE(statement.failed());
  return rows;
}

TEST_P(SessionTest, ArrayFetchOfTwentyRowsAtATime) {
  auto session = logOn();
  for (int count : {0, 5, 20, 25, 45}) {
    std::string sql = backend->addNumberedTable("SCOTT", "T" + std::to_string(count), count);
    int fetchesBefore = backend->callCount("OCIStmtFetch").value_or(0);
    std::vector<std::string> rows = readAll(*session, sql, 20);
    ASSERT_EQ(rows.size(), static_cast<size_t>(count));
    if (count > 0) {
      EXPECT_EQ(rows.back(), "row " + std::to_string(count));
    }
    if (auto fetches = backend->callCount("OCIStmtFetch"); fetches) {
      // The execute brings the first batch; a full batch costs one more call that finds no
      // new rows, a short batch ends the result set without a call.
      int expected = count == 0 ? 0 : count == 5 ? 0 : count == 20 ? 1 : count == 25 ? 1 : 2;
      EXPECT_EQ(*fetches - fetchesBefore, expected) << count << " rows";
    }
  }
  EXPECT_TRUE(messages().empty());
}

TEST_P(SessionTest, ExecuteWithoutFetchThenOneRowAtATimeHasNoPhantomRow) {
  auto session = logOn();
  std::string sql = backend->addNumberedTable("SCOTT", "T3", 3);
  std::vector<std::string> rows = readAll(*session, sql, 1, true);
  EXPECT_EQ(rows, (std::vector<std::string>{"row 1", "row 2", "row 3"}));
}

TEST_P(SessionTest, EmptyQueryIsSilent) {
  auto session = logOn();
  std::string sql = backend->addNumberedTable("SCOTT", "EMPTY", 0);
  EXPECT_EQ(session->queryValue(sql), "");
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(session->queryValue("select nothing from nowhere"), "");
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].rfind("ORA-00942", 0), 0u);
}

TEST_P(SessionTest, LongValueComesBackWholeInPieces) {
  auto session = logOn();
  std::string text;
  for (int i = 0; text.size() < 25000; ++i) text += static_cast<char>('a' + i % 26);
  backend->addView("SCOTT", "BIG", {"A"}, text);
  int setPiecesBefore = backend->callCount("OCIStmtSetPieceInfo").value_or(0);
  std::string value = session->readLong(
      "SELECT text FROM all_views WHERE owner = :bind1 and view_name= :bind2", "SCOTT", "BIG");
  EXPECT_EQ(value.size(), 25000u);
  EXPECT_EQ(value, text);
  if (auto pieces = backend->callCount("OCIStmtSetPieceInfo")) {
    EXPECT_EQ(*pieces - setPiecesBefore, 3) << "10240 + 10240 + 4520 bytes";
  }
  EXPECT_EQ(
      session->readLong("SELECT text FROM all_views WHERE owner = :bind1 and view_name= :bind2",
                        "SCOTT", "NONE"),
      "");
  EXPECT_TRUE(messages().empty());
}

TEST_P(SessionTest, ServerOutputDropsBlankLines) {
  auto session = logOn();
  backend->addOutputLines({"first line  ", "", "second line"});
  EXPECT_EQ(session->readServerOutput(), "first line\r\nsecond line\r\n");
  EXPECT_EQ(session->readServerOutput(), "");
}

TEST_P(SessionTest, SqlLiteralsFollowTheOutputMode) {
  auto session = logOn();
  options.i_DoingUpgradeScript = 1;
  EXPECT_EQ(session->sqlLiteral("O'Brien", 1), "'O''Brien'");
  options.i_DoingUpgradeScript = 0;
  EXPECT_EQ(session->sqlLiteral("O'Brien", 1), "O''Brien");
  EXPECT_EQ(session->sqlLiteral("", 2), "NULL");
  EXPECT_EQ(session->sqlLiteral("", 1), "NULL");
  EXPECT_EQ(session->sqlLiteral("it's", 8), "'it''s'") << "LONG is always enclosed";
  EXPECT_EQ(session->sqlLiteral("12/31/1999 23:59", 12),
            "to_date('12/31/1999 23:59','MM/DD/YYYY HH24:MI')");
  EXPECT_EQ(session->sqlLiteral("-.5", 2), "-.5");
}

// A value is the one thing of a statement that may hold any character: a line break in it would
// end the statement in a line-based script, so no literal spans lines.
TEST_P(SessionTest, SqlLiteralsNeverSpanLines) {
  auto session = logOn();
  options.i_DoingUpgradeScript = 1;
  EXPECT_EQ(session->sqlLiteral("x;\nDROP TABLE VICTIM;\n", 1),
            "'x;' || CHR(10) || 'DROP TABLE VICTIM;' || CHR(10)");
  EXPECT_EQ(session->sqlLiteral("\r\n", 1), "CHR(13) || CHR(10)");
  EXPECT_EQ(session->sqlLiteral("a'\tb\x1b", 8), "'a''' || CHR(9) || 'b' || CHR(27)");
  EXPECT_EQ(session->sqlLiteral("caf\xc3\xa9", 1), "'caf\xc3\xa9'");
  options.i_DoingUpgradeScript = 0;
  EXPECT_EQ(session->sqlLiteral("a\nb\x1b[2J", 1), "a\\nb\\x1B[2J") << "the report escapes";
}

TEST_P(SessionTest, LostConnectionReconnectsOnceAndRetries) {
  auto session = logOn();
  int logons = backend->callCount("OCISessionBegin").value_or(0);
  backend->failStatement("update emp set sal", 1, 3113);
  EXPECT_TRUE(session->execute("update emp set sal = sal * 2").ok());
  EXPECT_TRUE(messages().empty());
  EXPECT_TRUE(session->connected());
  EXPECT_EQ(backend->executeCount("update emp set sal = sal * 2"), 2);
  if (auto now = backend->callCount("OCISessionBegin")) {
    EXPECT_EQ(*now - logons, 1);
  }
  EXPECT_EQ(session->displayName(), "SCOTT@ORCL");

  std::string sql = backend->addNumberedTable("SCOTT", "T1", 1);
  backend->failStatement(sql, 1, 3113);
  EXPECT_EQ(session->queryValue(sql), "row 1");
  EXPECT_TRUE(messages().empty());
}

TEST_P(SessionTest, SecondLossIsReported) {
  auto session = logOn();
  int logons = backend->callCount("OCISessionBegin").value_or(0);
  backend->failStatement("update emp set sal", 2, 3113);
  const Status status = session->execute("update emp set sal = sal * 2");
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(status.code(), 3113);
  EXPECT_EQ(status.message().rfind("ORA-03113", 0), 0u);
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].rfind("ORA-03113", 0), 0u);
  if (auto now = backend->callCount("OCISessionBegin")) {
    EXPECT_EQ(*now - logons, 1);
  }
}

TEST_P(SessionTest, FailedReconnectShowsTheFirstError) {
  auto session = logOn();
  backend->failStatement("update emp set sal", 1, 3113);
  backend->failNextLogon(12541);
  EXPECT_FALSE(session->execute("update emp set sal = sal * 2").ok());
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].rfind("ORA-03113", 0), 0u) << messages()[0];
  EXPECT_FALSE(session->connected());
}

TEST_P(SessionTest, ExecuteBindsOnlyTheGivenValuesAndPercentSignsAreHalved) {
  auto session = logOn();
  EXPECT_TRUE(session->execute("begin scott.p(:bind1, :bind3); end;", {"a", "", "c"}).ok());
  EXPECT_EQ(backend->lastBind(":bind1"), "a");
  EXPECT_EQ(backend->lastBind(":bind3"), "c");
  EXPECT_FALSE(backend->lastBind(":bind2").has_value());
  EXPECT_TRUE(session->execute("delete from t where n not like 'SYS_C%%'").ok());
  EXPECT_EQ(backend->executeCount("delete from t where n not like 'SYS_C%'"), 1);
}

TEST_P(SessionTest, BreakCancelsTheRunningFetch) {
  auto session = logOn();
  EXPECT_TRUE(session->continueOrBreak(true));
  EXPECT_EQ(session->breakCount(), 0);
  std::string sql = backend->addNumberedTable("SCOTT", "T30", 30);
  OracleStatement statement(*session);
  statement.prepare(sql);
  StringColumn column(20, 20);
  statement.defineArray(1, column);
  ASSERT_TRUE(statement.execute());
  EXPECT_FALSE(session->continueOrBreak(false));
  EXPECT_EQ(session->breakCount(), 1);
  EXPECT_FALSE(statement.fetchNext());
  EXPECT_TRUE(statement.failed());
  int code = 0;
  EXPECT_EQ(session->lastError(&code).rfind("ORA-01013", 0), 0u);
}

INSTANTIATE_TEST_SUITE_P(Backends, SessionTest, ::testing::ValuesIn(availableOciBackends()));

}  // namespace
}  // namespace velmora
