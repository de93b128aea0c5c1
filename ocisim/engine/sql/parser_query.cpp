// Queries: query blocks, set operations, FROM lists with ANSI joins, ORDER BY, FOR UPDATE.
#include "engine/sql/parser_internal.h"

namespace ocisim::sql {
namespace {

bool isJoinWord(const Token& t) {
  return t.isWord("INNER") || t.isWord("LEFT") || t.isWord("RIGHT") || t.isWord("FULL") ||
         t.isWord("CROSS") || t.isWord("NATURAL") || t.isWord("JOIN") || t.isWord("OUTER") ||
         t.isWord("USING");
}

}  // namespace

std::unique_ptr<Statement> Parser::selectStatement() {
  auto stmt = std::make_unique<SelectStmt>();
  stmt->query = query();
  expectStatementEnd(933);
  return stmt;
}

// WITH name [(columns)] AS (query) [, ...]: release 9 on; column names from release 11.2.
void Parser::withClause(Query& q) {
  next();  // WITH
  do {
    CommonTableExpr cte;
    cte.name = identifier(903);
    if (atOp("(")) {
      if (release() < 1102) fail(905);
      cte.columns = nameList(904);
    }
    expectWord("AS", 905);
    expectOp("(", 906);
    if (!atQueryStart()) fail(928);
    cte.query = query();
    expectOp(")", 907);
    for (const CommonTableExpr& earlier : q.with) {
      // ORA-32039-like duplicates are refused as Oracle does: the name is used twice.
      if (earlier.name == cte.name) failWith(OraError(904, {"\"" + cte.name + "\""}), peek());
    }
    q.with.push_back(std::move(cte));
  } while (acceptOp(","));
  if (!atQueryStart()) fail(928);
}

std::unique_ptr<Query> Parser::query() {
  uint32_t begin = peek().begin;
  std::vector<CommonTableExpr> with;
  if (atWord("WITH") && release() >= 900) {
    Query holder;
    withClause(holder);
    with = std::move(holder.with);
  }
  auto left = queryTerm();
  for (;;) {
    SetOp op;
    if (atWord("UNION")) {
      next();
      op = acceptWord("ALL") ? SetOp::UnionAll : SetOp::Union;
    } else if (atWord("MINUS")) {
      next();
      op = SetOp::Minus;
    } else if (atWord("INTERSECT")) {
      next();
      op = SetOp::Intersect;
    } else {
      break;
    }
    auto combined = std::make_unique<Query>();
    combined->setOp = op;
    combined->left = std::move(left);
    combined->right = queryTerm();
    combined->begin = begin;
    combined->end = prevEnd();
    left = std::move(combined);
  }
  if (atWord("ORDER")) orderBy(*left);
  if (atWord("FOR")) {
    next();
    expectWord("UPDATE", 905);
    left->forUpdate = true;
    if (acceptWord("OF")) {
      do {
        auto column = nameOrCall();
        (void)column;
      } while (acceptOp(","));
    }
    if (!acceptWord("NOWAIT") && acceptWord("WAIT")) integer(936);
  }
  if (!with.empty()) {
    if (!left->with.empty()) {
      // WITH ... (WITH ... SELECT ...): keep both lists, the outer names first.
      for (CommonTableExpr& c : left->with) with.push_back(std::move(c));
    }
    left->with = std::move(with);
    left->begin = begin;
  }
  left->end = prevEnd();
  return left;
}

std::unique_ptr<Query> Parser::queryTerm() {
  if (atOp("(")) {
    next();
    auto inner = query();
    expectOp(")", 907);
    return inner;
  }
  auto q = std::make_unique<Query>();
  q->begin = peek().begin;
  q->block = queryBlock();
  q->end = prevEnd();
  return q;
}

void Parser::orderBy(Query& q) {
  next();  // ORDER
  expectWord("BY", 924);
  do {
    OrderItem item;
    item.expr = expr();
    if (acceptWord("DESC")) {
      item.descending = true;
    } else {
      acceptWord("ASC");
    }
    if (acceptWord("NULLS")) {
      if (acceptWord("FIRST")) {
        item.nulls = OrderItem::Nulls::First;
      } else {
        expectWord("LAST", 905);
        item.nulls = OrderItem::Nulls::Last;
      }
    }
    q.orderBy.push_back(std::move(item));
  } while (acceptOp(","));
}

std::unique_ptr<QueryBlock> Parser::queryBlock() {
  expectWord("SELECT", 928);
  auto block = std::make_unique<QueryBlock>();
  if (acceptWord("DISTINCT") || acceptWord("UNIQUE")) {
    block->distinct = true;
  } else {
    acceptWord("ALL");
  }
  selectItems(*block);
  if (atWord("INTO")) {
    if (!allowInto_) fail(905);
    next();
    do {
      block->into.push_back(primary());
    } while (acceptOp(","));
  }
  expectWord("FROM", 923);
  do {
    block->from.push_back(tableRef());
  } while (acceptOp(","));
  if (acceptWord("WHERE")) block->where = expr();
  for (;;) {
    if (atWord("CONNECT") && !block->connectBy) {
      next();
      expectWord("BY", 924);
      block->noCycle = acceptWord("NOCYCLE");
      block->connectBy = expr();
    } else if (atWord("START") && !block->startWith) {
      next();
      expectWord("WITH", 905);
      block->startWith = expr();
    } else {
      break;
    }
  }
  if (atWord("GROUP")) {
    next();
    expectWord("BY", 924);
    do {
      // ROLLUP and CUBE (release 8.1) and GROUPING SETS (release 9) are not implemented.
      bool rollup = (atWord("ROLLUP") || atWord("CUBE")) && atOp("(", 1) && release() >= 801;
      if (rollup || (atWord("GROUPING") && atWord("SETS", 1) && release() >= 900)) {
        std::string what = rollup ? peek().text : "GROUPING SETS";
        failWith(OraError::withText(3001, "unimplemented feature: GROUP BY " + what), peek());
      }
      block->groupBy.push_back(expr());
    } while (acceptOp(","));
  }
  if (acceptWord("HAVING")) block->having = expr();
  return block;
}

namespace {

bool isCondition(const Expr& e) {
  switch (e.kind) {
    case ExprKind::IsNull:
    case ExprKind::Like:
    case ExprKind::Between:
    case ExprKind::InList:
    case ExprKind::InSubquery:
    case ExprKind::Exists:
      return true;
    case ExprKind::Binary:
      return e.op >= Op::Eq && e.op <= Op::Or;
    case ExprKind::Unary:
      return e.op == Op::Not;
    default:
      return false;
  }
}

}  // namespace

void Parser::selectItems(QueryBlock& block) {
  do {
    SelectItem item;
    if (atOp("*")) {
      item.expr = std::make_unique<Expr>();
      item.expr->kind = ExprKind::Star;
      item.expr->begin = peek().begin;
      item.expr->end = next().end;
      item.name.push_back('*');
    } else {
      item.expr = expr();
      // A condition is no value in SQL: `select 1 > 0 from dual` stops at the operator.
      if (isCondition(*item.expr)) fail(923);
      if (item.expr->kind != ExprKind::Star) {
        if (acceptWord("AS")) {
          if (!atIdentifier()) fail(923);
          item.alias = next().text;
        } else if (atIdentifier()) {
          item.alias = next().text;
        }
      }
      item.name = item.alias.empty() ? derivedColumnName(*item.expr) : item.alias;
    }
    block.items.push_back(std::move(item));
  } while (acceptOp(","));
  if (!atWord("FROM") && !atWord("INTO")) fail(923);
}

bool Parser::atJoin() const {
  if (release() < 900) return false;  // ANSI joins came with release 9
  const Token& t = peek();
  if (t.isWord("JOIN") || t.isWord("NATURAL")) return true;
  if (t.isWord("INNER") || t.isWord("CROSS")) return atWord("JOIN", 1);
  if (t.isWord("LEFT") || t.isWord("RIGHT") || t.isWord("FULL")) {
    return atWord("JOIN", 1) || (atWord("OUTER", 1) && atWord("JOIN", 2));
  }
  return false;
}

std::unique_ptr<TableRef> Parser::tableRef() {
  auto left = tablePrimary();
  while (atJoin()) {
    auto join = std::make_unique<TableRef>();
    join->kind = TableRefKind::Join;
    join->begin = left->begin;
    join->natural = acceptWord("NATURAL");
    if (acceptWord("LEFT")) {
      join->join = JoinKind::Left;
    } else if (acceptWord("RIGHT")) {
      join->join = JoinKind::Right;
    } else if (acceptWord("FULL")) {
      join->join = JoinKind::Full;
    } else if (acceptWord("CROSS")) {
      join->join = JoinKind::Cross;
    } else {
      acceptWord("INNER");
    }
    acceptWord("OUTER");
    expectWord("JOIN", 905);
    join->left = std::move(left);
    join->right = tablePrimary();
    if (join->join != JoinKind::Cross && !join->natural) {
      if (acceptWord("USING")) {
        join->usingColumns = nameList(904);
      } else {
        expectWord("ON", 905);
        join->on = expr();
      }
    }
    join->end = prevEnd();
    left = std::move(join);
  }
  return left;
}

std::unique_ptr<TableRef> Parser::tablePrimary() {
  auto ref = std::make_unique<TableRef>();
  ref->begin = peek().begin;
  if (atOp("(")) {
    next();
    if (!atQueryStart()) fail(903);
    ref->kind = TableRefKind::Subquery;
    ref->subquery = query();
    expectOp(")", 907);
  } else {
    QualifiedName q = qualifiedName(903);
    ref->schema = std::move(q.schema);
    ref->name = std::move(q.name);
  }
  if (atIdentifier() && (release() < 900 || !isJoinWord(peek()))) ref->alias = next().text;
  ref->end = prevEnd();
  return ref;
}

}  // namespace ocisim::sql
