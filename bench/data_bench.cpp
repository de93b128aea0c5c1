// The table-data phase in report mode on two tables of N rows x 10 columns (numbers, strings,
// dates), 1 % of the rows differing (0.5 % changed, 0.25 % only in each database), compared
// through libocisim.so as a real client is reached; SQLite's sqldiff runs on the same rows in
// two SQLite files in the same process run. Targets: our time at most sqldiff's (ratio <= 1.0,
// the ocisim server included); under 2,000 client instructions per compared row; peak memory
// flat in N.
//
// A plain program printing one block per row count:
//   compare_s / sqldiff_s / ratio   wall time of the data phase (after connecting) and of sqldiff
//   server_s / client_s             CPU inside the OCI calls (the ocisim engine runs in this
//                                   process) and the rest of the process's CPU during the phase
//   rss_MB                          resident memory after connecting (both databases loaded by
//                                   the server), peak during the phase, and the growth
//   prefetch                        reading 20,000 rows at 1 ms per round trip (OCISIM_FAULTS
//                                   fetch_delay_ms=1) as the product does (prefetch and arrays
//                                   of rows a call), without the prefetch, and without either
// then, when valgrind is installed, the client instructions per compared row: the program runs
// itself under callgrind on 50,000 rows, collecting only inside velmora::mergeRows (the merge
// loop: row comparison, report lines) and velmora::ReadAhead::read (the cursors, on the threads
// that read each database ahead), and not inside the OCI calls they make.
//
// Environment: VELMORA_BENCH_DATA_ROWS (comma-separated row counts, default 100000),
// VELMORA_BENCH_DATA_MILLION=1 adds 1,000,000 rows (about a minute and a half more),
// VELMORA_BENCH_CALLGRIND=0 skips the instruction count. Each row count runs in a child
// process, so that its peak memory is its own. For a profile of one comparison:
//   data_bench --build DIR 50000           (the four databases in the new folder DIR)
//   perf record -g data_bench --profile-client DIR
#include <dlfcn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/recording_host.h"
#include "base/report_writer.h"
#include "config/memory_settings_store.h"
#include "data/data_cursor.h"
#include "data/data_difference.h"
#include "data/data_merge.h"
#include "data/table_data.h"
#include "engine/compose/engine.h"
#include "engine/exec/database.h"
#include "engine/exec/session.h"
#include "oracle/database_connection.h"
#include "oracle/oci_library.h"
#include "run/run_driver.h"
#include "structure/structure_phases.h"

namespace {

namespace fs = std::filesystem;
using namespace velmora;
using Clock = std::chrono::steady_clock;

double seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

double cpuSeconds(clockid_t clock) {
  timespec t{};
  ::clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// VmRSS or VmHWM of this process in MB.
double statusMb(const char* key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(key, 0) == 0) return std::atof(line.c_str() + std::string(key).size()) / 1024;
  }
  return 0;
}

// Starts the peak (VmHWM) again from the current resident size.
void resetPeak() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

// ---- the rows ----

// Column i of row LEVEL, in Oracle's SQL and in SQLite's: the same values.
const char* kOracleColumns =
    "LEVEL, 'name ' || LEVEL, ROUND(LEVEL * 1.37, 2), "
    "TO_DATE('2020-01-01', 'YYYY-MM-DD') + MOD(LEVEL, 1000) + MOD(LEVEL, 86400) / 86400, "
    "'C' || MOD(LEVEL, 100), MOD(LEVEL, 97) - 40, RPAD('x', MOD(LEVEL, 50) + 10, 'y'), "
    "DECODE(MOD(LEVEL, 2), 0, 'Y', 'N'), ROUND(LEVEL / 7, 6), "
    "TO_DATE('2024-06-01', 'YYYY-MM-DD') - MOD(LEVEL, 365)";
const std::string kSqliteColumns =
    "x, 'name ' || x, round(x * 1.37, 2), "
    "datetime('2020-01-01', '+' || (x % 1000) || ' days', '+' || (x % 86400) || ' seconds'), "
    "'C' || (x % 100), (x % 97) - 40, 'x' || substr('" +
    std::string(60, 'y') +
    "', 1, (x % 50) + 9), "
    "CASE x % 2 WHEN 0 THEN 'Y' ELSE 'N' END, round(x / 7.0, 6), "
    "date('2024-06-01', '-' || (x % 365) || ' days')";

// The drift of Database 2: 0.5 % of the rows changed, 0.25 % deleted, 0.25 % new.
std::vector<std::string> driftStatements(long rows, bool sqlite) {
  const std::string extra = std::to_string(rows / 400);
  const std::string n = std::to_string(rows);
  if (sqlite) {
    return {"UPDATE t SET note = note || 'z' WHERE id % 200 = 7;",
            "DELETE FROM t WHERE id % 400 = 13;",
            "INSERT INTO t WITH RECURSIVE g(x) AS (SELECT " + n +
                " + 1 UNION ALL SELECT x + 1 FROM "
                "g WHERE x < " +
                n + " + " + extra + ") SELECT " + kSqliteColumns + " FROM g;"};
  }
  return {"UPDATE t SET note = note || 'z' WHERE MOD(id, 200) = 7",
          "DELETE FROM t WHERE MOD(id, 400) = 13",
          "INSERT INTO t SELECT " + n + " + LEVEL, 'name ' || (" + n +
              " + LEVEL), 1, SYSDATE, 'N'"
              ", 0, 'new', 'N', 0, SYSDATE FROM dual CONNECT BY LEVEL <= " +
              extra};
}

const char* kOracleTable =
    "CREATE TABLE t (id NUMBER(10) PRIMARY KEY, name VARCHAR2(40), amount NUMBER(12,2), "
    "created DATE, code VARCHAR2(4), qty NUMBER(6), note VARCHAR2(100), flag VARCHAR2(1), "
    "ratio NUMBER, updated DATE)";

void buildOcisim(const fs::path& dir, long rows, bool second) {
  ocisim::DatabaseOptions options;
  options.globalName = "ORCL";
  options.adminPassword = "manager";
  auto db = ocisim::createDatabase(dir.string(), options);
  auto system = db->logon("SYSTEM", "manager");
  system->execute("CREATE USER bench IDENTIFIED BY bench");
  system->execute("GRANT CREATE SESSION, CREATE TABLE TO bench");
  auto session = db->logon("BENCH", "bench");
  session->execute(kOracleTable);
  session->execute(std::string("INSERT INTO t SELECT ") + kOracleColumns +
                   " FROM dual CONNECT BY LEVEL <= " + std::to_string(rows));
  if (second) {
    for (const std::string& statement : driftStatements(rows, false)) session->execute(statement);
  }
}

void run(const std::string& command) {
  if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
}

void buildSqlite(const fs::path& file, long rows, bool second) {
  const fs::path script = file.string() + ".sql";
  std::ofstream out(script);
  out << "CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT, amount REAL, created TEXT, "
         "code TEXT, qty INTEGER, note TEXT, flag TEXT, ratio REAL, updated TEXT);\n"
      << "INSERT INTO t WITH RECURSIVE g(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM g WHERE x < "
      << rows << ") SELECT " << kSqliteColumns << " FROM g;\n";
  if (second) {
    for (const std::string& statement : driftStatements(rows, true)) out << statement << "\n";
  }
  out.close();
  run("sqlite3 '" + file.string() + "' < '" + script.string() + "'");
}

bool haveSqldiff() {
  return std::system(
             "command -v sqlite3 > /dev/null 2>&1 && command -v sqldiff > /dev/null 2>&1") == 0;
}

// The four databases under `home`, built in a child process so that their memory is not ours.
void buildAll(const fs::path& home, long rows) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    int status = 0;
    try {
      buildOcisim(home / "db1", rows, false);
      buildOcisim(home / "db2", rows, true);
      if (haveSqldiff()) {
        buildSqlite(home / "db1.sqlite", rows, false);
        buildSqlite(home / "db2.sqlite", rows, true);
      }
    } catch (const std::exception& e) {
      std::fprintf(stderr, "data_bench: building the databases failed: %s\n", e.what());
      status = 1;
    }
    std::fflush(nullptr);
    ::_exit(status);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    throw std::runtime_error("the benchmark databases could not be built");
}

// ---- the client ----

std::atomic<double> gServerSeconds{0};
OCIStmtExecuteFn gExecute = nullptr;
OCIStmtFetchFn gFetch = nullptr;

void addServerTime(double start) {
  const double spent = cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - start;
  double old = gServerSeconds.load();
  while (!gServerSeconds.compare_exchange_weak(old, old + spent)) {
  }
}

sword timedExecute(OCISvcCtx* svc, OCIStmt* stmt, OCIError* err, ub4 iterations, ub4 rowOffset,
                   const OCISnapshot* in, OCISnapshot* out, ub4 mode) {
  const double start = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
  const sword result = gExecute(svc, stmt, err, iterations, rowOffset, in, out, mode);
  addServerTime(start);
  return result;
}

sword timedFetch(OCIStmt* stmt, OCIError* err, ub4 rows, ub2 orientation, ub4 mode) {
  const double start = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
  const sword result = gFetch(stmt, err, rows, orientation, mode);
  addServerTime(start);
  return result;
}

// The system loader; with `timed`, execute and fetch are wrapped to time the server.
class BenchLoader : public DynamicLoader {
 public:
  explicit BenchLoader(bool timed) : timed_(timed) {}
  void* open(const std::string& name) override {
    return ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  }
  void* symbol(void* module, const char* name) override {
    void* real = ::dlsym(module, name);
    if (real == nullptr || !timed_) return real;
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

 private:
  bool timed_;
};

// Both databases connected, and a driver with the table and data phases.
struct Client {
  explicit Client(const fs::path& home, bool timed) : loader(timed) {
    options.i_DoingUpgradeScript = 0;
    options.b_DoPriv = options.b_DoSeq = options.b_DoIndex = options.b_DoConst = 0;
    options.b_DoViewStruct = options.b_DoViewData = options.b_DoTrigger = 0;
    options.b_DoViewSource = options.b_DoFunc = options.b_DoPack = options.b_DoPackBody = 0;
    options.b_DoStpCode = options.b_DoType = options.b_DoTypeBody = 0;
    options.b_DoStruct = options.b_DoData = 1;
    environment.settings = &settings;
    environment.host = &host;
    environment.options = &options;
    environment.libraryOverride = OCISIM_LIBRARY_PATH;
    environment.loader = &loader;
    first = std::make_unique<DatabaseConnection>(1, environment, nullptr);
    second = std::make_unique<DatabaseConnection>(2, environment, nullptr);
    if (first->open("bench/bench@" + (home / "db1").string()) != OpenResult::Connected ||
        second->open("bench/bench@" + (home / "db2").string()) != OpenResult::Connected)
      throw std::runtime_error("could not connect the benchmark databases");
    driver = std::make_unique<RunDriver>(options, host, settings);
    registerTablePhases(driver->phases());
    registerDataPhases(driver->phases());
    driver->context().setDatabases(first.get(), second.get());
  }

  // One report run; throws unless it finished with data differences.
  void compare() {
    if (!driver->start()) throw std::runtime_error("the run did not start");
    driver->waitForEnd();
    if (driver->lastOutcome() != RunOutcome::Finished ||
        driver->document().text().find("Differences found in table") == std::string::npos)
      throw std::runtime_error("the run did not finish with the expected data differences");
  }

  ComparisonOptions options;
  RecordingHost host;
  MemorySettingsStore settings;
  BenchLoader loader;
  OracleEnvironment environment;
  std::unique_ptr<DatabaseConnection> first, second;
  std::unique_ptr<RunDriver> driver;
};

// Reads `rows` rows of Database 1 through a DataCursor at 1 ms per round trip.
double delayedRead(Client& client, long rows, unsigned prefetch, size_t arrayRows) {
  ::setenv("OCISIM_FAULTS", "fetch_delay_ms=1", 1);
  const auto start = Clock::now();
  DataCursor cursor(*client.first->session());
  cursor.setPrefetchRows(prefetch);
  cursor.setArrayRows(arrayRows);
  const std::string error = cursor.open(
      "select ",
      {"id", "name", "amount", "created", "code", "qty", "note", "flag", "ratio", "updated"},
      " from bench.t where id <= " + std::to_string(rows) + " order by id");
  DataRow row;
  long read = 0;
  while (error.empty() && cursor.next(row)) ++read;
  const double spent = seconds(Clock::now() - start);
  ::unsetenv("OCISIM_FAULTS");
  if (!error.empty() || read != rows) throw std::runtime_error("the delayed read failed: " + error);
  return spent;
}

double childrenCpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_CHILDREN, &usage);
  const auto secondsOf = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
  };
  return secondsOf(usage.ru_utime) + secondsOf(usage.ru_stime);
}

// sqldiff's wall time on the two SQLite files, and its CPU time in *cpu.
double timeSqldiff(const fs::path& home, double* cpu) {
  const double cpuStart = childrenCpuSeconds();
  const auto start = Clock::now();
  run("sqldiff '" + (home / "db1.sqlite").string() + "' '" + (home / "db2.sqlite").string() +
      "' > '" + (home / "sqldiff.out").string() + "'");
  *cpu = childrenCpuSeconds() - cpuStart;
  return seconds(Clock::now() - start);
}

// ---- the client alone ----

// The rows of the benchmark table as the cursor hands them over, made on the fly: the client's
// memory without a server that holds the rows.
class GeneratedRows : public RowSource {
 public:
  GeneratedRows(long rows, bool second) : rows_(rows), second_(second) {}
  bool next(DataRow& row) override {
    for (;;) {
      if (++n_ > rows_ + (second_ ? rows_ / 400 : 0)) return false;
      if (second_ && n_ <= rows_ && n_ % 400 == 13) continue;  // deleted
      break;
    }
    row.resize(10);
    const auto set = [&](size_t i, std::string text, FieldKind kind) {
      row[i].text = std::move(text);
      row[i].null = false;
      row[i].kind = kind;
    };
    const std::string n = std::to_string(n_);
    set(0, n, FieldKind::Number);
    set(1, std::string("name ").append(n), FieldKind::Text);
    set(2, std::to_string(n_ * 137 / 100) + "." + std::to_string(n_ * 137 % 100),
        FieldKind::Number);
    set(3, "2020-01-01 00:00:00", FieldKind::Date);
    std::string code = std::to_string(n_ % 100);
    code.insert(code.begin(), 'C');
    set(4, std::move(code), FieldKind::Text);
    set(5, std::to_string(n_ % 97 - 40), FieldKind::Number);
    std::string note(static_cast<size_t>(n_ % 50 + 10), 'y');
    note[0] = 'x';
    if (second_ && n_ % 200 == 7) note += "z";  // changed
    set(6, note, FieldKind::Text);
    set(7, n_ % 2 == 0 ? "Y" : "N", FieldKind::Text);
    set(8, std::to_string(n_ / 7), FieldKind::Number);
    set(9, "2024-06-01 00:00:00", FieldKind::Date);
    return true;
  }
  const std::string& error() const override { return error_; }

 private:
  long rows_;
  bool second_;
  long n_ = 0;
  std::string error_;
};

// Keeps nothing of the report: what the merge itself holds.
class CountingWriter : public ReportWriter {
 public:
  void write(const std::string& text, ReportColour, bool, bool) override { bytes += text.size(); }
  size_t bytes = 0;
};

// The merge and the report lines of `rows` generated rows, in a child process: how much its peak
// resident size grew, in MB.
double clientOnlyPeakMb(long rows) {
  int pipe[2];
  if (::pipe(pipe) != 0) throw std::runtime_error("pipe failed");
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(pipe[0]);
    resetPeak();
    const double start = statusMb("VmRSS:");
    GeneratedRows first(rows, false), second(rows, true);
    ComparisonOptions options;
    CountingWriter out;
    DataObject object;
    object.name = "T";
    object.columnNames = {"ID",  "NAME", "AMOUNT", "CREATED", "CODE",
                          "QTY", "NOTE", "FLAG",   "RATIO",   "UPDATED"};
    object.widths.assign(10, 20);
    DataDifferenceWriter writer(out, options, std::move(object));
    int failed = 0;
    mergeRows(first, second, 0, options, writer, MergeHooks(), &failed);
    const double peak = statusMb("VmHWM:") - start;
    (void)!::write(pipe[1], &peak, sizeof peak);
    ::_exit(writer.differences() > 0 ? 0 : 1);
  }
  ::close(pipe[1]);
  double peak = 0;
  const bool read = ::read(pipe[0], &peak, sizeof peak) == sizeof peak;
  ::close(pipe[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (!read || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    throw std::runtime_error("the client-only merge failed");
  return peak;
}

struct TempHome {
  TempHome() {
    std::string pattern = (fs::temp_directory_path() / "velmora-databench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path = pattern;
  }
  ~TempHome() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
  fs::path path;
};

void measure(long rows) {
  TempHome home;
  buildAll(home.path, rows);
  const auto connectStart = Clock::now();
  Client client(home.path, true);
  const double connect = seconds(Clock::now() - connectStart);
  const double rssConnected = statusMb("VmRSS:");
  resetPeak();

  gServerSeconds = 0;
  const double cpuStart = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
  const auto start = Clock::now();
  client.compare();
  const double wall = seconds(Clock::now() - start);
  const double cpu = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStart;
  const double server = gServerSeconds.load();
  const double rssPeak = statusMb("VmHWM:");
  // The report itself (the differing rows) is kept, as the window shows it: its size is the
  // part of the growth that follows the differences rather than the rows read.
  const double reportMb =
      static_cast<double>(client.driver->document().text().size()) / (1024.0 * 1024.0);

  double sqldiffCpu = 0;
  const bool compared = haveSqldiff();
  const double sqldiff = compared ? timeSqldiff(home.path, &sqldiffCpu) : 0;
  const long delayed = std::min(rows, 20000L);
  const double withPrefetch =
      delayedRead(client, delayed, DataCursor::kPrefetchRows, DataCursor::kArrayRows);
  const double arrayOnly = delayedRead(client, delayed, 0, DataCursor::kArrayRows);
  const double neither = delayedRead(client, delayed, 0, OracleStatement::kMaxRowsPerFetch);

  std::printf("rows %ld x 10 columns, 1 %% differing (connect %.2f s)\n", rows, connect);
  if (compared) {
    std::printf(
        "  compare_s %.3f  sqldiff_s %.3f  ratio %.2f  (target <= 1.0; CPU: %.3f s "
        "against %.3f s, ratio %.2f)\n",
        wall, sqldiff, wall / sqldiff, cpu, sqldiffCpu, cpu / sqldiffCpu);
  } else {
    std::printf("  compare_s %.3f  (sqldiff is not installed: scripts/bootstrap installs it)\n",
                wall);
  }
  std::printf("  cpu_s %.3f = server_s %.3f (ocisim engine) + client_s %.3f (product)\n", cpu,
              server, cpu - server);
  std::printf("  client_ns_per_row %.0f  server_ns_per_row %.0f  (per row of each database)\n",
              (cpu - server) * 1e9 / (2.0 * rows), server * 1e9 / (2.0 * rows));
  std::printf(
      "  rss_MB connected %.1f  peak %.1f  growth %.1f  (the server in this process "
      "holds both databases; the report text is %.1f MB)\n",
      rssConnected, rssPeak, rssPeak - rssConnected, reportMb);
  std::printf("  client alone (the merge and report lines of generated rows): rss_MB growth %.1f\n",
              clientOnlyPeakMb(rows));
  std::printf(
      "  prefetch: %ld rows at 1 ms per round trip: %.3f s with %d rows ahead and up to %zu "
      "a call (the product), %.3f s without prefetch, %.3f s without either (%d a call)\n",
      delayed, withPrefetch, DataCursor::kPrefetchRows, DataCursor::kArrayRows, arrayOnly, neither,
      OracleStatement::kMaxRowsPerFetch);
  std::fflush(stdout);
}

// Under callgrind: one comparison of the prepared databases.
int profileClient(const fs::path& home) {
  Client client(home, false);
  client.compare();
  return 0;
}

long readTotals(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  long total = -1;
  while (std::getline(in, line)) {
    if (line.rfind("totals:", 0) == 0 || line.rfind("summary:", 0) == 0)
      total = std::atol(line.c_str() + line.find(':') + 1);
  }
  return total;
}

// The inclusive cost callgrind_annotate gives the function `name` (0 when it is not listed).
long inclusiveCost(const fs::path& annotated, const std::string& name) {
  std::ifstream in(annotated);
  std::string line;
  while (std::getline(in, line)) {
    const size_t at = line.find(":" + name + " ");
    if (at == std::string::npos) continue;
    std::string digits;
    for (char c : line.substr(0, line.find('('))) {
      if (c >= '0' && c <= '9') digits += c;
    }
    return digits.empty() ? -1 : std::atol(digits.c_str());
  }
  return 0;
}

void countInstructions(const char* self) {
  if (std::system("command -v valgrind > /dev/null 2>&1") != 0) {
    std::printf("client instructions: valgrind is not installed; skipped\n");
    return;
  }
  const long rows = 50000;
  TempHome home;
  buildAll(home.path, rows);
  const fs::path out = home.path / "callgrind.out";
  run("valgrind --tool=callgrind --collect-atstart=no --toggle-collect='velmora::mergeRows*' "
      "--toggle-collect='velmora::ReadAhead::read*' --callgrind-out-file='" +
      out.string() + "' '" + self + "' --profile-client '" + home.path.string() + "' > '" +
      (home.path / "valgrind.log").string() + "' 2>&1");
  // Everything collected ran inside the merge or its readers; the fetches are the server's.
  const fs::path annotated = home.path / "annotated.txt";
  run("callgrind_annotate --inclusive=yes '" + out.string() + "' > '" + annotated.string() + "'");
  const long total = readTotals(out);
  const long server = inclusiveCost(annotated, "OCIStmtFetch");
  if (total <= 0 || server < 0) throw std::runtime_error("callgrind gave no totals");
  std::printf(
      "client instructions (callgrind, %ld rows a database): merge and readers %ld, of "
      "which OCIStmtFetch (server) %ld: client %.0f per compared pair of rows, %.0f per "
      "row read (target < 2,000 per compared row)\n",
      rows, total, server, static_cast<double>(total - server) / rows,
      static_cast<double>(total - server) / (2.0 * rows));
}

std::vector<long> rowCounts() {
  std::vector<long> counts;
  const char* env = std::getenv("VELMORA_BENCH_DATA_ROWS");
  std::stringstream list(env != nullptr ? env : "100000");
  std::string item;
  while (std::getline(list, item, ',')) {
    if (std::atol(item.c_str()) > 0) counts.push_back(std::atol(item.c_str()));
  }
  const char* million = std::getenv("VELMORA_BENCH_DATA_MILLION");
  if (million != nullptr && std::string(million) == "1") counts.push_back(1000000);
  return counts;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc == 3 && std::string(argv[1]) == "--profile-client") return profileClient(argv[2]);
    if (argc == 4 && std::string(argv[1]) == "--build") {
      buildAll(argv[2], std::atol(argv[3]));
      return 0;
    }
    for (long rows : rowCounts()) {
      const pid_t pid = ::fork();
      if (pid == 0) {
        int status = 0;
        try {
          measure(rows);
        } catch (const std::exception& e) {
          std::fprintf(stderr, "data_bench: %s\n", e.what());
          status = 1;
        }
        std::fflush(nullptr);
        ::_exit(status);
      }
      int status = 0;
      ::waitpid(pid, &status, 0);
      if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return 1;
    }
    const char* callgrind = std::getenv("VELMORA_BENCH_CALLGRIND");
    if (callgrind == nullptr || std::string(callgrind) != "0") countInstructions(argv[0]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "data_bench: %s\n", e.what());
    return 1;
  }
  return 0;
}
