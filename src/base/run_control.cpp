#include "base/run_control.h"

#include <chrono>

namespace velmora {

void RunControl::checkpoint() {
  if (paused_) {
    std::unique_lock lock(wakeMutex_);
    // The timeout is only a safety net: Resume and Stop notify under the mutex.
    while (paused_ && running_) wake_.wait_for(lock, std::chrono::milliseconds(100));
    if (!running_) {
      paused_ = false;
      throw RunStopped();
    }
  }
  if (!running_) throw RunStopped();
}

void RunControl::throwIfStopped() const {
  if (!running_) throw RunStopped();
}

void RunControl::resume() {
  {
    std::lock_guard lock(wakeMutex_);
    paused_ = false;
  }
  wake_.notify_all();
}

void RunControl::requestStop() {
  {
    std::lock_guard lock(wakeMutex_);
    running_ = false;
  }
  wake_.notify_all();
  std::lock_guard lock(hooksMutex_);
  for (auto& [id, hook] : hooks_) hook();
}

int RunControl::addStopHook(std::function<void()> hook) {
  std::lock_guard lock(hooksMutex_);
  const int id = nextHookId_++;
  hooks_.emplace(id, std::move(hook));
  return id;
}

void RunControl::removeStopHook(int id) {
  std::lock_guard lock(hooksMutex_);
  hooks_.erase(id);
}

void RunControl::beginRun() {
  paused_ = false;
  skipRequested_ = false;
  skipAllowed_ = false;
  running_ = true;
}

void RunControl::endRun() {
  {
    std::lock_guard lock(wakeMutex_);
    running_ = false;
    paused_ = false;
  }
  wake_.notify_all();
}

}  // namespace velmora
