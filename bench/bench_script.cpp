// The VBScript engine's speed against Lua 5.4 on the same five programs, both
// measured in this run: (a) integer additions in a loop, (b) short string
// concatenation, (c) calls of a small function, (d) property reads on a host
// object, (e) a generated 200-line page run 10,000 times. The programs live in
// bench/script/ as NAME.vbs (its Main function is timed) and NAME.lua (run by
// the lua5.4 interpreter as a child process, start-up included).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "core/convert.h"
#include "core/dispatch.h"
#include "ratio_reporter.h"
#include "script/engine.h"

using namespace zantrel;

namespace {

const std::string kDir = ZANTREL_BENCH_SOURCE_DIR "/script/";

std::string ReadScript(const std::string& name) {
  std::ifstream in(kDir + name);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

class Obj : public HostObject<Obj> {
 public:
  static const MemberTable<Obj>& Members() {
    static const MemberTable<Obj> table("Obj", {{"Value", [](Obj&, Args) { return Variant(int16_t{3}); }, nullptr}});
    return table;
  }
};

void RunVbs(benchmark::State& state, const char* name, int pagesPerRun) {
  script::Engine engine;
  engine.AddObject("Obj", MakeRef<Obj>());
  if (const script::ScriptError e = engine.AddCode("System", ReadScript(std::string(name) + ".vbs"))) {
    state.SkipWithError(("compile: " + e.description).c_str());
    return;
  }
  for (auto _ : state) {
    const script::RunResult r = engine.Run("System", "Main");
    if (!r.ok()) {
      state.SkipWithError(r.error.description.c_str());
      return;
    }
    benchmark::DoNotOptimize(r.value);
  }
  if (pagesPerRun) state.counters["pages/s"] = benchmark::Counter(double(pagesPerRun) * state.iterations(), benchmark::Counter::kIsRate);
}

void RunLua(benchmark::State& state, const char* name, int pagesPerRun) {
  if (std::system("command -v lua5.4 >/dev/null 2>&1") != 0) {
    state.SkipWithError("lua5.4 is not installed (scripts/bootstrap installs it)");
    return;
  }
  const std::string command = "lua5.4 '" + kDir + name + ".lua' >/dev/null";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("lua5.4 failed");
      return;
    }
  }
  if (pagesPerRun) state.counters["pages/s"] = benchmark::Counter(double(pagesPerRun) * state.iterations(), benchmark::Counter::kIsRate);
}

struct Program {
  const char* name;
  int pages;
};
constexpr Program kPrograms[] = {{"loop", 0}, {"concat", 0}, {"calls", 0}, {"property", 0}, {"template", 10000}};

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (const Program& p : kPrograms) {
    const std::string vbs = std::string("VBScript/") + p.name, lua = std::string("Lua/") + p.name;
    benchmark::RegisterBenchmark(vbs.c_str(), [p](benchmark::State& s) { RunVbs(s, p.name, p.pages); })
        ->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
    benchmark::RegisterBenchmark(lua.c_str(), [p](benchmark::State& s) { RunLua(s, p.name, p.pages); })
        ->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
    pairs.emplace_back(vbs + "/min_time:1.000/real_time", lua + "/min_time:1.000/real_time");
  }
  return bench::RunWithRatios(argc, argv, pairs);
}
