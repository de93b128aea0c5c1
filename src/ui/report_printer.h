// Printing the report: the page geometry of the printer in whole inches with a one-inch margin on
// every side, the report's colours and font, a page number in the bottom margin, and the
// messages of a failed job. Works on any QPrinter, a PDF file included.
#pragma once

#include <QRect>
#include <QString>

class QPrinter;
class QTextDocument;

namespace velmora::ui {

inline constexpr const char* kPrintJobName = "Velmora for Oracle";
inline constexpr const char* kPrintGeneralError =
    "There was a general printing error, please check printer is working properly, connected, on "
    "line etc.";

// The page in twips (1440 per inch) from the printer's resolution in pixels and its pixels per
// inch, each in whole inches (an 8.27 x 11.69 inch page counts as 8 x 11), and the printable
// rectangle one inch in from each edge.
struct PageGeometry {
  int pageWidth = 0;   // twips
  int pageHeight = 0;  // twips
  QRect printable;     // twips
};
PageGeometry pageGeometry(int horizontalPixels, int pixelsPerInchX, int verticalPixels,
                          int pixelsPerInchY);

struct PrintResult {
  bool printed = false;
  int pages = 0;
  QString message;  // the warning to show; empty when printed or cancelled
};

// Prints the whole report (a copy of `report`, in its formats) on the printer as one job named
// "Velmora for Oracle". The printer's dialog, if any, was shown by the caller.
PrintResult printReport(QPrinter& printer, const QTextDocument& report);

}  // namespace velmora::ui
