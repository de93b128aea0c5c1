#include "comparison/comparison.h"

#include <utility>

#include "config/configuration_file.h"
#include "data/sql_compare.h"
#include "data/table_data.h"
#include "privseq/privseq_phases.h"
#include "source/code_phases.h"
#include "structure/structure_phases.h"
#include "views/view_phases.h"

namespace velmora {

namespace {

int slotIndex(int number) {
  return number == 2 ? 1 : 0;
}

}  // namespace

Comparison::Comparison(ComparisonOptions& options, RunHost& host, SettingsStore& settings,
                       OracleEnvironment oracle)
    : options_(options), oracle_(std::move(oracle)), driver_(options, host, settings) {
  oracle_.settings = &settings;
  oracle_.host = &host;
  oracle_.options = &options;
  driver_.setRunScope([this] { beginRun(); }, [this] { endRun(); });
  // A stop reaches the databases: it breaks the call a session is in (from the thread that
  // stops), so a long fetch ends within a second.
  stopHook_ = driver_.context().control().addStopHook([this] {
    std::lock_guard lock(mutex_);
    for (Slot& slot : slots_) {
      if (slot.connection) slot.connection->breakCall();
    }
  });
}

Comparison::~Comparison() {
  driver_.requestStop();
  driver_.waitForEnd();
  joinConnect(1);
  joinConnect(2);
  driver_.context().control().removeStopHook(stopHook_);
}

bool Comparison::canChange(int number) const {
  if (number != 1 && number != 2) return false;
  if (driver_.isActive()) return false;
  std::lock_guard lock(mutex_);
  return !slots_[slotIndex(number)].opening;
}

void Comparison::joinConnect(int number) {
  std::thread connect;
  {
    std::lock_guard lock(mutex_);
    connect = std::move(slots_[slotIndex(number)].connect);
  }
  if (connect.joinable()) connect.join();
}

OpenReport Comparison::openInto(int number, const std::string& text, LoginPrompter* prompter) {
  auto connection = std::make_unique<DatabaseConnection>(number, oracle_, prompter);
  OpenReport report;
  report.result = connection->open(text);
  report.problem = connection->problem();
  std::lock_guard lock(mutex_);
  Slot& slot = slots_[slotIndex(number)];
  if (report.result == OpenResult::Connected) slot.connection = std::move(connection);
  slot.opening = false;
  ++connectionsChanged_;
  return report;
}

OpenReport Comparison::open(int number, const std::string& text, LoginPrompter* prompter) {
  if (!canChange(number)) return {OpenResult::NotConnected, "a run or a connect is under way"};
  joinConnect(number);
  {
    std::lock_guard lock(mutex_);
    Slot& slot = slots_[slotIndex(number)];
    slot.connection.reset();
    slot.opening = true;
  }
  return openInto(number, text, prompter);
}

bool Comparison::openAsync(int number, const std::string& text, LoginPrompter* prompter,
                           OpenDone done) {
  if (!canChange(number)) return false;
  joinConnect(number);  // a connect that has ended
  std::lock_guard lock(mutex_);
  Slot& slot = slots_[slotIndex(number)];
  slot.connection.reset();
  slot.opening = true;
  slot.connect = std::thread([this, number, text, prompter, done = std::move(done)] {
    const OpenReport report = openInto(number, text, prompter);
    if (done) done(number, report);
  });
  return true;
}

bool Comparison::opening(int number) const {
  std::lock_guard lock(mutex_);
  return slots_[slotIndex(number)].opening;
}

void Comparison::waitForOpen(int number) {
  joinConnect(number);
}

void Comparison::close(int number) {
  if (!canChange(number)) return;
  joinConnect(number);
  std::lock_guard lock(mutex_);
  slots_[slotIndex(number)].connection.reset();
  ++connectionsChanged_;
}

DatabaseConnection* Comparison::database(int number) const {
  std::lock_guard lock(mutex_);
  const Slot& slot = slots_[slotIndex(number)];
  return slot.opening ? nullptr : slot.connection.get();
}

bool Comparison::start() {
  if (opening(1) || opening(2)) return false;
  return driver_.start();
}

bool Comparison::rerunLast() {
  if (opening(1) || opening(2)) return false;
  return driver_.rerunLast();
}

// On the user thread, before the worker starts: the run's databases join the context (what the
// phases read from other connections is forgotten), the header names them, and the comparers
// of what can be compared are registered.
void Comparison::beginRun() {
  DatabaseConnection* first = database(1);
  DatabaseConnection* second = database(2);
  RunContext& context = driver_.context();
  int changes;
  {
    std::lock_guard lock(mutex_);
    changes = connectionsChanged_;
  }
  if (changes != connectionsInRun_) {
    context.setDatabases(first, second);
    connectionsInRun_ = changes;
  }
  RunHeaderNames& names = context.headerNames();
  names.database1 = first ? first->displayName() : "";
  names.database2 = second ? second->displayName() : "";
  names.schema2 = second ? second->owner() : "";

  // Without Database 1 the comparers registered for an earlier run are taken back; what a front
  // end set itself (tests) stays.
  PhaseTable& phases = driver_.phases();
  if (first != nullptr) {
    registerPrivilegeAndSequencePhases(phases);
    registerTablePhases(phases);
    registerViewPhases(phases);
    registerCodePhases(phases);
    comparersRegistered_ = true;
  } else if (comparersRegistered_) {
    unregisterPrivilegeAndSequencePhases(phases);
    unregisterTablePhases(phases);
    unregisterViewPhases(phases);
    unregisterCodePhases(phases);
    comparersRegistered_ = false;
  }
  registerDataPhases(phases);
  driver_.setSqlCompareRunner(runSqlCompare);

  // Every execute and fetch of the run checks for a stop, so a list cut short ends the run as
  // stopped, never as read or as an error.
  RunControl& control = context.control();
  for (DatabaseConnection* connection : {first, second}) {
    if (connection) connection->setCallCheck([&control] { control.throwIfStopped(); });
  }
}

// On the worker, as the run ends: outside a run a session call must not take the run's state
// for a stop.
void Comparison::endRun() {
  RunContext& context = driver_.context();
  for (DatabaseConnection* connection : {context.database1(), context.database2()}) {
    if (connection) connection->setCallCheck(nullptr);
  }
}

// Load of a configuration file: nothing changes before the whole file was read.
Status Comparison::loadConfiguration(const std::string& path, LoginPrompter* prompter, bool ask) {
  if (driver_.isActive() || opening(1) || opening(2))
    return Status::failure(
        0, "A configuration cannot be loaded while a run or a connect is under way.");
  Configuration configuration;
  if (Status status = readConfigurationFile(path, options_, &configuration); !status) return status;
  if (!configuration.legacy) configurationFile_ = path;
  const std::string* texts[2] = {&configuration.connection1, &configuration.connection2};
  bool reconnect = !texts[0]->empty() || !texts[1]->empty();
  if (reconnect && ask && (database(1) != nullptr || database(2) != nullptr)) {
    reconnect = driver_.host().ask("Do you wish to re-connect to the databases on the config file?",
                                   Buttons::YesNo) == Answer::Yes;
  }
  for (int number = 1; reconnect && number <= 2; ++number) {
    // A connection that cannot be opened has shown its messages; the options load all the same.
    if (!texts[number - 1]->empty()) (void)open(number, *texts[number - 1], prompter);
  }
  options_ = configuration.options;
  driver_.context().clearSkipRequest();
  driver_.output().setReportSaved(true);
  return Status();
}

Status Comparison::saveConfiguration(const std::string& path) {
  SavedConnection saved[2];
  const SavedConnection* pointers[2] = {nullptr, nullptr};
  for (int number = 1; number <= 2; ++number) {
    if (const DatabaseConnection* connection = database(number)) {
      saved[number - 1] = {connection->connectionText(), connection->owner()};
      pointers[number - 1] = &saved[number - 1];
    }
  }
  Status status = saveConfigurationFile(path, options_, pointers[0], pointers[1]);
  if (status) configurationFile_ = path;
  return status;
}

bool Comparison::startFromCommandLine(const std::string& path, LoginPrompter* prompter) {
  driver_.setConfigurationLoader([this, prompter](const std::string& file, RunContext&) {
    const Status status = loadConfiguration(file, prompter, false);
    if (!status) driver_.host().ask(status.message(), Buttons::Ok);
    const bool needsSecond = options_.i_DoingUpgradeScript != 2;
    return status && database(1) != nullptr && (!needsSecond || database(2) != nullptr);
  });
  return driver_.startFromCommandLine(path);
}

}  // namespace velmora
