// CREATE [OR REPLACE] PROCEDURE / FUNCTION / PACKAGE [BODY] / TYPE [BODY] / TRIGGER: the
// code is kept as source text and not compiled; only the header is parsed (the name, a type's
// attributes, a trigger's timing, events, table, REFERENCING, FOR EACH ROW and WHEN).
#include "engine/sql/parser_internal.h"

namespace ocisim::sql {
namespace {

std::string trimRight(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' ||
                        s.back() == '\n')) {
    s.pop_back();
  }
  return s;
}

bool isMethodStart(const Token& t) {
  return t.isWord("MEMBER") || t.isWord("STATIC") || t.isWord("MAP") || t.isWord("ORDER") ||
         t.isWord("CONSTRUCTOR") || t.isWord("FINAL") || t.isWord("NOT") ||
         t.isWord("OVERRIDING") || t.isWord("INSTANTIABLE");
}

}  // namespace

std::unique_ptr<Statement> Parser::createCode(bool orReplace, bool force) {
  auto stmt = std::make_unique<CreateCodeStmt>();
  stmt->orReplace = orReplace;
  stmt->force = force;
  const Token& kind = next();
  uint32_t sourceBegin = kind.begin;
  if (kind.isWord("PROCEDURE")) {
    stmt->code = CodeKind::Procedure;
  } else if (kind.isWord("FUNCTION")) {
    stmt->code = CodeKind::Function;
  } else if (kind.isWord("PACKAGE")) {
    stmt->code = acceptWord("BODY") ? CodeKind::PackageBody : CodeKind::Package;
  } else if (kind.isWord("TYPE")) {
    stmt->code = acceptWord("BODY") ? CodeKind::TypeBody : CodeKind::Type;
  } else {
    stmt->code = CodeKind::Trigger;
  }
  if (force && stmt->code != CodeKind::Type) failAt(922, kind);
  uint32_t nameBegin = peek().begin;
  stmt->name = qualifiedName(stmt->code == CodeKind::Trigger ? 4079 : 4050);
  if (atEnd()) fail(stmt->code == CodeKind::Trigger ? 4079 : 905);
  if (stmt->code == CodeKind::Type) typeHeader(*stmt);
  if (stmt->code == CodeKind::Trigger) triggerHeader(*stmt, nameBegin);
  stmt->source = trimRight(std::string(text().substr(sourceBegin)));
  return stmt;
}

// TYPE t [FORCE] [AUTHID ...] {AS|IS} OBJECT (attr type, ... [methods]) | {AS|IS} TABLE OF
// type | {AS|IS} VARRAY (n) OF type | UNDER super (...). Anything else is kept as text.
void Parser::typeHeader(CreateCodeStmt& stmt) {
  acceptWord("FORCE");
  if (acceptWord("AUTHID")) next();
  if (acceptWord("UNDER")) {
    qualifiedName(902);
    stmt.isObjectType = true;
  } else if (acceptWord("AS") || acceptWord("IS")) {
    if (acceptWord("OBJECT")) {
      stmt.isObjectType = true;
    } else if (acceptWord("TABLE") || acceptWord("VARRAY") || acceptWord("VARYING")) {
      stmt.isCollection = true;
      return;
    } else {
      fail(905);
    }
  } else {
    return;  // an incomplete (forward) type declaration: CREATE TYPE t;
  }
  if (!acceptOp("(")) return;
  do {
    if (isMethodStart(peek())) break;
    TypeAttribute a;
    a.name = identifier(904);
    a.type = typeSpec(false);
    stmt.attributes.push_back(std::move(a));
  } while (acceptOp(","));
}

void Parser::triggerHeader(CreateCodeStmt& stmt, uint32_t descriptionBegin) {
  TriggerHeader& h = stmt.trigger;
  if (acceptWord("BEFORE")) {
    h.timing = TriggerTiming::Before;
  } else if (acceptWord("AFTER")) {
    h.timing = TriggerTiming::After;
  } else if (acceptWord("INSTEAD")) {
    expectWord("OF", 4079);
    h.timing = TriggerTiming::InsteadOf;
  } else {
    fail(4079);
  }
  do {
    if (!(atWord("INSERT") || atWord("UPDATE") || atWord("DELETE"))) fail(4079);
    h.events.push_back(next().text);
    if (h.events.back() == "UPDATE" && acceptWord("OF")) {
      do {
        h.updateColumns.push_back(identifier(904));
      } while (acceptOp(","));
    }
  } while (acceptWord("OR"));
  expectWord("ON", 969);
  h.table = qualifiedName(903);
  if (atWord("REFERENCING")) {
    uint32_t begin = next().begin;
    bool any = false;
    while (atWord("NEW") || atWord("OLD") || atWord("PARENT")) {
      std::string which = next().text;
      acceptWord("AS");
      std::string alias = identifier(4079);
      (which == "NEW" ? h.referencingNew : which == "OLD" ? h.referencingOld
                                                          : h.referencingParent) = alias;
      any = true;
    }
    if (!any) fail(4079);
    h.referencingText = sourceText(begin, prevEnd());
  }
  if (acceptWord("FOR")) {
    expectWord("EACH", 4079);
    expectWord("ROW", 4079);
    h.forEachRow = true;
  }
  if (acceptWord("ENABLE")) {
    h.disabled = false;
  } else if (acceptWord("DISABLE")) {
    h.disabled = true;
  }
  h.descriptionText = sourceText(descriptionBegin, prevEnd());
  if (acceptWord("WHEN")) {
    if (!h.forEachRow) fail(4077);
    expectOp("(", 906);
    uint32_t begin = peek().begin;
    expr();
    h.whenText = sourceText(begin, prevEnd());
    expectOp(")", 907);
  }
  if (!(atWord("DECLARE") || atWord("BEGIN") || atWord("CALL"))) fail(4079);
  h.bodyText = trimRight(std::string(text().substr(peek().begin)));
}

}  // namespace ocisim::sql
