#include "cli/cli_app.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

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

constexpr const char* kEmptyReport =
    "< DATABASE 1:  \r\n> DATABASE 2:  \r\n\r\n--- End of Velmora for Oracle --- Elapsed Time: ";

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

TEST_F(CliAppTest, PlainReportKeepsItsBytes) {
  EXPECT_EQ(run({"run"}), kExitFinished);
  EXPECT_EQ(out_.str().rfind(kEmptyReport, 0), 0u) << out_.str();
  EXPECT_TRUE(out_.str().ends_with(" ---"));  // no line end added, no colour codes
  EXPECT_EQ(out_.str().find('\x1b'), std::string::npos);
  EXPECT_EQ(err_.str(), "Velmora for Oracle has finished comparing the databases\n");
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

TEST_F(CliAppTest, OutputFileKeepsCrLfAndTheScreenGetsTheNotice) {
  const fs::path file = dir_ / "report.txt";
  env_.outIsTerminal = true;  // even on a terminal the file keeps the report's line ends
  EXPECT_EQ(run({"run", "--output", file.string(), "--color", "never"}), kExitFinished);
  EXPECT_EQ(out_.str(),
            "Output of this report is being written to file: " + file.string() + "\n\n");
  EXPECT_EQ(readFile(file).rfind(kEmptyReport, 0), 0u);
}

TEST_F(CliAppTest, OutputFileThatCannotBeWrittenFallsBackToStdout) {
  const fs::path file = dir_ / "missing" / "report.txt";
  EXPECT_EQ(run({"run", "--output", file.string()}), kExitFinished);
  EXPECT_NE(err_.str().find("Could not open file " + file.string() +
                            ". Output will be sent to the screen."),
            std::string::npos);
  EXPECT_NE(out_.str().find(kEmptyReport), std::string::npos);
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
  EXPECT_TRUE(out_.str().ends_with("\r\nno\r\n\r\nVelmora Stopped ..."));
  EXPECT_NE(err_.str().find("Velmora for Oracle has been stopped."), std::string::npos);

  EXPECT_EQ(run({"run", "--yes"}), kExitFinished);
  EXPECT_NE(out_.str().find("\r\nyes"), std::string::npos);
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
  EXPECT_TRUE(out_.str().ends_with("\r\nworking\r\n\r\nVelmora Stopped ..."));
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

TEST_F(CliAppTest, AMissingClientLibraryEndsWithItsMessage) {
  EXPECT_EQ(
      run({"run", "--db1", "scott/tiger@orcl", "--oci-library", (dir_ / "libnothing.so").string()}),
      kExitStopped);
  EXPECT_NE(err_.str().find("Could not locate installation of Oracle 8 or above client software."),
            std::string::npos)
      << err_.str();
  EXPECT_EQ(out_.str(), "");
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
  EXPECT_NE(readFile(err).find("You must select 2 databases before you can begin."),
            std::string::npos);
  EXPECT_EQ(status("'" + cli + "' run --mode script --db2 a/b@c 2>'" + err + "'"), kExitUsage);
  EXPECT_NE(readFile(err).find("You must select a database before you can begin."),
            std::string::npos);
  EXPECT_FALSE(fs::exists(file));
  fs::remove(err);
}

}  // namespace
}  // namespace velmora::cli
