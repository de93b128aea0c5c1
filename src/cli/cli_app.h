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

// Exit statuses (listed in --help and docs/cli.md).
inline constexpr int kExitFinished = 0;      // the run finished and compared everything asked
inline constexpr int kExitStopped = 1;       // the run was stopped (other than by a signal)
inline constexpr int kExitUsage = 2;         // bad command line
inline constexpr int kExitUnanswered = 3;    // a question needed --yes or --no
inline constexpr int kExitNotConnected = 4;  // a database could not be connected, or its schema
                                             // does not exist
inline constexpr int kExitRunErrors = 5;     // the run finished, but something could not be read
                                             // or compared: the report names what
inline constexpr int kExitOutputFailed = 6;  // the report or script file could not be opened or
                                             // written (or standard output failed)
inline constexpr int kExitNoClient = 7;      // the Oracle client library could not be loaded
inline constexpr int kExitSignalBase = 128;  // stopped by a signal: 128 + its number
inline constexpr int kExitInterrupted = kExitSignalBase + 2;  // SIGINT (Ctrl+C)

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
