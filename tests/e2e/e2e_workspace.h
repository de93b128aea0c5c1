// The databases of one end-to-end test: a temporary folder that is OCISIM_HOME for the test, with
// one ocisim database per alias, built by the ocisim tool from the scenario's scripts, and the
// velmora-cli runs against them. The folder is removed when the workspace goes, unless
// VELMORA_KEEP_E2E=1 asks to keep it for a look. Failures are returned as messages ("" is
// success) so the tests can ASSERT on them with the programs' outputs attached.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "e2e_process.h"
#include "e2e_scenario.h"

namespace velmora::e2e {

// The options of a run that leave only the table phases on (every other kind off).
const std::vector<std::string>& tablePhasesOnly();

// A scenario made by a test rather than read from a folder: the users of scenarios/users.sql,
// the schema APP/app compared on both sides.
Scenario adHocScenario(const std::string& name);

class Workspace {
 public:
  explicit Workspace(const Scenario& scenario);
  ~Workspace();
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  const std::filesystem::path& root() const { return root_; }

  // A new database under the alias with the users script run as SYSTEM, then each of `scripts`
  // run as the scenario's schema owner.
  std::string createDatabase(const std::string& alias,
                             const std::vector<std::filesystem::path>& scripts);
  // The same from the text of one script (kept as <alias>.sql in the workspace).
  std::string createDatabaseFrom(const std::string& alias, const std::string& script);
  // Copies the folder of one database to a new alias.
  std::string copyDatabase(const std::string& from, const std::string& to);
  // Runs a script as the schema owner; fails unless every statement succeeded.
  std::string runScript(const std::string& alias, const std::filesystem::path& script);

  // velmora-cli run in `mode` (report, upgrade or script) with the scenario's options and
  // `extraSets`, Database 1 at alias1 and Database 2 at alias2 (none when empty); the output
  // goes to `output`. Fills *result; returns "" when the run finished (exit status 0).
  std::string velmora(const std::string& mode, const std::string& alias1, const std::string& alias2,
                      const std::vector<std::string>& extraSets,
                      const std::filesystem::path& output, ProcessResult* result);

 private:
  std::string tool(const std::vector<std::string>& arguments);

  const Scenario& scenario_;
  std::filesystem::path root_;
};

}  // namespace velmora::e2e
