#include "ui/gui_host.h"

#include <QCoreApplication>
#include <QThread>

#include "ui/qt_text.h"

namespace velmora::ui {

namespace {


bool onUserThread() {
  const QCoreApplication* application = QCoreApplication::instance();
  return application != nullptr && QThread::currentThread() == application->thread();
}

}  // namespace

Answer unattendedAnswer(Buttons buttons) {
  switch (buttons) {
    case Buttons::Ok:
      return Answer::Ok;
    case Buttons::YesNo:
      return Answer::No;
    case Buttons::YesNoCancel:
      return Answer::Cancel;
  }
  return Answer::Cancel;
}

GuiHost::GuiHost(QObject* parent) : QObject(parent) {}

Answer GuiHost::askHere(const QString& text, Buttons buttons) {
  // Checked again here: the window may have begun to close while the call was queued.
  if (unattended_ || !asker_) return unattendedAnswer(buttons);
  return asker_(text, buttons);
}

Answer GuiHost::ask(const std::string& text, Buttons buttons) {
  const QString message = toQt(text);
  if (unattended_) return unattendedAnswer(buttons);
  if (onUserThread()) return askHere(message, buttons);
  Answer answer = unattendedAnswer(buttons);
  QMetaObject::invokeMethod(
      this, [&] { answer = askHere(message, buttons); }, Qt::BlockingQueuedConnection);
  return answer;
}

void GuiHost::setStatus(const std::string& text) { emit statusChanged(toQt(text)); }
void GuiHost::setTitle(const std::string& text) { emit titleChanged(toQt(text)); }
void GuiHost::setProgressRange(int low, int high) { emit progressRangeChanged(low, high); }
void GuiHost::setProgressPosition(int position) { emit progressPositionChanged(position); }
void GuiHost::stepProgress() { emit progressStepped(); }
void GuiHost::clearObjects() { emit objectsCleared(); }
void GuiHost::addObject(const std::string& name) { emit objectAdded(toQt(name)); }
void GuiHost::selectObject(const std::string& name) { emit objectSelected(toQt(name)); }
void GuiHost::runStarted() { emit runHasStarted(); }
void GuiHost::runEnded() { emit runHasEnded(); }
void GuiHost::showSaving(int lineCount) { emit savingShown(lineCount); }
void GuiHost::advanceSaving() { emit savingAdvanced(); }
void GuiHost::hideSaving() { emit savingHidden(); }
void GuiHost::restoreMainWindow() { emit restoreRequested(); }
void GuiHost::quitApplication(int status) { emit quitRequested(status); }

}  // namespace velmora::ui
