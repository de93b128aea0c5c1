// Running the real programs of the end-to-end suite (velmora-cli, the ocisim tool) as child
// processes, so that the product loads libocisim.so through dlopen exactly as it loads an Oracle
// client. Each call waits for its child; a child that outlives its time limit is killed.
// Not thread-safe with respect to the process environment (children inherit it).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velmora::e2e {

struct ProcessResult {
  int exitCode = -1;  // the child's exit status; -1 when it did not exit normally
  bool timedOut = false;
  std::string out;  // everything it wrote to stdout
  std::string err;  // everything it wrote to stderr

  // The command line and its outputs, for a failure message.
  std::string describe(const std::vector<std::string>& argv) const;
};

// Runs argv[0] with the arguments argv[1...] (no shell), stdout and stderr captured through files
// in `scratch`. Waits at most `timeoutSeconds`, then kills the child.
ProcessResult runProcess(const std::vector<std::string>& argv, const std::filesystem::path& scratch,
                         int timeoutSeconds = 120);

std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& text);

}  // namespace velmora::e2e
