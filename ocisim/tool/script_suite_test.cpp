// The end-to-end SQL suite: every tests/NN_name.sql runs through the script runner against a
// fresh database (release from a "-- ocisim-version: V" line, default 19.3.0) as
// SYSTEM/manager, and its output must equal tests/NN_name.expected. With the environment
// variable OCISIM_UPDATE_EXPECTED=1 the outputs are written instead (review them before
// committing).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "tool/engine_commands.h"
#include "tool/script_runner.h"

namespace ocisim::tool {
namespace {

namespace fs = std::filesystem;

fs::path suiteDirectory() { return OCISIM_SUITE_DIR; }

std::vector<std::string> suiteScripts() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(suiteDirectory())) {
    if (entry.path().extension() == ".sql") names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string releaseOf(const std::string& script) {
  const std::string marker = "-- ocisim-version: ";
  size_t at = script.find(marker);
  if (at == std::string::npos) return "19.3.0";
  size_t begin = at + marker.size();
  size_t end = script.find_first_of("\r\n", begin);
  return script.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

std::string runSuiteScript(const std::string& name) {
  fs::path script = suiteDirectory() / name;
  std::string text = readFile(script);
  fs::path dir = fs::temp_directory_path() /
                 ("ocisim_suite_" + std::to_string(::getpid()) + "_" + script.stem().string());
  fs::remove_all(dir);
  CreateArgs create;
  create.directory = dir.string();
  create.name = "SUITE";
  create.version = releaseOf(text);
  std::string output;
  {
    std::shared_ptr<Database> database = createDatabase(create);
    RunArgs run;
    run.directory = dir.string();
    std::unique_ptr<Connection> connection = openConnection(run);
    std::ostringstream out;
    ScriptRunner runner(*connection, out);
    runner.runScript(text, script.string());
    output = out.str();
  }
  fs::remove_all(dir);
  return output;
}

class ScriptSuite : public ::testing::TestWithParam<std::string> {};

TEST_P(ScriptSuite, OutputMatchesExpected) {
  std::string output = runSuiteScript(GetParam());
  fs::path expected = (suiteDirectory() / GetParam()).replace_extension(".expected");
  if (std::getenv("OCISIM_UPDATE_EXPECTED")) {
    std::ofstream(expected, std::ios::binary) << output;
    return;
  }
  ASSERT_TRUE(fs::exists(expected))
      << expected << " is missing; run with OCISIM_UPDATE_EXPECTED=1 and review it";
  EXPECT_EQ(output, readFile(expected));
}

INSTANTIATE_TEST_SUITE_P(Scripts, ScriptSuite, ::testing::ValuesIn(suiteScripts()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = fs::path(info.param).stem().string();
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace ocisim::tool
