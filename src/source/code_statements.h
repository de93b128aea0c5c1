// Whether a source can stand in a script run line by line (SQL*Plus): a view is a SQL statement,
// which a line ending in ";", a line of "/" or "." or a line starting with "#" would end or cut
// (a blank line too, unless the script says SET SQLBLANKLINES ON first); PL/SQL and triggers run
// up to a line of "/", so only such a line, a line of "." and a "#" line break them. No control
// character but TAB and the line ends may stand in either. Pure functions.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

struct SourceCheck {
  std::string reason;          // "" when the source can be written
  bool hasBlankLines = false;  // a view with blank lines needs SET SQLBLANKLINES ON
};

SourceCheck checkScriptSource(std::string_view source, bool sqlStatement);

}  // namespace velmora
