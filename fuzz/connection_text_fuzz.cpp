// Fuzz target: connection texts ("[schema:]user[/password]@database") as the command line, the
// configuration files and the Login dialog's user field give them. The parts are pieces of the
// text, so together they are never longer than it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "oracle/connection_text.h"

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (const ConnectionText& parts : {parseConnectionText(text), parseLoginField(text)}) {
    const std::size_t total =
        parts.schema.size() + parts.user.size() + parts.password.size() + parts.database.size();
    if (total > text.size()) std::abort();
    if (!parts.password.empty() && text.find(parts.password) == std::string::npos) std::abort();
  }
  return 0;
}
