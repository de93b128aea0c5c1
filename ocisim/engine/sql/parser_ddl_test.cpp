// Parser tests for DDL, DCL and session statements: malformed input first, then the AST.
#include <gtest/gtest.h>

#include "engine/sql/parser.h"
#include "engine/sql/test_support.h"

namespace ocisim::sql {
namespace {

TEST(ParseDdlErrors, MalformedStatementsGiveOraclesCodes) {
  const ErrorCase cases[] = {
      {"create", 901},
      {"create frob x", 901},
      {"create or replace table t (a number)", 922},
      {"create table", 903},
      {"create table t", 906},
      {"create table t ()", 904},
      {"create table t (number number)", 904},
      {"create table t (a number,)", 904},
      {"create table t (a number", 907},
      {"create table t (a)", 2263},
      {"create table t (a varchar2)", 906},
      {"create table t (a varchar2(5000))", 910},
      {"create table t (a char(2001))", 910},
      {"create table t (a number(39))", 1727},
      {"create table t (a number(5, 200))", 1728},
      {"create table t (a 5)", 902},
      {"create table t (a number) foo", 922},
      {"create table t (a number);", 911},
      {"create table t (a number not 5)", 908},
      {"create table t (a number, primary key)", 906},
      {"create table t (a number, constraint c foo)", 905},
      {"create table t (a number check a > 0)", 906},
      {"create table t (a number references)", 903},
      {"create table t (a number) storage (initial)", 2143},
      {"create table t (a number) storage (initial 5X)", 2143},
      {"create table t as", 928},
      {"create table t (a number default)", 936},
      {"create index i t (a)", 969},
      {"create index i on t a", 906},
      {"create index i on t (a) frob", 2158},
      {"create unique foo", 901},
      {"create sequence s increment 1", 905},
      {"create sequence s start 1", 905},
      {"create sequence s frob", 933},
      {"create sequence s maxvalue x", 933},
      {"create view v", 905},
      {"create view v as", 928},
      {"create view v as select 1 from dual with frob", 905},
      {"alter", 940},
      {"alter frob t", 940},
      {"alter table t", 1735},
      {"alter table t frob", 1735},
      {"alter table t add", 904},
      {"alter table t add (a)", 902},
      {"alter table t modify", 904},
      {"alter table t drop", 905},
      {"alter table t drop column c cascade", 905},
      {"alter table t rename column a b", 905},
      {"alter table t add (c number default 0 not null", 907},
      {"drop", 950},
      {"drop frob x", 950},
      {"drop table", 903},
      {"drop table t cascade", 905},
      {"drop table t frob", 933},
      {"drop index", 953},
      {"drop sequence", 2277},
      {"drop procedure", 4050},
      {"drop public table t", 950},
      {"truncate t", 3290},
      {"truncate table", 903},
      {"create user", 1935},
      {"create user u", 922},
      {"create user u identified x", 924},
      {"create user u identified by", 988},
      {"create user u identified by p frob", 922},
      {"create role", 1935},
      {"grant", 990},
      {"grant to u", 990},
      {"grant select on t", 905},
      {"grant create table to", 987},
      {"grant dba to u with admin", 905},
      {"revoke dba to u", 905},
      {"alter session nls_date_format = 'x'", 922},
      {"alter session set nls_date_format 'x'", 922},
      {"alter session set nls_date_format = ", 922},
      {"comment table t is 'x'", 905},
      {"comment on table t 'x'", 905},
      {"comment on table t is x", 1780},
      {"comment on column t is 'x'", 904},
      {"commit frob", 933},
      {"rollback to", 904},
      {"savepoint", 904},
  };
  expectErrors(cases);
}

TEST(ParseDdl, CreateTableColumnsConstraintsAndDefaults) {
  auto stmt = parseAs<CreateTableStmt>(
      "create table scott.t (id number(10) constraint t_pk primary key, name varchar2(30 char) "
      "default 'n/a' not null unique, amount number(*,2) check (amount >= 0), ref_id integer "
      "references scott.u(id) on delete set null, d date default sysdate, f float, r raw(16), "
      "l long raw, x my_type, constraint t_uk unique (name, d) using index tablespace users "
      "pctfree 5, foreign key (ref_id) references u on delete cascade disable) "
      "tablespace users pctfree 20");
  EXPECT_EQ(stmt->table.schema, "SCOTT");
  ASSERT_EQ(stmt->columns.size(), 9u);
  const ColumnDef& id = stmt->columns[0];
  EXPECT_EQ(id.type->precision, 10);
  ASSERT_EQ(id.constraints.size(), 1u);
  EXPECT_EQ(id.constraints[0].name, "T_PK");
  EXPECT_EQ(id.constraints[0].kind, ConstraintKind::PrimaryKey);
  const ColumnDef& name = stmt->columns[1];
  EXPECT_EQ(name.type->length, 30);
  EXPECT_TRUE(name.type->charSemantics);
  EXPECT_EQ(name.defaultText, "'n/a' ");
  ASSERT_EQ(name.constraints.size(), 2u);
  EXPECT_EQ(name.constraints[0].kind, ConstraintKind::NotNull);
  EXPECT_EQ(name.constraints[1].kind, ConstraintKind::Unique);
  EXPECT_TRUE(stmt->columns[2].type->starPrecision);
  EXPECT_EQ(stmt->columns[2].type->scale, 2);
  EXPECT_EQ(stmt->columns[2].constraints[0].checkText, "amount >= 0");
  const ConstraintDef& ref = stmt->columns[3].constraints[0];
  EXPECT_EQ(ref.refSchema, "SCOTT");
  EXPECT_EQ(ref.refColumns, std::vector<std::string>{"ID"});
  EXPECT_EQ(ref.onDelete, DeleteRule::SetNull);
  EXPECT_EQ(stmt->columns[4].defaultText, "sysdate");
  EXPECT_EQ(stmt->columns[7].type->name, "LONG RAW");
  EXPECT_EQ(stmt->columns[8].type->name, "MY_TYPE");
  ASSERT_EQ(stmt->constraints.size(), 2u);
  EXPECT_EQ(stmt->constraints[0].columns, (std::vector<std::string>{"NAME", "D"}));
  EXPECT_EQ(stmt->constraints[0].usingIndex.tablespace, "USERS");
  EXPECT_EQ(stmt->constraints[0].usingIndex.pctFree, 5);
  EXPECT_TRUE(stmt->constraints[1].refColumns.empty());
  EXPECT_TRUE(stmt->constraints[1].disabled);
  EXPECT_EQ(stmt->storage.pctFree, 20);
  EXPECT_EQ(stmt->sqlFunctionCode(), 1);
  EXPECT_EQ(stmt->ociStatementType(), 5);
}

TEST(ParseDdl, LengthUnitsAndTimeZoneForms) {
  auto stmt = parseAs<CreateTableStmt>(
      "create table t (a varchar2(3 byte), b char(2 char), c nvarchar2(5), "
      "d timestamp with time zone, e timestamp(3) with local time zone, f timestamp(0))");
  ASSERT_EQ(stmt->columns.size(), 6u);
  EXPECT_TRUE(stmt->columns[0].type->byteSemantics);
  EXPECT_FALSE(stmt->columns[0].type->charSemantics);
  EXPECT_TRUE(stmt->columns[1].type->charSemantics);
  EXPECT_FALSE(stmt->columns[2].type->charSemantics || stmt->columns[2].type->byteSemantics);
  EXPECT_TRUE(stmt->columns[3].type->withTimeZone);
  EXPECT_FALSE(stmt->columns[3].type->withLocalTimeZone);
  EXPECT_TRUE(stmt->columns[4].type->withLocalTimeZone);
  EXPECT_EQ(stmt->columns[4].type->precision, 3);
  EXPECT_FALSE(stmt->columns[5].type->withTimeZone || stmt->columns[5].type->withLocalTimeZone);
}

TEST(ParseDdl, CreateTableAsSelectAndStorageUnits) {
  auto stmt = parseAs<CreateTableStmt>(
      "create table t2 (a, b) storage (initial 2M next 10 maxextents unlimited) as select x, y "
      "from t");
  EXPECT_EQ(stmt->columns.size(), 2u);
  EXPECT_FALSE(stmt->columns[0].type);
  ASSERT_TRUE(stmt->asQuery);
  EXPECT_EQ(stmt->storage.initial, 2097152);
  EXPECT_EQ(stmt->storage.next, 10);
  EXPECT_EQ(stmt->storage.maxExtents, 2147483645);
}

TEST(ParseDdl, AlterTableActions) {
  auto stmt = parseAs<AlterTableStmt>(
      "alter table t add (c1 number, constraint ck check (c1 > 0)) modify c2 not null "
      "drop (c3, c4) cascade constraints rename column c5 to c6");
  ASSERT_EQ(stmt->actions.size(), 4u);
  EXPECT_EQ(stmt->actions[0].columns.size(), 1u);
  EXPECT_EQ(stmt->actions[0].constraints.size(), 1u);
  EXPECT_EQ(stmt->actions[1].kind, AlterTableActionKind::Modify);
  EXPECT_FALSE(stmt->actions[1].columns[0].type);
  EXPECT_EQ(stmt->actions[1].columns[0].constraints[0].kind, ConstraintKind::NotNull);
  EXPECT_EQ(stmt->actions[2].names, (std::vector<std::string>{"C3", "C4"}));
  EXPECT_TRUE(stmt->actions[2].cascade);
  EXPECT_EQ(stmt->actions[3].names, (std::vector<std::string>{"C5", "C6"}));

  auto modify = parseAs<AlterTableStmt>("ALTER TABLE T MODIFY ( C VARCHAR2(10) NULL  )");
  const ColumnDef& c = modify->actions[0].columns[0];
  EXPECT_EQ(c.type->length, 10);
  EXPECT_EQ(c.constraints[0].kind, ConstraintKind::Null);
  auto add = parseAs<AlterTableStmt>("ALTER TABLE T ADD ( C NUMBER DEFAULT 0 NOT NULL  )");
  EXPECT_EQ(add->actions[0].columns[0].defaultText, "0 ");
  auto pk = parseAs<AlterTableStmt>("alter table t drop primary key cascade keep index");
  EXPECT_EQ(pk->actions[0].kind, AlterTableActionKind::DropPrimaryKey);
  EXPECT_TRUE(pk->actions[0].cascade);
  auto named = parseAs<AlterTableStmt>("alter table t add constraint u1 unique (a)");
  EXPECT_EQ(named->actions[0].constraints[0].name, "U1");
  EXPECT_EQ(named->sqlFunctionCode(), 26);
  EXPECT_EQ(pk->actions[0].state.keepIndex, std::optional<bool>(true));
  auto dropIndex = parseAs<AlterTableStmt>("alter table t drop unique (a, b) drop index");
  EXPECT_EQ(dropIndex->actions[0].kind, AlterTableActionKind::DropUnique);
  EXPECT_EQ(dropIndex->actions[0].state.keepIndex, std::optional<bool>(false));
}

TEST(ParseDdl, ConstraintStates) {
  auto create = parseAs<CreateTableStmt>(
      "create table t (a number constraint a_pk primary key initially deferred, "
      "b number check (b > 0) deferrable enable novalidate, c number not null disable validate, "
      "constraint u unique (b) initially immediate deferrable)");
  const ConstraintDef& pk = create->columns[0].constraints[0];
  EXPECT_TRUE(pk.initiallyDeferred);
  EXPECT_FALSE(pk.deferrable) << "INITIALLY DEFERRED alone leaves DEFERRABLE unwritten";
  const ConstraintDef& check = create->columns[1].constraints[0];
  EXPECT_EQ(check.deferrable, std::optional<bool>(true));
  EXPECT_EQ(check.validate, std::optional<bool>(false));
  EXPECT_FALSE(check.disabled);
  const ConstraintDef& notNull = create->columns[2].constraints[0];
  EXPECT_TRUE(notNull.disabled);
  EXPECT_EQ(notNull.validate, std::optional<bool>(true));
  EXPECT_TRUE(create->constraints[0].initiallyGiven);
  EXPECT_FALSE(create->constraints[0].initiallyDeferred);

  auto alter = parseAs<AlterTableStmt>(
      "alter table t enable novalidate constraint c1 disable primary key cascade keep index "
      "enable unique (a, b) disable all triggers modify constraint c2 initially deferred");
  ASSERT_EQ(alter->actions.size(), 5u);
  EXPECT_EQ(alter->actions[0].kind, AlterTableActionKind::EnableConstraint);
  EXPECT_EQ(alter->actions[0].names, (std::vector<std::string>{"C1"}));
  EXPECT_EQ(alter->actions[0].state.validate, std::optional<bool>(false));
  EXPECT_EQ(alter->actions[1].kind, AlterTableActionKind::DisableConstraint);
  EXPECT_TRUE(alter->actions[1].primaryKey);
  EXPECT_TRUE(alter->actions[1].cascade);
  EXPECT_EQ(alter->actions[1].state.keepIndex, std::optional<bool>(true));
  EXPECT_TRUE(alter->actions[2].uniqueColumns);
  EXPECT_EQ(alter->actions[2].names, (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(alter->actions[3].kind, AlterTableActionKind::DisableAllTriggers);
  EXPECT_EQ(alter->actions[4].kind, AlterTableActionKind::ModifyConstraint);
  EXPECT_TRUE(alter->actions[4].state.initiallyDeferred);

  const ErrorCase cases[] = {
      {"create table t (a number check (a > 0) not deferrable initially deferred)", 2447},
      {"create table t (a number primary key initially later)", 905},
      {"alter table t enable", 905},
      {"alter table t enable all", 905},
      {"alter table t modify constraint", 904},
  };
  expectErrors(cases);
}

TEST(ParseDdl, AlterTrigger) {
  auto enable = parseAs<AlterTriggerStmt>("alter trigger scott.trg enable");
  EXPECT_EQ(enable->trigger.schema, "SCOTT");
  EXPECT_EQ(enable->trigger.name, "TRG");
  EXPECT_EQ(enable->action, AlterTriggerStmt::Action::Enable);
  EXPECT_EQ(enable->sqlFunctionCode(), 60);
  EXPECT_EQ(enable->ociStatementType(), 7);
  EXPECT_EQ(parseAs<AlterTriggerStmt>("alter trigger trg disable")->action,
            AlterTriggerStmt::Action::Disable);
  EXPECT_EQ(parseAs<AlterTriggerStmt>("alter trigger trg compile debug reuse settings")->action,
            AlterTriggerStmt::Action::Compile);
  const ErrorCase cases[] = {
      {"alter trigger", 4070},
      {"alter trigger trg", 922},
      {"alter trigger trg frob", 922},
      {"alter trigger trg enable now", 922},
  };
  expectErrors(cases);
}

TEST(ParseDdl, IndexesSequencesAndViews) {
  auto index = parseAs<CreateIndexStmt>(
      "create index s.i on s.t (a desc, upper(b)) nologging compress");
  EXPECT_EQ(index->index.schema, "S");
  EXPECT_TRUE(index->columns[0].descending);
  EXPECT_EQ(index->columns[0].name, "A");
  EXPECT_EQ(index->columns[1].name, "");
  EXPECT_EQ(index->columns[1].text, "upper(b)");
  EXPECT_EQ(index->storage.compress, 0);

  auto seq = parseAs<SequenceStmt>(
      "CREATE SEQUENCE S INCREMENT BY 1 START WITH 21 NOMAXVALUE MINVALUE 1 NOCYCLE NOCACHE "
      "NOORDER");
  EXPECT_EQ(seq->options.incrementBy, "1");
  EXPECT_EQ(seq->options.startWith, "21");
  EXPECT_TRUE(seq->options.noMaxValue);
  EXPECT_EQ(seq->options.cycle, false);
  EXPECT_EQ(seq->options.order, false);
  EXPECT_TRUE(seq->options.noCache);
  auto alter = parseAs<SequenceStmt>("alter sequence s increment by -5 maxvalue 1e27 cycle");
  EXPECT_EQ(alter->kind, StatementKind::AlterSequence);
  EXPECT_EQ(alter->options.incrementBy, "-5");
  EXPECT_EQ(alter->options.maxValue, "1e27");
  EXPECT_EQ(alter->options.cycle, true);

  auto view = parseAs<CreateViewStmt>(
      "create or replace force view v (x, y) as\n  select a, b\n  from t -- note\n with read "
      "only");
  EXPECT_TRUE(view->orReplace);
  EXPECT_TRUE(view->force);
  EXPECT_EQ(view->columns, (std::vector<std::string>{"X", "Y"}));
  EXPECT_EQ(view->queryText, "select a, b\n  from t");
  EXPECT_TRUE(view->readOnly);
  auto checked = parseAs<CreateViewStmt>(
      "create view w as select * from t where a > 1 with check option constraint w_ck");
  EXPECT_TRUE(checked->checkOption);
  EXPECT_EQ(checked->checkConstraintName, "W_CK");
  EXPECT_EQ(checked->sqlFunctionCode(), 10);
}

TEST(ParseDdl, DropsAndTruncate) {
  struct Case {
    const char* sql;
    ObjectKind kind;
    int functionCode;
  };
  const Case cases[] = {
      {"drop table t cascade constraints", ObjectKind::Table, 8},
      {"drop view v", ObjectKind::View, 7},
      {"drop index i", ObjectKind::Index, 21},
      {"drop sequence s", ObjectKind::Sequence, 16},
      {"drop procedure p", ObjectKind::Procedure, 68},
      {"drop function f", ObjectKind::Function, 93},
      {"drop package p", ObjectKind::Package, 96},
      {"drop package body p", ObjectKind::PackageBody, 99},
      {"drop type t force", ObjectKind::Type, 78},
      {"drop type body t", ObjectKind::TypeBody, 83},
      {"drop trigger s.tr", ObjectKind::Trigger, 61},
      {"drop user u cascade", ObjectKind::User, 11},
      {"drop role r", ObjectKind::Role, 6},
  };
  for (const Case& c : cases) {
    auto stmt = parseAs<DropStmt>(c.sql);
    EXPECT_EQ(stmt->object, c.kind) << c.sql;
    EXPECT_EQ(stmt->sqlFunctionCode(), c.functionCode) << c.sql;
    EXPECT_EQ(stmt->ociStatementType(), 6) << c.sql;
  }
  EXPECT_TRUE(parseAs<DropStmt>("drop table t cascade constraints")->cascade);
  EXPECT_TRUE(parseAs<DropStmt>("drop type t force")->force);
  EXPECT_EQ(parseAs<DropStmt>("drop trigger s.tr")->name.schema, "S");
  auto truncate = parseAs<TruncateTableStmt>("truncate table s.t reuse storage");
  EXPECT_EQ(truncate->table.name, "T");
  EXPECT_EQ(truncate->sqlFunctionCode(), 85);
}

TEST(ParseDdl, UsersRolesAndGrants) {
  auto user = parseAs<UserStmt>(
      "create user scott identified by Tiger default tablespace users temporary tablespace "
      "temp quota unlimited on users account unlock");
  EXPECT_EQ(user->user, "SCOTT");
  EXPECT_EQ(user->password, "Tiger");
  EXPECT_EQ(user->defaultTablespace, "USERS");
  EXPECT_EQ(user->accountLocked, false);
  auto alter = parseAs<UserStmt>("alter user scott identified by \"New Pw\"");
  EXPECT_EQ(alter->kind, StatementKind::AlterUser);
  EXPECT_EQ(alter->password, "New Pw");
  auto role = parseAs<CreateRoleStmt>("create role app_role");
  EXPECT_EQ(role->role, "APP_ROLE");

  auto sys = parseAs<GrantStmt>(
      "grant create table, create any table, select any table, dba to scott, blake with admin "
      "option");
  EXPECT_EQ(sys->privileges, (std::vector<std::string>{"CREATE TABLE", "CREATE ANY TABLE",
                                                       "SELECT ANY TABLE", "DBA"}));
  EXPECT_EQ(sys->grantees, (std::vector<std::string>{"SCOTT", "BLAKE"}));
  EXPECT_TRUE(sys->withAdminOption);
  EXPECT_FALSE(sys->object);
  auto obj = parseAs<GrantStmt>(
      "grant select, update (a, b), references, all privileges on scott.emp to public with "
      "grant option");
  EXPECT_EQ(obj->privileges, (std::vector<std::string>{"SELECT", "UPDATE", "REFERENCES", "ALL"}));
  EXPECT_EQ(obj->privilegeColumns[1], (std::vector<std::string>{"A", "B"}));
  ASSERT_TRUE(obj->object);
  EXPECT_EQ(obj->object->schema, "SCOTT");
  EXPECT_EQ(obj->grantees, std::vector<std::string>{"PUBLIC"});
  EXPECT_TRUE(obj->withGrantOption);
  auto revoke = parseAs<GrantStmt>("revoke references on t from u cascade constraints");
  EXPECT_EQ(revoke->kind, StatementKind::Revoke);
  EXPECT_TRUE(revoke->cascadeConstraints);
  EXPECT_EQ(revoke->sqlFunctionCode(), 29);
}

TEST(ParseDdl, SessionCommentAndTransactions) {
  auto session = parseAs<AlterSessionStmt>(
      "alter session set nls_date_format = 'DD-MON-RR' nls_language = american");
  ASSERT_EQ(session->settings.size(), 2u);
  EXPECT_EQ(session->settings[0].name, "NLS_DATE_FORMAT");
  EXPECT_EQ(session->settings[0].value, "DD-MON-RR");
  EXPECT_TRUE(session->settings[0].quoted);
  EXPECT_EQ(session->settings[1].value, "AMERICAN");
  EXPECT_EQ(session->sqlFunctionCode(), 52);
  auto comment = parseAs<CommentStmt>("comment on column s.t.c is 'It''s a column'");
  EXPECT_TRUE(comment->onColumn);
  EXPECT_EQ(comment->table.schema, "S");
  EXPECT_EQ(comment->column, "C");
  EXPECT_EQ(comment->comment, "It's a column");
  EXPECT_EQ(parseAs<TransactionStmt>("commit work")->kind, StatementKind::Commit);
  auto rollback = parseAs<TransactionStmt>("rollback to savepoint s1");
  EXPECT_EQ(rollback->savepoint, "S1");
  EXPECT_EQ(rollback->ociStatementType(), 17);
  EXPECT_EQ(parseAs<TransactionStmt>("savepoint s2")->sqlFunctionCode(), 56);
}

}  // namespace
}  // namespace ocisim::sql
