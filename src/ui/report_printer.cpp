#include "ui/report_printer.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>
#include <QTextOption>
#include <memory>

namespace velmora::ui {

namespace {

constexpr int kTwipsPerInch = 1440;

}  // namespace

PageGeometry pageGeometry(int horizontalPixels, int pixelsPerInchX, int verticalPixels,
                          int pixelsPerInchY) {
  PageGeometry geometry;
  if (pixelsPerInchX <= 0 || pixelsPerInchY <= 0) return geometry;
  geometry.pageWidth = horizontalPixels / pixelsPerInchX * kTwipsPerInch;
  geometry.pageHeight = verticalPixels / pixelsPerInchY * kTwipsPerInch;
  geometry.printable = QRect(QPoint(kTwipsPerInch, kTwipsPerInch),
                             QPoint(geometry.pageWidth - kTwipsPerInch - 1,
                                    geometry.pageHeight - kTwipsPerInch - 1));
  return geometry;
}

PrintResult printReport(QPrinter& printer, const QTextDocument& report) {
  PrintResult result;
  printer.setDocName(QString::fromLatin1(kPrintJobName));
  printer.setFullPage(true);
  const int dpiX = printer.logicalDpiX();
  const int dpiY = printer.logicalDpiY();
  const PageGeometry twips = pageGeometry(printer.width(), dpiX, printer.height(), dpiY);
  // The printable rectangle in the printer's pixels.
  const QRectF area(double(twips.printable.left()) * dpiX / kTwipsPerInch,
                    double(twips.printable.top()) * dpiY / kTwipsPerInch,
                    double(twips.printable.width()) * dpiX / kTwipsPerInch,
                    double(twips.printable.height()) * dpiY / kTwipsPerInch);
  if (area.width() <= 0 || area.height() <= 0) {
    result.message = QString::fromLatin1(kPrintGeneralError);
    return result;
  }

  std::unique_ptr<QTextDocument> document(report.clone());
  document->documentLayout()->setPaintDevice(&printer);
  document->setDefaultFont(report.defaultFont());
  document->setDocumentMargin(0);
  // The window shows long lines unwrapped; paper wraps them at the printable width.
  QTextOption wrapping = document->defaultTextOption();
  wrapping.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  document->setDefaultTextOption(wrapping);
  document->setPageSize(area.size());

  QPainter painter;
  if (!painter.begin(&printer)) {
    result.message = QString::fromLatin1(kPrintGeneralError);
    return result;
  }
  const int pages = std::max(1, document->pageCount());
  QFont footerFont = report.defaultFont();
  bool pageStarted = true;
  for (int page = 0; page < pages && pageStarted; ++page) {
    painter.save();
    painter.translate(area.topLeft());
    painter.translate(0, -page * area.height());
    const QRectF clip(0, page * area.height(), area.width(), area.height());
    painter.setClipRect(clip);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = clip;
    document->documentLayout()->draw(&painter, context);
    painter.restore();

    // The page number, centred half an inch below the printable rectangle.
    painter.setFont(footerFont);
    painter.setPen(Qt::black);
    const QRectF footer(area.left(), area.bottom() + dpiY / 4.0, area.width(), dpiY / 2.0);
    painter.drawText(footer, Qt::AlignHCenter | Qt::AlignTop,
                     QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages));
    result.pages = page + 1;
    if (page + 1 < pages) pageStarted = printer.newPage();
  }
  painter.end();
  switch (printer.printerState()) {
    case QPrinter::Aborted:
      result.pages = 0;
      return result;  // cancelled: no message
    case QPrinter::Error:
      result.message = QString::fromLatin1(kPrintGeneralError);
      return result;
    default:
      break;
  }
  if (!pageStarted) {
    result.message = QString::fromLatin1(kPrintGeneralError);
    return result;
  }
  result.printed = true;
  return result;
}

}  // namespace velmora::ui
