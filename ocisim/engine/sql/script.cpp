#include "engine/sql/script.h"

#include <cctype>

namespace ocisim::sql {
namespace {

std::string_view trim(std::string_view s) {
  size_t b = 0;
  while (b < s.size() && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  size_t e = s.size();
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

std::string upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

bool isWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#' ||
         static_cast<unsigned char>(c) >= 0x80;
}

// Quote and comment state carried from line to line inside a statement.
struct LexState {
  bool inString = false;
  bool inQuoted = false;
  bool inComment = false;
  bool any() const { return inString || inQuoted || inComment; }
};

// Scans one line; tells whether its last significant character (outside comments) is a ';'
// outside quotes, and where that character is.
struct LineScan {
  size_t lastPos = std::string_view::npos;
  bool endsWithSemicolon = false;
};

LineScan scanLine(std::string_view line, LexState& st) {
  LineScan r;
  for (size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    char next = i + 1 < line.size() ? line[i + 1] : '\0';
    if (st.inComment) {
      if (c == '*' && next == '/') {
        st.inComment = false;
        ++i;
      }
      continue;
    }
    if (st.inString || st.inQuoted) {
      r.lastPos = i;
      r.endsWithSemicolon = false;
      if (st.inString && c == '\'') {
        if (next == '\'') {
          ++i;
        } else {
          st.inString = false;
        }
      } else if (st.inQuoted && c == '"') {
        st.inQuoted = false;
      }
      continue;
    }
    if (c == '-' && next == '-') break;
    if (c == '/' && next == '*') {
      st.inComment = true;
      ++i;
      continue;
    }
    if (std::isspace(static_cast<unsigned char>(c))) continue;
    r.lastPos = i;
    r.endsWithSemicolon = c == ';';
    if (c == '\'') st.inString = true;
    if (c == '"') st.inQuoted = true;
  }
  return r;
}

// The first words of a statement, upper-cased, skipping comments; stops at other symbols.
std::vector<std::string> firstWords(std::string_view text, size_t count) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < text.size() && words.size() < count) {
    char c = text[i];
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
    } else if (text.substr(i, 2) == "--") {
      size_t eol = text.find('\n', i);
      i = eol == std::string_view::npos ? text.size() : eol;
    } else if (text.substr(i, 2) == "/*") {
      size_t close = text.find("*/", i + 2);
      i = close == std::string_view::npos ? text.size() : close + 2;
    } else if (isWordChar(c)) {
      size_t b = i;
      while (i < text.size() && isWordChar(text[i])) ++i;
      words.push_back(upper(text.substr(b, i - b)));
    } else {
      words.emplace_back(1, c);  // a symbol ends the leading words
      break;
    }
  }
  return words;
}

enum class Mode { None, Undecided, Sql, Plsql };

// Decides from the leading words whether a statement is PL/SQL (ends with '/').
Mode classify(const std::vector<std::string>& w) {
  if (w.empty()) return Mode::Undecided;
  if (w[0] == "DECLARE" || w[0] == "BEGIN") return Mode::Plsql;
  if (w[0] != "CREATE") return Mode::Sql;
  size_t i = 1;
  if (i < w.size() && w[i] == "OR") i += 2;  // OR REPLACE
  while (i < w.size() && (w[i] == "EDITIONABLE" || w[i] == "NONEDITIONABLE" ||
                          w[i] == "FORCE" || w[i] == "NOFORCE")) {
    ++i;
  }
  if (i >= w.size()) return Mode::Undecided;
  const std::string& kind = w[i];
  if (kind == "PROCEDURE" || kind == "FUNCTION" || kind == "PACKAGE" || kind == "TYPE" ||
      kind == "TRIGGER" || kind == "LIBRARY" || kind == "JAVA") {
    return Mode::Plsql;
  }
  return Mode::Sql;
}

struct CommandName {
  const char* full;
  size_t minLength;  // shortest abbreviation SQL*Plus accepts
};

constexpr CommandName kCommands[] = {
    {"SET", 3},      {"PROMPT", 3},  {"SPOOL", 3},   {"REMARK", 3},   {"SHOW", 3},
    {"DEFINE", 3},   {"UNDEFINE", 5}, {"COLUMN", 3}, {"TTITLE", 3},   {"BTITLE", 3},
    {"BREAK", 3},    {"COMPUTE", 4}, {"CLEAR", 2},   {"PAUSE", 3},    {"WHENEVER", 8},
    {"EXIT", 4},     {"QUIT", 4},    {"CONNECT", 4}, {"DISCONNECT", 4}, {"DESCRIBE", 4},
    {"START", 3},    {"HOST", 2},    {"VARIABLE", 3}, {"PRINT", 3},   {"ACCEPT", 3},
    {"TIMING", 3},   {"PASSWORD", 5},
};

// The full command name of a line's first word, or "" when it is no SQL*Plus command.
std::string commandOf(std::string_view line) {
  std::string_view t = trim(line);
  if (!t.empty() && t[0] == '@') return "@";
  size_t end = 0;
  while (end < t.size() && !std::isspace(static_cast<unsigned char>(t[end]))) ++end;
  std::string word = upper(t.substr(0, end));
  if (word == "SET") {
    // SET TRANSACTION / SET ROLE / SET CONSTRAINT(S) are SQL statements.
    std::vector<std::string> w = firstWords(t, 2);
    if (w.size() > 1 && (w[1] == "TRANSACTION" || w[1] == "ROLE" || w[1] == "CONSTRAINT" ||
                         w[1] == "CONSTRAINTS")) {
      return "";
    }
  }
  for (const CommandName& c : kCommands) {
    std::string_view full(c.full);
    if (word.size() >= c.minLength && word.size() <= full.size() &&
        full.substr(0, word.size()) == word) {
      return c.full;
    }
  }
  return "";
}

class Splitter {
 public:
  std::vector<ScriptItem> run(std::string_view script) {
    int lineNo = 0;
    size_t pos = 0;
    while (pos <= script.size()) {
      size_t eol = script.find('\n', pos);
      std::string_view line = script.substr(pos, eol == std::string_view::npos
                                                     ? std::string_view::npos
                                                     : eol - pos);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      ++lineNo;
      if (mode_ == Mode::None) {
        betweenStatements(line, lineNo);
      } else {
        inStatement(line);
      }
      if (eol == std::string_view::npos) break;
      pos = eol + 1;
    }
    if (mode_ != Mode::None) finish(false);
    return std::move(items_);
  }

 private:
  void betweenStatements(std::string_view line, int lineNo) {
    if (continuation_) {  // a command continued with '-' at the end of its previous line
      items_.back().text += '\n';
      items_.back().text += line;
      continuation_ = trim(line).ends_with(" -") || trim(line) == "-";
      return;
    }
    std::string_view rest = line;
    if (commentOpen_) {
      size_t close = rest.find("*/");
      if (close == std::string_view::npos) return;
      rest = rest.substr(close + 2);
      commentOpen_ = false;
    }
    std::string_view t = trim(rest);
    while (t.starts_with("/*")) {
      size_t close = t.find("*/", 2);
      if (close == std::string_view::npos) {
        commentOpen_ = true;
        return;
      }
      rest = t.substr(close + 2);
      t = trim(rest);
    }
    if (t.empty() || t.starts_with("--")) return;
    if (t == "/") {
      items_.push_back({ScriptItemKind::Rerun, "/", "", lineNo, false, true});
      return;
    }
    std::string command = commandOf(t);
    if (!command.empty()) {
      items_.push_back({ScriptItemKind::Command, std::string(t), command, lineNo, false, true});
      continuation_ = t.ends_with(" -");
      return;
    }
    std::vector<std::string> w = firstWords(t, 1);
    if (!w.empty() && (w[0] == "EXEC" || w[0] == "EXECUTE")) {
      std::string_view call = trim(t.substr(w[0].size()));
      while (call.ends_with(";")) call = trim(call.substr(0, call.size() - 1));
      items_.push_back({ScriptItemKind::Statement, "BEGIN " + std::string(call) + "; END;", "",
                        lineNo, true, true});
      return;
    }
    buffer_.clear();
    startLine_ = lineNo;
    mode_ = Mode::Undecided;
    lex_ = LexState();
    appendLine(rest);
  }

  void inStatement(std::string_view line) {
    if (!lex_.any() && trim(line) == "/") {
      finish(true);
      return;
    }
    buffer_ += '\n';
    appendLine(line);
  }

  void appendLine(std::string_view line) {
    size_t lineStart = buffer_.size();
    buffer_ += line;
    LineScan scan = scanLine(line, lex_);
    if (mode_ == Mode::Undecided) {
      Mode decided = classify(firstWords(buffer_, 6));
      if (decided != Mode::Undecided) mode_ = decided;
    }
    if (mode_ != Mode::Plsql && scan.endsWithSemicolon) {
      buffer_.resize(lineStart + scan.lastPos);
      finish(true);
    }
  }

  void finish(bool terminated) {
    std::string_view text = buffer_;
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
      text.remove_suffix(1);
    }
    if (!trim(text).empty()) {
      items_.push_back({ScriptItemKind::Statement, std::string(text), "", startLine_,
                        mode_ == Mode::Plsql, terminated});
    }
    buffer_.clear();
    mode_ = Mode::None;
  }

  std::vector<ScriptItem> items_;
  std::string buffer_;
  int startLine_ = 0;
  Mode mode_ = Mode::None;
  LexState lex_;
  bool commentOpen_ = false;
  bool continuation_ = false;
};

}  // namespace

std::vector<ScriptItem> splitScript(std::string_view script) { return Splitter().run(script); }

}  // namespace ocisim::sql
