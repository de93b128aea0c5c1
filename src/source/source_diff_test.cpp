#include "source/source_diff.h"

#include <gtest/gtest.h>

#include <random>

#include "base/recording_host.h"
#include "base/report_layout.h"
#include "base/run_control.h"

namespace velmora {
namespace {

// The literal greedy diffLines: every step searches both remaining lists from their start.
// It prints through the same line and header writers as the fast one.
bool literalDiffLines(SourceDiff& diff, std::vector<std::string> list1,
                      std::vector<std::string> list2, bool headerPending) {
  const LineKeyRules& rules = diff.rules();
  const auto header = [&] {
    if (headerPending) diff.writeSourceDifferenceHeader();
    headerPending = false;
  };
  for (;;) {
    if (!list1.empty() && !list2.empty()) {
      const int i = findLine(list1.front(), list2, rules);
      const int j = findLine(list2.front(), list1, rules);
      if (i == 0) {
        list1.erase(list1.begin());
        list2.erase(list2.begin());
      } else if (i == -1 && j == -1) {
        header();
        diff.writeSourceLine(list2.front(), kRed);
        diff.writeSourceLine(list1.front(), kBlue);
        list1.erase(list1.begin());
        list2.erase(list2.begin());
      } else {
        const long long di = i == -1 ? 1000000000LL : i;
        const long long dj = j == -1 ? 1000000000LL : j;
        header();
        if (di >= dj) {
          for (int k = 0; k < j; ++k) {
            diff.writeSourceLine(list1.front(), kBlue);
            list1.erase(list1.begin());
          }
        } else {
          for (int k = 0; k < i; ++k) {
            diff.writeSourceLine(list2.front(), kRed);
            list2.erase(list2.begin());
          }
        }
      }
    } else if (!list1.empty()) {
      header();
      for (const std::string& line : list1) diff.writeSourceLine(line, kBlue);
      return false;
    } else {
      if (list2.empty()) return headerPending;
      header();
      for (const std::string& line : list2) diff.writeSourceLine(line, kRed);
      return false;
    }
  }
}

struct Outcome {
  std::vector<RecordingWriter::Write> writes;
  bool headerPending = false;
};

Outcome fast(std::vector<std::string> a, std::vector<std::string> b, const LineKeyRules& rules) {
  RecordingWriter out;
  SourceDiff diff(out, nullptr);
  diff.setRules(rules);
  diff.setNames({"package", "Package", "P"});
  Outcome o;
  o.headerPending = diff.diffLines(a, b, true);
  EXPECT_TRUE(a.empty());
  EXPECT_TRUE(b.empty());
  o.writes = out.writes();
  return o;
}

Outcome literal(std::vector<std::string> a, std::vector<std::string> b, const LineKeyRules& rules) {
  RecordingWriter out;
  SourceDiff diff(out, nullptr);
  diff.setRules(rules);
  diff.setNames({"package", "Package", "P"});
  Outcome o;
  o.headerPending = literalDiffLines(diff, std::move(a), std::move(b), true);
  o.writes = out.writes();
  return o;
}

// The lines printed, each as "< text" or "> text" without its line end.
std::vector<std::string> printed(const Outcome& o) {
  std::vector<std::string> lines;
  std::string mark;
  for (const RecordingWriter::Write& w : o.writes) {
    if (w.text == "< " || w.text == "> ") {
      mark = w.text;
    } else if (!mark.empty()) {
      std::string text = w.text;
      if (text.size() >= 2 && text.substr(text.size() - 2) == "\r\n") text.resize(text.size() - 2);
      lines.push_back(mark + text);
      mark.clear();
    }
  }
  return lines;
}

std::vector<std::string> numbered(const std::vector<std::string>& texts) {
  std::vector<std::string> lines;
  for (size_t i = 0; i < texts.size(); ++i)
    lines.push_back("(" + std::to_string(i + 1) + ") " + texts[i] + "\r\n");
  return lines;
}

TEST(LineKey, DropsTheNumberAndTheWhiteSpaceAtBothEnds) {
  LineKeyRules rules{true, true};
  EXPECT_EQ(lineKey("(12)   x := 1;\r\n", rules), "x := 1;");
  EXPECT_EQ(lineKey("(3)\tnothing", rules), "");  // no blank: the whole line is the number
  rules.ignoreSpaces = false;
  EXPECT_EQ(lineKey("(12)   x := 1;\r\n", rules), "  x := 1;\r\n");
  rules.numbered = false;
  EXPECT_EQ(lineKey("(12) x", rules), "(12) x");
}

TEST(FindLine, FindsTheFirstLineOfTheSameKey) {
  const std::vector<std::string> lines = {"a", " b", "b", "c"};
  EXPECT_EQ(findLine("b", lines, {false, true}), 1);
  EXPECT_EQ(findLine("b", lines, {false, false}), 2);
  EXPECT_EQ(findLine("z", lines, {false, true}), -1);
  EXPECT_EQ(findLine("c", lines, {false, true}, 2), 1);
}

TEST(DiffLines, AnInsertedLinePrintsOnlyThatLineWithItsOwnNumber) {
  const Outcome o =
      fast(numbered({"a", "b", "new", "c", "d"}), numbered({"a", "b", "c", "d"}), {true, true});
  EXPECT_EQ(printed(o), std::vector<std::string>{"< (3) new"});
  EXPECT_FALSE(o.headerPending);
  ASSERT_GE(o.writes.size(), 2u);
  EXPECT_EQ(o.writes[0].text, "\r\n\r\n\r\nDifferences found in package ");
  EXPECT_EQ(o.writes[0].colour, kBlack);
  EXPECT_EQ(o.writes[1].text, "P\r\n\r\n");
  EXPECT_EQ(o.writes[1].colour, kGreen);
}

TEST(DiffLines, TabsAndBlanksMatchOnlyWhenSpacesAreIgnored) {
  const auto a = numbered({"begin", "\tx := 1;", "end;"});
  const auto b = numbered({"begin", "    x := 1;", "end;"});
  EXPECT_TRUE(printed(fast(a, b, {true, true})).empty());
  EXPECT_EQ(printed(fast(a, b, {true, false})),
            (std::vector<std::string>{"> (2)     x := 1;", "< (2) \tx := 1;"}));
}

TEST(DiffLines, AChangedLinePrintsDatabase2First) {
  EXPECT_EQ(printed(fast({"a\r\n", "x\r\n", "c\r\n"}, {"a\r\n", "y\r\n", "c\r\n"}, {})),
            (std::vector<std::string>{"> y", "< x"}));
}

TEST(DiffLines, LinesBeforeTheNextMatchArePrinted) {
  const Outcome o = fast({"A\r\n", "B\r\n", "C\r\n"}, {"C\r\n"}, {});
  EXPECT_EQ(printed(o), (std::vector<std::string>{"< A", "< B"}));
}

TEST(DiffLines, EmptyListsPrintNothingAndKeepTheHeaderPending) {
  const Outcome o = fast({}, {}, {});
  EXPECT_TRUE(o.writes.empty());
  EXPECT_TRUE(o.headerPending);
  const Outcome same = fast({"x\r\n"}, {" x\r\n"}, {});
  EXPECT_TRUE(same.headerPending);
}

TEST(DiffLines, TiesGoToDatabase1) {
  // Each first line occurs on the other side one line further on: Database 1's goes first.
  EXPECT_EQ(printed(fast({"a\r\n", "b\r\n"}, {"b\r\n", "a\r\n"}, {})),
            (std::vector<std::string>{"< a", "> a"}));
}

TEST(DiffLines, ControlCharactersOfALineAreEscapedButItsTabIsKept) {
  RecordingWriter out;
  SourceDiff diff(out, nullptr);
  diff.writeSourceLine("(1) \tx\x1b[31m\r\n", kBlue);
  EXPECT_EQ(out.text(kBlue), "(1) \tx\\x1B[31m\r\n");
}

// The equivalence the fast diffLines promises: on many random line lists, with small alphabets
// so that repeats are common, its output is exactly the literal algorithm's.
TEST(DiffLines, GivesExactlyTheOutputOfTheLiteralGreedyAlgorithm) {
  std::mt19937 random(20240611);
  const char* const variants[] = {"", " ", "\t", "  "};
  int cases = 0;
  for (int round = 0; round < 6000; ++round) {
    const int alphabet = 1 + static_cast<int>(random() % 6);
    const auto list = [&](bool numberedLines) {
      std::vector<std::string> lines;
      const int n = static_cast<int>(random() % 25);
      for (int i = 0; i < n; ++i) {
        std::string text = variants[random() % 4];
        text += static_cast<char>('a' + random() % alphabet);
        text += variants[random() % 4];
        if (numberedLines) text = "(" + std::to_string(i + 1) + ") " + text;
        lines.push_back(text + "\r\n");
      }
      return lines;
    };
    const LineKeyRules rules{random() % 2 == 0, random() % 2 == 0};
    const std::vector<std::string> a = list(rules.numbered), b = list(rules.numbered);
    const Outcome want = literal(a, b, rules);
    const Outcome got = fast(a, b, rules);
    ASSERT_EQ(got.writes, want.writes) << "case " << round;
    ASSERT_EQ(got.headerPending, want.headerPending) << "case " << round;
    ++cases;
  }
  EXPECT_EQ(cases, 6000);
}

TEST(DiffLines, LongSourcesWithFewChangesStayLinear) {
  std::vector<std::string> a, b;
  for (int i = 0; i < 200000; ++i) {
    const std::string line = "  x" + std::to_string(i % 5000) + " := " + std::to_string(i) + ";";
    a.push_back("(" + std::to_string(i + 1) + ") " + line + "\r\n");
    if (i % 100 == 50) continue;  // deleted in Database 2
    b.push_back("(" + std::to_string(b.size() + 1) + ") " + line + "\r\n");
  }
  RecordingWriter out;
  SourceDiff diff(out, nullptr);
  diff.setRules({true, true});
  EXPECT_FALSE(diff.diffLines(a, b, true));
  EXPECT_EQ(printed({out.writes(), false}).size(), 2000u);
}

TEST(DiffLines, ASkipWritesItsLineAndDropsTheRest) {
  RunControl control;
  control.beginRun();
  control.requestSkip();
  RecordingWriter out;
  SourceDiff diff(out, &control);
  diff.setNames({"function", "Function", "F"});
  std::vector<std::string> a = {"x\r\n"}, b = {"y\r\n"};
  EXPECT_TRUE(diff.diffLines(a, b, true));
  EXPECT_TRUE(diff.skipped());
  EXPECT_TRUE(a.empty() && b.empty());
  EXPECT_EQ(out.text(), "\r\nFunction F Skipped ...");
  EXPECT_FALSE(control.skipRequested());
}

TEST(DiffLines, AStopEndsTheComparisonAtTheNextStep) {
  RunControl control;
  control.beginRun();
  control.requestStop();
  RecordingWriter out;
  SourceDiff diff(out, &control);
  std::vector<std::string> a = {"x\r\n"}, b = {"y\r\n"};
  bool stopped = false;
  try {
    (void)diff.diffLines(a, b, true);
  } catch (const RunStopped&) {
    stopped = true;
  }
  EXPECT_TRUE(stopped);
  EXPECT_EQ(out.text(), "");
}

}  // namespace
}  // namespace velmora
