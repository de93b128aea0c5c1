// Save Report and the save question of ReportOutput: user-thread operations on a copy of the
// screen, so they may run while the worker goes on writing.
#include <algorithm>
#include <cctype>
#include <new>

#include "base/report_output.h"

namespace velmora {

bool hasRtfExtension(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
  std::string extension = path.substr(dot + 1);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return extension == "RTF";
}

bool ReportOutput::saveReport(const FileChooser& chooser) {
  if (reportSaved_) return true;
  if (document_.empty()) {
    reportSaved_ = true;
    return true;
  }
  const std::optional<std::string> path = chooser ? chooser() : std::nullopt;
  if (!path) {
    saveDeclined_ = true;
    return false;
  }
  return saveReportTo(*path);
}

bool ReportOutput::saveReportTo(const std::string& path) {
  const ReportSnapshot snapshot = document_.snapshot();
  const bool saved =
      hasRtfExtension(path) ? saveRtf(path, snapshot) : saveText(path, snapshot.text);
  if (saved) reportSaved_ = true;
  return saved;
}

bool ReportOutput::saveRtf(const std::string& path, const ReportSnapshot& snapshot) {
  OutputFile file;
  if (!file.create(path)) {
    host_.ask("Could not open file.", Buttons::Ok);
    return false;
  }
  if (!file.write(toRtf(snapshot, font_) + "\n") || !file.close()) {
    host_.ask("ERROR: Could not save file.", Buttons::Ok);
    return false;
  }
  return true;
}

// The text is written line by line like the automatic flush, but a line longer than the line
// buffer is written whole: a saved report never loses characters.
bool ReportOutput::saveText(const std::string& path, const std::string& text) {
  OutputFile file;
  if (!file.create(path)) {
    host_.ask("Could not open file.", Buttons::Ok);
    return false;
  }
  host_.showSaving(static_cast<int>(splitReportLines(text).size()));
  bool written = false;
  try {
    written = writeDocumentLines(file, text, 0) && file.close();
  } catch (const std::bad_alloc&) {
    host_.hideSaving();
    // The user thread must not touch the worker's files: straight to the screen.
    writeToScreen("\r\n\r\nCould not allocate memory to save to file: " + path + "\r\n\r\n",
                  ReportColour::Red);
    return false;
  }
  host_.hideSaving();
  if (!written) {
    host_.ask("ERROR: Could not save file.", Buttons::Ok);
    return false;
  }
  return true;
}

bool ReportOutput::offerSave(const FileChooser& chooser) {
  if (reportSaved_) return true;
  saveDeclined_ = false;
  const Answer answer =
      host_.ask("The report has not been saved. Do you wish to save it?", Buttons::YesNoCancel);
  if (answer == Answer::No) return true;
  if (answer != Answer::Yes) return false;
  // A failed save keeps the report too: the caller must not discard it.
  return saveReport(chooser);
}

}  // namespace velmora
