// Parser tests for queries: malformed input first, then the shapes of the AST.
#include <gtest/gtest.h>

#include "engine/sql/parser.h"
#include "engine/sql/test_support.h"

namespace ocisim::sql {
namespace {

TEST(ParseSelectErrors, MalformedQueriesGiveOraclesCodes) {
  const ErrorCase cases[] = {
      {"", 900},
      {"   -- only a comment", 900},
      {"frobnicate the table", 900},
      {"select", 936},
      {"select from dual", 936},
      {"select 1 + from dual", 936},
      {"select 1", 923},
      {"select 1 2 from dual", 923},
      {"select a b c from t", 923},
      {"select 1 as from dual", 923},
      {"select * from", 903},
      {"select * from 1", 903},
      {"select * from dual;", 911},
      {"select * from dual where", 936},
      {"select * from dual where (1 = 1", 907},
      {"select * from dual where a in (1, 2", 907},
      {"select * from dual where a in 1", 906},
      {"select * from dual where a is 5", 908},
      {"select * from dual where a between 1 or 2", 905},
      {"select * from dual order a", 924},
      {"select * from dual group a", 924},
      {"select * from dual connect level < 3", 924},
      {"select * from dual start level", 905},
      {"select a into b from t", 905},
      {"select case when 1 = 1 then 2 from dual", 905},
      {"select case from dual", 936},
      {"select * from t x y", 933},
      {"select * from t where a = 1 b", 933},
      {"select 'abc from dual", 1756},
      {"select \"abc from dual", 1740},
      {"select \"\" from dual", 1741},
      {"select a /* open comment from dual", 1742},
      {"select ? from dual", 911},
      {"select a from t1 join t2", 905},
      {"select a from t1 left outer t2 on 1 = 1", 933},
      {"select a from (select 1 from dual", 907},
      {"select a from (t)", 903},
      {"select * from t union", 928},
      {"select * from t order by", 936},
      {"select trim(leading from) from dual", 936},
  };
  expectErrors(cases);
}

TEST(ParseSelectErrors, ErrorsCarryTheirPosition) {
  try {
    parseStatement("select a,\n       b c d\nfrom t");
    FAIL() << "no error";
  } catch (const SyntaxError& e) {
    EXPECT_EQ(e.code(), 923);
    EXPECT_EQ(e.line(), 2);
    EXPECT_EQ(e.column(), 12);
  }
}

TEST(ParseSelect, ItemsAliasesAndDerivedNames) {
  auto stmt = parseAs<SelectStmt>(
      "select t.owner, o.object_name Name, count(*) \"Cnt\", '(' || line || ') ' || text,"
      " nvl( x , 'a b' ) as y, '#^@@$#', seq.nextval, 1+2 from all_source t, all_objects o");
  const QueryBlock& b = *stmt->query->block;
  ASSERT_EQ(b.items.size(), 8u);
  EXPECT_EQ(b.items[0].name, "OWNER");
  EXPECT_EQ(b.items[0].expr->names, (std::vector<std::string>{"T", "OWNER"}));
  EXPECT_EQ(b.items[1].name, "NAME");
  EXPECT_EQ(b.items[2].name, "Cnt");
  EXPECT_TRUE(b.items[2].expr->countStar);
  EXPECT_EQ(b.items[3].name, "'('||LINE||')'||TEXT");
  EXPECT_EQ(b.items[4].name, "Y");
  EXPECT_EQ(b.items[5].name, "'#^@@$#'");
  EXPECT_EQ(b.items[6].name, "NEXTVAL");
  EXPECT_EQ(b.items[7].name, "1+2");
  ASSERT_EQ(b.from.size(), 2u);
  EXPECT_EQ(b.from[0]->name, "ALL_SOURCE");
  EXPECT_EQ(b.from[0]->alias, "T");
}

TEST(ParseSelect, OperatorPrecedence) {
  auto stmt = parseAs<SelectStmt>("select * from t where a = 1 or not b = 2 and c || d + 1 > 2");
  const Expr& w = *stmt->query->block->where;
  ASSERT_EQ(w.op, Op::Or);
  const Expr& right = *w.args[1];
  ASSERT_EQ(right.op, Op::And);
  EXPECT_EQ(right.args[0]->op, Op::Not);
  const Expr& cmp = *right.args[1];
  ASSERT_EQ(cmp.op, Op::Gt);
  // || and + share one level, left to right: (c || d) + 1.
  EXPECT_EQ(cmp.args[0]->op, Op::Add);
  EXPECT_EQ(cmp.args[0]->args[0]->op, Op::Concat);
}

TEST(ParseSelect, SetOperationsAreLeftAssociativeWithOrderOnTheWhole) {
  auto stmt = parseAs<SelectStmt>(
      "select a from t union all select b from u minus (select c from v) order by 1 desc nulls "
      "first");
  const Query& q = *stmt->query;
  ASSERT_FALSE(q.block);
  EXPECT_EQ(q.setOp, SetOp::Minus);
  EXPECT_EQ(q.left->setOp, SetOp::UnionAll);
  ASSERT_EQ(q.orderBy.size(), 1u);
  EXPECT_TRUE(q.orderBy[0].descending);
  EXPECT_EQ(q.orderBy[0].nulls, OrderItem::Nulls::First);
  EXPECT_EQ(q.orderBy[0].expr->text, "1");
}

TEST(ParseSelect, PredicatesAndSubqueries) {
  auto stmt = parseAs<SelectStmt>(
      "select * from t where a not in (select x from u) and b not like 'A\\_%' escape '\\' and c"
      " not between 1 and 2 and d is not null and not exists (select 1 from dual) and e in (1,"
      " 2, 3) and (select max(x) from u) > 0 and f(+) = g");
  std::vector<const Expr*> terms;
  const Expr* e = stmt->query->block->where.get();
  while (e->op == Op::And) {
    terms.insert(terms.begin(), e->args[1].get());
    e = e->args[0].get();
  }
  terms.insert(terms.begin(), e);
  ASSERT_EQ(terms.size(), 8u);
  EXPECT_EQ(terms[0]->kind, ExprKind::InSubquery);
  EXPECT_TRUE(terms[0]->negated);
  EXPECT_EQ(terms[1]->kind, ExprKind::Like);
  EXPECT_TRUE(terms[1]->negated);
  EXPECT_EQ(terms[1]->args.size(), 3u);
  EXPECT_EQ(terms[2]->kind, ExprKind::Between);
  EXPECT_TRUE(terms[2]->negated);
  EXPECT_EQ(terms[3]->kind, ExprKind::IsNull);
  EXPECT_TRUE(terms[3]->negated);
  EXPECT_EQ(terms[4]->op, Op::Not);
  EXPECT_EQ(terms[4]->args[0]->kind, ExprKind::Exists);
  EXPECT_EQ(terms[5]->kind, ExprKind::InList);
  EXPECT_EQ(terms[5]->args.size(), 4u);
  EXPECT_EQ(terms[6]->args[0]->kind, ExprKind::Subquery);
  EXPECT_TRUE(terms[7]->args[0]->outerJoin);
}

TEST(ParseSelect, JoinsConnectByAndGrouping) {
  auto stmt = parseAs<SelectStmt>(
      "select d.x, count(distinct e.y) from a.dept d left outer join emp e on d.id = e.dept_id "
      "inner join z using (k) where level <= 10 connect by prior id = parent start with id = 1 "
      "group by d.x having count(*) > 1 for update");
  const QueryBlock& b = *stmt->query->block;
  ASSERT_EQ(b.from.size(), 1u);
  const TableRef& outer = *b.from[0];
  ASSERT_EQ(outer.kind, TableRefKind::Join);
  EXPECT_EQ(outer.usingColumns, std::vector<std::string>{"K"});
  const TableRef& inner = *outer.left;
  EXPECT_EQ(inner.join, JoinKind::Left);
  EXPECT_EQ(inner.left->schema, "A");
  EXPECT_EQ(inner.left->alias, "D");
  EXPECT_TRUE(b.items[1].expr->distinct);
  ASSERT_TRUE(b.connectBy);
  EXPECT_EQ(b.connectBy->args[0]->op, Op::Prior);
  ASSERT_TRUE(b.startWith);
  EXPECT_EQ(b.groupBy.size(), 1u);
  ASSERT_TRUE(b.having);
  EXPECT_TRUE(stmt->query->forUpdate);
}

TEST(ParseSelect, CaseTrimAndLiterals) {
  auto stmt = parseAs<SelectStmt>(
      "select case x when 1 then 'a' else 'b' end, case when x > 1 then 2 end,"
      " trim(both 'x' from s), trim(s), trim(trailing from s), date '2020-01-31', -.5e3,"
      " 'it''s' from dual");
  const auto& items = stmt->query->block->items;
  EXPECT_TRUE(items[0].expr->caseOperand);
  EXPECT_TRUE(items[0].expr->elseExpr);
  EXPECT_FALSE(items[1].expr->caseOperand);
  const Expr& trim1 = *items[2].expr;
  ASSERT_EQ(trim1.args.size(), 3u);
  EXPECT_EQ(trim1.args[0]->text, "BOTH");
  EXPECT_EQ(trim1.args[1]->text, "x");
  EXPECT_EQ(items[3].expr->args.size(), 1u);
  EXPECT_EQ(items[4].expr->args[0]->text, "TRAILING");
  EXPECT_EQ(items[4].expr->args[1]->text, " ");
  EXPECT_EQ(items[5].expr->literal, LiteralKind::Date);
  EXPECT_EQ(items[6].expr->op, Op::Negate);
  EXPECT_EQ(items[6].expr->args[0]->text, ".5e3");
  EXPECT_EQ(items[7].expr->text, "it's");
}

TEST(ParseSelect, BindsAndStatementCodes) {
  auto stmt = parseAs<SelectStmt>(
      "select column_name from all_tab_columns where owner = :owner and table_name = :Name "
      "and x = :owner and y = :1");
  EXPECT_EQ(stmt->bindNames, (std::vector<std::string>{"OWNER", "NAME", "1"}));
  EXPECT_EQ(stmt->ociStatementType(), 1);
  EXPECT_EQ(stmt->sqlFunctionCode(), 4);
}

}  // namespace
}  // namespace ocisim::sql
