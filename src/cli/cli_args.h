// Command-line parsing of velmora-cli: the subcommand and, for runs, the comparison options and
// how questions are answered. Flags of a subcommand are rows of a table (name, value, help, and
// what they do to the parsed arguments), so new flags (connections, ...) are new rows.
// Pure functions; a usage error is returned, never printed.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/comparison_options.h"
#include "base/run_host.h"

namespace velmora::cli {

enum class Command { Help, Version, Run, Demo, ConfigSave, ConfigShow, Options, SqlCompare };
enum class ColourMode { Auto, Always, Never };

struct CliArgs {
  Command command = Command::Help;
  ComparisonOptions options;     // defaults, then every flag in command-line order
  std::optional<Answer> answer;  // --yes / --no: the answer to every question
  ColourMode colour = ColourMode::Auto;
  bool progress = true;  // status line and progress bar on a terminal
  // --db1 / --db2: the connection texts "[schema:]user[/password]@alias" ("" when not given).
  std::string database1, database2;
  std::string ociLibrary;  // --oci-library: the OCI client library to load ("" = the settings)
  std::string demoWork;    // demo --work: the folder of the demo databases ("" = the default)
  // --config FILE: the configuration file whose options and connections the run starts from;
  // the other flags override them. config save / show: the file they write or print.
  std::string configFile;
  std::string configTarget;
  bool exitCode = false;  // --exit-code: a distinct status when the databases differ
  bool crlf = false;      // --crlf: CR LF line ends in the report's stdout and file
  bool databaseGiven[2] = {false, false};  // --db1 / --db2 given (they override the file's)
  // sql-compare --sql1 / --sql2 (--sql: both): the statements, or "@FILE" for a file's text.
  std::string sql1, sql2;
};

struct ParseResult {
  CliArgs args;
  std::string error;  // a usage error when not empty
  bool ok() const { return error.empty(); }
};

// A flag of a subcommand.
struct FlagSpec {
  const char* name;       // "--mode"
  const char* valueName;  // "report|upgrade|script", or nullptr for a flag without a value
  const char* help;
  // Applies the flag; returns false with *error set when the value is not acceptable.
  std::function<bool(CliArgs& args, const std::string& value, std::string* error)> apply;
};

// The flags of `run` (and `demo`).
const std::vector<FlagSpec>& runFlags();

// argv without the program name. `base`: the options the flags start from (a configuration
// file's), else the defaults.
ParseResult parseArgs(const std::vector<std::string>& arguments,
                      const ComparisonOptions* base = nullptr);

// `velmora-cli options`: every --set key with its meaning and default.
std::string optionsText();

std::string usageText();

}  // namespace velmora::cli
