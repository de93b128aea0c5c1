#include "cli/cli_app.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <filesystem>
#include <memory>

#include "cli/cli_args.h"
#include "cli/cli_console.h"
#include "cli/cli_host.h"
#include "cli/demo_databases.h"
#include "cli/interrupt_watcher.h"
#include "config/memory_settings_store.h"
#include "oracle/database_connection.h"
#include "structure/structure_phases.h"

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

// The databases named on the command line, connected before the run starts and kept for it.
struct RunDatabases {
  std::unique_ptr<CliLoginPrompter> prompters[2];
  std::unique_ptr<DatabaseConnection> connections[2];

  // Connects --db1 and --db2 when given; returns kExitFinished or the exit status of a failure
  // (the messages have been shown).
  int open(const CliArgs& args, const OracleEnvironment& oracle, CliEnvironment& environment,
           CliConsole& console) {
    const std::string* texts[2] = {&args.database1, &args.database2};
    for (int i = 0; i < 2; ++i) {
      if (texts[i]->empty()) continue;
      const int number = i + 1;
      prompters[i] = std::make_unique<CliLoginPrompter>(number, environment.readPassword);
      connections[i] = std::make_unique<DatabaseConnection>(number, oracle, prompters[i].get());
      const OpenResult result = connections[i]->open(*texts[i]);
      if (result == OpenResult::Connected) continue;
      connections[i].reset();
      if (result == OpenResult::ClientMissing) {
        console.message(OciLibrary::kClientMissingMessage);
        return kExitStopped;
      }
      if (prompters[i]->noPasswordSource()) {
        console.message("velmora-cli: Database " + std::to_string(number) +
                        " needs a password: give it in the connection, set " +
                        CliLoginPrompter::passwordVariable(number) + " or run on a terminal");
      }
      console.message("velmora-cli: could not connect Database " + std::to_string(number));
      return kExitNotConnected;
    }
    return kExitFinished;
  }

  // The connections join the run, and the header shows their display names.
  void joinRun(RunContext& context) {
    DatabaseConnection* first = connections[0].get();
    DatabaseConnection* second = connections[1].get();
    context.setDatabases(first, second);
    RunHeaderNames& names = context.headerNames();
    names.database1 = first ? first->displayName() : "";
    names.database2 = second ? second->displayName() : "";
    names.schema2 = second ? second->owner() : "";
  }
};

int exitStatus(bool started, const CliHost& host, const RunDriver& driver, bool interrupted) {
  if (interrupted) return kExitInterrupted;
  if (host.unansweredQuestion()) return kExitUnanswered;
  if (!started || driver.lastOutcome() != RunOutcome::Finished) return kExitStopped;
  return kExitFinished;
}

// The demo: builds its two databases when needed and points the run at them through
// libocisim.so, with the work folder as OCISIM_HOME so that the aliases name them.
int prepareDemo(CliArgs& args, CliEnvironment& environment) {
  DemoPaths paths = environment.demoPaths ? *environment.demoPaths : DemoPaths::ofThisBuild();
  if (!args.demoWork.empty()) paths.work = args.demoWork;
  if (!args.ociLibrary.empty()) paths.library = args.ociLibrary;
  const std::string failure = prepareDemoDatabases(paths, environment.err);
  if (!failure.empty()) {
    environment.err << "velmora-cli: " << failure << "\n";
    return kExitStopped;
  }
  std::error_code error;
  const std::string home = std::filesystem::absolute(paths.work, error).string();
  ::setenv("OCISIM_HOME", home.c_str(), 1);
  args.database1 = std::string(kDemoLogin) + "@" + kDemoAlias1;
  args.database2 = std::string(kDemoLogin) + "@" + kDemoAlias2;
  args.ociLibrary = paths.library;
  return kExitFinished;
}

// A comparison run with the options of the command line. The settings of the user's desktop are
// not read: a command line says everything it wants.
int runComparison(const CliArgs& givenArgs, CliEnvironment& environment) {
  CliArgs args = givenArgs;
  if (args.command == Command::Demo) {
    if (const int status = prepareDemo(args, environment); status != kExitFinished) return status;
  }
  const ConsoleSettings settings{environment.outIsTerminal, environment.errIsTerminal,
                                 wantColour(args, environment), environment.trueColour,
                                 args.progress};
  CliConsole console(environment.out, environment.err, settings);
  ComparisonOptions options = args.options;
  MemorySettingsStore store;
  CliHost host(console, args.answer);
  OracleEnvironment oracle;
  oracle.settings = &store;
  oracle.host = &host;
  oracle.options = &options;
  oracle.libraryOverride = args.ociLibrary;
  // As in the parameters dialog: a report or upgrade script needs both databases, the script
  // of Database 1 only the first.
  const bool needsSecond = options.i_DoingUpgradeScript != 2;
  if (!environment.allowRunWithoutDatabases &&
      (args.database1.empty() || (needsSecond && args.database2.empty()))) {
    console.message(needsSecond ? "You must select 2 databases before you can begin."
                                : "You must select a database before you can begin.");
    console.message(needsSecond ? "velmora-cli: give --db1 and --db2" : "velmora-cli: give --db1");
    return kExitUsage;
  }
  RunDatabases databases;
  if (const int status = databases.open(args, oracle, environment, console); status != 0) {
    console.finishReport();
    return status;
  }
  RunDriver driver(options, host, store);
  if (!args.database1.empty()) registerTablePhases(driver.phases());
  databases.joinRun(driver.context());
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
  environment.readPassword = readPasswordFromTerminal;
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
