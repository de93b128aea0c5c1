// Command line of the `ocisim` tool: parsing into ToolArgs and the usage text.
//   ocisim create DIR [--name NAME] [--version V] [--admin-password P]
//   ocisim run DIR [-u USER/PASSWORD] [--echo] [@script.sql | script.sql | -c "SQL"]
//   ocisim dump DIR
// A malformed command line throws UsageError (the tool prints it with the usage, exit 2).
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace ocisim::tool {

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct CreateArgs {
  std::string directory;
  std::string name;  // global name; default: the directory's last name upper-cased
  std::string version = "19.3.0";
  std::string adminPassword = "manager";
};

struct RunArgs {
  std::string directory;
  std::string user = "SYSTEM";
  std::string password = "manager";
  std::string scriptPath;   // @script.sql or script.sql
  std::string commandText;  // -c "SQL"
  bool hasCommandText = false;
  bool echo = false;        // print each statement before its result
};

struct DumpArgs {
  std::string directory;
};

struct ToolArgs {
  enum class Command { Help, Create, Run, Dump } command = Command::Help;
  CreateArgs create;
  RunArgs run;
  DumpArgs dump;
};

// args: the arguments after the program name.
ToolArgs parseArgs(const std::vector<std::string>& args);

std::string usageText();

// The default global name for a database directory: its last path element upper-cased, with
// characters other than letters, digits, '_' and '$' replaced by '_' ("OCISIM" when empty).
std::string defaultGlobalName(const std::string& directory);

}  // namespace ocisim::tool
