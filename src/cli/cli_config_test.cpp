// The configuration-file commands and the command line for scripts: config save / show, run
// --config with overrides, --exit-code, the options listing and the usage errors of the flags.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/option_keys.h"
#include "cli/cli_app.h"
#include "cli/cli_args.h"

namespace velmora::cli {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

class CliConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = ::testing::TempDir() + "velmora_cli_config_XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    env_.allowRunWithoutDatabases = true;
  }
  void TearDown() override { fs::remove_all(dir_); }

  int run(std::initializer_list<std::string> arguments) {
    out_.str("");
    err_.str("");
    return runCli(arguments, env_);
  }

  // A phase that keeps the options the run saw and reports the given differences.
  void recordRun(std::vector<std::pair<std::string, int>> differences = {}) {
    env_.prepareDriver = [this, differences](RunDriver& driver, const std::function<void()>&) {
      driver.phases().setRunner(PhaseId::Privileges, [this, differences](RunContext& context) {
        seen_ = context.options();
        for (const auto& [kind, n] : differences) context.differences().add(kind, n);
      });
    };
  }

  fs::path dir_;
  std::ostringstream out_, err_;
  CliEnvironment env_{out_, err_};
  ComparisonOptions seen_;
};

TEST_F(CliConfigTest, SaveWritesTheOptionsAndConnectionsAndShowHidesThePasswords) {
  const fs::path file = dir_ / "nightly.dbo";
  EXPECT_EQ(
      run({"config", "save", file.string(), "--db1", "HR:scott/tiger@dev", "--db2", "scott@prod",
           "--mode", "upgrade", "--set", "b_DoData=0", "--set", "IgnoreTables=AUDIT,TMP"}),
      kExitFinished)
      << err_.str();
  struct stat info {};
  ASSERT_EQ(stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);  // it holds a password
  const std::string text = readFile(file);
  EXPECT_NE(text.find("[Database 1]\ns_ConnectString=scott/tiger@dev\ns_DatabaseUser=HR\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("[Database 2]\ns_ConnectString=scott@prod\n"), std::string::npos);
  EXPECT_NE(text.find("i_DoingUpgradeScript=1\n"), std::string::npos);
  EXPECT_NE(text.find("[Ignore Tables]\ntab0=AUDIT\ntab1=TMP\n"), std::string::npos);

  EXPECT_EQ(run({"config", "show", file.string()}), kExitFinished);
  EXPECT_EQ(out_.str().find("tiger"), std::string::npos) << out_.str();
  EXPECT_NE(out_.str().find("s_ConnectString=scott/*****@dev"), std::string::npos) << out_.str();
  EXPECT_NE(out_.str().find("b_DoData=0"), std::string::npos);

  // A damaged file: the system's message, the reason, its own status.
  std::ofstream(dir_ / "bad.dbo") << "[Velmora for Oracle]\nVersion=3.0\nb_DoData=1\nb_DoData=0\n";
  EXPECT_EQ(run({"config", "show", (dir_ / "bad.dbo").string()}), kExitConfiguration);
  EXPECT_EQ(err_.str(),
            "velmora-cli: Could not open config file.\nvelmora-cli: the key \"b_dodata\" is given "
            "twice in section [Velmora for Oracle]\n");
  EXPECT_EQ(run({"config", "save", (dir_ / "no" / "such.dbo").string()}), kExitConfiguration);
  EXPECT_NE(err_.str().find("No such file or directory"), std::string::npos) << err_.str();
  EXPECT_EQ(run({"config", "show"}), kExitUsage);
  EXPECT_EQ(run({"config", "load", "x.dbo"}), kExitUsage);
}

TEST_F(CliConfigTest, RunFromAFileTakesItsOptionsAndTheCommandLineOverridesThem) {
  const fs::path file = dir_ / "setup.dbo";
  ASSERT_EQ(run({"config", "save", file.string(), "--mode", "upgrade", "--set", "b_DoSeq=0",
                 "--set", "i_DoConsName=2", "--set", "IgnoreTables=T1"}),
            kExitFinished);
  recordRun();
  // The file's options, whatever the order of the flags; the flags given win.
  EXPECT_EQ(run({"run", "--set", "b_DoSeq=1", "--config", file.string()}), kExitFinished)
      << err_.str();
  EXPECT_EQ(seen_.i_DoingUpgradeScript, 1);
  EXPECT_EQ(seen_.b_DoSeq, 1);
  EXPECT_EQ(seen_.i_DoConsName, 2);
  EXPECT_EQ(seen_.IgnoreTables, NameList({"T1"}));
  EXPECT_EQ(run({"run", "--config", file.string(), "--mode", "report"}), kExitFinished);
  EXPECT_EQ(seen_.i_DoingUpgradeScript, 0);
  EXPECT_EQ(seen_.b_DoSeq, 0);

  EXPECT_EQ(run({"run", "--config", (dir_ / "missing.dbo").string()}), kExitConfiguration);
  EXPECT_NE(err_.str().find("velmora-cli: Could not open config file."), std::string::npos);

  // A real run needs the file's connections: it says which one is missing, in its own words.
  env_.allowRunWithoutDatabases = false;
  EXPECT_EQ(run({"run", "--config", file.string()}), kExitUsage);
  EXPECT_EQ(err_.str(),
            "velmora-cli: the configuration file names no connection of Database 1: give --db1\n");
  EXPECT_EQ(run({"run"}), kExitUsage);
  EXPECT_EQ(err_.str(), "velmora-cli: --db1 and --db2 are required in this mode\n");
}

TEST_F(CliConfigTest, ExitCodeSaysWhetherTheDatabasesDiffer) {
  recordRun({{"tables", 1}, {"columns", 2}});
  EXPECT_EQ(run({"run"}), kExitFinished);  // without the flag nothing changes
  EXPECT_EQ(err_.str().find("differences"), std::string::npos);
  EXPECT_EQ(run({"run", "--exit-code"}), kExitDifferences);
  EXPECT_NE(err_.str().find("velmora-cli: 3 differences (tables 1, columns 2)\n"),
            std::string::npos)
      << err_.str();
  recordRun();
  EXPECT_EQ(run({"run", "--exit-code"}), kExitFinished);
  EXPECT_NE(err_.str().find("velmora-cli: no differences\n"), std::string::npos);
  // Errors stay errors: a run that could not compare everything is not "identical".
  env_.prepareDriver = [](RunDriver& driver, const std::function<void()>&) {
    driver.phases().setRunner(PhaseId::Privileges,
                              [](RunContext& context) { context.errors().record("privileges"); });
  };
  EXPECT_EQ(run({"run", "--exit-code"}), kExitRunErrors);
  EXPECT_EQ(run({"run", "--exit-code", "--mode", "script"}), kExitUsage);
  EXPECT_NE(err_.str().find("--exit-code needs a comparison"), std::string::npos);
}

TEST_F(CliConfigTest, FlagsThatContradictOrAreOutOfRangeAreUsageErrors) {
  EXPECT_EQ(run({"run", "--yes", "--no"}), kExitUsage);
  EXPECT_NE(err_.str().find("--yes and --no cannot be used together"), std::string::npos);
  EXPECT_EQ(run({"run", "--yes", "--yes"}), kExitFinished);
  EXPECT_EQ(run({"run", "--autosave-lines", "0"}), kExitUsage);
  EXPECT_NE(err_.str().find("Invalid value \"0\" for --autosave-lines"), std::string::npos)
      << err_.str();
  EXPECT_EQ(err_.str().find("i_AutoSaveLines"), std::string::npos);
  EXPECT_EQ(run({"demo", "--config", "x.dbo"}), kExitUsage);
}

// TERM=dumb: a terminal that takes no escape codes gets no colours and no status line.
TEST_F(CliConfigTest, ADumbTerminalGetsNoControlCodes) {
  env_.outIsTerminal = env_.errIsTerminal = true;
  env_.dumbTerminal = true;
  recordRun({{"tables", 1}});
  EXPECT_EQ(run({"run"}), kExitFinished);
  EXPECT_EQ(out_.str().find('\x1b'), std::string::npos) << out_.str();
  EXPECT_EQ(err_.str().find('\x1b'), std::string::npos) << err_.str();
  env_.dumbTerminal = false;
  EXPECT_EQ(run({"run"}), kExitFinished);
  EXPECT_NE(out_.str().find('\x1b'), std::string::npos);  // the same run on a real terminal
  EXPECT_NE(err_.str().find('\x1b'), std::string::npos);
}

TEST_F(CliConfigTest, OptionsListsEveryKeyWithItsMeaningAndDefault) {
  EXPECT_EQ(run({"options"}), kExitFinished);
  const std::string text = out_.str();
  for (const OptionKey& entry : optionKeys()) {
    const size_t at = text.find("\n" + std::string(entry.key) + " ");
    ASSERT_NE(at, std::string::npos) << entry.key;
    const std::string line = text.substr(at + 1, text.find('\n', at + 1) - at - 1);
    std::istringstream fields(line);
    std::string key, value, meaning;
    fields >> key >> value;
    std::getline(fields, meaning);
    const std::string expected = optionDefaultText(entry);
    EXPECT_EQ(value, expected.empty() ? "\"\"" : expected) << line;
    EXPECT_GT(meaning.size(), 10u) << "no meaning for " << entry.key;
  }
  EXPECT_NE(usageText().find("plain text"), std::string::npos);  // saved passwords
}

}  // namespace
}  // namespace velmora::cli
