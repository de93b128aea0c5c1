// Global temporary tables: rows private to each session, emptied at commit (DELETE ROWS) or at
// the end of the session (PRESERVE ROWS), keys per session, undo of a failed statement, DDL
// refused while a session has rows, and nothing of them in the commit record.
#include <gtest/gtest.h>

#include "engine/exec/persistence.h"
#include "engine/exec/test_support.h"

namespace ocisim::testing {
namespace {

class TemporaryTableTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    exec(*sys, "create user u identified by u");
    exec(*sys, "grant create session, create table to u");
    a = db->logon("U", "u");
    b = db->logon("U", "u");
    exec(*a,
         "create global temporary table keep (id number primary key, v varchar2(10)) "
         "on commit preserve rows");
    exec(*a, "create global temporary table tx (id number) on commit delete rows");
  }
  std::unique_ptr<Session> a, b;
};

TEST_F(TemporaryTableTest, EachSessionSeesOnlyItsOwnRows) {
  exec(*a, "insert into keep values (1, 'a1')");
  exec(*a, "insert into keep values (2, 'a2')");
  exec(*b, "insert into keep values (1, 'b1')");  // the same key in another session
  EXPECT_EQ(column(*a, "select v from keep order by id"), (std::vector<std::string>{"a1", "a2"}));
  EXPECT_EQ(column(*b, "select v from keep"), (std::vector<std::string>{"b1"}));
  EXPECT_EQ(exec(*b, "update keep set v = 'x'"), 1u);
  EXPECT_EQ(exec(*b, "delete from keep"), 1u);
  EXPECT_EQ(column(*a, "select count(*) from keep"), (std::vector<std::string>{"2"}));
  // An index lookup (the primary key) reads the session's rows too.
  EXPECT_EQ(column(*a, "select v from keep where id = 2"), (std::vector<std::string>{"a2"}));
  EXPECT_EQ(column(*b, "select v from keep where id = 2"), std::vector<std::string>{});
}

TEST_F(TemporaryTableTest, UniqueKeyIsCheckedAgainstTheSessionsOwnRows) {
  exec(*a, "insert into keep values (1, 'a')");
  EXPECT_EQ(errorCode(*a, "insert into keep values (1, 'again')"), 1);
  EXPECT_EQ(errorCode(*b, "insert into keep values (1, 'b')"), 0);
  EXPECT_EQ(errorCode(*b, "insert into keep values (1, 'b again')"), 1);
}

TEST_F(TemporaryTableTest, DeleteRowsEmptiesAtCommitAndPreserveRowsAtSessionEnd) {
  exec(*a, "insert into tx values (1)");
  EXPECT_EQ(column(*a, "select count(*) from tx"), (std::vector<std::string>{"0"}));
  // One block is one transaction: its rows are there until it ends.
  exec(*a,
       "declare n number; begin insert into tx values (1); insert into tx values (2); "
       "select count(*) into n from tx; insert into keep values (n, 'seen'); end;");
  EXPECT_EQ(column(*a, "select id from keep"), (std::vector<std::string>{"2"}));
  EXPECT_EQ(column(*a, "select count(*) from tx"), (std::vector<std::string>{"0"}));
  // A session that ends takes its rows with it; a new session starts empty.
  a.reset();
  a = db->logon("U", "u");
  EXPECT_EQ(column(*a, "select count(*) from keep"), (std::vector<std::string>{"0"}));
}

TEST_F(TemporaryTableTest, FailedStatementLeavesTheSessionsRowsAsTheyWere) {
  exec(*a, "insert into keep values (1, 'one')");
  exec(*a, "insert into keep values (2, 'two')");
  // The second row of the statement clashes with row 1: the whole statement is undone.
  EXPECT_EQ(errorCode(*a, "update keep set id = 1, v = 'x' where id in (1, 2)"), 1);
  EXPECT_EQ(column(*a, "select v from keep order by id"), (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(errorCode(*a,
                      "insert into keep select id + 10, v from keep where 1 = 0 union all "
                      "select 1, 'dup' from dual"),
            1);
  EXPECT_EQ(column(*a, "select count(*) from keep"), (std::vector<std::string>{"2"}));
}

TEST_F(TemporaryTableTest, DdlWaitsUntilNoSessionHasRows) {
  exec(*b, "insert into keep values (1, 'b')");
  EXPECT_EQ(errorCode(*a, "drop table keep"), 14452);
  EXPECT_EQ(errorCode(*a, "create index keep_v on keep (v)"), 14452);
  EXPECT_EQ(errorCode(*a, "alter table keep add (w number)"), 14450);
  // TRUNCATE empties only the session's own rows.
  exec(*a, "truncate table keep");
  EXPECT_EQ(column(*b, "select count(*) from keep"), (std::vector<std::string>{"1"}));
  exec(*b, "truncate table keep");
  exec(*a, "alter table keep add (w number)");
  exec(*a, "create index keep_v on keep (v)");
  // The sessions' stores take the new shape and index.
  exec(*b, "insert into keep values (1, 'b', 5)");
  EXPECT_EQ(column(*b, "select w from keep where v = 'b'"), (std::vector<std::string>{"5"}));
  exec(*b, "delete from keep");
  exec(*a, "drop table keep");
  EXPECT_EQ(errorCode(*b, "select * from keep"), 942);
}

TEST_F(TemporaryTableTest, KeysBetweenTemporaryAndPermanentTablesAreRefused) {
  exec(*a, "create table perm (id number primary key)");
  EXPECT_EQ(errorCode(*a, "create global temporary table c1 (id number references perm)"), 14455);
  EXPECT_EQ(errorCode(*a, "create table c2 (id number references keep)"), 14455);
  exec(*a, "create global temporary table c3 (id number references keep) on commit preserve rows");
  exec(*a, "insert into keep values (7, 'p')");
  EXPECT_EQ(errorCode(*a, "insert into c3 values (7)"), 0);
  // b has no parent row 7 of its own.
  EXPECT_EQ(errorCode(*b, "insert into c3 values (7)"), 2291);
}

// The storage is never handed the rows of a temporary table.
class RecordingHook : public PersistenceHook {
 public:
  void beginStatement(Database&, bool) override {}
  void commit(Database&, const CommitRecord& record) override {
    for (const RowChange& c : record.rows) tables.push_back(c.tableId);
  }
  void endStatement(Database&) noexcept override {}
  std::vector<ObjectId> tables;
};

TEST_F(TemporaryTableTest, RowsAreNeverInTheCommitRecord) {
  auto hook = std::make_unique<RecordingHook>();
  RecordingHook* recorded = hook.get();
  db->setPersistence(std::move(hook));
  exec(*a, "create table perm (id number)");
  exec(*a, "insert into keep values (1, 'a')");
  exec(*a, "insert into perm values (1)");
  ASSERT_EQ(recorded->tables.size(), 1u);
  EXPECT_EQ(recorded->tables[0], db->catalog().findTable("U", "PERM")->header.objectId);
}

}  // namespace
}  // namespace ocisim::testing
