#include "base/run_differences.h"

namespace velmora {

void RunDifferences::add(const std::string& kind, int count) {
  if (count <= 0) return;
  std::lock_guard lock(mutex_);
  for (auto& [name, n] : counts_) {
    if (name == kind) {
      n += count;
      return;
    }
  }
  counts_.emplace_back(kind, count);
}

void RunDifferences::clear() {
  std::lock_guard lock(mutex_);
  counts_.clear();
}

int RunDifferences::total() const {
  std::lock_guard lock(mutex_);
  int sum = 0;
  for (const auto& entry : counts_) sum += entry.second;
  return sum;
}

std::vector<std::pair<std::string, int>> RunDifferences::counts() const {
  std::lock_guard lock(mutex_);
  return counts_;
}

std::string RunDifferences::summary() const {
  const std::vector<std::pair<std::string, int>> all = counts();
  int sum = 0;
  std::string kinds;
  for (const auto& [kind, n] : all) {
    sum += n;
    kinds += (kinds.empty() ? "" : ", ") + kind + " " + std::to_string(n);
  }
  if (sum == 0) return "no differences";
  return std::to_string(sum) + (sum == 1 ? " difference (" : " differences (") + kinds + ")";
}

}  // namespace velmora
