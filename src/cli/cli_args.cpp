#include "cli/cli_args.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "base/option_keys.h"
#include "cli/cli_app.h"
#include "oracle/connection_text.h"

namespace velmora::cli {

namespace {

bool setOption(CliArgs& args, const char* key, const std::string& value, std::string* error) {
  return setOptionValue(args.options, key, value, error);
}

bool applyMode(CliArgs& args, const std::string& value, std::string* error) {
  static const char* const kModes[] = {"report", "upgrade", "script"};
  for (int mode = 0; mode < 3; ++mode) {
    if (value == kModes[mode]) {
      args.options.i_DoingUpgradeScript = mode;
      return true;
    }
  }
  *error = "Invalid value \"" + value + "\" for --mode: expected report, upgrade or script";
  return false;
}

bool applyFile(CliArgs& args, const std::string& value, bool onlyToFile, std::string* error) {
  if (value.empty()) {
    *error = std::string(onlyToFile ? "--output" : "--autosave") + " needs a file name";
    return false;
  }
  // The other mode is not switched off here: both given is refused once all flags are read.
  args.options.s_AutoSaveFile = value;
  (onlyToFile ? args.options.b_OnlyToFile : args.options.b_AutoSave) = 1;
  return true;
}

bool applyColour(CliArgs& args, const std::string& value, std::string* error) {
  if (value == "auto") {
    args.colour = ColourMode::Auto;
  } else if (value == "always") {
    args.colour = ColourMode::Always;
  } else if (value == "never") {
    args.colour = ColourMode::Never;
  } else {
    *error = "Invalid value \"" + value + "\" for --color: expected auto, always or never";
    return false;
  }
  return true;
}

// A connection text needs a user and a database; the text itself is never repeated in a
// message, since it may hold a password.
bool applyConnection(CliArgs& args, int number, const std::string& value, std::string* error) {
  const ConnectionText login = parseConnectionText(value);
  if (login.user.empty() || login.database.empty()) {
    *error = "Invalid value for --db" + std::to_string(number) +
             ": expected [schema:]user[/password]@alias";
    return false;
  }
  (number == 1 ? args.database1 : args.database2) = value;
  args.databaseGiven[number - 1] = true;
  return true;
}

// --set IgnoreColumns=A%,B and --set IgnoreTables=T1,T2: the selection lists, which have no
// configuration-file key of their own, given as comma-separated names (upper-cased, as the
// parameters dialog enters them). Returns false when the key is no such list.
bool setSelectionList(CliArgs& args, const std::string& assignment, bool* ok, std::string* error) {
  const size_t equals = assignment.find('=');
  const std::string key = assignment.substr(0, equals);
  ComparisonOptions& o = args.options;
  // The selection lists by their configuration-file keys.
  const std::pair<const char*, NameList*> lists[] = {
      {"IgnoreColumns", &o.IgnoreColumns},       {"IgnoreTables", &o.IgnoreTables},
      {"IgnoreViews", &o.IgnoreViews},           {"IgnoreProcs", &o.IgnoreProcs},
      {"IgnoreFuncs", &o.IgnoreFuncs},           {"IgnorePacks", &o.IgnorePacks},
      {"IgnorePackBodies", &o.IgnorePackBodies}, {"IgnoreTypes", &o.IgnoreTypes},
      {"IgnoreTypeBodies", &o.IgnoreTypeBodies}, {"IgnoreTrigs", &o.IgnoreTrigs},
      {"IgnoreViewSource", &o.IgnoreViewSource}};
  NameList* list = nullptr;
  for (const auto& [name, candidate] : lists) {
    if (key == name) list = candidate;
  }
  if (list == nullptr || equals == std::string::npos) return false;
  list->clear();
  std::string rest = assignment.substr(equals + 1);
  *ok = true;
  while (!rest.empty()) {
    const size_t comma = rest.find(',');
    std::string name = rest.substr(0, comma);
    rest = comma == std::string::npos ? "" : rest.substr(comma + 1);
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (name.empty()) continue;
    const size_t expander = name.find('%');
    if (list == &args.options.IgnoreColumns && expander != std::string::npos &&
        name.find('%', expander + 1) != std::string::npos) {
      *error = "You can have only one expander ('%') per string";
      *ok = false;
      return true;
    }
    list->add(name);
  }
  return true;
}

// --key TABLE=COL1,COL2: the key columns the data upgrade uses for TABLE (names upper-cased, as
// the other lists; repeatable, the last one for a table counts).
bool applyKeyOverride(CliArgs& args, const std::string& value, std::string* error) {
  const auto upper = [](std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
  };
  const size_t equals = value.find('=');
  const std::string table = upper(value.substr(0, equals));
  std::vector<std::string> columns;
  std::string rest = equals == std::string::npos ? "" : value.substr(equals + 1);
  while (!rest.empty()) {
    const size_t comma = rest.find(',');
    const std::string column = upper(rest.substr(0, comma));
    rest = comma == std::string::npos ? "" : rest.substr(comma + 1);
    if (column.empty()) continue;
    if (std::find(columns.begin(), columns.end(), column) != columns.end()) {
      *error = "Invalid value \"" + value + "\" for --key: column " + column + " is given twice";
      return false;
    }
    columns.push_back(column);
  }
  if (table.empty() || columns.empty()) {
    *error = "Invalid value \"" + value + "\" for --key: expected TABLE=COLUMN[,COLUMN...]";
    return false;
  }
  args.options.keyOverrides.set(table, std::move(columns));
  return true;
}

bool applyAnswer(CliArgs& args, bool yes, std::string* error) {
  const Answer answer = yes ? Answer::Yes : Answer::No;
  if (args.answer && *args.answer != answer) {
    *error = "--yes and --no cannot be used together";
    return false;
  }
  args.answer = answer;
  return true;
}

std::vector<FlagSpec> makeRunFlags() {
  return {
      {"--db1", "CONNECT",
       "Database 1 (the source): [schema:]user[/password]@alias; without a password it is "
       "read from VELMORA_DB1_PASSWORD or asked for on the terminal (a password written here "
       "shows in ps: see Passwords below)",
       [](CliArgs& a, const std::string& v, std::string* e) {
         return applyConnection(a, 1, v, e);
       }},
      {"--db2", "CONNECT", "Database 2 (the target), likewise (VELMORA_DB2_PASSWORD)",
       [](CliArgs& a, const std::string& v, std::string* e) {
         return applyConnection(a, 2, v, e);
       }},
      {"--oci-library", "PATH",
       "the OCI client library to load, e.g. a libclntsh.so or libocisim.so (default: the "
       "Oracle client found on the library path)",
       [](CliArgs& a, const std::string& v, std::string* e) {
         if (v.empty()) {
           *e = "--oci-library needs a file name";
           return false;
         }
         a.ociLibrary = v;
         return true;
       }},
      {"--work", "DIR", "demo only: the folder of the demo databases (default: in ~/.cache)",
       [](CliArgs& a, const std::string& v, std::string* e) {
         if (v.empty()) {
           *e = "--work needs a folder name";
           return false;
         }
         a.demoWork = v;
         return true;
       }},
      {"--mode", "report|upgrade|script",
       "comparison report (default), upgrade script, or script of database 1", applyMode},
      {"--output", "FILE", "(or -o) process the complete report to FILE, not to stdout",
       [](CliArgs& a, const std::string& v, std::string* e) { return applyFile(a, v, true, e); }},
      {"--autosave", "FILE", "save the report incrementally to FILE while printing it",
       [](CliArgs& a, const std::string& v, std::string* e) { return applyFile(a, v, false, e); }},
      {"--autosave-lines", "N", "lines between incremental saves (1 to 999999, default 500)",
       [](CliArgs& a, const std::string& v, std::string* e) {
         if (setOption(a, "i_AutoSaveLines", v, e)) return true;
         *e = "Invalid value \"" + v +
              "\" for --autosave-lines: expected a number of lines from 1 "
              "to 999999";
         return false;
       }},
      {"--set", "KEY=VALUE",
       "set an option by its configuration-file key, e.g. b_DoData=0, or a list: "
       "IgnoreColumns=AUDIT_%,ROW_ID or IgnoreTables=T1,T2 (also IgnoreViews, IgnoreTrigs, "
       "IgnoreViewSource, IgnoreFuncs, IgnorePacks, IgnorePackBodies, IgnoreProcs, IgnoreTypes, "
       "IgnoreTypeBodies; repeatable)",
       [](CliArgs& a, const std::string& v, std::string* e) {
         bool ok = false;
         if (setSelectionList(a, v, &ok, e)) return ok;
         return setOptionAssignment(a.options, v, e);
       }},
      {"--key", "TABLE=COL1,COL2",
       "the key columns by which the upgrade script finds the rows of TABLE (a table without "
       "a primary key, or another key than its own); repeatable, saved in configuration files",
       applyKeyOverride},
      {"--yes", nullptr, "answer Yes to every question of the run",
       [](CliArgs& a, const std::string&, std::string* e) { return applyAnswer(a, true, e); }},
      {"--no", nullptr, "answer No to every question of the run",
       [](CliArgs& a, const std::string&, std::string* e) { return applyAnswer(a, false, e); }},
      {"--config", "FILE.dbo",
       "start from a configuration file: its connections and options, which the other options "
       "override (the run asks nothing; see docs/cli.md)",
       [](CliArgs& a, const std::string& v, std::string* e) {
         if (v.empty()) {
           *e = "--config needs a file name";
           return false;
         }
         a.configFile = v;
         return true;
       }},
      {"--exit-code", nullptr,
       "exit with status 9 when the databases differ in anything compared (0 when they do "
       "not), as diff does",
       [](CliArgs& a, const std::string&, std::string*) {
         a.exitCode = true;
         return true;
       }},
      {"--crlf", nullptr, "write the report with CR LF line ends (for Windows users) instead of LF",
       [](CliArgs& a, const std::string&, std::string*) {
         a.crlf = true;
         return true;
       }},
      {"--color", "auto|always|never", "report colours (auto: on a terminal, unless NO_COLOR)",
       applyColour},
      {"--no-progress", nullptr, "no status line and progress bar on stderr",
       [](CliArgs& a, const std::string&, std::string*) {
         a.progress = false;
         return true;
       }},
  };
}

const FlagSpec* findFlag(const std::string& name) {
  for (const FlagSpec& flag : runFlags()) {
    if (name == flag.name) return &flag;
  }
  return nullptr;
}

// Parses the flags of a run from arguments[first...]; returns an error or "".
std::string parseRunFlags(const std::vector<std::string>& arguments, size_t first, CliArgs& args) {
  for (size_t i = first; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--help" || argument == "-h") {
      args.command = Command::Help;
      return "";
    }
    const size_t equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    const FlagSpec* flag = argument.rfind("--", 0) == 0 ? findFlag(name)
                           : argument == "-o"           ? findFlag("--output")
                                                        : nullptr;
    if (!flag) return "Unknown argument \"" + argument + "\"";
    std::string value;
    if (flag->valueName == nullptr) {
      if (equals != std::string::npos) return std::string(flag->name) + " takes no value";
    } else if (equals != std::string::npos) {
      value = argument.substr(equals + 1);
    } else if (i + 1 < arguments.size()) {
      value = arguments[++i];
    } else {
      return std::string(flag->name) + " needs a value (" + flag->valueName + ")";
    }
    std::string error;
    if (!flag->apply(args, value, &error)) return error;
  }
  return "";
}

// The demo brings its own databases; --work only means something to it. One file serves one
// output mode: the report only (--output) or a copy of what is printed (--autosave).
std::string checkCommandFlags(const CliArgs& args) {
  if (args.options.b_OnlyToFile && args.options.b_AutoSave) {
    return "--output and --autosave cannot be used together: --output writes the report only to "
           "its file, --autosave saves a copy of what is printed";
  }
  if (args.command == Command::Demo && (!args.database1.empty() || !args.database2.empty())) {
    return "demo compares its own databases: --db1 and --db2 are for run";
  }
  if (args.command != Command::Demo && !args.demoWork.empty()) return "--work is for demo only";
  if (args.command == Command::Demo && !args.configFile.empty())
    return "demo compares its own databases: --config is for run and config save";
  if (args.exitCode && args.options.i_DoingUpgradeScript == 2)
    return "--exit-code needs a comparison: the script of Database 1 (--mode script) compares "
           "nothing";
  return "";
}

// sql-compare: --sql1, --sql2 and --sql (both) take the statements; the other flags are those
// of run. Only the report is written: the mode stays "report".
std::string parseSqlCompareArgs(const std::vector<std::string>& arguments, CliArgs& args) {
  std::vector<std::string> rest{arguments[0]};
  for (size_t i = 1; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const size_t equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    if (name != "--sql1" && name != "--sql2" && name != "--sql") {
      rest.push_back(argument);
      continue;
    }
    std::string value;
    if (equals != std::string::npos) {
      value = argument.substr(equals + 1);
    } else if (i + 1 < arguments.size()) {
      value = arguments[++i];
    } else {
      return name + " needs a value (a select, or @FILE)";
    }
    if (name != "--sql2") args.sql1 = value;
    if (name != "--sql1") args.sql2 = value;
  }
  if (std::string error = parseRunFlags(rest, 1, args); !error.empty()) return error;
  if (args.sql1.empty() || args.sql2.empty())
    return "sql-compare needs the statements: --sql1 and --sql2, or --sql for both";
  if (args.options.i_DoingUpgradeScript != 0)
    return "sql-compare only reports: --mode must be report";
  return "";
}

}  // namespace

const std::vector<FlagSpec>& runFlags() {
  static const std::vector<FlagSpec> flags = makeRunFlags();
  return flags;
}

ParseResult parseArgs(const std::vector<std::string>& arguments, const ComparisonOptions* base) {
  ParseResult result;
  if (base != nullptr) result.args.options = *base;
  if (arguments.empty()) {
    result.error = "No command given";
    return result;
  }
  const std::string& command = arguments[0];
  if (command == "--help" || command == "-h" || command == "help") {
    result.args.command = Command::Help;
  } else if (command == "--version" || command == "version") {
    result.args.command = Command::Version;
  } else if (command == "options") {
    result.args.command = Command::Options;
  } else if (command == "config") {
    const std::string action = arguments.size() > 1 ? arguments[1] : "";
    if (action != "save" && action != "show") {
      result.error =
          "config needs an action: config save FILE.dbo [options] or config show "
          "FILE.dbo";
      return result;
    }
    result.args.command = action == "save" ? Command::ConfigSave : Command::ConfigShow;
    if (arguments.size() < 3 || arguments[2].empty() || arguments[2].rfind("--", 0) == 0) {
      result.error = "config " + action + " needs a file name";
      return result;
    }
    result.args.configTarget = arguments[2];
    if (action == "show") {
      if (arguments.size() > 3) result.error = "Unexpected argument \"" + arguments[3] + "\"";
      return result;
    }
    result.error = parseRunFlags(arguments, 3, result.args);
    if (result.ok()) result.error = checkCommandFlags(result.args);
    return result;
  } else if (command == "sql-compare") {
    result.args.command = Command::SqlCompare;
    result.error = parseSqlCompareArgs(arguments, result.args);
    if (result.ok()) result.error = checkCommandFlags(result.args);
    return result;
  } else if (command == "run" || command == "demo") {
    result.args.command = command == "run" ? Command::Run : Command::Demo;
    result.error = parseRunFlags(arguments, 1, result.args);
    if (result.ok()) result.error = checkCommandFlags(result.args);
    return result;
  } else {
    result.error = "Unknown command \"" + command + "\"";
    return result;
  }
  if (arguments.size() > 1) result.error = "Unexpected argument \"" + arguments[1] + "\"";
  return result;
}

std::string usageText() {
  std::string text =
      "Usage: velmora-cli run [options]    compare two databases and print the report\n"
      "       velmora-cli demo [options]   compare the demo databases\n"
      "       velmora-cli sql-compare --sql1 SELECT --sql2 SELECT [options]\n"
      "                                    compare the rows of two selects (@FILE: a file's text)\n"
      "       velmora-cli config save FILE.dbo [options]   write a configuration file\n"
      "       velmora-cli config show FILE.dbo   print a configuration file without passwords\n"
      "       velmora-cli options          list every --set key with its meaning and default\n"
      "       velmora-cli --help | --version\n"
      "\n"
      "Velmora for Oracle compares Database 1 (the source) with Database 2 (the target).\n"
      "The report goes to stdout, in colour on a terminal; the status line and progress bar\n"
      "go to stderr when it is a terminal. Options start from their defaults.\n"
      "\n"
      "Options of run and demo:\n";
  for (const FlagSpec& flag : runFlags()) {
    std::string left = std::string("  ") + flag.name;
    if (flag.valueName) left += std::string(" ") + flag.valueName;
    if (left.size() < 34) {
      left.resize(34, ' ');
    } else {
      left += "\n" + std::string(34, ' ');
    }
    text += left + flag.help + "\n";
  }
  text +=
      "\n"
      "Ctrl+C stops the run (its report ends with the stopped line); a second Ctrl+C quits.\n"
      "\n"
      "Passwords: a password written into --db1 or --db2 (user/password@alias) can be read by\n"
      "every user of this machine in the process list (ps) and stays in the shell's history.\n"
      "Leave it out (user@alias) and set VELMORA_DB1_PASSWORD / VELMORA_DB2_PASSWORD, or let\n"
      "velmora-cli ask for it on the terminal.\n"
      "A configuration file (config save) holds the passwords of its connections in plain text,\n"
      "as other tools read these files: it is created readable by its owner only (mode 0600).\n"
      "Leave the password out of --db1/--db2 when saving, and the run from the file takes it\n"
      "from the variables or the terminal.\n"
      "\n"
      "Exit status:\n";
  const struct {
    int status;
    const char* meaning;
  } statuses[] = {
      {kExitFinished, "the run finished and compared everything asked"},
      {kExitStopped, "the run was stopped, or the demo databases could not be built"},
      {kExitUsage, "usage error: the command line is not valid"},
      {kExitUnanswered, "the run needed an answer that --yes or --no did not give"},
      {kExitNotConnected, "a database could not be connected, or its schema does not exist"},
      {kExitRunErrors,
       "the run finished with errors: something could not be read or compared\n"
       "         (the report names what)"},
      {kExitOutputFailed,
       "the report or script file could not be opened or written, or standard\n"
       "         output failed (the message gives the system's reason)"},
      {kExitNoClient, "the Oracle client library could not be loaded"},
      {kExitConfiguration, "a configuration file could not be read (or is damaged) or written"},
      {kExitDifferences, "with --exit-code: the run finished and the databases differ"},
  };
  for (const auto& entry : statuses) {
    std::string number = "  " + std::to_string(entry.status);
    number.resize(9, ' ');
    text += number + entry.meaning + "\n";
  }
  text += "  " + std::to_string(kExitSignalBase) +
          "+N  stopped by signal N: " + std::to_string(kExitInterrupted) +
          " for Ctrl+C (SIGINT), " + std::to_string(kExitSignalBase + 15) + " for SIGTERM,\n" +
          "         " + std::to_string(kExitSignalBase + 1) + " for SIGHUP\n";
  return text;
}

}  // namespace velmora::cli
