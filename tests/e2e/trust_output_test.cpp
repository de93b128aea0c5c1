// The real velmora-cli when its output cannot be written or its client library cannot be loaded:
// the failure must reach the exit status and stderr with the system's reason, never a status 0
// with the report quietly sent elsewhere. The runs that get as far as a report compare the demo
// databases, built once for the suite in a temporary folder.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "e2e_process.h"

namespace velmora::e2e {
namespace {

namespace fs = std::filesystem;

constexpr int kExitUsage = 2;
constexpr int kExitOutputFailed = 6;
constexpr int kExitNoClient = 7;

class TrustOutput : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string pattern = (fs::temp_directory_path() / "velmora_e2e_output_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    const std::vector<std::string> build = {VELMORA_CLI_PATH,
                                            "demo",
                                            "--work",
                                            work(),
                                            "--no-progress",
                                            "-o",
                                            (root_ / "first.txt").string()};
    const ProcessResult result = runProcess(build, root_, 300);
    demoBuilt_ = result.exitCode == 0;
    if (!demoBuilt_) buildFailure_ = result.describe(build);
  }
  static void TearDownTestSuite() {
    if (!std::getenv("VELMORA_KEEP_E2E")) fs::remove_all(root_);
  }
  void SetUp() override {
    if (!demoBuilt_) GTEST_FAIL() << "the demo databases were not built\n" << buildFailure_;
  }

  static std::string work() { return (root_ / "demo").string(); }
  // velmora-cli demo on the suite's databases with these arguments added.
  static std::vector<std::string> demo(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv = {VELMORA_CLI_PATH, "demo", "--work", work(), "--no-progress"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return argv;
  }
  static ProcessResult run(const std::vector<std::string>& argv) {
    return runProcess(argv, root_, 120);
  }

  static fs::path root_;
  static bool demoBuilt_;
  static std::string buildFailure_;
};

fs::path TrustOutput::root_;
bool TrustOutput::demoBuilt_ = false;
std::string TrustOutput::buildFailure_;

// A file that cannot be opened ends velmora-cli before the run, with the system's reason: no
// "being written to file" notice, no report on stdout.
TEST_F(TrustOutput, AReportFileThatCannotBeOpenedIsRefusedBeforeTheRun) {
  const struct {
    std::string file;
    std::string reason;
  } cases[] = {
      {(root_ / "nonexistent" / "dir" / "out.txt").string(), "No such file or directory"},
      {root_.string(), "Is a directory"},
  };
  for (const auto& given : cases) {
    for (const char* flag : {"-o", "--autosave"}) {
      const std::vector<std::string> argv = demo({flag, given.file});
      const ProcessResult result = run(argv);
      EXPECT_EQ(result.exitCode, kExitOutputFailed) << result.describe(argv);
      EXPECT_NE(result.err.find("\"" + given.file + "\": " + given.reason), std::string::npos)
          << result.describe(argv);
      EXPECT_EQ(result.out, "") << result.describe(argv);
    }
  }
}

// A write that fails during the run ends it with the failure status and the system's reason.
TEST_F(TrustOutput, AFullReportFileStopsTheRun) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  const std::vector<std::string> only = demo({"-o", "/dev/full"});
  const ProcessResult result = run(only);
  EXPECT_EQ(result.exitCode, kExitOutputFailed) << result.describe(only);
  EXPECT_NE(result.err.find("velmora-cli: could not write the report to /dev/full: No space left "
                            "on device"),
            std::string::npos)
      << result.describe(only);
  EXPECT_NE(result.out.find("Velmora Stopped ..."), std::string::npos) << result.describe(only);

  const std::vector<std::string> autosave =
      demo({"--autosave", "/dev/full", "--autosave-lines", "10"});
  const ProcessResult saved = run(autosave);
  EXPECT_EQ(saved.exitCode, kExitOutputFailed) << saved.describe(autosave);
  EXPECT_NE(saved.err.find("could not auto save the report to /dev/full (write): No space left "
                           "on device"),
            std::string::npos)
      << saved.describe(autosave);
  EXPECT_EQ(saved.err.find("press OK"), std::string::npos) << saved.describe(autosave);
}

// As cat does: stdout that cannot be written is a failure, with the reason on stderr.
TEST_F(TrustOutput, AFullStdoutFailsTheRun) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  std::string command = "exec";
  for (const std::string& argument : demo({})) command += " '" + argument + "'";
  command += " >/dev/full";
  const std::vector<std::string> argv = {"/bin/sh", "-c", command};
  const ProcessResult result = run(argv);
  EXPECT_EQ(result.exitCode, kExitOutputFailed) << result.describe(argv);
  EXPECT_NE(
      result.err.find("velmora-cli: could not write to standard output: No space left on device"),
      std::string::npos)
      << result.describe(argv);

  const std::vector<std::string> help = {
      "/bin/sh", "-c", std::string("exec '") + VELMORA_CLI_PATH + "' --help >/dev/full"};
  const ProcessResult helped = run(help);
  EXPECT_EQ(helped.exitCode, kExitOutputFailed) << helped.describe(help);
}

TEST_F(TrustOutput, OutputAndAutoSaveTogetherAreAUsageError) {
  const std::vector<std::string> argv =
      demo({"-o", (root_ / "a.txt").string(), "--autosave", (root_ / "b.txt").string()});
  const ProcessResult result = run(argv);
  EXPECT_EQ(result.exitCode, kExitUsage) << result.describe(argv);
  EXPECT_NE(result.err.find("--output and --autosave cannot be used together"), std::string::npos)
      << result.describe(argv);
  EXPECT_FALSE(fs::exists(root_ / "a.txt"));
  EXPECT_FALSE(fs::exists(root_ / "b.txt"));
}

// A bad client library names the file and the loader's reason, with Linux advice, and has an exit
// status of its own.
TEST_F(TrustOutput, ABadClientLibraryIsNamedWithTheLoadersReason) {
  const fs::path text = root_ / "libtext.so";
  writeFile(text, std::string(200, '#') + "\nnot a library\n");
  const struct {
    std::string library;
    std::string reason;
  } cases[] = {
      {(root_ / "missing" / "libclntsh.so").string(), "No such file or directory"},
      {text.string(), "invalid ELF header"},
      {root_.string(), "Is a directory"},
  };
  for (const auto& given : cases) {
    const std::vector<std::string> argv = demo({"--oci-library", given.library});
    const ProcessResult result = run(argv);
    EXPECT_EQ(result.exitCode, kExitNoClient) << result.describe(argv);
    EXPECT_NE(
        result.err.find("Could not load the Oracle client library \"" + given.library + "\": "),
        std::string::npos)
        << result.describe(argv);
    EXPECT_NE(result.err.find(given.reason), std::string::npos) << result.describe(argv);
    EXPECT_NE(result.err.find("LD_LIBRARY_PATH"), std::string::npos) << result.describe(argv);
    EXPECT_NE(result.err.find("libclntsh.so"), std::string::npos) << result.describe(argv);
    EXPECT_EQ(result.err.find("'bin' directory"), std::string::npos) << result.describe(argv);
  }
}

}  // namespace
}  // namespace velmora::e2e
