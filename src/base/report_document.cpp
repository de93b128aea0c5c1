#include "base/report_document.h"

#include <cctype>

namespace velmora {

namespace {

// Line breaks in `text`, given the character that precedes it (a "\n" right after a "\r" belongs
// to the break that "\r" started).
int countBreaks(std::string_view text, char previous) {
  int breaks = 0;
  for (char c : text) {
    if (c == '\r' || (c == '\n' && previous != '\r')) ++breaks;
    previous = c;
  }
  return breaks;
}

bool isWordChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  return std::isalnum(u) != 0 || c == '_';
}

bool equalAt(std::string_view text, size_t pos, std::string_view what, bool matchCase) {
  for (size_t i = 0; i < what.size(); ++i) {
    const auto a = static_cast<unsigned char>(text[pos + i]);
    const auto b = static_cast<unsigned char>(what[i]);
    if (matchCase ? a != b : std::tolower(a) != std::tolower(b)) return false;
  }
  return true;
}

}  // namespace

std::vector<ReportLine> splitReportLines(std::string_view text) {
  std::vector<ReportLine> lines;
  if (text.empty()) return lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') continue;
    const size_t breakLength = (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
    lines.push_back({text.substr(start, i - start), text.substr(i, breakLength)});
    i += breakLength - 1;
    start = i + 1;
  }
  lines.push_back({text.substr(start), std::string_view()});
  return lines;
}

void ReportDocument::append(std::string_view text, ReportColour colour, bool underline) {
  if (text.empty()) return;
  std::lock_guard writer(writerMutex_);
  {
    std::lock_guard data(dataMutex_);
    const char previous = text_.empty() ? '\0' : text_.back();
    breaks_ += countBreaks(text, previous);
    if (!runs_.empty() && runs_.back().colour == colour && runs_.back().underline == underline) {
      runs_.back().length += text.size();
    } else {
      runs_.push_back({text_.size(), text.size(), colour, underline});
    }
    text_.append(text);
  }
  notify(ChangeKind::Appended, text, colour, underline);
}

void ReportDocument::clear() {
  std::lock_guard writer(writerMutex_);
  {
    std::lock_guard data(dataMutex_);
    text_.clear();
    runs_.clear();
    breaks_ = 0;
  }
  notify(ChangeKind::Cleared, {}, ReportColour::Black, false);
}

int ReportDocument::lineCount() const {
  std::lock_guard data(dataMutex_);
  return text_.empty() ? 0 : breaks_ + 1;
}

bool ReportDocument::empty() const {
  std::lock_guard data(dataMutex_);
  return text_.empty();
}

size_t ReportDocument::size() const {
  std::lock_guard data(dataMutex_);
  return text_.size();
}

std::string ReportDocument::text() const {
  std::lock_guard data(dataMutex_);
  return text_;
}

ReportSnapshot ReportDocument::snapshot() const {
  std::lock_guard data(dataMutex_);
  return {text_, runs_, text_.empty() ? 0 : breaks_ + 1};
}

std::optional<size_t> ReportDocument::find(std::string_view what, size_t from, bool matchCase,
                                           bool wholeWord) const {
  std::lock_guard data(dataMutex_);
  const std::string_view text = text_;
  if (what.empty() || what.size() > text.size()) return std::nullopt;
  for (size_t pos = from; pos + what.size() <= text.size(); ++pos) {
    if (!equalAt(text, pos, what, matchCase)) continue;
    if (wholeWord) {
      const bool wordBefore = pos > 0 && isWordChar(text[pos - 1]);
      const size_t end = pos + what.size();
      const bool wordAfter = end < text.size() && isWordChar(text[end]);
      if (wordBefore || wordAfter) continue;
    }
    return pos;
  }
  return std::nullopt;
}

int ReportDocument::addObserver(Observer observer) {
  std::lock_guard lock(observerMutex_);
  const int id = nextObserverId_++;
  observers_.emplace(id, std::move(observer));
  return id;
}

void ReportDocument::removeObserver(int id) {
  std::lock_guard lock(observerMutex_);
  observers_.erase(id);
}

void ReportDocument::notify(ChangeKind kind, std::string_view text, ReportColour colour,
                            bool underline) {
  std::lock_guard lock(observerMutex_);
  if (observers_.empty()) return;  // the text is copied only for someone
  const Change change{kind, std::string(text), colour, underline};
  for (auto& [id, observer] : observers_) observer(change);
}

}  // namespace velmora
