// More DDL rules: constraint life cycle, index reuse, renames, truncation, sequences that
// cycle, and the privileges DDL needs.
#include "engine/compose/test_support.h"

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

TEST_F(DdlMoreTest, ConstraintStatesAreKeptAndEnforcedAsStated) {
  exec(*sys, "create table sp (id number constraint sp_pk primary key)");
  exec(*sys,
       "create table sc (id number, pid number constraint sc_fk references sp "
       "initially deferred, v number constraint sc_ck check (v > 0) disable)");
  const Constraint* fk = cat().findConstraint("SYSTEM", "SC_FK");
  EXPECT_TRUE(fk->deferrable && fk->deferred && fk->enabled && fk->validated);
  // a deferred violation is found when the statement commits: ORA-02091 with the reason
  exec(*sys, "insert into sp values (1)");
  exec(*sys, "insert into sc values (1, 1, -5)");
  EXPECT_EQ(errorCode(*sys, "insert into sc values (2, 7, 1)"), 2091);
  EXPECT_EQ(errorCode(*sys, "delete from sp"), 2091);
  EXPECT_EQ(column(*sys, "select count(*) from sc"), (Strings{"1"}));
  // ENABLE NOVALIDATE leaves the rows there are and checks new ones
  EXPECT_EQ(errorCode(*sys, "alter table sc enable constraint sc_ck"), 2293);
  exec(*sys, "alter table sc enable novalidate constraint sc_ck");
  EXPECT_FALSE(cat().findConstraint("SYSTEM", "SC_CK")->validated);
  EXPECT_EQ(errorCode(*sys, "insert into sc values (3, 1, -1)"), 2290);
  // DISABLE VALIDATE: no DML on the table
  exec(*sys, "alter table sc disable validate constraint sc_ck");
  EXPECT_EQ(errorCode(*sys, "insert into sc values (3, 1, 1)"), 25128);
  exec(*sys, "alter table sc modify constraint sc_ck disable novalidate");
  exec(*sys, "insert into sc values (3, 1, -1)");
  // deferrability is fixed at creation
  EXPECT_EQ(errorCode(*sys, "alter table sc modify constraint sc_ck initially deferred"), 2447);
  exec(*sys, "alter table sc modify constraint sc_fk initially immediate");
  EXPECT_EQ(errorCode(*sys, "insert into sc values (4, 9, 1)"), 2291);
}

TEST_F(DdlMoreTest, DisabledKeyLosesTheIndexItMadeAndGetsItBack) {
  exec(*sys, "create table dk (id number constraint dk_pk primary key)");
  exec(*sys, "alter table dk disable primary key");
  EXPECT_EQ(cat().findIndex("SYSTEM", "DK_PK"), nullptr);
  EXPECT_TRUE(cat().isNullable("SYSTEM", "DK", "ID"));
  exec(*sys, "insert into dk values (1)");
  exec(*sys, "insert into dk values (1)");
  EXPECT_EQ(errorCode(*sys, "alter table dk enable primary key"), 2437);
  exec(*sys, "delete from dk");
  exec(*sys, "alter table dk enable primary key");
  ASSERT_NE(cat().findIndex("SYSTEM", "DK_PK"), nullptr);
  EXPECT_TRUE(cat().findConstraint("SYSTEM", "DK_PK")->ownsIndex);
  // created disabled: no index until enabled
  exec(*sys, "create table dk2 (id number constraint dk2_uk unique disable)");
  EXPECT_EQ(cat().findIndex("SYSTEM", "DK2_UK"), nullptr);
  exec(*sys, "alter table dk2 enable constraint dk2_uk");
  EXPECT_NE(cat().findIndex("SYSTEM", "DK2_UK"), nullptr);
}

TEST_F(DdlMoreTest, DroppingAKeyKeepsAnIndexThatWasThereBefore) {
  exec(*sys, "create table ki (id number, c number)");
  exec(*sys, "create unique index ki_pk on ki (id)");
  exec(*sys, "alter table ki add constraint ki_pk primary key (id)");
  EXPECT_FALSE(cat().findConstraint("SYSTEM", "KI_PK")->ownsIndex);
  exec(*sys, "alter table ki drop constraint ki_pk");
  EXPECT_NE(cat().findIndex("SYSTEM", "KI_PK"), nullptr);
  exec(*sys, "alter table ki add constraint ki_pk primary key (id)");
  exec(*sys, "alter table ki drop primary key drop index");
  EXPECT_EQ(cat().findIndex("SYSTEM", "KI_PK"), nullptr);
  exec(*sys, "alter table ki add constraint ki_c_uk unique (c)");
  exec(*sys, "alter table ki drop unique (c) keep index");
  EXPECT_NE(cat().findIndex("SYSTEM", "KI_C_UK"), nullptr);
}

TEST_F(DdlMoreTest, TriggersAreEnabledAndDisabled) {
  exec(*sys, "create table tt (id number)");
  exec(*sys, "create trigger tt_bi before insert on tt for each row\nbegin\n  null;\nend;");
  exec(*sys, "alter trigger tt_bi disable");
  EXPECT_FALSE(cat().findTrigger("SYSTEM", "TT_BI")->enabled);
  exec(*sys, "alter table tt enable all triggers");
  EXPECT_TRUE(cat().findTrigger("SYSTEM", "TT_BI")->enabled);
  exec(*sys, "alter table tt disable all triggers");
  EXPECT_EQ(column(*sys, "select status from user_triggers where trigger_name = 'TT_BI'"),
            (Strings{"DISABLED"}));
  exec(*sys, "alter trigger tt_bi compile");
  EXPECT_EQ(errorCode(*sys, "alter trigger nosuch enable"), 4080);
  exec(*sys, "create user tu identified by tu");
  exec(*sys, "grant create session to tu");
  auto tu = db->logon("TU", "tu");
  EXPECT_EQ(errorCode(*tu, "alter trigger system.tt_bi enable"), 1031);
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
