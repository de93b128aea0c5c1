#include "base/report_text.h"
#include "source/code_statements.h"

namespace velmora {

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view line) {
  while (!line.empty() && isBlank(line.front())) line.remove_prefix(1);
  while (!line.empty() && isBlank(line.back())) line.remove_suffix(1);
  return line;
}

}  // namespace

SourceCheck checkScriptSource(std::string_view source, bool sqlStatement) {
  SourceCheck check;
  std::string rest(source);
  for (char& c : rest) {
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  }
  if (holdsControlCharacter(rest)) {
    check.reason = "its source holds a control character";
    return check;
  }
  size_t start = 0;
  while (start <= source.size()) {
    const size_t end = source.find_first_of("\r\n", start);
    const std::string_view line =
        trimmed(source.substr(start, end == std::string_view::npos ? end : end - start));
    if (line == "/" || line == ".") {
      check.reason = "a line of its source, \"" + std::string(line) + "\", would end the statement";
      return check;
    }
    if (!line.empty() && line.front() == '#') {
      check.reason = "a line of its source starts with \"#\" and would run as a command";
      return check;
    }
    if (sqlStatement && !line.empty() && line.back() == ';') {
      check.reason = "a line of its source ends in \";\" and would end the statement";
      return check;
    }
    if (sqlStatement && line.empty()) check.hasBlankLines = true;
    if (end == std::string_view::npos) break;
    start = end + 1;
    if (source[end] == '\r' && start < source.size() && source[start] == '\n') ++start;
  }
  return check;
}

}  // namespace velmora
