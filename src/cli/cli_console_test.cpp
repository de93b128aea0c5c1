#include "cli/cli_console.h"

#include <gtest/gtest.h>

#include <sstream>

namespace velmora::cli {
namespace {

TEST(CliConsoleTest, SharedTerminalPrintsWholeLinesAroundTheStatusLine) {
  std::ostringstream out, err;
  CliConsole console(out, err, {true, true, false, false, true});
  console.setStatus("Analyzing Databases ...");
  console.setProgressRange(0, 4);
  EXPECT_NE(err.str().find("Analyzing Databases ..."), std::string::npos);
  EXPECT_NE(err.str().find("[------------------------] 0%"), std::string::npos);
  console.report("\r\n\r\n\r\nThe following tables", ReportColour::Black, false);
  EXPECT_EQ(out.str(), "\n\n\n");  // the partial line waits
  console.report(" DO NOT exist in X\r", ReportColour::Black, false);
  console.report("\nnext", ReportColour::Black, false);
  EXPECT_EQ(out.str(), "\n\n\nThe following tables DO NOT exist in X\n");
  console.stepProgress();
  console.stepProgress();
  EXPECT_NE(err.str().find("] 50%"), std::string::npos);
  console.message("A message");
  EXPECT_EQ(out.str(), "\n\n\nThe following tables DO NOT exist in X\nnext\n");
  EXPECT_NE(err.str().find("A message\n"), std::string::npos);
  console.clearStatus();
  console.report(" tail", ReportColour::Black, false);
  console.finishReport();
  EXPECT_TRUE(out.str().ends_with("next\n tail\n"));
  EXPECT_TRUE(err.str().ends_with("\r\x1b[K"));  // the status line is gone at the end
}

TEST(CliConsoleTest, ColoursFollowTheRuns) {
  std::ostringstream out, err;
  CliConsole console(out, err, {false, false, true, false, false});
  console.report("a", ReportColour::Blue, false);
  console.report("b", ReportColour::Blue, false);
  console.report("c", ReportColour::Red, true);
  console.report("d", ReportColour::Black, false);
  console.finishReport();
  EXPECT_EQ(out.str(), "\x1b[34m\x1b[24mab\x1b[31m\x1b[4mc\x1b[39m\x1b[24md\x1b[0m");
  EXPECT_EQ(err.str(), "");

  std::ostringstream trueOut;
  CliConsole trueColour(trueOut, err, {false, false, true, true, false});
  trueColour.report("x", ReportColour::Green, false);
  EXPECT_EQ(trueOut.str(), "\x1b[38;2;9;165;46m\x1b[24mx");
}

TEST(CliConsoleTest, NoStatusLineWhenStderrIsNotATerminal) {
  std::ostringstream out, err;
  CliConsole console(out, err, {true, false, false, false, true});
  console.setStatus("Comparing Data ...");
  console.setProgressRange(0, 10);
  console.report("x\r\ny", ReportColour::Blue, false);
  EXPECT_EQ(out.str(), "x\ny");  // nothing to keep clear of: printed at once
  EXPECT_EQ(err.str(), "");
}

}  // namespace
}  // namespace velmora::cli
