// INSERT, UPDATE and DELETE.
#include "engine/sql/parser_internal.h"

namespace ocisim::sql {

std::string Parser::optionalAlias() {
  if (atIdentifier()) return next().text;
  return {};
}

std::unique_ptr<Statement> Parser::insertStatement() {
  next();  // INSERT
  auto stmt = std::make_unique<InsertStmt>();
  if (atWord("ALL") || atWord("FIRST")) {
    failWith(OraError::withText(3001, "unimplemented feature: multi-table INSERT"), peek());
  }
  expectWord("INTO", 925);
  stmt->table = qualifiedName(903);
  stmt->alias = optionalAlias();
  if (atOp("(") && !atQueryStart(1)) {
    next();
    do {
      stmt->columns.push_back(identifier(904));
      if (atIdentifier()) fail(917);
    } while (acceptOp(","));
    expectOp(")", 907);
  }
  if (acceptWord("VALUES")) {
    expectOp("(", 906);
    do {
      stmt->values.push_back(expr());
    } while (acceptOp(","));
    expectOp(")", 907);
  } else if (atQueryStart() || (atOp("(") && atQueryStart(1))) {
    stmt->query = query();
  } else {
    fail(926);
  }
  if (!inPlsql_) expectStatementEnd(933);
  return stmt;
}

std::unique_ptr<Statement> Parser::updateStatement() {
  next();  // UPDATE
  auto stmt = std::make_unique<UpdateStmt>();
  stmt->table = qualifiedName(903);
  stmt->alias = optionalAlias();
  expectWord("SET", 971);
  do {
    Assignment a;
    a.column = identifier(904);
    if (atOp(".")) {  // alias.column
      next();
      a.column = identifier(904);
    }
    expectOp("=", 927);
    a.value = expr();
    stmt->assignments.push_back(std::move(a));
  } while (acceptOp(","));
  if (acceptWord("WHERE")) stmt->where = expr();
  if (!inPlsql_) expectStatementEnd(933);
  return stmt;
}

std::unique_ptr<Statement> Parser::deleteStatement() {
  next();  // DELETE
  auto stmt = std::make_unique<DeleteStmt>();
  acceptWord("FROM");
  stmt->table = qualifiedName(903);
  stmt->alias = optionalAlias();
  if (acceptWord("WHERE")) stmt->where = expr();
  if (!inPlsql_) expectStatementEnd(933);
  return stmt;
}

}  // namespace ocisim::sql
