// Expressions: OR < AND < NOT < predicates (comparison, IS NULL, LIKE, BETWEEN, IN, EXISTS)
// < + - || < * / < unary + - PRIOR < primaries. Oracle gives || the precedence of + and -.
#include "engine/sql/parser_internal.h"

namespace ocisim::sql {
namespace {

std::unique_ptr<Expr> makeExpr(ExprKind kind, uint32_t begin) {
  auto e = std::make_unique<Expr>();
  e->kind = kind;
  e->begin = begin;
  return e;
}

std::unique_ptr<Expr> makeBinary(Op op, std::unique_ptr<Expr> l, std::unique_ptr<Expr> r) {
  auto e = makeExpr(ExprKind::Binary, l->begin);
  e->op = op;
  e->end = r->end;
  e->args.push_back(std::move(l));
  e->args.push_back(std::move(r));
  return e;
}

Op comparisonOp(const Token& t) {
  if (t.kind != TokenKind::Operator) return Op::None;
  if (t.text == "=") return Op::Eq;
  if (t.text == "<>" || t.text == "!=" || t.text == "^=" || t.text == "~=") return Op::Ne;
  if (t.text == "<") return Op::Lt;
  if (t.text == "<=") return Op::Le;
  if (t.text == ">") return Op::Gt;
  if (t.text == ">=") return Op::Ge;
  return Op::None;
}

// Words that may stand as a pseudo-column although they are reserved.
bool isPseudoColumn(const Token& t) {
  return t.isWord("LEVEL") || t.isWord("ROWNUM") || t.isWord("ROWID") || t.isWord("SYSDATE") ||
         t.isWord("USER") || t.isWord("UID");
}

}  // namespace

std::unique_ptr<Expr> Parser::expr() {
  auto left = andExpr();
  while (atWord("OR")) {
    next();
    left = makeBinary(Op::Or, std::move(left), andExpr());
  }
  return left;
}

std::unique_ptr<Expr> Parser::andExpr() {
  auto left = notExpr();
  while (atWord("AND")) {
    next();
    left = makeBinary(Op::And, std::move(left), notExpr());
  }
  return left;
}

std::unique_ptr<Expr> Parser::notExpr() {
  if (!atWord("NOT")) return predicate();
  uint32_t begin = next().begin;
  auto operand = notExpr();
  auto e = makeExpr(ExprKind::Unary, begin);
  e->op = Op::Not;
  e->end = operand->end;
  e->args.push_back(std::move(operand));
  return e;
}

std::unique_ptr<Expr> Parser::predicate() {
  if (atWord("EXISTS")) {
    auto e = makeExpr(ExprKind::Exists, next().begin);
    expectOp("(", 906);
    e->query = query();
    expectOp(")", 907);
    e->end = prevEnd();
    return e;
  }
  auto left = additive();
  Op op = comparisonOp(peek());
  if (op != Op::None) {
    next();
    return makeBinary(op, std::move(left), additive());
  }
  uint32_t begin = left->begin;
  if (atWord("IS")) {
    next();
    auto e = makeExpr(ExprKind::IsNull, begin);
    e->negated = acceptWord("NOT");
    expectWord("NULL", 908);
    e->end = prevEnd();
    e->args.push_back(std::move(left));
    return e;
  }
  bool negated = false;
  if (atWord("NOT") && (atWord("LIKE", 1) || atWord("BETWEEN", 1) || atWord("IN", 1))) {
    next();
    negated = true;
  }
  if (acceptWord("LIKE")) {
    auto e = makeExpr(ExprKind::Like, begin);
    e->negated = negated;
    e->args.push_back(std::move(left));
    e->args.push_back(additive());
    if (acceptWord("ESCAPE")) e->args.push_back(additive());
    e->end = prevEnd();
    return e;
  }
  if (acceptWord("BETWEEN")) {
    auto e = makeExpr(ExprKind::Between, begin);
    e->negated = negated;
    e->args.push_back(std::move(left));
    e->args.push_back(additive());
    expectWord("AND", 905);
    e->args.push_back(additive());
    e->end = prevEnd();
    return e;
  }
  if (acceptWord("IN")) {
    expectOp("(", 906);
    std::unique_ptr<Expr> e;
    if (atQueryStart()) {
      e = makeExpr(ExprKind::InSubquery, begin);
      e->args.push_back(std::move(left));
      e->query = query();
    } else {
      e = makeExpr(ExprKind::InList, begin);
      e->args.push_back(std::move(left));
      do {
        e->args.push_back(expr());
      } while (acceptOp(","));
    }
    expectOp(")", 907);
    e->negated = negated;
    e->end = prevEnd();
    return e;
  }
  return left;
}

std::unique_ptr<Expr> Parser::additive() {
  auto left = multiplicative();
  for (;;) {
    Op op = atOp("+") ? Op::Add : atOp("-") ? Op::Subtract : atOp("||") ? Op::Concat : Op::None;
    if (op == Op::None) return left;
    next();
    left = makeBinary(op, std::move(left), multiplicative());
  }
}

std::unique_ptr<Expr> Parser::multiplicative() {
  auto left = unary();
  for (;;) {
    Op op = atOp("*") ? Op::Multiply : atOp("/") ? Op::Divide : Op::None;
    if (op == Op::None) return left;
    next();
    left = makeBinary(op, std::move(left), unary());
  }
}

std::unique_ptr<Expr> Parser::unary() {
  Op op = atOp("-") ? Op::Negate : atOp("+") ? Op::Plus : atWord("PRIOR") ? Op::Prior : Op::None;
  if (op == Op::None) return primary();
  uint32_t begin = next().begin;
  auto operand = unary();
  auto e = makeExpr(ExprKind::Unary, begin);
  e->op = op;
  e->end = operand->end;
  e->args.push_back(std::move(operand));
  return e;
}

bool Parser::atQueryStart(size_t ahead) const {
  if (atWord("SELECT", ahead)) return true;
  if (atWord("WITH", ahead) && release() >= 900) return true;
  // "((select ...) union ...)": look through opening parentheses.
  size_t i = ahead;
  while (atOp("(", i)) ++i;
  return i > ahead && (atWord("SELECT", i) || (atWord("WITH", i) && release() >= 900));
}

std::unique_ptr<Expr> Parser::primary() {
  const Token& t = peek();
  switch (t.kind) {
    case TokenKind::Number:
    case TokenKind::String: {
      auto e = makeExpr(ExprKind::Literal, t.begin);
      e->literal = t.kind == TokenKind::Number ? LiteralKind::Number : LiteralKind::String;
      e->text = t.text;
      e->end = next().end;
      return e;
    }
    case TokenKind::Bind: {
      auto e = makeExpr(ExprKind::Bind, t.begin);
      e->text = t.text;
      e->end = next().end;
      return e;
    }
    case TokenKind::Operator:
      if (t.isOp("(")) return parenthesized();
      fail(936);
    case TokenKind::End:
      fail(936);
    case TokenKind::Identifier:
      break;
  }
  if (t.isWord("NULL")) {
    auto e = makeExpr(ExprKind::Literal, t.begin);
    e->end = next().end;
    return e;
  }
  // Datetime literals came with release 9; before it DATE is a reserved word that cannot start
  // an expression and TIMESTAMP a name.
  if ((t.isWord("DATE") || t.isWord("TIMESTAMP")) && peek(1).kind == TokenKind::String &&
      release() >= 900) {
    auto e = makeExpr(ExprKind::Literal, t.begin);
    e->literal = t.isWord("DATE") ? LiteralKind::Date : LiteralKind::Timestamp;
    next();
    e->text = peek().text;
    e->end = next().end;
    return e;
  }
  if (t.isWord("INTERVAL") && peek(1).kind == TokenKind::String && release() >= 900) {
    failWith(OraError::withText(3001, "unimplemented feature: INTERVAL literals"), t);
  }
  // CASE came with release 8.1 (before it, CASE is a name like any other).
  if (t.isWord("CASE") && release() >= 801) return caseExpr();
  if (isPseudoColumn(t)) {
    auto e = makeExpr(ExprKind::Column, t.begin);
    e->names.push_back(t.text);
    e->end = next().end;
    return e;
  }
  if (!atIdentifier()) fail(936);
  return nameOrCall();
}

std::unique_ptr<Expr> Parser::parenthesized() {
  uint32_t begin = next().begin;  // '('
  if (atQueryStart()) {
    auto e = makeExpr(ExprKind::Subquery, begin);
    e->query = query();
    expectOp(")", 907);
    e->end = prevEnd();
    return e;
  }
  auto inner = expr();
  expectOp(")", 907);
  inner->begin = begin;
  inner->end = prevEnd();
  return inner;
}

std::unique_ptr<Expr> Parser::nameOrCall() {
  auto e = makeExpr(ExprKind::Column, peek().begin);
  e->names.push_back(next().text);
  while (atOp(".")) {
    if (atOp("*", 1)) {
      next();
      next();
      e->kind = ExprKind::Star;
      e->end = prevEnd();
      return e;
    }
    // After a dot any word is a name part (t.ROWID, seq.NEXTVAL).
    if (peek(1).kind != TokenKind::Identifier) {
      next();
      fail(936);
    }
    next();
    e->names.push_back(next().text);
  }
  if (e->names.size() > 3) failAt(904, peek());
  e->end = prevEnd();
  if (atOp("(") && atOp("+", 1) && atOp(")", 2)) {
    next();
    next();
    next();
    e->outerJoin = true;
    e->end = prevEnd();
    return e;
  }
  if (atOp("(")) {
    e->kind = ExprKind::Function;
    if (e->names.size() == 1 && e->names[0] == "TRIM") return trimCall(std::move(e));
    if (e->names.size() == 1 && e->names[0] == "CAST" && release() >= 800) {
      return castCall(std::move(e));
    }
    if (e->names.size() == 1 && e->names[0] == "EXTRACT" && release() >= 900) {
      return extractCall(std::move(e));
    }
    auto call = functionArgs(std::move(e));
    if (atWord("OVER") && atOp("(", 1)) {
      // Analytic functions are left out: refuse them plainly rather than as a syntax error.
      failWith(OraError::withText(3001, "unimplemented feature: analytic functions (OVER)"),
               peek());
    }
    return call;
  }
  return e;
}

std::unique_ptr<Expr> Parser::functionArgs(std::unique_ptr<Expr> fn) {
  next();  // '('
  if (atOp("*") && atOp(")", 1)) {
    next();
    next();
    fn->countStar = true;
    fn->end = prevEnd();
    return fn;
  }
  if (atOp(")")) {
    next();
    fn->end = prevEnd();
    return fn;
  }
  if (acceptWord("DISTINCT") || acceptWord("UNIQUE")) {
    fn->distinct = true;
  } else {
    acceptWord("ALL");
  }
  bool named = false;
  std::vector<std::string> argNames;
  do {
    std::string argName;
    if (peek().kind == TokenKind::Identifier && atOp("=>", 1)) {
      argName = next().text;
      next();
      named = true;
    }
    argNames.push_back(std::move(argName));
    fn->args.push_back(expr());
  } while (acceptOp(","));
  expectOp(")", 907);
  if (named) fn->argNames = std::move(argNames);
  fn->end = prevEnd();
  return fn;
}

// TRIM([[LEADING|TRAILING|BOTH] [set] FROM] s): see the note in ast.h on its arguments.
std::unique_ptr<Expr> Parser::trimCall(std::unique_ptr<Expr> fn) {
  next();  // '('
  auto stringLiteral = [&](const std::string& value) {
    auto e = makeExpr(ExprKind::Literal, peek().begin);
    e->literal = LiteralKind::String;
    e->text = value;
    e->end = e->begin;
    return e;
  };
  std::string mode;
  if (atWord("LEADING") || atWord("TRAILING") || atWord("BOTH")) mode = next().text;
  std::unique_ptr<Expr> set;
  if (!atWord("FROM")) set = expr();
  if (acceptWord("FROM")) {
    fn->args.push_back(stringLiteral(mode.empty() ? "BOTH" : mode));
    fn->args.push_back(set ? std::move(set) : stringLiteral(" "));
    fn->args.push_back(expr());
  } else {
    if (!mode.empty() || !set) fail(mode.empty() ? 936 : 905);
    fn->args.push_back(std::move(set));
  }
  expectOp(")", 907);
  fn->end = prevEnd();
  return fn;
}

// CAST(x AS type): see the note in ast.h.
std::unique_ptr<Expr> Parser::castCall(std::unique_ptr<Expr> fn) {
  next();  // '('
  fn->args.push_back(expr());
  expectWord("AS", 905);
  fn->castType = std::make_shared<TypeSpec>(typeSpec(false));
  expectOp(")", 907);
  fn->end = prevEnd();
  return fn;
}

// EXTRACT(field FROM d): see the note in ast.h.
std::unique_ptr<Expr> Parser::extractCall(std::unique_ptr<Expr> fn) {
  next();  // '('
  const Token& field = peek();
  static constexpr std::string_view kFields[] = {"YEAR", "MONTH", "DAY", "HOUR", "MINUTE",
                                                 "SECOND", "TIMEZONE_HOUR", "TIMEZONE_MINUTE",
                                                 "TIMEZONE_REGION", "TIMEZONE_ABBR"};
  bool known = false;
  for (std::string_view f : kFields) known = known || field.isWord(f);
  if (!known) fail(907);
  auto e = makeExpr(ExprKind::Literal, field.begin);
  e->literal = LiteralKind::String;
  e->text = next().text;
  e->end = prevEnd();
  fn->args.push_back(std::move(e));
  expectWord("FROM", 923);
  fn->args.push_back(expr());
  expectOp(")", 907);
  fn->end = prevEnd();
  return fn;
}

std::unique_ptr<Expr> Parser::caseExpr() {
  auto e = makeExpr(ExprKind::Case, next().begin);
  // Release 8.1 has the searched CASE only; the simple form (CASE x WHEN ...) came with 9.
  if (!atWord("WHEN") && release() >= 900) e->caseOperand = expr();
  if (!atWord("WHEN")) fail(905);
  while (acceptWord("WHEN")) {
    e->args.push_back(expr());
    expectWord("THEN", 905);
    e->args.push_back(expr());
  }
  if (acceptWord("ELSE")) e->elseExpr = expr();
  expectWord("END", 905);
  e->end = prevEnd();
  return e;
}

std::string Parser::derivedColumnName(const Expr& e) const {
  if (e.kind == ExprKind::Column && !e.outerJoin) return e.names.back();
  // Oracle names the column by its text with white space and comments removed and the rest
  // upper-cased (string contents included); quoted identifiers keep their case.
  std::string name;
  for (const Token& t : tokens_) {
    if (t.kind == TokenKind::End || t.begin < e.begin) continue;
    if (t.end > e.end) break;
    if (t.kind == TokenKind::Identifier && t.quoted) {
      name += sourceText(t.begin, t.end);
      continue;
    }
    for (char c : text_.substr(t.begin, t.end - t.begin)) {
      if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
      name += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
  }
  return name;
}

}  // namespace ocisim::sql
