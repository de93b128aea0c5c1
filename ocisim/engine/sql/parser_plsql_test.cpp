// Anonymous PL/SQL blocks: malformed blocks first (ORA-06550 with line and column), then the
// statements of the supported subset.
#include <gtest/gtest.h>

#include "engine/sql/parser.h"
#include "engine/sql/test_support.h"

namespace ocisim::sql {
namespace {

TEST(ParsePlsqlErrors, MalformedBlocksGiveOra06550) {
  const ErrorCase cases[] = {
      {"begin", 6550},
      {"begin end;", 6550},
      {"begin null end;", 6550},
      {"begin null; end", 6550},
      {"begin null; end; x", 6550},
      {"declare x number begin null; end;", 6550},
      {"declare cursor c is select 1 from dual; begin null; end;", 6550},
      {"begin if x then null; end;", 6550},
      {"begin for i in 1 10 loop null; end loop; end;", 6550},
      {"begin x = 1; end;", 6550},
      {"begin f(1) := 2; end;", 6550},
      {"begin select from dual; end;", 6550},
      {"begin update t set a = 1 frob; end;", 6550},
      {"begin null; exception end;", 6550},
  };
  expectErrors(cases);
}

TEST(ParsePlsqlErrors, MessagesNameLineColumnAndSymbol) {
  try {
    parseStatement("begin\n  null\nend;");
    FAIL() << "no error";
  } catch (const SyntaxError& e) {
    EXPECT_EQ(e.code(), 6550);
    EXPECT_EQ(e.line(), 3);
    EXPECT_EQ(std::string(e.what()),
              "ORA-06550: line 3, column 1:\nPLS-00103: Encountered the symbol \"END\" when "
              "expecting one of the following: ;");
  }
  try {
    parseStatement("begin\n  insert into t values (;\nend;");
    FAIL() << "no error";
  } catch (const SyntaxError& e) {
    EXPECT_EQ(std::string(e.what()),
              "ORA-06550: line 2, column 25:\nPL/SQL: ORA-00936: missing expression");
  }
}

TEST(ParsePlsql, DeclarationsAndStatements) {
  auto stmt = parseAs<PlsqlBlockStmt>(
      "DECLARE\n"
      "  n NUMBER := 0;\n"
      "  c CONSTANT VARCHAR2(10) DEFAULT 'x';\n"
      "  d all_indexes.compression%TYPE;\n"
      "  e EXCEPTION;\n"
      "BEGIN\n"
      "  <<outer>>\n"
      "  FOR i IN REVERSE 1..10 LOOP\n"
      "    n := n + i;\n"
      "    EXIT WHEN n > 20;\n"
      "  END LOOP;\n"
      "  IF n > 1 THEN dbms_output.put_line('a'); ELSIF n > 0 THEN NULL; ELSE RAISE e; END IF;\n"
      "  WHILE n > 0 LOOP n := n - 1; END LOOP;\n"
      "  SELECT count(*) INTO n FROM dual;\n"
      "  UPDATE t SET a = n WHERE b = :key;\n"
      "  COMMIT;\n"
      "  BEGIN NULL; END;\n"
      "  raise_application_error(-20001, 'bad ' || n);\n"
      "  dbms_output.enable(buffer_size => 20000);\n"
      "EXCEPTION\n"
      "  WHEN no_data_found OR too_many_rows THEN NULL;\n"
      "  WHEN OTHERS THEN :err := SQLERRM;\n"
      "END outer_block;");
  EXPECT_EQ(stmt->ociStatementType(), 9);
  EXPECT_EQ(stmt->sqlFunctionCode(), 34);
  EXPECT_EQ(stmt->bindNames, (std::vector<std::string>{"KEY", "ERR"}));
  const PlsqlBlock& b = stmt->block;
  ASSERT_EQ(b.declarations.size(), 4u);
  EXPECT_TRUE(b.declarations[1].constant);
  ASSERT_TRUE(b.declarations[1].init);
  EXPECT_EQ(b.declarations[2].type.anchor,
            (std::vector<std::string>{"ALL_INDEXES", "COMPRESSION"}));
  EXPECT_EQ(b.declarations[3].type.name, "EXCEPTION");
  ASSERT_EQ(b.body.size(), 9u);
  const PlsqlStmt& loop = *b.body[0];
  EXPECT_EQ(loop.kind, PlsqlStmtKind::ForLoop);
  EXPECT_EQ(loop.loopVar, "I");
  EXPECT_TRUE(loop.reverse);
  EXPECT_EQ(loop.lower->text, "1");
  EXPECT_EQ(loop.upper->text, "10");
  EXPECT_EQ(loop.body[1]->kind, PlsqlStmtKind::Exit);
  const PlsqlStmt& ifs = *b.body[1];
  EXPECT_EQ(ifs.branches.size(), 2u);
  EXPECT_EQ(ifs.elseBody[0]->kind, PlsqlStmtKind::Raise);
  EXPECT_EQ(ifs.elseBody[0]->exceptionName, "E");
  EXPECT_EQ(b.body[2]->kind, PlsqlStmtKind::WhileLoop);
  const PlsqlStmt& select = *b.body[3];
  ASSERT_EQ(select.kind, PlsqlStmtKind::Sql);
  EXPECT_EQ(select.sql->kind, StatementKind::Select);
  EXPECT_EQ(select.sql->text, "SELECT count(*) INTO n FROM dual");
  EXPECT_EQ(select.sql->as<SelectStmt>().query->block->into.size(), 1u);
  EXPECT_EQ(b.body[4]->sql->kind, StatementKind::Update);
  EXPECT_EQ(b.body[5]->sql->kind, StatementKind::Commit);
  EXPECT_EQ(b.body[6]->kind, PlsqlStmtKind::Block);
  EXPECT_EQ(b.body[7]->value->names, std::vector<std::string>{"RAISE_APPLICATION_ERROR"});
  EXPECT_EQ(b.body[7]->line, 18);
  EXPECT_EQ(b.body[8]->value->argNames, std::vector<std::string>{"BUFFER_SIZE"});
  ASSERT_EQ(b.handlers.size(), 2u);
  EXPECT_EQ(b.handlers[0].names, (std::vector<std::string>{"NO_DATA_FOUND", "TOO_MANY_ROWS"}));
  EXPECT_EQ(b.handlers[1].names, std::vector<std::string>{"OTHERS"});
}

TEST(ParsePlsql, BeginBlockIsStatementTypeEight) {
  auto stmt = parseAs<PlsqlBlockStmt>("begin dbms_output.put_line(:x); end;");
  EXPECT_EQ(stmt->ociStatementType(), 8);
  EXPECT_EQ(stmt->block.body[0]->kind, PlsqlStmtKind::Call);
}

}  // namespace
}  // namespace ocisim::sql
