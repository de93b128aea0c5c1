#include "tool/cli.h"

#include <cctype>

namespace ocisim::tool {
namespace {

// The server releases a database can have.
constexpr const char* kReleases[] = {"19.3.0", "9.2.0", "8.1.7", "8.0.5", "7.3.4"};

// One of kReleases, alone or followed by up to two more numbers ("9.2.0.1.0").
bool isRelease(const std::string& v) {
  for (const char* release : kReleases) {
    std::string r = release;
    if (v == r) return true;
    if (v.compare(0, r.size() + 1, r + ".") != 0) continue;
    int parts = 0;
    size_t i = r.size();
    while (i < v.size() && v[i] == '.') {
      size_t start = ++i;
      while (i < v.size() && std::isdigit(static_cast<unsigned char>(v[i]))) ++i;
      if (i == start || i - start > 3) return false;
      ++parts;
    }
    return i == v.size() && parts <= 2;
  }
  return false;
}

class ArgReader {
 public:
  explicit ArgReader(const std::vector<std::string>& args) : args_(args) {}
  bool done() const { return pos_ >= args_.size(); }
  const std::string& next() { return args_[pos_++]; }
  std::string value(const std::string& option) {
    if (done()) throw UsageError("option " + option + " needs a value");
    return next();
  }

 private:
  const std::vector<std::string>& args_;
  size_t pos_ = 0;
};

std::string directoryArg(ArgReader& reader, const std::string& command) {
  if (reader.done()) throw UsageError("'" + command + "' needs a database directory");
  std::string dir = reader.next();
  if (dir.empty() || dir[0] == '-') {
    throw UsageError("'" + command + "' needs a database directory before its options");
  }
  return dir;
}

CreateArgs parseCreate(ArgReader& reader) {
  CreateArgs a;
  a.directory = directoryArg(reader, "create");
  while (!reader.done()) {
    std::string arg = reader.next();
    if (arg == "--name") {
      a.name = reader.value(arg);
      if (a.name.empty()) throw UsageError("--name must not be empty");
    } else if (arg == "--version") {
      a.version = reader.value(arg);
      if (!isRelease(a.version)) {
        throw UsageError(
            "--version takes one of the releases 19.3.0, 9.2.0, 8.1.7, 8.0.5 and "
            "7.3.4 (patch numbers may follow, as in 9.2.0.1.0), not '" +
            a.version + "'");
      }
    } else if (arg == "--admin-password") {
      a.adminPassword = reader.value(arg);
      if (a.adminPassword.empty()) throw UsageError("--admin-password must not be empty");
    } else {
      throw UsageError("unknown option for 'create': " + arg);
    }
  }
  if (a.name.empty()) a.name = defaultGlobalName(a.directory);
  return a;
}

void parseLogon(const std::string& text, RunArgs& a) {
  std::string logon = text.substr(0, text.find('@'));  // an @alias is accepted and ignored
  size_t slash = logon.find('/');
  if (slash == std::string::npos || slash == 0 || slash + 1 == logon.size()) {
    throw UsageError("-u takes USER/PASSWORD, not '" + text + "'");
  }
  a.user = logon.substr(0, slash);
  a.password = logon.substr(slash + 1);
}

RunArgs parseRun(ArgReader& reader) {
  RunArgs a;
  a.directory = directoryArg(reader, "run");
  while (!reader.done()) {
    std::string arg = reader.next();
    if (arg == "-u") {
      parseLogon(reader.value(arg), a);
    } else if (arg == "-c") {
      if (a.hasCommandText) throw UsageError("-c given twice");
      a.commandText = reader.value(arg);
      a.hasCommandText = true;
    } else if (arg == "--echo") {
      a.echo = true;
    } else if (!arg.empty() && arg[0] == '-') {
      throw UsageError("unknown option for 'run': " + arg);
    } else {
      if (!a.scriptPath.empty()) throw UsageError("only one script can be run at a time");
      a.scriptPath = arg[0] == '@' ? arg.substr(1) : arg;
      if (a.scriptPath.empty()) throw UsageError("'@' needs a script file name");
    }
  }
  if (a.hasCommandText && !a.scriptPath.empty()) {
    throw UsageError("give either a script or -c, not both");
  }
  return a;
}

}  // namespace

std::string defaultGlobalName(const std::string& directory) {
  std::string path = directory;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  std::string last = path.substr(path.find_last_of('/') + 1);
  if (last == "." || last == "..") return "OCISIM";
  std::string name;
  for (char c : last) {
    unsigned char u = static_cast<unsigned char>(c);
    name += (std::isalnum(u) || c == '_' || c == '$') ? static_cast<char>(std::toupper(u)) : '_';
  }
  if (name.empty()) return "OCISIM";
  return name;
}

ToolArgs parseArgs(const std::vector<std::string>& args) {
  ToolArgs result;
  ArgReader reader(args);
  if (reader.done()) throw UsageError("no command given");
  std::string command = reader.next();
  if (command == "help" || command == "--help" || command == "-h") {
    result.command = ToolArgs::Command::Help;
  } else if (command == "create") {
    result.command = ToolArgs::Command::Create;
    result.create = parseCreate(reader);
  } else if (command == "run") {
    result.command = ToolArgs::Command::Run;
    result.run = parseRun(reader);
  } else if (command == "dump") {
    result.command = ToolArgs::Command::Dump;
    result.dump.directory = directoryArg(reader, "dump");
    if (!reader.done()) throw UsageError("unexpected argument for 'dump': " + reader.next());
  } else {
    throw UsageError("unknown command: " + command);
  }
  return result;
}

std::string usageText() {
  return "usage:\n"
         "  ocisim create DIR [--name NAME] [--version V] [--admin-password P]\n"
         "      creates a database in DIR with the users SYS and SYSTEM (password P, default\n"
         "      manager; SYSTEM holds DBA). V is the server release: 19.3.0 (default),\n"
         "      9.2.0, 8.1.7, 8.0.5 or 7.3.4.\n"
         "  ocisim run DIR [-u USER/PASSWORD] [--echo] [@script.sql | -c \"SQL\"]\n"
         "      runs a script like SQL*Plus (from standard input when neither is given) as\n"
         "      USER (default SYSTEM/manager); exits with 1 when a statement failed. The text\n"
         "      of -c may hold several statements separated by ';' (\"A; B\").\n"
         "  ocisim dump DIR\n"
         "      prints the whole catalog of the database in a stable text form.\n";
}

}  // namespace ocisim::tool
