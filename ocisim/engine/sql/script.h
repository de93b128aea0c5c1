// The SQL*Plus script splitter: cuts a script into statements and SQL*Plus commands, as the
// `ocisim run` tool executes them. Rules: SQL statements end with ';' as the last thing on a
// line (outside strings and comments) or with '/' alone on a line; anonymous blocks (DECLARE,
// BEGIN) and CREATE of stored code (PROCEDURE, FUNCTION, PACKAGE, TYPE, TRIGGER) end only
// with '/' alone on a line; '/' alone between statements asks to run the previous one again;
// '--', '/* */' and REM lines between statements are skipped; SQL*Plus commands (SET, PROMPT,
// SPOOL, SHOW, EXIT, ...) are reported as commands; EXEC[UTE] x becomes BEGIN x; END;.
// Lines may end with CR LF or LF. Blank lines inside a statement are kept (unlike SQL*Plus
// with SQLBLANKLINES OFF, which would silently drop the statement). Pure function, no state.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ocisim::sql {

enum class ScriptItemKind : uint8_t {
  Statement,  // text: the statement to execute, without its ';' or '/' line
  Command,    // a SQL*Plus command: command is its full upper-case name, text its whole line
  Rerun,      // '/' alone on a line between statements: run the previous statement again
};

struct ScriptItem {
  ScriptItemKind kind = ScriptItemKind::Statement;
  std::string text;
  std::string command;     // Command: "SET", "PROMPT", "SPOOL", "REMARK", "EXIT", "@" ...
  int line = 0;            // 1-based line of the script where the item starts
  bool plsql = false;      // Statement: a block or stored code (ends with '/')
  bool terminated = true;  // Statement: false when the script ended before its ';' or '/'
};

std::vector<ScriptItem> splitScript(std::string_view script);

}  // namespace ocisim::sql
