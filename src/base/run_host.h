// RunHost: everything a run needs from whoever shows it (the Qt GUI, the command line, or a test
// recorder). The core calls it from the thread that starts runs, from the worker thread of a run
// and from the thread of a connect under way; implementations marshal the calls to their own
// thread. ask() blocks until answered. comparison/comparison.h states the contract a front end
// keeps so that answering on its own thread never deadlocks.
#pragma once

#include <string>
#include <vector>

namespace velmora {

enum class Answer { Ok, Cancel, Yes, No };

enum class Buttons {
  Ok,           // a message: the answer is Ok
  YesNo,        // a question
  YesNoCancel,  // a question that may be cancelled
};

class RunHost {
 public:
  virtual ~RunHost() = default;

  // Modal message or question with the system's exact text. A host that cannot ask (an
  // unattended command line) answers with its configured default or No/Cancel.
  virtual Answer ask(const std::string& text, Buttons buttons) = 0;

  // Control panel and main window.
  virtual void setStatus(const std::string& text) = 0;  // status line, "... ..." form
  virtual void setTitle(const std::string& text) = 0;   // main window title
  virtual void setProgressRange(int low, int high) = 0;
  virtual void setProgressPosition(int position) = 0;
  virtual void stepProgress() = 0;                         // advance by the step (1)
  virtual void clearObjects() = 0;                         // empty the object list
  virtual void addObject(const std::string& name) = 0;     // append to the object list
  virtual void selectObject(const std::string& name) = 0;  // exact search from the last found

  // A run's worker has started / ended (finished or stopped); the GUI refreshes its commands
  // (the one-second command refresh of a run). Called on the worker; must not wait for the user
  // thread (which may be joining the worker).
  virtual void runStarted() {}
  virtual void runEnded() {}
  // The run wrote the last line of its report (its end line or the stopped line); the final
  // message follows. A front end that streams the report ends its last line here.
  virtual void reportEnded() {}

  // The modeless "Saving..." window ("Saving report to file..." with a progress bar over the
  // lines) shown while the report is flushed or saved.
  virtual void showSaving(int /*lineCount*/) {}
  virtual void advanceSaving() {}
  virtual void hideSaving() {}

  // A run started from the command line: restore the minimized main window at its end, or end
  // the application with a status (after a report written only to a file).
  virtual void restoreMainWindow() {}
  virtual void quitApplication(int /*status*/) {}
};

}  // namespace velmora
