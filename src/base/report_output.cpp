#include "base/report_output.h"

#include <cerrno>
#include <new>
#include <system_error>

namespace velmora {

namespace {

bool isDiskFull(int error) {
  return error == ENOSPC || error == EDQUOT;
}

// The system's text of an errno value (strerror without its shared buffer: the worker writes).
std::string reasonOf(int error) {
  return std::generic_category().message(error);
}

}  // namespace

ReportOutput::ReportOutput(ReportDocument& document, ComparisonOptions& options, RunHost& host)
    : document_(document), options_(options), host_(host) {}

void ReportOutput::attachRun(RunErrors* errors, std::function<void()> requestStop) {
  errors_ = errors;
  requestStop_ = std::move(requestStop);
}

// The run learns of every failure (its end line and exit status say so); under StopRun it also
// ends: a report that can no longer be written is not worth the rest of the run.
void ReportOutput::recordFailure(const std::string& reason) {
  if (errors_ != nullptr) errors_->recordOutputFailure(reason);
  if (policy_ == OutputFailurePolicy::StopRun && requestStop_) requestStop_();
}

void ReportOutput::write(const std::string& text, ReportColour colour, bool underline,
                         bool counts) {
  if (options_.b_OnlyToFile && reportFile_.isOpen()) {
    const bool converted = fileLineEnds_ != FileLineEnds::AsWritten;
    if (reportFile_.write(converted ? reportFileEnds_.convert(text) : text)) return;
    fallBackToScreen();
  }
  document_.append(text, colour, underline);
  if (options_.b_AutoSave && counts && document_.lineCount() > options_.i_AutoSaveLines) {
    if (flushToAutoSave()) document_.clear();
  }
}

void ReportOutput::writeToScreen(const std::string& text, ReportColour colour, bool underline) {
  document_.append(text, colour, underline);
}

// The report file failed: the rest of the run, this text included, goes to the screen.
void ReportOutput::fallBackToScreen() {
  const std::string reason = reasonOf(reportFile_.error());
  options_.b_OnlyToFile = 0;
  reportFile_.close();
  reportSaved_ = false;
  recordFailure("could not write the report to " + options_.s_AutoSaveFile + ": " + reason);
  if (policy_ == OutputFailurePolicy::StopRun) {
    writeToScreen("\r\n\r\nCould not write the report to file: " + options_.s_AutoSaveFile + ": " +
                      reason + "\r\n\r\n",
                  ReportColour::Red);
  } else {
    host_.ask("Could not save line to file. Output will continue on the screen.", Buttons::Ok);
  }
}

void ReportOutput::autoSaveFailure(const std::string& what, int error) {
  const std::string reason = reasonOf(error);
  const bool stopping = policy_ == OutputFailurePolicy::StopRun;
  if (stopping) options_.b_AutoSave = 0;
  write("\r\n\r\nCould not auto save to file (" + what + "): " + options_.s_AutoSaveFile +
            (stopping ? ": " + reason : "") + "\r\n\r\n",
        ReportColour::Red, false, false);
  recordFailure("could not auto save the report to " + options_.s_AutoSaveFile + " (" + what +
                "): " + reason);
}

bool ReportOutput::writeDocumentLines(OutputFile& file, const std::string& text, size_t lineLimit) {
  LineFileWriter writer(file, lineLimit);
  const char* lineEnd = fileLineEnds_ == FileLineEnds::Lf ? "\n" : "\r\n";
  bool midLine = autoSaveMidLine_;
  for (const ReportLine& line : splitReportLines(text)) {
    const bool converted = fileLineEnds_ != FileLineEnds::AsWritten && !line.lineBreak.empty();
    if (!writer.writeLine(line.content, converted ? std::string_view(lineEnd) : line.lineBreak))
      return false;
    if (!line.content.empty() || !line.lineBreak.empty()) midLine = line.lineBreak.empty();
    host_.advanceSaving();
  }
  if (!writer.finish()) return false;
  autoSaveMidLine_ = midLine;
  return true;
}

void ReportOutput::forgetAutoSaveFile() {
  if (autoSaveStarted_ && autoSaveMidLine_ && fileLineEnds_ != FileLineEnds::AsWritten) {
    OutputFile file;
    const bool written = file.openExisting(options_.s_AutoSaveFile) && file.seekToEnd() &&
                         file.write(fileLineEnds_ == FileLineEnds::Lf ? "\n" : "\r\n") &&
                         file.close();
    if (!written) autoSaveFailure("write", file.error());
  }
  autoSaveStarted_ = false;
  autoSaveMidLine_ = false;
}

bool ReportOutput::flushToAutoSave() {
  if (document_.empty()) {
    reportSaved_ = true;
    return true;
  }
  const std::string& path = options_.s_AutoSaveFile;
  OutputFile file;
  if (autoSaveStarted_) {
    if (!file.openExisting(path)) {
      autoSaveFailure("open", file.error());
      return false;
    }
    if (!file.seekToEnd()) {
      autoSaveFailure("seek", file.error());
      return false;
    }
  } else {
    if (!file.create(path)) {
      autoSaveFailure("create", file.error());
      return false;
    }
    autoSaveStarted_ = true;
  }
  // A failed flush keeps the screen, so the next one writes it again: take back what this one
  // wrote, or the file would hold that part twice.
  const off_t startLength = file.position();
  const ReportSnapshot snapshot = document_.snapshot();
  host_.showSaving(snapshot.lineCount);
  bool written = false;
  try {
    written = writeDocumentLines(file, snapshot.text, kLineBufferSize) && file.close();
  } catch (const std::bad_alloc&) {
    write("\r\n\r\nCould not allocate memory to save to file: " + path + "\r\n\r\n",
          ReportColour::Red, false, false);
    file.truncateTo(startLength);
    host_.hideSaving();
    if (policy_ == OutputFailurePolicy::StopRun) options_.b_AutoSave = 0;
    recordFailure("could not allocate memory to auto save the report to " + path);
    return false;
  }
  if (!written) {
    const int error = file.error();
    file.truncateTo(startLength);
    file.close();
    if (policy_ == OutputFailurePolicy::StopRun) {
      autoSaveFailure("write", error);
    } else if (isDiskFull(error)) {
      recordFailure("could not auto save the report to " + path + " (write): " + reasonOf(error));
      write("\r\n\r\nCould not auto save to file (write): " + path + ": Disk is full.\r\n\r\n",
            ReportColour::Red, false, false);
      host_.ask(
          "The file could not be saved, the disk is full.\nPlease make some space and press OK "
          "to continue.",
          Buttons::Ok);
    } else {
      autoSaveFailure("write", error);
      host_.ask("Could not auto save to file (write): " + path, Buttons::Ok);
    }
    host_.hideSaving();
    return false;
  }
  host_.hideSaving();
  reportSaved_ = true;
  return true;
}

bool ReportOutput::openReportFile() {
  reportFileEnds_ = LineEndConverter(fileLineEnds_ == FileLineEnds::CrLf ? "\r\n" : "\n");
  if (reportFile_.create(options_.s_AutoSaveFile)) {
    options_.b_AutoSave = 0;
    return true;
  }
  const std::string reason = reasonOf(reportFile_.error());
  options_.b_OnlyToFile = 0;
  recordFailure("could not open " + options_.s_AutoSaveFile + ": " + reason);
  if (policy_ == OutputFailurePolicy::StopRun) {
    writeToScreen("Could not open file " + options_.s_AutoSaveFile + ": " + reason + "\r\n\r\n",
                  ReportColour::Red);
  } else {
    host_.ask(
        "Could not open file " + options_.s_AutoSaveFile + ". Output will be sent to the screen.",
        Buttons::Ok);
  }
  return false;
}

void ReportOutput::closeReportFile() {
  if (reportFile_.isOpen() && fileLineEnds_ != FileLineEnds::AsWritten &&
      reportFileEnds_.midLine() && !reportFile_.write(reportFileEnds_.lineEnd())) {
    fallBackToScreen();
    return;
  }
  reportFile_.close();
}

void ReportOutput::prepareForRun() {
  closeReportFile();
  document_.clear();
  autoSaveStarted_ = false;
  autoSaveMidLine_ = false;
  if (options_.b_OnlyToFile) {
    writeToScreen(
        "Output of this report is being written to file: " + options_.s_AutoSaveFile + "\r\n\r\n",
        ReportColour::Maroon);
    reportSaved_ = true;
    openReportFile();
  }
}

}  // namespace velmora
