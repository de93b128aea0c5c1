// Placeholder until the executor's public API (Database, Session) is on main: every command
// that needs a database fails with a clear message.
#include <stdexcept>

#include "tool/engine_commands.h"

namespace ocisim::tool {
namespace {

[[noreturn]] void notBuilt() {
  throw std::runtime_error("this build of ocisim has no executor yet");
}

}  // namespace

void createDatabase(const CreateArgs&) { notBuilt(); }
std::unique_ptr<Connection> openConnection(const RunArgs&) { notBuilt(); }
void dumpDatabase(const DumpArgs&, std::ostream&) { notBuilt(); }

}  // namespace ocisim::tool
