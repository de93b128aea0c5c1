// Anonymous PL/SQL blocks: [DECLARE scalar declarations] BEGIN statements [EXCEPTION handlers]
// END; with assignments, calls, IF, loops, EXIT, RAISE, nested blocks and SQL statements.
// Errors come as ORA-06550 with the line and column, as Oracle's PL/SQL compiler gives them.
#include <string>

#include "engine/sql/parser_internal.h"

namespace ocisim::sql {
namespace {

std::string symbolOf(const Token& t) {
  if (t.kind == TokenKind::End) return "end-of-file";
  if (t.kind == TokenKind::String) return "'" + t.text + "'";
  if (t.kind == TokenKind::Bind) return ":" + t.text;
  return t.text;
}

bool isSqlStart(const Token& t) {
  return t.isWord("SELECT") || t.isWord("INSERT") || t.isWord("UPDATE") ||
         t.isWord("DELETE") || t.isWord("COMMIT") || t.isWord("ROLLBACK") ||
         t.isWord("SAVEPOINT");
}

}  // namespace

void Parser::failPls(const Token& at, std::string_view expected) const {
  std::string message = "PLS-00103: Encountered the symbol \"" + symbolOf(at) +
                        "\" when expecting one of the following: " + std::string(expected);
  failWith(OraError(6550, {std::to_string(at.line), std::to_string(at.column), message}), at);
}

void Parser::expectPlsOp(std::string_view op) {
  if (!acceptOp(op)) failPls(peek(), op);
}

void Parser::expectPlsWord(std::string_view word) {
  if (!acceptWord(word)) failPls(peek(), word);
}

std::unique_ptr<Statement> Parser::plsqlBlockStatement() {
  auto stmt = std::make_unique<PlsqlBlockStmt>();
  stmt->startsWithDeclare = atWord("DECLARE");
  inPlsql_ = true;
  allowInto_ = true;
  try {
    auto block = plsqlBlock(false);
    stmt->block = std::move(*block);
    if (!atEnd()) failPls(peek(), "end-of-file");
  } catch (const SyntaxError& e) {
    if (e.code() == 6550) throw;
    // An SQL error inside the block: Oracle reports it through the PL/SQL compiler.
    std::string message = "PL/SQL: " + std::string(e.what());
    throw SyntaxError(
        OraError(6550, {std::to_string(e.line()), std::to_string(e.column()), message}),
        e.offset(), e.line(), e.column());
  }
  return stmt;
}

std::unique_ptr<PlsqlBlock> Parser::plsqlBlock(bool declareSeen) {
  auto block = std::make_unique<PlsqlBlock>();
  if (declareSeen || acceptWord("DECLARE")) declarations(*block);
  expectPlsWord("BEGIN");
  block->body = plsqlStatements({"EXCEPTION", "END"});
  if (acceptWord("EXCEPTION")) {
    if (!atWord("WHEN")) failPls(peek(), "WHEN");
    while (acceptWord("WHEN")) {
      ExceptionHandler handler;
      do {
        if (!atIdentifier()) failPls(peek(), "an exception name");
        handler.names.push_back(next().text);
      } while (acceptWord("OR"));
      expectPlsWord("THEN");
      handler.body = plsqlStatements({"WHEN", "END"});
      block->handlers.push_back(std::move(handler));
    }
  }
  expectPlsWord("END");
  if (atIdentifier()) next();  // END label
  expectPlsOp(";");
  return block;
}

void Parser::declarations(PlsqlBlock& block) {
  while (!atWord("BEGIN")) {
    if (atWord("CURSOR") || atWord("FUNCTION") || atWord("PROCEDURE") || atWord("TYPE") ||
        atWord("PRAGMA") || atWord("SUBTYPE")) {
      failPls(peek(), "a scalar variable declaration (cursors, types and local subprograms "
                      "are not supported)");
    }
    if (!atIdentifier()) failPls(peek(), "begin function pragma procedure subtype type");
    VarDecl decl;
    decl.name = next().text;
    decl.constant = acceptWord("CONSTANT");
    decl.type = typeSpec(true);
    if (atWord("NOT")) {
      next();
      expectPlsWord("NULL");
      decl.notNull = true;
    }
    if (acceptOp(":=") || acceptWord("DEFAULT")) decl.init = expr();
    expectPlsOp(";");
    block.declarations.push_back(std::move(decl));
  }
}

PlsqlStmtList Parser::plsqlStatements(std::initializer_list<std::string_view> terminators) {
  PlsqlStmtList list;
  for (;;) {
    bool done = atEnd();
    for (std::string_view t : terminators) done = done || atWord(t);
    if (done) break;
    list.push_back(plsqlStatement());
  }
  if (list.empty()) failPls(peek(), "begin case declare exit for goto if loop null raise "
                                    "return select update while <an identifier>");
  return list;
}

std::unique_ptr<PlsqlStmt> Parser::plsqlStatement() {
  while (atOp("<") && atOp("<", 1)) {  // <<label>>
    next();
    next();
    if (!atIdentifier()) failPls(peek(), "a label");
    next();
    expectPlsOp(">");
    expectPlsOp(">");
  }
  const Token& first = peek();
  auto s = std::make_unique<PlsqlStmt>();
  s->begin = first.begin;
  s->line = first.line;
  if (first.isWord("IF")) return ifStatement();
  if (first.isWord("FOR")) return loopStatement(PlsqlStmtKind::ForLoop);
  if (first.isWord("WHILE")) return loopStatement(PlsqlStmtKind::WhileLoop);
  if (first.isWord("LOOP")) return loopStatement(PlsqlStmtKind::Loop);
  if (isSqlStart(first)) return sqlInPlsql();
  if (first.isWord("BEGIN") || first.isWord("DECLARE")) {
    s->kind = PlsqlStmtKind::Block;
    s->block = plsqlBlock(false);
    s->end = prevEnd();
    return s;
  }
  if (acceptWord("NULL")) {
    s->kind = PlsqlStmtKind::Null;
  } else if (acceptWord("EXIT")) {
    s->kind = PlsqlStmtKind::Exit;
    if (acceptWord("WHEN")) s->value = expr();
  } else if (acceptWord("RAISE")) {
    s->kind = PlsqlStmtKind::Raise;
    if (atIdentifier()) s->exceptionName = next().text;
  } else if (acceptWord("RETURN")) {
    s->kind = PlsqlStmtKind::Return;
  } else if (first.kind == TokenKind::Bind || atIdentifier()) {
    std::unique_ptr<Expr> target;
    if (first.kind == TokenKind::Bind) {
      target = primary();
    } else {
      target = nameOrCall();
    }
    if (acceptOp(":=")) {
      if (target->kind != ExprKind::Column && target->kind != ExprKind::Bind) {
        failPls(tokens_[position() - 1], ";");
      }
      s->kind = PlsqlStmtKind::Assign;
      s->target = std::move(target);
      s->value = expr();
    } else {
      if (target->kind != ExprKind::Function && target->kind != ExprKind::Column) {
        failPls(peek(), ":=");
      }
      s->kind = PlsqlStmtKind::Call;
      s->value = std::move(target);
    }
  } else {
    failPls(first, "begin case declare exit for if loop null raise return select update "
                   "while <an identifier>");
  }
  expectPlsOp(";");
  s->end = prevEnd();
  return s;
}

std::unique_ptr<PlsqlStmt> Parser::ifStatement() {
  auto s = std::make_unique<PlsqlStmt>();
  s->kind = PlsqlStmtKind::If;
  s->begin = peek().begin;
  s->line = peek().line;
  next();  // IF
  do {
    IfBranch branch;
    branch.condition = expr();
    expectPlsWord("THEN");
    branch.body = plsqlStatements({"ELSIF", "ELSE", "END"});
    s->branches.push_back(std::move(branch));
  } while (acceptWord("ELSIF"));
  if (acceptWord("ELSE")) s->elseBody = plsqlStatements({"END"});
  expectPlsWord("END");
  expectPlsWord("IF");
  expectPlsOp(";");
  s->end = prevEnd();
  return s;
}

std::unique_ptr<PlsqlStmt> Parser::loopStatement(PlsqlStmtKind kind) {
  auto s = std::make_unique<PlsqlStmt>();
  s->kind = kind;
  s->begin = peek().begin;
  s->line = peek().line;
  if (kind == PlsqlStmtKind::ForLoop) {
    next();  // FOR
    if (!atIdentifier()) failPls(peek(), "an identifier");
    s->loopVar = next().text;
    expectPlsWord("IN");
    s->reverse = acceptWord("REVERSE");
    s->lower = additive();
    expectPlsOp("..");
    s->upper = additive();
  } else if (kind == PlsqlStmtKind::WhileLoop) {
    next();  // WHILE
    s->value = expr();
  }
  expectPlsWord("LOOP");
  s->body = plsqlStatements({"END"});
  expectPlsWord("END");
  expectPlsWord("LOOP");
  if (atIdentifier()) next();  // END LOOP label
  expectPlsOp(";");
  s->end = prevEnd();
  return s;
}

std::unique_ptr<PlsqlStmt> Parser::sqlInPlsql() {
  auto s = std::make_unique<PlsqlStmt>();
  s->kind = PlsqlStmtKind::Sql;
  s->begin = peek().begin;
  s->line = peek().line;
  const Token& first = peek();
  if (first.isWord("SELECT")) {
    auto select = std::make_unique<SelectStmt>();
    select->query = query();
    s->sql = std::move(select);
  } else if (first.isWord("INSERT")) {
    s->sql = insertStatement();
  } else if (first.isWord("UPDATE")) {
    s->sql = updateStatement();
  } else if (first.isWord("DELETE")) {
    s->sql = deleteStatement();
  } else {
    s->sql = transactionStatement();
  }
  if (!atOp(";")) fail(933);
  s->sql->text = sourceText(s->begin, prevEnd());
  next();
  s->end = prevEnd();
  return s;
}

}  // namespace ocisim::sql
