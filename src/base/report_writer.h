// ReportWriter: the one operation every comparer uses to output text. ReportOutput implements
// it for a run (screen, auto-save file, only-to-file); tests implement it with a recorder.
// Called from the run's worker thread.
#pragma once

#include <string>

#include "base/report_colour.h"

namespace velmora {

class ReportWriter {
 public:
  virtual ~ReportWriter() = default;

  // Appends text (may hold several CR LF lines) in a colour, optionally underlined. counts says
  // whether this write may trigger the automatic flush to the auto-save file.
  virtual void write(const std::string& text, ReportColour colour, bool underline = false,
                     bool counts = true) = 0;
};

}  // namespace velmora
