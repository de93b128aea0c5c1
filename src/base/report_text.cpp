#include "base/report_text.h"

#include <cstdint>

namespace velmora {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

std::string hexByte(const char* prefix, unsigned char value) {
  std::string text = prefix;
  text += kHexDigits[value >> 4];
  text += kHexDigits[value & 0x0F];
  return text;
}

// The length of the valid UTF-8 sequence at text[i], 0 when none starts there.
size_t utf8SequenceLength(std::string_view text, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  size_t length = 0;
  uint32_t codePoint = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    codePoint = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    codePoint = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    codePoint = lead & 0x07;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    codePoint = (codePoint << 6) | (byte(i + k) & 0x3F);
  }
  // Overlong forms, surrogates and values beyond U+10FFFF are not valid UTF-8.
  if ((length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000) ||
      (codePoint >= 0xD800 && codePoint <= 0xDFFF) || codePoint > 0x10FFFF)
    return 0;
  return length;
}

// Appends text[i...] to `out` up to the next character that needs escaping, escapes that one and
// returns the position after it.
size_t appendEscaped(std::string_view text, size_t i, std::string_view kept, std::string& out) {
  const unsigned char c = static_cast<unsigned char>(text[i]);
  if (c < 0x80) {
    if (kept.find(static_cast<char>(c)) != std::string_view::npos) {
      out += static_cast<char>(c);
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c < 0x20 || c == 0x7F) {
      out += hexByte("\\x", c);
    } else {
      out += static_cast<char>(c);
    }
    return i + 1;
  }
  const size_t length = utf8SequenceLength(text, i);
  if (length == 0) {
    // A stray byte: the C1 range would be a control in an 8-bit character set.
    if (c <= 0x9F)
      out += hexByte("\\x", c);
    else
      out += static_cast<char>(c);
    return i + 1;
  }
  const unsigned char second = static_cast<unsigned char>(text[i + 1]);
  if (c == 0xC2 && second <= 0x9F) {
    out += hexByte("\\u00", second);  // U+0080..U+009F
  } else {
    out.append(text.substr(i, length));
  }
  return i + length;
}

}  // namespace

std::string escapeControls(std::string_view text, std::string_view kept) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    // Printable ASCII goes as it is, a run at a time; the rest one character at a time.
    size_t plain = i;
    while (plain < text.size() && text[plain] >= 0x20 && text[plain] < 0x7F) ++plain;
    out.append(text.data() + i, plain - i);
    i = plain < text.size() ? appendEscaped(text, plain, kept, out) : plain;
  }
  return out;
}

std::string escapeForBlockComment(std::string_view text) {
  const std::string escaped = escapeControls(text);
  std::string out;
  out.reserve(escaped.size());
  for (size_t i = 0; i < escaped.size(); ++i) {
    out += escaped[i];
    if (escaped[i] == '*' && i + 1 < escaped.size() && escaped[i + 1] == '/') out += '\\';
  }
  return out;
}

std::string reportText(const ComparisonOptions& options, std::string_view text) {
  return options.i_DoingUpgradeScript == 0 ? escapeControls(text) : escapeForBlockComment(text);
}

bool holdsControlCharacter(std::string_view text) {
  return escapeControls(text) != text;
}

std::string commentLines(std::string_view prefix, std::string_view text) {
  size_t end = text.size();
  while (end > 0 && (text[end - 1] == '\n' || text[end - 1] == '\r')) --end;
  text = text.substr(0, end);
  std::string out;
  size_t start = 0;
  while (true) {
    const size_t lineEnd = text.find_first_of("\r\n", start);
    out += escapeControls(text.substr(start, lineEnd - start));
    if (lineEnd == std::string_view::npos) break;
    start = lineEnd + 1;
    if (text[lineEnd] == '\r' && start < text.size() && text[start] == '\n') ++start;
    out += "\r\n";
    out += prefix;
  }
  return out;
}

}  // namespace velmora
