// Stored code and triggers: malformed headers first, then the preserved source text and the
// parsed trigger header.
#include <gtest/gtest.h>

#include "engine/sql/parser.h"
#include "engine/sql/test_support.h"

namespace ocisim::sql {
namespace {

TEST(ParseCodeErrors, MalformedHeadersGiveOraclesCodes) {
  const ErrorCase cases[] = {
      {"create procedure", 4050},
      {"create procedure p", 905},
      {"create force procedure p is begin null; end;", 922},
      {"create trigger", 4079},
      {"create trigger t on x begin null; end;", 4079},
      {"create trigger t before frob on x begin null; end;", 4079},
      {"create trigger t before insert x begin null; end;", 969},
      {"create trigger t before insert on x for row begin null; end;", 4079},
      {"create trigger t before insert on x when (a > 1) begin null; end;", 4077},
      {"create trigger t before insert on x for each row when a > 1 begin null; end;", 906},
      {"create trigger t before insert on x referencing begin null; end;", 4079},
      {"create trigger t before insert on x for each row null;", 4079},
      {"create type t as frob", 905},
      {"create type t as object (a)", 902},
  };
  expectErrors(cases);
}

TEST(ParseCode, SourceTextStartsAtTheKindKeyword) {
  struct Case {
    const char* sql;
    CodeKind kind;
    const char* name;
    const char* source;
    int functionCode;
  };
  const Case cases[] = {
      {"create or replace procedure p(a number) is\nbegin\n  null;\nend;\n\n",
       CodeKind::Procedure, "P", "procedure p(a number) is\nbegin\n  null;\nend;", 24},
      {"CREATE FUNCTION scott.f RETURN NUMBER AS BEGIN RETURN 1; END f;", CodeKind::Function,
       "F", "FUNCTION scott.f RETURN NUMBER AS BEGIN RETURN 1; END f;", 91},
      {"create package pk as x number; end pk;", CodeKind::Package, "PK",
       "package pk as x number; end pk;", 94},
      {"create or replace package body pk as begin x := 1; end;", CodeKind::PackageBody, "PK",
       "package body pk as begin x := 1; end;", 97},
      {"create type body t as member function f return number is begin return 1; end; end;",
       CodeKind::TypeBody, "T",
       "type body t as member function f return number is begin return 1; end; end;", 81},
      {"create or replace editionable procedure \"Mixed\" is begin null; end;",
       CodeKind::Procedure, "Mixed", "procedure \"Mixed\" is begin null; end;", 24},
  };
  for (const Case& c : cases) {
    auto stmt = parseAs<CreateCodeStmt>(c.sql);
    EXPECT_EQ(stmt->code, c.kind) << c.sql;
    EXPECT_EQ(stmt->name.name, c.name) << c.sql;
    EXPECT_EQ(stmt->source, c.source) << c.sql;
    EXPECT_EQ(stmt->sqlFunctionCode(), c.functionCode) << c.sql;
    EXPECT_EQ(stmt->ociStatementType(), 5) << c.sql;
    EXPECT_EQ(stmt->text, c.sql);
  }
  // Bodies are not compiled: text that is not valid PL/SQL is kept as it is.
  auto broken = parseAs<CreateCodeStmt>("create procedure q is begin this is not plsql; end;");
  EXPECT_EQ(broken->source, "procedure q is begin this is not plsql; end;");
}

TEST(ParseCode, ObjectTypesKeepTheirAttributes) {
  auto stmt = parseAs<CreateCodeStmt>(
      "create or replace type address_t as object (\n  street varchar2(40),\n  zip "
      "number(5),\n  member function label return varchar2\n) not final;");
  EXPECT_TRUE(stmt->isObjectType);
  ASSERT_EQ(stmt->attributes.size(), 2u);
  EXPECT_EQ(stmt->attributes[0].name, "STREET");
  EXPECT_EQ(stmt->attributes[0].type.length, 40);
  EXPECT_EQ(stmt->attributes[1].type.precision, 5);
  EXPECT_EQ(stmt->sqlFunctionCode(), 77);
  auto table = parseAs<CreateCodeStmt>("create type names_t as table of varchar2(30);");
  EXPECT_TRUE(table->isCollection);
  EXPECT_TRUE(table->attributes.empty());
}

TEST(ParseCode, TriggerHeaderAndBody) {
  const char* sql =
      "create or replace trigger scott.emp_biu\n"
      "before insert or update of sal, comm or delete on scott.emp\n"
      "referencing new as n old as o\n"
      "for each row\n"
      "when (n.sal > 0)\n"
      "declare\n  x number;\nbegin\n  :n.sal := :n.sal + 1;\nend;\n";
  auto stmt = parseAs<CreateCodeStmt>(sql);
  ASSERT_EQ(stmt->code, CodeKind::Trigger);
  EXPECT_EQ(stmt->name.schema, "SCOTT");
  EXPECT_EQ(stmt->name.name, "EMP_BIU");
  const TriggerHeader& h = stmt->trigger;
  EXPECT_EQ(h.timing, TriggerTiming::Before);
  EXPECT_EQ(h.events, (std::vector<std::string>{"INSERT", "UPDATE", "DELETE"}));
  EXPECT_EQ(h.updateColumns, (std::vector<std::string>{"SAL", "COMM"}));
  EXPECT_EQ(h.table.schema, "SCOTT");
  EXPECT_EQ(h.table.name, "EMP");
  EXPECT_EQ(h.referencingNew, "N");
  EXPECT_EQ(h.referencingOld, "O");
  EXPECT_EQ(h.referencingText, "referencing new as n old as o");
  EXPECT_TRUE(h.forEachRow);
  EXPECT_EQ(h.whenText, "n.sal > 0");
  EXPECT_EQ(h.descriptionText,
            "scott.emp_biu\nbefore insert or update of sal, comm or delete on scott.emp\n"
            "referencing new as n old as o\nfor each row");
  EXPECT_EQ(h.bodyText, "declare\n  x number;\nbegin\n  :n.sal := :n.sal + 1;\nend;");
  EXPECT_EQ(stmt->source.substr(0, 23), "trigger scott.emp_biu\nb");
  // :n inside the body is not a bind of the CREATE statement.
  EXPECT_TRUE(stmt->bindNames.empty());
  EXPECT_EQ(stmt->sqlFunctionCode(), 59);

  auto statementLevel = parseAs<CreateCodeStmt>(
      "create trigger t_ai instead of insert on v begin null; end;");
  EXPECT_EQ(statementLevel->trigger.timing, TriggerTiming::InsteadOf);
  EXPECT_FALSE(statementLevel->trigger.forEachRow);
  EXPECT_EQ(statementLevel->trigger.whenText, "");
  EXPECT_EQ(statementLevel->trigger.descriptionText, "t_ai instead of insert on v");
  EXPECT_EQ(statementLevel->trigger.bodyText, "begin null; end;");
}

}  // namespace
}  // namespace ocisim::sql
