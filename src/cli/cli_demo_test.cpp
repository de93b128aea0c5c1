// velmora-cli demo: the two demo databases are built with the ocisim tool in the work folder,
// rebuilt only when their scripts change, never taken when half-built, and compared through
// libocisim.so.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/cli_app.h"

namespace velmora::cli {
namespace {

namespace fs = std::filesystem;

class CliDemoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = ::testing::TempDir() + "velmora_cli_demo_XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    DemoPaths paths = DemoPaths::ofThisBuild();
    paths.work = (dir_ / "work").string();
    env_.demoPaths = paths;
  }
  void TearDown() override {
    unsetenv("OCISIM_HOME");
    fs::remove_all(dir_);
  }

  int run(std::vector<std::string> arguments) {
    out_.str("");
    err_.str("");
    arguments.insert(arguments.begin(), {"demo", "--no-progress"});
    return runCli(arguments, env_);
  }

  // A copy of the demo scripts that a test may change.
  void copyScripts() {
    const fs::path copy = dir_ / "scripts";
    fs::create_directories(copy);
    for (const char* name : {"users.sql", "oe_current.sql", "oe_production.sql"}) {
      fs::copy_file(fs::path(env_.demoPaths->scripts) / name, copy / name);
    }
    env_.demoPaths->scripts = copy.string();
  }
  // The demo's own script with text added at its end.
  void extend(const char* script, const std::string& text) {
    const fs::path original = fs::path(DemoPaths::ofThisBuild().scripts) / script;
    const fs::path copy = fs::path(env_.demoPaths->scripts) / script;
    fs::copy_file(original, copy, fs::copy_options::overwrite_existing);
    std::ofstream(copy, std::ios::app) << text;
  }

  bool built(const char* alias) const {
    return err_.str().find(std::string("building the demo database ") + alias) !=
           std::string::npos;
  }

  fs::path dir_;
  std::ostringstream out_, err_;
  CliEnvironment env_{out_, err_};
};

TEST_F(CliDemoTest, ComparesTheTwoReleasesAndBuildsTheirDatabasesOnce) {
  ASSERT_EQ(run({}), kExitFinished) << err_.str();
  EXPECT_TRUE(built("CURRENT") && built("PRODUCTION")) << err_.str();
  const std::string report = out_.str();
  EXPECT_EQ(report.rfind("< DATABASE 1:  OE@CURRENT\n> DATABASE 2:  OE@PRODUCTION\n", 0), 0u)
      << report;
  EXPECT_NE(report.find("The following tables DO NOT exist in OE@PRODUCTION"), std::string::npos)
      << report;
  EXPECT_NE(report.find("The following are the structural differences between COMMON tables"),
            std::string::npos);
  EXPECT_EQ(report.find("error ocurred"), std::string::npos) << report;

  const fs::path script = dir_ / "upgrade.sql";
  ASSERT_EQ(run({"--mode", "upgrade", "--output", script.string()}), kExitFinished) << err_.str();
  EXPECT_FALSE(built("CURRENT") || built("PRODUCTION")) << err_.str();
  std::ifstream in(script, std::ios::binary);
  std::ostringstream upgrade;
  upgrade << in.rdbuf();
  EXPECT_NE(upgrade.str().find("ALTER TABLE"), std::string::npos) << upgrade.str();
  EXPECT_NE(upgrade.str().find("CREATE TABLE"), std::string::npos) << upgrade.str();
}

TEST_F(CliDemoTest, AChangedScriptRebuildsItsDatabaseAndAFailedBuildIsNeverTaken) {
  copyScripts();
  ASSERT_EQ(run({"--set", "b_DoStruct=0"}), kExitFinished) << err_.str();

  extend("oe_production.sql", "\nCREATE TABLE broken (id NUMBER, id NUMBER);\n");
  EXPECT_EQ(run({}), kExitStopped);
  EXPECT_NE(err_.str().find("the demo database PRODUCTION could not be built"), std::string::npos)
      << err_.str();
  EXPECT_NE(err_.str().find("ORA-00957"), std::string::npos) << err_.str();  // the tool's log
  EXPECT_EQ(out_.str(), "");
  // The database of the former scripts stays until a build succeeds; no half-built one is left.
  EXPECT_FALSE(fs::exists(dir_ / "work" / "production.building"));

  extend("oe_production.sql", "\nCREATE TABLE mended (id NUMBER);\n");
  ASSERT_EQ(run({}), kExitFinished) << err_.str();
  EXPECT_TRUE(built("PRODUCTION"));
  EXPECT_FALSE(built("CURRENT"));
  EXPECT_NE(out_.str().find("\t\tMENDED"), std::string::npos) << out_.str();
}

TEST_F(CliDemoTest, AMissingToolIsExplained) {
  env_.demoPaths->tool = (dir_ / "no-such-ocisim").string();
  EXPECT_EQ(run({}), kExitStopped);
  EXPECT_NE(err_.str().find("the ocisim tool was not found"), std::string::npos) << err_.str();
}

}  // namespace
}  // namespace velmora::cli
