// Users, roles, GRANT / REVOKE, ALTER SESSION, COMMENT and the transaction statements.
#include "engine/sql/parser_internal.h"

namespace ocisim::sql {
namespace {

bool endsPrivilegeWords(const Token& t) {
  return t.kind != TokenKind::Identifier || t.isWord("ON") || t.isWord("TO") ||
         t.isWord("FROM");
}

}  // namespace

std::unique_ptr<Statement> Parser::userStatement(StatementKind kind) {
  auto stmt = std::make_unique<UserStmt>(kind);
  stmt->user = identifier(1935);
  bool any = false;
  for (;;) {
    if (acceptWord("IDENTIFIED")) {
      if (acceptWord("EXTERNALLY") || acceptWord("GLOBALLY")) {
        stmt->password = std::string();
      } else {
        expectWord("BY", 924);
        const Token& p = peek();
        if (p.kind != TokenKind::Identifier) fail(988);
        // Passwords keep the case they were typed in.
        stmt->password = p.quoted ? p.text : sourceText(p.begin, p.end);
        next();
      }
    } else if (acceptWord("DEFAULT")) {
      if (acceptWord("ROLE")) {  // ALTER USER u DEFAULT ROLE ALL | r, ...
        do {
          next();
        } while (acceptOp(","));
      } else {
        expectWord("TABLESPACE", 922);
        stmt->defaultTablespace = identifier(922);
      }
    } else if (acceptWord("TEMPORARY")) {
      expectWord("TABLESPACE", 922);
      stmt->temporaryTablespace = identifier(922);
    } else if (acceptWord("QUOTA")) {
      if (!acceptWord("UNLIMITED")) sizeValue();
      expectWord("ON", 922);
      identifier(922);
    } else if (acceptWord("PROFILE")) {
      identifier(922);
    } else if (acceptWord("PASSWORD")) {
      expectWord("EXPIRE", 922);
    } else if (acceptWord("ACCOUNT")) {
      if (acceptWord("LOCK")) {
        stmt->accountLocked = true;
      } else {
        expectWord("UNLOCK", 922);
        stmt->accountLocked = false;
      }
    } else {
      break;
    }
    any = true;
  }
  if (!any || (kind == StatementKind::CreateUser && !stmt->password)) fail(922);
  expectStatementEnd(922);
  return stmt;
}

std::unique_ptr<Statement> Parser::createRole() {
  auto stmt = std::make_unique<CreateRoleStmt>();
  stmt->role = identifier(1935);
  if (atWord("NOT") && atWord("IDENTIFIED", 1)) {
    next();
    next();
  } else if (acceptWord("IDENTIFIED")) {
    expectWord("BY", 924);
    const Token& p = peek();
    if (p.kind != TokenKind::Identifier) fail(988);
    stmt->password = p.quoted ? p.text : sourceText(p.begin, p.end);
    next();
  }
  expectStatementEnd(922);
  return stmt;
}

// GRANT privilege|role [, ...] [ON [schema.]object] TO grantee [, ...] [WITH ADMIN|GRANT
// OPTION]; REVOKE ... FROM ... [CASCADE CONSTRAINTS] [FORCE].
std::unique_ptr<Statement> Parser::grantStatement(bool grant) {
  next();  // GRANT / REVOKE
  auto stmt =
      std::make_unique<GrantStmt>(grant ? StatementKind::Grant : StatementKind::Revoke);
  do {
    std::string words;
    while (!endsPrivilegeWords(peek())) {
      if (!words.empty()) words += ' ';
      words += next().text;
    }
    if (words.empty()) fail(990);
    if (words == "ALL PRIVILEGES") words = "ALL";
    std::vector<std::string> columns;
    if (atOp("(")) columns = nameList(904);
    stmt->privileges.push_back(std::move(words));
    stmt->privilegeColumns.push_back(std::move(columns));
  } while (acceptOp(","));
  if (acceptWord("ON")) stmt->object = qualifiedName(903);
  expectWord(grant ? "TO" : "FROM", 905);
  do {
    if (acceptWord("PUBLIC")) {
      stmt->grantees.emplace_back("PUBLIC");
    } else {
      stmt->grantees.push_back(identifier(987));
    }
  } while (acceptOp(","));
  if (grant && acceptWord("WITH")) {
    if (acceptWord("ADMIN")) {
      stmt->withAdminOption = true;
    } else if (acceptWord("GRANT")) {
      stmt->withGrantOption = true;
    } else {
      expectWord("HIERARCHY", 905);
    }
    expectWord("OPTION", 905);
  }
  if (!grant) {
    if (acceptWord("CASCADE")) {
      expectWord("CONSTRAINTS", 905);
      stmt->cascadeConstraints = true;
    }
    acceptWord("FORCE");
  }
  expectStatementEnd(933);
  return stmt;
}

std::unique_ptr<Statement> Parser::alterSession() {
  auto stmt = std::make_unique<AlterSessionStmt>();
  expectWord("SET", 922);
  do {
    SessionSetting s;
    s.name = identifier(922);
    expectOp("=", 922);
    const Token& v = peek();
    if (v.kind == TokenKind::String) {
      s.value = v.text;
      s.quoted = true;
    } else if (v.kind == TokenKind::Number || v.kind == TokenKind::Identifier) {
      s.value = v.text;
    } else {
      fail(922);
    }
    next();
    stmt->settings.push_back(std::move(s));
  } while (atIdentifier() && atOp("=", 1));
  expectStatementEnd(922);
  return stmt;
}

std::unique_ptr<Statement> Parser::commentStatement() {
  next();  // COMMENT
  auto stmt = std::make_unique<CommentStmt>();
  expectWord("ON", 905);
  if (acceptWord("COLUMN")) {
    stmt->onColumn = true;
    std::vector<std::string> parts{identifier(904)};
    while (acceptOp(".")) parts.push_back(identifier(904));
    if (parts.size() < 2 || parts.size() > 3) fail(904);
    stmt->column = parts.back();
    stmt->table.name = parts[parts.size() - 2];
    if (parts.size() == 3) stmt->table.schema = parts[0];
  } else {
    if (!acceptWord("TABLE")) expectWord("VIEW", 905);
    stmt->table = qualifiedName(903);
  }
  expectWord("IS", 905);
  if (peek().kind != TokenKind::String) fail(1780);
  stmt->comment = next().text;
  expectStatementEnd(933);
  return stmt;
}

std::unique_ptr<Statement> Parser::transactionStatement() {
  const Token& first = next();
  StatementKind kind = first.isWord("COMMIT")     ? StatementKind::Commit
                       : first.isWord("ROLLBACK") ? StatementKind::Rollback
                                                  : StatementKind::Savepoint;
  auto stmt = std::make_unique<TransactionStmt>(kind);
  if (kind == StatementKind::Savepoint) {
    stmt->savepoint = identifier(904);
  } else {
    acceptWord("WORK");
    if (kind == StatementKind::Commit && acceptWord("COMMENT")) {
      if (peek().kind != TokenKind::String) fail(1780);
      next();
    }
    if (kind == StatementKind::Rollback && acceptWord("TO")) {
      acceptWord("SAVEPOINT");
      stmt->savepoint = identifier(904);
    }
  }
  if (!inPlsql_) expectStatementEnd(933);
  return stmt;
}

}  // namespace ocisim::sql
