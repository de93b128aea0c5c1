// Fuzz target: the older binary configuration stream. Every length and count it holds is
// checked against the bytes left; a stream that loads is written in the current format and
// must load from that too.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "config/configuration_file.h"

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Configuration loaded;
  if (!parseLegacyConfiguration(bytes, ComparisonOptions(), &loaded).ok()) return 0;
  const std::string text = configurationText(loaded.options, nullptr, nullptr);
  Configuration current;
  const Status status = parseCurrentConfiguration(text, ComparisonOptions(), &current);
  if (!status.ok() && status.message().find("longer than") == std::string::npos) std::abort();
  return 0;
}
