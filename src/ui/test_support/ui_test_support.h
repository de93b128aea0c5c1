// Helpers of the desktop application's tests: waiting with the event loop running, and an asker
// that answers the message boxes from a script and records them.
#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QTimer>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QThread>
#include <deque>
#include <functional>

#include "base/run_host.h"

namespace velmora::ui::test {

// Serves events until `done` holds or the time is up; returns whether it holds.
inline bool waitUntil(const std::function<bool()>& done, int milliseconds = 20000) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > milliseconds) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(1);
  }
  return true;
}

// Serves events for the given time.
inline void serve(int milliseconds) {
  QElapsedTimer timer;
  timer.start();
  waitUntil([&] { return timer.elapsed() >= milliseconds; }, milliseconds + 1000);
}

// Answers questions in order (then Ok for messages, No otherwise) and records every text and
// whether it was asked on the user-interface thread.
struct ScriptedAsker {
  std::deque<Answer> answers;
  QStringList texts;
  bool allOnUserThread = true;

  Answer operator()(const QString& text, Buttons buttons) {
    texts << text;
    if (QThread::currentThread() != QCoreApplication::instance()->thread()) allOnUserThread = false;
    if (!answers.empty()) {
      const Answer answer = answers.front();
      answers.pop_front();
      return answer;
    }
    return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
  }
};

// Closes every message box a dialog shows by itself (not through the host), recording its text,
// so that a test never waits for a user.
class MessageBoxCatcher {
 public:
  MessageBoxCatcher() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box != nullptr && box->isVisible()) {
          texts << box->text();
          box->done(QMessageBox::Ok);
        }
      }
    });
    timer_.start(5);
  }
  QStringList texts;

 private:
  QTimer timer_;
};

}  // namespace velmora::ui::test
