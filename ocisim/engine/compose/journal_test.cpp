// The journal: many statements reopen to the same database; compaction (by policy, by hand,
// cut short between its two renames) loses nothing; a torn or corrupt tail is ignored and the
// earlier committed state opens, and the next writer cuts it off.
#include <fcntl.h>

#include <filesystem>
#include <vector>

#include <gtest/gtest.h>

#include "engine/compose/engine.h"
#include "engine/compose/storage_test_support.h"
#include "engine/compose/test_catalog.h"

namespace ocisim::storage::testing {
namespace {

namespace fs = std::filesystem;

void copyDirectory(const std::string& from, const std::string& to) {
  fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

void flipByte(const std::string& path, uint64_t offset) {
  Fd fd = openFile(path, O_RDWR);
  char byte = 0;
  ASSERT_EQ(readAt(fd.get(), &byte, 1, offset, path), 1u);
  byte = static_cast<char>(byte ^ 0x5a);
  writeAt(fd.get(), &byte, 1, offset, path);
}

class Journal : public ::testing::Test {
 protected:
  void SetUp() override {
    db = createDatabase(dir.sub("db"));
    work = std::make_unique<Workload>(*db);
    work->createTable();
  }
  std::string journal() const { return dir.sub("db") + "/journal"; }

  TempDir dir;
  std::shared_ptr<Database> db;
  std::unique_ptr<Workload> work;
};

TEST_F(Journal, ManyStatementsReopenToTheSameDatabase) {
  work->mixed(300);
  std::string before = dumpDatabase(*db);
  EXPECT_GT(work->table().data->rowCount(), 500u);
  db = reopen(db);
  EXPECT_EQ(dumpDatabase(*db), before);
  EXPECT_EQ(storageOf(*db).journalStats().statements, 301u);
  EXPECT_EQ(storageOf(*db).generation(), 1u);
}

TEST_F(Journal, UpdatesAndDeletesTriggerCompactionAndNothingIsLost) {
  storageOf(*db).setCompactionPolicy({200, 2.0, 8u << 20});
  work->statement(100, 0, 0);
  for (int i = 0; i < 40; ++i) work->statement(2, 20, 3);
  EXPECT_GT(storageOf(*db).generation(), 1u);
  EXPECT_LT(storageOf(*db).journalStats().rowRecords, 400u);
  std::string before = dumpDatabase(*db);
  db = reopen(db);
  EXPECT_EQ(dumpDatabase(*db), before);
}

TEST_F(Journal, InsertsAloneDoNotTriggerCompaction) {
  storageOf(*db).setCompactionPolicy({200, 2.0, 8u << 20});
  for (int i = 0; i < 20; ++i) work->statement(50, 0, 0);
  EXPECT_EQ(storageOf(*db).generation(), 1u);
}

TEST_F(Journal, CatalogChangesTriggerCompaction) {
  storageOf(*db).setCompactionPolicy({200, 2.0, 20000});
  for (int i = 0; i < 400; ++i) {
    runStatement(*db, [&](CommitRecord& r) {
      Catalog& c = db->catalog();
      c.addTable(makeTable(c, "SYSTEM", "X" + std::to_string(i), 3));
      r.catalogChanged = true;
    });
  }
  EXPECT_GT(storageOf(*db).generation(), 1u);
  std::string before = dumpDatabase(*db);
  db = reopen(db);
  EXPECT_EQ(dumpDatabase(*db), before);
}

TEST_F(Journal, StatementsAfterACompactionByHandReopen) {
  work->mixed(50);
  storageOf(*db).compact(*db);
  work->mixed(50);
  std::string before = dumpDatabase(*db);
  db = reopen(db);
  EXPECT_EQ(storageOf(*db).generation(), 2u);
  EXPECT_EQ(storageOf(*db).journalStats().statements, 50u);
  EXPECT_EQ(dumpDatabase(*db), before);
}

TEST_F(Journal, CompactionCutShortBetweenItsRenamesLosesNothing) {
  work->mixed(30);
  std::string before = dumpDatabase(*db);
  fs::copy_file(journal(), dir.sub("old-journal"));
  storageOf(*db).compact(*db);
  db.reset();
  // The new snapshot is in place, the old journal still there: as after a crash.
  fs::rename(dir.sub("old-journal"), journal());
  db = openDatabase(dir.sub("db"));
  EXPECT_EQ(dumpDatabase(*db), before);
  Workload more(*db);
  more.statement(3, 0, 0);  // replaces the stale journal first
  std::string after = dumpDatabase(*db);
  db = reopen(db);
  EXPECT_EQ(dumpDatabase(*db), after);
  EXPECT_EQ(storageOf(*db).journalStats().statements, 1u);
}

// Statements with their end offsets and the database after each, then damage to the tail.
class TornTail : public Journal {
 protected:
  void SetUp() override {
    Journal::SetUp();
    for (int s = 0; s < 6; ++s) {
      work->statement(s == 5 ? 9000 : 20, 5, 2);  // the last one spans several frames
      ends.push_back(storageOf(*db).journalBytes());
      states.push_back(dumpDatabase(*db));
    }
    db.reset();
    ASSERT_GT(ends[5] - ends[4], 2u << 20);
  }
  // Opens a copy of the database with its journal cut at `size`.
  std::shared_ptr<Database> openCut(uint64_t size, const std::string& name) {
    copyDirectory(dir.sub("db"), dir.sub(name));
    fs::resize_file(dir.sub(name) + "/journal", size);
    return openDatabase(dir.sub(name));
  }
  std::vector<uint64_t> ends;
  std::vector<std::string> states;
};

TEST_F(TornTail, ACutLastStatementIsIgnored) {
  uint64_t start = ends[4];
  const uint64_t cuts[] = {start + 1,   start + 7,      start + 8,
                           start + 9,   start + 100000, start + (1u << 20) + 100,
                           ends[5] - 9, ends[5] - 1};
  int n = 0;
  for (uint64_t cut : cuts) {
    auto copy = openCut(cut, "cut" + std::to_string(n++));
    EXPECT_EQ(dumpDatabase(*copy), states[4]) << "cut at " << cut - start;
  }
}

TEST_F(TornTail, TheNextWriterCutsTheTornTailOff) {
  auto copy = openCut(ends[5] - 3, "cut");
  Workload more(*copy);
  more.statement(2, 0, 0);
  EXPECT_LT(storageOf(*copy).journalBytes(), ends[5]);
  std::string after = dumpDatabase(*copy);
  EXPECT_EQ(fs::file_size(dir.sub("cut") + "/journal"), storageOf(*copy).journalBytes());
  copy = reopen(copy);
  EXPECT_EQ(dumpDatabase(*copy), after);
}

TEST_F(TornTail, ACorruptLastStatementIsIgnored) {
  copyDirectory(dir.sub("db"), dir.sub("bad"));
  flipByte(dir.sub("bad") + "/journal", ends[5] - 20);
  auto copy = openDatabase(dir.sub("bad"));
  EXPECT_EQ(dumpDatabase(*copy), states[4]);
}

TEST_F(TornTail, CorruptionInTheMiddleRefusesToOpenAndKeepsTheJournal) {
  copyDirectory(dir.sub("db"), dir.sub("bad"));
  std::string path = dir.sub("bad") + "/journal";
  flipByte(path, ends[1] + 30);  // inside statement 2 of 6
  uint64_t size = fs::file_size(path);
  try {
    openDatabase(dir.sub("bad"));
    ADD_FAILURE() << "a journal damaged in the middle opened";
  } catch (const OraError& e) {
    EXPECT_EQ(e.code(), 1578);
    std::string text = e.what();
    EXPECT_NE(text.find(path), std::string::npos) << text;
    EXPECT_NE(text.find("offset " + std::to_string(ends[1])), std::string::npos) << text;
  }
  EXPECT_EQ(fs::file_size(path), size);
  // The damage mended, every statement is there again.
  flipByte(path, ends[1] + 30);
  EXPECT_EQ(dumpDatabase(*openDatabase(dir.sub("bad"))), states[5]);
}

TEST_F(Journal, SequenceStatesAreKeptIncludingFromAReadingStatement) {
  runStatement(*db, [&](CommitRecord& r) {
    Catalog& c = db->catalog();
    auto seq = std::make_unique<Sequence>();
    seq->header = makeHeader(c, "SYSTEM", "S");
    seq->incrementBy = Decimal::fromInt64(1);
    seq->maxValue = Decimal::fromInt64(1000);
    seq->nextValue = Decimal::fromInt64(1);
    seq->lastNumber = Decimal::fromInt64(21);
    c.addSequence(std::move(seq));
    r.catalogChanged = true;
  });
  Sequence* s = db->catalog().findSequence("SYSTEM", "S");
  // NEXTVAL in a query: the statement holds the shared lock when it commits.
  {
    std::lock_guard lock(db->mutex());
    db->persistence()->beginStatement(*db, false);
    s->nextValue = Decimal::fromInt64(2);
    CommitRecord r;
    r.sequences.push_back(s->header.objectId);
    db->persistence()->commit(*db, r);
    db->persistence()->endStatement(*db);
  }
  runStatement(*db, [&](CommitRecord& r) {
    s->nextValue = Decimal::fromInt64(22);
    s->lastNumber = Decimal::fromInt64(41);
    s->exhausted = true;
    r.sequences.push_back(s->header.objectId);
  });
  db = reopen(db);
  s = db->catalog().findSequence("SYSTEM", "S");
  EXPECT_EQ(s->nextValue.toString(), "22");
  EXPECT_EQ(s->lastNumber.toString(), "41");
  EXPECT_TRUE(s->exhausted);
}

TEST_F(Journal, AStatementInsertingAndDeletingTheSameRowLeavesNoTrace) {
  work->statement(10, 0, 0);
  runStatement(*db, [&](CommitRecord& r) {
    Table& t = work->table();
    RowId a = insertRow(t, 9001, r);
    updateRow(t, a, 9002, r);
    deleteRow(t, a, r);
    RowId b = insertRow(t, 9003, r);  // reuses the slot just freed
    EXPECT_EQ(a, b);
  });
  std::string before = dumpDatabase(*db);
  db = reopen(db);
  EXPECT_EQ(dumpDatabase(*db), before);
}

}  // namespace
}  // namespace ocisim::storage::testing
