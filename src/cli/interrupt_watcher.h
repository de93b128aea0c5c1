// InterruptWatcher: turns Ctrl+C (SIGINT) and SIGTERM into a call on an ordinary thread, so the
// handler may take locks: the signal handler only writes a byte to a pipe that the watcher thread
// reads. One instance at a time; the previous handlers come back when it is destroyed.
#pragma once

#include <signal.h>

#include <functional>
#include <thread>

namespace velmora::cli {

class InterruptWatcher {
 public:
  // onInterrupt gets the number of signals so far (1 for the first Ctrl+C).
  explicit InterruptWatcher(std::function<void(int count)> onInterrupt);
  ~InterruptWatcher();
  InterruptWatcher(const InterruptWatcher&) = delete;
  InterruptWatcher& operator=(const InterruptWatcher&) = delete;

  bool active() const { return thread_.joinable(); }

 private:
  void watch();

  std::function<void(int)> onInterrupt_;
  int pipe_[2] = {-1, -1};
  struct sigaction previousInt_ = {};
  struct sigaction previousTerm_ = {};
  std::thread thread_;
};

}  // namespace velmora::cli
