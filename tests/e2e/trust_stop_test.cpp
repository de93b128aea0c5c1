// Stopping velmora-cli from outside, as a user or the system does: Ctrl+C, SIGTERM and SIGHUP in
// the middle of a slow table listing (OCISIM_FAULTS fetch_delay_ms) and while connecting. The
// child runs on its own so the test can watch it and signal it; its state is read from /proc
// (which signals it catches, how many threads it runs).
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "e2e_process.h"

namespace velmora::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int kTables = 400;
// As velmora-cli writes it: LF line ends, and a line end after the last line.
constexpr const char* kStoppedLine = "\n\nVelmora Stopped ...\n";

// A velmora-cli started in the background with its own OCISIM_FAULTS; killed if a test leaves it.
class Child {
 public:
  Child(const std::vector<std::string>& argv, const std::string& faults, const fs::path& scratch)
      : outPath_(scratch / "cli.out"), errPath_(scratch / "cli.err") {
    pid_ = ::fork();
    if (pid_ != 0) return;
    ::setenv("OCISIM_FAULTS", faults.c_str(), 1);
    if (!std::freopen("/dev/null", "r", stdin) || !std::freopen(outPath_.c_str(), "w", stdout) ||
        !std::freopen(errPath_.c_str(), "w", stderr))
      ::_exit(126);
    std::vector<char*> args;
    for (const std::string& argument : argv) args.push_back(const_cast<char*>(argument.c_str()));
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  ~Child() {
    if (pid_ > 0 && !exited_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  pid_t pid() const { return pid_; }

  // The signals the child has handlers for, as /proc shows them.
  bool catches(int signal) const {
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    std::string line;
    while (std::getline(status, line)) {
      if (line.rfind("SigCgt:", 0) != 0) continue;
      const unsigned long long mask = std::stoull(line.substr(7), nullptr, 16);
      return (mask >> (signal - 1)) & 1ULL;
    }
    return false;
  }
  int threads() const {
    std::error_code error;
    int count = 0;
    for (fs::directory_iterator it("/proc/" + std::to_string(pid_) + "/task", error), end;
         !error && it != end; it.increment(error))
      ++count;
    return count;
  }
  bool running() {
    if (exited_) return false;
    if (::waitpid(pid_, &status_, WNOHANG) == pid_) exited_ = true;
    return !exited_;
  }
  // Waits for the child to end (at most `limit`); false when it did not.
  bool waitForExit(std::chrono::seconds limit) {
    const auto deadline = Clock::now() + limit;
    while (running()) {
      if (Clock::now() > deadline) return false;
      std::this_thread::sleep_for(10ms);
    }
    return true;
  }
  // "exit status N" or "killed by signal N".
  std::string ending() const {
    if (!exited_) return "still running";
    if (WIFEXITED(status_)) return "exit status " + std::to_string(WEXITSTATUS(status_));
    if (WIFSIGNALED(status_)) return "killed by signal " + std::to_string(WTERMSIG(status_));
    return "ended oddly";
  }
  std::string out() const { return readFile(outPath_); }
  std::string err() const { return readFile(errPath_); }

 private:
  fs::path outPath_, errPath_;
  pid_t pid_ = -1;
  int status_ = 0;
  bool exited_ = false;
};

// Waits until `condition` holds, at most `limit`.
bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  while (!condition()) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

// Two equal databases of kTables tables each, made once with the ocisim tool.
class TrustStop : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string pattern = (fs::temp_directory_path() / "velmora-stop-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    writeFile(root_ / "users.sql",
              "CREATE USER app IDENTIFIED BY app;\nGRANT CONNECT, RESOURCE TO app;\n");
    std::string tables;
    for (int i = 0; i < kTables; ++i)
      tables += "CREATE TABLE t" + std::to_string(1000 + i) + " (id NUMBER, name VARCHAR2(30));\n";
    writeFile(root_ / "tables.sql", tables);
    const fs::path db1 = root_ / "db1";
    for (const std::vector<std::string>& step :
         {std::vector<std::string>{"create", db1.string(), "--name", "db1"},
          {"run", db1.string(), "-u", "system/manager", "@" + (root_ / "users.sql").string()},
          {"run", db1.string(), "-u", "app/app", "@" + (root_ / "tables.sql").string()}}) {
      std::vector<std::string> argv = {OCISIM_TOOL_PATH};
      argv.insert(argv.end(), step.begin(), step.end());
      const ProcessResult result = runProcess(argv, root_);
      ASSERT_EQ(result.exitCode, 0) << result.describe(argv);
    }
    fs::copy(db1, root_ / "db2", fs::copy_options::recursive);
  }
  static void TearDownTestSuite() {
    std::error_code ignored;
    if (!root_.empty()) fs::remove_all(root_, ignored);
  }
  void SetUp() override {
    ASSERT_FALSE(root_.empty());
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    for (char& c : name)
      if (c == '/') c = '_';
    scratch_ = root_ / name;
    fs::create_directories(scratch_);
    ::setenv("OCISIM_HOME", root_.c_str(), 1);
  }

  // An upgrade run of db1 against db2; the script goes to `output`, or to stdout when empty.
  static std::vector<std::string> cli(const fs::path& output) {
    std::vector<std::string> argv = {
        VELMORA_CLI_PATH, "run",     "--oci-library", OCISIM_LIBRARY_PATH, "--mode",
        "upgrade",        "--color", "never",         "--no-progress",     "--db1",
        "app/app@db1",    "--db2",   "app/app@db2"};
    if (!output.empty()) argv.insert(argv.end(), {"--output", output.string()});
    return argv;
  }

  static fs::path root_;
  fs::path scratch_;
};

fs::path TrustStop::root_;

class TrustStopSignals : public TrustStop, public ::testing::WithParamInterface<int> {};

// 2 x 80 fetches of 5 names at 150 ms each: the listing alone takes about 24 s. A stop must
// break the fetch in progress, end with the stopped line in the closed output file, no error
// block and no statement, and exit with 128 + the signal, within seconds.
TEST_P(TrustStopSignals, StopsTheRunWithinSeconds) {
  const int signal = GetParam();
  const fs::path output = scratch_ / "upgrade.sql";
  Child child(cli(output), "fetch_delay_ms=150", scratch_);
  ASSERT_GT(child.pid(), 0);
  // The run's worker is the third thread (after the main thread and the signal watcher): from
  // then on the tables are being listed.
  ASSERT_TRUE(waitUntil([&] { return !child.running() || child.threads() >= 3; }, 60s))
      << child.err();
  ASSERT_TRUE(child.running()) << child.ending() << "\n" << child.err();
  std::this_thread::sleep_for(500ms);
  ASSERT_EQ(::kill(child.pid(), signal), 0);
  const auto signalled = Clock::now();
  ASSERT_TRUE(child.waitForExit(120s));
  const auto took = Clock::now() - signalled;

  EXPECT_EQ(child.ending(), "exit status " + std::to_string(128 + signal)) << child.err();
  EXPECT_LT(took, 10s) << "the stop waited for the listing";
  const std::string script = readFile(output);
  EXPECT_TRUE(script.ends_with(kStoppedLine)) << script;
  EXPECT_EQ(script.find("error ocurred"), std::string::npos) << script;
  EXPECT_EQ(script.find("ORA-01013"), std::string::npos) << script;
  EXPECT_EQ(script.find("DROP "), std::string::npos) << script;
  EXPECT_EQ(script.find("CREATE "), std::string::npos) << script;
  EXPECT_NE(child.err().find("stopping the run"), std::string::npos) << child.err();
}

INSTANTIATE_TEST_SUITE_P(Signals, TrustStopSignals, ::testing::Values(SIGINT, SIGTERM, SIGHUP),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::string(info.param == SIGINT    ? "SIGINT"
                                              : info.param == SIGTERM ? "SIGTERM"
                                                                      : "SIGHUP");
                         });

// Ctrl+C while the databases are being connected (each connect query waits 1 s): the command
// ends with the interrupted status and the stopped line, not killed by the signal, and no run
// starts.
TEST_F(TrustStop, CtrlCWhileConnectingEndsCleanly) {
  Child child(cli(""), "fetch_delay_ms=1000", scratch_);  // the stopped line goes to stdout
  ASSERT_GT(child.pid(), 0);
  // A product that handles Ctrl+C while connecting has its handler in place at once.
  waitUntil([&] { return !child.running() || child.catches(SIGINT); }, 3s);
  ASSERT_TRUE(child.running()) << child.ending() << "\n" << child.err();
  ASSERT_EQ(::kill(child.pid(), SIGINT), 0);
  ASSERT_TRUE(child.waitForExit(120s));

  EXPECT_EQ(child.ending(), "exit status 130") << child.err();
  EXPECT_TRUE(child.out().ends_with(kStoppedLine)) << child.out();
  EXPECT_EQ(child.out().find("DATABASE 1:"), std::string::npos) << child.out();
  EXPECT_EQ(child.err().find("could not connect"), std::string::npos) << child.err();
}

}  // namespace
}  // namespace velmora::e2e
