// Configuration files (".dbo"): a whole comparison setup, that is the two connection texts and
// every stored option with the selection lists and the data conditions. The current format is a
// profile ("INI") text file with "Version" = "3.0"; the older binary stream is still read.
// Reading only parses: it fills a Configuration and never touches the caller's options, so a
// file that cannot be read or is damaged leaves everything as it was. Opening the connections is
// the caller's (the comparison facade). Saving replaces the file atomically (a temporary file in
// the same folder renamed over it), creates it readable by its owner only, since it holds
// passwords in plain text, and keeps the mode of a file it overwrites. Stateless; thread-safe.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/comparison_options.h"
#include "base/status.h"

namespace velmora {

// The message of a file that cannot be created, opened or read; the Status adds the reason.
inline constexpr const char* kCouldNotOpenConfig = "Could not open config file.";

// Limits of what is read: a real configuration file is a few kilobytes, a value at most a few
// thousand characters; larger input is damaged and is refused before it is kept in memory.
inline constexpr std::size_t kMaxConfigurationFileBytes = 16 * 1024 * 1024;
inline constexpr std::size_t kMaxConfigurationLine = 65536;

struct Configuration {
  ComparisonOptions options;  // the file's options; the fields it does not hold as given
  std::string connection1;    // "[schema:]user[/password]@database", "" when the file has none
  std::string connection2;
  bool legacy = false;  // read from the binary stream: it does not become the current file
};

// A connection as it is saved: its connection text (with or without the "schema:" prefix) and
// the schema compared. The file holds the text without that prefix under s_ConnectString and
// the schema under s_DatabaseUser; empty ones are not written.
struct SavedConnection {
  std::string text;
  std::string schema;
};

// Reads a file of either format. `current` supplies what the file does not: the legacy stream
// has no b_UpdDeletes, b_UpdInserts and b_UpdUpdates, and the selection of the report font and
// such. In the result b_OwnObjectsOnly is 1, b_IgnoreColNameCase 0 and the comment prefixes
// follow the output mode. On failure *out is unchanged and the Status's message is
// kCouldNotOpenConfig, a line break and the reason ("line 12 is longer than ...").
Status readConfigurationFile(const std::string& path, const ComparisonOptions& current,
                             Configuration* out);
// The same on a file's bytes: the current format when section "Velmora for Oracle" has a
// "Version", else the legacy stream.
Status parseConfiguration(std::string_view bytes, const ComparisonOptions& current,
                          Configuration* out);
Status parseCurrentConfiguration(std::string_view text, const ComparisonOptions& current,
                                 Configuration* out);
Status parseLegacyConfiguration(std::string_view bytes, const ComparisonOptions& current,
                                Configuration* out);

// The current format's text: the version, the connections (a null or empty one is left out),
// the option keys, the eleven lists and the data conditions, in that order, with "\n" line ends.
// A line break in a SQL Compare statement or a data condition is written " {nl} ".
std::string configurationText(const ComparisonOptions& options, const SavedConnection* database1,
                              const SavedConnection* database2);
// Writes configurationText to `path` as described at the top. On failure the old file is
// untouched and the message is kCouldNotOpenConfig, a line break and the system's reason.
Status saveConfigurationFile(const std::string& path, const ComparisonOptions& options,
                             const SavedConnection* database1, const SavedConnection* database2);

}  // namespace velmora
