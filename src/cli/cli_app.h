// velmora-cli as a function: parses the arguments, runs the command and returns the exit status.
// The process's streams, terminals and signals come in through CliEnvironment, so tests run the
// whole command in-process with string streams and their own phases.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_login.h"
#include "cli/demo_databases.h"
#include "run/run_driver.h"

namespace velmora::cli {

inline constexpr int kExitFinished = 0;
inline constexpr int kExitStopped = 1;  // the run was stopped (other than by Ctrl+C)
inline constexpr int kExitUsage = 2;
inline constexpr int kExitUnanswered = 3;    // a question needed --yes or --no
inline constexpr int kExitNotConnected = 4;  // --db1 or --db2 could not be connected
inline constexpr int kExitInterrupted = 130;

struct CliEnvironment {
  CliEnvironment(std::ostream& outStream, std::ostream& errStream)
      : out(outStream), err(errStream) {}

  std::ostream& out;
  std::ostream& err;
  bool outIsTerminal = false;
  bool errIsTerminal = false;
  bool trueColour = false;     // the terminal takes 24-bit colours
  bool noColour = false;       // NO_COLOR is set: no colours unless --color always
  bool handleSignals = false;  // Ctrl+C and SIGTERM stop the run
  // Asks for the password of a connection text that holds none (after the environment
  // variables); null or nothing returned: there is no one to ask.
  PasswordReader readPassword;
  // Before the run starts: lets tests register phases; `interrupt` acts like Ctrl+C.
  std::function<void(RunDriver& driver, const std::function<void()>& interrupt)> prepareDriver;

  // Tests of the report's plumbing run without databases; a real run needs those of its mode.
  bool allowRunWithoutDatabases = false;
  // Where the demo finds its tool, library, scripts and work folder (tests); unset: this build's.
  std::optional<DemoPaths> demoPaths;

  // The real process: stdout, stderr, isatty, COLORTERM, NO_COLOR, signals, the terminal.
  static CliEnvironment fromProcess();
};

int runCli(const std::vector<std::string>& arguments, CliEnvironment& environment);

}  // namespace velmora::cli
