// Small text helpers of the Oracle access layer: upper case as Oracle names use it (ASCII),
// trimming of trailing white space, which the dictionary readers apply to every fetched line, and
// the one function that writes a name into a statement.
#pragma once

#include <string>

namespace velmora {

std::string toUpperAscii(std::string text);
std::string trimTrailingSpace(std::string text);  // blanks, tabs, CR, LF, VT, FF
std::string trimLeadingSpace(std::string text);

// A table, view, column or object name as a statement writes it: bare when Oracle would read it
// back unchanged (upper case letter first, then upper case letters, digits, "_", "$", "#", and not
// a reserved word), else in double quotes. sqlName("EMP") == "EMP", sqlName("emp") == "\"emp\"".
// A name holding a double quote or a control character cannot be written at all (see
// unwritableNameReason in structure/ddl_text.h).
std::string sqlName(const std::string& name);

// A character value as a quoted SQL literal that a line-based script can hold: quotes doubled,
// control characters joined in as CHR(n): "a" LF "b'" gives 'a' || CHR(10) || 'b'''. The one
// form of text literals in generated statements (OracleSession::sqlLiteral uses it).
std::string quotedSqlLiteral(const std::string& value);

}  // namespace velmora
