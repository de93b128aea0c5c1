// Durable storage of an ocisim database: a 1,000,000-row table of 10 columns loaded by one
// INSERT ... SELECT ... CONNECT BY statement (target: under 20 s in all) and the database
// opened again from its directory (target: under 5 s), with the peak memory of the process
// (target: under 1 GB). The Storage* variants build the rows in memory and time only what the
// storage does with them (the commit of a million-row statement, the reopen).
//
// OCISIM_BENCH_ROWS overrides the row count. Run one benchmark per process for a clean peak
// memory figure, e.g. --benchmark_filter=SqlReopen.
#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "engine/compose/engine.h"
#include "engine/exec/database.h"
#include "engine/exec/session.h"
#include "engine/exec/statement.h"
#include "engine/ora_error.h"

namespace {

using namespace ocisim;
namespace fs = std::filesystem;

int64_t rowCount() {
  const char* env = std::getenv("OCISIM_BENCH_ROWS");
  return env ? std::atoll(env) : 1000000;
}

double peakRssMb() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// A directory for the benchmark's databases, removed at exit.
struct BenchDir {
  BenchDir() {
    std::string pattern = (fs::temp_directory_path() / "ocisim-bench-XXXXXX").string();
    path = ::mkdtemp(pattern.data());
  }
  ~BenchDir() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
  std::string path;
};

BenchDir& benchDir() {
  static BenchDir dir;
  return dir;
}

const char* kCreateTable =
    "CREATE TABLE big (id NUMBER PRIMARY KEY, name VARCHAR2(30), amount NUMBER(12,2), "
    "created DATE, code CHAR(4), qty INTEGER, note VARCHAR2(100), flag VARCHAR2(1), "
    "ratio NUMBER, updated DATE)";

std::string insertStatement(int64_t rows) {
  return "INSERT INTO big SELECT LEVEL, 'name ' || LEVEL, ROUND(LEVEL * 1.37, 2), "
         "TO_DATE('2020-01-01', 'YYYY-MM-DD') + MOD(LEVEL, 1000), 'C' || MOD(LEVEL, 100), "
         "MOD(LEVEL, 97), RPAD('x', MOD(LEVEL, 50) + 10, 'y'), "
         "DECODE(MOD(LEVEL, 2), 0, 'Y', 'N'), LEVEL / 7, SYSDATE "
         "FROM dual CONNECT BY LEVEL <= " +
         std::to_string(rows);
}

// Creates the table and loads it; returns the error text, empty on success.
std::string loadWithSql(const std::string& directory, int64_t rows) {
  try {
    auto db = createDatabase(directory);
    auto session = db->logon("SYSTEM", "manager");
    session->execute(kCreateTable);
    auto result = session->execute(insertStatement(rows));
    if (static_cast<int64_t>(result.rowCount) != rows) return "wrong row count";
  } catch (const std::exception& e) {
    return e.what();
  }
  return "";
}

const std::string& sqlLoadedDirectory(std::string& error) {
  static std::string directory;
  static std::string loadError;
  if (directory.empty()) {
    directory = benchDir().path + "/sql";
    loadError = loadWithSql(directory, rowCount());
  }
  error = loadError;
  return directory;
}

void SqlLoad(benchmark::State& state) {
  int run = 0;
  for (auto _ : state) {
    std::string directory = benchDir().path + "/load" + std::to_string(run++);
    std::string error = loadWithSql(directory, rowCount());
    if (!error.empty()) {
      state.SkipWithError(error.c_str());
      break;
    }
    state.PauseTiming();
    fs::remove_all(directory);
    state.ResumeTiming();
  }
  state.counters["rows"] = static_cast<double>(rowCount());
  state.counters["peak_rss_MB"] = peakRssMb();
}

void SqlReopen(benchmark::State& state) {
  std::string error;
  const std::string& directory = sqlLoadedDirectory(error);
  if (!error.empty()) {
    state.SkipWithError(error.c_str());
    return;
  }
  for (auto _ : state) {
    auto db = openDatabase(directory);
    benchmark::DoNotOptimize(db->catalog().findTable("SYSTEM", "BIG")->data->rowCount());
  }
  state.counters["peak_rss_MB"] = peakRssMb();
}

// ---- the storage alone ----

Row benchRow(int64_t n) {
  DateTime base = DateTime::make(2020, 1, 1);
  std::string name = "name " + std::to_string(n);
  return {Value::integer(n),
          Value::text(name),
          Value::number(*Decimal::parse(std::to_string(n) + ".37")),
          Value::date(base.addDays(Decimal::fromInt64(n % 1000))),
          Value::charText("C" + std::to_string(n % 100)),
          Value::integer(n % 97),
          Value::text(std::string(static_cast<size_t>(n % 50 + 10), 'y')),
          Value::text(n % 2 == 0 ? "Y" : "N"),
          Value::number(Decimal::fromInt64(n) / Decimal::fromInt64(7)),
          Value::date(base)};
}

// A database with the table's rows in memory and nothing of them on disk yet.
std::shared_ptr<Database> storageDatabase(const std::string& directory, CommitRecord& record) {
  auto db = createDatabase(directory);
  Catalog& c = db->catalog();
  auto table = std::make_unique<Table>();
  table->header.objectId = c.allocateObjectId();
  table->header.owner = "SYSTEM";
  table->header.name = "BIG";
  const DataType types[] = {
      DataType::number(),    DataType::varchar2(30), DataType::number(12, 2), DataType::date(),
      DataType::charType(4), DataType::integer(),    DataType::varchar2(100), DataType::varchar2(1),
      DataType::number(),    DataType::date()};
  for (int i = 0; i < 10; ++i)
    table->columns.push_back({"C" + std::to_string(i), types[i], "", {}});
  table->data = std::make_shared<TableData>(10);
  Table& t = c.addTable(std::move(table));
  record.catalogChanged = true;
  for (int64_t n = 1; n <= rowCount(); ++n) {
    RowId id = t.data->insert(benchRow(n));
    record.rows.push_back({RowChange::Kind::Insert, t.header.objectId, id});
  }
  return db;
}

void commitRecord(Database& db, const CommitRecord& record) {
  std::lock_guard lock(db.mutex());
  db.persistence()->beginStatement(db, true);
  db.persistence()->commit(db, record);
  db.persistence()->endStatement(db);
}

void StorageCommit(benchmark::State& state) {
  int run = 0;
  for (auto _ : state) {
    state.PauseTiming();
    CommitRecord record;
    auto db = storageDatabase(benchDir().path + "/commit" + std::to_string(run++), record);
    state.ResumeTiming();
    commitRecord(*db, record);
    state.PauseTiming();
    std::string directory = db->directory();
    db.reset();
    fs::remove_all(directory);
    state.ResumeTiming();
  }
  state.counters["rows"] = static_cast<double>(rowCount());
  state.counters["peak_rss_MB"] = peakRssMb();
}

void StorageReopen(benchmark::State& state) {
  std::string directory = benchDir().path + "/reopen";
  {
    CommitRecord record;
    auto db = storageDatabase(directory, record);
    commitRecord(*db, record);
  }
  for (auto _ : state) {
    auto db = openDatabase(directory);
    benchmark::DoNotOptimize(db->catalog().findTable("SYSTEM", "BIG")->data->rowCount());
  }
  state.counters["journal_MB"] =
      static_cast<double>(fs::file_size(directory + "/journal")) / (1024.0 * 1024.0);
  state.counters["peak_rss_MB"] = peakRssMb();
}

BENCHMARK(SqlLoad)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(SqlReopen)->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();
BENCHMARK(StorageCommit)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(StorageReopen)->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
