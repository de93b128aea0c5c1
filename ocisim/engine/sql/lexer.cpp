#include "engine/sql/lexer.h"

#include <cctype>

#include "engine/ora_error.h"

namespace ocisim::sql {
namespace {

bool isIdentStart(unsigned char c) { return std::isalpha(c) || c >= 0x80; }
bool isIdentPart(unsigned char c) {
  return std::isalnum(c) || c == '_' || c == '$' || c == '#' || c >= 0x80;
}
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

class Lexer {
 public:
  Lexer(std::string_view text, const LexOptions& options) : text_(text), options_(options) {}

  std::vector<Token> run() {
    std::vector<Token> tokens;
    for (;;) {
      skipBlanksAndComments();
      Token token;
      token.begin = static_cast<uint32_t>(pos_);
      token.line = line_;
      token.column = static_cast<int>(pos_ - lineStart_) + 1;
      if (pos_ >= text_.size()) {
        token.end = token.begin;
        tokens.push_back(std::move(token));
        return tokens;
      }
      readToken(token);
      token.end = static_cast<uint32_t>(pos_);
      tokens.push_back(std::move(token));
    }
  }

 private:
  [[noreturn]] void fail(int code) const {
    throw SyntaxError(OraError(code), pos_, line_, static_cast<int>(pos_ - lineStart_) + 1);
  }

  char at(size_t i) const { return i < text_.size() ? text_[i] : '\0'; }

  void advance() {
    if (text_[pos_] == '\n') {
      ++line_;
      lineStart_ = pos_ + 1;
    }
    ++pos_;
  }

  void skipBlanksAndComments() {
    while (pos_ < text_.size()) {
      char c = text_[pos_];
      if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
        advance();
      } else if (c == '-' && at(pos_ + 1) == '-') {
        while (pos_ < text_.size() && text_[pos_] != '\n') advance();
      } else if (c == '/' && at(pos_ + 1) == '*') {
        size_t close = text_.find("*/", pos_ + 2);
        if (close == std::string_view::npos) fail(1742);
        while (pos_ < close + 2) advance();
      } else {
        return;
      }
    }
  }

  void readToken(Token& token) {
    unsigned char c = static_cast<unsigned char>(text_[pos_]);
    if ((c == 'n' || c == 'N') && at(pos_ + 1) == '\'') {
      advance();
      token.national = true;
      readString(token);
    } else if (isIdentStart(c)) {
      readIdentifier(token);
    } else if (isDigit(static_cast<char>(c)) || (c == '.' && isDigit(at(pos_ + 1)))) {
      readNumber(token);
    } else if (c == '\'') {
      readString(token);
    } else if (c == '"') {
      token.kind = TokenKind::Identifier;
      token.quoted = true;
      token.text = readQuoted();
    } else if (c == ':' && (isIdentStart(static_cast<unsigned char>(at(pos_ + 1))) ||
                            isDigit(at(pos_ + 1)) || at(pos_ + 1) == '"')) {
      readBind(token);
    } else {
      readOperator(token);
    }
  }

  void readIdentifier(Token& token) {
    size_t start = pos_;
    while (pos_ < text_.size() && isIdentPart(static_cast<unsigned char>(text_[pos_]))) advance();
    token.kind = TokenKind::Identifier;
    token.text = upper(text_.substr(start, pos_ - start));
    checkLength(token.text);
  }

  // Reads "..." and returns the text between the quotes.
  std::string readQuoted() {
    size_t close = text_.find('"', pos_ + 1);
    if (close == std::string_view::npos) fail(1740);
    std::string name(text_.substr(pos_ + 1, close - pos_ - 1));
    while (pos_ <= close) advance();
    if (name.empty()) fail(1741);
    checkLength(name);
    return name;
  }

  void checkLength(const std::string& name) const {
    if (name.size() > options_.maxIdentifierLength) fail(972);
  }

  void readNumber(Token& token) {
    size_t start = pos_;
    while (isDigit(at(pos_))) advance();
    // "1..10" is a range in a FOR loop: the first '.' does not belong to the number.
    if (at(pos_) == '.' && at(pos_ + 1) != '.') {
      advance();
      while (isDigit(at(pos_))) advance();
    }
    char e = at(pos_);
    if ((e == 'e' || e == 'E') &&
        (isDigit(at(pos_ + 1)) ||
         ((at(pos_ + 1) == '+' || at(pos_ + 1) == '-') && isDigit(at(pos_ + 2))))) {
      advance();
      if (at(pos_) == '+' || at(pos_) == '-') advance();
      while (isDigit(at(pos_))) advance();
    }
    token.kind = TokenKind::Number;
    token.text = std::string(text_.substr(start, pos_ - start));
  }

  void readString(Token& token) {
    advance();  // opening quote
    std::string value;
    for (;;) {
      if (pos_ >= text_.size()) fail(1756);
      char c = text_[pos_];
      if (c == '\'') {
        if (at(pos_ + 1) == '\'') {
          value += '\'';
          advance();
          advance();
          continue;
        }
        advance();
        break;
      }
      value += c;
      advance();
    }
    token.kind = TokenKind::String;
    token.text = std::move(value);
  }

  void readBind(Token& token) {
    advance();  // ':'
    token.kind = TokenKind::Bind;
    if (at(pos_) == '"') {
      token.quoted = true;
      token.text = readQuoted();
      return;
    }
    size_t start = pos_;
    while (pos_ < text_.size() && isIdentPart(static_cast<unsigned char>(text_[pos_]))) advance();
    token.text = upper(text_.substr(start, pos_ - start));
  }

  void readOperator(Token& token) {
    static constexpr std::string_view kTwoChar[] = {"||", "<>", "!=", "^=", "~=", "<=",
                                                    ">=", ":=", "=>", "..", "**"};
    token.kind = TokenKind::Operator;
    std::string_view two = text_.substr(pos_, 2);
    for (std::string_view op : kTwoChar) {
      if (two == op) {
        token.text = std::string(op);
        advance();
        advance();
        return;
      }
    }
    char c = text_[pos_];
    static constexpr std::string_view kOneChar = "(),.;+-*/=<>@%";
    if (kOneChar.find(c) == std::string_view::npos) fail(911);
    token.text = std::string(1, c);
    advance();
  }

  std::string_view text_;
  const LexOptions& options_;
  size_t pos_ = 0;
  int line_ = 1;
  size_t lineStart_ = 0;
};

}  // namespace

std::vector<Token> tokenize(std::string_view text, const LexOptions& options) {
  return Lexer(text, options).run();
}

void lineColumnOf(std::string_view text, size_t offset, int& line, int& column) {
  line = 1;
  size_t lineStart = 0;
  for (size_t i = 0; i < offset && i < text.size(); ++i) {
    if (text[i] == '\n') {
      ++line;
      lineStart = i + 1;
    }
  }
  column = static_cast<int>(offset - lineStart) + 1;
}

}  // namespace ocisim::sql
