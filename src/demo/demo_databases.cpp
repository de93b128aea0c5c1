#include "demo/demo_databases.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace velmora {

namespace fs = std::filesystem;

namespace {

struct DemoDatabase {
  const char* alias;   // also the folder name, in lower case
  const char* script;  // run as OE after users.sql
};

const DemoDatabase kDatabases[] = {
    {kDemoAlias1, "oe_current.sql"},
    {kDemoAlias2, "oe_production.sql"},
};

std::string lowerCase(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool readFile(const fs::path& path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  *text = buffer.str();
  return !in.bad();
}

// FNV-1a of the scripts a database is built from, so that a changed script rebuilds it.
std::string fingerprint(const std::string& text) {
  std::uint64_t hash = 1469598103934665603ull;
  for (unsigned char c : text) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  std::ostringstream out;
  out << std::hex << hash << "\n";
  return out.str();
}

// The last lines of the tool's log, to show with a failure.
std::string logTail(const fs::path& log, size_t lines) {
  std::string text;
  if (!readFile(log, &text)) return "";
  size_t start = text.size();
  if (start > 0 && text[start - 1] == '\n') --start;
  while (start > 0) {
    const size_t newline = text.rfind('\n', start - 1);
    if (newline == std::string::npos) return text;
    start = newline;
    if (--lines == 0) return text.substr(newline + 1);
  }
  return text;
}

// Runs the tool with its output appended to the log; returns its exit status (-1: not run).
int runTool(const std::string& tool, const std::vector<std::string>& arguments,
            const fs::path& log) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(tool.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const std::string logPath = log.string();
  const pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) {
    const int out = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    const int in = ::open("/dev/null", O_RDONLY);
    if (out < 0 || in < 0) ::_exit(126);
    ::dup2(in, STDIN_FILENO);
    ::dup2(out, STDOUT_FILENO);
    ::dup2(out, STDERR_FILENO);
    ::execv(tool.c_str(), argv.data());
    ::_exit(127);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Builds one database into a new folder and moves it into place only when every step worked,
// so that an interrupted or failed build is never taken for a finished one.
std::string buildDatabase(const DemoPaths& paths, const DemoDatabase& database,
                          const std::string& stamp, std::ostream& progress) {
  const fs::path work(paths.work);
  const fs::path target = work / lowerCase(database.alias);
  const fs::path building = work / (lowerCase(database.alias) + ".building");
  const fs::path log = work / (lowerCase(database.alias) + ".log");
  std::error_code error;
  fs::remove_all(building, error);
  fs::remove(log, error);
  progress << "velmora-cli: building the demo database " << database.alias << " in "
           << target.string() << "\n";
  const fs::path scripts(paths.scripts);
  const std::vector<std::vector<std::string>> steps = {
      {"create", building.string(), "--name", database.alias},
      {"run", building.string(), "-u", "SYSTEM/manager", "@" + (scripts / "users.sql").string()},
      {"run", building.string(), "-u", kDemoLogin, "@" + (scripts / database.script).string()},
  };
  for (const std::vector<std::string>& step : steps) {
    const int status = runTool(paths.tool, step, log);
    if (status != 0) {
      fs::remove_all(building, error);
      return "the demo database " + std::string(database.alias) + " could not be built (" +
             paths.tool + " " + step[0] + " exited with " + std::to_string(status) +
             "); the end of " + log.string() + ":\n" + logTail(log, 15);
    }
  }
  fs::remove_all(target, error);
  fs::rename(building, target, error);
  if (error) return "could not move " + building.string() + " into place: " + error.message();
  std::ofstream(work / (lowerCase(database.alias) + ".stamp"), std::ios::binary) << stamp;
  return "";
}

}  // namespace

DemoPaths DemoPaths::ofThisBuild() {
  DemoPaths paths;
#ifdef VELMORA_OCISIM_TOOL
  paths.tool = VELMORA_OCISIM_TOOL;
#endif
#ifdef VELMORA_OCISIM_LIBRARY
  paths.library = VELMORA_OCISIM_LIBRARY;
#endif
#ifdef VELMORA_DEMO_SCRIPTS
  paths.scripts = VELMORA_DEMO_SCRIPTS;
#endif
  // Never a shared folder such as /tmp: another user could plant databases there first.
  const char* cache = std::getenv("XDG_CACHE_HOME");
  const char* home = std::getenv("HOME");
  fs::path base;
  if (cache != nullptr && *cache == '/') {
    base = cache;
  } else if (home != nullptr && *home == '/') {
    base = fs::path(home) / ".cache";
  } else {
    return paths;  // no work folder: prepareDemoDatabases asks for --work
  }
  paths.work = (base / "velmora-for-oracle" / "demo").string();
  return paths;
}

std::string prepareDemoDatabases(const DemoPaths& paths, std::ostream& progress) {
  if (paths.work.empty()) {
    return "neither HOME nor XDG_CACHE_HOME names a folder of your own for the demo databases: "
           "give one with --work DIR";
  }
  if (paths.tool.empty() || ::access(paths.tool.c_str(), X_OK) != 0) {
    return "the ocisim tool was not found at \"" + paths.tool +
           "\"; build the project first (make demo builds everything)";
  }
  std::string users;
  if (!readFile(fs::path(paths.scripts) / "users.sql", &users)) {
    return "the demo scripts were not found in \"" + paths.scripts + "\"";
  }
  std::error_code error;
  fs::create_directories(paths.work, error);
  if (error) return "could not create the work folder " + paths.work + ": " + error.message();
  for (const DemoDatabase& database : kDatabases) {
    std::string schema;
    if (!readFile(fs::path(paths.scripts) / database.script, &schema)) {
      return "the demo script " + std::string(database.script) + " was not found in \"" +
             paths.scripts + "\"";
    }
    const std::string stamp = fingerprint(users + '\0' + schema);
    const fs::path folder = fs::path(paths.work) / lowerCase(database.alias);
    std::string stored;
    if (fs::is_directory(folder, error) &&
        readFile(fs::path(paths.work) / (lowerCase(database.alias) + ".stamp"), &stored) &&
        stored == stamp) {
      continue;
    }
    if (std::string failure = buildDatabase(paths, database, stamp, progress); !failure.empty()) {
      return failure;
    }
  }
  return "";
}

}  // namespace velmora
