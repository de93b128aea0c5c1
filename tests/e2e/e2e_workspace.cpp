#include "e2e_workspace.h"

#include <stdlib.h>

#include <stdexcept>
#include <system_error>

namespace velmora::e2e {

namespace fs = std::filesystem;

// The suite compares tables, columns, indexes and constraints; every other phase is off, so the
// reports show only what the scenarios are about.
const std::vector<std::string>& tablePhasesOnly() {
  static const std::vector<std::string> sets = {
      "b_DoPriv=0",     "b_DoSeq=0",      "b_DoData=0",       "b_DoViewStruct=0",
      "b_DoViewData=0", "b_DoTrigger=0",  "b_DoViewSource=0", "b_DoFunc=0",
      "b_DoPack=0",     "b_DoPackBody=0", "b_DoStpCode=0",    "b_DoType=0",
      "b_DoTypeBody=0", "b_DoStruct=1",   "b_DoIndex=1",      "b_DoConst=1",
  };
  return sets;
}

Scenario adHocScenario(const std::string& name) {
  Scenario scenario;
  scenario.name = name;
  scenario.folder = E2E_SCENARIO_DIR;
  scenario.users = fs::path(E2E_SCENARIO_DIR) / "users.sql";
  scenario.login1 = scenario.login2 = scenario.schemaUser + "/" + scenario.schemaPassword;
  return scenario;
}

namespace {

bool keepWorkspace() {
  const char* keep = std::getenv("VELMORA_KEEP_E2E");
  return keep != nullptr && std::string(keep) == "1";
}

}  // namespace

Workspace::Workspace(const Scenario& scenario) : scenario_(scenario) {
  std::string pattern =
      (fs::temp_directory_path() / ("velmora_e2e_" + scenario.name + "_XXXXXX")).string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  root_ = pattern;
  setenv("OCISIM_HOME", root_.c_str(), 1);
  unsetenv("OCISIM_FAULTS");
  unsetenv("VELMORA_DB1_PASSWORD");
  unsetenv("VELMORA_DB2_PASSWORD");
}

Workspace::~Workspace() {
  unsetenv("OCISIM_HOME");
  if (keepWorkspace()) return;
  std::error_code ignored;
  fs::remove_all(root_, ignored);
}

std::string Workspace::tool(const std::vector<std::string>& arguments) {
  std::vector<std::string> argv = {OCISIM_TOOL_PATH};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  const ProcessResult result = runProcess(argv, root_);
  if (result.exitCode == 0) return "";
  return result.describe(argv);
}

std::string Workspace::createDatabase(const std::string& alias,
                                      const std::vector<fs::path>& scripts) {
  const fs::path dir = root_ / alias;
  std::vector<std::string> create = {"create", dir.string(), "--name", alias};
  const std::string& version =
      alias == "db1" && !scenario_.version1.empty() ? scenario_.version1 : scenario_.version;
  if (!version.empty()) create.insert(create.end(), {"--version", version});
  std::string failure = tool(create);
  if (failure.empty())
    failure = tool({"run", dir.string(), "-u", "system/manager", "@" + scenario_.users.string()});
  for (const fs::path& script : scripts) {
    if (!failure.empty()) break;
    failure = runScript(alias, script);
  }
  return failure;
}

std::string Workspace::createDatabaseFrom(const std::string& alias, const std::string& script) {
  const fs::path file = root_ / (alias + ".sql");
  writeFile(file, script);
  return createDatabase(alias, {file});
}

std::string Workspace::copyDatabase(const std::string& from, const std::string& to) {
  std::error_code error;
  fs::copy(root_ / from, root_ / to, fs::copy_options::recursive, error);
  return error ? "cannot copy database " + from + ": " + error.message() : "";
}

std::string Workspace::runScript(const std::string& alias, const fs::path& script) {
  const std::string login = scenario_.schemaUser + "/" + scenario_.schemaPassword;
  return tool({"run", (root_ / alias).string(), "-u", login, "@" + script.string()});
}

std::string Workspace::velmora(const std::string& mode, const std::string& alias1,
                               const std::string& alias2, const std::vector<std::string>& extraSets,
                               const fs::path& output, ProcessResult* result) {
  std::vector<std::string> argv = {VELMORA_CLI_PATH,
                                   "run",
                                   "--oci-library",
                                   OCISIM_LIBRARY_PATH,
                                   "--mode",
                                   mode,
                                   "--output",
                                   output.string(),
                                   "--color",
                                   "never",
                                   "--no-progress",
                                   "--db1",
                                   scenario_.login1 + "@" + alias1};
  if (!alias2.empty()) {
    argv.push_back("--db2");
    argv.push_back(scenario_.login2 + "@" + alias2);
  }
  std::vector<std::string> sets = tablePhasesOnly();
  sets.insert(sets.end(), scenario_.sets.begin(), scenario_.sets.end());
  sets.insert(sets.end(), extraSets.begin(), extraSets.end());
  for (const std::string& set : sets) {
    argv.push_back("--set");
    argv.push_back(set);
  }
  *result = runProcess(argv, root_);
  if (result->exitCode == 0 && fs::exists(output)) return "";
  std::string message = result->describe(argv);
  if (fs::exists(output)) message += "\n--- output file ---\n" + readFile(output);
  return message;
}

}  // namespace velmora::e2e
