#include "ui/report_view.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>
#include <iostream>
#include <thread>

#include "test_support/ui_test_support.h"

namespace velmora::ui {
namespace {

using test::waitUntil;

TEST(DisplayText, LineBreaksBecomeOneParagraphWhereverAWriteEnds) {
  DisplayTextConverter whole;
  EXPECT_EQ(whole.convert("a\r\nb\rc\nd"), QStringLiteral("a\nb\nc\nd"));

  // "\r\n" cut between two writes is still one break; a "\r" followed by "\r" is two.
  DisplayTextConverter cut;
  QString shown = cut.convert("one\r");
  shown += cut.convert("\ntwo\r");
  shown += cut.convert("\rthree");
  EXPECT_EQ(shown, QStringLiteral("one\ntwo\n\nthree"));

  // A UTF-8 character cut between two writes arrives whole.
  DisplayTextConverter utf8;
  const std::string text = "K\xC3\xB6ln \xE2\x82\xAC";  // "Köln €"
  QString pieces;
  for (char c : text) pieces += utf8.convert(std::string(1, c));
  EXPECT_EQ(pieces, QString::fromUtf8("K\xC3\xB6ln \xE2\x82\xAC"));
}

TEST(DisplayText, DocumentOffsetsMapOntoTheView) {
  const std::string text = "ab\r\n\xC3\xA4x\r\ny";
  EXPECT_EQ(displayPosition(text, 0), 0);
  EXPECT_EQ(displayPosition(text, 4), 3);   // after "ab\r\n": "ab\n"
  EXPECT_EQ(displayPosition(text, 6), 4);   // after the two bytes of "ä"
  EXPECT_EQ(displayPosition(text, 10), 7);  // the end
  EXPECT_EQ(displayPosition(text, 99), 7);  // past the end: the end
}

QTextCharFormat formatAt(ReportView& view, int position) {
  QTextCursor cursor(view.document());
  cursor.setPosition(position + 1);  // the format of the character before the cursor
  return cursor.charFormat();
}

TEST(ReportViewTest, ShowsWhatAWorkerWritesWithItsColoursAndUnderlines) {
  ReportDocument document;
  document.append("before\r\n", ReportColour::Black);
  ReportView view;
  view.attach(document);
  std::thread writer([&] {
    document.append("< DATABASE 1:  ", ReportColour::Black);
    document.append("SCOTT@ORCL", ReportColour::Blue);
    document.append("\r\n", ReportColour::Black);
    document.append("NAME", ReportColour::Red, true);
    document.append("\r", ReportColour::Black);
    document.append("\nend", ReportColour::Maroon);
  });
  writer.join();
  ASSERT_TRUE(waitUntil([&] { return view.toPlainText().endsWith(QStringLiteral("end")); }));
  EXPECT_EQ(view.toPlainText(), QStringLiteral("before\n< DATABASE 1:  SCOTT@ORCL\nNAME\nend"));

  const QString shown = view.toPlainText();
  const QTextCharFormat blue = formatAt(view, int(shown.indexOf(QStringLiteral("SCOTT"))));
  EXPECT_EQ(blue.foreground().color(), QColor(42, 42, 255));
  EXPECT_FALSE(blue.fontUnderline());
  const QTextCharFormat heading = formatAt(view, int(shown.indexOf(QStringLiteral("NAME"))));
  EXPECT_EQ(heading.foreground().color(), QColor(255, 0, 0));
  EXPECT_TRUE(heading.fontUnderline());
  EXPECT_EQ(formatAt(view, int(shown.indexOf(QStringLiteral("end")))).foreground().color(),
            QColor(130, 8, 54));

  // A clear (a flush of the auto-save mode, a new run) empties the view; what follows shows.
  std::thread again([&] {
    document.clear();
    document.append("next run", ReportColour::Black);
  });
  again.join();
  ASSERT_TRUE(waitUntil([&] { return view.toPlainText() == QStringLiteral("next run"); }));
  view.detach();
}

TEST(ReportViewTest, SelectsADocumentRangeAfterMultiByteTextAndLineBreaks) {
  ReportDocument document;
  ReportView view;
  view.attach(document);
  document.append("Stra\xC3\x9F" "e\r\nPRODUCTS and PRODUCTS", ReportColour::Black);
  const size_t second = document.text().rfind("PRODUCTS");
  view.selectDocumentRange(second, 8);
  EXPECT_EQ(view.textCursor().selectedText(), QStringLiteral("PRODUCTS"));
  EXPECT_EQ(view.textCursor().selectionStart(), int(view.toPlainText().lastIndexOf(QStringLiteral("PRODUCTS"))));
  view.detach();
}

// A run writing 200,000 lines as fast as it can: every line arrives, the event loop keeps
// turning while they do (the longest pause between two ticks of a 10 ms timer is printed), and
// scrolling through the whole report is measured. Timings are printed, not asserted: the
// machine that runs the tests may be slow and shared.
TEST(ReportViewTest, TwoHundredThousandLinesArriveWhileTheWindowKeepsAnswering) {
  constexpr int kLines = 200000;
  ReportDocument document;
  ReportView view;
  view.resize(800, 600);
  view.show();
  view.attach(document);

  QElapsedTimer sinceTick;
  qint64 longestPause = 0;
  QTimer ticker;
  ticker.setInterval(10);
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    longestPause = std::max(longestPause, sinceTick.restart());
  });
  sinceTick.start();
  ticker.start();
  QElapsedTimer total;
  total.start();
  std::thread writer([&] {
    for (int i = 0; i < kLines; ++i) {
      document.append("\r\n", ReportColour::Black);
      document.append("TABLE_" + std::to_string(i), ReportColour::Blue);
      document.append("\tNo Structural Differences Found", ReportColour::Maroon);
    }
  });
  const bool arrived = waitUntil([&] { return view.blockCount() == kLines + 1; }, 600000);
  writer.join();
  ticker.stop();
  ASSERT_TRUE(arrived) << view.blockCount();
  const qint64 shown = total.elapsed();
  EXPECT_EQ(view.document()->lastBlock().text(),
            QStringLiteral("TABLE_%1\tNo Structural Differences Found").arg(kLines - 1));
  // The view followed the end while the user did not scroll away.
  EXPECT_EQ(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());

  QElapsedTimer scrolling;
  scrolling.start();
  QScrollBar* bar = view.verticalScrollBar();
  for (int step = 0; step <= 100; ++step) {
    bar->setValue(bar->maximum() / 100 * step);
    view.repaint();
  }
  const qint64 scrolled = scrolling.elapsed();
  std::cout << "[ report view ] " << kLines << " lines shown in " << shown
            << " ms; longest pause of the event loop " << longestPause
            << " ms; 101 scroll positions painted in " << scrolled << " ms\n";
  view.detach();
}

}  // namespace
}  // namespace velmora::ui
