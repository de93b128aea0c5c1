#include "base/report_output.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/recording_host.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

class ReportOutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = ::testing::TempDir() + "velmora_output_XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  void useAutoSave(int lines) {
    options_.b_AutoSave = 1;
    options_.i_AutoSaveLines = lines;
    options_.s_AutoSaveFile = (dir_ / "auto.txt").string();
  }
  std::vector<std::string> redTexts() const {
    std::vector<std::string> red;
    const ReportSnapshot snap = doc_.snapshot();
    for (const ReportRun& run : snap.runs) {
      if (run.colour == ReportColour::Red) red.push_back(snap.text.substr(run.start, run.length));
    }
    return red;
  }

  fs::path dir_;
  ComparisonOptions options_;
  RecordingHost host_;
  ReportDocument doc_;
  ReportOutput out_{doc_, options_, host_};
};

TEST_F(ReportOutputTest, AutoSaveFlushesOnTheFirstCountedWriteAbove500Lines) {
  useAutoSave(500);
  std::string written;
  for (int i = 0; i < 499; ++i) {
    out_.write("line\r\n", ReportColour::Black);
    written += "line\r\n";
  }
  out_.write("X", ReportColour::Blue);  // 500 lines: the last one is "X"
  written += "X";
  EXPECT_EQ(doc_.lineCount(), 500);
  out_.write("\r\n", ReportColour::Blue, false, false);  // 501 lines, but not counted
  written += "\r\n";
  EXPECT_EQ(doc_.lineCount(), 501);
  EXPECT_FALSE(fs::exists(options_.s_AutoSaveFile));
  out_.write("Y", ReportColour::Blue);  // counted, still 501 lines: flush
  written += "Y";
  EXPECT_EQ(readFile(options_.s_AutoSaveFile), written);
  EXPECT_TRUE(doc_.empty());
  EXPECT_TRUE(out_.reportSaved());
  EXPECT_TRUE(out_.autoSaveStarted());
}

TEST_F(ReportOutputTest, FirstFlushTruncatesLaterOnesAppend) {
  useAutoSave(1);
  { std::ofstream(options_.s_AutoSaveFile) << "old report of another run"; }
  out_.write("A\r\n", ReportColour::Black);  // 2 lines > 1: flush
  out_.write("B\r\n", ReportColour::Black);
  EXPECT_EQ(readFile(options_.s_AutoSaveFile), "A\r\nB\r\n");
  out_.write("C", ReportColour::Black);  // 1 line: stays on the screen
  ASSERT_TRUE(out_.flushToAutoSave());   // the end of the run
  EXPECT_EQ(readFile(options_.s_AutoSaveFile), "A\r\nB\r\nC");
  out_.forgetAutoSaveFile();  // a new run starts the file again
  out_.write("\r\nD", ReportColour::Black);
  EXPECT_EQ(readFile(options_.s_AutoSaveFile), "C\r\nD");
}

TEST_F(ReportOutputTest, FlushCutsLongLinesTo5000Bytes) {
  useAutoSave(500);
  out_.write(std::string(6000, 'a') + "\r\n" + std::string(5000, 'b') + "\r\nlast",
             ReportColour::Black);
  ASSERT_TRUE(out_.flushToAutoSave());
  EXPECT_EQ(readFile(options_.s_AutoSaveFile),
            std::string(5000, 'a') + "\r\n" + std::string(5000, 'b') + "\r\nlast");
}

TEST_F(ReportOutputTest, FlushOfAnEmptyScreenOnlyMarksTheReportSaved) {
  useAutoSave(500);
  out_.setReportSaved(false);
  EXPECT_TRUE(out_.flushToAutoSave());
  EXPECT_TRUE(out_.reportSaved());
  EXPECT_FALSE(fs::exists(options_.s_AutoSaveFile));
}

TEST_F(ReportOutputTest, FlushFailuresAreRedUncountedLines) {
  useAutoSave(1);
  options_.s_AutoSaveFile = (dir_ / "missing" / "auto.txt").string();
  out_.write("A\r\nB", ReportColour::Black);
  EXPECT_EQ(redTexts(), (std::vector<std::string>{"\r\n\r\nCould not auto save to file (create): " +
                                                  options_.s_AutoSaveFile + "\r\n\r\n"}));
  EXPECT_EQ(doc_.text().rfind("A\r\nB", 0), 0u);  // the screen is kept

  // Started in this run, then the file vanished: the next flush cannot open it.
  useAutoSave(1);
  doc_.clear();
  out_.write("C\r\n", ReportColour::Black);
  ASSERT_TRUE(fs::exists(options_.s_AutoSaveFile));
  fs::remove(options_.s_AutoSaveFile);
  out_.write("D\r\n", ReportColour::Black);
  EXPECT_EQ(redTexts().back(),
            "\r\n\r\nCould not auto save to file (open): " + options_.s_AutoSaveFile + "\r\n\r\n");
  EXPECT_TRUE(host_.questions().empty());  // open and create failures ask nothing
}

TEST_F(ReportOutputTest, DiskFullIsReportedAndAsked) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  useAutoSave(1);
  options_.s_AutoSaveFile = "/dev/full";
  out_.setReportSaved(false);
  out_.write("A\r\nB", ReportColour::Black);
  EXPECT_EQ(redTexts(), (std::vector<std::string>{
                            "\r\n\r\nCould not auto save to file (write): /dev/full: Disk is "
                            "full.\r\n\r\n"}));
  EXPECT_EQ(host_.questionTexts(),
            (std::vector<std::string>{"The file could not be saved, the disk is full.\nPlease make "
                                      "some space and press OK to continue."}));
  EXPECT_EQ(doc_.text().rfind("A\r\nB", 0), 0u);
  EXPECT_FALSE(out_.reportSaved());
}

// A flush that fails half way takes back what it wrote: the retry writes the screen once.
TEST_F(ReportOutputTest, FailedFlushLeavesNoPartialCopyBehind) {
  useAutoSave(1000);
  out_.write("first\r\n", ReportColour::Black);
  ASSERT_TRUE(out_.flushToAutoSave());
  doc_.clear();
  std::string big;
  for (int i = 0; i < 50; ++i) big += std::string(4000, 'x') + "\r\n";
  out_.write(big, ReportColour::Black);

  struct sigaction ignore = {}, previous = {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGXFSZ, &ignore, &previous);
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 100000;  // the big line can only be written in part
  setrlimit(RLIMIT_FSIZE, &small);
  const bool flushed = out_.flushToAutoSave();
  setrlimit(RLIMIT_FSIZE, &saved);
  sigaction(SIGXFSZ, &previous, nullptr);

  EXPECT_FALSE(flushed);
  EXPECT_TRUE(readFile(options_.s_AutoSaveFile) == "first\r\n");
  EXPECT_EQ(host_.questionTexts(),
            (std::vector<std::string>{"Could not auto save to file (write): " +
                                      options_.s_AutoSaveFile}));
  EXPECT_EQ(redTexts().back(),
            "\r\n\r\nCould not auto save to file (write): " + options_.s_AutoSaveFile + "\r\n\r\n");
  doc_.clear();
  out_.write(big, ReportColour::Black);
  ASSERT_TRUE(out_.flushToAutoSave());
  EXPECT_TRUE(readFile(options_.s_AutoSaveFile) == "first\r\n" + big);
}

TEST_F(ReportOutputTest, OnlyToFileWritesTheFileAndNotTheScreen) {
  options_.b_OnlyToFile = 1;
  options_.b_AutoSave = 1;
  options_.s_AutoSaveFile = (dir_ / "report.txt").string();
  out_.setReportSaved(false);
  out_.prepareForRun();
  EXPECT_EQ(doc_.text(), "Output of this report is being written to file: " +
                             options_.s_AutoSaveFile + "\r\n\r\n");
  EXPECT_EQ(doc_.snapshot().runs[0].colour, ReportColour::Maroon);
  EXPECT_TRUE(out_.reportSaved());
  EXPECT_TRUE(out_.reportFileOpen());
  EXPECT_EQ(options_.b_AutoSave, 0);
  out_.write("< DATABASE 1:  ", ReportColour::Black);
  out_.write("A\r\n", ReportColour::Blue);
  out_.closeReportFile();
  EXPECT_EQ(readFile(options_.s_AutoSaveFile), "< DATABASE 1:  A\r\n");
  EXPECT_EQ(doc_.lineCount(), 3);  // only the notice
}

TEST_F(ReportOutputTest, OnlyToFileFallsBackToTheScreenWhenTheFileCannotBeOpened) {
  options_.b_OnlyToFile = 1;
  options_.s_AutoSaveFile = (dir_ / "missing" / "report.txt").string();
  out_.prepareForRun();
  EXPECT_EQ(host_.questionTexts(),
            (std::vector<std::string>{"Could not open file " + options_.s_AutoSaveFile +
                                      ". Output will be sent to the screen."}));
  EXPECT_EQ(options_.b_OnlyToFile, 0);
  out_.write("text", ReportColour::Blue);
  EXPECT_NE(doc_.text().find("text"), std::string::npos);
}

TEST_F(ReportOutputTest, OnlyToFileFallsBackToTheScreenWhenAWriteFails) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  options_.b_OnlyToFile = 1;
  options_.s_AutoSaveFile = "/dev/full";
  out_.prepareForRun();
  ASSERT_TRUE(out_.reportFileOpen());
  out_.write("lost?", ReportColour::Blue);
  out_.write(" no", ReportColour::Red);
  EXPECT_EQ(host_.questionTexts(),
            (std::vector<std::string>{
                "Could not save line to file. Output will continue on the screen."}));
  EXPECT_EQ(options_.b_OnlyToFile, 0);
  EXPECT_FALSE(out_.reportFileOpen());
  EXPECT_FALSE(out_.reportSaved());
  const std::string text = doc_.text();
  EXPECT_EQ(text.substr(text.size() - 8), "lost? no");
}

TEST_F(ReportOutputTest, SaveChoosesRtfOrTextByExtension) {
  EXPECT_TRUE(hasRtfExtension("a/report.Rtf"));
  EXPECT_TRUE(hasRtfExtension("x.RTF"));
  EXPECT_FALSE(hasRtfExtension("x.txt"));
  EXPECT_FALSE(hasRtfExtension("dir.rtf/report"));
  EXPECT_FALSE(hasRtfExtension("rtf"));

  const std::string longLine(6000, 'L');
  out_.write("Head {x}\r\n" + longLine + "\r\nend", ReportColour::Blue);
  out_.setReportSaved(false);
  const fs::path rtf = dir_ / "report.Rtf";
  ASSERT_TRUE(out_.saveReportTo(rtf.string()));
  EXPECT_TRUE(out_.reportSaved());
  const std::string rtfText = readFile(rtf);
  EXPECT_EQ(rtfText, toRtf(doc_.snapshot()) + "\n");
  EXPECT_NE(rtfText.find("Head \\{x\\}\\par"), std::string::npos);

  for (const char* name : {"report.txt", "report"}) {
    ASSERT_TRUE(out_.saveReportTo((dir_ / name).string()));
    EXPECT_EQ(readFile(dir_ / name), "Head {x}\r\n" + longLine + "\r\nend");  // nothing cut
  }
}

TEST_F(ReportOutputTest, SaveFailures) {
  out_.write("text", ReportColour::Blue);
  out_.setReportSaved(false);
  EXPECT_FALSE(out_.saveReportTo((dir_ / "missing" / "r.txt").string()));
  EXPECT_FALSE(out_.saveReportTo((dir_ / "missing" / "r.rtf").string()));
  if (fs::exists("/dev/full")) {
    EXPECT_FALSE(out_.saveReportTo("/dev/full"));
    EXPECT_EQ(host_.questionTexts().back(), "ERROR: Could not save file.");
  }
  EXPECT_EQ(host_.questionTexts()[0], "Could not open file.");
  EXPECT_EQ(host_.questionTexts()[1], "Could not open file.");
  EXPECT_FALSE(out_.reportSaved());
}

TEST_F(ReportOutputTest, SaveReportFlagsAndTheSaveQuestion) {
  int chooserCalls = 0;
  std::optional<std::string> choice;
  auto chooser = [&]() {
    ++chooserCalls;
    return choice;
  };
  EXPECT_TRUE(out_.saveReport(chooser));  // saved already: no dialog
  out_.setReportSaved(false);
  EXPECT_TRUE(out_.saveReport(chooser));  // empty screen: only marked saved
  EXPECT_EQ(chooserCalls, 0);

  out_.write("text", ReportColour::Blue);
  out_.setReportSaved(false);
  EXPECT_FALSE(out_.saveReport(chooser));  // cancelled dialog
  EXPECT_TRUE(out_.saveDeclined());

  host_.scriptAnswers({Answer::Cancel, Answer::No, Answer::Yes, Answer::Yes});
  EXPECT_FALSE(out_.offerSave(chooser));  // Cancel
  EXPECT_TRUE(out_.offerSave(chooser));   // No: go on without saving
  EXPECT_FALSE(out_.offerSave(chooser));  // Yes, then the dialog is cancelled
  EXPECT_TRUE(out_.saveDeclined());
  choice = (dir_ / "saved.txt").string();
  EXPECT_TRUE(out_.offerSave(chooser));  // Yes and saved
  EXPECT_FALSE(out_.saveDeclined());
  EXPECT_TRUE(out_.reportSaved());
  EXPECT_EQ(readFile(*choice), "text");
  EXPECT_TRUE(out_.offerSave(chooser));  // saved: no question
  EXPECT_EQ(host_.questions().size(), 4u);
  EXPECT_EQ(host_.questions()[0].text, "The report has not been saved. Do you wish to save it?");
  EXPECT_EQ(host_.questions()[0].buttons, Buttons::YesNoCancel);
}

// A run's failures: every failed file is recorded with the system's reason; the command line's
// policy also stops the run and asks nothing, since nobody is there to answer.
class OutputFailureTest : public ReportOutputTest {
 protected:
  void SetUp() override {
    ReportOutputTest::SetUp();
    out_.attachRun(&errors_, [this] { ++stops_; });
  }
  bool screenHas(const std::string& text) const {
    return doc_.text().find(text) != std::string::npos;
  }

  RunErrors errors_;
  int stops_ = 0;
};

TEST_F(OutputFailureTest, StopRunEndsTheRunWhenTheReportFileFillsUp) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  out_.setFailurePolicy(OutputFailurePolicy::StopRun);
  options_.b_OnlyToFile = 1;
  options_.s_AutoSaveFile = "/dev/full";
  out_.prepareForRun();
  ASSERT_TRUE(out_.reportFileOpen());
  out_.write("header", ReportColour::Blue);
  EXPECT_EQ(stops_, 1);
  EXPECT_TRUE(errors_.outputFailed());
  EXPECT_EQ(errors_.outputFailure(),
            "could not write the report to /dev/full: No space left on device");
  EXPECT_TRUE(host_.questions().empty());
  EXPECT_TRUE(screenHas("Could not write the report to file: /dev/full: No space left on device"));
  EXPECT_EQ(options_.b_OnlyToFile, 0);
  // Until the stop is honoured, the rest goes to the screen rather than nowhere.
  out_.write(" more", ReportColour::Black);
  EXPECT_TRUE(doc_.text().ends_with("header more"));
  EXPECT_EQ(errors_.count(), 1);
}

TEST_F(OutputFailureTest, StopRunEndsTheRunWhenTheAutoSaveFillsUp) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  out_.setFailurePolicy(OutputFailurePolicy::StopRun);
  useAutoSave(1);
  options_.s_AutoSaveFile = "/dev/full";
  out_.write("A\r\nB", ReportColour::Black);
  EXPECT_EQ(stops_, 1);
  EXPECT_EQ(errors_.outputFailure(),
            "could not auto save the report to /dev/full (write): No space left on device");
  EXPECT_TRUE(host_.questions().empty()) << "nobody can press OK";
  EXPECT_EQ(redTexts(), (std::vector<std::string>{"\r\n\r\nCould not auto save to file (write): "
                                                  "/dev/full: No space left on device\r\n\r\n"}));
  // The auto-save is off for the rest of the run: the last flush does not fail again.
  EXPECT_EQ(options_.b_AutoSave, 0);
  out_.write("\r\nC\r\nD", ReportColour::Black);
  EXPECT_EQ(stops_, 1);
  EXPECT_EQ(errors_.count(), 1);
}

TEST_F(OutputFailureTest, StopRunTellsWhyTheReportFileDidNotOpen) {
  out_.setFailurePolicy(OutputFailurePolicy::StopRun);
  options_.b_OnlyToFile = 1;
  options_.s_AutoSaveFile = dir_.string();  // a directory
  out_.prepareForRun();
  EXPECT_EQ(stops_, 1);
  EXPECT_EQ(errors_.outputFailure(), "could not open " + dir_.string() + ": Is a directory");
  EXPECT_TRUE(host_.questions().empty());
  EXPECT_TRUE(screenHas("Could not open file " + dir_.string() + ": Is a directory"));
}

// The window keeps its questions and goes on, but the run still learns that its file failed.
TEST_F(OutputFailureTest, AskAndContinueRecordsWithoutStopping) {
  useAutoSave(1);
  options_.s_AutoSaveFile = (dir_ / "missing" / "auto.txt").string();
  out_.write("A\r\nB", ReportColour::Black);
  EXPECT_EQ(stops_, 0);
  EXPECT_EQ(errors_.outputFailure(), "could not auto save the report to " +
                                         options_.s_AutoSaveFile +
                                         " (create): No such file or directory");
  EXPECT_EQ(options_.b_AutoSave, 1);  // the next flush tries again

  options_.b_OnlyToFile = 1;
  options_.s_AutoSaveFile = (dir_ / "missing" / "report.txt").string();
  out_.prepareForRun();
  EXPECT_EQ(host_.questionTexts(),
            (std::vector<std::string>{"Could not open file " + options_.s_AutoSaveFile +
                                      ". Output will be sent to the screen."}));
  EXPECT_EQ(errors_.count(), 2);
  EXPECT_EQ(stops_, 0);
}

TEST(OutputFileProbe, NamesTheReasonAndChangesNothing) {
  std::string pattern = ::testing::TempDir() + "velmora_probe_XXXXXX";
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  const fs::path dir = pattern;
  EXPECT_EQ(OutputFile::probeWritable((dir / "missing" / "out.txt").string()), ENOENT);
  EXPECT_EQ(OutputFile::probeWritable(dir.string()), EISDIR);
  EXPECT_EQ(OutputFile::probeWritable(""), ENOENT);
  // A new file is not left behind; an existing one keeps its content.
  EXPECT_EQ(OutputFile::probeWritable((dir / "new.txt").string()), 0);
  EXPECT_FALSE(fs::exists(dir / "new.txt"));
  std::ofstream(dir / "old.txt") << "kept";
  EXPECT_EQ(OutputFile::probeWritable((dir / "old.txt").string()), 0);
  EXPECT_EQ(readFile(dir / "old.txt"), "kept");
  if (geteuid() != 0) {  // root writes anyway
    fs::permissions(dir / "old.txt", fs::perms::owner_read);
    EXPECT_EQ(OutputFile::probeWritable((dir / "old.txt").string()), EACCES);
  }
  if (fs::exists("/dev/full")) {
    EXPECT_EQ(OutputFile::probeWritable("/dev/full"), 0);
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace velmora
