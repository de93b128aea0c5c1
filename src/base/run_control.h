// RunControl: the run state shared by the user thread (Pause, Resume, Skip, Stop) and the run's
// worker (the checkpoint before each object). Lock-free flags; the mutex and condition variable
// only let a paused checkpoint wake at once on Resume or Stop. Stop hooks let whoever owns a
// blocking call of the worker (a database session in a long fetch) cut it short when a stop is
// requested. Owned by the RunDriver.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>

namespace velmora {

// Thrown by the checkpoint when the run was stopped; only the run body catches it, so a stop
// never returns into the comparer. Deliberately not a std::exception: a comparer's
// catch (const std::exception&) must not swallow it. Comparers that catch (...) must rethrow.
class RunStopped {
 private:
  RunStopped() = default;
  friend class RunControl;
};

class RunControl {
 public:
  // Worker: called before each object. Waits while paused; throws RunStopped when the run was
  // stopped (also while paused, without resuming).
  void checkpoint();
  // Worker: inside a long operation (around each database call): throws RunStopped when the run
  // was stopped, without waiting while paused.
  void throwIfStopped() const;

  // User thread.
  void pause() { paused_ = true; }
  void resume();
  // running := 0; a paused checkpoint wakes and ends the run; then the stop hooks run on this
  // thread, so a call the worker is blocked in ends now rather than when it would have finished.
  void requestStop();
  void requestSkip() { skipRequested_ = true; }

  // Worker: skip handling of a phase that allows it.
  bool skipRequested() const { return skipRequested_; }
  void clearSkipRequest() { skipRequested_ = false; }
  bool takeSkipRequest() { return skipRequested_.exchange(false); }  // read and clear
  void setSkipAllowed(bool allowed) { skipAllowed_ = allowed; }

  // Either thread.
  bool running() const { return running_; }
  bool paused() const { return paused_; }
  bool skipAllowed() const { return skipAllowed_; }
  bool stopRequested() const { return !running_; }  // for long fetches between batches

  // Any thread. A hook runs on the thread that requests a stop, after running is cleared: a hook
  // that breaks a call in progress leaves a stop that arrived between two calls to the next
  // throwIfStopped or checkpoint. Remove a hook before what it touches goes away; removal waits
  // for a hook that is running.
  int addStopHook(std::function<void()> hook);
  void removeStopHook(int id);

  // Driver: the start of a run (user thread, before the worker starts) and its end (worker).
  void beginRun();
  void endRun();  // running and paused := 0

 private:
  // Written by the driver at the start (user thread) and end (worker) of a run and by Stop (user
  // thread); read by the worker's checkpoint and by the commands of the user thread.
  std::atomic<bool> running_{false};
  // Written by Pause/Resume (user thread) and cleared by a checkpoint that ends a stopped run
  // (worker); read by both.
  std::atomic<bool> paused_{false};
  // Set by Skip (user thread); cleared by the phase that honours it and at run start (worker).
  std::atomic<bool> skipRequested_{false};
  // Written by the worker around phases that can skip an object; read by the user thread to
  // enable Skip.
  std::atomic<bool> skipAllowed_{false};

  std::mutex wakeMutex_;  // pairs with wake_; guards no data of its own
  std::condition_variable wake_;

  std::mutex hooksMutex_;  // guards hooks_ and nextHookId_; held while the hooks run
  std::map<int, std::function<void()>> hooks_;
  int nextHookId_ = 1;
};

}  // namespace velmora
