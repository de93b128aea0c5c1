#include "e2e_report.h"

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>

#include "e2e_process.h"

namespace velmora::e2e {

namespace {

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
  if (from.empty()) return;
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    result.push_back(line);
  }
  return result;
}

}  // namespace

std::string maskReport(const std::string& report, const std::string& scratch) {
  std::string text = report;
  replaceAll(text, "\r\n", "\n");
  replaceAll(text, scratch, "<tmp>");
  static const std::regex elapsed("Elapsed Time: [0-9]+:[0-9]{2}:[0-9]{2}");
  static const std::regex date("(\\*  Date: )[^\n]*");
  text = std::regex_replace(text, elapsed, "Elapsed Time: <elapsed>");
  text = std::regex_replace(text, date, "$1<date>");
  return text;
}

const std::vector<std::string>& differenceSectionOpenings() {
  static const std::vector<std::string> openings = {
      "The following tables DO NOT exist in ",
      "The following statements will drop tables that DO NOT exist in ",
      "The following statements will create tables that DO NOT exist in ",
      "The following are the structural differences between COMMON tables",
      "The following statements will upgrade the COMMON tables",
      "The following are the index differences between COMMON tables",
      "The following statements will upgrade the indexes for the COMMON tables",
      "The following are the constraint differences for table ",
      "The following statements will upgrade constraints for table ",
      "The following error ocurred when trying to process ",
      "Differences found in table ",
      "The following statements will update the data for table ",
      "The following error was received while processing ",
      // Views and stored code: an object on one side only (each kind writes "The following
      // <kind> DO NOT exist in "), sources or trigger statuses that differ, a statement that the
      // script could not hold.
      " DO NOT exist in ",
      "Differences found in ",
      "The following statements will replace ",
      "The status of trigger ",
      "No statement is written for ",
  };
  return openings;
}

std::vector<std::string> differenceSections(const std::string& report) {
  std::vector<std::string> found;
  for (const std::string& line : lines(report)) {
    for (const std::string& opening : differenceSectionOpenings()) {
      if (line.find(opening) != std::string::npos) {
        found.push_back(line);
        break;
      }
    }
  }
  return found;
}

TableCounts tableCounts(const std::string& report) {
  static const std::regex count("^(?:\\*  )?([0-9]+) tables? (?:was|were) found in ");
  TableCounts counts;
  for (const std::string& line : lines(report)) {
    std::smatch match;
    if (!std::regex_search(line, match, count)) continue;
    const int n = std::atoi(match[1].str().c_str());
    if (counts.database1 < 0) {
      counts.database1 = n;
    } else if (counts.database2 < 0) {
      counts.database2 = n;
    }
  }
  return counts;
}

std::string checkGolden(const std::string& masked, const std::string& goldenPath) {
  const char* update = std::getenv("VELMORA_UPDATE_GOLDEN");
  if (update != nullptr && std::string(update) == "1") {
    writeFile(goldenPath, masked);
    return "";
  }
  if (!std::filesystem::exists(goldenPath))
    return "no golden file " + goldenPath + " (run with VELMORA_UPDATE_GOLDEN=1, then review it)";
  const std::string golden = readFile(goldenPath);
  if (golden == masked) return "";
  const std::vector<std::string> want = lines(golden);
  const std::vector<std::string> got = lines(masked);
  size_t i = 0;
  while (i < want.size() && i < got.size() && want[i] == got[i]) ++i;
  std::string message = "the report differs from " + goldenPath + " at line " +
                        std::to_string(i + 1) + "\n  golden: ";
  message += i < want.size() ? "[" + want[i] + "]" : "(end of file)";
  message += "\n  report: ";
  message += i < got.size() ? "[" + got[i] + "]" : "(end of file)";
  return message + "\n--- whole report ---\n" + masked;
}

}  // namespace velmora::e2e
