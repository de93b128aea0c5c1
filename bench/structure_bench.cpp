// The table phases (table lists, columns, indexes, constraints) on two schemas of 2,000 tables
// of 20 columns each, 5% of the tables changed, compared through libocisim.so the way a real
// client is reached. Targets: the report under 10 s; under 2 ms of client CPU per table.
//
// Counters: queries = statements executed on both databases; server_ms = CPU spent inside the
// OCI calls (ocisim runs in this process); client_ms = the rest of the process's CPU;
// client_us_per_table = client_ms per table of Database 1. VELMORA_BENCH_TABLES overrides the
// table count.
#include <dlfcn.h>
#include <sys/resource.h>

#include <atomic>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "base/recording_host.h"
#include "bench_ocisim.h"
#include "config/memory_settings_store.h"
#include "oracle/database_connection.h"
#include "oracle/oci_library.h"
#include "run/run_driver.h"
#include "structure/structure_phases.h"

namespace {

using namespace velmora;

int tableCount() {
  const char* env = std::getenv("VELMORA_BENCH_TABLES");
  return env ? std::atoi(env) : 2000;
}

double nowCpuSeconds(clockid_t clock) {
  timespec t{};
  ::clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double processCpuSeconds() { return nowCpuSeconds(CLOCK_PROCESS_CPUTIME_ID); }

// What the wrapped entry points saw: statements executed and the CPU they took in the server.
std::atomic<long> gExecutes{0};
std::atomic<double> gServerSeconds{0};

void addServerTime(double start) {
  const double spent = nowCpuSeconds(CLOCK_THREAD_CPUTIME_ID) - start;
  double old = gServerSeconds.load();
  while (!gServerSeconds.compare_exchange_weak(old, old + spent)) {
  }
}

OCIStmtPrepareFn gPrepare = nullptr;
OCIStmtExecuteFn gExecute = nullptr;
OCIStmtFetchFn gFetch = nullptr;

sword timedPrepare(OCIStmt* stmt, OCIError* err, const OraText* text, ub4 length, ub4 language,
                   ub4 mode) {
  const double start = nowCpuSeconds(CLOCK_THREAD_CPUTIME_ID);
  const sword result = gPrepare(stmt, err, text, length, language, mode);
  addServerTime(start);
  return result;
}

sword timedExecute(OCISvcCtx* svc, OCIStmt* stmt, OCIError* err, ub4 iterations, ub4 rowOffset,
                   const OCISnapshot* in, OCISnapshot* out, ub4 mode) {
  ++gExecutes;
  const double start = nowCpuSeconds(CLOCK_THREAD_CPUTIME_ID);
  const sword result = gExecute(svc, stmt, err, iterations, rowOffset, in, out, mode);
  addServerTime(start);
  return result;
}

sword timedFetch(OCIStmt* stmt, OCIError* err, ub4 rows, ub2 orientation, ub4 mode) {
  const double start = nowCpuSeconds(CLOCK_THREAD_CPUTIME_ID);
  const sword result = gFetch(stmt, err, rows, orientation, mode);
  addServerTime(start);
  return result;
}

// The system loader, except that the statement entry points are wrapped to count and time them.
class TimingLoader : public DynamicLoader {
 public:
  void* open(const std::string& name) override {
    return ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  }
  void* symbol(void* module, const char* name) override {
    void* real = ::dlsym(module, name);
    if (real == nullptr) return nullptr;
    const std::string entry = name;
    if (entry == "OCIStmtPrepare") {
      gPrepare = reinterpret_cast<OCIStmtPrepareFn>(real);
      return reinterpret_cast<void*>(&timedPrepare);
    }
    if (entry == "OCIStmtExecute") {
      gExecute = reinterpret_cast<OCIStmtExecuteFn>(real);
      return reinterpret_cast<void*>(&timedExecute);
    }
    if (entry == "OCIStmtFetch") {
      gFetch = reinterpret_cast<OCIStmtFetchFn>(real);
      return reinterpret_cast<void*>(&timedFetch);
    }
    return real;
  }
  void close(void* module) override { ::dlclose(module); }
};

// Column I of table N in Database 1, and the drift of every 20th table in Database 2: a wider
// column, a dropped and an added column, nullability, and an index on other columns.
std::string columnText(int n, int i, bool drifted) {
  const std::string name = "c" + std::to_string(i);
  if (i == 0) return "id NUMBER(10) CONSTRAINT t" + std::to_string(n) + "_pk PRIMARY KEY";
  if (drifted && i == 3) return name + " VARCHAR2(40)";
  if (drifted && i == 5) return "";
  switch (i % 4) {
    case 0:
      return name + " NUMBER(12,2)";
    case 1:
      return name + " VARCHAR2(60)" + (drifted && i == 1 ? "" : " NOT NULL");
    case 2:
      return name + " DATE DEFAULT SYSDATE";
    default:
      return name + " VARCHAR2(30)";
  }
}

std::string schemaScript(int tables, bool second) {
  std::string script;
  for (int n = 0; n < tables; ++n) {
    const bool drifted = second && n % 20 == 7;
    script += "CREATE TABLE t" + std::to_string(n) + " (";
    const char* separator = "";
    for (int i = 0; i < 20; ++i) {
      const std::string column = columnText(n, i, drifted);
      if (column.empty()) continue;
      script += separator + column;
      separator = ", ";
    }
    if (drifted) script += ", extra NUMBER";
    script += ");\n";
    script += "CREATE INDEX t" + std::to_string(n) + "_ix ON t" + std::to_string(n) +
              (drifted ? " (c2, c1);\n" : " (c1, c2);\n");
  }
  return script;
}

bench::OcisimDatabases& databases() {
  static bench::OcisimDatabases instance(
      "velmora-bench",
      "CREATE USER bench IDENTIFIED BY bench;\n"
      "GRANT CREATE SESSION, CREATE TABLE TO bench;\n",
      [](bool second) { return schemaScript(tableCount(), second); });
  return instance;
}

void compareTables(benchmark::State& state) {
  const int mode = static_cast<int>(state.range(0));
  const bench::OcisimDatabases& dbs = databases();
  ComparisonOptions options;
  options.i_DoingUpgradeScript = mode;
  options.b_DoPriv = options.b_DoSeq = options.b_DoData = 0;
  options.b_DoViewStruct = options.b_DoViewData = 0;
  RecordingHost host;
  MemorySettingsStore settings;
  TimingLoader loader;
  OracleEnvironment environment;
  environment.settings = &settings;
  environment.host = &host;
  environment.options = &options;
  environment.libraryOverride = OCISIM_LIBRARY_PATH;
  environment.loader = &loader;
  DatabaseConnection first(1, environment, nullptr);
  DatabaseConnection second(2, environment, nullptr);
  if (first.open(dbs.logon(1)) != OpenResult::Connected ||
      second.open(dbs.logon(2)) != OpenResult::Connected) {
    state.SkipWithError("could not connect the benchmark databases");
    return;
  }
  RunDriver driver(options, host, settings);
  registerTablePhases(driver.phases());
  driver.context().setDatabases(&first, &second);

  long queries = 0;
  double server = 0, total = 0;
  for (auto _ : state) {
    gExecutes = 0;
    gServerSeconds = 0;
    const double start = processCpuSeconds();
    if (!driver.start()) {
      state.SkipWithError("the run did not start");
      return;
    }
    driver.waitForEnd();
    total += processCpuSeconds() - start;
    queries += gExecutes.load();
    server += gServerSeconds.load();
    const char* expected = mode == 0 ? "structural differences" : "ALTER TABLE";
    if (driver.lastOutcome() != RunOutcome::Finished ||
        driver.document().text().find(expected) == std::string::npos) {
      state.SkipWithError("the run did not finish with the expected differences");
      return;
    }
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["queries"] = static_cast<double>(queries) / runs;
  state.counters["server_ms"] = server * 1000 / runs;
  state.counters["client_ms"] = (total - server) * 1000 / runs;
  state.counters["client_us_per_table"] = (total - server) * 1e6 / runs / tableCount();
}

}  // namespace

// Mode 0: the comparison report; mode 1: the upgrade script.
BENCHMARK(compareTables)->Arg(0)->Arg(1)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(2);

BENCHMARK_MAIN();
