// The demo of both front ends (velmora-cli demo, velmora --demo): two ocisim databases of the
// order-entry application in demo/, built with the ocisim tool in a work folder the first time
// (and again whenever the demo scripts change), then compared through libocisim.so like any
// Oracle database.
#pragma once

#include <ostream>
#include <string>

namespace velmora {

struct DemoPaths {
  std::string tool;     // the ocisim command
  std::string library;  // libocisim.so
  std::string scripts;  // the folder of users.sql, oe_current.sql and oe_production.sql
  std::string work;     // where the two databases live

  // The tool, library and scripts of this build; the work folder is
  // $XDG_CACHE_HOME/velmora-for-oracle/demo (~/.cache when XDG_CACHE_HOME is not set), and
  // empty when neither names an absolute folder.
  static DemoPaths ofThisBuild();
};

// The demo databases: the alias of each (found under the work folder, which becomes OCISIM_HOME)
// and the login of the schema compared.
inline constexpr const char* kDemoAlias1 = "CURRENT";
inline constexpr const char* kDemoAlias2 = "PRODUCTION";
inline constexpr const char* kDemoLogin = "oe/oe";

// Makes sure both databases exist (an empty work folder is refused) and were built from the present
// scripts, building what is missing or stale (progress lines go to `progress`). Returns "" or what
// went wrong, with the end of the tool's output.
std::string prepareDemoDatabases(const DemoPaths& paths, std::ostream& progress);

}  // namespace velmora
