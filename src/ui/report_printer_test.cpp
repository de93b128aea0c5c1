#include "ui/report_printer.h"

#include <gtest/gtest.h>

#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include "ui/window_settings.h"

namespace velmora::ui {
namespace {

TEST(PageGeometry, CountsWholeInchesAndKeepsAnInchOfMarginOnEverySide) {
  // An A4 page at 600 pixels per inch: 8.27 x 11.69 inches count as 8 x 11.
  const PageGeometry a4 = pageGeometry(4962, 600, 7014, 600);
  EXPECT_EQ(a4.pageWidth, 8 * 1440);
  EXPECT_EQ(a4.pageHeight, 11 * 1440);
  EXPECT_EQ(a4.printable.left(), 1440);
  EXPECT_EQ(a4.printable.top(), 1440);
  EXPECT_EQ(a4.printable.width(), 6 * 1440);
  EXPECT_EQ(a4.printable.height(), 9 * 1440);
  // A printer that reports no resolution gives an empty page, never a division by zero.
  EXPECT_EQ(pageGeometry(100, 0, 100, 0).pageWidth, 0);
}

// Runs a poppler tool and returns its output.
QString poppler(const QString& tool, const QStringList& arguments) {
  QProcess process;
  process.start(tool, arguments);
  if (!process.waitForFinished(60000)) return QString();
  return QString::fromUtf8(process.readAllStandardOutput());
}

int pdfPages(const QString& path) {
  const QString info = poppler(QStringLiteral("pdfinfo"), {path});
  for (const QString& line : info.split(QLatin1Char('\n'))) {
    if (line.startsWith(QStringLiteral("Pages:"))) return line.mid(6).trimmed().toInt();
  }
  return -1;
}

TEST(PrintReport, APdfHoldsEveryLineOnNumberedPages) {
  QTextDocument report;
  report.setDefaultFont(reportQFont(ReportFont{}));
  QTextCursor cursor(&report);
  for (int i = 1; i <= 300; ++i) {
    QTextCharFormat format;
    format.setForeground(i % 2 ? QColor(42, 42, 255) : QColor(255, 0, 0));
    cursor.insertText(QStringLiteral("LINE_%1 of the report").arg(i, 3, 10, QLatin1Char('0')), format);
    if (i < 300) cursor.insertText(QStringLiteral("\n"));
  }
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("report.pdf"));
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  printer.setPageSize(QPageSize(QPageSize::A4));
  const PrintResult result = printReport(printer, report);
  ASSERT_TRUE(result.printed) << result.message.toStdString();
  EXPECT_TRUE(result.message.isEmpty());
  // 300 lines of 8.5 points on 9 inches of paper need several pages.
  EXPECT_GT(result.pages, 2);
  EXPECT_EQ(pdfPages(path), result.pages);
  const QString text = poppler(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
  for (int i : {1, 150, 300}) {
    EXPECT_TRUE(text.contains(QStringLiteral("LINE_%1 of the report").arg(i, 3, 10, QLatin1Char('0'))))
        << i;
  }
  EXPECT_TRUE(text.contains(QStringLiteral("Page 1 of %1").arg(result.pages)));
  EXPECT_TRUE(text.contains(QStringLiteral("Page %1 of %1").arg(result.pages)));
}

TEST(PrintReport, AnEmptyReportPrintsOnePage) {
  QTextDocument report;
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("empty.pdf"));
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  const PrintResult result = printReport(printer, report);
  EXPECT_TRUE(result.printed);
  EXPECT_EQ(result.pages, 1);
  EXPECT_EQ(pdfPages(path), 1);
}

TEST(PrintReport, AFileThatCannotBeWrittenIsAGeneralPrintingError) {
  QTextDocument report;
  report.setPlainText(QStringLiteral("text"));
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QStringLiteral("/nonexistent-folder/report.pdf"));
  const PrintResult result = printReport(printer, report);
  EXPECT_FALSE(result.printed);
  EXPECT_EQ(result.message, QString::fromLatin1(kPrintGeneralError));
}

TEST(WindowSettings, ASavedPositionIsUsedOnlyOnAScreenThatIsThere) {
  MainWindowSettings saved;
  saved.usePosition = true;
  saved.left = 100;
  saved.top = 80;
  const QList<QRect> one{QRect(0, 0, 1280, 800)};
  EXPECT_EQ(windowPosition(saved, one), QPoint(100, 80));
  // Saved on a second screen that is gone now.
  saved.left = 1900;
  saved.top = 900;
  EXPECT_FALSE(windowPosition(saved, one).has_value());
  EXPECT_EQ(windowPosition(saved, {QRect(0, 0, 1280, 800), QRect(1280, 0, 1920, 1080)}),
            QPoint(1900, 900));
  // The title area must be on the screen, not just the corner.
  saved.left = 1250;
  saved.top = 10;
  EXPECT_FALSE(windowPosition(saved, one).has_value());
  saved.usePosition = false;  // the rules of the settings said no (maximised, out of range)
  saved.left = 100;
  EXPECT_FALSE(windowPosition(saved, one).has_value());
}

TEST(WindowSettings, TheReportFontGoesToTheSettingsAndBack) {
  ReportFont stored;
  const QFont font = reportQFont(stored);
  EXPECT_DOUBLE_EQ(font.pointSizeF(), 8.5);  // 170 twips
  EXPECT_EQ(font.families().value(0), QStringLiteral("Courier New"));
  EXPECT_FALSE(font.bold());

  QFont chosen(QStringLiteral("DejaVu Sans Mono"));
  chosen.setPointSizeF(11);
  chosen.setBold(true);
  const ReportFont kept = reportFontOf(chosen, stored);
  EXPECT_EQ(kept.faceName, "DejaVu Sans Mono");
  EXPECT_EQ(kept.height, 220);
  EXPECT_EQ(kept.effects, stored.effects | 1);  // bold added, the automatic colour kept
  EXPECT_EQ(kept.mask, stored.mask);
  const QFont back = reportQFont(kept);
  EXPECT_TRUE(back.bold());
  EXPECT_FALSE(back.italic());
  EXPECT_DOUBLE_EQ(back.pointSizeF(), 11.0);
  // A face name longer than the stored format holds is cut to 31 characters.
  QFont longName(QString(40, QLatin1Char('F')));
  EXPECT_EQ(reportFontOf(longName, stored).faceName.size(), 31u);
}

}  // namespace
}  // namespace velmora::ui
