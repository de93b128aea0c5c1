// The engine side of the tool's commands: create a database, log on for `run`, dump a
// catalog. Failures throw OraError (or std::runtime_error for file system problems).
#pragma once

#include <memory>
#include <ostream>

#include "tool/cli.h"
#include "tool/connection.h"

namespace ocisim {
class Database;
}

namespace ocisim::tool {

// Creates the database; prints nothing. The database stays open in this process while the
// returned pointer lives (openConnection then finds it without reading storage).
std::shared_ptr<Database> createDatabase(const CreateArgs& args);
// Opens the database and logs on as args.user.
std::unique_ptr<Connection> openConnection(const RunArgs& args);
// Prints the whole catalog in a stable text form.
void dumpDatabase(const DumpArgs& args, std::ostream& out);

}  // namespace ocisim::tool
