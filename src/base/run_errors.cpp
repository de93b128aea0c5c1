#include "base/run_errors.h"

#include <algorithm>

namespace velmora {

void RunErrors::record(const std::string& kind) {
  std::lock_guard lock(mutex_);
  ++count_;
  if (!kind.empty() && std::find(kinds_.begin(), kinds_.end(), kind) == kinds_.end())
    kinds_.push_back(kind);
}

void RunErrors::recordOutputFailure(const std::string& reason) {
  std::lock_guard lock(mutex_);
  ++count_;
  if (!outputFailed_) outputFailure_ = reason;
  outputFailed_ = true;
}

void RunErrors::clear() {
  std::lock_guard lock(mutex_);
  count_ = 0;
  kinds_.clear();
  outputFailure_.clear();
  outputFailed_ = false;
}

int RunErrors::count() const {
  std::lock_guard lock(mutex_);
  return count_;
}

std::vector<std::string> RunErrors::kinds() const {
  std::lock_guard lock(mutex_);
  return kinds_;
}

bool RunErrors::outputFailed() const {
  std::lock_guard lock(mutex_);
  return outputFailed_;
}

std::string RunErrors::outputFailure() const {
  std::lock_guard lock(mutex_);
  return outputFailure_;
}

std::string RunErrors::joinKinds(const std::vector<std::string>& kinds) {
  std::string text;
  for (size_t i = 0; i < kinds.size(); ++i) {
    if (i > 0) text += i + 1 == kinds.size() ? " and " : ", ";
    text += kinds[i];
  }
  return text;
}

}  // namespace velmora
