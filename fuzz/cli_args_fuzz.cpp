// Fuzz target: the command-line parser of velmora-cli. The input is split at NUL bytes into
// arguments; parsing returns arguments or a usage error, and never prints, crashes or throws.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/cli_args.h"

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> arguments(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      arguments.emplace_back();
    } else {
      arguments.back() += static_cast<char>(data[i]);
    }
  }
  const cli::ParseResult first = cli::parseArgs(arguments);
  ComparisonOptions base;
  base.i_DoingUpgradeScript = 2;
  const cli::ParseResult second = cli::parseArgs(arguments, &base);
  (void)first;
  (void)second;
  return 0;
}
