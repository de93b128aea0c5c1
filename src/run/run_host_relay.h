// RunHostRelay: the RunHost that the comparers of a run see. It forwards every call to the real
// host and keeps the main window title across Pause: while paused the title stays "Paused -
// Velmora for Oracle" and a title set meanwhile is remembered; Resume shows the remembered one.
// Thread-safe (the worker sets titles while the user thread pauses and resumes).
#pragma once

#include <mutex>
#include <string>

#include "base/run_host.h"

namespace velmora {

class RunHostRelay : public RunHost {
 public:
  explicit RunHostRelay(RunHost& host) : host_(host) {}

  void pauseTitle();   // remember the title, show "Paused - Velmora for Oracle"
  void resumeTitle();  // give back the remembered title
  void endPause();     // forget the pause without restoring (the stopped end sets its own title)
  std::string title() const;

  Answer ask(const std::string& text, Buttons buttons) override { return host_.ask(text, buttons); }
  void setStatus(const std::string& text) override { host_.setStatus(text); }
  void setTitle(const std::string& text) override;
  void setProgressRange(int low, int high) override { host_.setProgressRange(low, high); }
  void setProgressPosition(int position) override { host_.setProgressPosition(position); }
  void stepProgress() override { host_.stepProgress(); }
  void clearObjects() override { host_.clearObjects(); }
  void addObject(const std::string& name) override { host_.addObject(name); }
  void selectObject(const std::string& name) override { host_.selectObject(name); }
  void runStarted() override { host_.runStarted(); }
  void runEnded() override { host_.runEnded(); }
  void reportEnded() override { host_.reportEnded(); }
  void showSaving(int lineCount) override { host_.showSaving(lineCount); }
  void advanceSaving() override { host_.advanceSaving(); }
  void hideSaving() override { host_.hideSaving(); }
  void restoreMainWindow() override { host_.restoreMainWindow(); }
  void quitApplication(int status) override { host_.quitApplication(status); }

 private:
  RunHost& host_;
  mutable std::mutex mutex_;  // guards title_ and paused_, and orders the title calls
  std::string title_;         // the title the run last set
  bool paused_ = false;
};

}  // namespace velmora
