// Runs SQL*Plus-style scripts over a Connection and prints what SQL*Plus would: query results
// as tables with "n rows selected.", feedback such as "Table created." or "1 row updated.",
// DBMS_OUTPUT lines (SET SERVEROUTPUT ON), and failures as "ERROR at line n:" followed by the
// ORA- message, n being the script line. Honoured commands: SET SERVEROUTPUT, PROMPT, CONNECT,
// WHENEVER SQLERROR EXIT|CONTINUE, EXIT/QUIT, @file / @@file / START file, '/' (run the last
// statement again); the other SQL*Plus commands are ignored with a note. Not thread-safe.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "engine/sql/script.h"
#include "tool/connection.h"

namespace ocisim::tool {

struct RunnerOptions {
  bool echo = false;    // print each statement before its result
  int maxNesting = 20;  // deepest @file nesting
};

class ScriptRunner {
 public:
  ScriptRunner(Connection& connection, std::ostream& out, RunnerOptions options = {})
      : connection_(connection), out_(out), options_(options) {}

  // Runs the text of a script. scriptPath ("" for -c text or standard input) resolves the
  // files named by @@ (relative to the script's folder).
  void runScript(std::string_view script, const std::string& scriptPath);
  // Reads and runs a script file (a failure to read it counts as a failed statement).
  void runFile(const std::string& path, int lineOfCall);

  int failures() const { return failures_; }
  // EXIT / QUIT, or WHENEVER SQLERROR EXIT after a failure, ended the run.
  bool stopped() const { return stopped_; }

 private:
  void runItem(const sql::ScriptItem& item, const std::string& scriptPath);
  void runStatement(const std::string& text, int line, bool plsql);
  void runCommand(const sql::ScriptItem& item, const std::string& scriptPath);
  void runSet(const sql::ScriptItem& item);
  void runConnect(const sql::ScriptItem& item);
  void runNested(const sql::ScriptItem& item, const std::string& scriptPath);
  void printServerOutput();
  void printFailure(int line, const std::string& message);
  void note(int line, const std::string& text);

  Connection& connection_;
  std::ostream& out_;
  RunnerOptions options_;
  int failures_ = 0;
  bool stopped_ = false;
  bool exitOnError_ = false;
  int depth_ = 0;
  std::string lastStatement_;
  bool lastPlsql_ = false;
};

// SQL*Plus's feedback for a successful statement ("Table created.", "2 rows updated.").
std::string feedbackText(const StatementOutcome& outcome);

// The text of `ocisim run -c` as a script: every ';' that ends a SQL statement (outside
// strings, quoted names and comments) ends its line, so "A; B" runs A and then B, as it would
// typed into SQL*Plus on two lines. A PL/SQL block or stored code ("BEGIN ... END;", CREATE
// PROCEDURE ...) is left whole up to a line holding only '/'.
std::string commandTextAsScript(std::string_view text);

}  // namespace ocisim::tool
