// Prefetching: the rows a fetch brings from the server in one round trip (the call's rows plus
// OCI_ATTR_PREFETCH_ROWS, bounded by OCI_ATTR_PREFETCH_MEMORY), counted on the statement
// handle, and the fetch delay of OCISIM_FAULTS spent once per round trip.
#include <chrono>

#include "handles.h"
#include "oci_test_support.h"
#include "statement.h"

namespace ocisim::oci::testing {
namespace {

class PrefetchTest : public OciTest {
 protected:
  void SetUp() override {
    OciTest::SetUp();
    db = createDatabase("orcl");
    ASSERT_EQ(c.logon("orcl", "system", "manager"), OCI_SUCCESS) << c.error().message;
  }

  static void setAttribute(OciStatement& s, ub4 attribute, ub4 value) {
    ASSERT_EQ(OCIAttrSet(s.stmt, OCI_HTYPE_STMT, &value, 0, attribute, s.c.err), OCI_SUCCESS);
  }
  static ub4 roundTrips(OciStatement& s) { return findHandle<Stmt>(s.stmt)->roundTrips(); }

  // Reads every row of a one-column query `arraySize` rows per call (the execute fetching the
  // first batch, as the product does): the values in order and the status of each call.
  struct Reading {
    std::vector<std::string> values;
    std::vector<sword> statuses;
    OciError error;
  };
  Reading readAll(OciStatement& s, const std::string& sql, ub4 arraySize) {
    Reading out;
    std::vector<char> buffer(static_cast<size_t>(arraySize) * 41);
    std::vector<sb2> indicators(arraySize);
    EXPECT_EQ(s.prepare(sql), OCI_SUCCESS);
    OCIDefine* define = nullptr;
    EXPECT_EQ(OCIDefineByPos(s.stmt, &define, c.err, 1, buffer.data(), 41, SQLT_STR,
                             indicators.data(), nullptr, nullptr, OCI_DEFAULT),
              OCI_SUCCESS);
    sword status = s.execute(arraySize);
    ub4 before = 0;
    for (;;) {
      out.statuses.push_back(status);
      if (status != OCI_SUCCESS && status != OCI_NO_DATA) {
        out.error = c.error();
        break;
      }
      const ub4 total = s.rowCount();
      for (ub4 i = 0; i < total - before; ++i) out.values.emplace_back(&buffer[i * 41]);
      before = total;
      if (status == OCI_NO_DATA) break;
      status = s.fetch(arraySize);
    }
    return out;
  }

  static std::vector<std::string> numbersUpTo(int n) {
    std::vector<std::string> out;
    for (int i = 1; i <= n; ++i) out.push_back(std::to_string(i));
    return out;
  }
  static std::string numbers(int n) {
    return "select level from dual connect by level <= " + std::to_string(n);
  }

  std::shared_ptr<Database> db;
  OciConnection c;
};

TEST_F(PrefetchTest, AttributesDefaultToOneRowAndNoMemoryLimitAndKeepWhatIsSet) {
  OciStatement s(c);
  ub4 rows = 99, memory = 99;
  ASSERT_EQ(OCIAttrGet(s.stmt, OCI_HTYPE_STMT, &rows, nullptr, OCI_ATTR_PREFETCH_ROWS, c.err),
            OCI_SUCCESS);
  ASSERT_EQ(OCIAttrGet(s.stmt, OCI_HTYPE_STMT, &memory, nullptr, OCI_ATTR_PREFETCH_MEMORY, c.err),
            OCI_SUCCESS);
  EXPECT_EQ(rows, 1u);
  EXPECT_EQ(memory, 0u);
  setAttribute(s, OCI_ATTR_PREFETCH_ROWS, 500);
  setAttribute(s, OCI_ATTR_PREFETCH_MEMORY, 65536);
  // The attributes belong to the handle: a new prepare keeps them.
  ASSERT_EQ(s.prepare(numbers(3)), OCI_SUCCESS);
  OCIAttrGet(s.stmt, OCI_HTYPE_STMT, &rows, nullptr, OCI_ATTR_PREFETCH_ROWS, c.err);
  OCIAttrGet(s.stmt, OCI_HTYPE_STMT, &memory, nullptr, OCI_ATTR_PREFETCH_MEMORY, c.err);
  EXPECT_EQ(rows, 500u);
  EXPECT_EQ(memory, 65536u);
  EXPECT_EQ(OCIAttrSet(s.stmt, OCI_HTYPE_STMT, nullptr, 0, OCI_ATTR_PREFETCH_ROWS, c.err),
            OCI_ERROR);
  EXPECT_EQ(c.error().code, 1009);
}

TEST_F(PrefetchTest, EachRoundTripBringsTheCallsRowsPlusThePrefetchCount) {
  // Off: every call is a round trip, and the end is learnt by one more.
  {
    OciStatement s(c);
    setAttribute(s, OCI_ATTR_PREFETCH_ROWS, 0);
    Reading r = readAll(s, numbers(100), 20);
    EXPECT_EQ(r.values, numbersUpTo(100));
    EXPECT_EQ(r.statuses.size(), 6u);
    EXPECT_EQ(r.statuses.back(), OCI_NO_DATA);
    EXPECT_EQ(roundTrips(s), 6u);
  }
  // 1000 ahead: the execute's round trip brings all 100 rows and their end.
  {
    OciStatement s(c);
    setAttribute(s, OCI_ATTR_PREFETCH_ROWS, 1000);
    Reading r = readAll(s, numbers(100), 20);
    EXPECT_EQ(r.values, numbersUpTo(100));
    EXPECT_EQ(r.statuses, (std::vector<sword>{OCI_SUCCESS, OCI_SUCCESS, OCI_SUCCESS, OCI_SUCCESS,
                                              OCI_SUCCESS, OCI_NO_DATA}));
    EXPECT_EQ(s.rowCount(), 100u);
    EXPECT_EQ(roundTrips(s), 1u);
  }
  // 10 per call, 25 ahead: trips of 35, then 30 (5 missing + 25), then the last 5 rows.
  {
    OciStatement s(c);
    setAttribute(s, OCI_ATTR_PREFETCH_ROWS, 25);
    Reading r = readAll(s, numbers(70), 10);
    EXPECT_EQ(r.values, numbersUpTo(70));
    EXPECT_EQ(r.statuses.size(), 8u);  // 7 full calls and the NO_DATA one, served locally
    EXPECT_EQ(roundTrips(s), 3u);
  }
  // A re-execute starts again: nothing held from the last cursor is delivered.
  {
    OciStatement s(c);
    setAttribute(s, OCI_ATTR_PREFETCH_ROWS, 1000);
    Reading first = readAll(s, numbers(5), 2);
    EXPECT_EQ(first.values, numbersUpTo(5));
    Reading again = readAll(s, numbers(3), 2);
    EXPECT_EQ(again.values, numbersUpTo(3));
    EXPECT_EQ(roundTrips(s), 1u);
  }
}

TEST_F(PrefetchTest, MemoryLimitsThePrefetchByTheDescribedRowSize) {
  run(db, {"create table t (s varchar2(100))",
           "insert into t select 'row ' || level from dual connect by level <= 50"});
  // 1000 bytes hold 10 rows of 100 bytes: one row per call, 11 per trip.
  {
    OciStatement s(c);
    setAttribute(s, OCI_ATTR_PREFETCH_ROWS, 0);
    setAttribute(s, OCI_ATTR_PREFETCH_MEMORY, 1000);
    Reading r = readAll(s, "select s from t", 1);
    EXPECT_EQ(r.values.size(), 50u);
    EXPECT_EQ(roundTrips(s), 5u);
  }
  // Both set: the lower count wins (3 rows ahead, 4 per trip).
  {
    OciStatement s(c);
    setAttribute(s, OCI_ATTR_PREFETCH_ROWS, 3);
    setAttribute(s, OCI_ATTR_PREFETCH_MEMORY, 1000);
    Reading r = readAll(s, "select s from t", 1);
    EXPECT_EQ(r.values.size(), 50u);
    EXPECT_EQ(roundTrips(s), 13u);  // 12 trips of 4 rows, the 13th brings 2 and the end
  }
}

TEST_F(PrefetchTest, QueriesWithALongColumnAreNotPrefetched) {
  run(db, {"create table l (n number, t long)",
           "insert into l select level, 'text ' || level from dual connect by level <= 30"});
  OciStatement s(c);
  setAttribute(s, OCI_ATTR_PREFETCH_ROWS, 1000);
  Reading r = readAll(s, "select n, t from l order by n", 10);
  EXPECT_EQ(r.values, numbersUpTo(30));
  EXPECT_EQ(roundTrips(s), 4u);  // 10 rows a call, and one more to learn the end
}

TEST_F(PrefetchTest, AnErrorAfterThePrefetchedRowsComesWhenTheyHaveBeenDelivered) {
  OciStatement s(c);
  setAttribute(s, OCI_ATTR_PREFETCH_ROWS, 100);
  // Row 5 divides by zero; the first trip holds rows 1 to 4.
  Reading r = readAll(s, "select 12 / (level - 5) from dual connect by level <= 10", 2);
  EXPECT_EQ(r.values, (std::vector<std::string>{"-3", "-4", "-6", "-12"}));
  ASSERT_EQ(r.statuses.size(), 3u);
  EXPECT_EQ(r.statuses.back(), OCI_ERROR);
  EXPECT_EQ(r.error.code, 1476);
  EXPECT_EQ(s.fetch(2), OCI_ERROR);  // the failed fetch ended the cursor
  EXPECT_EQ(c.error().code, 1002);
}

TEST_F(PrefetchTest, TheFetchDelayIsSpentOncePerRoundTrip) {
  using Clock = std::chrono::steady_clock;
  const auto timed = [&](ub4 prefetch, ub4* trips) {
    OciStatement s(c);
    setAttribute(s, OCI_ATTR_PREFETCH_ROWS, prefetch);
    setenv("OCISIM_FAULTS", "fetch_delay_ms=20", 1);
    const auto start = Clock::now();
    Reading r = readAll(s, numbers(200), 20);
    const auto spent = Clock::now() - start;
    unsetenv("OCISIM_FAULTS");
    EXPECT_EQ(r.values.size(), 200u);
    *trips = roundTrips(s);
    return spent;
  };
  ub4 tripsWithout = 0, tripsWith = 0;
  const auto without = timed(0, &tripsWithout);
  const auto with = timed(1000, &tripsWith);
  EXPECT_EQ(tripsWithout, 11u);
  EXPECT_EQ(tripsWith, 1u);
  EXPECT_GE(without, std::chrono::milliseconds(11 * 20));
  EXPECT_GE(with, std::chrono::milliseconds(20));
  EXPECT_LT(with, without);
}

}  // namespace
}  // namespace ocisim::oci::testing
