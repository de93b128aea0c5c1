#include "cli/cli_app.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace velmora::cli {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// No phase is registered in these tests, so every kind switched on by default is named as not
// compared.
// The start and the end line of a report as the command line writes it by default (LF line
// ends) and with --crlf; between them, the kinds this build cannot compare yet.
constexpr const char* kEmptyReport =
    "< DATABASE 1:  \n> DATABASE 2:  \n\nSwitched on but not compared (not available in "
    "this version): ";
constexpr const char* kEmptyReportCrLf =
    "< DATABASE 1:  \r\n> DATABASE 2:  \r\n\r\nSwitched on but not compared (not available in "
    "this version): ";
constexpr const char* kEndLine = "--- End of Velmora for Oracle --- Elapsed Time: ";

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

class CliAppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = ::testing::TempDir() + "velmora_cli_XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    env_.allowRunWithoutDatabases = true;  // these tests are about the report's plumbing
  }
  void TearDown() override { fs::remove_all(dir_); }

  int run(std::initializer_list<std::string> arguments) {
    out_.str("");
    err_.str("");
    return runCli(arguments, env_);
  }

  fs::path dir_;
  std::ostringstream out_, err_;
  CliEnvironment env_{out_, err_};
};

TEST_F(CliAppTest, HelpVersionAndUsageErrors) {
  EXPECT_EQ(run({"--help"}), kExitFinished);
  EXPECT_NE(out_.str().find("velmora-cli run [options]"), std::string::npos);
  EXPECT_EQ(run({"--version"}), kExitFinished);
  EXPECT_EQ(out_.str().rfind("velmora-cli ", 0), 0u);
  EXPECT_EQ(run({"run", "--set", "b_DoNothing=1"}), kExitUsage);
  EXPECT_EQ(err_.str(),
            "velmora-cli: Unknown option key \"b_DoNothing\"\nTry 'velmora-cli --help' for more "
            "information.\n");
  EXPECT_EQ(out_.str(), "");
  EXPECT_EQ(run({}), kExitUsage);
}

// A pipe or a file gets LF line ends (--crlf: the report's CR LF), no colour codes, and a line
// end after the end line, so the finished message never runs into it.
TEST_F(CliAppTest, PlainReportHasLineFeedsAndEndsItsLastLine) {
  EXPECT_EQ(run({"run"}), kExitFinished);
  EXPECT_EQ(out_.str().rfind(kEmptyReport, 0), 0u) << out_.str();
  EXPECT_EQ(out_.str().find('\r'), std::string::npos);
  EXPECT_TRUE(out_.str().ends_with(" ---\n"));
  EXPECT_NE(out_.str().find(std::string("\n\n") + kEndLine), std::string::npos);
  EXPECT_EQ(out_.str().find('\x1b'), std::string::npos);
  EXPECT_EQ(err_.str(), "Velmora for Oracle has finished comparing the databases\n");

  EXPECT_EQ(run({"run", "--crlf"}), kExitFinished);
  EXPECT_EQ(out_.str().rfind(kEmptyReportCrLf, 0), 0u) << out_.str();
  EXPECT_TRUE(out_.str().ends_with(" ---\r\n"));
  EXPECT_NE(out_.str().find(std::string("\r\n\r\n") + kEndLine), std::string::npos);
}

TEST_F(CliAppTest, TerminalGetsColoursAndLineFeeds) {
  env_.outIsTerminal = true;
  EXPECT_EQ(run({"run", "--no-progress"}), kExitFinished);
  const std::string text = out_.str();
  EXPECT_EQ(text.find('\r'), std::string::npos);
  EXPECT_NE(text.find("\x1b[35m"), std::string::npos);  // the maroon end line
  EXPECT_NE(text.find("< DATABASE 1:  \n"), std::string::npos);
  EXPECT_TRUE(text.ends_with("\x1b[0m\n"));

  EXPECT_EQ(run({"run", "--color", "never"}), kExitFinished);
  EXPECT_EQ(out_.str().find('\x1b'), std::string::npos);
  env_.noColour = true;
  EXPECT_EQ(run({"run"}), kExitFinished);
  EXPECT_EQ(out_.str().find('\x1b'), std::string::npos);
}

TEST_F(CliAppTest, OutputFileHasLineFeedsOrCrLfAndTheScreenGetsTheNotice) {
  const fs::path file = dir_ / "report.txt";
  env_.outIsTerminal = true;
  EXPECT_EQ(run({"run", "--output", file.string(), "--color", "never"}), kExitFinished);
  EXPECT_EQ(out_.str(),
            "Output of this report is being written to file: " + file.string() + "\n\n");
  EXPECT_EQ(readFile(file).rfind(kEmptyReport, 0), 0u);
  EXPECT_TRUE(readFile(file).ends_with(" ---\n"));
  EXPECT_EQ(readFile(file).find('\r'), std::string::npos);

  // For Windows users: the report's CR LF, still with a line end after the last line.
  EXPECT_EQ(run({"run", "--output", file.string(), "--crlf"}), kExitFinished);
  EXPECT_EQ(readFile(file).rfind(kEmptyReportCrLf, 0), 0u);
  EXPECT_TRUE(readFile(file).ends_with(" ---\r\n"));
}

// A file that cannot be opened is found before anything is connected, with the system's reason.
TEST_F(CliAppTest, OutputFileThatCannotBeOpenedEndsBeforeTheRun) {
  const fs::path file = dir_ / "missing" / "report.txt";
  EXPECT_EQ(run({"run", "--output", file.string()}), kExitOutputFailed);
  EXPECT_EQ(err_.str(), "velmora-cli: cannot write the report to \"" + file.string() +
                            "\": No such file or directory\n");
  EXPECT_EQ(out_.str(), "");  // no notice, no report

  EXPECT_EQ(run({"run", "-o", dir_.string()}), kExitOutputFailed);
  EXPECT_NE(err_.str().find(": Is a directory"), std::string::npos) << err_.str();
  EXPECT_EQ(run({"run", "--autosave", dir_.string()}), kExitOutputFailed);
  EXPECT_NE(err_.str().find("cannot auto save the report to"), std::string::npos) << err_.str();
  if (geteuid() != 0) {
    const fs::path locked = dir_ / "locked.txt";
    std::ofstream(locked) << "old";
    fs::permissions(locked, fs::perms::owner_read);
    EXPECT_EQ(run({"run", "-o", locked.string()}), kExitOutputFailed);
    EXPECT_NE(err_.str().find(": Permission denied"), std::string::npos) << err_.str();
    EXPECT_EQ(readFile(locked), "old");
  }
  EXPECT_EQ(run({"run", "-o", (dir_ / "a.txt").string(), "--autosave", "b.txt"}), kExitUsage);
}

// Phases that write many lines, each followed by a checkpoint; counts how many were written.
void writeLinesUntilStopped(CliEnvironment& environment, int* written) {
  environment.prepareDriver = [written](RunDriver& driver, const std::function<void()>&) {
    driver.phases().setRunner(PhaseId::Privileges, [written](RunContext& context) {
      for (*written = 0; *written < 200; ++*written) {
        context.output().write("\r\nline " + std::string(100, 'x'), ReportColour::Blue);
        context.checkpoint();
      }
    });
  };
}

TEST_F(CliAppTest, AFullReportFileStopsTheRun) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  int written = -1;
  writeLinesUntilStopped(env_, &written);
  EXPECT_EQ(run({"run", "-o", "/dev/full"}), kExitOutputFailed);
  EXPECT_LT(written, 200) << "the run went on";
  EXPECT_NE(out_.str().find("Could not write the report to file: /dev/full: No space left on "
                            "device"),
            std::string::npos)
      << out_.str();
  EXPECT_TRUE(out_.str().ends_with("Velmora Stopped ...\n"));
  EXPECT_NE(err_.str().find("velmora-cli: could not write the report to /dev/full: No space left "
                            "on device"),
            std::string::npos)
      << err_.str();
  EXPECT_EQ(err_.str().find("Output will continue on the screen"), std::string::npos);

  written = -1;
  EXPECT_EQ(run({"run", "--autosave", "/dev/full", "--autosave-lines", "5"}), kExitOutputFailed);
  EXPECT_LT(written, 200);
  EXPECT_EQ(err_.str().find("press OK"), std::string::npos) << err_.str();
  EXPECT_NE(err_.str().find("velmora-cli: could not auto save the report to /dev/full (write): No "
                            "space left on device"),
            std::string::npos)
      << err_.str();
}

// A stream that fails every write as a full disk does.
class FullBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type) override {
    errno = ENOSPC;
    return traits_type::eof();
  }
  std::streamsize xsputn(const char*, std::streamsize) override {
    errno = ENOSPC;
    return 0;
  }
};

TEST_F(CliAppTest, AFailingStdoutStopsTheRun) {
  FullBuffer full;
  std::ostream fullOut(&full);
  CliEnvironment environment(fullOut, err_);
  environment.allowRunWithoutDatabases = true;
  int written = -1;
  writeLinesUntilStopped(environment, &written);
  EXPECT_EQ(runCli({"run"}, environment), kExitOutputFailed);
  EXPECT_LT(written, 200) << "the run went on";
  EXPECT_NE(
      err_.str().find("velmora-cli: could not write to standard output: No space left on device"),
      std::string::npos)
      << err_.str();

  err_.str("");
  std::ostream freshOut(&full);  // the first stream stays failed
  CliEnvironment helpEnvironment(freshOut, err_);
  EXPECT_EQ(runCli({"--help"}, helpEnvironment), kExitOutputFailed);
  EXPECT_EQ(err_.str(),
            "velmora-cli: could not write to standard output: No space left on device\n");
}

TEST_F(CliAppTest, AutoSaveWritesTheFileWhileStreaming) {
  const fs::path file = dir_ / "auto.txt";
  env_.prepareDriver = [](RunDriver& driver, const std::function<void()>&) {
    driver.phases().setRunner(PhaseId::Privileges, [](RunContext& context) {
      for (int i = 0; i < 10; ++i) context.output().write("\r\nline", ReportColour::Blue);
    });
  };
  EXPECT_EQ(run({"run", "--autosave", file.string(), "--autosave-lines", "3"}), kExitFinished);
  EXPECT_EQ(readFile(file), out_.str());  // flushed in pieces, nothing lost or doubled
}

TEST_F(CliAppTest, QuestionWithoutAnAnswerStopsTheRun) {
  env_.prepareDriver = [](RunDriver& driver, const std::function<void()>&) {
    driver.phases().setRunner(PhaseId::Privileges, [](RunContext& context) {
      const Answer answer = context.host().ask("Drop everything?", Buttons::YesNo);
      context.output().write(answer == Answer::Yes ? "\r\nyes" : "\r\nno", ReportColour::Black);
      context.checkpoint();
    });
  };
  EXPECT_EQ(run({"run"}), kExitUnanswered);
  EXPECT_NE(err_.str().find("Drop everything?\nvelmora-cli: this question needs an answer"),
            std::string::npos);
  EXPECT_TRUE(out_.str().ends_with("\nno\n\nVelmora Stopped ...\n"));
  EXPECT_NE(err_.str().find("Velmora for Oracle has been stopped."), std::string::npos);

  EXPECT_EQ(run({"run", "--yes"}), kExitFinished);
  EXPECT_NE(out_.str().find("\nyes"), std::string::npos);
  EXPECT_NE(err_.str().find("Drop everything? [--yes: Yes]"), std::string::npos);
}

TEST_F(CliAppTest, InterruptEndsWithTheStoppedLine) {
  env_.prepareDriver = [](RunDriver& driver, const std::function<void()>& interrupt) {
    driver.phases().setRunner(PhaseId::Sequences, [interrupt](RunContext& context) {
      context.output().write("\r\nworking", ReportColour::Black);
      std::thread([interrupt] { interrupt(); }).join();  // Ctrl+C from another thread
      for (;;) {
        context.checkpoint();
        std::this_thread::sleep_for(1ms);
      }
    });
  };
  EXPECT_EQ(run({"run"}), kExitInterrupted);
  EXPECT_TRUE(out_.str().ends_with("\nworking\n\nVelmora Stopped ...\n"));
}

TEST_F(CliAppTest, TheDemoBringsItsOwnDatabasesAndOnlyItTakesAWorkFolder) {
  EXPECT_EQ(run({"demo", "--db1", "scott/tiger@db1"}), kExitUsage);
  EXPECT_NE(err_.str().find("--db1 and --db2 are for run"), std::string::npos) << err_.str();
  EXPECT_EQ(run({"run", "--work", "/tmp"}), kExitUsage);
  EXPECT_NE(err_.str().find("--work is for demo only"), std::string::npos) << err_.str();
}

TEST_F(CliAppTest, ADatabaseThatDoesNotConnectEndsBeforeTheRun) {
  setenv("OCISIM_HOME", dir_.c_str(), 1);
  unsetenv("VELMORA_DB2_PASSWORD");
  EXPECT_EQ(run({"run", "--db1", "scott/s3cret@nosuchdb", "--oci-library", OCISIM_LIBRARY_PATH}),
            kExitNotConnected);
  EXPECT_NE(err_.str().find("ORA-12154: TNS:could not resolve the connect identifier specified"),
            std::string::npos)
      << err_.str();
  EXPECT_NE(err_.str().find("velmora-cli: could not connect Database 1"), std::string::npos);
  EXPECT_EQ(out_.str(), "");  // no report
  EXPECT_EQ(err_.str().find("s3cret"), std::string::npos);

  // No password in the text, none in the environment, no terminal to ask on.
  EXPECT_EQ(run({"run", "--db2", "scott@nosuchdb", "--oci-library", OCISIM_LIBRARY_PATH}),
            kExitNotConnected);
  EXPECT_NE(err_.str().find("Database 2 needs a password: give it in the connection, set "
                            "VELMORA_DB2_PASSWORD or run on a terminal"),
            std::string::npos)
      << err_.str();
  // The password of the environment is used (and the alias still does not resolve).
  setenv("VELMORA_DB2_PASSWORD", "from-env", 1);
  EXPECT_EQ(run({"run", "--db2", "scott@nosuchdb", "--oci-library", OCISIM_LIBRARY_PATH}),
            kExitNotConnected);
  EXPECT_NE(err_.str().find("ORA-12154"), std::string::npos);
  EXPECT_EQ(err_.str().find("from-env"), std::string::npos);
  unsetenv("VELMORA_DB2_PASSWORD");
  unsetenv("OCISIM_HOME");
}

// The message names the file and the loader's reason, and gives the Linux advice.
TEST_F(CliAppTest, AMissingClientLibraryEndsWithItsMessage) {
  const std::string missing = (dir_ / "libnothing.so").string();
  EXPECT_EQ(run({"run", "--db1", "scott/tiger@orcl", "--oci-library", missing}), kExitNoClient);
  const std::string message = err_.str();
  EXPECT_NE(message.find("Could not load the Oracle client library \"" + missing +
                         "\": cannot open shared object file: No such file or directory"),
            std::string::npos)
      << message;
  EXPECT_NE(message.find("LD_LIBRARY_PATH"), std::string::npos);
  EXPECT_NE(message.find("libclntsh.so.19.1"), std::string::npos);
  EXPECT_NE(message.find("--oci-library PATH"), std::string::npos);
  EXPECT_EQ(message.find("Oracle 8"), std::string::npos) << "the window's message";
  EXPECT_EQ(out_.str(), "");

  // A file that is no library, and a directory: the loader's own words.
  const fs::path text = dir_ / "libtext.so";
  std::ofstream(text) << std::string(200, '#') << "\nnot a library\n";
  EXPECT_EQ(run({"run", "--db1", "scott/tiger@orcl", "--oci-library", text.string()}),
            kExitNoClient);
  EXPECT_NE(err_.str().find("\"" + text.string() + "\": invalid ELF header"), std::string::npos)
      << err_.str();
  EXPECT_EQ(run({"run", "--db1", "scott/tiger@orcl", "--oci-library", dir_.string()}),
            kExitNoClient);
  EXPECT_NE(err_.str().find("Is a directory"), std::string::npos) << err_.str();
}

// Without the option the default names are tried, each with its reason.
TEST_F(CliAppTest, NoClientOnTheLoaderPathListsEveryNameTried) {
  if (void* found = dlopen("libclntsh.so", RTLD_NOW | RTLD_LOCAL)) {
    dlclose(found);
    GTEST_SKIP() << "an Oracle client is installed here";
  }
  EXPECT_EQ(run({"run", "--db1", "scott/tiger@orcl", "--db2", "scott/tiger@orcl"}), kExitNoClient);
  EXPECT_NE(err_.str().find("Could not load an Oracle client library; tried:\n  libclntsh.so: "
                            "cannot open shared object file: No such file or directory"),
            std::string::npos)
      << err_.str();
  EXPECT_NE(err_.str().find("\n  libclntsh.so.11.1: "), std::string::npos) << err_.str();
}

// Without a home of its own the demo does not fall back on a folder others can write to.
TEST_F(CliAppTest, TheDemoWithoutAHomeAsksForAWorkFolder) {
  const char* home = std::getenv("HOME");
  const char* cache = std::getenv("XDG_CACHE_HOME");
  const std::string savedHome = home ? home : "", savedCache = cache ? cache : "";
  unsetenv("HOME");
  unsetenv("XDG_CACHE_HOME");
  EXPECT_EQ(DemoPaths::ofThisBuild().work, "");
  const int status = run({"demo"});
  if (home) setenv("HOME", savedHome.c_str(), 1);
  if (cache) setenv("XDG_CACHE_HOME", savedCache.c_str(), 1);
  EXPECT_EQ(status, kExitStopped);
  EXPECT_NE(err_.str().find("give one with --work DIR"), std::string::npos) << err_.str();
}

// The real binary: exit statuses and the report file, as a shell would see them.
TEST(CliBinaryTest, ExitStatusesAndOutputFile) {
  const std::string cli = VELMORA_CLI_PATH;
  const std::string dir = ::testing::TempDir();
  const std::string file = dir + "velmora_cli_bin_" + std::to_string(getpid()) + ".txt";
  auto status = [](const std::string& command) {
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  };
  EXPECT_EQ(status("'" + cli + "' --version >/dev/null"), 0);
  EXPECT_EQ(status("'" + cli + "' run --set b_DoData=7 2>/dev/null"), kExitUsage);
  // A run needs the databases of its mode: nothing is written without them.
  const std::string err = file + ".err";
  EXPECT_EQ(status("'" + cli + "' run --output '" + file + "' >/dev/null 2>'" + err + "'"),
            kExitUsage);
  EXPECT_NE(readFile(err).find("velmora-cli: --db1 and --db2 are required in this mode"),
            std::string::npos);
  EXPECT_EQ(status("'" + cli + "' run --mode script --db2 a/b@c 2>'" + err + "'"), kExitUsage);
  EXPECT_NE(readFile(err).find("velmora-cli: --db1 is required in this mode"), std::string::npos);
  EXPECT_FALSE(fs::exists(file));
  fs::remove(err);
}

}  // namespace
}  // namespace velmora::cli
