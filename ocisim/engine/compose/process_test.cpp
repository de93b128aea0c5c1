// Several processes on one database directory (forked children): a writer killed at any
// moment leaves a database that opens with every statement that returned; two processes
// taking turns see each other's rows, DDL and compactions; concurrent writers are serialised;
// a full disk (a file-size limit) fails the statement with ORA-01114 and changes nothing.
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <set>

#include <gtest/gtest.h>

#include "engine/compose/engine.h"
#include "engine/compose/storage_test_support.h"
#include "engine/compose/test_catalog.h"

namespace ocisim::storage::testing {
namespace {

namespace fs = std::filesystem;

// Runs fn in a forked child; its return value is the child's exit status.
template <class Fn>
pid_t spawn(Fn fn) {
  pid_t pid = ::fork();
  if (pid == 0) {
    int code = 90;
    try {
      code = fn();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "child failed: %s\n", e.what());
      code = 91;
    }
    ::_exit(code);
  }
  return pid;
}

int waitExit(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

class Pipe {
 public:
  Pipe() {
    if (::pipe(fds_) != 0) throw std::runtime_error("pipe");
  }
  ~Pipe() {
    ::close(fds_[0]);
    ::close(fds_[1]);
  }
  void send(int64_t v) {
    if (::write(fds_[1], &v, sizeof v) != sizeof v) throw std::runtime_error("pipe write");
  }
  // False when nothing arrives within the timeout or the writer is gone.
  bool receive(int64_t& v, int timeoutMs = 60000) {
    pollfd p{fds_[0], POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) != 1) return false;
    return ::read(fds_[0], &v, sizeof v) == sizeof v;
  }
  void closeWrite() {
    ::close(fds_[1]);
    fds_[1] = -1;
  }

 private:
  int fds_[2];
};

// The C0 values (row numbers) of table T.
std::set<int64_t> rowNumbers(Database& db) {
  return readStatement(db, [&] {
    std::set<int64_t> out;
    const TableData& data = *db.catalog().findTable("SYSTEM", "T")->data;
    for (RowId id = 0; id < data.slotLimit(); ++id) {
      if (const Value* r = data.row(id)) out.insert(*r[0].asNumber().toInt64());
    }
    return out;
  });
}

void insertNumbers(Database& db, int64_t first, int count) {
  runStatement(db, [&](CommitRecord& r) {
    Table& t = *db.catalog().findTable("SYSTEM", "T");
    for (int i = 0; i < count; ++i) insertRow(t, first + i, r);
  });
}

class Processes : public ::testing::Test {
 protected:
  void SetUp() override {
    auto db = createDatabase(path);
    Workload(*db).createTable();
  }
  TempDir dir;
  std::string path = dir.sub("db");
};

int statementSize(int64_t s) {
  return s % 5 == 0 ? 3000 : 40;
}

TEST_F(Processes, AKilledWriterLeavesEveryReturnedStatement) {
  Pipe progress;
  pid_t child = spawn([&] {
    auto db = openDatabase(path);
    int64_t total = 0;
    for (int64_t s = 1;; ++s) {
      insertNumbers(*db, total + 1, statementSize(s));
      total += statementSize(s);
      progress.send(total);
    }
    return 0;
  });
  progress.closeWrite();
  int64_t reported = 0;
  int64_t v = 0;
  while (reported < 8000 && progress.receive(v)) reported = v;
  ::kill(child, SIGKILL);
  EXPECT_EQ(waitExit(child), 128 + SIGKILL);
  while (progress.receive(v, 0)) reported = v;
  ASSERT_GE(reported, 8000);

  auto db = openDatabase(path);
  std::set<int64_t> rows = rowNumbers(*db);
  auto count = static_cast<int64_t>(rows.size());
  EXPECT_GE(count, reported);
  // All or nothing per statement: the count is a statement boundary and rows 1..count exist.
  int64_t boundary = 0;
  for (int64_t s = 1; boundary < count; ++s) boundary += statementSize(s);
  EXPECT_EQ(boundary, count);
  EXPECT_EQ(*rows.begin(), 1);
  EXPECT_EQ(*rows.rbegin(), count);
  // The database stays writable after the crash.
  insertNumbers(*db, count + 1, 1);
  db = reopen(db);
  EXPECT_EQ(rowNumbers(*db).size(), static_cast<size_t>(count + 1));
}

TEST_F(Processes, TwoProcessesTakingTurnsSeeEachOthersChanges) {
  Pipe toChild;
  Pipe toParent;
  // Each turn: check the peer's rows and tables, insert a row, sometimes create a table or
  // compact, then pass the turn on with the expected row count.
  auto turn = [&](Database& db, int64_t expected, int64_t n, bool parent) -> int {
    if (static_cast<int64_t>(rowNumbers(db).size()) != expected) return 10;
    if (n > 2 && !readStatement(db, [&] {
          return db.catalog().findTable("SYSTEM", "X" + std::to_string(n - 1)) != nullptr;
        })) {
      return 11;
    }
    insertNumbers(db, n, 1);
    runStatement(db, [&](CommitRecord& r) {
      Catalog& c = db.catalog();
      c.addTable(makeTable(c, "SYSTEM", "X" + std::to_string(n), 2));
      r.catalogChanged = true;
    });
    if (n % 7 == (parent ? 0 : 3)) storageOf(db).compact(db);
    return 0;
  };
  pid_t child = spawn([&] {
    auto db = openDatabase(path);
    int64_t expected = 0;
    while (toChild.receive(expected)) {
      if (expected < 0) return 0;
      if (int failed = turn(*db, expected, expected + 1, false)) return failed;
      toParent.send(expected + 1);
    }
    return 12;
  });
  auto db = openDatabase(path);
  int64_t expected = 0;
  for (int round = 0; round < 15; ++round) {
    ASSERT_EQ(turn(*db, expected, expected + 1, true), 0) << "round " << round;
    toChild.send(expected + 1);
    ASSERT_TRUE(toParent.receive(expected)) << "round " << round;
  }
  toChild.send(-1);
  EXPECT_EQ(waitExit(child), 0);
  EXPECT_EQ(rowNumbers(*db).size(), 30u);
  EXPECT_GT(storageOf(*db).generation(), 3u);
  std::string seen = dumpDatabase(*db);
  db = reopen(db);
  EXPECT_EQ(dumpDatabase(*db), seen);
}

TEST_F(Processes, ConcurrentWritersAreSerialised) {
  auto writer = [&](int64_t base) {
    return spawn([&, base] {
      auto db = openDatabase(path);
      for (int s = 0; s < 60; ++s) {
        insertNumbers(*db, base + s * 3, 3);
        if (s % 25 == 24) storageOf(*db).compact(*db);
      }
      return 0;
    });
  };
  pid_t a = writer(100000);
  pid_t b = writer(200000);
  EXPECT_EQ(waitExit(a), 0);
  EXPECT_EQ(waitExit(b), 0);
  auto db = openDatabase(path);
  std::set<int64_t> rows = rowNumbers(*db);
  ASSERT_EQ(rows.size(), 360u);
  for (int64_t base : {100000, 200000}) {
    for (int64_t i = 0; i < 180; ++i) EXPECT_TRUE(rows.count(base + i)) << base + i;
  }
}

// In a child (the limit and the ignored SIGXFSZ must not reach the test runner).
int fullDiskChild(const std::string& path) {
  auto db = openDatabase(path);
  std::string journal = path + "/journal";
  insertNumbers(*db, 1, 100);
  std::string before = dumpDatabase(*db);
  uint64_t size = fs::file_size(journal);
  ::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{size + 65536, RLIM_INFINITY};
  ::setrlimit(RLIMIT_FSIZE, &limit);
  std::vector<RowId> added;
  try {
    runStatement(*db, [&](CommitRecord& r) {
      Table& t = *db->catalog().findTable("SYSTEM", "T");
      for (int i = 0; i < 2000; ++i) added.push_back(insertRow(t, 1000 + i, r));
    });
    return 2;
  } catch (const OraError& e) {
    std::string text = e.what();
    if (e.code() != 1114 || text.find("File too large") == std::string::npos) return 3;
  }
  // What the executor does when commit fails: undo the rows in memory.
  Table& t = *db->catalog().findTable("SYSTEM", "T");
  for (RowId id : added) t.data->erase(id);
  if (dumpDatabase(*db) != before) return 4;
  if (fs::file_size(journal) != size) return 5;  // the partial statement was cut off
  insertNumbers(*db, 101, 5);                    // a small statement still fits
  // DDL that cannot be written: the next statement reloads the catalog from the files.
  limit.rlim_cur = fs::file_size(journal) + 40;
  ::setrlimit(RLIMIT_FSIZE, &limit);
  try {
    runStatement(*db, [&](CommitRecord& r) {
      db->catalog().addTable(makeTable(db->catalog(), "SYSTEM", "NEWT", 3));
      r.catalogChanged = true;
    });
    return 6;
  } catch (const OraError& e) {
    if (e.code() != 1114) return 7;
  }
  bool gone = readStatement(*db, [&] { return !db->catalog().findTable("SYSTEM", "NEWT"); });
  if (!gone) return 8;
  limit.rlim_cur = RLIM_INFINITY;
  ::setrlimit(RLIMIT_FSIZE, &limit);
  insertNumbers(*db, 106, 1);
  return 0;
}

TEST_F(Processes, AFullDiskFailsTheStatementAndChangesNothing) {
  pid_t child = spawn([&] { return fullDiskChild(path); });
  ASSERT_EQ(waitExit(child), 0);
  auto db = openDatabase(path);
  std::set<int64_t> rows = rowNumbers(*db);
  EXPECT_EQ(rows.size(), 106u);
  EXPECT_EQ(*rows.rbegin(), 106);
  EXPECT_EQ(db->catalog().findTable("SYSTEM", "NEWT"), nullptr);
}

TEST_F(Processes, AChildForkedFromAnOpenDatabaseTakesItsOwnLock) {
  auto db = openDatabase(path);
  insertNumbers(*db, 1, 2);
  Pipe start;
  Pipe done;
  Pipe go;
  pid_t child = spawn([&] {
    int64_t v = 0;
    if (!start.receive(v)) return 20;
    insertNumbers(*db, 3, 2);  // the inherited instance
    done.send(1);
    if (!go.receive(v)) return 21;
    return rowNumbers(*db).size() == 6 ? 0 : 22;
  });
  // The parent is inside a writing statement when the child tries to write: the child must
  // wait for it, not share the parent's lock.
  {
    std::lock_guard statement(db->mutex());
    db->persistence()->beginStatement(*db, true);
    start.send(1);
    int64_t v = 0;
    EXPECT_FALSE(done.receive(v, 300)) << "the child wrote while the parent held the lock";
    db->persistence()->endStatement(*db);
  }
  int64_t v = 0;
  ASSERT_TRUE(done.receive(v));
  EXPECT_EQ(rowNumbers(*db).size(), 4u);  // the child's rows, read from the journal
  insertNumbers(*db, 5, 2);
  go.send(1);
  EXPECT_EQ(waitExit(child), 0);
}

}  // namespace
}  // namespace ocisim::storage::testing
