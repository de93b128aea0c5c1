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
  EXPECT_EQ(out.str(), "\x1b[34m\x1b[24mab\x1b[31m\x1b[4mc\x1b[39m\x1b[24md\x1b[0m\n");
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

// Only the console's own codes may drive the terminal: ESC, BEL and the C1 controls of a name
// are printed visibly, while the report's CR LF and tabs keep their work.
TEST(CliConsoleTest, ControlCharactersOfTheTextNeverReachATerminal) {
  const std::string name =
      "T\x1b]0;pwned\x07\x1b[2J\xc2\x9b"
      "2J";
  const std::string shown = "T\\x1B]0;pwned\\x07\\x1B[2J\\u009B2J";
  std::ostringstream out, err;
  CliConsole terminal(out, err, {true, true, false, false, true});
  terminal.setStatus("Checking " + name);
  terminal.setProgressRange(0, 2);
  terminal.report("\r\n\t\t" + name + "\r\n", ReportColour::Blue, false);
  terminal.message("Table " + name + "\nsecond line\r");
  terminal.finishReport();
  EXPECT_EQ(out.str(), "\n\t\t" + shown + "\n");
  EXPECT_NE(err.str().find("Checking " + shown.substr(0, 20)), std::string::npos) << err.str();
  EXPECT_NE(err.str().find("Table " + shown + "\nsecond line\\r\n"), std::string::npos)
      << err.str();
  EXPECT_EQ(out.str().find_first_of("\x07\x1b"), std::string::npos) << "no colours asked";
  EXPECT_EQ(err.str().find('\x07'), std::string::npos);
  // The console's own erase-line codes are all the ESC left on stderr.
  for (size_t at = err.str().find('\x1b'); at != std::string::npos;
       at = err.str().find('\x1b', at + 1))
    EXPECT_EQ(err.str().compare(at, 3, "\x1b[K"), 0) << err.str().substr(at);
  EXPECT_EQ(out.str().find("\xc2\x9b"), std::string::npos);

  // Colours mean a terminal will show the text, wherever stdout goes.
  std::ostringstream coloured;
  CliConsole colours(coloured, err, {false, false, true, false, false});
  colours.report(name, ReportColour::Red, false);
  EXPECT_EQ(coloured.str(), "\x1b[31m\x1b[24m" + shown);
}

// A plain report or script on a file or a pipe keeps its exact bytes but its line ends (its
// names are escaped where they were written): an upgrade script must stay what the run wrote.
TEST(CliConsoleTest, APlainReportKeepsItsBytes) {
  const std::string text = "CREATE TABLE T (\r\n\t\"A\"\tNUMBER DEFAULT CHR(27)\x1b)\r\n;";
  std::ostringstream out, err;
  ConsoleSettings crlf;
  crlf.crlf = true;
  CliConsole console(out, err, crlf);
  console.report(text, ReportColour::Blue, false);
  console.finishReport();
  EXPECT_EQ(out.str(), text + "\r\n");

  std::ostringstream lf;
  CliConsole plain(lf, err, {false, false, false, false, false});
  plain.report(text.substr(0, 17), ReportColour::Blue, false);  // a CR LF cut in two
  plain.report(text.substr(17), ReportColour::Blue, false);
  plain.finishReport();
  EXPECT_EQ(lf.str(), "CREATE TABLE T (\n\t\"A\"\tNUMBER DEFAULT CHR(27)\x1b)\n;\n");
}

// The status line fits the terminal, however narrow, and follows it when it is resized: a line
// that wrapped in a narrower terminal is cleared from its first row.
TEST(CliConsoleTest, StatusLineFitsTheTerminalAndFollowsResizes) {
  int columns = 120;
  std::ostringstream out, err;
  ConsoleSettings settings{false, true, false, false, true};
  settings.terminalWidth = [&columns] { return columns; };
  CliConsole console(out, err, settings);
  const std::string status(60, 'S');
  auto lastLine = [&err] {
    const std::string text = err.str();
    const size_t at = text.rfind("\x1b[K");
    const size_t jump = text.rfind("\x1b[J");
    const size_t from =
        at == std::string::npos || (jump != std::string::npos && jump > at) ? jump : at;
    return text.substr(from + 3);
  };
  console.setStatus(status);
  console.setProgressRange(0, 10);
  const std::string wide = lastLine();
  EXPECT_LT(wide.size(), 120u);
  EXPECT_NE(wide.find("[------------------------] 0%"), std::string::npos) << wide;
  for (int width : {80, 40, 20, 8, 2}) {
    columns = width;
    console.stepProgress();
    const std::string line = lastLine();
    EXPECT_LT(line.size(), static_cast<size_t>(width)) << width << ": " << line;
  }
  columns = 40;
  console.setStatus("short");
  EXPECT_NE(lastLine().find("%"), std::string::npos);
  // From 120 columns to 40: the 76-column line took two rows; the clear goes up one.
  columns = 120;
  console.setStatus(status);
  err.str("");
  columns = 40;
  console.setStatus(status);
  EXPECT_EQ(err.str().rfind("\r\x1b[1A\x1b[J", 0), 0u) << err.str();
}

}  // namespace
}  // namespace velmora::cli
