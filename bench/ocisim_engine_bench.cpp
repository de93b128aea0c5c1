// Speed targets of the ocisim engine on a table of 1,000,000 rows and 10 columns: loading it
// through the row generator, streaming it in primary-key order, and single-row UPDATE / DELETE
// by primary key with ROWNUM = 1. Run: ocisim_engine_bench [--benchmark_filter=...]; the row
// count can be lowered with OCISIM_BENCH_ROWS for a quick look.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/compose/engine.h"
#include "engine/exec/database.h"
#include "engine/exec/session.h"

namespace {

using namespace ocisim;

int64_t rowCount() {
  const char* env = std::getenv("OCISIM_BENCH_ROWS");
  return env ? std::atoll(env) : 1000000;
}

std::string loadStatement(int64_t rows) {
  return "insert into big select level, mod(level, 97), 'name ' || level, level * 1.5, "
         "sysdate + mod(level, 365), 'code' || mod(level, 1000), level, 'x', null, "
         "lpad('z', 20, 'z') from dual connect by level <= " +
         std::to_string(rows);
}

struct BigTable {
  std::shared_ptr<Database> db;
  std::unique_ptr<Session> session;
};

BigTable& bigTable() {
  static BigTable t = [] {
    BigTable b;
    b.db = createDatabaseInMemory();
    b.session = b.db->logon("SYSTEM", "manager");
    b.session->execute(
        "create table big (id number primary key, grp number, name varchar2(40), amount "
        "number(12,2), day date, code varchar2(10), n2 number, flag char(1), empty varchar2(5), "
        "pad varchar2(20))");
    b.session->execute(loadStatement(rowCount()));
    return b;
  }();
  return t;
}

void BM_LoadThroughRowGenerator(benchmark::State& state) {
  for (auto _ : state) {
    auto db = createDatabaseInMemory();
    auto s = db->logon("SYSTEM", "manager");
    s->execute(
        "create table big (id number primary key, grp number, name varchar2(40), amount "
        "number(12,2), day date, code varchar2(10), n2 number, flag char(1), empty varchar2(5), "
        "pad varchar2(20))");
    auto start = std::chrono::steady_clock::now();
    s->execute(loadStatement(rowCount()));
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  state.counters["rows"] = static_cast<double>(rowCount());
}
BENCHMARK(BM_LoadThroughRowGenerator)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

void BM_FirstRowInKeyOrder(benchmark::State& state) {
  Session& s = *bigTable().session;
  for (auto _ : state) {
    auto result = s.execute("select * from big order by id");
    Row row;
    benchmark::DoNotOptimize(result.cursor->fetch(row));
  }
}
BENCHMARK(BM_FirstRowInKeyOrder)->Unit(benchmark::kMillisecond);

void BM_StreamAllRowsInKeyOrder(benchmark::State& state) {
  Session& s = *bigTable().session;
  int64_t rows = 0;
  for (auto _ : state) {
    auto result = s.execute("select * from big order by id");
    Row row;
    while (result.cursor->fetch(row)) ++rows;
  }
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows),
                                                benchmark::Counter::kIsRate);
}
BENCHMARK(BM_StreamAllRowsInKeyOrder)->Iterations(1)->Unit(benchmark::kSecond);

void BM_UpdateByPrimaryKey(benchmark::State& state) {
  Session& s = *bigTable().session;
  auto stmt = s.prepare("update big set name = :name where id = :id and rownum = 1");
  int64_t id = 1;
  for (auto _ : state) {
    BindSet binds;
    binds.set("NAME", Value::text("updated"));
    binds.set("ID", Value::integer(id));
    id = id % rowCount() + 7919;
    benchmark::DoNotOptimize(stmt->execute(binds).rowCount);
  }
}
BENCHMARK(BM_UpdateByPrimaryKey)->Unit(benchmark::kMicrosecond);

void BM_DeleteByPrimaryKey(benchmark::State& state) {
  Session& s = *bigTable().session;
  auto stmt = s.prepare("delete from big where id = :id and rownum = 1");
  int64_t id = rowCount();
  for (auto _ : state) {
    BindSet binds;
    binds.set("ID", Value::integer(id--));
    benchmark::DoNotOptimize(stmt->execute(binds).rowCount);
  }
}
BENCHMARK(BM_DeleteByPrimaryKey)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
