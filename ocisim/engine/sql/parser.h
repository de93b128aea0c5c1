// Parser of the SQL and PL/SQL subset: one statement text in, one AST (ast.h) out, or an
// OraError with Oracle's code for malformed input (ORA-00900, ORA-00933, ORA-00936, ...).
// Thread-safe (no shared state). The returned Statement owns its tree and a copy of the text.
#pragma once

#include <memory>
#include <string_view>

#include "engine/ora_error.h"
#include "engine/sql/ast.h"
#include "engine/sql/lexer.h"

namespace ocisim::sql {

struct ParseOptions {
  // Longest identifier (ORA-00972 beyond it): 30 before release 12.2, 128 after.
  size_t maxIdentifierLength = 128;
  // The server release as major * 100 + minor (703, 800, 801, 902, 1903): the syntax a release
  // lacks is not recognised, and fails as that release's parser fails on it (CASE before 8.1,
  // ANSI joins, WITH and datetime literals before 9).
  int release = 1903;
};


// Parses exactly one statement. For plain SQL a trailing ';' is ORA-00911 (as through OCI);
// PL/SQL blocks and CREATE of stored code end with their own ';' (kept in the text).
// Syntax errors inside an anonymous block come as ORA-06550 ("line l, column c:\nPLS-00103:
// ..."), like Oracle's PL/SQL compiler reports them. Throws SyntaxError.
std::unique_ptr<Statement> parseStatement(std::string_view sql, const ParseOptions& options = {});

// Oracle's reserved words (V$RESERVED_WORDS with RESERVED = 'Y'): they cannot name a column or
// table unless quoted. word must be upper case.
bool isReservedWord(std::string_view word);

}  // namespace ocisim::sql
