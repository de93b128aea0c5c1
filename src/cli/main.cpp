// velmora-cli: the command-line front end; everything but this entry point is velmora_cli_lib.
#include <string>
#include <vector>

#include "cli/cli_app.h"

int main(int argc, char** argv) {
  velmora::cli::CliEnvironment environment = velmora::cli::CliEnvironment::fromProcess();
  return velmora::cli::runCli(std::vector<std::string>(argv + 1, argv + argc), environment);
}
