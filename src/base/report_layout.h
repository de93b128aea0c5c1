// Report layout shared by every comparer: the separator line, the comment banner of the scripts,
// section starts and headings, list lines, count lines and fixed-width fields, plus the run
// headers of the three output modes. Functions write through any ReportWriter; thread-safe as
// far as the writer is.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "base/comparison_options.h"
#include "base/report_writer.h"

namespace velmora {

inline constexpr const char* kProductName = "Velmora for Oracle";
inline constexpr const char* kProductWebAddress = "https://velmora.example/oracle";

// 127 hyphens, no line end.
const std::string& separatorLine();
// "/" + 120 asterisks + "\r\n*\r\n".
const std::string& bannerTop();
// "\r\n*\r\n" + 120 asterisks + "/\r\n\r\n".
const std::string& bannerBottom();

inline constexpr const char* kSectionStart = "\r\n\r\n\r\n";

// The report's colours and the line-count flag of ReportOutput::write as the comparers write
// them: Database 1 blue, Database 2 red, both or neither green, words black, notices maroon.
inline constexpr ReportColour kBlack = ReportColour::Black;
inline constexpr ReportColour kBlue = ReportColour::Blue;
inline constexpr ReportColour kRed = ReportColour::Red;
inline constexpr ReportColour kGreen = ReportColour::Green;
inline constexpr ReportColour kMaroon = ReportColour::Maroon;
inline constexpr bool kCounted = true;
inline constexpr bool kNotCounted = false;

// `count` blanks (none for a count below 1): the padding of aligned report columns.
std::string blanks(int count);

// A text cut to `width` bytes when longer, padded with blanks on the right when shorter:
// fixedWidth("ABCDEF", 4) == "ABCD", fixedWidth("AB", 4) == "AB  ".
std::string fixedWidth(std::string_view text, size_t width);
// fixedWidth appended to `out`, without a string of its own.
void appendFixedWidth(std::string& out, std::string_view text, size_t width);

// "\r\n" + s_StarComment + "\t\t" + name, the name escaped for the mode (reportText). Names and
// display names are escaped wherever this layout writes them; other text is the caller's to escape.
std::string listLine(const ComparisonOptions& options, std::string_view name);

// The words of a count line: countWords(1, "table", "tables") == " table was found in ",
// countWords(3, "table", "tables") == " tables were found in ".
std::string countWords(int count, std::string_view singular, std::string_view plural);

// A count line: the count ("%d") in the database's colour, the words in wordsColour, then the
// database's display name in its colour (escapeForBlockComment: scripts write it in a banner).
// Nothing before or after it.
void writeCountLine(ReportWriter& out, int count, std::string_view singular,
                    std::string_view plural, const std::string& databaseName,
                    ReportColour databaseColour, ReportColour wordsColour);

// A section with a heading: in the comparison report "\r\n\r\n\r\n" + heading in black; in the
// scripts "\r\n\r\n\r\n" + a green comment block (banner top, s_StarComment + heading, banner
// bottom).
void writeSectionHeading(ReportWriter& out, const ComparisonOptions& options,
                         const std::string& heading);

// Names for the run header.
struct RunHeaderNames {
  std::string database1;  // display name of Database 1
  std::string database2;  // display name of Database 2 ("" when there is none)
  std::string schema2;    // the schema compared in Database 2
};

// "%B %d, %Y  %X" of the local time, e.g. "March 05, 2024  14:03:07" in the C locale.
std::string formatHeaderDate(std::time_t when);

// The header of a comparison report: "< DATABASE 1:  " name1 "\r\n> DATABASE 2:  " name2.
void writeComparisonHeader(ReportWriter& out, const RunHeaderNames& names);

// The green banner of the upgrade script (mode 1) and the database script (mode 2).
void writeScriptHeader(ReportWriter& out, int mode, const RunHeaderNames& names, std::time_t now);

// The header of the mode: the script banner in modes 1 and 2, the comparison header otherwise.
void writeRunHeader(ReportWriter& out, int mode, const RunHeaderNames& names, std::time_t now);

}  // namespace velmora
