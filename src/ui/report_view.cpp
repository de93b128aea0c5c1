#include "ui/report_view.h"

#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include "base/report_colour.h"

namespace velmora::ui {

namespace {

constexpr int kBatchMilliseconds = 40;  // the longest the view spends applying changes at once
constexpr ReportColour kColours[] = {ReportColour::Blue,  ReportColour::Red,
                                     ReportColour::Green, ReportColour::Black,
                                     ReportColour::Maroon, ReportColour::White};

}  // namespace

QColor qtColour(ReportColour colour) {
  const Rgb rgb = rgbOf(colour);
  return QColor(rgb.r, rgb.g, rgb.b);
}

QString DisplayTextConverter::convert(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\n' && lastWasCr_) {
      lastWasCr_ = false;  // the second half of a "\r\n" whose "\r" is already a break
      continue;
    }
    lastWasCr_ = c == '\r';
    out.push_back(c == '\r' ? '\n' : c);
  }
  return decoder_.decode(QByteArrayView(out.data(), qsizetype(out.size())));
}

void DisplayTextConverter::reset() {
  decoder_.resetState();
  lastWasCr_ = false;
}

int displayPosition(std::string_view text, size_t offset) {
  DisplayTextConverter converter;
  return int(converter.convert(text.substr(0, std::min(offset, text.size()))).size());
}

ReportView::ReportView(QWidget* parent) : QPlainTextEdit(parent) {
  setReadOnly(true);
  setUndoRedoEnabled(false);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  QPalette colours = palette();
  colours.setColor(QPalette::Base, Qt::white);
  colours.setColor(QPalette::Text, Qt::black);
  setPalette(colours);
  for (ReportColour colour : kColours) {
    for (int underline = 0; underline < 2; ++underline) {
      QTextCharFormat& format = formats_[int(colour)][underline];
      format.setForeground(qtColour(colour));
      format.setFontUnderline(underline != 0);
    }
  }
}

ReportView::~ReportView() { detach(); }

void ReportView::attach(ReportDocument& report) {
  detach();
  document_ = &report;
  clear();
  converter_.reset();
  // Attached while no run writes: the present text, then every change from now on.
  const ReportSnapshot snapshot = report.snapshot();
  observer_ = report.addObserver([this](const ReportDocument::Change& change) { queue(change); });
  QTextCursor cursor(document());
  for (const ReportRun& run : snapshot.runs) {
    applyChange(cursor, {ReportDocument::ChangeKind::Appended,
                         snapshot.text.substr(run.start, run.length), run.colour, run.underline});
  }
}

void ReportView::detach() {
  if (document_ != nullptr) {
    document_->removeObserver(observer_);
    document_ = nullptr;
  }
  std::lock_guard lock(mutex_);
  pending_.clear();
}

void ReportView::queue(const ReportDocument::Change& change) {
  bool schedule = false;
  {
    std::lock_guard lock(mutex_);
    pending_.push_back(change);
    schedule = !scheduled_;
    scheduled_ = true;
  }
  if (schedule) QMetaObject::invokeMethod(this, [this] { applySome(); }, Qt::QueuedConnection);
}

void ReportView::applySome() {
  QElapsedTimer timer;
  timer.start();
  QScrollBar* bar = verticalScrollBar();
  const bool atEnd = bar->value() >= bar->maximum() - 1;
  bool more = true;
  while (more && timer.elapsed() < kBatchMilliseconds) {
    std::deque<ReportDocument::Change> batch;
    {
      std::lock_guard lock(mutex_);
      const size_t take = std::min<size_t>(pending_.size(), 2000);
      batch.insert(batch.end(), std::make_move_iterator(pending_.begin()),
                   std::make_move_iterator(pending_.begin() + std::ptrdiff_t(take)));
      pending_.erase(pending_.begin(), pending_.begin() + std::ptrdiff_t(take));
      more = !pending_.empty();
      if (!more) scheduled_ = false;
    }
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    for (const ReportDocument::Change& change : batch) applyChange(cursor, change);
    cursor.endEditBlock();
  }
  if (atEnd) bar->setValue(bar->maximum());
  // What is left waits for the next turn of the event loop, after input and painting.
  if (more) QMetaObject::invokeMethod(this, [this] { applySome(); }, Qt::QueuedConnection);
  emit changesApplied();
}

void ReportView::applyPending() {
  for (;;) {
    std::deque<ReportDocument::Change> batch;
    {
      std::lock_guard lock(mutex_);
      batch.swap(pending_);
      if (batch.empty()) break;
    }
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    for (const ReportDocument::Change& change : batch) applyChange(cursor, change);
  }
  emit changesApplied();
}

// The cursor stays at the end of the text.
void ReportView::applyChange(QTextCursor& cursor, const ReportDocument::Change& change) {
  if (change.kind == ReportDocument::ChangeKind::Cleared) {
    QTextCursor all(document());
    all.select(QTextCursor::Document);
    all.removeSelectedText();
    converter_.reset();
    cursor.movePosition(QTextCursor::End);
    return;
  }
  const QString text = converter_.convert(change.text);
  if (text.isEmpty()) return;
  cursor.insertText(text, formats_[int(change.colour)][change.underline ? 1 : 0]);
}

void ReportView::setReportFont(const QFont& font) {
  setFont(font);
  document()->setDefaultFont(font);
  setTabStopDistance(QFontMetricsF(font).horizontalAdvance(QLatin1Char(' ')) * 8);
}

void ReportView::selectDocumentRange(size_t start, size_t length) {
  applyPending();
  if (document_ == nullptr) return;
  const std::string text = document_->text();
  const int from = displayPosition(text, start);
  const int to = displayPosition(text, start + length);
  QTextCursor cursor(document());
  cursor.setPosition(from);
  cursor.setPosition(to, QTextCursor::KeepAnchor);
  setTextCursor(cursor);
  ensureCursorVisible();
}

}  // namespace velmora::ui
