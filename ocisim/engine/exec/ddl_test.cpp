// DDL with the Oracle behaviour upgrade scripts depend on.
#include "engine/exec/test_support.h"

namespace ocisim::testing {
namespace {

class DdlTest : public EngineTest {
 protected:
  std::string one(const std::string& sql) { return column(*sys, sql).at(0); }
};

TEST_F(DdlTest, CreateTableNamesConstraintsAndIndexes) {
  exec(*sys,
       "create table t (id number(10) primary key, name varchar2(30) not null, "
       "code varchar2(5) default 'X' constraint t_code_uk unique)");
  const Catalog& cat = db->catalog();
  Table* t = cat.findTable("SYSTEM", "T");
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->columns[2].defaultText, "'X' ") << "kept as written, up to the next token";
  Constraint* pk = cat.primaryKeyOf("SYSTEM", "T");
  ASSERT_NE(pk, nullptr);
  EXPECT_EQ(pk->name.rfind("SYS_C", 0), 0u);
  EXPECT_TRUE(pk->generatedName);
  ASSERT_NE(cat.findIndex("SYSTEM", pk->name), nullptr) << "the key's index takes its name";
  EXPECT_TRUE(cat.findIndex("SYSTEM", "T_CODE_UK")->unique);
  int notNullChecks = 0;
  for (Constraint* c : cat.constraintsOf("SYSTEM", "T")) {
    if (c->type == ConstraintType::Check) {
      ++notNullChecks;
      EXPECT_EQ(c->searchCondition, "\"NAME\" IS NOT NULL");
    }
  }
  EXPECT_EQ(notNullChecks, 1);
  EXPECT_EQ(errorCode(*sys, "create table t (x number)"), 955);
  EXPECT_EQ(errorCode(*sys, "create table u (a number, a number)"), 957);
  EXPECT_EQ(errorCode(*sys, "create table u (a nosuchtype)"), 902);
}

TEST_F(DdlTest, StorageClausesAndDefaults) {
  exec(*sys,
       "create table s (a number) pctfree 20 initrans 3 tablespace users "
       "storage (initial 128k next 2m minextents 1 maxextents 121 pctincrease 0)");
  Table* s = db->catalog().findTable("SYSTEM", "S");
  EXPECT_EQ(s->storage.pctFree, 20);
  EXPECT_EQ(s->storage.pctUsed, 40);
  EXPECT_EQ(s->storage.iniTrans, 3);
  EXPECT_EQ(s->storage.initialExtent, 131072);
  EXPECT_EQ(s->storage.nextExtent, 2097152);
  EXPECT_EQ(s->storage.maxExtents, 121);
  exec(*sys, "create index s_ix on s (a desc) pctfree 5 compress 1");
  Index* ix = db->catalog().findIndex("SYSTEM", "S_IX");
  EXPECT_EQ(ix->compressPrefix, 1);
  EXPECT_TRUE(ix->columns[0].descending);
  EXPECT_EQ(ix->storage.pctFree, 5);
  EXPECT_EQ(ix->storage.iniTrans, 2);
  // The same columns in the same order are refused; DESC indexes another expression.
  EXPECT_EQ(errorCode(*sys, "create index s_ix2 on s (a desc)"), 1408);
  EXPECT_EQ(errorCode(*sys, "create index s_ix on s (a)"), 955);
  EXPECT_EQ(errorCode(*sys, "create index s_ix3 on s (a)"), 0);
}

TEST_F(DdlTest, ForeignKeysNeedTheirKey) {
  exec(*sys, "create table p (id number primary key, code number)");
  EXPECT_EQ(errorCode(*sys, "create table c (p_id number references nosuch (id))"), 942);
  EXPECT_EQ(errorCode(*sys, "create table c (p_code number references p (code))"), 2270);
  exec(*sys, "create table c (id number, p_id number constraint c_p_fk references p)");
  EXPECT_EQ(db->catalog().findConstraint("SYSTEM", "C_P_FK")->rConstraintName,
            db->catalog().primaryKeyOf("SYSTEM", "P")->name);
  EXPECT_EQ(errorCode(*sys, "drop table p"), 2449);
  exec(*sys, "drop table p cascade constraints");
  EXPECT_EQ(db->catalog().findConstraint("SYSTEM", "C_P_FK"), nullptr);
}

TEST_F(DdlTest, AlterTableModifyRules) {
  exec(*sys, "create table m (a number not null, b varchar2(10), c number(5,2), d varchar2(3))");
  EXPECT_EQ(errorCode(*sys, "alter table m modify (a not null)"), 1442);
  EXPECT_EQ(errorCode(*sys, "alter table m modify (b null)"), 1451);
  exec(*sys, "alter table m modify (a null)");
  EXPECT_TRUE(db->catalog().isNullable("SYSTEM", "M", "A"));
  exec(*sys, "insert into m values (1, 'abcdefgh', 1.5, null)");
  EXPECT_EQ(errorCode(*sys, "alter table m modify (d not null)"), 2296);
  try {
    exec(*sys, "alter table m modify (d constraint m_d_nn not null)");
    ADD_FAILURE() << "NULLs accepted under NOT NULL";
  } catch (const OraError& e) {
    EXPECT_STREQ(e.what(), "ORA-02296: cannot enable (SYSTEM.M_D_NN) - null values found");
  }
  EXPECT_EQ(errorCode(*sys, "alter table m add constraint m_pk primary key (d)"), 1449);
  EXPECT_EQ(errorCode(*sys, "alter table m modify (b varchar2(5))"), 1441);
  exec(*sys, "alter table m modify (b varchar2(8))");
  EXPECT_EQ(errorCode(*sys, "alter table m modify (b number)"), 1439);
  EXPECT_EQ(errorCode(*sys, "alter table m modify (c number(4,1))"), 1440);
  exec(*sys, "alter table m modify (c number(7,2) default 0 not null)");
  EXPECT_FALSE(db->catalog().isNullable("SYSTEM", "M", "C"));
  exec(*sys, "alter table m modify (d varchar2(5) default 'z')");
  EXPECT_EQ(db->catalog().findTable("SYSTEM", "M")->columns[3].defaultText, "'z'");
  EXPECT_EQ(errorCode(*sys, "alter table m modify (nosuch number)"), 904);
}

TEST_F(DdlTest, AlterTableAddAndDropColumns) {
  exec(*sys, "create table a (id number primary key, x number, y number)");
  exec(*sys, "insert into a values (1, 2, 3)");
  EXPECT_EQ(errorCode(*sys, "alter table a add (x number)"), 1430);
  EXPECT_EQ(errorCode(*sys, "alter table a add (z number not null)"), 1758);
  exec(*sys, "alter table a add (z number default 7 not null, w varchar2(5))");
  EXPECT_EQ(query(*sys, "select * from a"), (Rows{{"1", "2", "3", "7", "NULL"}}));
  exec(*sys, "create index a_x on a (x)");
  exec(*sys, "alter table a add constraint a_y_uk unique (y)");
  exec(*sys, "alter table a drop column x");
  EXPECT_EQ(db->catalog().findIndex("SYSTEM", "A_X"), nullptr) << "its index goes with it";
  exec(*sys, "alter table a drop (y)");
  EXPECT_EQ(db->catalog().findConstraint("SYSTEM", "A_Y_UK"), nullptr);
  EXPECT_EQ(query(*sys, "select * from a"), (Rows{{"1", "7", "NULL"}}));
  exec(*sys, "alter table a rename column w to v");
  EXPECT_EQ(column(*sys, "select count(v) from a"), (std::vector<std::string>{"0"}));
  EXPECT_EQ(errorCode(*sys, "alter table a drop column nosuch"), 904);
}

TEST_F(DdlTest, AddConstraintsValidateExistingRows) {
  exec(*sys, "create table v (id number, v number)");
  exec(*sys, "insert into v select mod(level, 2), level from dual connect by level <= 4");
  EXPECT_EQ(errorCode(*sys, "alter table v add constraint v_pk primary key (id)"), 2437);
  EXPECT_EQ(errorCode(*sys, "alter table v add constraint v_ck check (v < 3)"), 2293);
  exec(*sys,
       "alter table v add (constraint v_uk unique (v) using index pctfree 5 "
       "tablespace users)");
  EXPECT_EQ(db->catalog().findIndex("SYSTEM", "V_UK")->storage.pctFree, 5);
  EXPECT_EQ(errorCode(*sys, "alter table v add constraint v_uk check (v > 0)"), 2264);
  exec(*sys, "alter table v drop constraint v_uk");
  EXPECT_EQ(db->catalog().findIndex("SYSTEM", "V_UK"), nullptr);
  EXPECT_EQ(errorCode(*sys, "alter table v drop constraint v_uk"), 2443);
}

TEST_F(DdlTest, CreateTableAsSelectAndTruncate) {
  exec(*sys,
       "create table g as select level n, 'r' || level label from dual "
       "connect by level <= 5");
  EXPECT_EQ(one("select count(*) from g"), "5");
  EXPECT_EQ(one("select max(label) from g"), "r5");
  exec(*sys, "truncate table g");
  EXPECT_EQ(one("select count(*) from g"), "0");
  EXPECT_EQ(errorCode(*sys, "create table h as select 1 + 1 from dual"), 998);
}

TEST_F(DdlTest, SequencesOptions) {
  exec(*sys, "create sequence q start with 5 increment by 2 maxvalue 100 cycle cache 10 order");
  Sequence* q = db->catalog().findSequence("SYSTEM", "Q");
  EXPECT_EQ(q->maxValue.toString(), "100");
  EXPECT_TRUE(q->cycle);
  EXPECT_TRUE(q->order);
  EXPECT_EQ(q->lastNumber.toString(), "5");
  query(*sys, "select q.nextval from dual");
  EXPECT_EQ(q->lastNumber.toString(), "25") << "the cache's high-water mark";
  exec(*sys, "alter sequence q increment by 1 nocache");
  EXPECT_EQ(q->cacheSize, 0);
  exec(*sys, "create sequence r");
  EXPECT_EQ(db->catalog().findSequence("SYSTEM", "R")->maxValue.toString(), std::string(28, '9'));
  EXPECT_EQ(errorCode(*sys, "create sequence bad minvalue 5 maxvalue 1"), 4004);
  EXPECT_EQ(errorCode(*sys, "alter sequence q start with 1"), 2283);
  exec(*sys, "drop sequence q");
  EXPECT_EQ(errorCode(*sys, "drop sequence q"), 2289);
}

TEST_F(DdlTest, ViewsQueryTextColumnsAndForce) {
  exec(*sys, "create table b (id number, name varchar2(10))");
  exec(*sys, "insert into b values (1, 'one')");
  exec(*sys, "create view bv as select id, upper(name) up from b");
  View* v = db->catalog().findView("SYSTEM", "BV");
  EXPECT_EQ(v->text, "select id, upper(name) up from b");
  ASSERT_EQ(v->columns.size(), 2u);
  EXPECT_EQ(v->columns[1].name, "UP");
  EXPECT_EQ(query(*sys, "select * from bv"), (Rows{{"1", "ONE"}}));
  EXPECT_EQ(errorCode(*sys, "create view bv as select 1 x from dual"), 955);
  exec(*sys, "create or replace view bv (a) as select id from b");
  EXPECT_EQ(db->catalog().findView("SYSTEM", "BV")->columns[0].name, "A");
  EXPECT_EQ(errorCode(*sys, "create view broken as select x from nosuch"), 942);
  auto result = sys->execute("create force view broken as select x from nosuch");
  EXPECT_EQ(result.warning, 24344);
  EXPECT_FALSE(db->catalog().findView("SYSTEM", "BROKEN")->header.valid);
  EXPECT_EQ(errorCode(*sys, "select * from broken"), 4063);
  try {
    exec(*sys, "select * from broken");
  } catch (const OraError& e) {
    EXPECT_STREQ(e.what(), "ORA-04063: view \"SYSTEM.BROKEN\" has errors");
  }
  exec(*sys, "drop view broken");
  EXPECT_EQ(errorCode(*sys, "drop view broken"), 942);
}

TEST_F(DdlTest, StoredCodeIsKeptAsSourceLines) {
  exec(*sys, "create or replace procedure p (x in number) is\nbegin\n  null;\nend p;");
  StoredCode* p = db->catalog().findCode("SYSTEM", "P", ObjectKind::Procedure);
  ASSERT_NE(p, nullptr);
  ASSERT_EQ(p->lines.size(), 4u);
  EXPECT_EQ(p->lines[0], "procedure p (x in number) is\n");
  EXPECT_EQ(p->lines[3], "end p;\n");
  EXPECT_EQ(errorCode(*sys, "create procedure p is begin null; end;"), 955);
  exec(*sys, "create type pt as object (x number, y varchar2(10))");
  exec(*sys, "create table with_type (id number, v pt)");
  EXPECT_EQ(db->catalog().findTable("SYSTEM", "WITH_TYPE")->columns[1].type.code, TypeCode::Object);
  EXPECT_EQ(errorCode(*sys, "drop type pt"), 2303);
  exec(*sys, "drop procedure p");
  EXPECT_EQ(errorCode(*sys, "drop procedure p"), 4043);
}

TEST_F(DdlTest, TriggerHeaderIsParsedIntoTheCatalog) {
  exec(*sys, "create table o (id number, status varchar2(10))");
  exec(*sys,
       "create or replace trigger o_bi\n  before insert or update of status on o\n"
       "  for each row\n  when (new.id is null)\nbegin\n  :new.id := 1;\nend;");
  Trigger* t = db->catalog().findTrigger("SYSTEM", "O_BI");
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->triggerType, "BEFORE EACH ROW");
  EXPECT_EQ(t->triggeringEvent, "INSERT OR UPDATE");
  EXPECT_EQ(t->tableName, "O");
  EXPECT_EQ(t->whenClause, "new.id is null");
  EXPECT_EQ(t->referencingNames, "REFERENCING NEW AS NEW OLD AS OLD");
  EXPECT_EQ(t->body.rfind("begin", 0), 0u);
  exec(*sys, "insert into o (status) values ('x')");
  EXPECT_EQ(column(*sys, "select nvl(to_char(id), 'null') from o"),
            (std::vector<std::string>{"null"}))
      << "triggers are kept, not run";
  exec(*sys, "drop trigger o_bi");
  EXPECT_EQ(errorCode(*sys, "drop trigger o_bi"), 4080);
}

TEST_F(DdlTest, AlterSessionDateFormat) {
  exec(*sys, "alter session set nls_date_format = 'YYYY-MM-DD'");
  EXPECT_EQ(one("select to_date('2024-02-03', 'YYYY-MM-DD') from dual"), "2024-02-03");
  EXPECT_EQ(errorCode(*sys, "alter session set nls_date_format = 'XYZQ'"), 1821);
  EXPECT_EQ(errorCode(*sys, "alter session set nosuch = 1"), 2248);
}

}  // namespace
}  // namespace ocisim::testing
