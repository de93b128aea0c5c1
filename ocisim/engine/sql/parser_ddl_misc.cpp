// CREATE / ALTER dispatch and the smaller DDL statements: sequences, views, DROP, TRUNCATE,
// users and roles, GRANT / REVOKE, ALTER SESSION, COMMENT, COMMIT / ROLLBACK / SAVEPOINT.
#include "engine/sql/parser_internal.h"

namespace ocisim::sql {
namespace {

// The error of a missing or malformed object name after DROP <kind>.
int dropNameError(ObjectKind kind) {
  switch (kind) {
    case ObjectKind::Index: return 953;
    case ObjectKind::Sequence: return 2277;
    case ObjectKind::Table:
    case ObjectKind::View:
    case ObjectKind::Synonym: return 903;
    default: return 4050;
  }
}

}  // namespace

std::unique_ptr<Statement> Parser::createStatement() {
  next();  // CREATE
  bool orReplace = false;
  if (acceptWord("OR")) {
    expectWord("REPLACE", 922);
    orReplace = true;
  }
  bool force = false;
  if (acceptWord("FORCE")) {
    force = true;
  } else if (atWord("NO") && atWord("FORCE", 1)) {
    next();
    next();
  } else {
    acceptWord("NOFORCE");
  }
  if (!acceptWord("EDITIONABLE")) acceptWord("NONEDITIONABLE");
  if (atWord("VIEW")) {
    auto stmt = createView(orReplace);
    stmt->as<CreateViewStmt>().force = force;
    return stmt;
  }
  if (atWord("PROCEDURE") || atWord("FUNCTION") || atWord("PACKAGE") || atWord("TYPE") ||
      atWord("TRIGGER")) {
    return createCode(orReplace, force);
  }
  if (atWord("SYNONYM") || (atWord("PUBLIC") && atWord("SYNONYM", 1))) {
    // OR REPLACE came to synonyms with release 9.
    if (force || (orReplace && release() < 900)) fail(922);
    bool isPublic = acceptWord("PUBLIC");
    next();  // SYNONYM
    return createSynonym(orReplace, isPublic);
  }
  if (orReplace || force) fail(922);
  if (acceptWord("TABLE")) return createTable();
  if (atWord("GLOBAL") && atWord("TEMPORARY", 1)) {
    if (release() < 801) fail(901);  // temporary tables came with release 8.1
    next();
    next();
    expectWord("TABLE", 901);
    auto stmt = createTable();
    auto& table = stmt->as<CreateTableStmt>();
    table.globalTemporary = true;
    return stmt;
  }
  if (acceptWord("TABLESPACE")) return createTablespace(false, false);
  if (atWord("TEMPORARY") && atWord("TABLESPACE", 1)) {
    next();
    next();
    return createTablespace(true, false);
  }
  if (atWord("UNDO") && atWord("TABLESPACE", 1)) {
    next();
    next();
    return createTablespace(false, true);
  }
  if (atWord("UNIQUE") || atWord("BITMAP")) {
    bool unique = next().isWord("UNIQUE");
    expectWord("INDEX", 901);
    auto stmt = createIndex(unique);
    stmt->as<CreateIndexStmt>().bitmap = !unique;
    return stmt;
  }
  if (acceptWord("INDEX")) return createIndex(false);
  if (acceptWord("SEQUENCE")) return sequenceStatement(StatementKind::CreateSequence);
  if (acceptWord("USER")) return userStatement(StatementKind::CreateUser);
  if (acceptWord("ROLE")) return createRole();
  fail(901);
}

std::unique_ptr<Statement> Parser::alterStatement() {
  next();  // ALTER
  if (acceptWord("TABLE")) return alterTable();
  if (acceptWord("SEQUENCE")) return sequenceStatement(StatementKind::AlterSequence);
  if (acceptWord("USER")) return userStatement(StatementKind::AlterUser);
  if (acceptWord("SESSION")) return alterSession();
  if (acceptWord("TRIGGER")) return alterTrigger();
  if (acceptWord("INDEX")) return alterIndex();
  if (acceptWord("VIEW")) return alterView();
  fail(940);
}

// ALTER INDEX [schema.]name RENAME TO new | REBUILD [attributes] | UNUSABLE.
std::unique_ptr<Statement> Parser::alterIndex() {
  auto stmt = std::make_unique<AlterIndexStmt>();
  stmt->index = qualifiedName(953);
  if (acceptWord("RENAME")) {
    expectWord("TO", 14155);
    stmt->action = AlterIndexStmt::Action::Rename;
    stmt->newName = identifier(953);
    if (atOp(".")) fail(14047);
  } else if (acceptWord("REBUILD")) {
    stmt->action = AlterIndexStmt::Action::Rebuild;
    while (storageAttribute(stmt->storage, true)) {
    }
  } else if (acceptWord("UNUSABLE")) {
    stmt->action = AlterIndexStmt::Action::Unusable;
  } else {
    fail(2243);
  }
  expectStatementEnd(2243);
  return stmt;
}

// ALTER VIEW [schema.]name COMPILE.
std::unique_ptr<Statement> Parser::alterView() {
  auto stmt = std::make_unique<AlterViewStmt>();
  stmt->view = qualifiedName(903);
  expectWord("COMPILE", 922);
  expectStatementEnd(922);
  return stmt;
}

// CREATE [OR REPLACE] [PUBLIC] SYNONYM [schema.]name FOR [schema.]object. A database link
// (object@link) is refused: ocisim has no other databases to reach.
std::unique_ptr<Statement> Parser::createSynonym(bool orReplace, bool isPublic) {
  auto stmt = std::make_unique<CreateSynonymStmt>();
  stmt->orReplace = orReplace;
  stmt->isPublic = isPublic;
  stmt->synonym = qualifiedName(903);
  if (isPublic && !stmt->synonym.schema.empty()) fail(905);  // a public synonym has no schema
  expectWord("FOR", 905);
  stmt->target = qualifiedName(903);
  if (atOp("@")) {
    failWith(OraError::withText(3001, "unimplemented feature: database links"), peek());
  }
  expectStatementEnd(933);
  return stmt;
}

// CREATE [TEMPORARY | UNDO] TABLESPACE name DATAFILE | TEMPFILE 'file' [SIZE n] [REUSE]
// [, 'file' ...] [AUTOEXTEND ...] and the other clauses, read and not kept.
std::unique_ptr<Statement> Parser::createTablespace(bool temporary, bool undo) {
  auto stmt = std::make_unique<CreateTablespaceStmt>();
  stmt->temporary = temporary;
  stmt->undo = undo;
  stmt->name = identifier(2216);
  if (acceptWord(temporary ? "TEMPFILE" : "DATAFILE")) {
    do {
      if (peek().kind != TokenKind::String) fail(2236);
      next();
      if (acceptWord("SIZE")) sizeValue();
      acceptWord("REUSE");
      if (acceptWord("AUTOEXTEND")) {
        if (!acceptWord("OFF")) {
          expectWord("ON", 922);
          if (acceptWord("NEXT")) sizeValue();
          if (acceptWord("MAXSIZE")) {
            if (!acceptWord("UNLIMITED")) sizeValue();
          }
        }
      }
    } while (acceptOp(","));
  } else {
    fail(2199);
  }
  // The remaining clauses (LOGGING, EXTENT MANAGEMENT ..., SEGMENT SPACE MANAGEMENT ...,
  // DEFAULT STORAGE (...), BLOCKSIZE n, ONLINE ...) are read word by word.
  while (!atEnd()) {
    if (atOp("(")) {
      int depth = 0;
      do {
        if (atOp("(")) ++depth;
        if (atOp(")")) --depth;
        next();
      } while (depth > 0 && !atEnd());
      continue;
    }
    if (peek().kind == TokenKind::Identifier || peek().kind == TokenKind::Number) {
      next();
      continue;
    }
    break;
  }
  expectStatementEnd(922);
  return stmt;
}

// ALTER TRIGGER [schema.]name ENABLE | DISABLE | COMPILE [DEBUG] [REUSE SETTINGS].
std::unique_ptr<Statement> Parser::alterTrigger() {
  auto stmt = std::make_unique<AlterTriggerStmt>();
  stmt->trigger = qualifiedName(4070);
  if (acceptWord("ENABLE")) {
    stmt->action = AlterTriggerStmt::Action::Enable;
  } else if (acceptWord("DISABLE")) {
    stmt->action = AlterTriggerStmt::Action::Disable;
  } else if (acceptWord("COMPILE")) {
    stmt->action = AlterTriggerStmt::Action::Compile;
    acceptWord("DEBUG");
    if (acceptWord("REUSE")) expectWord("SETTINGS", 922);
  } else {
    fail(922);
  }
  expectStatementEnd(922);
  return stmt;
}

std::unique_ptr<Statement> Parser::sequenceStatement(StatementKind kind) {
  auto stmt = std::make_unique<SequenceStmt>(kind);
  stmt->sequence = qualifiedName(2277);
  SequenceOptions& o = stmt->options;
  for (;;) {
    if (acceptWord("INCREMENT")) {
      expectWord("BY", 905);
      o.incrementBy = signedNumberText(933);
    } else if (acceptWord("START")) {
      expectWord("WITH", 905);
      o.startWith = signedNumberText(933);
    } else if (acceptWord("MINVALUE")) {
      o.minValue = signedNumberText(933);
    } else if (acceptWord("NOMINVALUE")) {
      o.noMinValue = true;
    } else if (acceptWord("MAXVALUE")) {
      o.maxValue = signedNumberText(933);
    } else if (acceptWord("NOMAXVALUE")) {
      o.noMaxValue = true;
    } else if (acceptWord("CACHE")) {
      o.cache = signedNumberText(933);
    } else if (acceptWord("NOCACHE")) {
      o.noCache = true;
    } else if (atWord("CYCLE") || atWord("NOCYCLE")) {
      o.cycle = next().isWord("CYCLE");
    } else if (atWord("ORDER") || atWord("NOORDER")) {
      o.order = next().isWord("ORDER");
    } else {
      break;
    }
  }
  expectStatementEnd(933);
  return stmt;
}

std::unique_ptr<Statement> Parser::createView(bool orReplace) {
  next();  // VIEW
  auto stmt = std::make_unique<CreateViewStmt>();
  stmt->orReplace = orReplace;
  stmt->view = qualifiedName(903);
  if (atOp("(")) stmt->columns = nameList(904);
  expectWord("AS", 905);
  if (!atQueryStart() && !(atOp("(") && atQueryStart(1))) fail(928);
  uint32_t begin = peek().begin;
  stmt->query = query();
  stmt->queryText = sourceText(begin, prevEnd());
  stmt->queryBegin = begin;
  if (acceptWord("WITH")) {
    if (acceptWord("READ")) {
      expectWord("ONLY", 905);
      stmt->readOnly = true;
      if (acceptWord("CONSTRAINT")) stmt->checkConstraintName = identifier(904);
    } else {
      expectWord("CHECK", 905);
      expectWord("OPTION", 905);
      stmt->checkOption = true;
      if (acceptWord("CONSTRAINT")) stmt->checkConstraintName = identifier(904);
    }
  }
  expectStatementEnd(933);
  return stmt;
}

std::unique_ptr<Statement> Parser::dropStatement() {
  next();  // DROP
  auto stmt = std::make_unique<DropStmt>();
  if (acceptWord("PUBLIC")) {
    stmt->isPublic = true;
    if (!atWord("SYNONYM")) fail(950);
  }
  const Token& kind = next();
  if (kind.isWord("TABLE")) {
    stmt->object = ObjectKind::Table;
  } else if (kind.isWord("VIEW")) {
    stmt->object = ObjectKind::View;
  } else if (kind.isWord("INDEX")) {
    stmt->object = ObjectKind::Index;
  } else if (kind.isWord("SEQUENCE")) {
    stmt->object = ObjectKind::Sequence;
  } else if (kind.isWord("SYNONYM")) {
    stmt->object = ObjectKind::Synonym;
  } else if (kind.isWord("PROCEDURE")) {
    stmt->object = ObjectKind::Procedure;
  } else if (kind.isWord("FUNCTION")) {
    stmt->object = ObjectKind::Function;
  } else if (kind.isWord("PACKAGE")) {
    stmt->object = acceptWord("BODY") ? ObjectKind::PackageBody : ObjectKind::Package;
  } else if (kind.isWord("TYPE")) {
    stmt->object = acceptWord("BODY") ? ObjectKind::TypeBody : ObjectKind::Type;
  } else if (kind.isWord("TRIGGER")) {
    stmt->object = ObjectKind::Trigger;
  } else if (kind.isWord("USER")) {
    stmt->object = ObjectKind::User;
  } else if (kind.isWord("ROLE")) {
    stmt->object = ObjectKind::Role;
  } else if (kind.isWord("TABLESPACE")) {
    stmt->object = ObjectKind::Tablespace;
  } else {
    failAt(950, kind);
  }
  bool principal = stmt->object == ObjectKind::User || stmt->object == ObjectKind::Role ||
                   stmt->object == ObjectKind::Tablespace;
  if (principal) {
    stmt->name.name = identifier(1935);
  } else {
    stmt->name = qualifiedName(dropNameError(stmt->object));
  }
  if (stmt->object == ObjectKind::Table) {
    if (acceptWord("CASCADE")) {
      expectWord("CONSTRAINTS", 905);
      stmt->cascade = true;
    }
    acceptWord("PURGE");
  } else if (stmt->object == ObjectKind::User) {
    stmt->cascade = acceptWord("CASCADE");
  } else if (stmt->object == ObjectKind::Type) {
    stmt->force = acceptWord("FORCE");
    if (!stmt->force) acceptWord("VALIDATE");
  } else if (stmt->object == ObjectKind::Synonym) {
    stmt->force = acceptWord("FORCE");
  } else if (stmt->object == ObjectKind::Tablespace) {
    if (acceptWord("INCLUDING")) {
      expectWord("CONTENTS", 905);
      stmt->includingContents = true;
      if (acceptWord("AND") || acceptWord("KEEP")) expectWord("DATAFILES", 905);
      if (acceptWord("CASCADE")) expectWord("CONSTRAINTS", 905);
    }
  }
  expectStatementEnd(933);
  return stmt;
}

std::unique_ptr<Statement> Parser::truncateStatement() {
  next();  // TRUNCATE
  expectWord("TABLE", 3290);
  auto stmt = std::make_unique<TruncateTableStmt>();
  stmt->table = qualifiedName(903);
  if (atWord("DROP") || atWord("REUSE")) {
    next();
    expectWord("STORAGE", 905);
  }
  expectStatementEnd(933);
  return stmt;
}

}  // namespace ocisim::sql
