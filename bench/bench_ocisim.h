// The two databases of a benchmark that reaches ocisim through libocisim.so: built once per
// process with the ocisim tool in a temporary directory (db1 and db2), removed at exit. Each gets
// the administrator's script (users, grants), then the schema script as user bench (bench/bench).
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>

namespace bench {

class OcisimDatabases {
 public:
  // prefix: the temporary directory's name before its random part; schema(second): the schema
  // script of Database 1 (false) or Database 2 (true).
  OcisimDatabases(const std::string& prefix, std::string users,
                  std::function<std::string(bool second)> schema)
      : users_(std::move(users)), schema_(std::move(schema)) {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    home_ = pattern;
    build("db1", false);
    build("db2", true);
  }
  ~OcisimDatabases() {
    std::error_code ec;
    std::filesystem::remove_all(home_, ec);
  }
  OcisimDatabases(const OcisimDatabases&) = delete;
  OcisimDatabases& operator=(const OcisimDatabases&) = delete;

  // The connection text of Database 1 or 2.
  std::string logon(int number) const {
    return "bench/bench@" + (home_ / (number == 1 ? "db1" : "db2")).string();
  }

 private:
  void build(const std::string& name, bool second) {
    const std::filesystem::path dir = home_ / name;
    std::ofstream(home_ / "users.sql") << users_;
    std::ofstream(home_ / (name + ".sql")) << schema_(second);
    const std::string tool = std::string("'") + OCISIM_TOOL_PATH + "' ";
    const std::string log = " > '" + (home_ / "tool.log").string() + "' 2>&1";
    for (const std::string& command :
         {tool + "create '" + dir.string() + "'" + log,
          tool + "run '" + dir.string() + "' @'" + (home_ / "users.sql").string() + "'" + log,
          tool + "run '" + dir.string() + "' -u bench/bench @'" +
              (home_ / (name + ".sql")).string() + "'" + log}) {
      if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
    }
  }

  std::filesystem::path home_;
  std::string users_;
  std::function<std::string(bool)> schema_;
};

}  // namespace bench
