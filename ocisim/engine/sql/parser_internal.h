// The recursive-descent parser behind parseStatement (parser.h), shared by the parser_*.cpp
// files: token cursor and error helpers (parser.cpp), expressions (parser_expr.cpp), queries
// (parser_query.cpp), DML (parser_dml.cpp), DDL (parser_ddl_*.cpp), stored code and triggers
// (parser_code.cpp), anonymous blocks (parser_plsql.cpp). Internal to engine/sql.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/sql/ast.h"
#include "engine/sql/lexer.h"
#include "engine/sql/parser.h"

namespace ocisim::sql {

class Parser {
 public:
  Parser(std::string_view text, const ParseOptions& options);

  std::unique_ptr<Statement> parseTop();

  // ---- token cursor (parser.cpp)
  const Token& peek(size_t ahead = 0) const;
  const Token& next();
  bool atEnd() const { return peek().kind == TokenKind::End; }
  bool atWord(std::string_view word, size_t ahead = 0) const { return peek(ahead).isWord(word); }
  bool atOp(std::string_view op, size_t ahead = 0) const { return peek(ahead).isOp(op); }
  bool acceptWord(std::string_view word);
  bool acceptOp(std::string_view op);
  void expectWord(std::string_view word, int code);
  void expectOp(std::string_view op, int code);
  [[noreturn]] void fail(int code) const { failAt(code, peek()); }
  [[noreturn]] void failAt(int code, const Token& at) const;
  [[noreturn]] void failWith(const OraError& error, const Token& at) const;
  // An identifier that may name an object or column: unquoted and not reserved, or quoted.
  bool atIdentifier(size_t ahead = 0) const;
  std::string identifier(int code);
  QualifiedName qualifiedName(int code);
  std::vector<std::string> nameList(int code);  // ( a, b, ... )
  std::string sourceText(uint32_t begin, uint32_t end) const;
  uint32_t prevEnd() const { return pos_ > 0 ? tokens_[pos_ - 1].end : 0; }
  size_t position() const { return pos_; }
  void rewind(size_t pos) { pos_ = pos; }
  std::string_view text() const { return text_; }
  int release() const { return options_.release; }
  // Number token as a 64-bit integer (ORA-01722 when not integral, code when not a number).
  int64_t integer(int code);
  // [+|-] number as text ("-5").
  std::string signedNumberText(int code);
  // Statement end: plain SQL must end here (ORA-00911 for ';', else code).
  void expectStatementEnd(int code);

  // ---- expressions (parser_expr.cpp)
  std::unique_ptr<Expr> expr();
  std::unique_ptr<Expr> andExpr();
  std::unique_ptr<Expr> notExpr();
  std::unique_ptr<Expr> predicate();
  std::unique_ptr<Expr> additive();
  std::unique_ptr<Expr> multiplicative();
  std::unique_ptr<Expr> unary();
  std::unique_ptr<Expr> primary();
  std::unique_ptr<Expr> nameOrCall();
  std::unique_ptr<Expr> functionArgs(std::unique_ptr<Expr> fn);
  std::unique_ptr<Expr> trimCall(std::unique_ptr<Expr> fn);
  std::unique_ptr<Expr> caseExpr();
  std::unique_ptr<Expr> parenthesized();
  bool atQueryStart(size_t ahead = 0) const;
  std::unique_ptr<Expr> castCall(std::unique_ptr<Expr> fn);
  std::unique_ptr<Expr> extractCall(std::unique_ptr<Expr> fn);
  // The column name Oracle derives from an expression's source text.
  std::string derivedColumnName(const Expr& e) const;

  // ---- queries (parser_query.cpp)
  std::unique_ptr<Query> query();
  void withClause(Query& q);
  std::unique_ptr<Query> queryTerm();
  std::unique_ptr<QueryBlock> queryBlock();
  void selectItems(QueryBlock& block);
  std::unique_ptr<TableRef> tableRef();
  std::unique_ptr<TableRef> tablePrimary();
  bool atJoin() const;
  void orderBy(Query& q);
  bool allowInto_ = false;  // SELECT ... INTO in PL/SQL

  // ---- DML (parser_dml.cpp)
  std::unique_ptr<Statement> insertStatement();
  std::unique_ptr<Statement> updateStatement();
  std::unique_ptr<Statement> deleteStatement();
  std::unique_ptr<Statement> selectStatement();
  std::string optionalAlias();

  // ---- DDL (parser_ddl_table.cpp, parser_ddl_misc.cpp)
  std::unique_ptr<Statement> createStatement();
  std::unique_ptr<Statement> createTable();
  std::unique_ptr<Statement> alterStatement();
  std::unique_ptr<Statement> alterTable();
  std::unique_ptr<Statement> renameStatement();  // RENAME old TO new
  std::unique_ptr<Statement> createIndex(bool unique);
  std::unique_ptr<CreateIndexStmt> createIndexBody(bool unique);
  std::unique_ptr<Statement> alterIndex();
  std::unique_ptr<Statement> alterView();
  std::unique_ptr<Statement> createTablespace(bool temporary, bool undo);
  std::unique_ptr<Statement> createSynonym(bool orReplace, bool isPublic);
  std::unique_ptr<Statement> sequenceStatement(StatementKind kind);
  std::unique_ptr<Statement> createView(bool orReplace);
  std::unique_ptr<Statement> dropStatement();
  std::unique_ptr<Statement> truncateStatement();
  std::unique_ptr<Statement> userStatement(StatementKind kind);
  std::unique_ptr<Statement> createRole();
  std::unique_ptr<Statement> grantStatement(bool grant);
  std::unique_ptr<Statement> alterSession();
  std::unique_ptr<Statement> alterTrigger();
  std::unique_ptr<Statement> commentStatement();
  std::unique_ptr<Statement> transactionStatement();
  TypeSpec typeSpec(bool plsql);
  void timeZoneClause(TypeSpec& t);  // [WITH [LOCAL] TIME ZONE] after TIMESTAMP[(f)]
  ColumnDef columnDef(bool modify);
  void inlineConstraints(ColumnDef& column);
  bool atConstraintStart() const;
  ConstraintDef outOfLineConstraint();
  void constraintState(ConstraintDef& c);
  void referencesClause(ConstraintDef& c);
  void checkClause(ConstraintDef& c);
  void usingIndexClause(ConstraintDef& c);
  bool storageAttribute(StorageClause& s, bool index);
  void storageParens(StorageClause& s);
  int64_t sizeValue();
  void alterAdd(AlterTableStmt& stmt);
  void alterModify(AlterTableStmt& stmt);
  void alterDrop(AlterTableStmt& stmt);
  void alterEnableDisable(AlterTableStmt& stmt);
  void constraintTarget(AlterTableAction& a);

  // ---- stored code (parser_code.cpp)
  std::unique_ptr<Statement> createCode(bool orReplace, bool force);
  void typeHeader(CreateCodeStmt& stmt);
  void triggerHeader(CreateCodeStmt& stmt, uint32_t descriptionBegin);

  // ---- PL/SQL (parser_plsql.cpp)
  std::unique_ptr<Statement> plsqlBlockStatement();
  std::unique_ptr<PlsqlBlock> plsqlBlock(bool declareSeen);
  void declarations(PlsqlBlock& block);
  PlsqlStmtList plsqlStatements(std::initializer_list<std::string_view> terminators);
  std::unique_ptr<PlsqlStmt> plsqlStatement();
  std::unique_ptr<PlsqlStmt> ifStatement();
  std::unique_ptr<PlsqlStmt> loopStatement(PlsqlStmtKind kind);
  std::unique_ptr<PlsqlStmt> sqlInPlsql();
  [[noreturn]] void failPls(const Token& at, std::string_view expected) const;
  void expectPlsOp(std::string_view op);
  void expectPlsWord(std::string_view word);
  bool inPlsql_ = false;

 private:
  std::string_view text_;
  ParseOptions options_;
  std::vector<Token> tokens_;
  size_t pos_ = 0;
};

std::string upperCase(std::string_view s);

}  // namespace ocisim::sql
