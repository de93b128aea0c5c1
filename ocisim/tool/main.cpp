// The `ocisim` command: see tool_main.h and cli.h.
#include <iostream>
#include <string>
#include <vector>

#include "tool/tool_main.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return ocisim::tool::runTool(args, std::cin, std::cout, std::cerr);
}
