#include "base/report_find.h"

namespace velmora {

void ReportFinder::startAtTop() {
  atTop_ = true;
  selection_.reset();
}

std::optional<ReportSelection> ReportFinder::searchFromTop(const std::string& what, bool matchCase,
                                                           bool wholeWord) {
  atTop_ = true;
  selection_.reset();
  const std::optional<size_t> found = document_.find(what, 0, matchCase, wholeWord);
  if (!found) {
    host_.ask("Could not find specified text", Buttons::Ok);
    return std::nullopt;
  }
  atTop_ = false;
  selection_ = ReportSelection{*found, what.size()};
  return selection_;
}

std::optional<ReportSelection> ReportFinder::findNext(const std::string& what, bool matchCase,
                                                      bool wholeWord) {
  if (atTop_ || !selection_) return searchFromTop(what, matchCase, wholeWord);
  const size_t from = selection_->start + selection_->length;
  if (const std::optional<size_t> found = document_.find(what, from, matchCase, wholeWord)) {
    selection_ = ReportSelection{*found, what.size()};
    return selection_;
  }
  const Answer answer = host_.ask(
      "Velmora for Oracle has reached the end of the report. Do you wish to continue from the "
      "top?",
      Buttons::YesNo);
  if (answer != Answer::Yes) return std::nullopt;
  return searchFromTop(what, matchCase, wholeWord);
}

}  // namespace velmora
