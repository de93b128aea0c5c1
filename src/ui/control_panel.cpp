#include "ui/control_panel.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace velmora::ui {

namespace {

QToolButton* pictureButton(QWidget* parent, QStyle::StandardPixmap picture, const QString& name,
                           const QString& tip) {
  auto* button = new QToolButton(parent);
  button->setIcon(parent->style()->standardIcon(picture));
  button->setIconSize(QSize(24, 24));
  button->setObjectName(name);
  button->setToolTip(tip);
  button->setAccessibleName(tip);
  button->setAutoRaise(false);
  return button;
}

}  // namespace

ControlPanel::ControlPanel(QWidget* parent) : QDockWidget(QStringLiteral("Control Panel"), parent) {
  setObjectName(QStringLiteral("controlPanel"));
  setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
              QDockWidget::DockWidgetFloatable);
  auto* body = new QWidget(this);
  auto* frame = new QGroupBox(QStringLiteral("Velmora Controls"), body);
  play_ = pictureButton(frame, QStyle::SP_MediaPlay, QStringLiteral("play"), QStringLiteral("Resume"));
  skip_ = pictureButton(frame, QStyle::SP_MediaSkipForward, QStringLiteral("skip"),
                        QStringLiteral("Skip object"));
  pause_ = pictureButton(frame, QStyle::SP_MediaPause, QStringLiteral("pause"), QStringLiteral("Pause"));
  stop_ = pictureButton(frame, QStyle::SP_MediaStop, QStringLiteral("stop"), QStringLiteral("Stop"));
  auto* buttons = new QHBoxLayout;
  for (QToolButton* button : {play_, skip_, pause_, stop_}) buttons->addWidget(button);
  buttons->addStretch();
  frame->setLayout(buttons);

  auto* label = new QLabel(QStringLiteral("Object being processed:"), body);
  objects_ = new QListWidget(body);
  objects_->setObjectName(QStringLiteral("objects"));
  objects_->setSelectionMode(QAbstractItemView::SingleSelection);
  objects_->setUniformItemSizes(true);
  label->setBuddy(objects_);
  progress_ = new QProgressBar(body);
  progress_->setTextVisible(false);
  status_ = new QLabel(body);
  status_->setObjectName(QStringLiteral("status"));
  status_->setTextFormat(Qt::PlainText);
  close_ = new QPushButton(QStringLiteral("Close"), body);
  help_ = new QPushButton(QStringLiteral("&Help"), body);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch();
  bottom->addWidget(close_);
  bottom->addWidget(help_);

  auto* layout = new QVBoxLayout(body);
  layout->addWidget(frame);
  layout->addWidget(label);
  layout->addWidget(objects_, 1);
  layout->addWidget(progress_);
  layout->addWidget(status_);
  layout->addLayout(bottom);
  setWidget(body);

  connect(play_, &QToolButton::clicked, this, &ControlPanel::resumeClicked);
  connect(skip_, &QToolButton::clicked, this, &ControlPanel::skipClicked);
  connect(pause_, &QToolButton::clicked, this, &ControlPanel::pauseClicked);
  connect(stop_, &QToolButton::clicked, this, &ControlPanel::stopClicked);
  connect(help_, &QPushButton::clicked, this, &ControlPanel::helpClicked);
  connect(close_, &QPushButton::clicked, this, &ControlPanel::closeRequested);
  reset();
}

void ControlPanel::reset() {
  status_->setText(QString::fromLatin1(kInitialStatus));
  objects_->clear();
  lastFound_ = -1;
  progress_->setRange(0, 100);
  progress_->setValue(0);
}

void ControlPanel::setCommandStates(bool resume, bool skip, bool pause, bool stop) {
  play_->setEnabled(resume);
  skip_->setEnabled(skip);
  pause_->setEnabled(pause);
  stop_->setEnabled(stop);
}

void ControlPanel::setStatus(const QString& text) { status_->setText(text); }
QString ControlPanel::status() const { return status_->text(); }

void ControlPanel::setProgressRange(int low, int high) {
  progress_->setRange(low, std::max(low, high));
}
void ControlPanel::setProgressPosition(int position) { progress_->setValue(position); }
void ControlPanel::stepProgress() {
  if (progress_->value() < progress_->maximum()) progress_->setValue(progress_->value() + 1);
}

void ControlPanel::clearObjects() {
  objects_->clear();
  lastFound_ = -1;
}

void ControlPanel::addObject(const QString& name) { objects_->addItem(name); }

void ControlPanel::selectObject(const QString& name) {
  const int count = objects_->count();
  for (int step = 1; step <= count; ++step) {
    const int row = (lastFound_ + step) % count;
    if (objects_->item(row)->text() == name) {
      lastFound_ = row;
      objects_->setCurrentRow(row);
      objects_->scrollToItem(objects_->item(row));
      return;
    }
  }
}

void ControlPanel::closeEvent(QCloseEvent* event) {
  if (closing_) {
    QDockWidget::closeEvent(event);
    return;
  }
  event->ignore();
  emit closeRequested();
}

void ControlPanel::closeForGood() {
  closing_ = true;
  close();
  closing_ = false;
}

}  // namespace velmora::ui
