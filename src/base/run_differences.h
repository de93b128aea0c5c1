// RunDifferences: how many differences the comparers of a run found, per kind of object
// ("tables", "columns", "indexes" ...). Each comparer reports a difference when it finds one
// (an object in one database only, an object that differs), so the front end can tell
// "identical" from "different" without reading the report (velmora-cli --exit-code). The script
// of Database 1 compares nothing and reports none. Owned by the run context; written by the
// worker, read by the front end after the run ended. Thread-safe.
#pragma once

#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace velmora {

class RunDifferences {
 public:
  void add(const std::string& kind, int count = 1);
  void clear();

  int total() const;
  bool any() const { return total() > 0; }
  // Each kind once, in the order first reported, with its count.
  std::vector<std::pair<std::string, int>> counts() const;
  // "3 differences (tables 1, columns 2)", or "no differences".
  std::string summary() const;

 private:
  mutable std::mutex mutex_;
  std::vector<std::pair<std::string, int>> counts_;
};

}  // namespace velmora
