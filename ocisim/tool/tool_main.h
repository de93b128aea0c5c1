// The `ocisim` command as a function, so that tests run it in-process: parses the arguments
// (cli.h), then creates, runs or dumps a database. Returns the exit status: 0 success,
// 1 a statement or the operation failed, 2 a malformed command line.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace ocisim::tool {

// args: the arguments after the program name; in: the script when `run` names none.
int runTool(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
            std::ostream& err);

}  // namespace ocisim::tool
