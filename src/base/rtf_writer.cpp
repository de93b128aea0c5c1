#include "base/rtf_writer.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace velmora {

namespace {

constexpr ReportColour kAllColours[] = {ReportColour::Blue,   ReportColour::Red,
                                        ReportColour::Green,  ReportColour::Black,
                                        ReportColour::Maroon, ReportColour::White};

// Index of a colour in the colour table; entry 0 is the "auto" colour.
int colourIndex(ReportColour colour) {
  for (size_t i = 0; i < std::size(kAllColours); ++i) {
    if (kAllColours[i] == colour) return static_cast<int>(i) + 1;
  }
  return 0;
}

void appendHexByte(std::string& out, unsigned char byte) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "\\'%02x", byte);
  out += buffer;
}

// RTF takes \uN with N a signed 16-bit number, one per UTF-16 code unit, each followed by the
// one-character fallback that \uc1 announces.
void appendUnicode(std::string& out, uint32_t codePoint) {
  auto unit = [&out](uint32_t u) {
    out +=
        "\\u" + std::to_string(u >= 0x8000 ? static_cast<int>(u) - 0x10000 : static_cast<int>(u));
    out += '?';
  };
  if (codePoint >= 0x10000) {
    const uint32_t v = codePoint - 0x10000;
    unit(0xD800 + (v >> 10));
    unit(0xDC00 + (v & 0x3FF));
  } else {
    unit(codePoint);
  }
}

// Decodes one UTF-8 sequence at text[pos]; returns its length, or 0 when it is not valid UTF-8
// (overlong forms, surrogates and values above U+10FFFF included).
size_t decodeUtf8(std::string_view text, size_t pos, uint32_t* codePoint) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  size_t length;
  uint32_t value;
  uint32_t minimum;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07, minimum = 0x10000;
  } else {
    return 0;
  }
  if (pos + length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    const auto c = static_cast<unsigned char>(text[pos + i]);
    if ((c & 0xC0) != 0x80) return 0;
    value = (value << 6) | (c & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  *codePoint = value;
  return length;
}

}  // namespace

namespace {

// Escapes text[begin, end) into out. A "\n" at begin that completes a "\r\n" of the previous
// range was already written as that range's paragraph break.
void escapeRange(std::string_view text, size_t begin, size_t end, std::string& out) {
  if (begin < end && text[begin] == '\n' && begin > 0 && text[begin - 1] == '\r') ++begin;
  const std::string_view range = text.substr(0, end);
  for (size_t i = begin; i < end; ++i) {
    const char c = text[i];
    const auto u = static_cast<unsigned char>(c);
    if (c == '\\' || c == '{' || c == '}') {
      out += '\\';
      out += c;
    } else if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < range.size() && range[i + 1] == '\n') ++i;
      out += "\\par\n";
    } else if (c == '\t') {
      out += "\\tab ";
    } else if (u < 0x20 || u == 0x7F) {
      appendHexByte(out, u);
    } else if (u < 0x80) {
      out += c;
    } else {
      uint32_t codePoint = 0;
      const size_t length = decodeUtf8(range, i, &codePoint);
      if (length == 0) {
        appendHexByte(out, u);
      } else {
        appendUnicode(out, codePoint);
        i += length - 1;
      }
    }
  }
}

}  // namespace

std::string rtfEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  escapeRange(text, 0, text.size(), out);
  return out;
}

std::string toRtf(const ReportSnapshot& snapshot, const RtfFont& font) {
  std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl{\\f0\\fmodern\\fcharset0 ";
  out += rtfEscape(font.face);
  out += ";}}\n{\\colortbl ;";
  for (ReportColour colour : kAllColours) {
    const Rgb rgb = rgbOf(colour);
    out += "\\red" + std::to_string(rgb.r) + "\\green" + std::to_string(rgb.g) + "\\blue" +
           std::to_string(rgb.b) + ";";
  }
  out += "}\n\\pard\\plain\\f0\\fs" + std::to_string(font.heightTwips / 10) + "\n";
  const std::string_view text = snapshot.text;
  bool underline = false;
  for (const ReportRun& run : snapshot.runs) {
    if (run.start >= text.size()) break;
    out += "\\cf" + std::to_string(colourIndex(run.colour));
    if (run.underline != underline) {
      out += run.underline ? "\\ul" : "\\ulnone";
      underline = run.underline;
    }
    out += ' ';
    escapeRange(text, run.start, std::min(text.size(), run.start + run.length), out);
  }
  if (underline) out += "\\ulnone";
  out += "\n}";
  return out;
}

}  // namespace velmora
