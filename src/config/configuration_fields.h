// The parts of a configuration file that both of its formats share: the eleven selection lists
// in the order both write them, and how an integer read from a file is stored. Internal to the
// configuration file reader and writer.
#pragma once

#include <span>

#include "base/comparison_options.h"
#include "base/option_keys.h"

namespace velmora {

struct ConfigurationList {
  const char* section;  // "Ignore Columns"
  const char* prefix;   // "col": the keys are col0, col1, ...
  NameList ComparisonOptions::*list;
};

// IgnoreColumns, IgnoreTables, ... IgnoreViewSource, in the files' order.
std::span<const ConfigurationList> configurationLists();

// Stores an integer read from a file. A switch keeps any value (nonzero is on); an integer
// outside its accepted range (an output mode of 7, 0 lines between saves) takes its default,
// so no later code meets a value the dialogs could never have set.
void storeFileInteger(ComparisonOptions& options, const OptionKey& entry, long long value);

// What every load leaves behind: the options that are never stored reset, and the comment
// prefixes of the output mode.
void finishLoadedOptions(ComparisonOptions& options);

}  // namespace velmora
