#include "engine/sql/lexer.h"

#include <gtest/gtest.h>

namespace ocisim::sql {
namespace {

std::vector<std::string> texts(const std::vector<Token>& tokens) {
  std::vector<std::string> out;
  for (const Token& t : tokens) {
    if (t.kind != TokenKind::End) out.push_back(t.text);
  }
  return out;
}

int errorOf(std::string_view text, LexOptions options = {}) {
  try {
    tokenize(text, options);
  } catch (const SyntaxError& e) {
    return e.code();
  }
  return 0;
}

TEST(LexerErrors, LexicalFaults) {
  EXPECT_EQ(errorOf("'open"), 1756);
  EXPECT_EQ(errorOf("'it''s"), 1756);
  EXPECT_EQ(errorOf("\"open"), 1740);
  EXPECT_EQ(errorOf("\"\""), 1741);
  EXPECT_EQ(errorOf("a /* never closed"), 1742);
  EXPECT_EQ(errorOf("a ? b"), 911);
  EXPECT_EQ(errorOf("a & b"), 911);
  LexOptions oracle8;
  oracle8.maxIdentifierLength = 30;
  EXPECT_EQ(errorOf(std::string(31, 'A'), oracle8), 972);
  EXPECT_EQ(errorOf(std::string(30, 'A'), oracle8), 0);
  EXPECT_EQ(errorOf(std::string(129, 'A')), 972);
}

TEST(Lexer, IdentifiersStringsNumbersAndBinds) {
  auto tokens = tokenize("select Emp_No$#, \"Mixed Case\", 'it''s', n'x', 1.5e-3, .5, 10., :Owner,"
                         " :1, :\"q\" from dual");
  EXPECT_EQ(texts(tokens),
            (std::vector<std::string>{"SELECT", "EMP_NO$#", ",", "Mixed Case", ",", "it's", ",",
                                      "x", ",", "1.5e-3", ",", ".5", ",", "10.", ",", "OWNER",
                                      ",", "1", ",", "q", "FROM", "DUAL"}));
  EXPECT_TRUE(tokens[3].quoted);
  EXPECT_EQ(tokens[5].kind, TokenKind::String);
  EXPECT_TRUE(tokens[7].national);
  EXPECT_EQ(tokens[9].kind, TokenKind::Number);
  EXPECT_EQ(tokens[15].kind, TokenKind::Bind);
  EXPECT_TRUE(tokens[19].quoted);
  EXPECT_EQ(tokens.back().kind, TokenKind::End);
}

TEST(Lexer, OperatorsRangesAndComments) {
  auto tokens = tokenize("a||b<>c!=d^=e<=f>=g:=h=>i 1..10 -- rest ; of line\n/* x; */ k(+)");
  EXPECT_EQ(texts(tokens),
            (std::vector<std::string>{"A", "||", "B", "<>", "C", "!=", "D", "^=", "E", "<=",
                                      "F", ">=", "G", ":=", "H", "=>", "I", "1", "..", "10",
                                      "K", "(", "+", ")"}));
}

TEST(Lexer, PositionsCountLinesAndColumns) {
  auto tokens = tokenize("select\r\n  a,\n\tb");
  ASSERT_EQ(tokens.size(), 5u);
  EXPECT_EQ(tokens[1].line, 2);
  EXPECT_EQ(tokens[1].column, 3);
  EXPECT_EQ(tokens[3].line, 3);
  EXPECT_EQ(tokens[3].column, 2);
  EXPECT_EQ(tokens[3].begin, 14u);
  EXPECT_EQ(tokens[3].end, 15u);
  int line = 0;
  int column = 0;
  lineColumnOf("ab\ncd", 4, line, column);
  EXPECT_EQ(line, 2);
  EXPECT_EQ(column, 2);
}

}  // namespace
}  // namespace ocisim::sql
