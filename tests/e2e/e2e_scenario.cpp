#include "e2e_scenario.h"

#include <sstream>
#include <stdexcept>

#include "e2e_process.h"

namespace velmora::e2e {

namespace fs = std::filesystem;

namespace {

std::vector<std::string> words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> result;
  for (std::string word; in >> word;) result.push_back(word);
  return result;
}

// The text after the first word, without surrounding blanks.
std::string rest(const std::string& line) {
  const size_t start = line.find_first_not_of(" \t");
  size_t gap = line.find_first_of(" \t", start);
  if (gap == std::string::npos) return "";
  gap = line.find_first_not_of(" \t", gap);
  if (gap == std::string::npos) return "";
  const size_t end = line.find_last_not_of(" \t\r");
  return line.substr(gap, end - gap + 1);
}

void splitLogin(const std::string& text, Scenario& scenario) {
  const size_t slash = text.find('/');
  if (slash == std::string::npos || slash == 0 || slash + 1 == text.size())
    throw std::runtime_error("schema takes USER/PASSWORD, not '" + text + "'");
  scenario.schemaUser = text.substr(0, slash);
  scenario.schemaPassword = text.substr(slash + 1);
}

void applyLine(const std::string& line, Scenario& scenario) {
  const std::vector<std::string> parts = words(line);
  if (parts.empty() || parts[0][0] == '#') return;
  const std::string& key = parts[0];
  const auto one = [&]() -> const std::string& {
    if (parts.size() != 2) throw std::runtime_error(key + " takes one value");
    return parts[1];
  };
  if (key == "users") {
    scenario.users = scenario.folder / one();
  } else if (key == "db1") {
    scenario.db1 = scenario.folder / one();
  } else if (key == "db2") {
    scenario.db2 = scenario.folder / one();
  } else if (key == "schema") {
    splitLogin(one(), scenario);
  } else if (key == "login1") {
    scenario.login1 = one();
  } else if (key == "login2") {
    scenario.login2 = one();
  } else if (key == "version") {
    scenario.version = one();
  } else if (key == "version1") {
    scenario.version1 = one();
  } else if (key == "set") {
    scenario.sets.push_back(one());
  } else if (key == "report") {
    if (parts.size() < 2) throw std::runtime_error("report needs a name");
    scenario.reports.push_back({parts[1], {parts.begin() + 2, parts.end()}});
  } else if (key == "skip-upgrade" || key == "skip-script") {
    std::string reason = rest(line);
    if (reason.empty()) throw std::runtime_error(key + " needs a reason");
    (key == "skip-upgrade" ? scenario.skipUpgrade : scenario.skipScript) = reason;
  } else {
    throw std::runtime_error("unknown key '" + key + "'");
  }
}

}  // namespace

Scenario loadScenario(const fs::path& folder) {
  Scenario scenario;
  scenario.folder = folder;
  scenario.name = folder.filename().string();
  scenario.users =
      fs::exists(folder / "users.sql") ? folder / "users.sql" : folder.parent_path() / "users.sql";
  scenario.db1 = folder / "db1.sql";
  scenario.db2 = folder / "db2.sql";
  const fs::path file = folder / "scenario";
  if (!fs::exists(file)) throw std::runtime_error("no file " + file.string());
  std::istringstream in(readFile(file));
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    try {
      applyLine(line, scenario);
    } catch (const std::runtime_error& error) {
      throw std::runtime_error(file.string() + ":" + std::to_string(number) + ": " + error.what());
    }
  }
  const std::string schema = scenario.schemaUser + "/" + scenario.schemaPassword;
  if (scenario.login1.empty()) scenario.login1 = schema;
  if (scenario.login2.empty()) scenario.login2 = schema;
  return scenario;
}

}  // namespace velmora::e2e
