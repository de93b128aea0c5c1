// NEXTVAL drawn by streaming queries: how often the sequence is written, and that every number
// handed out is covered by what was written before the fetch returned, whoever else draws from
// the sequence in between. Also where Oracle refuses NEXTVAL and CURRVAL (ORA-02287).
#include <map>

#include "engine/compose/test_support.h"

namespace ocisim::testing {
namespace {

using Strings = std::vector<std::string>;

// Remembers, per sequence, the next value as last written ("durable"), and counts writes.
class RecordingHook : public PersistenceHook {
 public:
  void beginStatement(Database&, bool) override {}
  void endStatement(Database&) noexcept override {}
  void commit(Database& db, const CommitRecord& record) override {
    if (record.sequences.empty()) return;
    ++sequenceWrites;
    for (ObjectId id : record.sequences) {
      durable[id] = *db.findSequenceById(id)->nextValue.toInt64();
    }
  }
  int sequenceWrites = 0;
  std::map<ObjectId, int64_t> durable;
};

class QuerySequencesTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    auto owned = std::make_unique<RecordingHook>();
    hook = owned.get();
    db->setPersistence(std::move(owned));
    exec(*sys, "create sequence s nocache");
    seq = db->catalog().findSequence("SYSTEM", "S")->header.objectId;
    hook->sequenceWrites = 0;
  }
  int64_t durable() { return hook->durable.at(seq); }
  RecordingHook* hook = nullptr;
  ObjectId seq = 0;
};

TEST_F(QuerySequencesTest, AThousandRowsTakeAFewWritesAndGiveBackTheRest) {
  auto result = sys->execute("select s.nextval from dual connect by level <= 1000");
  Row row;
  int64_t expected = 1;
  while (result.cursor->fetch(row)) {
    ASSERT_EQ(*row[0].asNumber().toInt64(), expected);
    ASSERT_GT(durable(), expected) << "number " << expected << " handed out but not covered";
    ++expected;
  }
  EXPECT_EQ(expected, 1001);
  EXPECT_LE(hook->sequenceWrites, 12) << "not one write per row";
  EXPECT_EQ(durable(), 1001) << "the unused reservation is given back at the end";
  EXPECT_EQ(column(*sys, "select s.nextval from dual"), (Strings{"1001"}));
  EXPECT_EQ(column(*sys, "select last_number from user_sequences where sequence_name = 'S'"),
            (Strings{"1002"}));
}

TEST_F(QuerySequencesTest, OneRowQueryWritesOnce) {
  EXPECT_EQ(column(*sys, "select s.nextval from dual"), (Strings{"1"}));
  EXPECT_EQ(hook->sequenceWrites, 1);
  EXPECT_EQ(durable(), 2);
}

// Another session draws from the sequence between two fetches of a query and writes the
// sequence as it is: the query's reservation is gone, so its next numbers need a new write.
TEST_F(QuerySequencesTest, OtherDrawsBetweenFetchesKeepEveryNumberCovered) {
  auto other = db->logon("SYSTEM", "manager");
  exec(*other, "create table t (n number)");
  auto result = sys->execute("select s.nextval from dual connect by level <= 400");
  Row row;
  std::vector<int64_t> drawn;
  for (int i = 0; i < 400; ++i) {
    if (!result.cursor->fetch(row)) break;
    drawn.push_back(*row[0].asNumber().toInt64());
    ASSERT_GT(durable(), drawn.back());
    if (i % 50 == 10) {
      exec(*other, "insert into t values (s.nextval)");
      ASSERT_GT(durable(), drawn.back());
    }
  }
  EXPECT_FALSE(result.cursor->fetch(row));
  ASSERT_EQ(drawn.size(), 400u);
  std::vector<std::string> inserted = column(*sys, "select n from t");
  for (const std::string& n : inserted) {
    EXPECT_EQ(std::count(drawn.begin(), drawn.end(), std::stoll(n)), 0) << n << " drawn twice";
  }
  EXPECT_TRUE(std::is_sorted(drawn.begin(), drawn.end()));
}

TEST_F(QuerySequencesTest, CursorClosedEarlyLeavesItsReservationDurable) {
  {
    auto result = sys->execute("select s.nextval from dual connect by level <= 100");
    Row row;
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(result.cursor->fetch(row));
  }
  EXPECT_GT(durable(), 5);
  EXPECT_EQ(column(*sys, "select s.nextval from dual"), (Strings{"6"}))
      << "this process goes on from its own numbers";
}

TEST_F(QuerySequencesTest, NearTheMaxvalueEachNumberIsWritten) {
  exec(*sys, "create sequence small maxvalue 30 nocache");
  ObjectId small = db->catalog().findSequence("SYSTEM", "SMALL")->header.objectId;
  auto result = sys->execute("select small.nextval from dual connect by level <= 40");
  Row row;
  int64_t last = 0;
  try {
    while (result.cursor->fetch(row)) {
      last = *row[0].asNumber().toInt64();
      ASSERT_GE(hook->durable.at(small), last + 1);
      ASSERT_LE(hook->durable.at(small), 31) << "no reservation past MAXVALUE";
    }
    ADD_FAILURE() << "MAXVALUE was passed";
  } catch (const OraError& e) {
    EXPECT_EQ(e.code(), 8004);
  }
  EXPECT_EQ(last, 30);
}

TEST_F(QuerySequencesTest, SequenceNumbersOnlyWhereOracleAllowsThem) {
  exec(*sys, "create table t (n number)");
  for (const char* sql : {
           "select n from t where n = s.nextval",
           "select s.nextval from t order by 1",
           "select distinct s.nextval from dual",
           "select count(*) from dual group by s.currval",
           "select s.nextval from dual union select 1 from dual",
           "select (select s.nextval from dual) from dual",
           "select * from (select s.nextval n from dual)",
           "update t set n = 1 where n = s.currval",
           "delete from t where n = s.nextval",
       }) {
    EXPECT_EQ(errorCode(*sys, sql), 2287) << sql;
  }
  exec(*sys, "insert into t values (s.nextval)");
  exec(*sys, "insert into t select s.nextval from dual connect by level <= 2");
  exec(*sys, "update t set n = s.nextval where n = 1");
  EXPECT_EQ(column(*sys, "select n from t order by n"), (Strings{"2", "3", "4"}));
  EXPECT_EQ(column(*sys, "select s.currval from dual"), (Strings{"4"}));
}

}  // namespace
}  // namespace ocisim::testing
