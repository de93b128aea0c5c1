// Users, roles, grants, and what each user may see and do.
#include "engine/compose/engine.h"
#include "engine/compose/test_support.h"

namespace ocisim::testing {
namespace {

class PrivilegeTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    exec(*sys, "create user alice identified by Secret");
    exec(*sys, "create user bob identified by bob");
    exec(*sys, "grant create session, create table to alice");
    exec(*sys, "grant create session to bob");
    alice = db->logon("alice", "Secret");
    bob = db->logon("BOB", "bob");
    exec(*alice, "create table notes (id number primary key, txt varchar2(20))");
    exec(*alice, "insert into notes values (1, 'hello')");
  }
  std::unique_ptr<Session> alice;
  std::unique_ptr<Session> bob;
};

TEST_F(PrivilegeTest, LogonRules) {
  EXPECT_THROW(db->logon("alice", "secret"), OraError) << "passwords are case-sensitive";
  try {
    db->logon("nobody", "x");
    FAIL();
  } catch (const OraError& e) {
    EXPECT_EQ(e.code(), 1017);
  }
  exec(*sys, "create user carol identified by c");
  try {
    db->logon("carol", "c");
    FAIL();
  } catch (const OraError& e) {
    EXPECT_EQ(e.code(), 1045);
  }
  auto old = createDatabaseInMemory({"OLD", "8.1.7", "manager"});
  EXPECT_NO_THROW(old->logon("system", "MANAGER")) << "before 11 passwords ignore case";
}

TEST_F(PrivilegeTest, ObjectsAreInvisibleUntilGranted) {
  EXPECT_EQ(errorCode(*bob, "select * from alice.notes"), 942);
  EXPECT_EQ(errorCode(*bob, "select * from notes"), 942) << "unqualified names are bob's own";
  exec(*alice, "grant select on notes to bob");
  EXPECT_EQ(query(*bob, "select txt from alice.notes"), (Rows{{"hello"}}));
  EXPECT_EQ(errorCode(*bob, "delete from alice.notes"), 1031) << "visible but not deletable";
  EXPECT_EQ(errorCode(*bob, "create table mine (x number)"), 1031);
  exec(*alice, "revoke select on notes from bob");
  EXPECT_EQ(errorCode(*bob, "select * from alice.notes"), 942);
  EXPECT_EQ(query(*sys, "select count(*) from alice.notes"), (Rows{{"1"}})) << "DBA sees all";
}

TEST_F(PrivilegeTest, RolesAndGrantOptions) {
  exec(*sys, "create role reader");
  exec(*alice, "grant select on notes to reader");
  EXPECT_EQ(errorCode(*sys, "grant reader to nobody"), 1917);
  exec(*sys, "grant reader to bob");
  EXPECT_EQ(query(*bob, "select id from alice.notes"), (Rows{{"1"}}));
  EXPECT_EQ(errorCode(*bob, "grant select on alice.notes to system"), 1031);
  exec(*alice, "grant insert on notes to bob with grant option");
  exec(*bob, "grant insert on alice.notes to public");
  EXPECT_EQ(errorCode(*bob, "revoke select on alice.notes from reader"), 1927)
      << "only the grantor (or the owner) revokes";
  exec(*alice, "revoke insert on notes from bob");
  EXPECT_EQ(errorCode(*bob, "insert into alice.notes values (2, 'x')"), 1031)
      << "the grant bob passed on went with his own";
  EXPECT_EQ(errorCode(*sys, "grant nosuchprivilege to bob"), 990);
  EXPECT_EQ(errorCode(*sys, "revoke create view from bob"), 1952);
  EXPECT_EQ(errorCode(*sys, "create user bob identified by x"), 1920);
  EXPECT_EQ(errorCode(*alice, "grant select on notes to alice"), 1749);
}

TEST_F(PrivilegeTest, DropUserCascade) {
  EXPECT_EQ(errorCode(*sys, "drop user alice"), 1922);
  alice.reset();
  exec(*sys, "drop user alice cascade");
  EXPECT_EQ(db->catalog().findTable("ALICE", "NOTES"), nullptr);
  EXPECT_EQ(errorCode(*sys, "drop user alice"), 1918);
}

// A user stays while any session of it is live (one ended does not count); the refusal drops
// nothing of its schema.
TEST_F(PrivilegeTest, DropUserWhileConnected) {
  auto bob2 = db->logon("bob", "bob");
  EXPECT_THROW(db->logon("bob", "wrong"), OraError);
  EXPECT_EQ(errorCode(*sys, "drop user bob"), 1940);
  bob.reset();
  EXPECT_EQ(errorCode(*sys, "drop user bob"), 1940) << "its second session is still live";
  bob2.reset();
  exec(*sys, "drop user bob");
  EXPECT_EQ(db->catalog().findUser("BOB"), nullptr);

  EXPECT_EQ(errorCode(*sys, "drop user alice cascade"), 1940);
  EXPECT_EQ(query(*sys, "select txt from alice.notes"), (Rows{{"hello"}}));
  exec(*sys, "grant drop user to alice");
  EXPECT_EQ(errorCode(*alice, "drop user alice cascade"), 1940) << "not even itself";
  EXPECT_EQ(errorCode(*sys, "drop user system"), 1031);

  // A user logged on again after a drop is a new user with its own sessions.
  exec(*sys, "create user bob identified by bob");
  exec(*sys, "grant create session to bob");
  bob = db->logon("bob", "bob");
  EXPECT_EQ(errorCode(*sys, "drop user bob"), 1940);
}

// CONNECT held eight privileges before release 10.2 and CREATE SESSION alone from then on.
TEST(ConnectRoleTest, PrivilegesFollowTheRelease) {
  const std::vector<std::string> old = {"ALTER SESSION",   "CREATE CLUSTER", "CREATE DATABASE LINK",
                                        "CREATE SEQUENCE", "CREATE SESSION", "CREATE SYNONYM",
                                        "CREATE TABLE",    "CREATE VIEW"};
  const std::vector<std::string> now = {"CREATE SESSION"};
  for (const auto& [version, expected] :
       std::vector<std::pair<std::string, std::vector<std::string>>>{{"7.3.4", old},
                                                                     {"8.1.7", old},
                                                                     {"9.2.0", old},
                                                                     {"10.1.0", old},
                                                                     {"10.2.0", now},
                                                                     {"19.3.0", now}}) {
    auto db = createDatabaseInMemory({"X", version, "manager"});
    auto sys = db->logon("system", "manager");
    EXPECT_EQ(column(*sys, "select privilege from dba_sys_privs where grantee = 'CONNECT' "
                           "order by privilege"),
              expected)
        << version;
    exec(*sys, "create user app identified by app");
    exec(*sys, "grant connect to app");
    auto app = db->logon("app", "app");
    bool before102 = expected.size() > 1;
    EXPECT_EQ(errorCode(*app, "create table t (x number)"), before102 ? 0 : 1031) << version;
    EXPECT_EQ(errorCode(*app, "create sequence q"), before102 ? 0 : 1031) << version;
    EXPECT_EQ(errorCode(*app, "create procedure p as begin null; end;"), 1031) << version;
  }
}

}  // namespace
}  // namespace ocisim::testing
