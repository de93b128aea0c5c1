// OracleSession and OracleStatement against libocisim.so through the real dlopen path: array
// fetch, LONG values in pieces, banners, lost connections, logon failures, server output, stop.
#include <atomic>
#include <chrono>
#include <thread>

#include "oracle/ocisim_test_support.h"
#include "oracle/oracle_statement.h"

namespace velmora::ocisimtest {
namespace {

class SessionOcisimTest : public OcisimTest {
 protected:
  void SetUp() override {
    OcisimTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(createDatabase("orcl"));
    bool connected = false;
    session = logOn("system", "manager", "orcl", &connected);
    ASSERT_TRUE(connected) << ::testing::PrintToString(takeMessages());
  }

  // The rows of each batch of a query read with the product's loop, 20 rows per fetch.
  std::vector<int> batches(const std::string& sql, OracleStatement& statement) {
    std::vector<int> sizes;
    statement.prepare(sql);
    StringColumn column(10, 20);
    statement.defineArray(1, column);
    if (!statement.execute()) return sizes;
    do {
      sizes.push_back(statement.rowsInBatch());
      for (int row = 0; row < statement.rowsInBatch(); ++row) values.push_back(column.value(row));
    } while (statement.fetchNext());
    return sizes;
  }

  std::unique_ptr<OracleSession> session;
  std::vector<std::string> values;
};

TEST_F(SessionOcisimTest, TwentyRowsAreOneBatchAndTwentyFiveAreTwentyThenFive) {
  OracleStatement twenty(*session);
  EXPECT_EQ(batches("select level from dual connect by level <= 20", twenty),
            (std::vector<int>{20}));
  EXPECT_TRUE(twenty.noData());  // the extra fetch found nothing new
  EXPECT_FALSE(twenty.failed());
  ASSERT_EQ(values.size(), 20u);
  EXPECT_EQ(values.back(), "20");

  values.clear();
  OracleStatement twentyFive(*session);
  EXPECT_EQ(batches("select level from dual connect by level <= 25", twentyFive),
            (std::vector<int>{20, 5}));
  ASSERT_EQ(values.size(), 25u);
  EXPECT_EQ(values[24], "25");

  values.clear();
  OracleStatement none(*session);
  EXPECT_TRUE(batches("select 1 from dual where 1 = 0", none).empty());
  int code = 0;
  EXPECT_FALSE(session->reportError(true, false, &code));  // 1403 is silent
  EXPECT_EQ(code, 1403);
  EXPECT_TRUE(takeMessages().empty());
}

TEST_F(SessionOcisimTest, ALongValueOf25000BytesComesBackWhole) {
  std::string text = session->readLong("select rpad('a', 24999, 'b') || 'z' from dual");
  ASSERT_EQ(text.size(), 25000u);
  EXPECT_EQ(text.substr(0, 3), "abb");
  EXPECT_EQ(text.back(), 'z');
  // Binds, and trailing blanks trimmed.
  EXPECT_EQ(session->readLong("select rpad(:bind1, 10241, :bind2) || '   ' from dual", "x", "y"),
            "x" + std::string(10240, 'y'));
  EXPECT_EQ(session->readLong("select 'v' from dual where 1 = 0"), "");
  EXPECT_TRUE(takeMessages().empty());
}

TEST_F(SessionOcisimTest, SqlLiteralsOfAFetchedValue) {
  std::string name = session->queryValue("select 'O''Brien' from dual");
  ASSERT_EQ(name, "O'Brien");
  EXPECT_EQ(session->sqlLiteral(name, 1), "O''Brien");
  options.i_DoingUpgradeScript = 1;
  EXPECT_EQ(session->sqlLiteral(name, 1), "'O''Brien'");
  EXPECT_EQ(session->sqlLiteral(session->queryValue("select null from dual"), 2), "NULL");
  EXPECT_EQ(session->sqlLiteral(session->queryValue("select 1/2 from dual"), 2), ".5");
}

TEST_F(SessionOcisimTest, GlobalNameAndTheDateFormatOfTheSettings) {
  EXPECT_EQ(session->globalName(), "ORCL");
  EXPECT_EQ(session->queryValue("select to_date('2024-01-05 10:11', 'YYYY-MM-DD HH24:MI') "
                                "from dual"),
            "01/05/2024 10:11");
  EXPECT_TRUE(takeMessages().empty());
}

TEST_F(SessionOcisimTest, ALostConnectionReconnectsOnceAndRetriesTheStatement) {
  // The next execute loses the connection; the reconnect and the retry run unharmed.
  setenv("OCISIM_FAULTS", "lose_connection_at=1", 1);
  EXPECT_EQ(session->queryValue("select 'after reconnect' from dual"), "after reconnect");
  EXPECT_TRUE(takeMessages().empty());
  EXPECT_TRUE(session->connected());
  EXPECT_EQ(session->displayName(), "SYSTEM@ORCL");
  // A date format applied again by the reconnect.
  EXPECT_EQ(session->queryValue("select to_date('2024-02-03', 'YYYY-MM-DD') from dual"),
            "02/03/2024 00:00");
}

TEST_F(SessionOcisimTest, ASecondLossIsReportedAndTheNextStatementReconnects) {
  // Every run of this statement loses its connection: the retry's loss is shown.
  setenv("OCISIM_FAULTS", "fail_statement=ORA-03113:select 'lost' from dual", 1);
  EXPECT_EQ(session->queryValue("select 'lost' from dual"), "");
  EXPECT_EQ(takeMessages(),
            (std::vector<std::string>{"ORA-03113: end-of-file on communication channel\n"}));
  // The session still knows how to log on again: the next statement finds ORA-03114 and
  // reconnects silently.
  EXPECT_EQ(session->queryValue("select 'back' from dual"), "back");
  EXPECT_TRUE(takeMessages().empty());
}

TEST_F(SessionOcisimTest, LogonFailuresShowOracleMessages) {
  bool connected = true;
  auto wrong = logOn("system", "wrong", "orcl", &connected);
  EXPECT_FALSE(connected);
  EXPECT_FALSE(wrong->connected());
  EXPECT_EQ(takeMessages(),
            (std::vector<std::string>{"ORA-01017: invalid username/password; logon denied\n"}));
  auto unknown = logOn("system", "manager", "nosuchdb", &connected);
  EXPECT_FALSE(connected);
  EXPECT_EQ(takeMessages(),
            (std::vector<std::string>{"ORA-12154: TNS:could not resolve the connect identifier "
                                      "specified\n"}));
  setenv("OCISIM_FAULTS", "refuse_logon", 1);
  auto refused = logOn("system", "manager", "orcl", &connected);
  EXPECT_FALSE(connected);
  EXPECT_EQ(takeMessages(), (std::vector<std::string>{"ORA-12541: TNS:no listener\n"}));
  // A failed logon leaves the session able to log on later.
  unsetenv("OCISIM_FAULTS");
  EXPECT_TRUE(refused->connect("system", "manager", "orcl", true, true));
}

TEST_F(SessionOcisimTest, StopDuringASlowFetchBreaksTheCall) {
  OracleStatement statement(*session);
  statement.prepare("select level from dual connect by level <= 100");
  StringColumn column(10, 20);
  statement.defineArray(1, column);
  ASSERT_TRUE(statement.execute());
  setenv("OCISIM_FAULTS", "fetch_delay_ms=60000", 1);
  std::thread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    session->continueOrBreak(false);  // the stop button: OCIBreak on the session
  });
  auto begin = std::chrono::steady_clock::now();
  bool more = statement.fetchNext();
  auto waited = std::chrono::steady_clock::now() - begin;
  stopper.join();
  EXPECT_FALSE(more);
  EXPECT_TRUE(statement.failed());
  EXPECT_LT(waited, std::chrono::seconds(30));
  EXPECT_EQ(session->breakCount(), 1);
  int code = 0;
  EXPECT_EQ(session->lastError(&code), "ORA-01013: user requested cancel of current operation\n");
  EXPECT_EQ(code, 1013);
}

// What a stopped run's call check throws in these tests.
struct Abandoned {};

// The run's stop: another thread breaks the fetch in progress, which fails with ORA-01013, and
// the call check abandons it before the caller can take the cut-short batch for a whole one.
TEST_F(SessionOcisimTest, BreakCallFromAnotherThreadEndsTheFetchAndTheCheckAbandonsIt) {
  OracleStatement statement(*session);
  statement.prepare("select level from dual connect by level <= 100");
  StringColumn column(10, 20);
  statement.defineArray(1, column);
  ASSERT_TRUE(statement.execute());
  std::atomic<bool> stopped{false};
  std::atomic<int> checks{0};
  session->setCallCheck([&] {
    ++checks;
    if (stopped) throw Abandoned{};
  });
  setenv("OCISIM_FAULTS", "fetch_delay_ms=60000", 1);
  std::atomic<bool> done{false};
  std::thread stopper([&] {
    while (checks == 0 && !done) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    stopped = true;
    // A break that lands before the call has really begun is forgotten by it: send again.
    while (!done) {
      session->breakCall();
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  });
  const auto begin = std::chrono::steady_clock::now();
  EXPECT_THROW(statement.fetchNext(), Abandoned);
  const auto waited = std::chrono::steady_clock::now() - begin;
  done = true;
  stopper.join();
  session->setCallCheck(nullptr);
  EXPECT_LT(waited, std::chrono::seconds(30));
  EXPECT_EQ(checks, 2);  // before and after the one call
  EXPECT_GE(session->breakCount(), 1);
  int code = 0;
  EXPECT_EQ(session->lastError(&code), "ORA-01013: user requested cancel of current operation\n");
  EXPECT_EQ(code, 1013);
}

// A break while no call runs breaks nothing (OCI would forget it): the check before the next
// call is what ends a stopped run there, without starting the call.
TEST_F(SessionOcisimTest, AStopBetweenCallsIsCaughtBeforeTheNextCall) {
  OracleStatement statement(*session);
  statement.prepare("select level from dual connect by level <= 100");
  StringColumn column(10, 20);
  statement.defineArray(1, column);
  ASSERT_TRUE(statement.execute());
  session->breakCall();
  EXPECT_EQ(session->breakCount(), 0);
  EXPECT_TRUE(statement.fetchNext());  // the idle break left nothing behind
  EXPECT_EQ(column.value(0), "21");

  bool stopped = true;
  session->setCallCheck([&] {
    if (stopped) throw Abandoned{};
  });
  setenv("OCISIM_FAULTS", "fetch_delay_ms=60000", 1);
  const auto begin = std::chrono::steady_clock::now();
  EXPECT_THROW(statement.fetchNext(), Abandoned);
  EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(30));
  EXPECT_THROW(session->queryValue("select 1 from dual"), Abandoned);
  unsetenv("OCISIM_FAULTS");
  stopped = false;
  EXPECT_EQ(session->queryValue("select 1 from dual"), "1");  // the session itself is unharmed
  session->setCallCheck(nullptr);
}

TEST_F(SessionOcisimTest, ServerOutputOfABlockThatPrints) {
  ASSERT_TRUE(session
                  ->execute("begin dbms_output.enable(20000); dbms_output.put_line('line one'); "
                            "dbms_output.put_line(''); dbms_output.put_line('line two  '); end;")
                  .ok());
  EXPECT_EQ(session->readServerOutput(), "line one\r\nline two\r\n");
  EXPECT_EQ(session->readServerOutput(), "");
  EXPECT_TRUE(takeMessages().empty());
}

class BannerOcisimTest : public OcisimTest {};

TEST_F(BannerOcisimTest, ReleasesGiveTheServerVersionOfTheirBanner) {
  const std::pair<const char*, const char*> cases[] = {
      {"7.3.4", "7"}, {"8.0.5", "8.0"}, {"8.1.7", "8"}, {"9.2.0.1.0", "8"}};
  for (const auto& [release, version] : cases) {
    std::string alias = std::string("r") + release;
    ASSERT_NO_FATAL_FAILURE(createDatabase(alias, release));
    bool connected = false;
    auto session = logOn("system", "manager", alias, &connected);
    ASSERT_TRUE(connected) << release << ::testing::PrintToString(takeMessages());
    EXPECT_EQ(session->serverVersion(), version) << session->serverBanner();
    EXPECT_NE(session->serverBanner().find(std::string("Release ") + release), std::string::npos)
        << session->serverBanner();
  }
}

}  // namespace
}  // namespace velmora::ocisimtest
