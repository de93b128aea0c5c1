#include "base/report_document.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora {
namespace {

TEST(ReportDocumentTest, CountsLinesLikeARichEditControl) {
  ReportDocument doc;
  EXPECT_EQ(doc.lineCount(), 0);
  doc.append("x", ReportColour::Black);
  EXPECT_EQ(doc.lineCount(), 1);
  doc.append("\r\n", ReportColour::Black);
  EXPECT_EQ(doc.lineCount(), 2);
  doc.append("\r", ReportColour::Black);  // a CR LF split over two writes is one break
  EXPECT_EQ(doc.lineCount(), 3);
  doc.append("\nA\nB\rC", ReportColour::Black);
  EXPECT_EQ(doc.lineCount(), 5);
  doc.clear();
  EXPECT_EQ(doc.lineCount(), 0);
  doc.append("\r\n\r\n\r\n", ReportColour::Black);
  EXPECT_EQ(doc.lineCount(), 4);
}

TEST(ReportDocumentTest, MergesRunsOfTheSameFormat) {
  ReportDocument doc;
  doc.append("ab", ReportColour::Blue);
  doc.append("cd", ReportColour::Blue);
  doc.append("EF", ReportColour::Blue, true);
  doc.append("", ReportColour::Red);  // nothing written, no run
  doc.append("g", ReportColour::Red);
  const ReportSnapshot snap = doc.snapshot();
  EXPECT_EQ(snap.text, "abcdEFg");
  const std::vector<ReportRun> expected = {{0, 4, ReportColour::Blue, false},
                                           {4, 2, ReportColour::Blue, true},
                                           {6, 1, ReportColour::Red, false}};
  EXPECT_EQ(snap.runs, expected);
}

TEST(ReportDocumentTest, SplitsLinesWithTheirBreaks) {
  const auto lines = splitReportLines("a\r\nb\nc\r\r\n");
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0].content, "a");
  EXPECT_EQ(lines[0].lineBreak, "\r\n");
  EXPECT_EQ(lines[1].lineBreak, "\n");
  EXPECT_EQ(lines[2].content, "c");
  EXPECT_EQ(lines[2].lineBreak, "\r");
  EXPECT_EQ(lines[3].content, "");
  EXPECT_EQ(lines[3].lineBreak, "\r\n");
  EXPECT_EQ(lines[4].content, "");
  EXPECT_EQ(lines[4].lineBreak, "");
  EXPECT_TRUE(splitReportLines("").empty());
  // As many lines as the document counts.
  ReportDocument doc;
  doc.append("a\r\nb\nc\r\r\n", ReportColour::Black);
  EXPECT_EQ(static_cast<size_t>(doc.lineCount()), lines.size());
}

TEST(ReportDocumentTest, FindHonoursCaseAndWholeWords) {
  ReportDocument doc;
  doc.append("Table EMP_OLD\r\nemp\r\nEMP2 EMP", ReportColour::Black);
  EXPECT_EQ(doc.find("EMP", 0, true, false), 6u);
  EXPECT_EQ(doc.find("emp", 0, true, false), 15u);
  EXPECT_EQ(doc.find("emp", 0, false, false), 6u);
  EXPECT_EQ(doc.find("EMP", 0, false, true), 15u);  // EMP_OLD and EMP2 are other words
  EXPECT_EQ(doc.find("EMP", 16, true, true), 25u);
  EXPECT_EQ(doc.find("EMP", 26, true, true), std::nullopt);
  EXPECT_EQ(doc.find("", 0, true, false), std::nullopt);
  EXPECT_EQ(doc.find("EMP", 1000, true, false), std::nullopt);
}

TEST(ReportDocumentTest, ObserversSeeEveryChangeInOrder) {
  ReportDocument doc;
  std::vector<std::string> seen;
  const int id = doc.addObserver([&](const ReportDocument::Change& change) {
    if (change.kind == ReportDocument::ChangeKind::Cleared) {
      seen.push_back("<clear>");
    } else {
      // The change is already visible to readers.
      seen.push_back(std::string(change.text) + "/" + std::to_string(doc.size()) +
                     (change.underline ? "/u" : ""));
    }
  });
  doc.append("ab", ReportColour::Red);
  doc.append("c", ReportColour::Red, true);
  doc.clear();
  doc.removeObserver(id);
  doc.append("unseen", ReportColour::Red);
  EXPECT_EQ(seen, (std::vector<std::string>{"ab/2", "c/3/u", "<clear>"}));
}

}  // namespace
}  // namespace velmora
