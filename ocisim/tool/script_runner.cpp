#include "tool/script_runner.h"

#include <cctype>
#include <fstream>
#include <sstream>

#include "engine/ora_error.h"
#include "engine/sql/lexer.h"
#include "tool/table_printer.h"

namespace ocisim::tool {
namespace {

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// The words of a command line, split at blanks.
std::vector<std::string> words(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string w;
  while (in >> w) out.push_back(w);
  return out;
}

// The text after the command word ("PROMPT Hello there" -> "Hello there").
std::string argumentText(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  return text.substr(i);
}

bool abbreviates(const std::string& word, const std::string& full, size_t minLength) {
  return word.size() >= minLength && word.size() <= full.size() &&
         full.compare(0, word.size(), word) == 0;
}

std::string folderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

void ScriptRunner::runScript(std::string_view script, const std::string& scriptPath) {
  for (const sql::ScriptItem& item : sql::splitScript(script)) {
    if (stopped_) return;
    runItem(item, scriptPath);
  }
}

void ScriptRunner::runFile(const std::string& path, int lineOfCall) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    printFailure(lineOfCall, "SP2-0310: unable to open file \"" + path + "\"");
    return;
  }
  std::ostringstream text;
  text << in.rdbuf();
  runScript(text.str(), path);
}

void ScriptRunner::runItem(const sql::ScriptItem& item, const std::string& scriptPath) {
  switch (item.kind) {
    case sql::ScriptItemKind::Statement:
      runStatement(item.text, item.line, item.plsql);
      break;
    case sql::ScriptItemKind::Rerun:
      if (lastStatement_.empty()) {
        note(item.line, "'/' with no previous statement to run");
      } else {
        runStatement(lastStatement_, item.line, lastPlsql_);
      }
      break;
    case sql::ScriptItemKind::Command:
      runCommand(item, scriptPath);
      break;
  }
}

void ScriptRunner::runStatement(const std::string& text, int line, bool plsql) {
  lastStatement_ = text;
  lastPlsql_ = plsql;
  if (options_.echo) out_ << text << (plsql ? "\n/\n" : ";\n");
  TablePrinter printer(out_);
  try {
    StatementOutcome outcome = connection_.execute(text, printer);
    printer.finish();
    if (printer.printedRows()) out_ << '\n';
    printServerOutput();
    out_ << feedbackText(outcome) << "\n\n";
  } catch (const sql::SyntaxError& e) {
    printServerOutput();
    printFailure(line + e.line() - 1, e.what());
  } catch (const OraError& e) {
    printer.finish();
    if (printer.printedRows()) out_ << '\n';
    printServerOutput();
    printFailure(line, e.what());
  }
}

void ScriptRunner::printServerOutput() {
  std::vector<std::string> lines = connection_.takeServerOutput();
  for (const std::string& l : lines) out_ << l << '\n';
  if (!lines.empty()) out_ << '\n';
}

void ScriptRunner::printFailure(int line, const std::string& message) {
  ++failures_;
  out_ << "ERROR at line " << line << ":\n" << message << "\n\n";
  if (exitOnError_) stopped_ = true;
}

void ScriptRunner::note(int line, const std::string& text) {
  out_ << "Note: line " << line << ": " << text << "\n\n";
}

void ScriptRunner::runCommand(const sql::ScriptItem& item, const std::string& scriptPath) {
  const std::string& c = item.command;
  if (c == "REMARK") return;
  if (c == "PROMPT") {
    out_ << argumentText(item.text) << '\n';
  } else if (c == "SET") {
    runSet(item);
  } else if (c == "EXIT" || c == "QUIT") {
    stopped_ = true;
  } else if (c == "CONNECT") {
    runConnect(item);
  } else if (c == "WHENEVER") {
    std::vector<std::string> w = words(upper(item.text));
    if (w.size() >= 3 && w[1] == "SQLERROR" && (w[2] == "EXIT" || w[2] == "CONTINUE")) {
      exitOnError_ = w[2] == "EXIT";
    } else {
      note(item.line, "WHENEVER " + (w.size() > 1 ? w[1] : std::string()) + " ignored");
    }
  } else if (c == "@" || c == "START") {
    runNested(item, scriptPath);
  } else {
    note(item.line, c + " ignored");
  }
}

void ScriptRunner::runSet(const sql::ScriptItem& item) {
  std::vector<std::string> w = words(upper(item.text));
  if (w.size() >= 3 && abbreviates(w[1], "SERVEROUTPUT", 9) && (w[2] == "ON" || w[2] == "OFF")) {
    connection_.setServerOutput(w[2] == "ON");
    return;
  }
  note(item.line, "SET " + (w.size() > 1 ? w[1] : std::string()) + " ignored");
}

void ScriptRunner::runConnect(const sql::ScriptItem& item) {
  std::string logon = argumentText(item.text);
  logon = logon.substr(0, logon.find('@'));
  size_t slash = logon.find('/');
  if (slash == std::string::npos || slash == 0 || slash + 1 == logon.size()) {
    printFailure(item.line, "SP2-0306: Invalid option.\nUsage: CONNECT username/password");
    return;
  }
  try {
    connection_.connect(logon.substr(0, slash), logon.substr(slash + 1));
    out_ << "Connected.\n\n";
  } catch (const OraError& e) {
    printFailure(item.line, e.what());
  }
}

// @file, @@file (relative to the calling script's folder), START file; ".sql" is added to a
// name without an extension, as SQL*Plus does.
void ScriptRunner::runNested(const sql::ScriptItem& item, const std::string& scriptPath) {
  std::string text = item.text;
  bool relative = text.rfind("@@", 0) == 0;
  std::string name = item.command == "START" ? argumentText(text) : text.substr(relative ? 2 : 1);
  std::vector<std::string> parts = words(name);
  if (parts.empty()) {
    printFailure(item.line, "SP2-1506: START, @ or @@ command has no arguments");
    return;
  }
  name = parts[0];
  if (name.find('.', name.find_last_of('/') == std::string::npos ? 0 : name.find_last_of('/')) ==
      std::string::npos) {
    name += ".sql";
  }
  if (relative && !name.empty() && name[0] != '/') name = folderOf(scriptPath) + name;
  if (depth_ >= options_.maxNesting) {
    printFailure(item.line,
                 "SP2-0309: SQL*Plus command procedures may only be nested to a "
                 "depth of " +
                     std::to_string(options_.maxNesting));
    return;
  }
  ++depth_;
  runFile(name, item.line);
  --depth_;
}

namespace {

// Whether a statement starting with these words (upper-cased) is PL/SQL, which ends with '/'
// and keeps its semicolons.
bool isPlsqlStart(const std::vector<std::string>& w) {
  if (w.empty()) return false;
  if (w[0] == "DECLARE" || w[0] == "BEGIN") return true;
  if (w[0] != "CREATE") return false;
  size_t i = 1;
  if (i + 1 < w.size() && w[i] == "OR" && w[i + 1] == "REPLACE") i += 2;
  while (i < w.size() && (w[i] == "EDITIONABLE" || w[i] == "NONEDITIONABLE" || w[i] == "FORCE" ||
                          w[i] == "NOFORCE")) {
    ++i;
  }
  if (i >= w.size()) return false;
  static const char* const kCode[] = {"PROCEDURE", "FUNCTION", "PACKAGE", "TYPE",
                                      "TRIGGER",   "LIBRARY",  "JAVA"};
  for (const char* k : kCode) {
    if (w[i] == k) return true;
  }
  return false;
}

bool isWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#';
}

}  // namespace

std::string commandTextAsScript(std::string_view text) {
  std::string out;
  std::vector<std::string> words;  // the first words of the current statement
  bool wordsDone = false;          // a symbol came before enough words
  bool plsql = false;
  bool inString = false;
  bool inQuoted = false;
  bool inLineComment = false;
  bool inBlockComment = false;
  size_t lineStart = 0;  // in out
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    char next = i + 1 < text.size() ? text[i + 1] : '\0';
    out += c;
    if (c == '\n') {
      inLineComment = false;
      std::string_view line(out.data() + lineStart, out.size() - 1 - lineStart);
      while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) {
        line.remove_suffix(1);
      }
      while (!line.empty() && std::isspace(static_cast<unsigned char>(line.front()))) {
        line.remove_prefix(1);
      }
      if (plsql && !inString && !inQuoted && !inBlockComment && line == "/") {
        plsql = false;  // the block ended: the next statement starts
        words.clear();
        wordsDone = false;
      }
      lineStart = out.size();
      continue;
    }
    if (inLineComment) continue;
    if (inBlockComment) {
      if (c == '*' && next == '/') {
        out += next;
        ++i;
        inBlockComment = false;
      }
      continue;
    }
    if (inString) {
      if (c == '\'') inString = false;  // '' is two strings in a row: the same result
      continue;
    }
    if (inQuoted) {
      if (c == '"') inQuoted = false;
      continue;
    }
    if (c == '-' && next == '-') {
      inLineComment = true;
      continue;
    }
    if (c == '/' && next == '*') {
      out += next;
      ++i;
      inBlockComment = true;
      continue;
    }
    if (c == '\'') inString = true;
    if (c == '"') inQuoted = true;
    if (!wordsDone && !plsql) {
      if (isWordChar(c)) {
        bool startsWord = out.size() < 2 || !isWordChar(out[out.size() - 2]);
        if (startsWord) words.emplace_back();
        words.back() += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        // Decided once the word is complete.
        if (!isWordChar(next)) plsql = isPlsqlStart(words);
      } else if (!std::isspace(static_cast<unsigned char>(c))) {
        wordsDone = true;
      }
      if (words.size() > 6) wordsDone = true;
    }
    if (c == ';' && !plsql) {
      out += '\n';
      lineStart = out.size();
      words.clear();
      wordsDone = false;
    }
  }
  return out;
}

}  // namespace ocisim::tool
