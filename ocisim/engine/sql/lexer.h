// Lexer of the SQL and PL/SQL subset: turns statement text into tokens with their source
// offsets and line/column positions. Identifiers come back upper-cased unless "quoted"; string
// literals come back unescaped. Lexical faults throw SyntaxError (ORA-00911, ORA-01756, ...).
// Stateless apart from the text being read; the text must outlive the lexer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ora_error.h"

namespace ocisim::sql {

enum class TokenKind : uint8_t {
  Identifier,  // text: upper-cased, or as written when quoted (then `quoted` is set)
  String,      // text: the value with '' turned into '
  Number,      // text: as written ("1", "1.5", ".5", "1e10")
  Bind,        // text: the name after ':' upper-cased (":1" -> "1"; quoted names as written)
  Operator,    // text: one of ( ) , . ; + - * / = < > @ % || <> != ^= ~= <= >= := => .. **
  End,         // end of the text
};

struct Token {
  TokenKind kind = TokenKind::End;
  bool quoted = false;     // a "quoted" identifier or bind name
  bool national = false;   // a N'...' string literal
  std::string text;
  uint32_t begin = 0;      // byte offset of the first character in the statement text
  uint32_t end = 0;        // byte offset just past the last character
  int line = 1;            // 1-based line of the first character
  int column = 1;          // 1-based column of the first character

  bool isWord(std::string_view upperWord) const {
    return kind == TokenKind::Identifier && !quoted && text == upperWord;
  }
  bool isOp(std::string_view op) const { return kind == TokenKind::Operator && text == op; }
};

// A syntax error: the OraError plus where in the statement text it was found.
class SyntaxError : public OraError {
 public:
  SyntaxError(OraError error, size_t offset, int line, int column)
      : OraError(std::move(error)), offset_(offset), line_(line), column_(column) {}
  size_t offset() const { return offset_; }  // byte offset in the statement text
  int line() const { return line_; }          // 1-based
  int column() const { return column_; }      // 1-based

 private:
  size_t offset_;
  int line_;
  int column_;
};

struct LexOptions {
  // Longest identifier in bytes (ORA-00972 beyond it): 30 for releases before 12.2.
  size_t maxIdentifierLength = 128;
};

// Splits the whole text into tokens; the last token is always End. Comments (-- and /* */) and
// white space are skipped.
std::vector<Token> tokenize(std::string_view text, const LexOptions& options = {});

// 1-based line and column of a byte offset in text (for error messages).
void lineColumnOf(std::string_view text, size_t offset, int& line, int& column);

}  // namespace ocisim::sql
