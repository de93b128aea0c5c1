// The source line comparison: two sources compared line by line with the greedy
// nearest-match rule, every line not matched on the other side printed with "< " (Database 1,
// blue) or "> " (Database 2, red). Used by the stored-code comparer for every kind; the privilege
// comparison can use it for its lists too. Runs on the run's worker thread; a SourceDiff borrows
// its writer and run control and keeps only the names of the object being compared.
//
// The literal greedy algorithm searches both remaining lists from their start at every step, which costs
// the product of the two line counts. diffLines gives exactly the same output (same lines, same
// order, same marks, ties to Database 1) in time linear in the number of lines: the next
// occurrence of a key is found through an index from key to the queue of its positions, whose
// head only moves forward as lines are consumed. source_diff_test.cpp checks it against the
// literal algorithm on thousands of random cases.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/report_colour.h"
#include "base/report_writer.h"

namespace velmora {

class RunControl;

// How lines are matched.
struct LineKeyRules {
  bool numbered = false;     // "(n) text": the number prefix takes no part in matching
  bool ignoreSpaces = true;  // b_IgnoreSourceSpaces: leading and trailing white space ignored
};

// The form in which a line is matched (a view into `line`):
//   numbered:     "(12)   x := 1;\r\n" -> "  x := 1;\r\n" (everything up to the first blank
//                 dropped; a line without a blank gives "");
//   ignoreSpaces: blanks, TABs, CR and LF at both ends dropped -> "x := 1;".
// Keys are compared exactly, byte by byte.
std::string_view lineKey(std::string_view line, const LineKeyRules& rules);

// Position (from 0) of the first line of `lines` at or after `from` whose key equals the key of
// `line`, counted from `from`; -1 when there is none. The literal linear search.
int findLine(std::string_view line, const std::vector<std::string>& lines,
             const LineKeyRules& rules, size_t from = 0);

// What a difference header names: the kind in lower case ("stored procedure"), with capitals
// ("Stored Procedure"), and the object.
struct SourceNames {
  std::string kind;
  std::string capitalisedKind;
  std::string object;
};

class SourceDiff {
 public:
  // control may be null (no pause, stop or skip is polled: tests and benchmarks).
  SourceDiff(ReportWriter& out, RunControl* control) : out_(out), control_(control) {}

  void setRules(const LineKeyRules& rules) { rules_ = rules; }
  const LineKeyRules& rules() const { return rules_; }
  void setNames(SourceNames names) { names_ = std::move(names); }
  const SourceNames& names() const { return names_; }
  // Written after the difference header (the privilege lists' column heading); may be empty.
  void setHeadingExtra(std::function<void()> extra) { headingExtra_ = std::move(extra); }

  // Compares and prints; both lists are consumed (empty on return). Returns header pending: still
  // set when nothing was printed. A skip request (taken at any step) writes the skip line, drops
  // the rest of both lists and returns header pending as it was.
  bool diffLines(std::vector<std::string>& lines1, std::vector<std::string>& lines2,
                 bool headerPending);

  // "< " when the colour is blue, else "> ", in black, then the line in its colour (counted).
  // The line is written as fetched, its control characters escaped except TAB and its own end.
  void writeSourceLine(const std::string& line, ReportColour colour);
  // "\r\n\r\n\r\nDifferences found in " + kind + " " (black), the object + "\r\n\r\n" (green).
  void writeSourceDifferenceHeader();

  // True when the last diffLines was cut short by a skip.
  bool skipped() const { return skipped_; }

 private:
  ReportWriter& out_;
  RunControl* control_;
  LineKeyRules rules_;
  SourceNames names_;
  std::function<void()> headingExtra_;
  bool skipped_ = false;
};

}  // namespace velmora
