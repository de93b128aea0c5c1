// ReportDocument: the report as a model: CR LF text with colour and underline runs and its line
// count, counted like a rich-edit control. One writer thread (the run's worker) appends and clears;
// other threads (Save Report, Find, a GUI) read it at any time through copies or locked searches.
// Observers see every append and clear, in order, on the writer's thread.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/report_colour.h"

namespace velmora {

// A stretch of text with one colour and underline state. Runs cover the text without gaps.
struct ReportRun {
  size_t start = 0;
  size_t length = 0;
  ReportColour colour = ReportColour::Black;
  bool underline = false;

  bool operator==(const ReportRun&) const = default;
};

// A consistent copy of the document.
struct ReportSnapshot {
  std::string text;
  std::vector<ReportRun> runs;
  int lineCount = 0;
};

// One line of the text: its content and the line break that ends it ("\r\n", "\r", "\n", or
// empty for the last line).
struct ReportLine {
  std::string_view content;
  std::string_view lineBreak;
};

// Splits text into lines the way the document counts them: "\r\n", a lone "\r" and a lone "\n"
// each end a line; the text after the last break is the last line (empty when the text ends with
// a break). An empty text has no lines. "a\r\nb" gives {"a","\r\n"}, {"b",""}.
std::vector<ReportLine> splitReportLines(std::string_view text);

class ReportDocument {
 public:
  enum class ChangeKind { Appended, Cleared };
  struct Change {
    ChangeKind kind;
    std::string text;  // the appended text (empty for Cleared); a copy, so it can be queued
    ReportColour colour;
    bool underline;
  };
  // Called on the writer's thread after the change is visible to readers. An observer may read
  // the document but must not append to it, clear it or change the observers.
  using Observer = std::function<void(const Change&)>;

  ReportDocument() = default;
  ReportDocument(const ReportDocument&) = delete;
  ReportDocument& operator=(const ReportDocument&) = delete;

  void append(std::string_view text, ReportColour colour, bool underline = false);
  void clear();

  // Line count as a rich-edit control counts it: line breaks + 1, where "\r\n" is one break (even
  // when split across two appends). An empty document has 0 lines; "x" has 1, "x\r\n" has 2.
  int lineCount() const;
  bool empty() const;
  size_t size() const;
  std::string text() const;
  ReportSnapshot snapshot() const;

  // The first match of `what` at or after byte `from`: match case or ASCII case-insensitive;
  // whole word means neither neighbour of the match is a letter, digit or '_'. nullopt when none.
  std::optional<size_t> find(std::string_view what, size_t from, bool matchCase,
                             bool wholeWord) const;

  int addObserver(Observer observer);  // returns an id for removeObserver
  void removeObserver(int id);

 private:
  void notify(ChangeKind kind, std::string_view text, ReportColour colour, bool underline);

  mutable std::mutex dataMutex_;  // guards text_, runs_, breaks_
  std::string text_;
  std::vector<ReportRun> runs_;
  int breaks_ = 0;

  // Serialises changes with their notifications, so observers see them in order; readers never
  // take it, so an observer may read the document.
  std::mutex writerMutex_;
  std::mutex observerMutex_;  // guards observers_
  std::map<int, Observer> observers_;
  int nextObserverId_ = 1;
};

}  // namespace velmora
