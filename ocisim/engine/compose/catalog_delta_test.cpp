// Catalog deltas: a DDL statement writes what it changed, not the catalog, so its cost does not
// grow with the schema; statements that declare the tables they changed write what a diff of
// the whole catalog would; journals of the first format are still read; the files are their
// owner's alone.
#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "engine/compose/engine.h"
#include "engine/compose/storage_test_support.h"
#include "engine/compose/test_catalog.h"
#include "engine/compose/test_support.h"

namespace ocisim::storage::testing {
namespace {

namespace fs = std::filesystem;
using ocisim::testing::exec;

std::string createTable(int n) {
  char name[16];
  std::snprintf(name, sizeof name, "T%05d", n);
  std::string sql = std::string("create table ") + name + " (id number primary key";
  for (int i = 1; i < 20; ++i) sql += ", c" + std::to_string(i) + " varchar2(30)";
  return sql + ")";
}

class CatalogDeltas : public ::testing::Test {
 protected:
  void SetUp() override {
    db = createDatabase(dir.sub("db"));
    storageOf(*db).setVerifyCatalogScopes(true);
    session = db->logon("SYSTEM", "manager");
  }
  // The journal bytes one statement adds.
  uint64_t bytesOf(const std::string& sql) {
    uint64_t before = storageOf(*db).journalBytes();
    exec(*session, sql);
    return storageOf(*db).journalBytes() - before;
  }
  void reopenAndCompare() {
    std::string before = dumpDatabase(*db);
    session.reset();
    db = reopen(db);
    EXPECT_EQ(dumpDatabase(*db), before);
    session = db->logon("SYSTEM", "manager");
  }

  TempDir dir;
  std::shared_ptr<Database> db;
  std::unique_ptr<Session> session;
};

TEST_F(CatalogDeltas, OneCreateTableWritesTheSameBytesWhateverTheSchemaSize) {
  for (int n = 0; n < 10; ++n) exec(*session, createTable(n));
  uint64_t small = bytesOf(createTable(10));
  for (int n = 11; n < 400; ++n) exec(*session, createTable(n));
  uint64_t large = bytesOf(createTable(400));
  EXPECT_LT(small, 2000u);
  EXPECT_LE(large, small + 8);  // object ids and constraint numbers may need a byte more
  EXPECT_EQ(storageOf(*db).generation(), 1u);  // nothing made the journal compact
  EXPECT_EQ(storageOf(*db).catalogScopeMisses(), 0u);
  reopenAndCompare();
}

TEST_F(CatalogDeltas, DeclaredAndUndeclaredChangesOfEveryKindReopen) {
  const char* script[] = {
      "create user app identified by app",
      "grant create session, create table to app",
      "create table app.dept (deptno number(2) constraint dept_pk primary key, "
      "dname varchar2(14) unique, loc varchar2(13) default 'HQ')",
      "create table app.emp (empno number(4) primary key, ename varchar2(10), "
      "deptno number(2) references app.dept, sal number(7,2) check (sal > 0), "
      "constraint emp_uk unique (ename, deptno))",
      "create index app.emp_sal on app.emp (sal desc, ename)",
      "create unique index app.emp_name on app.emp (ename)",
      "insert into app.dept values (10, 'ACCOUNTING', 'NEW YORK')",
      "create table app.copy as select * from app.dept",
      "comment on table app.emp is 'people'",
      "comment on column app.emp.sal is 'monthly'",
      "create sequence app.s start with 5",
      "create view app.v as select ename from app.emp",
      "alter table app.emp add (bonus number default 0)",
      "alter table app.emp rename to staff",
      "grant select on app.staff to public",
      "drop index app.emp_sal",
      "alter table app.staff drop constraint emp_uk",
      "create table app.emp (empno number primary key)",
      "drop table app.copy",
  };
  for (const char* sql : script) exec(*session, sql);
  EXPECT_EQ(storageOf(*db).catalogScopeMisses(), 0u);
  reopenAndCompare();
  // A second process's view: everything after the snapshot comes from the journal's deltas.
  auto other = openDatabase(dir.sub("db"));
  EXPECT_EQ(dumpDatabase(*other), dumpDatabase(*db));
}

TEST_F(CatalogDeltas, ADeclarationThatMissesAChangeIsCaughtByTheVerification) {
  exec(*session, createTable(1));
  exec(*session, createTable(2));
  runStatement(*db, [&](CommitRecord& r) {
    Catalog& c = db->catalog();
    c.addTable(makeTable(c, "SYSTEM", "NEW", 3));
    // A change outside the declared table.
    c.findTable("SYSTEM", "T00001")->columns[1].name = "RENAMED";
    r.catalogChanged = true;
    r.catalogTables.push_back({"SYSTEM", "NEW"});
  });
  EXPECT_EQ(storageOf(*db).catalogScopeMisses(), 1u);
  session.reset();
  db = reopen(db);
  EXPECT_EQ(db->catalog().findTable("SYSTEM", "T00001")->columns[1].name, "RENAMED");
  EXPECT_NE(db->catalog().findTable("SYSTEM", "NEW"), nullptr);
}

TEST_F(CatalogDeltas, AJournalOfTheFirstFormatIsReadAndReplacedBeforeTheNextWrite) {
  exec(*session, createTable(1));
  storageOf(*db).compact(*db);
  // Append a statement the way the first format wrote it: the whole catalog, in a journal of
  // version 1.
  {
    std::lock_guard lock(db->mutex());
    Catalog& c = db->catalog();
    c.addTable(makeTable(c, "SYSTEM", "OLD_STYLE", 4));
  }
  std::string journal = dir.sub("db") + "/journal";
  {
    Fd fd = openFile(journal, O_RDWR | O_TRUNC);
    uint64_t generation = storageOf(*db).generation();
    std::string header = encodeFileHeader({FileKind::Journal, 1, generation});
    writeAt(fd.get(), header.data(), header.size(), 0, journal);
    FrameWriter out(fd.get(), journal, header.size());
    CommitRecord record;
    record.catalogChanged = true;
    JournalStats stats;
    writeStatement(out, *db, record, nullptr, 1, stats);
    out.sync();
  }
  std::string expected = dumpDatabase(*db);
  session.reset();
  db.reset();
  db = openDatabase(dir.sub("db"));
  EXPECT_EQ(dumpDatabase(*db), expected);
  uint64_t generation = storageOf(*db).generation();
  session = db->logon("SYSTEM", "manager");
  exec(*session, createTable(2));
  EXPECT_EQ(storageOf(*db).generation(), generation + 1);
  Fd fd = openFile(journal, O_RDONLY);
  EXPECT_EQ(readFileHeader(fd.get(), journal, FileKind::Journal).version, kFormatVersion);
  reopenAndCompare();
}

TEST_F(CatalogDeltas, TheFilesAreTheirOwnersAlone) {
  exec(*session, "create user app identified by secret");
  storageOf(*db).compact(*db);
  exec(*session, createTable(1));
  auto modeOf = [](const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 0777;
  };
  EXPECT_EQ(modeOf(dir.sub("db")), 0700u);
  for (const char* file : {"snapshot", "journal", "lock"}) {
    EXPECT_EQ(modeOf(dir.sub("db") + "/" + file), 0600u) << file;
  }
  // A folder that exists already keeps its mode.
  fs::create_directory(dir.sub("given"));
  fs::permissions(dir.sub("given"),
                  fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
  createDatabase(dir.sub("given"));
  EXPECT_EQ(modeOf(dir.sub("given")), 0750u);
  EXPECT_EQ(modeOf(dir.sub("given") + "/snapshot"), 0600u);
}

}  // namespace
}  // namespace ocisim::storage::testing
