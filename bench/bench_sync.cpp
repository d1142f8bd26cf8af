// Database check speed: CheckDB of a project of 1,000 tables x 20 columns
// against its unchanged SQLite database, with the schema read it is built on
// as the baseline — the reference loader's LoadDB of the same database alone —
// and the model's LoadDB (every table and field with its defaults) beside it.
//
//   bench_sync [Google Benchmark flags]   (ZANTREL_BENCH_TABLES changes the size)
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "project/project.h"
#include "ratio_reporter.h"
#include "project/obp_schema.h"

using namespace zantrel;
namespace fs = std::filesystem;

namespace {

constexpr const char* kTypes[] = {"INTEGER", "VARCHAR(50)", "TEXT", "DATE", "DECIMAL(10,2)", "DOUBLE", "BOOLEAN",
                                  "DATETIME"};

struct Workload {
  fs::path folder;
  std::string file;
  int tables = 1000;
  Ref<ObP> project;
};

Workload& Work() {
  static Workload w;
  return w;
}

// A database of TABLES x 20 columns and the project loaded from it.
void Prepare() {
  Workload& w = Work();
  if (const char* n = std::getenv("ZANTREL_BENCH_TABLES")) w.tables = std::atoi(n);
  w.folder = fs::temp_directory_path() / ("zantrel-bench-sync-" + std::to_string(getpid()));
  fs::create_directories(w.folder);
  setenv("ZANTREL_CONFIG_DIR", w.folder.c_str(), 1);
  setenv("ZANTREL_MACHINE_CONFIG_DIR", w.folder.c_str(), 1);
  w.file = (w.folder / "bench.db").string();
  std::string sql = "BEGIN;";
  for (int t = 0; t < w.tables; ++t) {
    sql += "CREATE TABLE t" + std::to_string(t) + " (c0 INTEGER PRIMARY KEY";
    for (int c = 1; c < 20; ++c) sql += ", c" + std::to_string(c) + " " + kTypes[(c + t) % 8];
    sql += ");";
  }
  sql += "COMMIT;";
  sqlite3* db = nullptr;
  sqlite3_open(w.file.c_str(), &db);
  sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
  sqlite3_close(db);
  w.project = MakeRef<ObP>();
  w.project->LoadDB(w.file, "sqlite", "", "", "", "", "", "", "", "");
  if (!ObP::ProjErr().empty()) {
    std::fprintf(stderr, "LoadDB failed: %s\n", ObP::ProjErr().c_str());
    std::exit(1);
  }
}

void BM_CheckDB(benchmark::State& state) {
  for (auto _ : state) {
    if (Work().project->CheckDB() != 0) state.SkipWithError("the database differs");
  }
}
BENCHMARK(BM_CheckDB)->Unit(benchmark::kMillisecond);

void BM_SchemaLoadDB(benchmark::State& state) {
  for (auto _ : state) {
    ObPSchema live;
    live.LoadDB(Work().file, "sqlite", "", "", "", "", "", "", "", "");
    benchmark::DoNotOptimize(live.tblcnt());
  }
}
BENCHMARK(BM_SchemaLoadDB)->Unit(benchmark::kMillisecond);

void BM_ProjectLoadDB(benchmark::State& state) {
  for (auto _ : state) {
    auto p = MakeRef<ObP>();
    p->LoadDB(Work().file, "sqlite", "", "", "", "", "", "", "", "");
    benchmark::DoNotOptimize(p.get());
  }
}
BENCHMARK(BM_ProjectLoadDB)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  Prepare();
  int rc = bench::RunWithRatios(argc, argv, {{"BM_CheckDB", "BM_SchemaLoadDB"}, {"BM_CheckDB", "BM_ProjectLoadDB"}});
  Work().project = nullptr;
  fs::remove_all(Work().folder);
  return rc;
}
