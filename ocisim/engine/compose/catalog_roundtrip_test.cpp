// A database written to its directory and opened again holds exactly what it held: identity,
// every kind of catalog object with every field, rows and index order; whether it comes back
// from the snapshot or from the journal.
#include <fcntl.h>

#include <gtest/gtest.h>

#include "engine/compose/engine.h"
#include "engine/compose/storage_test_support.h"
#include "engine/compose/test_catalog.h"
#include "engine/storage/catalog_codec.h"
#include "engine/storage/value_codec.h"

namespace ocisim::storage::testing {
namespace {

class CatalogRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override { db = createDatabase(dir.sub("db"), {"orcl.world", "8.1.7", "pw"}); }
  TempDir dir;
  std::shared_ptr<Database> db;
};

TEST_F(CatalogRoundTrip, NewDatabaseReopensWithItsIdentityUsersAndRoles) {
  std::string before = dumpDatabase(*db);
  db = reopen(db);
  EXPECT_EQ(db->globalName(), "ORCL.WORLD");
  EXPECT_EQ(db->version(), "8.1.7");
  EXPECT_EQ(dumpDatabase(*db), before);
  EXPECT_NO_THROW(db->logon("SYSTEM", "pw"));
  EXPECT_NE(before.find("user 5 SYSTEM pw"), std::string::npos);
}

TEST_F(CatalogRoundTrip, EveryKindOfObjectComesBackFromTheJournal) {
  runStatement(*db, [&](CommitRecord& r) { addEveryKindOfObject(*db, r); });
  std::string before = dumpDatabase(*db);
  ASSERT_NE(before.find("trigger"), std::string::npos);
  ASSERT_NE(before.find("rows SCOTT.EMP 30 width 8"), std::string::npos);
  ASSERT_NE(before.find("index EMP_IX cols 1 0 order"), std::string::npos);
  db = reopen(db);
  EXPECT_EQ(storageOf(*db).generation(), 1u);  // no compaction: read from the journal
  EXPECT_EQ(dumpDatabase(*db), before);
}

TEST_F(CatalogRoundTrip, EveryKindOfObjectComesBackFromTheSnapshot) {
  runStatement(*db, [&](CommitRecord& r) { addEveryKindOfObject(*db, r); });
  storageOf(*db).compact(*db);
  std::string before = dumpDatabase(*db);
  db = reopen(db);
  EXPECT_EQ(storageOf(*db).generation(), 2u);
  EXPECT_EQ(storageOf(*db).journalStats().statements, 0u);
  EXPECT_EQ(dumpDatabase(*db), before);
}

TEST_F(CatalogRoundTrip, ParsedDefaultsAndConditionsAreRebuilt) {
  runStatement(*db, [&](CommitRecord& r) { addEveryKindOfObject(*db, r); });
  db = reopen(db);
  const Table* emp = db->catalog().findTable("SCOTT", "EMP");
  ASSERT_NE(emp, nullptr);
  ASSERT_NE(emp->columns[1].defaultExpr, nullptr);
  EXPECT_EQ(emp->columns[1].defaultExpr->text, "none");
  const Constraint* check = db->catalog().findConstraint("SCOTT", "EMP_CK");
  ASSERT_NE(check, nullptr);
  ASSERT_NE(check->condition, nullptr);
  EXPECT_EQ(check->condition->op, sql::Op::And);
}

TEST_F(CatalogRoundTrip, DropsRevokesAndReplacementsAreReplayed) {
  runStatement(*db, [&](CommitRecord& r) { addEveryKindOfObject(*db, r); });
  runStatement(*db, [&](CommitRecord& r) {
    Catalog& c = db->catalog();
    c.removeIndex("SCOTT", "EMP_IX");
    c.removeConstraint("SCOTT", "EMP_CK");
    c.removeCode("SCOTT", "PKG", ObjectKind::PackageBody);
    c.revokeRole("SCOTT", "APP_ROLE");
    c.revokeObjectPrivilege("PUBLIC", "SCOTT", "EMP", "SELECT");
    c.removeTable("SCOTT", "DEPT");
    // The same name for a new object: a different object id.
    c.removeView("SCOTT", "EMP_V");
    auto view = std::make_unique<View>();
    view->header = makeHeader(c, "SCOTT", "EMP_V");
    view->text = "select 1 from dual";
    c.addView(std::move(view));
    db->rebuildIndexes(*c.findTable("SCOTT", "EMP"));
    r.catalogChanged = true;
  });
  std::string before = dumpDatabase(*db);
  EXPECT_EQ(before.find("EMP_IX"), std::string::npos);
  db = reopen(db);
  EXPECT_EQ(dumpDatabase(*db), before);
}

TEST_F(CatalogRoundTrip, ARenamedTableKeepsItsRows) {
  runStatement(*db, [&](CommitRecord& r) { addEveryKindOfObject(*db, r); });
  runStatement(*db, [&](CommitRecord& r) {
    Catalog& c = db->catalog();
    // EMP and DEPT swap names, the way two RENAME TO statements through a third name would.
    c.renameTable("SCOTT", "EMP", "TMP");
    c.renameTable("SCOTT", "DEPT", "EMP");
    c.renameTable("SCOTT", "TMP", "DEPT");
    for (const auto& [key, index] : c.indexes()) {
      index->tableName = index->tableName == "EMP" ? "DEPT" : "EMP";
    }
    for (const auto& [key, k] : c.constraints())
      k->tableName = k->tableName == "EMP" ? "DEPT" : "EMP";
    c.removeComments("SCOTT", "EMP");
    c.setComment("SCOTT", "DEPT", "", "renamed");
    r.catalogChanged = true;
  });
  std::string before = dumpDatabase(*db);
  ASSERT_NE(before.find("rows SCOTT.DEPT 30 width 8"), std::string::npos);
  ASSERT_NE(before.find("comment SCOTT.DEPT. [renamed]"), std::string::npos);
  db = reopen(db);
  EXPECT_EQ(dumpDatabase(*db), before);
}

TEST_F(CatalogRoundTrip, RewrittenTableGetsItsNewShapeAndRows) {
  runStatement(*db, [&](CommitRecord& r) { addEveryKindOfObject(*db, r); });
  // ALTER TABLE ... ADD: one more column, every row rewritten.
  runStatement(*db, [&](CommitRecord& r) {
    Table& dept = *db->catalog().findTable("SCOTT", "DEPT");
    Column extra;
    extra.name = "C4";
    extra.type = DataType::varchar2(10);
    dept.columns.push_back(extra);
    dept.data->addColumn(Value::text("filled"));
    db->rebuildIndexes(dept);
    r.catalogChanged = true;
    r.rewrittenTables.push_back(dept.header.objectId);
  });
  std::string before = dumpDatabase(*db);
  EXPECT_NE(before.find("'filled'"), std::string::npos);
  db = reopen(db);
  EXPECT_EQ(dumpDatabase(*db), before);
}

TEST(StorageOpen, DirectoryWithoutDatabaseIsRefused) {
  TempDir dir;
  try {
    openDatabase(dir.path());
    FAIL() << "opened an empty directory";
  } catch (const OraError& e) {
    EXPECT_EQ(e.code(), 1034);
    EXPECT_NE(std::string(e.what()).find(dir.path()), std::string::npos);
  }
  EXPECT_THROW(openDatabase(dir.sub("missing")), OraError);
}

TEST(StorageOpen, CreatingOverAnExistingDatabaseIsRefused) {
  TempDir dir;
  createDatabase(dir.sub("db"));  // dropped at once: the files stay
  try {
    createDatabase(dir.sub("db"));
    FAIL() << "created a database twice";
  } catch (const OraError& e) {
    EXPECT_EQ(e.code(), 1501);
  }
  EXPECT_NO_THROW(openDatabase(dir.sub("db")));
}

TEST(StorageOpen, DamagedSnapshotIsReportedNotLoaded) {
  TempDir dir;
  createDatabase(dir.sub("db"));
  std::string snapshot = dir.sub("db") + "/snapshot";
  {
    Fd fd = openFile(snapshot, O_RDWR);
    char byte = 0;
    readAt(fd.get(), &byte, 1, 100, snapshot);
    byte = static_cast<char>(byte ^ 0x40);
    writeAt(fd.get(), &byte, 1, 100, snapshot);
  }
  try {
    openDatabase(dir.sub("db"));
    FAIL() << "opened a damaged snapshot";
  } catch (const OraError& e) {
    EXPECT_EQ(e.code(), 1578);
  }
}

// A constraint's state byte: versions 1 and 2 wrote a bool (enabled) where version 3 writes
// flags; both read back.
TEST(ConstraintStateCodec, FlagsRoundTripAndTheOldBoolStillReads) {
  Constraint key;
  key.owner = "SCOTT";
  key.name = "T_PK";
  key.type = ConstraintType::PrimaryKey;
  key.tableName = "T";
  key.columns = {"ID"};
  key.indexOwner = "SCOTT";
  key.indexName = "T_PK";
  key.enabled = true;
  key.validated = false;
  key.deferrable = true;
  key.deferred = true;
  key.ownsIndex = false;
  ByteWriter out;
  writeRecord(out, key);
  std::unique_ptr<Constraint> back;
  ByteReader in(out.buffer());
  readRecord(in, back);
  ASSERT_TRUE(back);
  EXPECT_TRUE(back->enabled);
  EXPECT_FALSE(back->validated);
  EXPECT_TRUE(back->deferrable);
  EXPECT_TRUE(back->deferred);
  EXPECT_FALSE(back->ownsIndex);

  // The state byte sits just before the last-change date.
  ByteWriter date;
  writeDateTime(date, key.lastChange);
  size_t at = out.size() - date.size() - 1;
  for (uint8_t old : {0, 1}) {
    std::string bytes = out.buffer();
    bytes[at] = static_cast<char>(old);
    ByteReader legacy(bytes);
    readRecord(legacy, back);
    EXPECT_EQ(back->enabled, old == 1);
    EXPECT_EQ(back->validated, old == 1);
    EXPECT_FALSE(back->deferrable);
    EXPECT_FALSE(back->deferred);
    EXPECT_TRUE(back->ownsIndex);  // the index bears the key's name
  }
  std::string bytes = out.buffer();
  bytes[at] = 2;  // neither an old bool nor a flag byte
  ByteReader bad(bytes);
  EXPECT_THROW(readRecord(bad, back), CorruptData);
}

}  // namespace
}  // namespace ocisim::storage::testing
