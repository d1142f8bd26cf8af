// The shared workload of the benchmark anchors: the same six CRUD pages per
// table that the anchors render with Jinja2 and PHP, written as a Zantrel
// template (bench/anchors/template) and generated over the same schema
// (gen_schema.py: 200 tables x 15 fields, 1,200 pages). In one run:
//   Zantrel    a whole generation run with its scripts prepared (the second run);
//   Jinja2     render_jinja2.py write (its main phase: render and write);
//   PHP        render.php write with opcache (its main phase).
// Our pages must equal Jinja2's under verify.py's rules (byte for byte, or after
// mapping PHP's entity spellings); the times are printed per page with the
// ratios of ours to Jinja2's and to PHP's (below 1: we are faster).
//
//   bench_anchors [ROUNDS]    best of ROUNDS (default 3)
//   bench_anchors --check     12 tables, pages compared with Jinja2's only; exit 1 when any differs
//   ZANTREL_ANCHORS_DIR=DIR   where the anchors are (default: ../shared/bench-anchors beside the project)
//   ZANTREL_BENCH_DIR=DIR     where to work and write (default: the build tree; /dev/shm leaves the disk out)
//
// The anchors are copied into the build tree and run from there (the shared
// folder is read-only).
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "core/context.h"
#include "project/project.h"
#include "platform/atomic_file.h"

using namespace zantrel;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

const fs::path kSource = ZANTREL_BENCH_SOURCE_DIR;
const char* const kPages[] = {"list", "view", "add", "edit", "delete", "search"};

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "bench_anchors: %s %s\n", what.c_str(), Context().projErr.c_str());
  std::exit(1);
}

std::string Quoted(const fs::path& p) { return "'" + p.string() + "'"; }

// Runs a command and returns what it printed; fails the run when it fails.
std::string Capture(const std::string& command) {
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) Fail("cannot run: " + command);
  std::string out;
  char buffer[4096];
  while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
  if (pclose(pipe) != 0) Fail("failed: " + command + "\n" + out);
  return out;
}

double JsonNumber(const std::string& json, const std::string& key) {
  const std::size_t at = json.find("\"" + key + "\":");
  if (at == std::string::npos) Fail("no " + key + " in: " + json);
  return std::strtod(json.c_str() + at + key.size() + 3, nullptr);
}

fs::path AnchorsFolder() {
  if (const char* dir = std::getenv("ZANTREL_ANCHORS_DIR")) return dir;
  const fs::path project = fs::weakly_canonical(kSource.parent_path());
  for (const fs::path& p : {project.parent_path() / "shared" / "bench-anchors",
                            project.parent_path().parent_path() / "shared" / "bench-anchors"})
    if (fs::exists(p / "gen_schema.py")) return p;
  Fail("the benchmark anchors are not found: set ZANTREL_ANCHORS_DIR");
}

// A writable copy of a folder (the copied files keep their read-only modes).
void CopyWritable(const fs::path& from, const fs::path& to) {
  fs::remove_all(to);
  fs::create_directories(to);
  fs::copy(from, to, fs::copy_options::recursive);
  fs::permissions(to, fs::perms::owner_all, fs::perm_options::add);
  for (const auto& entry : fs::recursive_directory_iterator(to))
    fs::permissions(entry.path(), fs::perms::owner_read | fs::perms::owner_write |
                                      (entry.is_directory() ? fs::perms::owner_exec : fs::perms::none),
                    fs::perm_options::add);
}

void MakeDatabase(const fs::path& sqlFile, const fs::path& database) {
  const std::string sql = ReadWholeFile(sqlFile);
  sqlite3* db = nullptr;
  if (sqlite3_open(database.c_str(), &db) != SQLITE_OK || sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr))
    Fail("create database");
  sqlite3_close(db);
}

// One generation run into a fresh folder; seconds.
double Generate(ObP& project, const fs::path& destination) {
  project.Destination(destination.string());
  const auto start = Clock::now();
  project.GenScript();
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (!ObP::ProjErr().empty()) Fail("generation");
  return seconds;
}

std::string Normalized(std::string text) {
  for (const auto& [from, to] : {std::pair<std::string, std::string>{"&#039;", "&#39;"}, {"&quot;", "&#34;"}})
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
      text.replace(at, from.size(), to);
  return text;
}

// Our pages (one folder, TABLE_PAGE.php) against Jinja2's (TABLE/TABLE_PAGE.php),
// with verify.py's rules; prints the first difference. True when all match.
bool SamePages(const fs::path& ours, const fs::path& jinja2, std::size_t& pages, std::size_t& bytes) {
  std::size_t exact = 0, equal = 0, total = 0;
  std::string firstDiff;
  std::set<std::string> names;
  for (const auto& dir : fs::directory_iterator(jinja2)) {
    const std::string table = dir.path().filename().string();
    for (const char* page : kPages) {
      const std::string name = table + "_" + page + ".php";
      names.insert(name);
      const std::string reference = ReadWholeFile(dir.path() / name);
      const fs::path mine = ours / name;
      ++total;
      bytes += reference.size();
      const std::string text = fs::exists(mine) ? ReadWholeFile(mine) : std::string("(missing)");
      exact += text == reference;
      if (Normalized(text) == Normalized(reference)) {
        ++equal;
        continue;
      }
      if (!firstDiff.empty()) continue;
      std::size_t line = 1, at = 0;
      while (at < text.size() && at < reference.size() && text[at] == reference[at]) line += text[at++] == '\n';
      firstDiff = name + " line " + std::to_string(line);
    }
  }
  std::size_t ourFiles = 0;
  for (const auto& entry : fs::directory_iterator(ours)) {
    if (!entry.is_regular_file()) continue;
    ++ourFiles;
    if (!names.count(entry.path().filename().string())) std::printf("not a page of Jinja2's: %s\n", entry.path().c_str());
  }
  pages = total;
  std::printf("pages identical to Jinja2's: %zu of %zu (%zu byte for byte)%s%s\n", equal, total, exact,
              firstDiff.empty() ? "" : "; first difference: ", firstDiff.c_str());
  if (ourFiles != total) std::printf("file sets differ: %zu of ours, %zu of Jinja2's\n", ourFiles, total);
  return equal == total && ourFiles == total;
}

}  // namespace

int main(int argc, char** argv) {
  const bool check = argc > 1 && std::string(argv[1]) == "--check";
  const int rounds = check ? 1 : argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  const int tables = check ? 12 : 200;

  const char* base = std::getenv("ZANTREL_BENCH_DIR");
  const fs::path work = fs::path(base ? base : ZANTREL_BENCH_BUILD_DIR) / ("anchors-" + std::to_string(getpid()));
  const fs::path anchors = work / "bench-anchors", tmpl = work / "template";
  CopyWritable(AnchorsFolder(), anchors);
  CopyWritable(kSource / "anchors" / "template", tmpl);
  setenv("ZANTREL_CONFIG_DIR", (work / "config").c_str(), 1);
  setenv("ZANTREL_MACHINE_CONFIG_DIR", (work / "machine").c_str(), 1);
  setenv("ZANTREL_DOCUMENTS_DIR", (work / "docs").c_str(), 1);

  const std::string python = "/usr/bin/python3";
  const fs::path schema = anchors / "data" / "schema.json";
  fs::create_directories(schema.parent_path());
  Capture("cd " + Quoted(anchors) + " && " + python + " gen_schema.py " + std::to_string(tables) + " 15 data/schema.json");
  Capture(python + " " + Quoted(kSource / "anchors" / "schema_vbs.py") + " " + Quoted(schema) + " " +
          Quoted(tmpl / "schema.vbs") + " " + Quoted(work / "tables.sql"));
  MakeDatabase(work / "tables.sql", work / "anchors.db");

  auto project = MakeRef<ObP>();
  project->LoadDB((work / "anchors.db").string(), "sqlite", "", "", "", "", "", "", "", "");
  if (!ObP::ProjErr().empty()) Fail("load");
  project->Template(tmpl.string());
  project->PromptOnOverwrite(false);
  project->OtherOverwrite(true);
  project->BackupFile = false;
  project->UseCss(false);  // the workload has pages only

  const std::string jinja2Command =
      "cd " + Quoted(anchors) + " && " + python + " render_jinja2.py write " + Quoted(work / "jinja2" / "XXXXXX") +
      " data/schema.json";
  const std::string phpCommand = "cd " + Quoted(anchors) + " && php -d opcache.enable_cli=1 render.php write " +
                                 Quoted(work / "php" / "XXXXXX") + " data/schema.json";
  double first = Generate(*project, work / "zantrel-first");
  double ours = 1e300, jinja2 = 1e300, php = 1e300;
  for (int r = 0; r < rounds; ++r) {
    ours = std::min(ours, Generate(*project, work / ("zantrel" + std::to_string(r))));
    jinja2 = std::min(jinja2, JsonNumber(Capture(jinja2Command), "main_s"));
    if (!check) php = std::min(php, JsonNumber(Capture(phpCommand), "main_s"));
  }

  std::size_t pages = 0, bytes = 0;
  const fs::path reference = fs::directory_iterator(work / "jinja2")->path();
  const bool same = SamePages(work / "zantrel0", reference, pages, bytes);
  if (!check) {
    std::printf("shared workload: %d tables x 15 fields, %zu pages, %.2f MB, best of %d rounds\n", tables, pages,
                bytes / 1e6, rounds);
    auto row = [&](const char* label, double seconds) {
      std::printf("  %-34s %8.3f s %9.1f us/page   ours %5.2fx\n", label, seconds, seconds / pages * 1e6, ours / seconds);
    };
    std::printf("  %-34s %8.3f s %9.1f us/page\n", "Zantrel, first run (prepare)", first, first / pages * 1e6);
    row("Zantrel, second run (cached)", ours);
    row("Jinja2 (render + write)", jinja2);
    row("PHP + opcache (render + write)", php);
  }
  fs::remove_all(work);
  return same ? 0 : 1;
}
