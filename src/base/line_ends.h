// LineEndConverter: turns the report's line ends (CR LF, and any lone CR or LF) into one chosen
// line end, for the places that write the report outside the report model: the command line's
// stdout and the report files it asks for. Keeps what it needs across calls, so a CR at the end
// of one piece and the LF that starts the next make one line end. Not thread-safe: one per
// stream.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

class LineEndConverter {
 public:
  explicit LineEndConverter(std::string_view lineEnd = "\n") : lineEnd_(lineEnd) {}

  std::string convert(std::string_view text) {
    std::string result;
    result.reserve(text.size() + text.size() / 16);
    for (char c : text) {
      if (c == '\r') {
        result += lineEnd_;
        lastWasCr_ = true;
        continue;
      }
      if (c == '\n') {
        if (!lastWasCr_) result += lineEnd_;
      } else {
        result += c;
      }
      lastWasCr_ = false;
    }
    if (!text.empty()) midLine_ = text.back() != '\r' && text.back() != '\n';
    return result;
  }

  // Whether the last text converted ended inside a line (so a final line end is due).
  bool midLine() const { return midLine_; }
  const std::string& lineEnd() const { return lineEnd_; }
  void reset() { lastWasCr_ = midLine_ = false; }

 private:
  std::string lineEnd_;
  bool lastWasCr_ = false;
  bool midLine_ = false;
};

}  // namespace velmora
