// Project file speed: Save and Load of a generated project (5,000 tables x 20
// fields, every setting filled) against baselines from the same run — a plain
// write of the same bytes, and a bare pugixml parse with a walk over every
// attribute. Each Load and parse runs in a child process so that its peak
// memory (maximum resident set) is its own.
//
//   bench_project_file [TABLES] [FIELDS]
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sys/types.h>
#include <string>

#include <pugixml.hpp>

#include "core/context.h"
#include "project/project.h"
#include "platform/atomic_file.h"
#include "platform/registry_store.h"

using namespace zantrel;
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

// Every setting of a bag gets a value of its type.
void Fill(ObProperties& bag, int salt) {
  for (int32_t i = 0; i < bag.Count(); ++i) {
    const PropertyMeta& m = bag.MetaAt(i);
    if (m.name == "TblName" || m.name == "FldName" || m.name == "TblSeq" || m.name == "FldSeq") continue;
    if (m.dataType == "Boolean") bag.ValueAt(i) = Variant((i + salt) % 2 == 0);
    else if (m.dataType == "Integer") bag.ValueAt(i) = Variant(static_cast<int16_t>((i * 7 + salt) % 1000));
    else if (m.dataType == "Long") bag.ValueAt(i) = Variant(int32_t{i * 1000 + salt});
    else bag.ValueAt(i) = Variant(m.name + " value " + std::to_string(salt));
  }
}

Ref<ObP> MakeProject(int tables, int fields) {
  auto p = MakeRef<ObP>();
  p->AddProj("bench");
  Fill(p->Properties(), 1);
  p->databases().Add("bench");
  p->currentDatabaseName("bench");
  Ref<ObPDatabase> db = p->db();
  Fill(db->Properties(), 2);
  *db->Properties().FindValue("DBName") = Variant("bench");
  for (int t = 0; t < tables; ++t) {
    Ref<ObPTable> table = db->tables().Add("table_" + std::to_string(t));
    Fill(table->Properties(), t);
    for (int f = 0; f < fields; ++f) Fill(table->Fields().Add("field_" + std::to_string(f))->Properties(), t + f);
  }
  return p;
}

double Seconds(const std::function<void()>& run, int rounds = 3) {
  double best = 1e9;
  for (int i = 0; i < rounds; ++i) {
    auto start = Clock::now();
    run();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

struct ChildResult {
  double seconds = 0;
  long peakKiB = 0;
};

const char* g_self = nullptr;

// Runs this program again as `--child MODE FILE` (a fresh process, so its peak
// memory is its own); the child prints its time on stdout.
ChildResult InChild(const char* mode, const std::string& file) {
  ChildResult best{1e9, 0};
  for (int round = 0; round < 3; ++round) {
    int fds[2];
    if (pipe(fds) != 0) std::abort();
    pid_t pid = fork();
    if (pid == 0) {
      dup2(fds[1], STDOUT_FILENO);
      close(fds[0]);
      execl(g_self, g_self, "--child", mode, file.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    char text[64] = {};
    if (read(fds[0], text, sizeof text - 1) <= 0) std::abort();
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::abort();
    double seconds = 0;
    long peak = 0;
    std::sscanf(text, "%lf %ld", &seconds, &peak);
    best.seconds = std::min(best.seconds, seconds);
    best.peakKiB = std::max(best.peakKiB, peak);
  }
  return best;
}

void LoadProject(const char* file) {
  auto p = MakeRef<ObP>();
  p->Load(file);
  if (!ObP::ProjErr().empty()) std::abort();
}

std::size_t CountAttributes(pugi::xml_node n) {
  std::size_t count = 0;
  for (pugi::xml_attribute a : n.attributes()) count += a.value()[0] != '\x01';
  for (pugi::xml_node c : n.children()) count += CountAttributes(c);
  return count;
}

void ParseAndWalk(const char* file) {
  pugi::xml_document doc;
  if (!doc.load_file(file) || CountAttributes(doc) == 0) std::abort();
}

// The process's peak resident memory (VmHWM) in KiB.
long PeakKiB() {
  FILE* f = std::fopen("/proc/self/status", "r");
  char line[256];
  long kib = 0;
  while (f && std::fgets(line, sizeof line, f))
    if (std::sscanf(line, "VmHWM: %ld kB", &kib) == 1) break;
  if (f) std::fclose(f);
  return kib;
}

int RunChild(const std::string& mode, const char* file) {
  auto start = Clock::now();
  if (mode == "load") LoadProject(file);
  else if (mode == "parse") ParseAndWalk(file);
  std::printf("%.6f %ld\n", std::chrono::duration<double>(Clock::now() - start).count(), PeakKiB());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  g_self = argv[0];
  if (argc == 4 && std::string(argv[1]) == "--child") return RunChild(argv[2], argv[3]);
  int tables = argc > 1 ? std::atoi(argv[1]) : 5000;
  int fields = argc > 2 ? std::atoi(argv[2]) : 20;
  fs::path dir = fs::temp_directory_path() / ("zantrel-bench-" + std::to_string(getpid()));
  fs::create_directories(dir / "config");
  setenv("ZANTREL_CONFIG_DIR", (dir / "config").c_str(), 1);
  setenv("ZANTREL_MACHINE_CONFIG_DIR", (dir / "config").c_str(), 1);
  RegistryStore::User().Write(Context().SettingsKey(), "XMLEncodeCharSet", RegValue::String("utf-8"));
  RegistryStore::User().Write(Context().SettingsKey(), "Language", RegValue::String("lang.xml"));
  std::string file = (dir / "bench.zpr").string();

  std::printf("project: %d tables x %d fields\n", tables, fields);
  Ref<ObP> project = MakeProject(tables, fields);
  double save = Seconds([&] { project->Save(file); });
  std::string bytes = ReadWholeFile(file);
  double plain = Seconds([&] { ReplaceFileAtomically(dir / "plain.zpr", bytes, /*durable=*/true); });
  double plainNoSync = Seconds([&] {
    FILE* f = std::fopen((dir / "raw.zpr").c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  });
  project = nullptr;

  long idleKiB = InChild("idle", file).peakKiB;
  ChildResult load = InChild("load", file);
  ChildResult parse = InChild("parse", file);

  double mb = bytes.size() / 1e6;
  std::printf("file size: %.1f MB\n\n", mb);
  std::printf("%-34s %10s   %-34s %10s %8s\n", "case", "seconds", "baseline", "seconds", "ratio");
  std::printf("%-34s %10.3f   %-34s %10.3f %7.2fx\n", "Save (durable)", save, "write same bytes (durable)", plain,
              save / plain);
  std::printf("%-34s %10.3f   %-34s %10.3f %7.2fx\n", "Save (durable)", save, "fwrite same bytes (no fsync)",
              plainNoSync, save / plainNoSync);
  std::printf("%-34s %10.3f   %-34s %10.3f %7.2fx\n", "Load", load.seconds, "pugixml parse + attribute walk",
              parse.seconds, load.seconds / parse.seconds);
  std::printf("\npeak memory (max RSS less an idle child's %ld KiB):\n", idleKiB);
  std::printf("  Load                  %8.1f MB  = %.2fx the file\n", (load.peakKiB - idleKiB) / 1024.0,
              (load.peakKiB - idleKiB) * 1024.0 / bytes.size());
  std::printf("  pugixml parse + walk  %8.1f MB  = %.2fx the file\n", (parse.peakKiB - idleKiB) / 1024.0,
              (parse.peakKiB - idleKiB) * 1024.0 / bytes.size());
  fs::remove_all(dir);
  return 0;
}
