// velmora-cli as a function: parses the arguments, runs the command and returns the exit status.
// The process's streams, terminals and signals come in through CliEnvironment, so tests run the
// whole command in-process with string streams and their own phases.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "base/exit_status.h"
#include "cli/cli_login.h"
#include "demo/demo_databases.h"
#include "run/run_driver.h"

namespace velmora::cli {

// Exit statuses (listed in --help and docs/cli.md).
// The numbers are those of base/exit_status.h, which the desktop application's unattended start
// shares.
inline constexpr int kExitFinished = exit_status::kFinished;  // the run finished and compared
                                                              // everything asked
inline constexpr int kExitStopped = exit_status::kStopped;    // the run was stopped (other than by
                                                              // a signal)
inline constexpr int kExitUsage = exit_status::kUsage;        // bad command line
inline constexpr int kExitUnanswered = exit_status::kUnanswered;  // a question needed --yes/--no
inline constexpr int kExitNotConnected = exit_status::kNotConnected;  // a database could not be
                                                                      // connected, or its schema
                                                                      // does not exist
inline constexpr int kExitRunErrors = exit_status::kRunErrors;  // the run finished, but something
                                                                // could not be read or compared
inline constexpr int kExitOutputFailed = exit_status::kOutputFailed;    // the report or script file
                                                                        // (or stdout) failed
inline constexpr int kExitNoClient = exit_status::kNoClient;            // no Oracle client library
inline constexpr int kExitConfiguration = exit_status::kConfiguration;  // a configuration file
                                                                        // could not be read or
                                                                        // written
inline constexpr int kExitDifferences = exit_status::kDifferences;      // --exit-code: they differ
inline constexpr int kExitSignalBase = exit_status::kSignalBase;  // stopped by a signal: 128 + N
inline constexpr int kExitInterrupted = kExitSignalBase + 2;      // SIGINT (Ctrl+C)

struct CliEnvironment {
  CliEnvironment(std::ostream& outStream, std::ostream& errStream)
      : out(outStream), err(errStream) {}

  std::ostream& out;
  std::ostream& err;
  bool outIsTerminal = false;
  bool errIsTerminal = false;
  bool trueColour = false;    // the terminal takes 24-bit colours
  bool noColour = false;      // NO_COLOR is set: no colours unless --color always
  bool dumbTerminal = false;  // TERM=dumb: no colours (unless --color always), no status line
  std::function<int()> terminalWidth;  // columns of stderr's terminal, asked at each redraw
  bool handleSignals = false;          // Ctrl+C and SIGTERM stop the run
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
