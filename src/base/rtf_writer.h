// RtfWriter: turns a report snapshot into an RTF document for Save Report: a colour table of the
// report colours, the report font, colour and underline runs, and the text with "\", "{" and "}"
// escaped and every non-ASCII character written as \uN (valid UTF-8) or \'hh (any other byte).
// Pure functions; thread-safe.
#pragma once

#include <string>
#include <string_view>

#include "base/report_document.h"

namespace velmora {

struct RtfFont {
  std::string face = "Courier New";
  int heightTwips = 170;  // the report font's height; RTF sizes are in half points
};

// The whole document, from "{\rtf1" to the closing "}" (no line break after it).
std::string toRtf(const ReportSnapshot& snapshot, const RtfFont& font = RtfFont());

// The escaped form of plain text inside an RTF group: "a{b}\r\n" gives "a\{b\}\par\n".
std::string rtfEscape(std::string_view text);

}  // namespace velmora
