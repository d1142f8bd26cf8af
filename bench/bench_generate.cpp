// Generation speed: a whole run of `GenScript` over a 200-table x 15-field
// SQLite project, for three templates — the test template (tests/data/generate/
// template), the six CRUD pages of bench/prepare/template and the default
// template (templates/default) — each measured
//   first run:  a fresh work folder, every script prepared;
//   second run: the prepared scripts reused from the cache;
// against the plain write of the same bytes into the same number of files
// (open, write, close in a fresh folder), in the same run. Prints pages per
// second, MB per second and the ratio to the plain write (aim: second run
// within 3x). The default template is also compared with Jinja2 writing the
// same pages (bench/generate/: the metadata page and thin pages per table, made
// from the project's raw settings and checked byte for byte against ours), one
// Jinja2 round after each of ours (aim: ahead of Jinja2 per page).
//
//   bench_generate [ROUNDS] [ONLY]    ONLY: run the templates whose label holds this word
//   ZANTREL_BENCH_DIR=DIR             where to write (default: the temporary folder)
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "core/context.h"
#include "core/convert.h"
#include "generate/generation_run.h"
#include "project/project.h"
#include "model/settings.h"
#include "platform/atomic_file.h"

using namespace zantrel;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kTables = 200;
constexpr int kFields = 15;
const char* const kTypes[] = {"INTEGER", "VARCHAR(50)", "TEXT", "DATE", "DECIMAL(10,2)", "BOOLEAN"};
const fs::path kSource = ZANTREL_BENCH_SOURCE_DIR;

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

struct Measured {
  double secondsPerPage = 0;  // of the run that reused its scripts
  Ref<ObP> project;           // as the last run left it
  Output output;
};

// alongside, when given, runs after each round (the comparison with Jinja2, so
// that both sides meet the file system in the same state).
Measured Measure(const std::string& name, const fs::path& templateDir, const std::string& database, int rounds,
                 const fs::path& root, const std::function<void(ObP&, int)>& alongside = {}) {
  double first = 1e300, second = 1e300, plain = 1e300;
  Output output;
  Ref<ObP> last;
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
    last = project;
    if (alongside) alongside(*project, r);
  }
  std::printf("%s: %zu files, %.2f MB\n", name.c_str(), output.files.size(), output.bytes / 1e6);
  Report("first run (prepare)", first, output, plain);
  Report("second run (cached)", second, output, plain);
  Report("plain write", plain, output, plain);
  double perPage = second / output.files.size();
  return {perPage, last, std::move(output)};
}

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') out += '\\', out += static_cast<char>(c);
    else if (c < 0x20) out += "\\u00" + std::string(1, "0123456789abcdef"[c >> 4]) + "0123456789abcdef"[c & 15];
    else out += static_cast<char>(c);
  }
  return out + "\"";
}

// Every setting of a bag, by name, as the scripts read them.
std::string SettingsJson(const ObProperties& bag, std::span<const SettingDef> defs) {
  std::string json = "{";
  for (std::size_t i = 0; i < defs.size(); ++i) {
    Variant v = ReadTyped(bag, defs[i], static_cast<int32_t>(i));
    std::string value = v.IsEmpty() || v.IsNull() ? "null"
                        : defs[i].type == SettingType::Boolean ? (CBool(v) ? "true" : "false")
                        : defs[i].type == SettingType::Integer || defs[i].type == SettingType::Long ? CStr(v)
                                                                                                    : JsonString(CStr(v));
    json += (i ? ", " : "") + JsonString(std::string(defs[i].key)) + ": " + value;
  }
  return json + "}";
}

// The project as generation left it (its tables prepared), for the Jinja2 side:
// the raw settings of the project, every table and every field.
std::string ProjectJson(ObP& project) {
  std::string json = "{\"project\": " + SettingsJson(project.Properties(), ProjectSettings()) + ", \"tables\": [";
  ObPTables& tables = project.openDatabase()->tables();
  for (int32_t t = 0; t < tables.Count(); ++t) {
    ObPTable& table = *tables.At(t);
    json += std::string(t ? ", " : "") + "{\"settings\": " + SettingsJson(table.Properties(), TableSettings()) +
            ", \"fields\": [";
    for (int32_t f = 0; f < table.Fields().Count(); ++f)
      json += std::string(f ? ", " : "") + SettingsJson(table.Fields().At(f)->Properties(), FieldSettings());
    json += "]}";
  }
  return json + "]}";
}

// The files Jinja2 wrote that hold the same bytes as the default template's.
int SamePages(const Output& ours, const fs::path& folder, int& total) {
  int same = 0;
  total = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    ++total;
    auto it = ours.files.find(entry.path().filename().string());
    same += it != ours.files.end() && it->second == ReadWholeFile(entry.path());
  }
  return same;
}

// Jinja2 writing the default template's pages from the project's settings, one
// round beside each of ours: the best time, the pages, and whether they match.
class Jinja2Side {
 public:
  explicit Jinja2Side(const fs::path& root) : root_(root) {}

  void Round(ObP& project, int round) {
    fs::path schema = root_ / "schema.json";
    if (round == 0) ReplaceFileAtomically(schema, ProjectJson(project), false);
    std::string command = "/usr/bin/python3 " + (kSource / "generate" / "render_jinja2.py").string() + " " +
                          schema.string() + " " + Folder(round).string() + " 2";  // a first and a warm run
    FILE* pipe = popen(command.c_str(), "r");
    char line[512] = {0};
    bool got = pipe && std::fgets(line, sizeof line, pipe);
    if (pipe) pclose(pipe);
    const char* pages = got ? std::strstr(line, "\"pages\": ") : nullptr;
    const char* seconds = got ? std::strstr(line, "\"seconds\": ") : nullptr;
    double s = 0;
    if (!pages || !seconds || std::sscanf(pages, "\"pages\": %d", &pages_) != 1 ||
        std::sscanf(seconds, "\"seconds\": %lf", &s) != 1)
      return;
    best_ = std::min(best_, s);
  }

  void Report(const Measured& zantrel) const {
    if (pages_ == 0 || best_ == 1e300) {
      std::printf("jinja2: not run (needs /usr/bin/python3 with python3-jinja2)\n");
      return;
    }
    double perPage = best_ / pages_;
    int total = 0;
    int same = SamePages(zantrel.output, Folder(0) / "0", total);
    std::printf("jinja2 (the same pages from the same settings): %d files in %.3f s, %.0f pages/s, %d of %d "
                "identical to the default template's\n",
                pages_, best_, 1 / perPage, same, total);
    std::printf("default template second run %.0f pages/s = %.2fx Jinja2's speed\n", 1 / zantrel.secondsPerPage,
                perPage / zantrel.secondsPerPage);
  }

 private:
  fs::path Folder(int round) const { return root_ / ("jinja2-" + std::to_string(round)); }

  fs::path root_;
  double best_ = 1e300;
  int pages_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? std::atoi(argv[1]) : 3;
  std::string only = argc > 2 ? argv[2] : "";
  auto wanted = [&](const std::string& label) { return label.find(only) != std::string::npos; };
  // ZANTREL_BENCH_DIR=/dev/shm measures on a memory file system, without the disk's file-creation costs.
  const char* base = std::getenv("ZANTREL_BENCH_DIR");
  fs::path root = (base ? fs::path(base) : fs::temp_directory_path()) / ("zantrel-bench-generate-" + std::to_string(getpid()));
  fs::create_directories(root);
  setenv("ZANTREL_CONFIG_DIR", (root / "config").c_str(), 1);
  setenv("ZANTREL_MACHINE_CONFIG_DIR", (root / "machine").c_str(), 1);
  std::string database = MakeDatabase(root);
  std::printf("%d tables x %d fields, best of %d rounds\n", kTables, kFields, rounds);
  if (wanted("test template"))
    Measure("test template", kSource.parent_path() / "tests" / "data" / "generate" / "template", database, rounds, root);
  if (wanted("six CRUD pages")) Measure("six CRUD pages", kSource / "prepare" / "template", database, rounds, root);
  if (wanted("default template")) {
    Jinja2Side jinja2(root);
    Measured ours = Measure("default template", kSource.parent_path() / "templates" / "default", database, rounds,
                            root, [&](ObP& project, int round) { jinja2.Round(project, round); });
    jinja2.Report(ours);
  }
  fs::remove_all(root);
  return 0;
}
