// More DDL rules: constraint life cycle, index reuse, renames, truncation, sequences that
// cycle, and the privileges DDL needs.
#include "engine/exec/test_support.h"

namespace ocisim::testing {
namespace {

using Strings = std::vector<std::string>;

class DdlMoreTest : public EngineTest {
 protected:
  const Catalog& cat() { return db->catalog(); }
};

TEST_F(DdlMoreTest, KeyReusesAnExistingIndexAndKeepsIt) {
  exec(*sys, "create table k (a number, b number)");
  exec(*sys, "create index k_ab on k (a, b)");
  exec(*sys, "alter table k add constraint k_pk primary key (a, b)");
  EXPECT_EQ(cat().findConstraint("SYSTEM", "K_PK")->indexName, "K_AB");
  EXPECT_EQ(cat().findIndex("SYSTEM", "K_PK"), nullptr);
  EXPECT_EQ(errorCode(*sys, "drop index k_ab"), 2429);
  EXPECT_FALSE(cat().isNullable("SYSTEM", "K", "A"));
  exec(*sys, "alter table k drop primary key");
  EXPECT_NE(cat().findIndex("SYSTEM", "K_AB"), nullptr) << "an index the key borrowed stays";
  EXPECT_TRUE(cat().isNullable("SYSTEM", "K", "A")) << "dropping the key makes columns nullable";
  EXPECT_EQ(errorCode(*sys, "alter table k drop primary key"), 2441);
  exec(*sys, "insert into k values (1, 1)");
  exec(*sys, "insert into k values (1, 1)");
  EXPECT_EQ(errorCode(*sys, "create unique index k_u on k (a)"), 1452);
  EXPECT_EQ(cat().findIndex("SYSTEM", "K_U"), nullptr);
  EXPECT_EQ(errorCode(*sys, "create index k_c on k (b) compress 2"), 25194);
}

TEST_F(DdlMoreTest, DroppingKeysAndColumnsReferencedByOthers) {
  exec(*sys,
       "create table p (id number constraint p_pk primary key, code number, "
       "constraint p_code_uk unique (code, id))");
  exec(*sys,
       "create table c (id number, pid number constraint c_fk references p, "
       "pcode number, constraint c_code_fk foreign key (pcode, pid) references p (code, id) "
       "on delete set null)");
  EXPECT_EQ(errorCode(*sys, "alter table p drop constraint p_pk"), 2273);
  EXPECT_EQ(errorCode(*sys, "alter table p drop column id"), 12991)
      << "ID is part of the two-column unique key";
  EXPECT_EQ(errorCode(*sys, "truncate table p"), 2266);
  exec(*sys, "alter table p drop constraint p_pk cascade");
  EXPECT_EQ(cat().findConstraint("SYSTEM", "C_FK"), nullptr);
  EXPECT_EQ(cat().findIndex("SYSTEM", "P_PK"), nullptr);
  exec(*sys, "alter table p drop column id cascade constraints");
  EXPECT_EQ(cat().findConstraint("SYSTEM", "P_CODE_UK"), nullptr);
  EXPECT_EQ(cat().findConstraint("SYSTEM", "C_CODE_FK"), nullptr);
  EXPECT_EQ(errorCode(*sys, "alter table p drop column code"), 12983);
}

TEST_F(DdlMoreTest, DeleteRuleSetNullMeetsNotNull) {
  exec(*sys, "create table p (id number primary key)");
  exec(*sys, "create table c (pid number not null references p on delete set null)");
  exec(*sys, "insert into p values (1)");
  exec(*sys, "insert into c values (1)");
  EXPECT_EQ(errorCode(*sys, "delete from p"), 1407);
  EXPECT_EQ(column(*sys, "select count(*) from p"), (Strings{"1"}));
}

TEST_F(DdlMoreTest, EnableAndDisableConstraints) {
  exec(*sys, "create table e (v number constraint e_ck check (v > 0))");
  exec(*sys, "alter table e disable constraint e_ck");
  exec(*sys, "insert into e values (-1)");
  EXPECT_EQ(errorCode(*sys, "alter table e enable constraint e_ck"), 2293);
  EXPECT_FALSE(cat().findConstraint("SYSTEM", "E_CK")->enabled);
  exec(*sys, "delete from e");
  exec(*sys, "alter table e enable constraint e_ck");
  EXPECT_EQ(errorCode(*sys, "insert into e values (-1)"), 2290);
  EXPECT_EQ(errorCode(*sys, "alter table e disable constraint nosuch"), 2431);
}

TEST_F(DdlMoreTest, RenamesFollowDependents) {
  exec(*sys, "create table r (a number primary key, b number not null check (b < 10))");
  exec(*sys, "create index r_b on r (b)");
  exec(*sys, "grant select on r to public");
  exec(*sys, "alter table r rename column b to bb");
  EXPECT_EQ(errorCode(*sys, "insert into r values (1, 20)"), 2290) << "the check follows";
  EXPECT_EQ(errorCode(*sys, "insert into r (a) values (2)"), 1400);
  exec(*sys, "alter table r rename to r2");
  EXPECT_EQ(cat().findIndex("SYSTEM", "R_B")->tableName, "R2");
  EXPECT_EQ(cat().primaryKeyOf("SYSTEM", "R2")->tableName, "R2");
  EXPECT_TRUE(cat().hasObjectPrivilege("PUBLIC", "SYSTEM", "R2", "SELECT"));
  exec(*sys, "insert into r2 values (3, 3)");
  EXPECT_EQ(errorCode(*sys, "select * from r"), 942);
  EXPECT_EQ(errorCode(*sys, "alter table r2 rename column a to bb"), 957);
}

TEST_F(DdlMoreTest, CyclingSequencesAndDescendingOnes) {
  exec(*sys, "create sequence c minvalue 1 maxvalue 3 cycle nocache");
  EXPECT_EQ(column(*sys, "select c.nextval from dual connect by level <= 5"),
            (Strings{"1", "2", "3", "1", "2"}));
  exec(*sys, "create sequence d increment by -1");
  EXPECT_EQ(column(*sys, "select d.nextval from dual"), (Strings{"-1"}));
  EXPECT_EQ(errorCode(*sys, "create sequence e minvalue 1 maxvalue 10 cycle cache 20"), 4013);
  EXPECT_EQ(errorCode(*sys, "create sequence f increment by 0"), 4002);
}

TEST_F(DdlMoreTest, PrivilegesForDdl) {
  exec(*sys, "create user dev identified by dev");
  exec(*sys, "grant create session to dev");
  auto dev = db->logon("DEV", "dev");
  EXPECT_EQ(errorCode(*dev, "create sequence s"), 1031);
  EXPECT_EQ(errorCode(*dev, "create view v as select 1 x from dual"), 1031);
  EXPECT_EQ(errorCode(*dev, "create user x identified by x"), 1031);
  exec(*sys, "grant resource to dev");
  exec(*dev, "create sequence s");
  exec(*dev, "create table t (a number)");
  EXPECT_EQ(errorCode(*dev, "create table system.t2 (a number)"), 1031);
  exec(*sys, "create table system.t3 (a number)");
  EXPECT_EQ(errorCode(*dev, "alter table system.t3 add (b number)"), 942);
  EXPECT_EQ(errorCode(*dev, "drop table system.t3"), 1031);
  exec(*sys, "grant all on t3 to dev");
  exec(*dev, "alter table system.t3 add (b number)");
  exec(*dev, "insert into system.t3 values (1, 2)");
  exec(*sys, "revoke all on t3 from dev");
  EXPECT_EQ(errorCode(*dev, "select * from system.t3"), 942);
}

TEST_F(DdlMoreTest, RolesAdminOptionAndComments) {
  exec(*sys, "create user boss identified by b");
  exec(*sys, "grant create session, create role to boss");
  auto boss = db->logon("BOSS", "b");
  exec(*boss, "create role team");
  // The creator holds the role with ADMIN OPTION.
  exec(*boss, "grant team to system");
  exec(*boss, "drop role team");
  EXPECT_EQ(errorCode(*sys, "drop role team"), 1919);
  EXPECT_EQ(errorCode(*sys, "grant dba to dba"), 1934);
  exec(*sys, "create table doc (a number)");
  exec(*sys, "comment on table doc is 'documented'");
  exec(*sys, "comment on column doc.a is 'the a'");
  EXPECT_EQ(cat().comments().size(), 2u);
  EXPECT_EQ(errorCode(*sys, "comment on column doc.nosuch is 'x'"), 904);
  exec(*sys, "drop table doc");
  EXPECT_TRUE(cat().comments().empty());
}

}  // namespace
}  // namespace ocisim::testing
