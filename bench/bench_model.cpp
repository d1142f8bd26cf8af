// The object model's hot paths: keyed lookups in a large collection, adding and
// deleting tables with their renumbering, enumerating a field's settings and
// constructing a project; each against a plain standard-library baseline.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/names.h"
#include "model/field.h"
#include "model/project.h"
#include "model/super_collection.h"
#include "model/table.h"
#include "ratio_reporter.h"

using namespace zantrel;

namespace {

constexpr int kItems = 100000;

std::vector<std::string> MakeNames() {
  std::vector<std::string> names;
  for (int i = 0; i < kItems; ++i) names.push_back("Table_" + std::to_string(i * 7919 % 1000003) + "_Name");
  return names;
}

// The lookup keys in another letter case and a shuffled order.
std::vector<std::string> MakeQueries(const std::vector<std::string>& names) {
  std::vector<std::string> queries;
  for (const std::string& n : names) queries.push_back(ToUpperText(n));
  std::shuffle(queries.begin(), queries.end(), std::mt19937(42));
  return queries;
}

void BM_CollectionLookup(benchmark::State& state) {
  static const auto names = MakeNames();
  static const auto queries = MakeQueries(names);
  auto c = MakeRef<CSuperCollection>();
  c->CompareMode(1);
  for (int i = 0; i < kItems; ++i) c->Add(Variant(int32_t{i}), names[i]);
  std::size_t q = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(c->OrdinalOf(queries[q]));
    if (++q == queries.size()) q = 0;
  }
}
BENCHMARK(BM_CollectionLookup);

void BM_CollectionItemByKey(benchmark::State& state) {
  static const auto names = MakeNames();
  static const auto queries = MakeQueries(names);
  auto c = MakeRef<CSuperCollection>();
  c->CompareMode(1);
  for (int i = 0; i < kItems; ++i) c->Add(Variant(int32_t{i}), names[i]);
  std::vector<Variant> keys(queries.begin(), queries.end());
  std::size_t q = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(c->Item(keys[q]));
    if (++q == keys.size()) q = 0;
  }
}
BENCHMARK(BM_CollectionItemByKey);

// Baseline: std::unordered_map keyed by the lower-cased name, queried with
// keys folded beforehand (the cheapest a case-insensitive map can be).
void BM_UnorderedMapLookup(benchmark::State& state) {
  static const auto names = MakeNames();
  static const auto queries = MakeQueries(names);
  std::unordered_map<std::string, int> map;
  for (int i = 0; i < kItems; ++i) map.emplace(FoldName(names[i]), i);
  std::vector<std::string> folded;
  for (const auto& qn : queries) folded.push_back(FoldName(qn));
  std::size_t q = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(map.find(folded[q]));
    if (++q == folded.size()) q = 0;
  }
}
BENCHMARK(BM_UnorderedMapLookup);

// Adds 200 tables, then deletes them from the front (each delete renumbers the rest).
void BM_TablesAddDelete(benchmark::State& state) {
  std::vector<std::string> names;
  for (int i = 0; i < 200; ++i) names.push_back("t" + std::to_string(i));
  for (auto _ : state) {
    auto tables = MakeRef<ObPTables>();
    for (const auto& n : names) tables->Add(n);
    for (const auto& n : names) tables->Delete(Variant(n));
    benchmark::DoNotOptimize(tables->Count());
  }
  state.SetItemsProcessed(state.iterations() * 400);
}
BENCHMARK(BM_TablesAddDelete);

void BM_UnorderedMapAddErase(benchmark::State& state) {
  std::vector<std::string> names;
  for (int i = 0; i < 200; ++i) names.push_back("t" + std::to_string(i));
  for (auto _ : state) {
    std::unordered_map<std::string, std::vector<int>> map;
    for (const auto& n : names) map.emplace(n, std::vector<int>(45));
    for (const auto& n : names) map.erase(n);
    benchmark::DoNotOptimize(map.size());
  }
  state.SetItemsProcessed(state.iterations() * 400);
}
BENCHMARK(BM_UnorderedMapAddErase);

void BM_FieldBagEnumeration(benchmark::State& state) {
  auto field = MakeRef<ObPField>();
  for (auto _ : state) {
    Ref<Enumerator> e = field->Properties().NewEnum();
    Variant item;
    int n = 0;
    while (e->Next(item)) ++n;
    benchmark::DoNotOptimize(n);
  }
}
BENCHMARK(BM_FieldBagEnumeration);

void BM_VectorOfVariantsCopy(benchmark::State& state) {
  auto field = MakeRef<ObPField>();
  std::vector<Variant> items;
  for (int i = 0; i < field->Properties().Count(); ++i)
    items.push_back(ObjectVariant(field->Properties().Item(Variant(i + 1))));
  for (auto _ : state) {
    std::vector<Variant> copy = items;
    int n = 0;
    for (const Variant& v : copy) n += v.IsObject();
    benchmark::DoNotOptimize(n);
  }
}
BENCHMARK(BM_VectorOfVariantsCopy);

void BM_ProjectConstruction(benchmark::State& state) {
  for (auto _ : state) {
    auto project = MakeRef<ObPModel>();
    benchmark::DoNotOptimize(project.get());
  }
}
BENCHMARK(BM_ProjectConstruction);

// Baseline: a bare field bag (95 settings registered, no user defaults).
void BM_FieldConstruction(benchmark::State& state) {
  for (auto _ : state) {
    auto field = MakeRef<ObPField>();
    benchmark::DoNotOptimize(field.get());
  }
}
BENCHMARK(BM_FieldConstruction);

}  // namespace

int main(int argc, char** argv) {
  // The project reads user defaults: keep the benchmark away from the real ones.
  auto dir = std::filesystem::temp_directory_path() / "zantrel-bench-config";
  std::filesystem::create_directories(dir);
  setenv("ZANTREL_CONFIG_DIR", dir.c_str(), 1);
  setenv("ZANTREL_MACHINE_CONFIG_DIR", dir.c_str(), 1);
  return bench::RunWithRatios(argc, argv,
                              {{"BM_CollectionLookup", "BM_UnorderedMapLookup"},
                               {"BM_CollectionItemByKey", "BM_UnorderedMapLookup"},
                               {"BM_TablesAddDelete", "BM_UnorderedMapAddErase"},
                               {"BM_FieldBagEnumeration", "BM_VectorOfVariantsCopy"},
                               {"BM_ProjectConstruction", "BM_FieldConstruction"}});
}
