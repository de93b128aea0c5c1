// ReportOutput: the single sink of a run's text (implements ReportWriter). It appends to the
// ReportDocument (the screen), flushes the screen into the auto-save file every i_AutoSaveLines
// lines, or writes only into the report file; it also saves the report as RTF or text.
// write() and the file operations run on the run's worker thread; saveReport() and the flags may
// be used from the user thread during a run. The options are borrowed and must outlive it; their
// output switches (b_OnlyToFile, b_AutoSave) are cleared here when a file fails. Every failed
// open or write of a file is recorded in the run's RunErrors with the system's reason.
#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>

#include "base/comparison_options.h"
#include "base/line_ends.h"
#include "base/output_file.h"
#include "base/report_document.h"
#include "base/report_writer.h"
#include "base/rtf_writer.h"
#include "base/run_errors.h"
#include "base/run_host.h"

namespace velmora {

// What a failed open or write of the report file or the auto-save file does to the run.
// AskAndContinue (a window): the user is told through RunHost::ask and the run goes on, the report
// file falling back to the screen and a failed flush keeping the screen for the next one.
// StopRun (the command line, where nobody can act on a message): the run is asked to stop, the
// reason is written in red on the screen and nothing is asked.
enum class OutputFailurePolicy { AskAndContinue, StopRun };

enum class FileLineEnds { AsWritten, Lf, CrLf };

class ReportOutput : public ReportWriter {
 public:
  static constexpr size_t kLineBufferSize = 5000;  // a flushed line is cut to this many bytes

  // The save dialog: returns the chosen file, or nullopt when the user cancels.
  using FileChooser = std::function<std::optional<std::string>()>;

  ReportOutput(ReportDocument& document, ComparisonOptions& options, RunHost& host);

  // The run this output belongs to (set by its RunDriver before any run): where failures are
  // recorded, and how the run is asked to stop. Without it failures are only shown.
  void attachRun(RunErrors* errors, std::function<void()> requestStop);
  void setFailurePolicy(OutputFailurePolicy policy) { policy_ = policy; }
  // The line ends of the report file and the auto-save file: as the report writes them (CR LF,
  // the desktop application), or converted to LF or CR LF with a line end after the last line
  // (the command line). The report itself, its saving as text or RTF, keep CR LF. Set between
  // runs.
  void setFileLineEnds(FileLineEnds ends) { fileLineEnds_ = ends; }
  OutputFailurePolicy failurePolicy() const { return policy_; }

  // Write: to the report file in only-to-file mode (falling back to the screen when that fails),
  // otherwise to the screen, then the automatic flush when counts is on and the screen holds more
  // than i_AutoSaveLines lines; a successful flush empties the screen.
  void write(const std::string& text, ReportColour colour, bool underline = false,
             bool counts = true) override;
  // To the screen only, whatever the mode (the driver's notice of the only-to-file mode).
  void writeToScreen(const std::string& text, ReportColour colour, bool underline = false);

  // Flush the screen into s_AutoSaveFile: the first flush of a run creates (truncates) the file,
  // later ones append. Failures are written in red (not counted) and, for write failures, shown
  // through RunHost::ask. A failed flush leaves the screen and the file as they were; under
  // StopRun it also switches b_AutoSave off, so that the stopping run does not try again.
  bool flushToAutoSave();
  // The next flush creates the file. Under converted line ends the file gets its final line end.
  void forgetAutoSaveFile();
  bool autoSaveStarted() const { return autoSaveStarted_; }

  // The report file of the only-to-file mode: create s_AutoSaveFile; on success b_AutoSave is
  // switched off, on failure a message is shown and b_OnlyToFile is switched off.
  bool openReportFile();
  void closeReportFile();
  bool reportFileOpen() const { return reportFile_.isOpen(); }

  // Run start: empties the screen, forgets the auto-save file and, in only-to-file mode, writes
  // the file notice to the screen, marks the report saved and opens the report file.
  void prepareForRun();

  // Report-saved flag: true when the screen holds nothing unsaved. Save-declined flag: the user
  // cancelled the file dialog of a save. Both may be read from any thread.
  bool reportSaved() const { return reportSaved_; }
  void setReportSaved(bool saved) { reportSaved_ = saved; }
  bool saveDeclined() const { return saveDeclined_; }
  void setSaveDeclined(bool declined) { saveDeclined_ = declined; }

  // Save Report: nothing when saved; an empty screen only becomes saved; otherwise the chooser
  // picks the file (cancel sets save declined) and saveReportTo writes it. True when the report
  // is saved afterwards.
  bool saveReport(const FileChooser& chooser);
  // Writes the screen to path: RTF when its extension is "rtf" in any letter case, plain text
  // otherwise. Messages "Could not open file." and "ERROR: Could not save file." on failure.
  bool saveReportTo(const std::string& path);
  // The question before a new run or before closing: "The report has not been saved. Do you wish
  // to save it?" (Yes, No, Cancel). True when the caller may go on: the report was saved or the
  // user said No; false on Cancel, a cancelled file dialog or a failed save.
  bool offerSave(const FileChooser& chooser);

  void setReportFont(const RtfFont& font) { font_ = font; }
  ReportDocument& document() { return document_; }
  RunHost& host() { return host_; }

 private:
  void fallBackToScreen();
  void autoSaveFailure(const std::string& what, int error);
  void recordFailure(const std::string& reason);
  bool writeDocumentLines(OutputFile& file, const std::string& text, size_t lineLimit);
  bool saveText(const std::string& path, const std::string& text);
  bool saveRtf(const std::string& path, const ReportSnapshot& snapshot);

  ReportDocument& document_;
  ComparisonOptions& options_;
  RunHost& host_;
  RtfFont font_;
  RunErrors* errors_ = nullptr;
  std::function<void()> requestStop_;
  OutputFailurePolicy policy_ = OutputFailurePolicy::AskAndContinue;

  OutputFile reportFile_;         // only-to-file mode; worker thread only
  bool autoSaveStarted_ = false;  // worker thread only
  FileLineEnds fileLineEnds_ = FileLineEnds::AsWritten;
  LineEndConverter reportFileEnds_;  // the report file's conversion state; worker thread only
  bool autoSaveMidLine_ = false;     // the auto-save file ends inside a line; worker thread only
  std::atomic<bool> reportSaved_{true};    // written by both threads
  std::atomic<bool> saveDeclined_{false};  // written by the user thread, read by both
};

// Whether a file name's extension is "rtf" in any letter case ("x.Rtf" yes, "x.txt", "x" no).
bool hasRtfExtension(const std::string& path);

}  // namespace velmora
