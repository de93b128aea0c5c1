// Text read from a database (names, display names, conditions, default texts, Oracle messages)
// made safe for a report line, a script comment or a banner: no such text may end a comment or a
// statement of the script, or act on the terminal that shows the report. Pure functions.
#pragma once

#include <string>
#include <string_view>

#include "base/comparison_options.h"

namespace velmora {

// Control characters written visibly: TAB, LF and CR as \t, \n and \r, the other C0 controls and
// DEL as \xHH (ESC is \x1B), the C1 controls U+0080..U+009F as \u0080..\u009F. A byte 0x80..0x9F
// that is no part of a valid UTF-8 sequence is a C1 control in the 8-bit character sets and is
// written as \xHH too; every other byte is kept as it is (a backslash included). The ASCII
// controls in `kept` are kept as they are (the terminal keeps "\r\n\t" of the report's layout).
std::string escapeControls(std::string_view text, std::string_view kept = "");

// escapeControls for text inside a "/* ... */" comment: also "*/" is broken up ("*\/"), so the
// text cannot close the comment.
std::string escapeForBlockComment(std::string_view text);

// The text as the current output mode writes it: escapeControls in the comparison report,
// escapeForBlockComment in the scripts (whose banners are block comments).
std::string reportText(const ComparisonOptions& options, std::string_view text);

// True when escapeControls would change the text.
bool holdsControlCharacter(std::string_view text);

// A text of several lines (an Oracle message) as comment lines: each line (ended by CR LF, LF or
// CR) escaped with escapeControls and the lines joined by CR LF + prefix, so that in the scripts
// every line stays behind the "-- " of the comment. Line ends at the end are dropped. The caller
// writes the prefix of the first line.
std::string commentLines(std::string_view prefix, std::string_view text);

}  // namespace velmora
