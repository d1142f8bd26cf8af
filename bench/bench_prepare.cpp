// Script preparation and rendering speed, on the template in bench/prepare/template:
//  (a) preparing the six controls of that template (list, view, add, edit,
//      delete, search) 1,000 times each;
//  (b) rendering its 300-line list page for every table of a 200-table x
//      15-field project built in memory, against the same page written as a
//      Jinja2 template (bench/prepare/list.j2) rendered by /usr/bin/python3 on
//      the same schema passed as JSON, in the same run. Zantrel is measured
//      twice: RenderTemplate per page (the engine started for every page, as
//      `zantrel render` does) and with one engine kept for all pages, as a
//      generation run's page loop does.
// Prints operations per second and the ratio against Jinja2 (aim: >= 3x).
//
//   bench_prepare [ROUNDS]
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/context.h"
#include "generate/generation_run.h"
#include "generate/render.h"
#include "generate/script_builder.h"
#include "model/database.h"
#include "model/field.h"
#include "model/table.h"
#include "project/project.h"

using namespace zantrel;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kTables = 200;
constexpr int kFields = 15;
constexpr int kPrepareRepeats = 1000;
const char* const kControls[] = {"list", "view", "add", "edit", "delete", "search"};
const int16_t kFieldTypes[] = {3, 200, 201, 135, 131, 11};  // ADO types: int, varchar, text, date, decimal, bool

const fs::path kHere = fs::path(ZANTREL_BENCH_SOURCE_DIR) / "prepare";

std::string Quote(const std::string& s) { return "\"" + s + "\""; }

Ref<ObP> MakeProject(std::string* json) {
  auto project = MakeRef<ObP>();
  project->RecPerPage(int16_t{20});
  project->databases().Add("bench");
  project->currentDatabaseName("bench");
  *json = "{\"project\": {\"rec_per_page\": 20}, \"tables\": [";
  for (int t = 0; t < kTables; ++t) {
    std::string name = "table" + std::to_string(t);
    Ref<ObPTable> table = project->db()->tables().Add(name);
    table->TblGen(true);
    table->TblCaption("Table " + std::to_string(t));
    table->TblKey("f0");
    *json += std::string(t ? ", " : "") + "{\"name\": " + Quote(name) + ", \"caption\": " +
             Quote("Table " + std::to_string(t)) + ", \"key\": \"f0\", \"fields\": [";
    for (int f = 0; f < kFields; ++f) {
      std::string fieldName = "f" + std::to_string(f);
      int16_t type = kFieldTypes[(t + f) % 6];
      Ref<ObPField> field = table->Fields().Add(fieldName);
      field->FldType(type);
      field->FldCaption("Field " + std::to_string(f));
      field->FldSize(int32_t{50});
      *json += std::string(f ? ", " : "") + "{\"name\": " + Quote(fieldName) + ", \"caption\": " +
               Quote("Field " + std::to_string(f)) + ", \"type\": " + std::to_string(type) + ", \"size\": 50}";
    }
    *json += "]}";
  }
  *json += "]}";
  return project;
}

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void Fail(const std::string& what) {
  std::fprintf(stderr, "bench_prepare: %s: %s\n", what.c_str(), Context().projErr.c_str());
  std::exit(1);
}

// (a) Prepared scripts per second.
double PrepareRate(ObP& project) {
  const std::string folder = (kHere / "template").string();
  auto start = Clock::now();
  for (int i = 0; i < kPrepareRepeats; ++i)
    for (const char* id : kControls)
      if (PrepareControl(project, folder, id).empty()) Fail(std::string("prepare ") + id);
  return kPrepareRepeats * 6 / Seconds(start);
}

// (b) Best of rounds, in seconds, for rendering the list page of every table.
double RenderSeconds(ObP& project, int rounds, std::string* firstPage) {
  RenderRequest request;
  std::ifstream in(kHere / "template" / "list.php", std::ios::binary);
  request.templateText.assign(std::istreambuf_iterator<char>(in), {});
  request.templateFolder = (kHere / "template").string();
  double best = 1e300;
  for (int r = 0; r < rounds; ++r) {
    auto start = Clock::now();
    for (int t = 0; t < kTables; ++t) {
      request.table = "table" + std::to_string(t);
      std::string page = RenderTemplate(project, request);
      if (page.empty()) Fail("render " + request.table);
      if (t == 0) *firstPage = page;
    }
    best = std::min(best, Seconds(start));
  }
  return best;
}

// (b) as above with one engine: the script is built once and run per table.
double KeptEngineSeconds(ObP& project, int rounds, std::string* firstPage) {
  std::ifstream in(kHere / "template" / "list.php", std::ios::binary);
  std::string text(std::istreambuf_iterator<char>(in), {});
  GenerationRun& run = RunOf(project);
  run.templateFolder = (kHere / "template").string();
  StartScriptHost(project, run);
  ScriptBuilder builder(run.language.get(), run.script.get());
  builder.AppendScriptBlocks(text);
  const std::string script = builder.FunctionText();
  if (!Context().projErr.empty()) Fail("build list script");
  ObPTables& tables = project.db()->tables();
  double best = 1e300;
  for (int r = 0; r < rounds; ++r) {
    auto start = Clock::now();
    for (int t = 0; t < kTables; ++t) {
      tables.SetItem(Variant("table" + std::to_string(t)));
      std::string page = run.script->BuildNewCode(script, 2, Context().scriptEngineTimeout);
      if (page.empty()) Fail("run list script");
      if (t == 0) *firstPage = page;
    }
    best = std::min(best, Seconds(start));
  }
  run.script->ReleaseEngine();
  return best;
}

// Runs the Jinja2 driver; its JSON line gives the best seconds and the first page's size.
bool JinjaSeconds(const std::string& json, int rounds, double* seconds, long* lines, long* bytes) {
  fs::path schema = fs::temp_directory_path() / ("zantrel-bench-schema-" + std::to_string(::getpid()) + ".json");
  std::ofstream(schema) << json;
  std::string command = "/usr/bin/python3 " + (kHere / "render_jinja2.py").string() + " " + schema.string() + " " +
                        std::to_string(rounds);
  FILE* pipe = ::popen(command.c_str(), "r");
  char line[512] = {};
  bool ok = pipe && std::fgets(line, sizeof line, pipe);
  if (pipe) ok = ::pclose(pipe) == 0 && ok;
  fs::remove(schema);
  if (!ok) return false;
  std::string text(line);
  auto number = [&](const char* key) {
    std::size_t at = text.find(key);
    return at == std::string::npos ? -1.0 : std::atof(text.c_str() + at + std::string(key).size());
  };
  *seconds = number("\"seconds\": ");
  *lines = static_cast<long>(number("\"lines\": "));
  *bytes = static_cast<long>(number("\"bytes\": "));
  return *seconds > 0;
}

}  // namespace

int main(int argc, char** argv) {
  // scripts/bench passes its arguments to every program: ignore what is not a count.
  int rounds = argc > 1 ? std::atoi(argv[1]) : 0;
  if (rounds <= 0) rounds = 3;
  // Keep the user's settings out of it: a project saves its defaults on creation.
  fs::path config = fs::temp_directory_path() / ("zantrel-bench-config-" + std::to_string(::getpid()));
  fs::create_directories(config);
  setenv("ZANTREL_CONFIG_DIR", config.c_str(), 1);
  setenv("ZANTREL_MACHINE_CONFIG_DIR", config.c_str(), 1);
  std::string json;
  Ref<ObP> project = MakeProject(&json);

  double prepares = PrepareRate(*project);
  std::printf("prepare: %d controls x %d: %.0f scripts/s\n", 6, kPrepareRepeats, prepares);

  std::string page;
  double zantrel = RenderSeconds(*project, rounds, &page);
  long zantrelLines = 0;
  for (char c : page) zantrelLines += c == '\n';
  std::printf("render zantrel: %d pages (%ld lines each) in %.3f s: %.0f pages/s\n", kTables, zantrelLines, zantrel,
              kTables / zantrel);

  std::string keptPage;
  double kept = KeptEngineSeconds(*project, rounds, &keptPage);
  std::printf("render zantrel, one engine: %d pages in %.3f s: %.0f pages/s (same page: %s)\n", kTables, kept,
              kTables / kept, keptPage == page ? "yes" : "NO");

  double jinja = 0;
  long jinjaLines = 0, jinjaBytes = 0;
  if (!JinjaSeconds(json, rounds, &jinja, &jinjaLines, &jinjaBytes)) {
    std::printf("render jinja2: not run (needs /usr/bin/python3 with python3-jinja2)\n");
    fs::remove_all(config);
    return 0;
  }
  std::printf("render jinja2:  %d pages (%ld lines each) in %.3f s: %.0f pages/s (same size as zantrel's: %s)\n",
              kTables, jinjaLines, jinja, kTables / jinja, jinjaBytes == static_cast<long>(page.size()) ? "yes" : "NO");
  std::printf("ratio zantrel/jinja2 pages/s: %.2fx per-page engine, %.2fx one engine (aim >= 3x)\n", jinja / zantrel,
              jinja / kept);
  fs::remove_all(config);
  return 0;
}
