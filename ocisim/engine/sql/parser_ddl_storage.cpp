// Physical attributes (PCTFREE ... STORAGE (...) ... COMPRESS) shared by tables, USING INDEX
// and indexes, and CREATE INDEX itself.
#include "engine/sql/parser_internal.h"

namespace ocisim::sql {
namespace {

constexpr int64_t kUnlimitedExtents = 2147483645;

}  // namespace

// A size: an integer with an optional K, M, G or T written right after it ("64K").
int64_t Parser::sizeValue() {
  if (peek().kind != TokenKind::Number) fail(2143);
  uint32_t numberEnd = peek().end;
  int64_t value = integer(2143);
  const Token& t = peek();
  if (t.kind == TokenKind::Identifier && !t.quoted && t.begin == numberEnd) {
    int64_t factor = t.text == "K"   ? 1024
                     : t.text == "M" ? 1024 * 1024
                     : t.text == "G" ? int64_t{1024} * 1024 * 1024
                     : t.text == "T" ? int64_t{1024} * 1024 * 1024 * 1024
                                     : 0;
    if (factor == 0) fail(2143);
    next();
    value *= factor;
  }
  return value;
}

void Parser::storageParens(StorageClause& s) {
  expectOp("(", 906);
  bool any = false;
  for (;;) {
    if (acceptWord("INITIAL")) {
      s.initial = sizeValue();
    } else if (acceptWord("NEXT")) {
      s.next = sizeValue();
    } else if (acceptWord("MINEXTENTS")) {
      s.minExtents = integer(2143);
    } else if (acceptWord("MAXEXTENTS")) {
      s.maxExtents = acceptWord("UNLIMITED") ? kUnlimitedExtents : integer(2143);
    } else if (acceptWord("PCTINCREASE")) {
      s.pctIncrease = integer(2143);
    } else if (acceptWord("FREELISTS")) {
      s.freelists = integer(2143);
    } else if (atWord("FREELIST") && atWord("GROUPS", 1)) {
      next();
      next();
      s.freelistGroups = integer(2143);
    } else if (acceptWord("OPTIMAL")) {
      if (!acceptWord("NULL")) sizeValue();
    } else if (acceptWord("BUFFER_POOL")) {
      identifier(2143);
    } else {
      break;
    }
    any = true;
  }
  if (!any) fail(2143);
  expectOp(")", 907);
}

// One physical attribute; false (nothing consumed) when the next words are not one.
bool Parser::storageAttribute(StorageClause& s, bool index) {
  if (acceptWord("PCTFREE")) {
    s.pctFree = integer(922);
  } else if (acceptWord("PCTUSED")) {
    s.pctUsed = integer(922);
  } else if (acceptWord("INITRANS")) {
    s.iniTrans = integer(922);
  } else if (acceptWord("MAXTRANS")) {
    s.maxTrans = integer(922);
  } else if (acceptWord("TABLESPACE")) {
    s.tablespace = identifier(922);
  } else if (acceptWord("STORAGE")) {
    storageParens(s);
  } else if (acceptWord("COMPRESS")) {
    s.compress = peek().kind == TokenKind::Number ? static_cast<int>(integer(922)) : 0;
  } else if (acceptWord("NOCOMPRESS")) {
    s.compress.reset();
  } else if (acceptWord("LOGGING") || acceptWord("NOLOGGING") || acceptWord("NOPARALLEL") ||
             acceptWord("MONITORING") || acceptWord("NOMONITORING")) {
  } else if (acceptWord("PARALLEL")) {
    if (peek().kind == TokenKind::Number) integer(922);
  } else if (!index && (acceptWord("CACHE") || acceptWord("NOCACHE"))) {
  } else if (index && (acceptWord("ONLINE") || acceptWord("REVERSE") || acceptWord("NOSORT"))) {
  } else if (index && atWord("COMPUTE") && atWord("STATISTICS", 1)) {
    next();
    next();
  } else {
    return false;
  }
  return true;
}

std::unique_ptr<Statement> Parser::createIndex(bool unique) {
  auto stmt = createIndexBody(unique);
  expectStatementEnd(2158);
  return stmt;
}

// CREATE [UNIQUE | BITMAP] INDEX after the INDEX keyword, up to the end of its attributes (also
// inside USING INDEX (CREATE INDEX ...)).
std::unique_ptr<CreateIndexStmt> Parser::createIndexBody(bool unique) {
  auto stmt = std::make_unique<CreateIndexStmt>();
  stmt->unique = unique;
  stmt->index = qualifiedName(953);
  expectWord("ON", 969);
  stmt->table = qualifiedName(903);
  expectOp("(", 906);
  do {
    IndexColumn column;
    uint32_t begin = peek().begin;
    column.expr = expr();
    column.text = sourceText(begin, prevEnd());
    if (column.expr->kind == ExprKind::Column && column.expr->names.size() == 1 &&
        !column.expr->outerJoin) {
      column.name = column.expr->names[0];
    }
    if (acceptWord("DESC")) {
      column.descending = true;
    } else {
      acceptWord("ASC");
    }
    stmt->columns.push_back(std::move(column));
  } while (acceptOp(","));
  expectOp(")", 907);
  while (storageAttribute(stmt->storage, true)) {
  }
  return stmt;
}

}  // namespace ocisim::sql
