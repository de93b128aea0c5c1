#include "engine/sql/parser.h"

#include <algorithm>
#include <iterator>

#include "engine/sql/parser_internal.h"

namespace ocisim::sql {
namespace {

constexpr std::string_view kReservedWords[] = {
    "ACCESS",    "ADD",       "ALL",        "ALTER",      "AND",        "ANY",       "AS",
    "ASC",       "AUDIT",     "BETWEEN",    "BY",         "CHAR",       "CHECK",     "CLUSTER",
    "COLUMN",    "COMMENT",   "COMPRESS",   "CONNECT",    "CREATE",     "CURRENT",   "DATE",
    "DECIMAL",   "DEFAULT",   "DELETE",     "DESC",       "DISTINCT",   "DROP",      "ELSE",
    "EXCLUSIVE", "EXISTS",    "FILE",       "FLOAT",      "FOR",        "FROM",      "GRANT",
    "GROUP",     "HAVING",    "IDENTIFIED", "IMMEDIATE",  "IN",         "INCREMENT", "INDEX",
    "INITIAL",   "INSERT",    "INTEGER",    "INTERSECT",  "INTO",       "IS",        "LEVEL",
    "LIKE",      "LOCK",      "LONG",       "MAXEXTENTS", "MINUS",      "MLSLABEL",  "MODE",
    "MODIFY",    "NOAUDIT",   "NOCOMPRESS", "NOT",        "NOWAIT",     "NULL",      "NUMBER",
    "OF",        "OFFLINE",   "ON",         "ONLINE",     "OPTION",     "OR",        "ORDER",
    "PCTFREE",   "PRIOR",     "PRIVILEGES", "PUBLIC",     "RAW",        "RENAME",    "RESOURCE",
    "REVOKE",    "ROW",       "ROWID",      "ROWNUM",     "ROWS",       "SELECT",    "SESSION",
    "SET",       "SHARE",     "SIZE",       "SMALLINT",   "START",      "SUCCESSFUL", "SYNONYM",
    "SYSDATE",   "TABLE",     "THEN",       "TO",         "TRIGGER",    "UID",       "UNION",
    "UNIQUE",    "UPDATE",    "USER",       "VALIDATE",   "VALUES",     "VARCHAR",   "VARCHAR2",
    "VIEW",      "WHENEVER",  "WHERE",      "WITH",
};

// Bind names of a token list in order of first appearance.
std::vector<std::string> collectBinds(const std::vector<Token>& tokens) {
  std::vector<std::string> names;
  for (const Token& t : tokens) {
    if (t.kind == TokenKind::Bind &&
        std::find(names.begin(), names.end(), t.text) == names.end()) {
      names.push_back(t.text);
    }
  }
  return names;
}

}  // namespace

bool isReservedWord(std::string_view word) {
  return std::find(std::begin(kReservedWords), std::end(kReservedWords), word) !=
         std::end(kReservedWords);
}

std::string upperCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

Parser::Parser(std::string_view text, const ParseOptions& options)
    : text_(text), options_(options) {
  LexOptions lex;
  lex.maxIdentifierLength = options.maxIdentifierLength;
  tokens_ = tokenize(text, lex);
}

const Token& Parser::peek(size_t ahead) const {
  size_t i = std::min(pos_ + ahead, tokens_.size() - 1);
  return tokens_[i];
}

const Token& Parser::next() {
  const Token& t = tokens_[pos_];
  if (pos_ + 1 < tokens_.size()) ++pos_;
  return t;
}

bool Parser::acceptWord(std::string_view word) {
  if (!atWord(word)) return false;
  next();
  return true;
}

bool Parser::acceptOp(std::string_view op) {
  if (!atOp(op)) return false;
  next();
  return true;
}

void Parser::expectWord(std::string_view word, int code) {
  if (!acceptWord(word)) fail(code);
}

void Parser::expectOp(std::string_view op, int code) {
  if (!acceptOp(op)) fail(code);
}

void Parser::failAt(int code, const Token& at) const { failWith(OraError(code), at); }

void Parser::failWith(const OraError& error, const Token& at) const {
  throw SyntaxError(error, at.begin, at.line, at.column);
}

bool Parser::atIdentifier(size_t ahead) const {
  const Token& t = peek(ahead);
  if (t.kind != TokenKind::Identifier) return false;
  return t.quoted || !isReservedWord(t.text);
}

std::string Parser::identifier(int code) {
  if (!atIdentifier()) {
    // A reserved word where a name belongs: Oracle reports it as an invalid identifier.
    if (code == 904 && peek().kind == TokenKind::Identifier) {
      failWith(OraError(904, {peek().text}), peek());
    }
    fail(code);
  }
  return next().text;
}

QualifiedName Parser::qualifiedName(int code) {
  QualifiedName q;
  q.name = identifier(code);
  if (atOp(".")) {
    next();
    q.schema = std::move(q.name);
    q.name = identifier(code);
  }
  return q;
}

std::vector<std::string> Parser::nameList(int code) {
  std::vector<std::string> names;
  expectOp("(", 906);
  do {
    names.push_back(identifier(code));
  } while (acceptOp(","));
  expectOp(")", 907);
  return names;
}

std::string Parser::sourceText(uint32_t begin, uint32_t end) const {
  if (end <= begin) return {};
  return std::string(text_.substr(begin, end - begin));
}

int64_t Parser::integer(int code) {
  bool negative = acceptOp("-");
  if (peek().kind != TokenKind::Number) fail(code);
  const Token& t = next();
  int64_t value = 0;
  for (char c : t.text) {
    if (c < '0' || c > '9') failAt(1722, t);
    if (value > (INT64_MAX - 9) / 10) failAt(1722, t);
    value = value * 10 + (c - '0');
  }
  return negative ? -value : value;
}

std::string Parser::signedNumberText(int code) {
  bool negative = false;
  if (atOp("-") || atOp("+")) negative = next().text == "-";
  if (peek().kind != TokenKind::Number) fail(code);
  std::string number = next().text;
  if (negative) number.insert(number.begin(), '-');
  return number;
}

void Parser::expectStatementEnd(int code) {
  if (atEnd()) return;
  if (atOp(";")) fail(911);
  fail(code);
}

std::unique_ptr<Statement> Parser::parseTop() {
  const Token& first = peek();
  std::unique_ptr<Statement> stmt;
  if (first.kind == TokenKind::End) fail(900);
  if (first.isWord("SELECT") || (first.isWord("WITH") && release() >= 900) || first.isOp("(")) {
    stmt = selectStatement();
  } else if (first.isWord("INSERT")) {
    stmt = insertStatement();
  } else if (first.isWord("UPDATE")) {
    stmt = updateStatement();
  } else if (first.isWord("DELETE")) {
    stmt = deleteStatement();
  } else if (first.isWord("CREATE")) {
    stmt = createStatement();
  } else if (first.isWord("ALTER")) {
    stmt = alterStatement();
  } else if (first.isWord("DROP")) {
    stmt = dropStatement();
  } else if (first.isWord("TRUNCATE")) {
    stmt = truncateStatement();
  } else if (first.isWord("RENAME")) {
    stmt = renameStatement();
  } else if (first.isWord("GRANT") || first.isWord("REVOKE")) {
    stmt = grantStatement(first.isWord("GRANT"));
  } else if (first.isWord("COMMENT")) {
    stmt = commentStatement();
  } else if (first.isWord("COMMIT") || first.isWord("ROLLBACK") || first.isWord("SAVEPOINT")) {
    stmt = transactionStatement();
  } else if (first.isWord("BEGIN") || first.isWord("DECLARE")) {
    stmt = plsqlBlockStatement();
  } else {
    fail(900);
  }
  stmt->text = std::string(text_);
  if (stmt->kind != StatementKind::CreateCode) stmt->bindNames = collectBinds(tokens_);
  return stmt;
}

std::unique_ptr<Statement> parseStatement(std::string_view sql, const ParseOptions& options) {
  Parser parser(sql, options);
  return parser.parseTop();
}

}  // namespace ocisim::sql
