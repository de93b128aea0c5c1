// What the end-to-end suite reads out of a report: the text with what changes from run to run
// masked (for golden files), and the sections that say the databases still differ.
#pragma once

#include <string>
#include <vector>

namespace velmora::e2e {

// The report with CR LF turned into LF and masked: the end line's elapsed time ("<elapsed>"),
// the date of a script header ("<date>"), and every occurrence of `scratch` ("<tmp>").
std::string maskReport(const std::string& report, const std::string& scratch);

// The openings of the sections that mean a table, column, index, constraint, view or stored-code
// difference, or an error of a dictionary query, as the report writes them.
const std::vector<std::string>& differenceSectionOpenings();

// Every line of the report that opens such a section (empty when the databases agree).
std::vector<std::string> differenceSections(const std::string& report);

// The count of "N table(s) was/were found in" for Database 1 and Database 2 (-1 when missing).
struct TableCounts {
  int database1 = -1;
  int database2 = -1;
};
TableCounts tableCounts(const std::string& report);

// Compares a masked report with its golden file. When VELMORA_UPDATE_GOLDEN is set to 1 the
// golden is written instead and "" returned; otherwise "" when they agree, else a message
// naming the first differing line.
std::string checkGolden(const std::string& masked, const std::string& goldenPath);

}  // namespace velmora::e2e
