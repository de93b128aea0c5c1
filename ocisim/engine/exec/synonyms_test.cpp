// Synonyms: the order in which a name is resolved, chains, loops and lost objects, privileges
// taken from the object, sequences and grants through synonyms, and the CREATE / DROP rules.
#include <gtest/gtest.h>

#include "engine/exec/test_support.h"

namespace ocisim::testing {
namespace {

class SynonymTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    for (const char* user : {"A", "B"}) {
      exec(*sys, std::string("create user ") + user + " identified by x");
      exec(*sys, std::string("grant create session, create table, create sequence, "
                             "create synonym to ") +
                     user);
    }
    a = db->logon("A", "x");
    b = db->logon("B", "x");
    exec(*a, "create table t (v varchar2(10))");
    exec(*a, "insert into t values ('A.T')");
    exec(*b, "create table t (v varchar2(10))");
    exec(*b, "insert into t values ('B.T')");
  }
  std::unique_ptr<Session> a, b;
};

TEST_F(SynonymTest, OwnObjectThenPrivateThenPublicSynonym) {
  exec(*sys, "create public synonym t for a.t");
  exec(*sys, "create public synonym only_public for a.t");
  exec(*a, "grant select on t to b");
  // B's own table wins over the public synonym of the same name.
  EXPECT_EQ(column(*b, "select v from t"), (std::vector<std::string>{"B.T"}));
  EXPECT_EQ(column(*b, "select v from only_public"), (std::vector<std::string>{"A.T"}));
  // A private synonym wins over the public one.
  exec(*b, "create synonym only_public for t");
  EXPECT_EQ(column(*b, "select v from only_public"), (std::vector<std::string>{"B.T"}));
  // A qualified name looks in that schema only: its object or its private synonym.
  exec(*a, "create synonym s for t");
  EXPECT_EQ(column(*b, "select v from a.s"), (std::vector<std::string>{"A.T"}));
  EXPECT_EQ(errorCode(*b, "select v from a.only_public"), 942);
}

TEST_F(SynonymTest, PrivilegesComeFromTheObject) {
  exec(*sys, "create public synonym pt for a.t");
  EXPECT_EQ(errorCode(*b, "select * from pt"), 942);
  exec(*a, "grant select on t to b");
  EXPECT_EQ(errorCode(*b, "select * from pt"), 0);
  EXPECT_EQ(errorCode(*b, "insert into pt values ('x')"), 1031);
  exec(*a, "grant insert (v) on t to b");
  EXPECT_EQ(errorCode(*b, "insert into pt (v) values ('x')"), 0);
  // A grant through a synonym is a grant on its object.
  exec(*a, "create synonym s for t");
  exec(*a, "grant update on s to b");
  EXPECT_EQ(exec(*b, "update pt set v = 'y' where v = 'x'"), 1u);
  EXPECT_EQ(column(*a, "select count(*) from t where v = 'y'"), (std::vector<std::string>{"1"}));
}

TEST_F(SynonymTest, ChainsLoopsAndLostObjects) {
  exec(*a, "create synonym s1 for t");
  exec(*a, "create synonym s2 for s1");
  exec(*a, "create synonym s3 for s2");
  EXPECT_EQ(column(*a, "select v from s3"), (std::vector<std::string>{"A.T"}));
  exec(*a, "create synonym l1 for l2");
  exec(*a, "create synonym l2 for l1");
  EXPECT_EQ(errorCode(*a, "select * from l1"), 1775);
  exec(*a, "create synonym nothing_yet for not_there");
  EXPECT_EQ(errorCode(*a, "select * from nothing_yet"), 980);
  exec(*a, "create table not_there (n number)");
  EXPECT_EQ(errorCode(*a, "select * from nothing_yet"), 0);
  // Dropping the object keeps the synonym, INVALID until it translates again.
  exec(*a, "drop table t");
  ASSERT_NE(db->catalog().findSynonym("A", "S1"), nullptr);
  EXPECT_FALSE(db->catalog().findSynonym("A", "S1")->header.valid);
  EXPECT_FALSE(db->catalog().findSynonym("A", "S3")->header.valid);
  EXPECT_EQ(errorCode(*a, "select * from s3"), 980);
  exec(*a, "create table t (v varchar2(10))");
  EXPECT_EQ(errorCode(*a, "select * from s3"), 0);
  EXPECT_TRUE(db->catalog().findSynonym("A", "S1")->header.valid);
}

TEST_F(SynonymTest, SequencesThroughSynonyms) {
  exec(*a, "create sequence q start with 5");
  exec(*a, "create synonym qs for q");
  EXPECT_EQ(column(*a, "select qs.nextval from dual"), (std::vector<std::string>{"5"}));
  EXPECT_EQ(column(*a, "select q.currval from dual"), (std::vector<std::string>{"5"}));
  exec(*sys, "create public synonym pq for a.q");
  EXPECT_EQ(errorCode(*b, "select pq.nextval from dual"), 2289);
  exec(*a, "grant select on q to b");
  EXPECT_EQ(column(*b, "select pq.nextval from dual"), (std::vector<std::string>{"6"}));
}

TEST_F(SynonymTest, CreateAndDropRules) {
  // A private synonym shares its schema's namespace.
  EXPECT_EQ(errorCode(*a, "create synonym t for b.t"), 955);
  exec(*a, "create synonym s for b.t");
  EXPECT_EQ(errorCode(*a, "create table s (n number)"), 955);
  EXPECT_EQ(errorCode(*a, "create synonym s for t"), 955);
  EXPECT_EQ(errorCode(*a, "create or replace synonym s for t"), 0);
  EXPECT_EQ(db->catalog().findSynonym("A", "S")->tableOwner, "A");
  EXPECT_EQ(errorCode(*a, "create synonym self for self"), 1471);
  // Public synonyms live apart from every schema.
  exec(*sys, "create public synonym s for a.t");
  EXPECT_EQ(errorCode(*sys, "create public synonym s for b.t"), 955);
  EXPECT_EQ(errorCode(*sys, "create public synonym dual for sys.dual"), 955);
  // Privileges: CREATE ANY SYNONYM for another schema, CREATE / DROP PUBLIC SYNONYM.
  EXPECT_EQ(errorCode(*a, "create synonym b.x for a.t"), 1031);
  EXPECT_EQ(errorCode(*a, "create public synonym x for a.t"), 1031);
  EXPECT_EQ(errorCode(*a, "drop public synonym s"), 1031);
  exec(*sys, "grant create any synonym, drop any synonym, create public synonym to a");
  EXPECT_EQ(errorCode(*a, "create synonym b.x for a.t"), 0);
  EXPECT_EQ(errorCode(*a, "create public synonym x for a.t"), 0);
  EXPECT_EQ(errorCode(*a, "drop public synonym x"), 1031);
  EXPECT_EQ(errorCode(*a, "drop synonym b.x"), 0);
  EXPECT_EQ(errorCode(*a, "drop synonym b.x"), 1434);
  EXPECT_EQ(errorCode(*sys, "drop public synonym x force"), 0);
  EXPECT_EQ(errorCode(*sys, "drop public synonym x"), 1432);
  EXPECT_EQ(errorCode(*a, "create synonym far for t@elsewhere"), 3001);
  // DROP USER ... CASCADE takes the user's private synonyms; a user owning only synonyms
  // needs CASCADE.
  exec(*sys, "create user c identified by x");
  exec(*sys, "create synonym c.cs for a.t");
  EXPECT_EQ(errorCode(*sys, "drop user c"), 1922);
  exec(*sys, "drop user c cascade");
  EXPECT_EQ(db->catalog().findSynonym("C", "CS"), nullptr);
  EXPECT_NE(db->catalog().findSynonym("PUBLIC", "S"), nullptr);
}

}  // namespace
}  // namespace ocisim::testing
