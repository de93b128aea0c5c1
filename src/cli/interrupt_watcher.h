// InterruptWatcher: turns Ctrl+C (SIGINT), SIGTERM and SIGHUP into a call on an ordinary thread,
// so the handler may take locks: the signal handler only writes the signal's number to a pipe
// that the watcher thread reads. One instance at a time; the previous handlers come back when it
// is destroyed.
#pragma once

#include <signal.h>

#include <functional>
#include <thread>

namespace velmora::cli {

class InterruptWatcher {
 public:
  // onSignal gets the number of signals so far (1 for the first Ctrl+C) and the signal.
  explicit InterruptWatcher(std::function<void(int count, int signal)> onSignal);
  explicit InterruptWatcher(std::function<void(int count)> onInterrupt);
  ~InterruptWatcher();
  InterruptWatcher(const InterruptWatcher&) = delete;
  InterruptWatcher& operator=(const InterruptWatcher&) = delete;

  bool active() const { return thread_.joinable(); }

  // The signals watched.
  static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
  static constexpr int kSignalCount = sizeof kSignals / sizeof kSignals[0];

 private:
  void watch();

  std::function<void(int, int)> onSignal_;
  int pipe_[2] = {-1, -1};
  struct sigaction previous_[kSignalCount] = {};
  std::thread thread_;
};

}  // namespace velmora::cli
