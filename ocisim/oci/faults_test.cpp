// Fault injection: the OCISIM_FAULTS settings and their effect on the entry points.
#include "faults.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "oci_test_support.h"

namespace ocisim::oci::testing {
namespace {

TEST(FaultSettingsTest, ItemsAreReadAndBadOnesReported) {
  FaultSettings s = parseFaultSettings(
      " lose_connection_at=3,5 ; refuse_logon;fetch_delay_ms=250; "
      "fail_statement=ORA-00942:select * from t*;fail_statement=1555:*big*;bogus=1;"
      "lose_connection_at=x");
  EXPECT_EQ(s.loseConnectionAt, (std::vector<long>{3, 5}));
  EXPECT_TRUE(s.refuseLogon);
  EXPECT_EQ(s.fetchDelayMs, 250);
  ASSERT_EQ(s.failures.size(), 2u);
  EXPECT_EQ(s.failures[0].code, 942);
  EXPECT_EQ(s.failures[0].pattern, "select * from t*");
  EXPECT_EQ(s.failures[1].code, 1555);
  EXPECT_EQ(s.problems, (std::vector<std::string>{"bogus=1", "lose_connection_at=x"}));
  EXPECT_TRUE(parseFaultSettings("").problems.empty());
  EXPECT_EQ(parseFaultSettings("fail_statement=942").problems.size(), 1u);
}

TEST(FaultSettingsTest, WildcardsMatchTheWholeTextIgnoringCase) {
  EXPECT_TRUE(wildcardMatch("*ALL_VIEWS*", "select text from all_views where x"));
  EXPECT_TRUE(wildcardMatch("select ? from dual", "SELECT 1 FROM DUAL"));
  EXPECT_FALSE(wildcardMatch("select ? from dual", "select 10 from dual"));
  EXPECT_FALSE(wildcardMatch("*views", "select text from all_views where x"));
  EXPECT_TRUE(wildcardMatch("a*b*c", "aXXbYYbc"));
  EXPECT_TRUE(wildcardMatch("*", ""));
  EXPECT_FALSE(wildcardMatch("", "x"));
}

class FaultTest : public OciTest {
 protected:
  void SetUp() override {
    OciTest::SetUp();
    createDatabase("orcl");
  }
  static std::string numbers(int n) {
    return "select level from dual connect by level <= " + std::to_string(n);
  }
};

TEST_F(FaultTest, LostConnectionIs03113Then03114UntilANewLogon) {
  OciConnection c;
  ASSERT_EQ(c.logon("orcl", "system", "manager"), OCI_SUCCESS);
  OciStatement s(c);
  ASSERT_EQ(s.prepare(numbers(5)), OCI_SUCCESS);
  ASSERT_EQ(s.execute(0), OCI_SUCCESS);
  // Counting starts when the variable changes: the next call is the first.
  setenv("OCISIM_FAULTS", "lose_connection_at=2", 1);
  char buffer[8];
  OCIDefine* d = nullptr;
  OCIDefineByPos(s.stmt, &d, c.err, 1, buffer, sizeof buffer, SQLT_STR, nullptr, nullptr, nullptr,
                 OCI_DEFAULT);
  EXPECT_EQ(s.fetch(1), OCI_SUCCESS);
  EXPECT_EQ(s.fetch(1), OCI_ERROR);
  EXPECT_EQ(c.error().message, "ORA-03113: end-of-file on communication channel\n");
  EXPECT_EQ(s.execute(1), OCI_ERROR);
  EXPECT_EQ(c.error().code, 3114);
  char banner[64];
  EXPECT_EQ(OCIServerVersion(c.svc, c.err, reinterpret_cast<OraText*>(banner), sizeof banner,
                             OCI_HTYPE_SVCCTX),
            OCI_ERROR);
  EXPECT_EQ(c.error().code, 3114);
  // Another connection of the process is not affected, and a new logon works.
  OciConnection other;
  ASSERT_EQ(other.logon("orcl", "system", "manager"), OCI_SUCCESS);
  OciStatement again(other);
  EXPECT_EQ(again.rows("select 1 from dual"), (std::vector<std::vector<std::string>>{{"1"}}));
  EXPECT_EQ(OCISessionEnd(c.svc, c.err, c.ses, OCI_DEFAULT), OCI_ERROR);
  EXPECT_EQ(OCIServerDetach(c.srv, c.err, OCI_DEFAULT), OCI_SUCCESS);
  EXPECT_EQ(c.logon("orcl", "system", "manager"), OCI_SUCCESS) << c.error().message;
  EXPECT_EQ(s.rows("select 2 from dual"), (std::vector<std::vector<std::string>>{{"2"}}));
}

TEST_F(FaultTest, RefusedLogonIsNoListener) {
  setenv("OCISIM_FAULTS", "refuse_logon", 1);
  OciConnection c;
  EXPECT_EQ(c.logon("orcl", "system", "manager"), OCI_ERROR);
  EXPECT_EQ(c.error().message, "ORA-12541: TNS:no listener\n");
  unsetenv("OCISIM_FAULTS");
  EXPECT_EQ(c.logon("orcl", "system", "manager"), OCI_SUCCESS);
}

TEST_F(FaultTest, MatchingStatementFailsWithTheGivenError) {
  OciConnection c;
  ASSERT_EQ(c.logon("orcl", "system", "manager"), OCI_SUCCESS);
  setenv("OCISIM_FAULTS", "fail_statement=ORA-00942:*from dual where 1 = 1*", 1);
  OciStatement s(c);
  ASSERT_EQ(s.prepare("select 1 FROM DUAL where 1 = 1 and 2 = 2"), OCI_SUCCESS);
  EXPECT_EQ(s.execute(0), OCI_ERROR);
  EXPECT_EQ(c.error().message, "ORA-00942: table or view does not exist\n");
  EXPECT_EQ(s.rows("select 1 from dual"), (std::vector<std::vector<std::string>>{{"1"}}));
  setenv("OCISIM_FAULTS", "fail_statement=20999:select 1 from dual", 1);
  ASSERT_EQ(s.prepare("select 1 from dual"), OCI_SUCCESS);
  EXPECT_EQ(s.execute(0), OCI_ERROR);
  EXPECT_EQ(c.error().message, "ORA-20999: failure injected by OCISIM_FAULTS\n");
  // An injected end-of-file loses the connection like a real one.
  setenv("OCISIM_FAULTS", "fail_statement=ORA-03113:select 1 from dual", 1);
  EXPECT_EQ(s.execute(0), OCI_ERROR);
  EXPECT_EQ(c.error().code, 3113);
  ASSERT_EQ(s.prepare("select 2 from dual"), OCI_SUCCESS);
  EXPECT_EQ(s.execute(0), OCI_ERROR);
  EXPECT_EQ(c.error().code, 3114);
}

TEST_F(FaultTest, BreakFromAnotherThreadEndsADelayedFetchWithOra01013) {
  OciConnection c;
  ASSERT_EQ(c.logon("orcl", "system", "manager"), OCI_SUCCESS);
  OciStatement s(c);
  ASSERT_EQ(s.prepare(numbers(100)), OCI_SUCCESS);
  char buffer[10][8];
  OCIDefine* d = nullptr;
  OCIDefineByPos(s.stmt, &d, c.err, 1, buffer, 8, SQLT_STR, nullptr, nullptr, nullptr, OCI_DEFAULT);
  ub4 noPrefetch = 0;  // no row held by the client: the next fetch goes to the server at once
  OCIAttrSet(s.stmt, OCI_HTYPE_STMT, &noPrefetch, 0, OCI_ATTR_PREFETCH_ROWS, c.err);
  ASSERT_EQ(s.execute(10), OCI_SUCCESS);
  setenv("OCISIM_FAULTS", "fetch_delay_ms=60000", 1);
  std::atomic<bool> started{false};
  std::thread breaker([&] {
    started = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    OCIError* err = nullptr;
    OCIHandleAlloc(c.env, reinterpret_cast<void**>(&err), OCI_HTYPE_ERROR, 0, nullptr);
    EXPECT_EQ(OCIBreak(c.svc, err), OCI_SUCCESS);
    OCIHandleFree(err, OCI_HTYPE_ERROR);
  });
  auto begin = std::chrono::steady_clock::now();
  sword status = s.fetch(10);
  auto waited = std::chrono::steady_clock::now() - begin;
  breaker.join();
  EXPECT_TRUE(started);
  EXPECT_EQ(status, OCI_ERROR);
  EXPECT_EQ(c.error().message, "ORA-01013: user requested cancel of current operation\n");
  EXPECT_LT(waited, std::chrono::seconds(30));  // the break, not the delay, ended the fetch
  EXPECT_EQ(s.rowCount(), 10u);
  unsetenv("OCISIM_FAULTS");
  EXPECT_EQ(s.fetch(10), OCI_ERROR);  // the cursor is gone
  EXPECT_EQ(c.error().code, 1002);
  // A break while nothing runs is forgotten by the next call.
  EXPECT_EQ(OCIBreak(c.svc, c.err), OCI_SUCCESS);
  EXPECT_EQ(s.execute(10), OCI_SUCCESS);
}

}  // namespace
}  // namespace ocisim::oci::testing
