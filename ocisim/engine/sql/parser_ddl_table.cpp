// CREATE TABLE and ALTER TABLE: column definitions, types, constraints and physical
// attributes (the storage clauses themselves are in parser_ddl_storage.cpp).
#include "engine/sql/parser_internal.h"

namespace ocisim::sql {
namespace {

bool isLengthType(const std::string& n) {
  return n == "VARCHAR2" || n == "VARCHAR" || n == "NVARCHAR2" || n == "CHAR" || n == "NCHAR" ||
         n == "RAW" || n == "CHARACTER";
}

int maxLength(const std::string& n, bool plsql) {
  if (plsql) return 32767;
  if (n == "CHAR" || n == "NCHAR" || n == "RAW" || n == "CHARACTER") return 2000;
  return 4000;
}

// Reserved words that are also names of built-in types.
bool isReservedTypeWord(const std::string& n) {
  return n == "NUMBER" || n == "CHAR" || n == "DATE" || n == "LONG" || n == "RAW" ||
         n == "VARCHAR2" || n == "VARCHAR" || n == "INTEGER" || n == "SMALLINT" ||
         n == "DECIMAL" || n == "FLOAT";
}

bool isNumericType(const std::string& n) {
  return n == "NUMBER" || n == "DECIMAL" || n == "DEC" || n == "NUMERIC";
}

}  // namespace

// Built-in types by their words; anything else names a user-defined type.
TypeSpec Parser::typeSpec(bool plsql) {
  TypeSpec t;
  if (!(peek().kind == TokenKind::Identifier)) fail(902);
  const Token& first = peek();
  if (plsql && (atOp("%", 1) || (atOp(".", 1) && atOp("%", 3)))) {
    t.anchor.push_back(next().text);
    if (acceptOp(".")) t.anchor.push_back(identifier(902));
    next();  // '%'
    if (acceptWord("ROWTYPE")) {
      t.rowType = true;
    } else {
      expectWord("TYPE", 902);
    }
    return t;
  }
  if (!first.quoted && isReservedWord(first.text) && !isReservedTypeWord(first.text)) fail(902);
  QualifiedName name;
  name.name = next().text;
  if (!first.quoted && atOp(".")) {
    next();
    name.schema = name.name;
    name.name = identifier(902);
  }
  t.schema = name.schema;
  t.name = name.name;
  if (!t.schema.empty() || first.quoted) return t;
  if (t.name == "LONG" && acceptWord("RAW")) t.name = "LONG RAW";
  if (t.name == "DOUBLE") {
    expectWord("PRECISION", 902);
    t.name = "DOUBLE PRECISION";
  }
  if (t.name == "CHARACTER" && acceptWord("VARYING")) t.name = "VARCHAR";
  if (!atOp("(")) {
    if (isLengthType(t.name) && t.name != "CHAR" && t.name != "NCHAR" && t.name != "CHARACTER") {
      if (!plsql || t.name == "RAW") fail(906);
    }
    if (t.name == "TIMESTAMP") timeZoneClause(t);
    return t;
  }
  next();  // '('
  if (isLengthType(t.name)) {
    int64_t n = integer(902);
    if (n < 1) failAt(1727, peek());
    if (n > maxLength(t.name, plsql)) failAt(910, peek());
    t.length = static_cast<int>(n);
    if (acceptWord("CHAR")) {
      t.charSemantics = true;
    } else {
      t.byteSemantics = acceptWord("BYTE");
    }
  } else if (isNumericType(t.name) || t.name == "FLOAT" || t.name == "TIMESTAMP") {
    if (acceptOp("*")) {
      t.starPrecision = true;
    } else {
      int64_t p = integer(902);
      int64_t maxP = t.name == "FLOAT" ? 126 : t.name == "TIMESTAMP" ? 9 : 38;
      if (p < (t.name == "TIMESTAMP" ? 0 : 1) || p > maxP) failAt(1727, peek());
      t.precision = static_cast<int>(p);
    }
    if (isNumericType(t.name) && acceptOp(",")) {
      int64_t s = integer(902);
      if (s < -84 || s > 127) failAt(1728, peek());
      t.scale = static_cast<int>(s);
    }
  } else {
    fail(907);
  }
  expectOp(")", 907);
  if (t.name == "TIMESTAMP") timeZoneClause(t);
  return t;
}

void Parser::timeZoneClause(TypeSpec& t) {
  if (!acceptWord("WITH")) return;
  bool local = acceptWord("LOCAL");
  expectWord("TIME", 902);
  expectWord("ZONE", 902);
  (local ? t.withLocalTimeZone : t.withTimeZone) = true;
}

bool Parser::atConstraintStart() const {
  return atWord("CONSTRAINT") || atWord("PRIMARY") || atWord("UNIQUE") || atWord("FOREIGN") ||
         atWord("CHECK");
}

// A column definition: name [type] [DEFAULT expr] [inline constraints]. In MODIFY every part
// after the name is optional.
ColumnDef Parser::columnDef(bool modify) {
  ColumnDef c;
  c.name = identifier(904);
  bool typeFollows = !(atOp(",") || atOp(")") || atEnd() || atWord("DEFAULT") ||
                       atWord("NOT") || atWord("NULL") || atWord("CONSTRAINT") ||
                       atWord("PRIMARY") || atWord("UNIQUE") || atWord("REFERENCES") ||
                       atWord("CHECK") || atWord("ENABLE") || atWord("DISABLE"));
  if (typeFollows) c.type = typeSpec(false);
  if (!c.type && !modify && !(atOp(",") || atOp(")"))) fail(902);
  if (atWord("DEFAULT")) {
    next();
    c.defaultExpr = expr();
    c.defaultText = sourceText(c.defaultExpr->begin, peek().begin);
  }
  inlineConstraints(c);
  return c;
}

void Parser::inlineConstraints(ColumnDef& column) {
  for (;;) {
    ConstraintDef c;
    if (acceptWord("CONSTRAINT")) {
      c.name = identifier(904);
    } else if (!(atWord("NOT") || atWord("NULL") || atWord("PRIMARY") || atWord("UNIQUE") ||
                 atWord("REFERENCES") || atWord("CHECK"))) {
      return;
    }
    if (atWord("NOT")) {
      next();
      expectWord("NULL", 908);
      c.kind = ConstraintKind::NotNull;
    } else if (acceptWord("NULL")) {
      c.kind = ConstraintKind::Null;
    } else if (acceptWord("PRIMARY")) {
      expectWord("KEY", 905);
      c.kind = ConstraintKind::PrimaryKey;
    } else if (acceptWord("UNIQUE")) {
      c.kind = ConstraintKind::Unique;
    } else if (atWord("REFERENCES")) {
      c.kind = ConstraintKind::ForeignKey;
      referencesClause(c);
    } else if (atWord("CHECK")) {
      checkClause(c);
    } else {
      fail(905);
    }
    constraintState(c);
    column.constraints.push_back(std::move(c));
  }
}

ConstraintDef Parser::outOfLineConstraint() {
  ConstraintDef c;
  if (acceptWord("CONSTRAINT")) c.name = identifier(904);
  if (acceptWord("PRIMARY")) {
    expectWord("KEY", 905);
    c.kind = ConstraintKind::PrimaryKey;
    c.columns = nameList(904);
  } else if (acceptWord("UNIQUE")) {
    c.kind = ConstraintKind::Unique;
    c.columns = nameList(904);
  } else if (acceptWord("FOREIGN")) {
    expectWord("KEY", 905);
    c.kind = ConstraintKind::ForeignKey;
    c.columns = nameList(904);
    if (!atWord("REFERENCES")) fail(905);
    referencesClause(c);
  } else if (atWord("CHECK")) {
    checkClause(c);
  } else {
    fail(c.name.empty() ? 904 : 905);
  }
  constraintState(c);
  return c;
}

void Parser::referencesClause(ConstraintDef& c) {
  next();  // REFERENCES
  QualifiedName table = qualifiedName(903);
  c.refSchema = std::move(table.schema);
  c.refTable = std::move(table.name);
  if (atOp("(")) c.refColumns = nameList(904);
  if (acceptWord("ON")) {
    expectWord("DELETE", 905);
    if (acceptWord("CASCADE")) {
      c.onDelete = DeleteRule::Cascade;
    } else {
      expectWord("SET", 905);
      expectWord("NULL", 905);
      c.onDelete = DeleteRule::SetNull;
    }
  }
}

void Parser::checkClause(ConstraintDef& c) {
  next();  // CHECK
  c.kind = ConstraintKind::Check;
  expectOp("(", 906);
  uint32_t begin = peek().begin;
  c.check = expr();
  c.checkText = sourceText(begin, prevEnd());
  expectOp(")", 907);
}

// ENABLE / DISABLE / VALIDATE / NOVALIDATE / [NOT] DEFERRABLE / INITIALLY ... / RELY and
// USING INDEX, in any order. INITIALLY DEFERRED makes the constraint deferrable unless NOT
// DEFERRABLE is given, which Oracle refuses (ORA-02447).
void Parser::constraintState(ConstraintDef& c) {
  for (;;) {
    if (acceptWord("ENABLE")) {
      c.disabled = false;
      c.enableGiven = true;
    } else if (acceptWord("DISABLE")) {
      c.disabled = true;
      c.enableGiven = true;
    } else if (acceptWord("VALIDATE")) {
      c.validate = true;
    } else if (acceptWord("NOVALIDATE")) {
      c.validate = false;
    } else if (acceptWord("RELY") || acceptWord("NORELY")) {
    } else if (acceptWord("DEFERRABLE")) {
      c.deferrable = true;
    } else if (atWord("NOT") && atWord("DEFERRABLE", 1)) {
      next();
      next();
      c.deferrable = false;
    } else if (acceptWord("INITIALLY")) {
      c.initiallyGiven = true;
      c.initiallyDeferred = !acceptWord("IMMEDIATE");
      if (c.initiallyDeferred) expectWord("DEFERRED", 905);
    } else if (atWord("USING") && atWord("INDEX", 1)) {
      usingIndexClause(c);
    } else {
      break;
    }
  }
  if (c.initiallyDeferred && c.deferrable == false) fail(2447);
}

void Parser::usingIndexClause(ConstraintDef& c) {
  next();  // USING
  next();  // INDEX
  if (acceptOp("(")) {  // USING INDEX (CREATE [UNIQUE | BITMAP] INDEX ...)
    expectWord("CREATE", 922);
    bool unique = false, bitmap = false;
    if (acceptWord("UNIQUE")) {
      unique = true;
    } else if (acceptWord("BITMAP")) {
      bitmap = true;
    }
    expectWord("INDEX", 901);
    std::unique_ptr<CreateIndexStmt> index = createIndexBody(unique);
    index->bitmap = bitmap;
    expectOp(")", 907);
    c.usingIndexCreate = std::move(index);
    return;
  }
  if (atIdentifier() && !isReservedWord(peek().text) &&
      !(atWord("PCTFREE") || atWord("PCTUSED") || atWord("INITRANS") || atWord("MAXTRANS") ||
        atWord("TABLESPACE") || atWord("STORAGE") || atWord("COMPRESS") ||
        atWord("NOCOMPRESS") || atWord("LOGGING") || atWord("NOLOGGING") ||
        atWord("NOPARALLEL") || atWord("PARALLEL") || atWord("MONITORING") ||
        atWord("NOMONITORING") || atWord("ONLINE") || atWord("REVERSE") || atWord("NOSORT") ||
        atWord("COMPUTE") || atWord("ENABLE") || atWord("DISABLE") || atWord("VALIDATE") ||
        atWord("NOVALIDATE") || atWord("RELY") || atWord("NORELY") || atWord("DEFERRABLE") ||
        atWord("INITIALLY") || atWord("USING") || atWord("CASCADE") || atWord("KEEP") ||
        atWord("EXCEPTIONS"))) {
    c.usingIndexName = qualifiedName(953);  // USING INDEX [schema.]index
    return;
  }
  c.hasUsingIndex = true;
  while (storageAttribute(c.usingIndex, true)) {
  }
}

std::unique_ptr<Statement> Parser::createTable() {
  auto stmt = std::make_unique<CreateTableStmt>();
  stmt->table = qualifiedName(903);
  if (atOp("(")) {
    next();
    do {
      if (atConstraintStart()) {
        stmt->constraints.push_back(outOfLineConstraint());
      } else {
        stmt->columns.push_back(columnDef(false));
      }
    } while (acceptOp(","));
    expectOp(")", 907);
  } else if (!atWord("AS") && !(atWord("ON") && atWord("COMMIT", 1))) {
    fail(906);  // (CREATE GLOBAL TEMPORARY TABLE t ON COMMIT ... AS query has no column list)
  }
  for (;;) {
    if (storageAttribute(stmt->storage, false)) continue;
    if (acceptWord("ORGANIZATION")) {
      if (acceptWord("INDEX")) {
        stmt->organizationIndex = true;
      } else {
        expectWord("HEAP", 922);
        stmt->organizationIndex = false;
      }
      continue;
    }
    if (atWord("ON") && atWord("COMMIT", 1)) {  // GLOBAL TEMPORARY tables
      if (release() < 801) fail(922);  // no such clause before temporary tables (8.1)
      next();
      next();
      if (acceptWord("PRESERVE")) {
        stmt->onCommitPreserve = true;
      } else {
        expectWord("DELETE", 905);
        stmt->onCommitPreserve = false;
      }
      expectWord("ROWS", 905);
      continue;
    }
    break;
  }
  if (acceptWord("AS")) {
    if (!atQueryStart() && !(atOp("(") && atQueryStart(1))) fail(928);
    stmt->asQuery = query();
  } else {
    for (const ColumnDef& c : stmt->columns) {
      if (!c.type) fail(2263);
    }
  }
  expectStatementEnd(922);
  return stmt;
}

// RENAME old TO new: a table, view or sequence of the user's own schema. Read as ALTER TABLE
// old RENAME TO new marked as a RENAME (the executor also finds views and sequences).
std::unique_ptr<Statement> Parser::renameStatement() {
  next();  // RENAME
  auto stmt = std::make_unique<AlterTableStmt>();
  stmt->renameStatement = true;
  stmt->table.name = identifier(903);
  if (atOp(".")) fail(1765);
  expectWord("TO", 946);
  AlterTableAction a;
  a.kind = AlterTableActionKind::RenameTable;
  a.names.push_back(identifier(903));
  if (atOp(".")) fail(1765);
  stmt->actions.push_back(std::move(a));
  expectStatementEnd(933);
  return stmt;
}

std::unique_ptr<Statement> Parser::alterTable() {
  auto stmt = std::make_unique<AlterTableStmt>();
  stmt->table = qualifiedName(903);
  bool any = false;
  for (;;) {
    if (atWord("ADD")) {
      alterAdd(*stmt);
    } else if (atWord("MODIFY") && !(atWord("CONSTRAINT", 1) || atWord("PRIMARY", 1) ||
                                     (atWord("UNIQUE", 1) && atOp("(", 2)))) {
      alterModify(*stmt);
    } else if (atWord("DROP")) {
      alterDrop(*stmt);
    } else if (acceptWord("MOVE")) {
      AlterTableAction a;
      a.kind = AlterTableActionKind::Move;
      acceptWord("ONLINE");
      stmt->actions.push_back(std::move(a));
    } else if (atWord("RENAME") && atWord("CONSTRAINT", 1)) {
      next();
      next();
      AlterTableAction a;
      a.kind = AlterTableActionKind::RenameConstraint;
      a.names.push_back(identifier(904));
      expectWord("TO", 905);
      a.names.push_back(identifier(904));
      stmt->actions.push_back(std::move(a));
    } else if (atWord("RENAME")) {
      next();
      AlterTableAction a;
      if (acceptWord("COLUMN")) {
        a.kind = AlterTableActionKind::RenameColumn;
        a.names.push_back(identifier(904));
      } else {
        a.kind = AlterTableActionKind::RenameTable;
      }
      expectWord("TO", 905);
      a.names.push_back(identifier(a.kind == AlterTableActionKind::RenameTable ? 903 : 904));
      stmt->actions.push_back(std::move(a));
    } else if ((atWord("ENABLE") || atWord("DISABLE")) && atWord("ALL", 1)) {
      AlterTableAction a;
      a.kind = next().isWord("ENABLE") ? AlterTableActionKind::EnableAllTriggers
                                       : AlterTableActionKind::DisableAllTriggers;
      next();  // ALL
      expectWord("TRIGGERS", 905);
      stmt->actions.push_back(std::move(a));
    } else if (atWord("ENABLE") || atWord("DISABLE")) {
      alterEnableDisable(*stmt);
    } else if (atWord("MODIFY")) {  // MODIFY CONSTRAINT | PRIMARY KEY | UNIQUE (cols)
      next();
      AlterTableAction a;
      a.kind = AlterTableActionKind::ModifyConstraint;
      constraintTarget(a);
      constraintState(a.state);
      a.cascade = acceptWord("CASCADE");
      stmt->actions.push_back(std::move(a));
    } else if (storageAttribute(stmt->storage, false)) {
    } else {
      break;
    }
    any = true;
  }
  if (!any) fail(1735);
  expectStatementEnd(1735);
  return stmt;
}

// CONSTRAINT name | PRIMARY KEY | UNIQUE (columns): the constraint an ALTER TABLE clause is
// about.
void Parser::constraintTarget(AlterTableAction& a) {
  if (acceptWord("CONSTRAINT")) {
    a.names.push_back(identifier(904));
  } else if (acceptWord("PRIMARY")) {
    expectWord("KEY", 905);
    a.primaryKey = true;
  } else if (acceptWord("UNIQUE")) {
    a.uniqueColumns = true;
    a.names = nameList(904);
  } else {
    fail(905);
  }
}

// ENABLE | DISABLE [VALIDATE | NOVALIDATE] {CONSTRAINT name | PRIMARY KEY | UNIQUE (cols)}
// [USING INDEX ...] [CASCADE] [KEEP | DROP INDEX].
void Parser::alterEnableDisable(AlterTableStmt& stmt) {
  AlterTableAction a;
  a.kind = next().isWord("ENABLE") ? AlterTableActionKind::EnableConstraint
                                   : AlterTableActionKind::DisableConstraint;
  if (acceptWord("VALIDATE")) {
    a.state.validate = true;
  } else if (acceptWord("NOVALIDATE")) {
    a.state.validate = false;
  }
  constraintTarget(a);
  if (atWord("USING") && atWord("INDEX", 1)) usingIndexClause(a.state);
  a.cascade = acceptWord("CASCADE");
  if ((atWord("KEEP") || atWord("DROP")) && atWord("INDEX", 1)) {
    a.state.keepIndex = next().isWord("KEEP");
    next();
  }
  stmt.actions.push_back(std::move(a));
}

void Parser::alterAdd(AlterTableStmt& stmt) {
  next();  // ADD
  AlterTableAction a;
  a.kind = AlterTableActionKind::Add;
  if (acceptOp("(")) {
    do {
      if (atConstraintStart()) {
        a.constraints.push_back(outOfLineConstraint());
      } else {
        a.columns.push_back(columnDef(false));
        if (!a.columns.back().type) fail(902);
      }
    } while (acceptOp(","));
    expectOp(")", 907);
  } else if (atConstraintStart()) {
    a.constraints.push_back(outOfLineConstraint());
  } else {
    acceptWord("COLUMN");
    a.columns.push_back(columnDef(false));
    if (!a.columns.back().type) fail(902);
  }
  stmt.actions.push_back(std::move(a));
}

void Parser::alterModify(AlterTableStmt& stmt) {
  next();  // MODIFY
  AlterTableAction a;
  a.kind = AlterTableActionKind::Modify;
  if (acceptOp("(")) {
    do {
      a.columns.push_back(columnDef(true));
    } while (acceptOp(","));
    expectOp(")", 907);
  } else {
    acceptWord("COLUMN");
    a.columns.push_back(columnDef(true));
  }
  stmt.actions.push_back(std::move(a));
}

void Parser::alterDrop(AlterTableStmt& stmt) {
  next();  // DROP
  AlterTableAction a;
  if (acceptWord("COLUMN")) {
    a.kind = AlterTableActionKind::DropColumns;
    a.names.push_back(identifier(904));
  } else if (atOp("(")) {
    a.kind = AlterTableActionKind::DropColumns;
    a.names = nameList(904);
  } else if (acceptWord("CONSTRAINT")) {
    a.kind = AlterTableActionKind::DropConstraint;
    a.names.push_back(identifier(904));
  } else if (acceptWord("PRIMARY")) {
    expectWord("KEY", 905);
    a.kind = AlterTableActionKind::DropPrimaryKey;
  } else if (acceptWord("UNIQUE")) {
    a.kind = AlterTableActionKind::DropUnique;
    a.names = nameList(904);
  } else {
    fail(905);
  }
  if (acceptWord("CASCADE")) {
    a.cascade = true;
    if (a.kind == AlterTableActionKind::DropColumns) expectWord("CONSTRAINTS", 905);
  }
  if ((atWord("KEEP") || atWord("DROP")) && atWord("INDEX", 1)) {
    a.state.keepIndex = next().isWord("KEEP");
    next();
  }
  stmt.actions.push_back(std::move(a));
}

}  // namespace ocisim::sql
