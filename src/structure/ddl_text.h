// Text building blocks of the DDL generator: the 80-character line writer, the joining of printed
// lines into the returned text (as the server output reader returns them), storage sizes in K
// and M, names as the generated statements write them, and whether a name or an expression can be
// written into a line-based script at all.
// Pure functions and a small value class; no database access.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

inline constexpr size_t kDdlLineWidth = 80;

// Builds printed lines from pieces. write(piece, false) appends the piece to the pending line;
// write(piece, true) appends it and prints the line. When the pending line is not empty and the
// piece would take it past 80 characters, the pending line is printed first; the piece then
// starts the next line (or, when forced, is printed on its own). An empty pending line takes any
// piece, so a single piece longer than 80 characters gives a longer line.
class DdlLineWriter {
 public:
  void write(const std::string& piece, bool force);
  void print(const std::string& line) { lines_.push_back(line); }  // a line of its own
  const std::vector<std::string>& lines() const { return lines_; }
  std::vector<std::string> take() { return std::move(lines_); }

 private:
  std::string pending_;
  std::vector<std::string> lines_;
};

// The printed lines as the generator returns them: each line without trailing white space and
// followed by CR LF, blank lines dropped. {"A ", "", "B"} gives "A\r\nB\r\n".
std::string ddlOutputText(const std::vector<std::string>& lines);

// Length in characters (UTF-8 code points), as the server's length() counts them.
size_t ddlTextLength(const std::string& text);

// A storage size: whole megabytes as "2M", else whole kilobytes as "64K", else the bytes as they
// are ("1000"). Text that is not a whole number is returned unchanged.
std::string ddlSizeText(const std::string& bytes);

// A table, index, constraint or column name as the ALTER TABLE and CREATE INDEX statements write
// it: bare when Oracle would read it back unchanged (upper case letter first, then upper case
// letters, digits, "_", "$", "#", and not a reserved word), else in double quotes. The same as
// sqlName (oracle/oracle_text.h), the one function that quotes names, which the catalog's view
// texts use too.
std::string ddlName(const std::string& name);

// A script is run line by line: SQL*Plus ends a statement at a line that ends with ";" even
// inside quotes, drops it at a blank line, runs it at a line of "/" and runs a line that starts
// with "#" as a command of its own. So a name holding a line break or any other control
// character (or a double quote, which no quoting can hold) cannot stand in a statement: the
// script writes the comment of unwrittenStatementComment instead. "" when the name can be
// written, else why not ("its name holds a line break").
std::string unwritableNameReason(std::string_view name);

// The same for an expression text of Database 1 written into a statement as it stands (a column
// default, a check condition): TAB and line breaks are allowed, no other control character, and
// no line of it that would end or run the statement (one ending in ";", a blank one, one of only
// "/" or ".", one that starts with "#").
std::string unwritableExpressionReason(std::string_view text);

// The first reason among the names, "" when each can be written.
std::string unwritableNamesReason(std::initializer_list<std::string_view> names);

// "-- No statement is written for " + what + ": " + reason, escaped to stay on its one line; what
// names the object ("table " + name). Lines that start so mark a statement left out.
std::string unwrittenStatementComment(std::string_view what, std::string_view reason);

// True when the DDL text holds a line of unwrittenStatementComment.
bool holdsUnwrittenStatement(std::string_view ddl);

// The key columns of a function-based index (from release 8.1 also every DESC column) show in
// ALL_IND_COLUMNS as hidden system columns (SYS_NC00013$); their real text is in
// ALL_IND_EXPRESSIONS, which releases 7 and 8.0 lack. COLUMN_EXPRESSION is a LONG: it is read
// as a plain select-list column, never named in a condition.
inline constexpr const char* kIndexExpressionsQuery =
    "select e.index_name, e.column_position, c.descend, e.column_expression from "
    "all_ind_expressions e, all_ind_columns c where e.index_owner = :owner1 and e.table_owner = "
    ":owner2 and e.table_name = :name and c.index_owner = e.index_owner and c.index_name = "
    "e.index_name and c.column_position = e.column_position order by e.index_name, "
    "e.column_position";
// Whether a server release ("7", "8.0" or "8") has ALL_IND_EXPRESSIONS.
bool serverHasIndexExpressions(const std::string& serverVersion);
// Whether an index column name is a hidden system column: SYS_NC...$.
bool isSystemIndexColumn(std::string_view name);
// The text of an index key expression as a statement writes it: the expression as Oracle
// stores it (trailing white space removed), with " DESC" when DESCEND says so.
std::string indexExpressionText(const std::string& expression, const std::string& descend);

}  // namespace velmora
