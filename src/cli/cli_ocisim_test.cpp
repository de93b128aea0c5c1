// velmora-cli against two ocisim databases: the connections of --db1 and --db2 are opened
// through libocisim.so and the run header shows their display names.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/cli_app.h"

namespace velmora::cli {
namespace {

namespace fs = std::filesystem;

class CliOcisimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = ::testing::TempDir() + "velmora_cli_ocisim_XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    home_ = pattern;
    setenv("OCISIM_HOME", home_.c_str(), 1);
    unsetenv("VELMORA_DB1_PASSWORD");
    unsetenv("VELMORA_DB2_PASSWORD");
    ASSERT_NO_FATAL_FAILURE(create("db1", ""));
    ASSERT_NO_FATAL_FAILURE(create("db2",
                                   "create user scott identified by tiger;\n"
                                   "grant connect, resource to scott;\n"
                                   "create user hr identified by hr;\n"));
  }
  void TearDown() override {
    unsetenv("OCISIM_HOME");
    unsetenv("VELMORA_DB2_PASSWORD");
    fs::remove_all(home_);
  }

  void tool(const std::string& arguments) {
    const std::string command = "'" + std::string(OCISIM_TOOL_PATH) + "' " + arguments + " > '" +
                                (home_ / "tool.log").string() + "' 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }
  void create(const std::string& alias, const std::string& script) {
    const fs::path dir = home_ / alias;
    ASSERT_NO_FATAL_FAILURE(tool("create '" + dir.string() + "' --admin-password manager"));
    if (script.empty()) return;
    const fs::path file = home_ / (alias + ".sql");
    std::ofstream(file) << script;
    ASSERT_NO_FATAL_FAILURE(
        tool("run '" + dir.string() + "' -u system/manager @'" + file.string() + "'"));
  }

  int run(std::vector<std::string> arguments) {
    out_.str("");
    err_.str("");
    arguments.insert(arguments.begin(), {"run", "--oci-library", OCISIM_LIBRARY_PATH});
    return runCli(arguments, env_);
  }

  fs::path home_;
  std::ostringstream out_, err_;
  CliEnvironment env_{out_, err_};
  std::vector<std::string> prompts_;
};

TEST_F(CliOcisimTest, TheHeaderShowsTheDisplayNamesOfBothConnections) {
  env_.readPassword = [this](const std::string& prompt) -> std::optional<std::string> {
    prompts_.push_back(prompt);
    return std::string("tiger");
  };
  // scott may not read HR's system privileges and roles: with the privileges on, the run says
  // it could not compare them (below); the header is the same either way.
  EXPECT_EQ(run({"--db1", "system/manager@db1", "--db2", "HR:scott@db2", "--set", "b_DoPriv=0"}),
            kExitFinished)
      << err_.str();
  EXPECT_EQ(out_.str().rfind("< DATABASE 1:  SYSTEM@DB1\n> DATABASE 2:  HR:SCOTT@DB2\n", 0), 0u)
      << out_.str();
  EXPECT_EQ(prompts_, (std::vector<std::string>{"Password for scott@db2 (Database 2): "}));
  EXPECT_EQ(out_.str().find("tiger"), std::string::npos);
  EXPECT_EQ(err_.str().find("tiger"), std::string::npos);

  out_.str("");
  err_.str("");
  EXPECT_EQ(run({"--db1", "system/manager@db1", "--db2", "HR:scott@db2"}), kExitRunErrors);
  EXPECT_NE(out_.str().find("The system privileges of schema HR in Database 2 could not be read"),
            std::string::npos)
      << out_.str();
  EXPECT_NE(err_.str().find("system privileges and role privileges"), std::string::npos)
      << err_.str();
}

TEST_F(CliOcisimTest, UpgradeScriptHeaderNamesTheSchemaToRunItAs) {
  setenv("VELMORA_DB2_PASSWORD", "tiger", 1);
  EXPECT_EQ(run({"--mode", "upgrade", "--db1", "system/manager@DB1", "--db2", "HR:scott@db2",
                 "--set", "b_DoPriv=0"}),
            kExitFinished)
      << err_.str();
  const std::string report = out_.str();
  EXPECT_NE(report.find("*  SOURCE DATABASE:  SYSTEM@DB1\n"), std::string::npos) << report;
  EXPECT_NE(report.find("*  TARGET DATABASE:  HR:SCOTT@DB2\n"), std::string::npos);
  EXPECT_NE(report.find("This script should be executed as HR in database HR:SCOTT@DB2"),
            std::string::npos);
}

TEST_F(CliOcisimTest, AWrongPasswordIsReportedAndNothingRuns) {
  EXPECT_EQ(run({"--db1", "system/wrong@db1", "--db2", "scott/tiger@db2"}), kExitNotConnected);
  EXPECT_NE(err_.str().find("ORA-01017: invalid username/password; logon denied"),
            std::string::npos)
      << err_.str();
  EXPECT_EQ(out_.str(), "");
}

}  // namespace
}  // namespace velmora::cli
