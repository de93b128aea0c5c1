#include "structure/ddl_text.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string_view>

#include "base/report_text.h"
#include "oracle/oracle_text.h"

namespace velmora {

namespace {

bool isContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

constexpr std::string_view kUnwrittenStart = "-- No statement is written for ";

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

bool holdsLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

// Why one line of an expression would end or run the statement it stands in ("" when not).
std::string lineEndsStatement(std::string_view line) {
  size_t first = 0;
  while (first < line.size() && isBlank(line[first])) ++first;
  size_t end = line.size();
  while (end > first && isBlank(line[end - 1])) --end;
  const std::string_view trimmed = line.substr(first, end - first);
  if (trimmed.empty()) return "a blank line ends the statement";
  if (trimmed.back() == ';') return "a line ending in \";\" ends the statement";
  if (trimmed == "/" || trimmed == ".")
    return "a line of \"" + std::string(trimmed) + "\" ends the statement";
  if (trimmed.front() == '#') return "a line starting with \"#\" runs as a command";
  return "";
}

}  // namespace

void DdlLineWriter::write(const std::string& piece, bool force) {
  // An empty pending line or piece never overflows: the server's length() of '' is NULL.
  if (!pending_.empty() && !piece.empty() &&
      ddlTextLength(pending_) + ddlTextLength(piece) > kDdlLineWidth) {
    lines_.push_back(pending_);
    pending_.clear();
    if (!force) {
      pending_ = piece;
      return;
    }
    lines_.push_back(piece);
    return;
  }
  pending_ += piece;
  if (force) {
    lines_.push_back(pending_);
    pending_.clear();
  }
}

std::string ddlOutputText(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    std::string trimmed = trimTrailingSpace(line);
    if (trimmed.empty()) continue;
    text += trimmed;
    text += "\r\n";
  }
  return text;
}

size_t ddlTextLength(const std::string& text) {
  return static_cast<size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return !isContinuationByte(c); }));
}

std::string ddlSizeText(const std::string& bytes) {
  if (bytes.empty() || bytes.size() > 18 ||
      !std::all_of(bytes.begin(), bytes.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return bytes;
  uint64_t n = std::stoull(bytes);
  if (n % 1048576 == 0) return std::to_string(n / 1048576) + "M";
  if (n % 1024 == 0) return std::to_string(n / 1024) + "K";
  return std::to_string(n);
}

std::string ddlName(const std::string& name) {
  return sqlName(name);
}

std::string unwritableNameReason(std::string_view name) {
  if (holdsLineBreak(name)) return "its name holds a line break";
  if (holdsControlCharacter(name)) return "its name holds a control character";
  if (name.find('"') != std::string_view::npos) return "its name holds a double quote";
  return "";
}

std::string unwritableExpressionReason(std::string_view text) {
  if (text.empty()) return "";
  std::string rest(text);
  for (char& c : rest) {
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  }
  if (holdsControlCharacter(rest)) return "it holds a control character";
  size_t start = 0;
  while (start <= text.size()) {
    const size_t end = text.find_first_of("\r\n", start);
    const std::string why =
        lineEndsStatement(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (!why.empty()) return "one of its lines would break the statement: " + why;
    if (end == std::string_view::npos) break;
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
  return "";
}

std::string unwritableNamesReason(std::initializer_list<std::string_view> names) {
  for (std::string_view name : names) {
    std::string reason = unwritableNameReason(name);
    if (!reason.empty()) return reason;
  }
  return "";
}

std::string unwrittenStatementComment(std::string_view what, std::string_view reason) {
  return escapeControls(std::string(kUnwrittenStart) + std::string(what) + ": " +
                        std::string(reason));
}

bool holdsUnwrittenStatement(std::string_view ddl) {
  for (size_t start = 0; start < ddl.size();) {
    if (ddl.substr(start, kUnwrittenStart.size()) == kUnwrittenStart) return true;
    const size_t end = ddl.find('\n', start);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return false;
}

bool serverHasIndexExpressions(const std::string& serverVersion) {
  return serverVersion != "7" && serverVersion != "8.0";
}

bool isSystemIndexColumn(std::string_view name) {
  return name.size() > 7 && name.substr(0, 6) == "SYS_NC" && name.back() == '$';
}

std::string indexExpressionText(const std::string& expression, const std::string& descend) {
  std::string text = trimTrailingSpace(expression);
  if (descend == "DESC") text += " DESC";
  return text;
}

}  // namespace velmora
