// The seam to durable storage: what the hook sees of each statement, and a failing commit.
#include "engine/exec/test_support.h"

namespace ocisim::testing {
namespace {

class RecordingHook : public PersistenceHook {
 public:
  void beginStatement(Database&, bool writes) override {
    events.push_back(writes ? "begin-write" : "begin-read");
  }
  void commit(Database& db, const CommitRecord& record) override {
    events.push_back("commit");
    if (failNext) {
      failNext = false;
      throw OraError(1034);
    }
    records.push_back(record);
    // The committed values are readable from the table at this point.
    for (const RowChange& change : record.rows) {
      Table* t = db.findTableById(change.tableId);
      rowsSeen += t && t->data->row(change.rowId) ? 1 : 0;
    }
  }
  void endStatement(Database&) noexcept override { events.push_back("end"); }

  std::vector<std::string> events;
  std::vector<CommitRecord> records;
  int rowsSeen = 0;
  bool failNext = false;
};

class PersistenceTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    auto owned = std::make_unique<RecordingHook>();
    hook = owned.get();
    db->setPersistence(std::move(owned));
  }
  RecordingHook* hook = nullptr;
};

TEST_F(PersistenceTest, EveryStatementIsBracketedAndChangesAreReported) {
  exec(*sys, "create table t (id number primary key, v number)");
  ASSERT_EQ(hook->records.size(), 1u);
  EXPECT_TRUE(hook->records[0].catalogChanged);
  hook->events.clear();
  exec(*sys, "insert into t select level, level from dual connect by level <= 3");
  EXPECT_EQ(hook->events, (std::vector<std::string>{"begin-write", "commit", "end"}));
  ASSERT_EQ(hook->records.size(), 2u);
  EXPECT_EQ(hook->records[1].rows.size(), 3u);
  EXPECT_FALSE(hook->records[1].catalogChanged);
  EXPECT_EQ(hook->rowsSeen, 3);
  hook->events.clear();
  EXPECT_EQ(exec(*sys, "update t set v = v where id = 99"), 0u);
  EXPECT_EQ(hook->events, (std::vector<std::string>{"begin-write", "end"}))
      << "nothing changed, nothing to commit";
  hook->events.clear();
  query(*sys, "select * from t");
  EXPECT_EQ(hook->events.front(), "begin-read");
  EXPECT_EQ(std::count(hook->events.begin(), hook->events.end(), "commit"), 0);
}

TEST_F(PersistenceTest, SequencesAdvancedByQueriesAreCommitted) {
  exec(*sys, "create sequence s");
  hook->records.clear();
  query(*sys, "select s.nextval from dual");
  ASSERT_EQ(hook->records.size(), 1u);
  EXPECT_EQ(hook->records[0].sequences.size(), 1u);
}

TEST_F(PersistenceTest, AFailedCommitUndoesTheStatement) {
  exec(*sys, "create table t (id number)");
  hook->failNext = true;
  EXPECT_EQ(errorCode(*sys, "insert into t values (1)"), 1034);
  EXPECT_EQ(column(*sys, "select count(*) from t"), (std::vector<std::string>{"0"}));
}

}  // namespace
}  // namespace ocisim::testing
