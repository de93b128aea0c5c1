// Row comparison: how two rows of the data comparison order and whether they are equal. The
// ordering is the database's ORDER BY ascending, by column kind: numbers by exact decimal value,
// text, raw, dates and timestamps by bytes of their fixed forms, NULL after every value; the
// merge of two sorted streams relies on it. Equality follows the data options of a run (case,
// leading and trailing blanks, numeric value, seconds and fractions). Pure functions, no state:
// usable on any thread and without the rest of the data phase (the sequence comparison uses the
// text form below).
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "base/comparison_options.h"
#include "data/data_row.h"

namespace velmora {

// Results of compareRows.
inline constexpr int kRowsEqual = 0;
inline constexpr int kRow1First = -1;
inline constexpr int kRow2First = 1;  // also: same key, other values differ (keyed rows)
inline constexpr int kSameKeyOtherValues = 1;
inline constexpr int kRow2KeyFirst = 2;  // keyed rows: row 2's key sorts first

// Rows of one select (same columns, same kinds). keyCount > 0: the first keyCount fields are the
// row key (the upgrade script's selects put them first and order by them first); then the result
// is kRow1First or kRow2KeyFirst by the key's order, kRowsEqual when the key and every other
// field are equal (by the options), kSameKeyOtherValues when only other fields differ. The key
// is compared exactly, so that an UPDATE never moves a row to another key.
// keyCount == 0: kRowsEqual when every field is equal by the options; otherwise kRow1First or
// kRow2First by the order of the fields the database can order by (in select order), then by
// the bytes of the others.
int compareRows(const DataRow& row1, const DataRow& row2, int keyCount,
                const ComparisonOptions& options);

// A row held as one line of text (the sequence comparison's lines): 0 when equal, -1 when row 1
// sorts first, 1 otherwise. cutFlag not 0: each line is compared only up to its first "|" (when
// that is not its first character). The data options apply as to a single text field: case,
// leading and trailing blanks, seconds and fractions of "YYYY-MM-DD HH:MI:SS" texts, numbers
// by value. Lines order by bytes, as the dictionary's ORDER BY on names does:
//   compareRows("EMP_SEQ   1|CREATE ...", "EMP_SEQ   1|DROP ...", 1, options) == 0.
int compareRows(std::string_view row1, std::string_view row2, int cutFlag,
                const ComparisonOptions& options);

// Whether two texts hold the same bytes: what `a == b` says, without a library call for the
// short values most fields hold (every row pair of a comparison compares each of its fields).
inline bool sameBytes(std::string_view a, std::string_view b) {
  const size_t n = a.size();
  if (n != b.size()) return false;
  const char* x = a.data();
  const char* y = b.data();
  // Two loads that overlap cover every length from one width to twice it.
  const auto same = [&](auto word) {
    decltype(word) x0, x1, y0, y1;
    std::memcpy(&x0, x, sizeof word);
    std::memcpy(&y0, y, sizeof word);
    std::memcpy(&x1, x + n - sizeof word, sizeof word);
    std::memcpy(&y1, y + n - sizeof word, sizeof word);
    return x0 == y0 && x1 == y1;
  };
  if (n >= 8 && n <= 16) return same(uint64_t{});
  if (n >= 4 && n < 8) return same(uint32_t{});
  if (n < 4) return n == 0 || (x[0] == y[0] && x[n / 2] == y[n / 2] && x[n - 1] == y[n - 1]);
  return std::memcmp(x, y, n) == 0;
}

// Two fields as ORDER BY ascending orders them: < 0, 0 or > 0. NULL sorts after every value.
// Fields of kinds the database does not order compare by bytes (a stable, arbitrary order).
int compareFieldOrder(const DataField& a, const DataField& b);

// Whether two fields count as equal under the data options of the run.
bool fieldsEqual(const DataField& a, const DataField& b, const ComparisonOptions& options);

// With b_CompDatSecs or b_CompDatFrac, a text of the form "YYYY-MM-DD HH:MI:SS..." is cut to
// "YYYY-MM-DD HH:MI" (seconds ignored) or "YYYY-MM-DD HH:MI:SS" (fractions ignored); any other
// text, or neither option, returns it unchanged:
//   trimDateText("2024-01-05 10:11:12.5", secs) == "2024-01-05 10:11".
std::string trimDateText(std::string_view field, const ComparisonOptions& options);

// Exact comparison of two decimal numbers as Oracle writes them ("-1.5", ".5", "1E+100",
// "1.0000000000000000000000000000000000000E+100"): < 0, 0, > 0. False in *ok when either is not
// such a number (then the result is 0).
int compareDecimalTexts(std::string_view a, std::string_view b, bool* ok);

}  // namespace velmora
