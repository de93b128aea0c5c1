// DDL on a database in a directory: N tables of 20 columns with a primary key each, created one
// statement at a time (each durable before the next starts, as `ocisim run` of a schema script
// does), then the database opened again. Target: 10,000 tables in under 60 s, with the cost of
// one CREATE TABLE not growing with the schema.
//
// Counters: ms_per_table over all tables and over the first and the last tenth (equal figures:
// no growth), journal_bytes_per_table written by the last tenth, reopen_ms. The 1,000-table case
// always runs; the 10,000-table one when OCISIM_BENCH_DDL_10K=1 (it takes minutes on a loaded
// machine), e.g.
//   OCISIM_BENCH_DDL_10K=1 build-bench/bench/ddl_bench
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "engine/compose/engine.h"
#include "engine/exec/database.h"
#include "engine/exec/session.h"
#include "engine/exec/statement.h"

namespace {

using namespace ocisim;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string createTable(int n) {
  std::string sql = "CREATE TABLE t" + std::to_string(n) + " (id NUMBER PRIMARY KEY";
  for (int i = 1; i < 20; ++i) {
    sql += ", c" + std::to_string(i) + (i % 2 ? " VARCHAR2(30)" : " NUMBER(12,2)");
  }
  return sql + ")";
}

uint64_t journalSize(const fs::path& directory) {
  std::error_code ec;
  uint64_t size = fs::file_size(directory / "journal", ec);
  return ec ? 0 : size;
}

void CreateTables(benchmark::State& state) {
  const int tables = static_cast<int>(state.range(0));
  if (tables > 1000 && std::getenv("OCISIM_BENCH_DDL_10K") == nullptr) {
    state.SkipWithError("set OCISIM_BENCH_DDL_10K=1 to run the 10,000-table case");
    return;
  }
  std::string pattern = (fs::temp_directory_path() / "ocisim-ddl-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    state.SkipWithError("mkdtemp failed");
    return;
  }
  const fs::path root = pattern;
  const int tenth = tables / 10;
  double firstTenthMs = 0;
  double lastTenthMs = 0;
  uint64_t lastTenthBytes = 0;
  double reopenMs = 0;
  int run = 0;
  for (auto _ : state) {
    const fs::path directory = root / ("db" + std::to_string(run++));
    try {
      auto db = createDatabase(directory.string());
      auto session = db->logon("SYSTEM", "manager");
      Clock::time_point tenthStart = Clock::now();
      uint64_t tenthBytes = journalSize(directory);
      for (int n = 0; n < tables; ++n) {
        session->execute(createTable(n));
        if (n + 1 == tenth) firstTenthMs = msSince(tenthStart);
        if (n + 1 == tables - tenth) {
          tenthStart = Clock::now();
          tenthBytes = journalSize(directory);
        }
      }
      lastTenthMs = msSince(tenthStart);
      // A compaction in the last tenth leaves a shorter journal: count what it holds.
      uint64_t end = journalSize(directory);
      lastTenthBytes = end > tenthBytes ? end - tenthBytes : end;
      session.reset();
      db.reset();
      state.PauseTiming();
      Clock::time_point reopenStart = Clock::now();
      auto reopened = openDatabase(directory.string());
      reopenMs = msSince(reopenStart);
      if (reopened->catalog().tables().size() != static_cast<size_t>(tables)) {
        state.SkipWithError("the reopened database lacks tables");
      }
      state.ResumeTiming();
    } catch (const std::exception& e) {
      state.SkipWithError(e.what());
      break;
    }
  }
  std::error_code ec;
  fs::remove_all(root, ec);
  state.counters["tables"] = tables;
  state.counters["ms_per_table_first_tenth"] = firstTenthMs / tenth;
  state.counters["ms_per_table_last_tenth"] = lastTenthMs / tenth;
  state.counters["journal_bytes_per_table"] = static_cast<double>(lastTenthBytes) / tenth;
  state.counters["reopen_ms"] = reopenMs;
}

}  // namespace

BENCHMARK(CreateTables)->Arg(1000)->Arg(10000)->Unit(benchmark::kSecond)->Iterations(1);

BENCHMARK_MAIN();
