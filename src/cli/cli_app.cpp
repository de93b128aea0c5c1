#include "cli/cli_app.h"

#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <mutex>
#include <system_error>

#include "base/output_file.h"
#include "base/report_text.h"
#include "cli/cli_args.h"
#include "cli/cli_console.h"
#include "cli/cli_host.h"
#include "demo/demo_databases.h"
#include "cli/interrupt_watcher.h"
#include "comparison/comparison.h"
#include "config/configuration_file.h"
#include "config/memory_settings_store.h"
#include "data/sql_compare.h"
#include "oracle/connection_text.h"

namespace velmora::cli {

namespace {

// What the run writes when it stops; written here when a signal came before the run started.
constexpr const char* kStoppedLine = "\r\n\r\nVelmora Stopped ...";

void printMessageLines(CliEnvironment& environment, const std::string& message);
int printPlainOutput(CliEnvironment& environment, const std::string& text);

std::string signalName(int signal) {
  switch (signal) {
    case SIGINT:
      return "SIGINT";
    case SIGTERM:
      return "SIGTERM";
    case SIGHUP:
      return "SIGHUP";
  }
  return "signal " + std::to_string(signal);
}

bool wantColour(const CliArgs& args, const CliEnvironment& environment) {
  switch (args.colour) {
    case ColourMode::Always:
      return true;
    case ColourMode::Never:
      return false;
    case ColourMode::Auto:
      return environment.outIsTerminal && !environment.noColour && !environment.dumbTerminal;
  }
  return false;
}

// Why no client library loads. The session that found none is gone with its library, so the
// same choice is loaded once more here to have the loader's reasons.
std::string clientMissingMessage(const OracleEnvironment& oracle) {
  OciLibrary library(oracle.loader != nullptr ? *oracle.loader : DynamicLoader::system());
  const OciChoice choice = ociChoiceFor(oracle);
  library.load(choice.code, choice.ociDll);
  if (library.loaded()) return std::string("velmora-cli: ") + OciLibrary::kClientMissingMessage;
  return "velmora-cli: " + library.loadFailureMessage() +
         "\nvelmora-cli: name the client library with --oci-library PATH";
}

// The report's file is checked before anything is connected or built: a run whose report cannot
// be written is not started. Returns "" or the message.
std::string outputFileProblem(const ComparisonOptions& options) {
  if (!options.b_OnlyToFile && !options.b_AutoSave) return "";
  const int error = OutputFile::probeWritable(options.s_AutoSaveFile);
  if (error == 0) return "";
  return std::string("velmora-cli: cannot ") +
         (options.b_OnlyToFile ? "write the report to " : "auto save the report to ") + "\"" +
         options.s_AutoSaveFile + "\": " + std::generic_category().message(error);
}

// Connects --db1 and --db2 when given; returns kExitFinished or the exit status of a failure
// (the messages have been shown). A signal between the two connects ends it before the second
// (`stopped`: kExitStopped, the caller says why). The prompters outlive the connections.
int openDatabases(Comparison& comparison, const CliArgs& args, const OracleEnvironment& oracle,
                  CliEnvironment& environment, CliConsole& console,
                  std::unique_ptr<CliLoginPrompter> (&prompters)[2],
                  const std::function<bool()>& stopped) {
  const std::string* texts[2] = {&args.database1, &args.database2};
  for (int i = 0; i < 2; ++i) {
    if (texts[i]->empty()) continue;
    if (stopped()) return kExitStopped;
    const int number = i + 1;
    prompters[i] = std::make_unique<CliLoginPrompter>(number, environment.readPassword);
    const OpenReport report = comparison.open(number, *texts[i], prompters[i].get());
    if (report.result == OpenResult::Connected) continue;
    if (report.result == OpenResult::ClientMissing) {
      console.message(clientMissingMessage(oracle));
      return kExitNoClient;
    }
    if (report.result == OpenResult::SchemaMissing) {
      console.message("velmora-cli: " + report.problem);
      return kExitNotConnected;
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

// The status says the worst that happened: a signal, a question nobody could answer, a failed
// report file, a stop, then errors of a finished run.
int exitStatus(bool started, const CliHost& host, const Comparison& comparison, int signal) {
  if (signal != 0) return kExitSignalBase + signal;
  if (host.unansweredQuestion()) return kExitUnanswered;
  if (comparison.errors().outputFailed()) return kExitOutputFailed;
  if (!started || comparison.lastOutcome() != RunOutcome::Finished) return kExitStopped;
  if (comparison.errors().any()) return kExitRunErrors;
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

// The signals of a command-line run: the first one stops the run (before the run: the connect
// ends and no run starts), a second one quits at once. What a stop does is set once the run
// exists; the watcher thread calls it.
class SignalStop {
 public:
  int signal() const { return signal_; }  // the first signal, 0 when none came
  void raise(int signal) {
    int none = 0;
    signal_.compare_exchange_strong(none, signal);
    std::lock_guard lock(mutex_);
    if (action_) action_();
  }
  void setAction(std::function<void()> action) {
    std::lock_guard lock(mutex_);
    action_ = std::move(action);
  }

 private:
  std::atomic<int> signal_{0};
  std::mutex mutex_;  // guards action_: it is not replaced while it runs
  std::function<void()> action_;
};

// A comparison run with the options of the command line. The settings of the user's desktop are
// not read: a command line says everything it wants.
int runComparison(const CliArgs& givenArgs, CliEnvironment& environment) {
  CliArgs args = givenArgs;
  if (const std::string problem = outputFileProblem(args.options); !problem.empty()) {
    environment.err << problem << "\n";
    return kExitOutputFailed;
  }
  if (args.command == Command::Demo) {
    if (const int status = prepareDemo(args, environment); status != kExitFinished) return status;
  }
  ConsoleSettings settings;
  settings.outIsTerminal = environment.outIsTerminal;
  settings.errIsTerminal = environment.errIsTerminal;
  settings.colour = wantColour(args, environment);
  settings.trueColour = environment.trueColour;
  settings.progress = args.progress && !environment.dumbTerminal;
  settings.crlf = args.crlf;
  settings.terminalWidth = environment.terminalWidth;
  CliConsole console(environment.out, environment.err, settings);
  ComparisonOptions options = args.options;
  if (args.command == Command::SqlCompare) {
    options.s_GlobalPassSql1 = args.sql1;
    options.s_GlobalPassSql2 = args.sql2;
    std::string problem;
    if (!prepareSqlCompareStatement(options.s_GlobalPassSql1, 1, &problem) ||
        !prepareSqlCompareStatement(options.s_GlobalPassSql2, 2, &problem)) {
      console.message("velmora-cli: " + problem);
      return kExitUsage;
    }
  }
  MemorySettingsStore store;
  CliHost host(console, args.answer);
  OracleEnvironment oracle;
  oracle.settings = &store;
  oracle.host = &host;
  oracle.options = &options;
  oracle.libraryOverride = args.ociLibrary;
  Comparison comparison(options, host, store, oracle);
  comparison.output().setFileLineEnds(args.crlf ? FileLineEnds::CrLf : FileLineEnds::Lf);
  // As in the parameters dialog: a report or upgrade script needs both databases, the script
  // of Database 1 only the first.
  const bool needsSecond = options.i_DoingUpgradeScript != 2;
  if (!environment.allowRunWithoutDatabases &&
      (args.database1.empty() || (needsSecond && args.database2.empty()))) {
    if (!args.configFile.empty()) {
      const int missing = args.database1.empty() ? 1 : 2;
      console.message("velmora-cli: the configuration file names no connection of Database " +
                      std::to_string(missing) + ": give --db" + std::to_string(missing));
    } else {
      console.message(needsSecond ? "velmora-cli: --db1 and --db2 are required in this mode"
                                  : "velmora-cli: --db1 is required in this mode");
    }
    return kExitUsage;
  }
  // The watcher is there before the databases are connected: a signal while connecting ends
  // the command cleanly once the connect returns, instead of killing it.
  SignalStop signalStop;
  std::unique_ptr<InterruptWatcher> watcher;
  if (environment.handleSignals) {
    watcher = std::make_unique<InterruptWatcher>([&](int count, int signal) {
      if (count > 1) std::_Exit(kExitSignalBase + signal);
      console.message(signal == SIGINT
                          ? "velmora-cli: stopping the run (Ctrl+C again quits at once)"
                          : "velmora-cli: " + signalName(signal) + " received: stopping the run");
      signalStop.raise(signal);
    });
  }
  std::unique_ptr<CliLoginPrompter> prompters[2];
  const int openStatus = openDatabases(comparison, args, oracle, environment, console, prompters,
                                       [&signalStop] { return signalStop.signal() != 0; });
  if (signalStop.signal() != 0) {
    console.report(kStoppedLine, ReportColour::Maroon, false);
    console.finishReport();
    return kExitSignalBase + signalStop.signal();
  }
  if (openStatus != 0) {
    console.finishReport();
    return openStatus;
  }
  // Nobody is there to press OK: a failed write of the report's file, or of stdout, ends the run.
  comparison.output().setFailurePolicy(OutputFailurePolicy::StopRun);
  RunDriver& driver = comparison.driver();
  console.setOutputFailureHandler([&driver](const std::string& reason) {
    driver.context().errors().recordOutputFailure("could not write to standard output: " + reason);
    driver.requestStop();
  });
  host.setStopRequester([&comparison] { comparison.requestStop(); });
  signalStop.setAction([&comparison] { comparison.requestStop(); });
  const auto interrupt = [&signalStop] { signalStop.raise(SIGINT); };
  const int observer = comparison.document().addObserver([&](const ReportDocument::Change& change) {
    if (change.kind == ReportDocument::ChangeKind::Appended) {
      console.report(change.text, change.colour, change.underline);
    }
  });
  if (environment.prepareDriver) environment.prepareDriver(driver, interrupt);

  const bool sqlCompare = args.command == Command::SqlCompare;
  bool started =
      signalStop.signal() == 0 && (sqlCompare ? driver.startSqlCompare() : comparison.start());
  // A signal between the check and the start found no run to stop.
  if (started && signalStop.signal() != 0) comparison.requestStop();
  comparison.waitForEnd();
  signalStop.setAction(nullptr);
  watcher.reset();
  comparison.document().removeObserver(observer);
  console.finishReport();
  if (comparison.errors().outputFailed())
    console.message("velmora-cli: " + comparison.errors().outputFailure());
  const int status = exitStatus(started, host, comparison, signalStop.signal());
  if (!args.exitCode || (status != kExitFinished && status != kExitRunErrors)) return status;
  // The comparers' own count, never a reading of the report.
  console.message("velmora-cli: " + comparison.differences().summary());
  if (status == kExitFinished && comparison.differences().any()) return kExitDifferences;
  return status;
}

// The configuration file of --config: its options become those the flags start from, and its
// connections are used unless --db1 / --db2 are given. Returns kExitFinished or the status.
int applyConfigurationFile(const std::vector<std::string>& arguments, ParseResult& parsed,
                           CliEnvironment& environment) {
  Configuration configuration;
  const Status status =
      readConfigurationFile(parsed.args.configFile, ComparisonOptions(), &configuration);
  if (!status) {
    printMessageLines(environment, status.message());
    return kExitConfiguration;
  }
  ParseResult again = parseArgs(arguments, &configuration.options);
  if (!again.ok()) {
    environment.err << "velmora-cli: " << again.error
                    << "\nTry 'velmora-cli --help' for more information.\n";
    return kExitUsage;
  }
  if (!again.args.databaseGiven[0]) again.args.database1 = configuration.connection1;
  if (!again.args.databaseGiven[1]) again.args.database2 = configuration.connection2;
  parsed = std::move(again);
  return kExitFinished;
}

// A connection as a file holds it: the schema named in the text, the text itself.
SavedConnection savedConnection(const std::string& text) {
  return SavedConnection{text, parseConnectionText(text).schema};
}

// config save FILE: the options and connections of the command line (with --config: of that
// file, overridden by the flags), written as a configuration file.
int saveConfiguration(const CliArgs& args, CliEnvironment& environment) {
  const SavedConnection first = savedConnection(args.database1);
  const SavedConnection second = savedConnection(args.database2);
  const Status status = saveConfigurationFile(args.configTarget, args.options,
                                              args.database1.empty() ? nullptr : &first,
                                              args.database2.empty() ? nullptr : &second);
  if (!status) {
    printMessageLines(environment, status.message());
    return kExitConfiguration;
  }
  environment.err << "velmora-cli: saved " << escapeControls(args.configTarget) << "\n";
  return kExitFinished;
}

// A connection text with its password replaced by asterisks.
std::string withoutPassword(const std::string& text) {
  const ConnectionText login = parseConnectionText(text);
  if (!login.hasPassword()) return text;
  std::string shown = login.schema.empty() ? "" : login.schema + ":";
  shown += login.user + "/*****";
  if (!login.database.empty()) shown += "@" + login.database;
  return shown;
}

// config show FILE: the configuration as it is understood, passwords hidden.
int showConfiguration(const CliArgs& args, CliEnvironment& environment) {
  Configuration configuration;
  const Status status =
      readConfigurationFile(args.configTarget, ComparisonOptions(), &configuration);
  if (!status) {
    printMessageLines(environment, status.message());
    return kExitConfiguration;
  }
  const SavedConnection first = savedConnection(withoutPassword(configuration.connection1));
  const SavedConnection second = savedConnection(withoutPassword(configuration.connection2));
  std::string text = configuration.legacy ? "; an older configuration file (binary), shown in "
                                            "the current format\n"
                                          : "";
  text +=
      configurationText(configuration.options, configuration.connection1.empty() ? nullptr : &first,
                        configuration.connection2.empty() ? nullptr : &second);
  return printPlainOutput(environment, escapeControls(text, "\n\t"));
}

// A message of one or more lines, each under the program's name.
void printMessageLines(CliEnvironment& environment, const std::string& message) {
  size_t start = 0;
  while (start <= message.size()) {
    const size_t end = message.find('\n', start);
    const std::string line = message.substr(start, end == std::string::npos ? end : end - start);
    environment.err << "velmora-cli: " << escapeControls(line) << "\n";
    if (end == std::string::npos) break;
    start = end + 1;
  }
}

// --help and --version: their text was printed only if stdout took it.
int printPlainOutput(CliEnvironment& environment, const std::string& text) {
  errno = 0;
  environment.out << text;
  environment.out.flush();
  if (environment.out.good()) return kExitFinished;
  const int error = errno;
  environment.err << "velmora-cli: could not write to standard output: "
                  << (error != 0 ? std::generic_category().message(error) : "write error") << "\n";
  return kExitOutputFailed;
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
  const char* term = std::getenv("TERM");
  environment.dumbTerminal = term != nullptr && std::strcmp(term, "dumb") == 0;
  // Asked at every redraw, so the status line follows the terminal when it is resized.
  environment.terminalWidth = [] {
    struct winsize size {};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return int{size.ws_col};
    const char* columns = std::getenv("COLUMNS");
    const int fromVariable = columns != nullptr ? std::atoi(columns) : 0;
    return fromVariable > 0 ? fromVariable : 80;
  };
  return environment;
}

int runCli(const std::vector<std::string>& arguments, CliEnvironment& environment) {
  ParseResult parsed = parseArgs(arguments);
  if (!parsed.ok()) {
    environment.err << "velmora-cli: " << parsed.error
                    << "\nTry 'velmora-cli --help' for more information.\n";
    return kExitUsage;
  }
  switch (parsed.args.command) {
    case Command::Help:
      return printPlainOutput(environment, usageText());
    case Command::Version:
      return printPlainOutput(environment, std::string("velmora-cli ") + VELMORA_VERSION + "\n");
    case Command::Options:
      return printPlainOutput(environment, optionsText());
    case Command::ConfigShow:
      return showConfiguration(parsed.args, environment);
    case Command::ConfigSave:
    case Command::Run:
    case Command::Demo:
    case Command::SqlCompare:
      break;
  }
  if (!parsed.args.configFile.empty()) {
    if (const int status = applyConfigurationFile(arguments, parsed, environment);
        status != kExitFinished) {
      return status;
    }
  }
  if (parsed.args.command == Command::ConfigSave)
    return saveConfiguration(parsed.args, environment);
  return runComparison(parsed.args, environment);
}

}  // namespace velmora::cli
