// ReportView: the report window. Shows a ReportDocument with its colours and underlines in the
// report font, growing while a run writes: the document's observer (on the worker's thread) only
// queues each change; the user-interface thread applies what is queued in batches of bounded
// time, so a fast run never freezes the window, and keeps the view at the end while the user has
// not scrolled away. Line ends are shown as paragraphs ("\r\n" is one break even when a write ends
// between "\r" and "\n"), so a position in the document maps onto the view (selectDocumentRange).
#pragma once

#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QTextCharFormat>
#include <QTextCursor>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>

#include "base/report_document.h"

namespace velmora::ui {

QColor qtColour(ReportColour colour);

// Turns document text into the text the view shows: "\r\n", a lone "\r" and a lone "\n" each
// become one "\n". Keeps what it needs across calls, so a text cut anywhere (between "\r" and
// "\n", inside a UTF-8 sequence) gives the same result as the whole text.
class DisplayTextConverter {
 public:
  QString convert(std::string_view text);
  void reset();

 private:
  QStringDecoder decoder_{QStringDecoder::Utf8};
  bool lastWasCr_ = false;
};

// The position in the view of byte `offset` of the document text `text`.
int displayPosition(std::string_view text, size_t offset);

class ReportView : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit ReportView(QWidget* parent = nullptr);
  ~ReportView() override;

  // Shows this document: its present text, then every change. Attach while no run writes it;
  // detach before it is destroyed.
  void attach(ReportDocument& document);
  void detach();

  // Applies every queued change now (tests, Find, saving a picture).
  void applyPending();
  // The font of the report; tabs stay eight columns wide in it.
  void setReportFont(const QFont& font);
  // Selects the document's bytes [start, start + length) and scrolls to them.
  void selectDocumentRange(size_t start, size_t length);

 signals:
  void changesApplied();

 private:
  void queue(const ReportDocument::Change& change);
  void applySome();
  void applyChange(QTextCursor& cursor, const ReportDocument::Change& change);

  ReportDocument* document_ = nullptr;
  int observer_ = 0;
  std::mutex mutex_;  // guards pending_ and scheduled_
  std::deque<ReportDocument::Change> pending_;
  bool scheduled_ = false;
  DisplayTextConverter converter_;
  QTextCharFormat formats_[6][2];  // by colour and underline
};

}  // namespace velmora::ui
