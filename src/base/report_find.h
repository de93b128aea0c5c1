// ReportFinder: Find in the report (downwards, match case, whole word) with the wrap question at
// the end of the text. Keeps the selection of the last match; runs on the user thread and may be
// used while a run writes the document.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "base/report_document.h"
#include "base/run_host.h"

namespace velmora {

struct ReportSelection {
  size_t start = 0;
  size_t length = 0;
  bool operator==(const ReportSelection&) const = default;
};

class ReportFinder {
 public:
  ReportFinder(const ReportDocument& document, RunHost& host) : document_(document), host_(host) {}

  // A new Find dialog, or a configuration file was loaded: the next search starts at the top.
  void startAtTop();

  // One "Find Next": from the top when starting there, else after the current selection. At the
  // end of the text asks whether to continue from the top; "Could not find specified text" when
  // a search from the top finds nothing. Returns the new selection, or nullopt.
  std::optional<ReportSelection> findNext(const std::string& what, bool matchCase, bool wholeWord);

  std::optional<ReportSelection> selection() const { return selection_; }

 private:
  std::optional<ReportSelection> searchFromTop(const std::string& what, bool matchCase,
                                               bool wholeWord);

  const ReportDocument& document_;
  RunHost& host_;
  bool atTop_ = true;
  std::optional<ReportSelection> selection_;
};

}  // namespace velmora
