// A scenario of the end-to-end suite: a folder with the scripts that build Database 1 and
// Database 2 and a file named "scenario" saying how to compare them. Its lines (blank lines and
// lines starting with '#' are ignored):
//
//   users FILE             script run as SYSTEM on every new database (default: users.sql of
//                          the folder, else ../users.sql)
//   db1 FILE / db2 FILE    the schema scripts (default db1.sql and db2.sql), run as `schema`
//   schema USER/PW         the owner of the compared schema (default APP/app); also runs the
//                          upgrade script and the script of Database 1
//   login1 TEXT            the connection of Database 1 without its @alias (default `schema`),
//   login2 TEXT            e.g. APP:inspector/insp to compare APP while logged on as INSPECTOR
//   version V              the release of every database of the scenario (ocisim create
//                          --version, e.g. 7.3.4 or 8.0.5; default the tool's current one)
//   version1 V             the release of Database 1 alone (the others keep `version`)
//   set KEY=VALUE          an option of every run of the scenario
//   report NAME [KEY=VALUE ...]
//                          a comparison report, with further options, checked against NAME.golden
//   skip-upgrade REASON    the upgrade round trip is skipped for a known fault (likewise
//   skip-script REASON     skip-script for "Script database 1")
// Paths are relative to the scenario folder.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velmora::e2e {

struct ReportRun {
  std::string name;               // the golden is <name>.golden in the scenario folder
  std::vector<std::string> sets;  // KEY=VALUE beyond the scenario's own
};

struct Scenario {
  std::string name;
  std::filesystem::path folder;
  std::filesystem::path users, db1, db2;
  std::string schemaUser = "APP";
  std::string schemaPassword = "app";
  std::string login1, login2;  // without @alias
  std::string version;         // "" for the tool's default release
  std::string version1;        // Database 1's, when it differs from `version`
  std::vector<std::string> sets;
  std::vector<ReportRun> reports;
  std::string skipUpgrade, skipScript;
};

// Reads <folder>/scenario; throws std::runtime_error naming the line on a malformed one.
Scenario loadScenario(const std::filesystem::path& folder);

}  // namespace velmora::e2e
