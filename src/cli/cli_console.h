// CliConsole: the terminal side of velmora-cli. Streams the report to stdout (ANSI colours and LF
// line ends on a terminal, the report's own bytes otherwise) and keeps a status line with a
// progress bar at the bottom of stderr when that is a terminal; messages go to stderr. When the
// report and the status line share a terminal, report lines are printed whole so the status line
// never lands in the middle of one. No control character of a name or a message reaches the
// terminal: only the console's own ANSI codes do. Thread-safe: the run's worker and the main
// thread both print.
#pragma once

#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "base/line_ends.h"
#include "base/report_colour.h"

namespace velmora::cli {

struct ConsoleSettings {
  bool outIsTerminal = false;
  bool errIsTerminal = false;
  bool colour = false;      // ANSI colours in the report
  bool trueColour = false;  // 24-bit colours (COLORTERM), else the 16 basic ones
  bool progress = false;    // status line and progress bar on stderr
  bool crlf = false;        // CR LF line ends in the report when stdout is not a terminal
  // The width of stderr's terminal, asked at every redraw (null: 80 columns).
  std::function<int()> terminalWidth = nullptr;
};

class CliConsole {
 public:
  CliConsole(std::ostream& out, std::ostream& err, const ConsoleSettings& settings);

  void report(std::string_view text, ReportColour colour, bool underline);
  void finishReport();  // prints what is pending, resets the colours, ends the report's last line
  // Ends the report's last line (with the report's line end), so that what follows on the same
  // terminal (the final message, the shell's prompt) starts on a line of its own.
  void endReportLine();

  // Standard output failed (a full disk, a closed file): the handler is called once, with the
  // system's reason, on the thread that printed (with the console's lock held: it must not print).
  // What follows is not printed.
  void setOutputFailureHandler(std::function<void(const std::string& reason)> handler);
  bool outputFailed() const;

  void message(const std::string& text);  // one or more lines on stderr
  void setStatus(const std::string& text);
  void setProgressRange(int low, int high);
  void setProgressPosition(int position);
  void stepProgress();
  void clearStatus();  // removes the status line for good (the run ended)

 private:
  struct Segment {
    std::string text;   // already in the terminal's line ends
    std::string style;  // ANSI codes, "" without colours
  };

  std::string terminalText(std::string_view text) const;
  std::string lineEnds(std::string_view text);
  std::string statusLine(int columns, int done) const;
  int width() const;
  std::string eraseSequence(int columns) const;
  void endLine();  // mutex_ held
  std::string styleOf(ReportColour colour, bool underline) const;
  void emit(const std::string& text, const std::string& style);  // mutex_ held
  void emitPending();                                            // mutex_ held
  void resetTerminalStyle();                                     // mutex_ held
  void beforeStderr();                                           // mutex_ held
  int percent() const;
  void eraseStatus();  // mutex_ held
  void drawStatus();   // mutex_ held
  void progressChanged();
  void checkOut(int error);  // mutex_ held; error: errno after the write that may have failed

  std::ostream& out_;
  std::ostream& err_;
  const ConsoleSettings settings_;
  mutable std::mutex mutex_;
  bool statusEnabled_;
  bool lineBuffered_;             // the report and the status line share a terminal
  std::vector<Segment> pending_;  // line-buffered report text: no line end in it
  LineEndConverter lineEnd_;
  bool outMidLine_ = false;  // the last character printed to out was not a line end
  std::string termStyle_;    // the codes in effect on out
  std::string status_;
  int low_ = 0, high_ = 0, position_ = 0;
  int shownPercent_ = -1;
  bool statusShown_ = false;
  size_t shownLength_ = 0;  // columns of the status line drawn
  int shownWidth_ = 0;      // the terminal's width when it was drawn
  std::function<void(const std::string&)> outputFailureHandler_;
  bool outputFailed_ = false;
};

}  // namespace velmora::cli
