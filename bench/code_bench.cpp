// The source comparison and the stored-code phases.
//
// sourceDiff: a package of 100,000 lines against a copy with 1 % of its lines changed, inserted or
// deleted. diffLines (linear) is timed in this process; GNU diff on the same two texts
// as files is timed as a child process (its start included, which is what a user waits for). The
// counter diff_ratio is diffLines time / GNU diff time; target: at most 2.
//
// storedCode: two schemas of 2,000 objects each (procedures, functions, packages and bodies,
// views, triggers, types and bodies; 5 % of them different), all eight stored-code phases through
// libocisim.so in the report and the upgrade script. Counters: queries = statements executed on
// both databases; server_ms = CPU inside the OCI calls (ocisim runs in this process); client_ms =
// the rest of the process's CPU. VELMORA_BENCH_OBJECTS overrides the object count.
#include <dlfcn.h>
#include <sys/wait.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "base/recording_host.h"
#include "base/report_writer.h"
#include "bench_ocisim.h"
#include "config/memory_settings_store.h"
#include "oracle/database_connection.h"
#include "oracle/oci_library.h"
#include "run/run_driver.h"
#include "source/code_phases.h"
#include "source/source_diff.h"

namespace {

namespace fs = std::filesystem;
using namespace velmora;

constexpr int kSourceLines = 100000;

// ---- the source diff ---------------------------------------------------------------------------

// A writer that keeps only the size of what it was given (the report's cost is not diffLines').
class CountingWriter : public ReportWriter {
 public:
  void write(const std::string& text, ReportColour, bool, bool) override { bytes += text.size(); }
  size_t bytes = 0;
};

struct SourcePair {
  std::vector<std::string> text1, text2;  // the lines as a file holds them
};

// Lines of a package body; every 100th line of Database 2 changed, inserted or deleted in turn.
SourcePair makeSources() {
  SourcePair pair;
  std::mt19937 random(7);
  for (int i = 0; i < kSourceLines; ++i) {
    const std::string line = "    v_" + std::to_string(random() % 500) + " := v_" +
                             std::to_string(random() % 500) + " + " + std::to_string(i % 1000) +
                             ";";
    pair.text1.push_back(line);
    if (i % 100 != 50) {
      pair.text2.push_back(line);
      continue;
    }
    switch ((i / 100) % 3) {
      case 0:
        pair.text2.push_back(line + "  -- changed");
        break;
      case 1:
        pair.text2.push_back(line);
        pair.text2.push_back("    NULL;  -- inserted " + std::to_string(i));
        break;
      default:
        break;  // deleted
    }
  }
  return pair;
}

std::vector<std::string> numbered(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  out.reserve(lines.size());
  for (size_t i = 0; i < lines.size(); ++i)
    out.push_back("(" + std::to_string(i + 1) + ") " + lines[i] + "\r\n");
  return out;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// GNU diff on two files, as a child process; the wall time.
double gnuDiffSeconds(const fs::path& a, const fs::path& b) {
  const std::string command = "diff '" + a.string() + "' '" + b.string() + "' > /dev/null";
  const auto start = std::chrono::steady_clock::now();
  const int status = std::system(command.c_str());
  const double seconds = secondsSince(start);
  if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) throw std::runtime_error("diff failed");
  return seconds;
}

void sourceDiff(benchmark::State& state) {
  const SourcePair pair = makeSources();
  const fs::path folder =
      fs::temp_directory_path() / ("velmora-diff-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  for (const auto& [name, lines] : {std::pair{"a.txt", &pair.text1}, {"b.txt", &pair.text2}}) {
    std::ofstream file(folder / name);
    for (const std::string& line : *lines) file << line << '\n';
  }
  const std::vector<std::string> lines1 = numbered(pair.text1), lines2 = numbered(pair.text2);
  double ours = 0, theirs = 0;
  size_t printed = 0;
  for (auto _ : state) {
    std::vector<std::string> a = lines1, b = lines2;  // diffLines consumes its lists
    CountingWriter out;
    SourceDiff diff(out, nullptr);
    diff.setRules({true, true});
    diff.setNames({"package body", "Package Body", "BIG"});
    const auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(diff.diffLines(a, b, true));
    ours += secondsSince(start);
    printed = out.bytes;
    theirs += gnuDiffSeconds(folder / "a.txt", folder / "b.txt");
  }
  fs::remove_all(folder);
  const double runs = static_cast<double>(state.iterations());
  state.counters["difflines_ms"] = ours * 1000 / runs;
  state.counters["gnu_diff_ms"] = theirs * 1000 / runs;
  state.counters["diff_ratio"] = ours / theirs;
  state.counters["report_bytes"] = static_cast<double>(printed);
}

// ---- the stored-code phases ---------------------------------------------------------------------

int objectCount() {
  const char* env = std::getenv("VELMORA_BENCH_OBJECTS");
  return env ? std::atoi(env) : 2000;
}

double nowCpuSeconds(clockid_t clock) {
  timespec t{};
  ::clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

std::atomic<long> gExecutes{0};
std::atomic<double> gServerSeconds{0};

void addServerTime(double start) {
  const double spent = nowCpuSeconds(CLOCK_THREAD_CPUTIME_ID) - start;
  double old = gServerSeconds.load();
  while (!gServerSeconds.compare_exchange_weak(old, old + spent)) {
  }
}

OCIStmtExecuteFn gExecute = nullptr;
OCIStmtFetchFn gFetch = nullptr;

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

// The system loader, with execute and fetch wrapped to count and time them.
class TimingLoader : public DynamicLoader {
 public:
  void* open(const std::string& name) override {
    return ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  }
  void* symbol(void* module, const char* name) override {
    void* real = ::dlsym(module, name);
    if (real == nullptr) return nullptr;
    const std::string entry = name;
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

// Object n of a schema: the kinds in turn; every 20th differs in Database 2.
std::string objectScript(int n, bool second) {
  const std::string id = std::to_string(n);
  const bool drifted = second && n % 20 == 7;
  const std::string value = drifted ? "2" : "1";
  switch (n % 8) {
    case 0:
      return "CREATE PROCEDURE p" + id + " IS\nBEGIN\n  UPDATE t SET amount = amount + " + value +
             " WHERE id = " + id + ";\nEND;\n/\n";
    case 1:
      return "CREATE FUNCTION f" + id + " (p NUMBER) RETURN NUMBER IS\nBEGIN\n  RETURN p * " +
             value + ";\nEND;\n/\n";
    case 2:
      return "CREATE PACKAGE k" + id + " AS\n  PROCEDURE run;\n  c CONSTANT NUMBER := " + value +
             ";\nEND;\n/\n";
    case 3:
      return "CREATE PACKAGE k" + std::to_string(n - 1) + "_b AS\n  PROCEDURE run;\nEND;\n/\n" +
             "CREATE PACKAGE BODY k" + std::to_string(n - 1) +
             "_b AS\n  PROCEDURE run IS\n  BEGIN\n    NULL;  -- " + value + "\n  END;\nEND;\n/\n";
    case 4:
      return "CREATE VIEW v" + id + " AS SELECT id, amount * " + value + " AS amount FROM t;\n";
    case 5:
      return "CREATE TRIGGER g" + id +
             " BEFORE INSERT ON t FOR EACH ROW\nBEGIN\n  :new.amount := " + value + ";\nEND;\n/\n";
    case 6:
      return "CREATE TYPE y" + id + " AS OBJECT (a NUMBER, b VARCHAR2(" + (drifted ? "20" : "10") +
             "));\n/\n";
    default:
      return "CREATE TYPE y" + id +
             "_b AS OBJECT (a NUMBER, MEMBER FUNCTION m RETURN NUMBER);\n/\n" +
             "CREATE TYPE BODY y" + id +
             "_b AS\n  MEMBER FUNCTION m RETURN NUMBER IS BEGIN RETURN " + value +
             "; END;\nEND;\n/\n";
  }
}

std::string schemaScript(bool second) {
  std::string script = "CREATE TABLE t (id NUMBER PRIMARY KEY, amount NUMBER);\n";
  for (int n = 0; n < objectCount(); ++n) script += objectScript(n, second);
  return script;
}

bench::OcisimDatabases& databases() {
  static bench::OcisimDatabases instance(
      "velmora-code-bench",
      "CREATE USER bench IDENTIFIED BY bench;\n"
      "GRANT CREATE SESSION, CREATE TABLE, CREATE VIEW, CREATE PROCEDURE, CREATE TRIGGER, "
      "CREATE TYPE TO bench;\n",
      schemaScript);
  return instance;
}

void storedCode(benchmark::State& state) {
  const int mode = static_cast<int>(state.range(0));
  const bench::OcisimDatabases& dbs = databases();
  ComparisonOptions options;
  options.i_DoingUpgradeScript = mode;
  options.b_DoPriv = options.b_DoSeq = options.b_DoData = 0;
  options.b_DoStruct = options.b_DoIndex = options.b_DoConst = 0;
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
  registerCodePhases(driver.phases());
  driver.context().setDatabases(&first, &second);

  long queries = 0;
  double server = 0, total = 0;
  for (auto _ : state) {
    gExecutes = 0;
    gServerSeconds = 0;
    const double start = nowCpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    if (!driver.start()) {
      state.SkipWithError("the run did not start");
      return;
    }
    driver.waitForEnd();
    total += nowCpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - start;
    queries += gExecutes.load();
    server += gServerSeconds.load();
    const char* expected = mode == 0 ? "Differences found in" : "CREATE OR REPLACE";
    if (driver.lastOutcome() != RunOutcome::Finished ||
        driver.document().text().find(expected) == std::string::npos) {
      state.SkipWithError("the run did not finish with the expected differences");
      return;
    }
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["objects"] = objectCount();
  state.counters["queries"] = static_cast<double>(queries) / runs;
  state.counters["server_ms"] = server * 1000 / runs;
  state.counters["client_ms"] = (total - server) * 1000 / runs;
}

}  // namespace

BENCHMARK(sourceDiff)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
// Mode 0: the comparison report; mode 1: the upgrade script.
BENCHMARK(storedCode)->Arg(0)->Arg(1)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(2);

BENCHMARK_MAIN();
