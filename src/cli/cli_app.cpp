#include "cli/cli_app.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>

#include "cli/cli_args.h"
#include "cli/cli_console.h"
#include "cli/cli_host.h"
#include "cli/interrupt_watcher.h"
#include "config/memory_settings_store.h"

namespace velmora::cli {

namespace {

bool wantColour(const CliArgs& args, const CliEnvironment& environment) {
  switch (args.colour) {
    case ColourMode::Always:
      return true;
    case ColourMode::Never:
      return false;
    case ColourMode::Auto:
      return environment.outIsTerminal && !environment.noColour;
  }
  return false;
}

int exitStatus(bool started, const CliHost& host, const RunDriver& driver, bool interrupted) {
  if (interrupted) return kExitInterrupted;
  if (host.unansweredQuestion()) return kExitUnanswered;
  if (!started || driver.lastOutcome() != RunOutcome::Finished) return kExitStopped;
  return kExitFinished;
}

// A comparison run with the options of the command line. The settings of the user's desktop are
// not read: a command line says everything it wants.
int runComparison(const CliArgs& args, CliEnvironment& environment) {
  const ConsoleSettings settings{environment.outIsTerminal, environment.errIsTerminal,
                                 wantColour(args, environment), environment.trueColour,
                                 args.progress};
  CliConsole console(environment.out, environment.err, settings);
  if (args.command == Command::Demo) {
    console.message(
        "velmora-cli: the demo databases are not part of this version yet; running an empty "
        "comparison (no databases) instead.");
  }
  ComparisonOptions options = args.options;
  MemorySettingsStore store;
  CliHost host(console, args.answer);
  RunDriver driver(options, host, store);
  host.setStopRequester([&driver] { driver.requestStop(); });
  std::atomic<bool> interrupted{false};
  const auto interrupt = [&] {
    interrupted = true;
    driver.requestStop();
  };
  const int observer = driver.document().addObserver([&](const ReportDocument::Change& change) {
    if (change.kind == ReportDocument::ChangeKind::Appended) {
      console.report(change.text, change.colour, change.underline);
    }
  });
  if (environment.prepareDriver) environment.prepareDriver(driver, interrupt);

  std::unique_ptr<InterruptWatcher> watcher;
  if (environment.handleSignals) {
    watcher = std::make_unique<InterruptWatcher>([&](int count) {
      if (count > 1) std::_Exit(kExitInterrupted);
      console.message("velmora-cli: stopping the run (Ctrl+C again quits at once)");
      interrupt();
    });
  }
  const bool started = !interrupted && driver.start();
  driver.waitForEnd();
  watcher.reset();
  driver.document().removeObserver(observer);
  console.finishReport();
  return exitStatus(started, host, driver, interrupted);
}

}  // namespace

CliEnvironment CliEnvironment::fromProcess() {
  CliEnvironment environment(std::cout, std::cerr);
  environment.outIsTerminal = ::isatty(STDOUT_FILENO) == 1;
  environment.errIsTerminal = ::isatty(STDERR_FILENO) == 1;
  const char* colourTerm = std::getenv("COLORTERM");
  environment.trueColour = colourTerm && (std::strcmp(colourTerm, "truecolor") == 0 ||
                                          std::strcmp(colourTerm, "24bit") == 0);
  const char* noColour = std::getenv("NO_COLOR");
  environment.noColour = noColour && *noColour;
  environment.handleSignals = true;
  return environment;
}

int runCli(const std::vector<std::string>& arguments, CliEnvironment& environment) {
  const ParseResult parsed = parseArgs(arguments);
  if (!parsed.ok()) {
    environment.err << "velmora-cli: " << parsed.error
                    << "\nTry 'velmora-cli --help' for more information.\n";
    return kExitUsage;
  }
  switch (parsed.args.command) {
    case Command::Help:
      environment.out << usageText();
      return kExitFinished;
    case Command::Version:
      environment.out << "velmora-cli " << VELMORA_VERSION << "\n";
      return kExitFinished;
    case Command::Run:
    case Command::Demo:
      return runComparison(parsed.args, environment);
  }
  return kExitUsage;
}

}  // namespace velmora::cli
