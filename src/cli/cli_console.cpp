#include "cli/cli_console.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "base/report_text.h"

namespace velmora::cli {

namespace {

constexpr const char* kReset = "\x1b[0m";
constexpr const char* kEraseLine = "\r\x1b[K";
constexpr size_t kStatusWidth = 44;
constexpr int kBarWidth = 24;

}  // namespace

CliConsole::CliConsole(std::ostream& out, std::ostream& err, const ConsoleSettings& settings)
    : out_(out),
      err_(err),
      settings_(settings),
      statusEnabled_(settings.progress && settings.errIsTerminal),
      lineBuffered_(statusEnabled_ && settings.outIsTerminal),
      lineEnd_(settings.outIsTerminal || !settings.crlf ? "\n" : "\r\n") {}

std::string CliConsole::styleOf(ReportColour colour, bool underline) const {
  if (!settings_.colour) return "";
  std::string code;
  if (colour == ReportColour::Black || colour == ReportColour::White) {
    // The terminal's own foreground: black or white may be its background.
    code = "\x1b[39m";
  } else if (settings_.trueColour) {
    const Rgb rgb = rgbOf(colour);
    code = "\x1b[38;2;" + std::to_string(rgb.r) + ";" + std::to_string(rgb.g) + ";" +
           std::to_string(rgb.b) + "m";
  } else {
    code = colour == ReportColour::Blue    ? "\x1b[34m"
           : colour == ReportColour::Red   ? "\x1b[31m"
           : colour == ReportColour::Green ? "\x1b[32m"
                                           : "\x1b[35m";
  }
  return code + (underline ? "\x1b[4m" : "\x1b[24m");
}

// The report's own layout uses CR, LF and TAB; any other control character in it comes from a
// name or a message of a database and could drive the terminal (ESC, BEL, the C1 controls), so on
// a terminal, or wherever colours say that one will show it, it is written visibly. A plain
// report or script keeps its exact bytes: its names are escaped where they are written.
std::string CliConsole::terminalText(std::string_view text) const {
  if (!settings_.outIsTerminal && !settings_.colour) return std::string(text);
  return escapeControls(text, "\r\n\t");
}

// "\r\n", a lone "\r" and a lone "\n" each end one line: with LF, as on a terminal and by
// default elsewhere, or with CR LF (--crlf) when stdout is not a terminal.
std::string CliConsole::lineEnds(std::string_view text) {
  return lineEnd_.convert(text);
}

void CliConsole::endLine() {
  if (!outMidLine_ || outputFailed_) return;
  errno = 0;
  out_ << lineEnd_.lineEnd();
  outMidLine_ = false;
  checkOut(errno);
}

void CliConsole::emit(const std::string& text, const std::string& style) {
  if (text.empty() || outputFailed_) return;
  errno = 0;
  if (style != termStyle_) {
    out_ << (style.empty() ? std::string(kReset) : style);
    termStyle_ = style;
  }
  out_ << text;
  outMidLine_ = text.back() != '\n';
  checkOut(errno);
}

void CliConsole::setOutputFailureHandler(std::function<void(const std::string& reason)> handler) {
  std::lock_guard lock(mutex_);
  outputFailureHandler_ = std::move(handler);
}

bool CliConsole::outputFailed() const {
  std::lock_guard lock(mutex_);
  return outputFailed_;
}

// A stream keeps no reason of its own: the errno of the write that failed is the system's.
void CliConsole::checkOut(int error) {
  if (outputFailed_ || out_.good()) return;
  outputFailed_ = true;
  const std::string reason =
      error != 0 ? std::generic_category().message(error) : std::string("write error");
  if (outputFailureHandler_) outputFailureHandler_(reason);
}

void CliConsole::emitPending() {
  for (const Segment& segment : pending_) emit(segment.text, segment.style);
  pending_.clear();
}

void CliConsole::resetTerminalStyle() {
  if (termStyle_.empty()) return;
  out_ << kReset;
  termStyle_.clear();
}

// Before stderr prints on the terminal of the report: plain colours, and a line of its own.
void CliConsole::beforeStderr() {
  if (!settings_.outIsTerminal || !settings_.errIsTerminal) return;
  emitPending();
  resetTerminalStyle();
  if (outMidLine_) {
    out_ << '\n';
    outMidLine_ = false;
  }
  out_.flush();
}

void CliConsole::report(std::string_view text, ReportColour colour, bool underline) {
  std::lock_guard lock(mutex_);
  std::string converted = lineEnds(terminalText(text));
  const std::string style = styleOf(colour, underline);
  if (!lineBuffered_) {
    emit(converted, style);
    if (settings_.outIsTerminal) out_.flush();
    return;
  }
  const size_t lastNewline = converted.rfind('\n');
  if (lastNewline == std::string::npos) {
    pending_.push_back({std::move(converted), style});
    return;
  }
  eraseStatus();
  emitPending();
  emit(converted.substr(0, lastNewline + 1), style);
  resetTerminalStyle();
  out_.flush();
  if (lastNewline + 1 < converted.size()) {
    pending_.push_back({converted.substr(lastNewline + 1), style});
  }
  drawStatus();
}

void CliConsole::finishReport() {
  std::lock_guard lock(mutex_);
  eraseStatus();
  emitPending();
  resetTerminalStyle();
  endLine();
  errno = 0;
  out_.flush();
  checkOut(errno);
}

void CliConsole::endReportLine() {
  std::lock_guard lock(mutex_);
  eraseStatus();
  emitPending();
  resetTerminalStyle();
  endLine();
  errno = 0;
  out_.flush();
  checkOut(errno);
  drawStatus();
}

void CliConsole::message(const std::string& text) {
  std::lock_guard lock(mutex_);
  eraseStatus();
  beforeStderr();
  // Messages quote names and Oracle messages: their line breaks stay, no other control acts.
  err_ << escapeControls(text, "\n\t") << '\n';
  err_.flush();
  drawStatus();
}

void CliConsole::setStatus(const std::string& text) {
  std::lock_guard lock(mutex_);
  status_ = escapeControls(text);
  drawStatus();
}

void CliConsole::setProgressRange(int low, int high) {
  std::lock_guard lock(mutex_);
  low_ = low;
  high_ = high;
  position_ = low;
  progressChanged();
}

void CliConsole::setProgressPosition(int position) {
  std::lock_guard lock(mutex_);
  position_ = position;
  progressChanged();
}

void CliConsole::stepProgress() {
  std::lock_guard lock(mutex_);
  ++position_;
  progressChanged();
}

void CliConsole::clearStatus() {
  std::lock_guard lock(mutex_);
  eraseStatus();
  statusEnabled_ = false;
}

int CliConsole::percent() const {
  const long long span = static_cast<long long>(high_) - low_;
  if (span <= 0) return 0;
  return static_cast<int>(
      std::clamp((static_cast<long long>(position_) - low_) * 100 / span, 0LL, 100LL));
}

// Redraws only when the shown percentage changes: a phase may step through many objects.
void CliConsole::progressChanged() {
  if (percent() != shownPercent_) drawStatus();
}

int CliConsole::width() const {
  const int columns = settings_.terminalWidth ? settings_.terminalWidth() : 80;
  return columns > 0 ? columns : 80;
}

// The status line drawn last may have wrapped since, when the terminal became narrower: the rows
// it took now are cleared from the first.
std::string CliConsole::eraseSequence(int columns) const {
  const size_t rows = shownLength_ > 0 ? (shownLength_ - 1) / static_cast<size_t>(columns) : 0;
  if (rows == 0) return kEraseLine;
  return "\r\x1b[" + std::to_string(rows) + "A\x1b[J";
}

void CliConsole::eraseStatus() {
  if (!statusShown_) return;
  err_ << eraseSequence(width());
  err_.flush();
  statusShown_ = false;
}

// The status text, the bar and the percentage in one column less than the terminal has (a
// line that fills the last column wraps on some terminals). Narrow terminals get a shorter bar,
// then none.
std::string CliConsole::statusLine(int columns, int done) const {
  const int available = columns - 1;
  if (available <= 0) return "";
  const std::string percentText = std::to_string(done) + "%";
  const int bar = std::min(kBarWidth, (available - 8) / 2);
  std::string line;
  if (bar >= 5) {
    const size_t textWidth = std::min(kStatusWidth, static_cast<size_t>(available - (bar + 8)));
    line = status_.substr(0, textWidth);
    line.resize(textWidth, ' ');
    const int filled = done * bar / 100;
    line += " [" + std::string(filled, '#') + std::string(bar - filled, '-') + "] " + percentText;
  } else {
    const size_t textWidth = available > 5 ? static_cast<size_t>(available - 5) : 0;
    line = status_.substr(0, textWidth) + " " + percentText;
  }
  if (line.size() > static_cast<size_t>(available)) line.resize(static_cast<size_t>(available));
  return line;
}

void CliConsole::drawStatus() {
  if (!statusEnabled_ || status_.empty()) return;
  if (settings_.outIsTerminal) resetTerminalStyle();  // the same terminal: a plain status line
  const int done = percent();
  shownPercent_ = done;
  const int columns = width();
  const std::string line = statusLine(columns, done);
  err_ << (statusShown_ ? eraseSequence(columns) : std::string(kEraseLine)) << line;
  err_.flush();
  statusShown_ = true;
  shownLength_ = line.size();
}

}  // namespace velmora::cli
