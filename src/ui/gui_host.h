// GuiHost: the RunHost of the desktop application. A run's worker and a connect thread call it
// on their own threads; every call reaches the windows on the user-interface thread as a signal
// (queued across threads). ask() shows its message box on the user-interface thread: directly
// when called there, otherwise by a blocking queued call. Once the window is closing, questions
// are answered at once (Ok, No or Cancel) without the user, so that the user-interface thread can
// wait for the worker to end without a deadlock (see comparison/comparison.h).
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>

#include "base/run_host.h"

namespace velmora::ui {

inline constexpr const char* kApplicationName = "Velmora for Oracle";

// The answer of a question nobody may be asked: Ok for a message, No for a question, Cancel
// when the question can be cancelled.
Answer unattendedAnswer(Buttons buttons);

class GuiHost : public QObject, public RunHost {
  Q_OBJECT

 public:
  // Shows a message box and returns the answer; runs on the user-interface thread.
  using Asker = std::function<Answer(const QString& text, Buttons buttons)>;

  explicit GuiHost(QObject* parent = nullptr);

  void setAsker(Asker asker) { asker_ = std::move(asker); }
  // From now on every question gets its unattended answer (the window closes, or the run was
  // started for a screenshot or a print with nobody to answer).
  void answerUnattended(bool on) { unattended_ = on; }
  bool unattended() const { return unattended_; }

  Answer ask(const std::string& text, Buttons buttons) override;
  void setStatus(const std::string& text) override;
  void setTitle(const std::string& text) override;
  void setProgressRange(int low, int high) override;
  void setProgressPosition(int position) override;
  void stepProgress() override;
  void clearObjects() override;
  void addObject(const std::string& name) override;
  void selectObject(const std::string& name) override;
  void runStarted() override;
  void runEnded() override;
  void showSaving(int lineCount) override;
  void advanceSaving() override;
  void hideSaving() override;
  void restoreMainWindow() override;
  void quitApplication(int status) override;

 signals:
  void statusChanged(const QString& text);
  void titleChanged(const QString& text);
  void progressRangeChanged(int low, int high);
  void progressPositionChanged(int position);
  void progressStepped();
  void objectsCleared();
  void objectAdded(const QString& name);
  void objectSelected(const QString& name);
  void runHasStarted();
  void runHasEnded();
  void savingShown(int lineCount);
  void savingAdvanced();
  void savingHidden();
  void restoreRequested();
  void quitRequested(int status);

 private:
  Answer askHere(const QString& text, Buttons buttons);

  Asker asker_;
  std::atomic<bool> unattended_{false};
};

}  // namespace velmora::ui
