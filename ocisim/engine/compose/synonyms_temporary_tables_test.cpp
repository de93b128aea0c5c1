// Synonyms and global temporary tables in a database kept in a directory: synonyms and the
// definitions of temporary tables come back from the journal and the snapshot, the rows of a
// temporary table never reach the files, and a catalog image written before synonyms still
// reads.
#include <gtest/gtest.h>

#include "engine/compose/engine.h"
#include "engine/compose/storage_test_support.h"
#include "engine/compose/test_support.h"
#include "engine/storage/catalog_codec.h"

namespace ocisim::storage::testing {
namespace {

using ocisim::testing::errorCode;
using ocisim::testing::exec;
using ocisim::testing::query;
using ocisim::testing::Rows;

class SynonymsAndTemporaryTables : public ::testing::Test {
 protected:
  void SetUp() override {
    db = createDatabase(dir.sub("db"));
    sys = db->logon("SYSTEM", "manager");
    for (const char* sql :
         {"create user app identified by a", "grant create session, create table to app",
          "create table app.t (id number primary key)", "insert into app.t values (1)",
          "create synonym app.s for app.t", "create public synonym pub for app.t",
          "create synonym app.dangling for app.nothing",
          "create global temporary table app.g (id number primary key, v varchar2(5)) "
          "on commit preserve rows",
          "create global temporary table app.h (id number)"}) {
      exec(*sys, sql);
    }
    app = db->logon("APP", "a");
  }
  void reopenDatabase() {
    sys.reset();
    app.reset();
    db = reopen(db);
    sys = db->logon("SYSTEM", "manager");
    app = db->logon("APP", "a");
  }
  Rows looks() {
    return query(*sys,
                 "select owner, synonym_name, table_owner, table_name from dba_synonyms "
                 "where table_owner = 'APP' union all "
                 "select owner, table_name, temporary, duration from dba_tables "
                 "where owner = 'APP' order by 1, 2");
  }
  TempDir dir;
  std::shared_ptr<Database> db;
  std::unique_ptr<Session> sys;
  std::unique_ptr<Session> app;
};

TEST_F(SynonymsAndTemporaryTables, DefinitionsSurviveJournalAndSnapshotRowsDoNot) {
  exec(*app, "insert into g values (1, 'mine')");
  exec(*sys, "drop table app.t");  // the synonyms stay, INVALID
  Rows expected = {{"APP", "DANGLING", "APP", "NOTHING"},
                   {"APP", "G", "Y", "SYS$SESSION"},
                   {"APP", "H", "Y", "SYS$TRANSACTION"},
                   {"APP", "S", "APP", "T"},
                   {"PUBLIC", "PUB", "APP", "T"}};
  ASSERT_EQ(looks(), expected);
  reopenDatabase();  // from the journal
  EXPECT_EQ(looks(), expected);
  EXPECT_EQ(query(*app, "select count(*) from g"), Rows{{"0"}});
  EXPECT_EQ(query(*sys,
                  "select object_name, status from dba_objects where owner in ('APP', 'PUBLIC') "
                  "and object_type = 'SYNONYM' order by 1"),
            (Rows{{"DANGLING", "VALID"}, {"PUB", "INVALID"}, {"S", "INVALID"}}));
  exec(*app, "insert into g values (2, 'again')");
  storageOf(*db).compact(*db);
  reopenDatabase();  // from the snapshot
  EXPECT_EQ(looks(), expected);
  EXPECT_EQ(query(*app, "select count(*) from g"), Rows{{"0"}});
  // Both kinds of synonym still translate once their object is back; the temporary table
  // keeps its key.
  exec(*app, "create table t (id number)");
  EXPECT_EQ(errorCode(*app, "select * from s"), 0);
  EXPECT_EQ(errorCode(*app, "select * from pub"), 0);
  exec(*app, "insert into g values (1, 'a')");
  EXPECT_EQ(errorCode(*app, "insert into g values (1, 'b')"), 1);
  // Dropped and replaced synonyms are replayed too.
  exec(*sys, "drop synonym app.dangling");
  exec(*sys, "create or replace public synonym pub for app.g");
  reopenDatabase();
  EXPECT_EQ(query(*sys, "select table_name from dba_synonyms where synonym_name = 'PUB'"),
            Rows{{"G"}});
  EXPECT_EQ(query(*sys, "select count(*) from dba_synonyms where synonym_name = 'DANGLING'"),
            Rows{{"0"}});
}

// An image of the catalog written before synonyms ends after the users' tablespaces.
TEST(SynonymCodec, ImageWithoutTheSynonymListStillReads) {
  Catalog catalog;
  auto synonym = std::make_unique<Synonym>();
  synonym->header.owner = "PUBLIC";
  synonym->header.name = "P";
  synonym->tableOwner = "APP";
  synonym->tableName = "T";
  ByteWriter empty;
  writeCatalog(empty, catalog);
  catalog.addSynonym(std::move(synonym));
  ByteWriter full;
  writeCatalog(full, catalog);
  ByteReader in(full.buffer());
  CatalogImage image = readCatalog(in);
  ASSERT_EQ(image.synonyms.size(), 1u);
  EXPECT_EQ(image.synonyms.begin()->second->tableName, "T");
  // The older image: the same bytes without the synonym count at the end.
  std::string old = empty.buffer();
  ASSERT_EQ(old.back(), '\0');
  old.pop_back();
  ByteReader legacy(old);
  EXPECT_TRUE(readCatalog(legacy).synonyms.empty());
}

}  // namespace
}  // namespace ocisim::storage::testing
