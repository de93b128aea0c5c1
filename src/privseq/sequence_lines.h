// The sequence lines of the two databases: the dictionary queries (one fixed-width text line per
// sequence, sorted by name, optionally followed by "|" and a statement the server builds), the
// attributes read back from a line, the merge order, and the statements the upgrade script and
// the script of Database 1 write.
#pragma once

#include <optional>
#include <string>

namespace velmora {

// Oracle's NOMAXVALUE of an ascending sequence: 27 nines before 12c, 28 nines from 12c.
bool isNoMaxValue(const std::string& maxValue);

enum class SequenceTail { None, Drop, Create };

// The query of a schema's sequences. withLastNumber puts the last_number column in the lines;
// the Create tail starts the statement at last_number + increment_by (with last numbers) or at
// min_value (without). The owner is written as a quoted literal (its quotes doubled).
std::string sequenceQuery(bool withLastNumber, SequenceTail tail, const std::string& owner);

// What a line says of its sequence; the numbers as the server wrote them.
struct SequenceAttributes {
  std::string name;
  std::string lastNumber;  // "" when the line has no last number
  std::string minValue, maxValue, incrementBy, cycleFlag, orderFlag, cacheSize;
  std::string statement;  // the text after "|", "" when none
};
// Reads a line (its "\r\n" or "\n" end ignored); nothing when it is too short to hold every
// column.
std::optional<SequenceAttributes> parseSequenceLine(const std::string& line, bool withLastNumber);

// The order of the merge: 0 equal, -1 when line 1 comes first, 1 when line 2 does. The lines are
// sorted by the server by name, and a line starts with its name padded with blanks, so a byte
// comparison (the binary order of ORDER BY) walks both lists in step. cutAtBar compares only
// what comes before the first "|" (when it is not the first character); ignoreCase compares
// letters without regard to case.
int compareSequenceLines(const std::string& line1, const std::string& line2, bool cutAtBar,
                         bool ignoreCase);

// "CREATE SEQUENCE name INCREMENT BY i START WITH s [NOMAXVALUE|MAXVALUE m] MINVALUE n
// [NO]CYCLE [NOCACHE|CACHE c] [NO]ORDER;" as the server's Create tail writes it, with the name
// quoted where Oracle needs it.
std::string createSequenceStatement(const SequenceAttributes& sequence, const std::string& start);

// The start of a sequence created from Database 1: last_number + increment_by when the line has
// the last number, else min_value (max_value for a descending sequence); exact decimal
// arithmetic on integers of any length.
std::string sequenceStart(const SequenceAttributes& sequence);

// How the upgrade script changes a sequence that both databases have, without ever moving
// Database 2's sequence back below a number it may have handed out.
struct SequenceChange {
  enum class Kind {
    None,      // the attributes agree (only the last number may differ)
    Alter,     // ALTER SEQUENCE with the attributes that differ
    Recreate,  // DROP and CREATE, starting where Database 2 already is (or further)
    Refused,   // no statement: Database 2 is past what Database 1 allows, or the direction differs
  };
  Kind kind = Kind::None;
  std::string statements;  // Alter/Recreate: the statements, each ending ";\r\n"
  std::string reason;  // Recreate/Refused/None with a last-number difference: why, for a comment
};
// first: Database 1's sequence; second: Database 2's; last2: Database 2's last_number (the
// highest number it may have handed out, for a descending sequence the lowest).
SequenceChange planSequenceChange(const SequenceAttributes& first, const SequenceAttributes& second,
                                  const std::string& last2);

}  // namespace velmora
