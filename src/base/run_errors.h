// RunErrors: what went wrong during a run, so that the end line, the final message and the exit
// status can say that the run finished with errors instead of reporting success. Comparers record
// the kind of object they could not (completely) compare when they write an error block; the
// report output records a failed write of its file. Owned by the RunDriver; written by the
// worker, read by the front end after the run ended (and by tests). Thread-safe.
#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace velmora {

class RunErrors {
 public:
  // A kind ("tables", "columns", "indexes" ...) that was not (completely) compared.
  void record(const std::string& kind);
  // Writing the report or script file failed (reason: the system's message).
  void recordOutputFailure(const std::string& reason);

  void clear();
  int count() const;
  bool any() const { return count() > 0; }
  // The kinds recorded, each once, in the order first recorded.
  std::vector<std::string> kinds() const;
  bool outputFailed() const;
  std::string outputFailure() const;  // the first reason, "" when none

  // "tables, indexes and constraints": the kinds joined for the report's closing line.
  static std::string joinKinds(const std::vector<std::string>& kinds);

 private:
  mutable std::mutex mutex_;
  int count_ = 0;
  std::vector<std::string> kinds_;
  std::string outputFailure_;
  bool outputFailed_ = false;
};

}  // namespace velmora
