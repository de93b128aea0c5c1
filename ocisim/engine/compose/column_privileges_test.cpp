// Column privileges and the grantor of object grants: kept apart from the grants on whole
// objects, enforced column by column (directly, through roles and PUBLIC), written to the
// journal and the snapshot, and read back from files that predate them.
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

class ColumnPrivileges : public ::testing::Test {
 protected:
  void SetUp() override {
    db = createDatabase(dir.sub("db"));
    sys = db->logon("SYSTEM", "manager");
    for (const char* sql : {"create user app identified by a", "create user clerk identified by c",
                            "grant create session, create table to app, clerk",
                            "create table app.pay (id number primary key, name varchar2(9), "
                            "salary number, grade number)",
                            "insert into app.pay values (1, 'ANN', 10, 1)"}) {
      exec(*sys, sql);
    }
    app = db->logon("APP", "a");
    clerk = db->logon("CLERK", "c");
  }
  void reopenDatabase() {
    sys.reset();
    app.reset();
    clerk.reset();
    db = reopen(db);
    sys = db->logon("SYSTEM", "manager");
    app = db->logon("APP", "a");
    clerk = db->logon("CLERK", "c");
  }
  Rows columnGrants() {
    return query(*sys,
                 "select grantee, column_name, grantor, privilege, grantable from dba_col_privs "
                 "where owner = 'APP' order by grantee, column_name, privilege");
  }
  TempDir dir;
  std::shared_ptr<Database> db;
  std::unique_ptr<Session> sys;
  std::unique_ptr<Session> app;
  std::unique_ptr<Session> clerk;
};

TEST_F(ColumnPrivileges, UpdateAndInsertAreCheckedColumnByColumn) {
  exec(*app, "grant update (salary) on pay to clerk");
  EXPECT_EQ(errorCode(*clerk, "update app.pay set salary = 11"), 0);
  EXPECT_EQ(errorCode(*clerk, "update app.pay set grade = 2"), 1031);
  EXPECT_EQ(errorCode(*clerk, "update app.pay set salary = 12, grade = 2"), 1031);
  EXPECT_EQ(errorCode(*clerk, "insert into app.pay (id, salary) values (2, 1)"), 1031)
      << "an UPDATE column privilege is no INSERT privilege";
  // Through a role and through PUBLIC.
  exec(*sys, "create role payroll");
  exec(*app, "grant update (grade) on pay to payroll");
  exec(*app, "grant insert (id, name) on pay to public");
  EXPECT_EQ(errorCode(*clerk, "update app.pay set grade = 2"), 1031);
  exec(*sys, "grant payroll to clerk");
  EXPECT_EQ(errorCode(*clerk, "update app.pay set salary = 12, grade = 2"), 0);
  EXPECT_EQ(errorCode(*clerk, "insert into app.pay (id, name) values (2, 'BO')"), 0);
  EXPECT_EQ(errorCode(*clerk, "insert into app.pay values (3, 'CY', 1, 1)"), 1031)
      << "without a column list every column is written";
  EXPECT_EQ(query(*sys, "select id, salary, grade from app.pay order by id"),
            (Rows{{"1", "12", "2"}, {"2", "NULL", "NULL"}}));
  // A grant on the whole table covers every column; it is no column privilege.
  exec(*app, "grant update on pay to clerk");
  EXPECT_EQ(errorCode(*clerk, "update app.pay set name = 'X'"), 0);
  EXPECT_EQ(query(*clerk, "select count(*) from user_col_privs_recd where privilege = 'UPDATE'"),
            Rows{{"1"}});
  EXPECT_EQ(query(*clerk, "select count(*) from all_tab_privs where privilege = 'UPDATE'"),
            Rows{{"1"}});
  // REVOKE UPDATE takes the table privilege and the column privileges with it.
  exec(*app, "revoke update on pay from clerk");
  EXPECT_EQ(errorCode(*clerk, "update app.pay set salary = 1"), 1031);
  EXPECT_EQ(errorCode(*clerk, "update app.pay set grade = 3"), 0) << "the role's grant stays";
}

TEST_F(ColumnPrivileges, ReferencesOnTheKeyColumnsAllowsAForeignKey) {
  exec(*app, "grant references (name) on pay to clerk");
  EXPECT_EQ(errorCode(*clerk, "create table c1 (p number references app.pay)"), 1031)
      << "the key is ID, not NAME";
  exec(*app, "grant references (id) on pay to clerk");
  EXPECT_EQ(errorCode(*clerk, "create table c1 (p number references app.pay)"), 0);
}

TEST_F(ColumnPrivileges, GrantsFollowRenamesAndDropsAndSurviveJournalAndSnapshot) {
  exec(*app, "grant update (name, grade) on pay to clerk with grant option");
  exec(*clerk, "grant update (name) on app.pay to public");
  exec(*app, "alter table pay rename column name to full_name");
  exec(*app, "alter table pay drop column grade");
  Rows expected = {{"CLERK", "FULL_NAME", "APP", "UPDATE", "YES"},
                   {"PUBLIC", "FULL_NAME", "CLERK", "UPDATE", "NO"}};
  ASSERT_EQ(columnGrants(), expected);
  reopenDatabase();  // from the journal
  EXPECT_EQ(columnGrants(), expected);
  storageOf(*db).compact(*db);
  reopenDatabase();  // from the snapshot
  EXPECT_EQ(columnGrants(), expected);
  EXPECT_EQ(errorCode(*clerk, "update app.pay set full_name = 'Z'"), 0);
  EXPECT_EQ(errorCode(*clerk, "update app.pay set salary = 0"), 1031);
  EXPECT_EQ(query(*sys, "select count(*) from dba_tab_privs where owner = 'APP'"), Rows{{"0"}});
}

TEST_F(ColumnPrivileges, GrantAnyObjectPrivilegeGrantsAndRevokesAsTheOwner) {
  exec(*sys, "create user agent identified by g");
  exec(*sys, "grant create session, grant any object privilege to agent");
  auto agent = db->logon("AGENT", "g");
  exec(*agent, "grant select on app.pay to clerk");
  exec(*agent, "grant update (salary) on app.pay to clerk");
  EXPECT_EQ(query(*sys, "select grantor from dba_tab_privs where grantee = 'CLERK'"),
            Rows{{"APP"}});
  EXPECT_EQ(query(*sys, "select grantor from dba_col_privs where grantee = 'CLERK'"),
            Rows{{"APP"}});
  // The owner may revoke what was granted on its behalf.
  exec(*app, "revoke select on pay from clerk");
  EXPECT_EQ(errorCode(*clerk, "select * from app.pay"), 1031) << "UPDATE (SALARY) remains";
}

// Versions 1 to 4 wrote a bool (grantable) where version 5 writes flags and the column.
TEST(ObjectGrantCodec, FlagsRoundTripAndTheOldBoolStillReads) {
  std::vector<ObjectPrivilegeGrant> grants = {
      {"CLERK", "APP", "PAY", "UPDATE", "APP", true, "SALARY"},
      {"PUBLIC", "APP", "PAY", "SELECT", "APP", false, ""}};
  ByteWriter out;
  writeRecord(out, grants);
  ByteReader in(out.buffer());
  std::vector<ObjectPrivilegeGrant> back = readObjectGrantList(in);
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0].column, "SALARY");
  EXPECT_TRUE(back[0].grantable);
  EXPECT_EQ(back[1].column, "");
  EXPECT_FALSE(back[1].grantable);

  std::vector<ObjectPrivilegeGrant> whole = {{"PUBLIC", "APP", "PAY", "SELECT", "APP", false, ""}};
  for (uint8_t old : {0, 1}) {
    ByteWriter one;
    writeRecord(one, whole);
    std::string bytes = one.buffer();
    bytes.back() = static_cast<char>(old);  // the flags byte ends a grant without a column
    ByteReader legacy(bytes);
    std::vector<ObjectPrivilegeGrant> read = readObjectGrantList(legacy);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].grantable, old == 1);
    EXPECT_EQ(read[0].column, "");
  }
  ByteWriter bad;
  writeRecord(bad, whole);
  std::string bytes = bad.buffer();
  bytes.back() = 4;
  ByteReader damaged(bytes);
  EXPECT_THROW(readObjectGrantList(damaged), CorruptData);
}

}  // namespace
}  // namespace ocisim::storage::testing
