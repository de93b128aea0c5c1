// Fuzz target: the INI reader and the configuration file of the current format. Besides "no
// crash, no sanitizer report", a configuration that loads is saved and loaded again, and its
// second save equals its first: what the reader accepts, the writer keeps.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "config/configuration_file.h"
#include "config/ini_file.h"

using namespace velmora;

namespace {

std::string saved(const Configuration& configuration) {
  const SavedConnection first{configuration.connection1, ""};
  const SavedConnection second{configuration.connection2, ""};
  return configurationText(configuration.options,
                           configuration.connection1.empty() ? nullptr : &first,
                           configuration.connection2.empty() ? nullptr : &second);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const IniFile file = IniFile::parse(text);
  (void)file.text();
  for (const std::string& section : file.sectionNames()) (void)file.keys(section);

  Configuration loaded;
  if (!parseCurrentConfiguration(text, ComparisonOptions(), &loaded).ok()) return 0;
  const std::string once = saved(loaded);
  Configuration again;
  const Status status = parseCurrentConfiguration(once, ComparisonOptions(), &again);
  if (!status.ok()) {
    // Only a value that grew past the line limit may be refused.
    if (status.message().find("longer than") == std::string::npos) std::abort();
    return 0;
  }
  if (saved(again) != once) std::abort();
  return 0;
}
