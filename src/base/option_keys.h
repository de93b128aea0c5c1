// Option keys: every scalar option of ComparisonOptions by its configuration-file key
// ("b_DoData", "i_AutoSaveLines", "s_AutoSaveFile" ...), with its type, field, default and
// accepted range. The command line (--set KEY=VALUE) and the configuration-file reader and writer
// use this one table; the table is constant and the functions are thread-safe as long as each
// record is used by one thread. The selection lists and WhereStatements are not keyed options.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "base/comparison_options.h"

namespace velmora {

enum class OptionType {
  Switch,  // b_: 0 off, 1 on (a stored record may hold any nonzero value for on)
  Int,     // i_: a decimal integer within [minValue, maxValue]
  String,  // s_: any text
};

struct OptionKey {
  const char* key;  // exact configuration-file key, e.g. "b_DoData"
  OptionType type;
  int ComparisonOptions::*intField;             // Switch and Int; nullptr for String
  std::string ComparisonOptions::*stringField;  // String; nullptr otherwise
  int defaultInt;                               // Switch and Int
  const char* defaultString;                    // String
  int minValue;                                 // Int: accepted range; Switch: 0..1
  int maxValue;
  bool inConfigFile;   // false for b_IgnoreColNameCase and b_OwnObjectsOnly (never stored)
  bool omitWhenEmpty;  // strings the configuration file writes only when not empty
};

// Every keyed option: first the keys of the configuration file in the order that file writes
// them (i_AutoSpecialName ... s_GlobalPassSql2), then the options it never stores.
std::span<const OptionKey> optionKeys();

// The entry of a key, matched exactly (letter case included); nullptr when unknown.
const OptionKey* findOptionKey(std::string_view key);

// Parses `text` strictly and stores it in the option. A switch takes "0" or "1"; an integer takes
// an optional "-" and decimal digits within the option's range (no blanks, no other characters);
// a string takes the text as it is. On failure the record is unchanged, false is returned and
// *error (when given) holds a sentence for the user, for example:
//   Unknown option key "b_dodata" (did you mean "b_DoData"?)
//   Invalid value "2" for b_DoData: expected 0 or 1
//   Invalid value "0" for i_AutoSaveLines: expected an integer from 1 to 999999
[[nodiscard]] bool setOptionValue(ComparisonOptions& options, std::string_view key,
                                  std::string_view text, std::string* error);
[[nodiscard]] bool setOptionValue(ComparisonOptions& options, const OptionKey& entry,
                                  std::string_view text, std::string* error);

// Parses "KEY=VALUE" (the first "=" separates them) and sets the option as above.
[[nodiscard]] bool setOptionAssignment(ComparisonOptions& options, std::string_view assignment,
                                       std::string* error);

// The option's value as text: decimal for switches and integers, the string itself otherwise.
std::string optionValueText(const ComparisonOptions& options, const OptionKey& entry);

// The default value as text, in the same form.
std::string optionDefaultText(const OptionKey& entry);

// Whether an integer lies in the accepted range of the option (switches: 0 or 1).
bool optionValueInRange(const OptionKey& entry, int value);

// Sets every keyed option to its default and then the derived comment prefixes. The selection
// lists, IgnoreColumns and WhereStatements are left alone.
void resetOptionsToDefaults(ComparisonOptions& options);

}  // namespace velmora
