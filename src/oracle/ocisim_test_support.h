// The fixture of the tests that run the Oracle access layer against the stand-in server: the
// product loads libocisim.so through dlopen (as the client choice 99 would), and the databases
// are made with the `ocisim` tool in a temporary OCISIM_HOME, exactly as a user would make them.
// Both paths come from the build (OCISIM_LIBRARY_PATH, OCISIM_TOOL_PATH).
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "base/comparison_options.h"
#include "base/recording_host.h"
#include "config/memory_settings_store.h"
#include "oracle/oracle_session.h"

namespace velmora::ocisimtest {

inline std::string shellQuoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

inline std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class OcisimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "velmora-ocisim-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    home = pattern;
    setenv("OCISIM_HOME", (home / "dbs").c_str(), 1);
    std::filesystem::create_directories(home / "dbs");
    unsetenv("OCISIM_FAULTS");
    environment.settings = &settings;
    environment.host = &host;
    environment.options = &options;
    environment.libraryOverride = OCISIM_LIBRARY_PATH;
  }
  void TearDown() override {
    unsetenv("OCISIM_FAULTS");
    std::error_code ec;
    std::filesystem::remove_all(home, ec);
  }

  // Runs the ocisim tool; fails the test with its output when it does not succeed.
  void tool(const std::string& arguments) {
    std::filesystem::path log = home / "tool.log";
    std::string command =
        shellQuoted(OCISIM_TOOL_PATH) + " " + arguments + " > " + shellQuoted(log) + " 2>&1";
    int status = std::system(command.c_str());
    ASSERT_EQ(status, 0) << command << "\n" << readFile(log);
  }

  // Creates the database `alias` of a release (SYSTEM/manager) and runs a script in it as
  // `login` (user/password).
  void createDatabase(const std::string& alias, const std::string& version = "19.3.0",
                      const std::string& script = "", const std::string& login = "system/manager") {
    ASSERT_NO_FATAL_FAILURE(tool("create " + shellQuoted(directory(alias)) + " --version " +
                                 version + " --admin-password manager"));
    if (!script.empty()) {
      ASSERT_NO_FATAL_FAILURE(runScript(alias, script, login));
    }
  }
  void runScript(const std::string& alias, const std::string& script,
                 const std::string& login = "system/manager") {
    std::filesystem::path file = home / (alias + ".sql");
    std::ofstream(file) << script;
    ASSERT_NO_FATAL_FAILURE(tool("run " + shellQuoted(directory(alias)) + " -u " +
                                 shellQuoted(login) + " @" + shellQuoted(file)));
  }
  std::string directory(const std::string& alias) const { return (home / "dbs" / alias).string(); }

  // A session of the product logged on (interactive: failures are shown through the host).
  std::unique_ptr<OracleSession> logOn(const std::string& user, const std::string& password,
                                       const std::string& alias, bool* connected = nullptr) {
    auto session = std::make_unique<OracleSession>(environment);
    EXPECT_TRUE(session->clientLoaded()) << OCISIM_LIBRARY_PATH;
    bool ok = session->connect(user, password, alias, true, true);
    if (connected != nullptr) *connected = ok;
    return session;
  }

  // The messages the host showed, then forgotten.
  std::vector<std::string> takeMessages() {
    std::vector<std::string> texts = host.questionTexts();
    std::vector<std::string> fresh(texts.begin() + static_cast<long>(seenMessages_), texts.end());
    seenMessages_ = texts.size();
    return fresh;
  }

  std::filesystem::path home;
  MemorySettingsStore settings;
  RecordingHost host;
  ComparisonOptions options;
  OracleEnvironment environment;

 private:
  size_t seenMessages_ = 0;
};

}  // namespace velmora::ocisimtest
