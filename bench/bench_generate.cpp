// Generation speed: a whole run of `GenScript` over a 200-table x 15-field
// SQLite project, for three templates — the test template (tests/data/generate/
// template), the six CRUD pages of bench/prepare/template and the default
// template (templates/default) — each measured
//   first run:  a fresh work folder, every script prepared;
//   second run: the prepared scripts reused from the cache;
// against the plain write of the same bytes into the same number of files
// (open, write, close in a fresh folder), in the same run. Prints pages per
// second, MB per second and the ratio to the plain write (aim: second run
// within 3x). The default template is also compared with Jinja2 writing pages
// of the same kind (a metadata file and thin pages per table, bench/generate/)
// from the same schema (aim: ahead of Jinja2 per page).
//
//   bench_generate [ROUNDS] [ONLY]    ONLY: run the templates whose label holds this word
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>

#include "core/context.h"
#include "generate/generation_run.h"
#include "model/project.h"
#include "platform/atomic_file.h"

using namespace zantrel;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kTables = 200;
constexpr int kFields = 15;
const char* const kTypes[] = {"INTEGER", "VARCHAR(50)", "TEXT", "DATE", "DECIMAL(10,2)", "BOOLEAN"};
const fs::path kSource = fs::path(__FILE__).parent_path();

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "bench_generate: %s: %s\n", what.c_str(), Context().projErr.c_str());
  std::exit(1);
}

std::string MakeDatabase(const fs::path& folder) {
  std::string sql = "BEGIN;";
  for (int t = 0; t < kTables; ++t) {
    sql += "CREATE TABLE table" + std::to_string(t) + " (f0 INTEGER PRIMARY KEY";
    for (int f = 1; f < kFields; ++f) sql += ", f" + std::to_string(f) + " " + kTypes[(t + f) % 6];
    sql += ");";
  }
  sql += "COMMIT;";
  std::string path = (folder / "bench.db").string();
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK || sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr))
    Fail("create database");
  sqlite3_close(db);
  return path;
}

struct Output {
  std::map<std::string, std::string> files;
  std::size_t bytes = 0;
};

Output ReadOutput(const fs::path& folder) {
  Output out;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    std::string text = ReadWholeFile(entry.path());
    out.bytes += text.size();
    out.files[fs::relative(entry.path(), folder).string()] = std::move(text);
  }
  return out;
}

double PlainWrite(const Output& output, const fs::path& folder) {
  auto start = Clock::now();
  for (const auto& [name, text] : output.files) {
    fs::path path = folder / name;
    fs::create_directories(path.parent_path());
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(text.data(), 1, text.size(), f) != text.size() || std::fclose(f) != 0) Fail("write");
  }
  return Seconds(start);
}

void Report(const char* label, double seconds, const Output& output, double plain) {
  std::printf("  %-24s %8.3f s %9.0f pages/s %8.1f MB/s   %5.2fx plain write\n", label, seconds,
              output.files.size() / seconds, output.bytes / seconds / 1e6, seconds / plain);
}

// Seconds per page of the run that reused its scripts.
double Measure(const std::string& name, const fs::path& templateDir, const std::string& database, int rounds,
               const fs::path& root) {
  double first = 1e300, second = 1e300, plain = 1e300;
  Output output;
  for (int r = 0; r < rounds; ++r) {
    fs::path work = root / (name + std::to_string(r));
    setenv("ZANTREL_DOCUMENTS_DIR", (work / "docs").c_str(), 1);
    auto project = MakeRef<ObP>();
    project->LoadDB(database, "sqlite", "", "", "", "", "", "", "", "");
    if (!ObP::ProjErr().empty()) Fail("load");
    project->Template(templateDir.string());
    project->PromptOnOverwrite(false);
    project->OtherOverwrite(true);
    project->BackupFile = false;
    project->Destination((work / "out1").string());
    auto start = Clock::now();
    project->GenScript();
    first = std::min(first, Seconds(start));
    if (!ObP::ProjErr().empty()) Fail("first run");
    project->Destination((work / "out2").string());
    start = Clock::now();
    project->GenScript();
    second = std::min(second, Seconds(start));
    if (!ObP::ProjErr().empty()) Fail("second run");
    if (r == 0) output = ReadOutput(work / "out2");
    plain = std::min(plain, PlainWrite(output, work / "plain"));
  }
  std::printf("%s: %zu files, %.2f MB\n", name.c_str(), output.files.size(), output.bytes / 1e6);
  Report("first run (prepare)", first, output, plain);
  Report("second run (cached)", second, output, plain);
  Report("plain write", plain, output, plain);
  return second / output.files.size();
}

const char* Category(int t, int f) {
  if (f == 0) return "int";
  const char* const categories[] = {"int", "string", "memo", "date", "number", "bool"};
  return categories[(t + f) % 6];
}

// The benchmark schema as the Jinja2 side reads it.
std::string SchemaJson() {
  std::string json = "{\"project\": {\"rec_per_page\": 20}, \"tables\": [";
  for (int t = 0; t < kTables; ++t) {
    std::string name = "table" + std::to_string(t);
    json += std::string(t ? ", " : "") + "{\"name\": \"" + name + "\", \"caption\": \"" + name + "\", \"file\": \"" +
            name + "\", \"key\": [\"f0\"], \"has_blob\": false, \"fields\": [";
    for (int f = 0; f < kFields; ++f) {
      std::string category = Category(t, f);
      const char* control = f == 0 ? "NO" : category == "memo" ? "TEXTAREA" : category == "bool" ? "RADIO" : "TEXT";
      json += std::string(f ? ", " : "") + "{\"name\": \"f" + std::to_string(f) + "\", \"caption\": \"f " +
              std::to_string(f) + "\", \"type_name\": \"" + (f ? kTypes[(t + f) % 6] : "INTEGER") +
              "\", \"category\": \"" + category + "\", \"auto\": " + (f ? "false" : "true") + ", \"list\": " +
              (category == "memo" ? "false" : "true") + ", \"control\": \"" + control + "\", \"required\": false, " +
              "\"maxlen\": " + (category == "string" ? "50" : "0") + "}";
    }
    json += "]}";
  }
  return json + "]}";
}

void CompareWithJinja2(double zantrelPerPage, int rounds, const fs::path& root) {
  fs::path schema = root / "schema.json";
  ReplaceFileAtomically(schema, SchemaJson(), false);
  std::string command = "/usr/bin/python3 " + (kSource / "generate" / "render_jinja2.py").string() + " " +
                        schema.string() + " " + (root / "jinja2").string() + " " + std::to_string(rounds);
  FILE* pipe = popen(command.c_str(), "r");
  char line[512] = {0};
  bool got = pipe && std::fgets(line, sizeof line, pipe);
  if (pipe) pclose(pipe);
  double seconds = 0;
  int pages = 0;
  if (!got || std::sscanf(std::strstr(line, "\"pages\": ") ? std::strstr(line, "\"pages\": ") : "", "\"pages\": %d",
                          &pages) != 1 || !std::strstr(line, "\"seconds\": ") ||
      std::sscanf(std::strstr(line, "\"seconds\": "), "\"seconds\": %lf", &seconds) != 1) {
    std::printf("jinja2: not run (needs /usr/bin/python3 with python3-jinja2)\n");
    return;
  }
  double perPage = seconds / pages;
  std::printf("jinja2 (same kind of pages): %d files in %.3f s, %.0f pages/s; default template second run %.0f "
              "pages/s = %.2fx Jinja2's speed\n",
              pages, seconds, 1 / perPage, 1 / zantrelPerPage, perPage / zantrelPerPage);
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? std::atoi(argv[1]) : 3;
  std::string only = argc > 2 ? argv[2] : "";
  auto wanted = [&](const std::string& label) { return label.find(only) != std::string::npos; };
  fs::path root = fs::temp_directory_path() / ("zantrel-bench-generate-" + std::to_string(getpid()));
  fs::create_directories(root);
  setenv("ZANTREL_CONFIG_DIR", (root / "config").c_str(), 1);
  setenv("ZANTREL_MACHINE_CONFIG_DIR", (root / "machine").c_str(), 1);
  std::string database = MakeDatabase(root);
  std::printf("%d tables x %d fields, best of %d rounds\n", kTables, kFields, rounds);
  if (wanted("test template"))
    Measure("test template", kSource.parent_path() / "tests" / "data" / "generate" / "template", database, rounds, root);
  if (wanted("six CRUD pages")) Measure("six CRUD pages", kSource / "prepare" / "template", database, rounds, root);
  if (wanted("default template")) {
    double perPage = Measure("default template", kSource.parent_path() / "templates" / "default", database, rounds, root);
    CompareWithJinja2(perPage, rounds, root);
  }
  fs::remove_all(root);
  return 0;
}
