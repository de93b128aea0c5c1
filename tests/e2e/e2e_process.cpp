#include "e2e_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace velmora::e2e {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void writeFile(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string ProcessResult::describe(const std::vector<std::string>& argv) const {
  std::string text = "command:";
  for (const std::string& argument : argv) text += " '" + argument + "'";
  text += timedOut ? "\nkilled after its time limit" : "\nexit status " + std::to_string(exitCode);
  text += "\n--- stdout ---\n" + out + "\n--- stderr ---\n" + err;
  return text;
}

namespace {

// Runs in the forked child only: redirect, then exec; never returns.
[[noreturn]] void execChild(const std::vector<std::string>& argv, const fs::path& outPath,
                            const fs::path& errPath) {
  const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const int in = ::open("/dev/null", O_RDONLY);
  if (out < 0 || err < 0 || in < 0) ::_exit(126);
  ::dup2(in, STDIN_FILENO);
  ::dup2(out, STDOUT_FILENO);
  ::dup2(err, STDERR_FILENO);
  std::vector<char*> args;
  for (const std::string& argument : argv) args.push_back(const_cast<char*>(argument.c_str()));
  args.push_back(nullptr);
  ::execv(args[0], args.data());
  ::_exit(127);
}

}  // namespace

ProcessResult runProcess(const std::vector<std::string>& argv, const fs::path& scratch,
                         int timeoutSeconds) {
  static int counter = 0;
  const std::string stem = "process" + std::to_string(++counter);
  const fs::path outPath = scratch / (stem + ".out");
  const fs::path errPath = scratch / (stem + ".err");
  ProcessResult result;
  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) execChild(argv, outPath, errPath);

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  int status = 0;
  for (;;) {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0) throw std::runtime_error("waitpid failed");
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      result.timedOut = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (!result.timedOut && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  result.out = readFile(outPath);
  result.err = readFile(errPath);
  fs::remove(outPath);
  fs::remove(errPath);
  return result;
}

}  // namespace velmora::e2e
