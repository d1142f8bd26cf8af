// Generating again into a destination that holds an earlier run: Ctrl-C
// during a long run, and backups kept out of the web root.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "support/run_cli.h"
#include "support/temp_config.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using zantrel::test::Cli;

std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::map<std::string, std::string> FolderFiles(const fs::path& folder) {
  std::map<std::string, std::string> files;
  if (!fs::exists(folder)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file()) files[fs::relative(entry.path(), folder).string()] = ReadText(entry.path());
  return files;
}

struct Ended {
  int exitCode = -1;  // -1 when a signal ended it
  std::string err;
};

// Runs the CLI with stderr in a file; after micros (when >= 0) sends it SIGINT.
Ended RunInterrupted(const std::vector<std::string>& args, long micros, const fs::path& errFile) {
  std::vector<char*> argv{const_cast<char*>(ZANTREL_CLI)};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, ZANTREL_CLI, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return {};
  if (micros >= 0) {
    usleep(static_cast<useconds_t>(micros));
    kill(pid, SIGINT);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(errFile)};
}

// A SQLite project of many tables, so that a run of the default template lasts
// long enough to be interrupted.
struct LongProject {
  zantrel::test::TempConfig config;
  fs::path root = config.user().parent_path();
  std::string project = (root / "big.zpr").string();
  std::string templateDir = std::string(ZANTREL_TEST_DATA) + "/../../templates/default";

  LongProject() {
    setenv("ZANTREL_DOCUMENTS_DIR", (root / "docs").c_str(), 1);
    std::string sql;
    for (int i = 0; i < 60; ++i)
      sql += "create table t" + std::to_string(i) + " (id integer primary key, name text, price real, note text);";
    const std::string db = (root / "big.db").string();
    EXPECT_EQ(std::system(("sqlite3 " + db + " \"" + sql + "\"").c_str()), 0);
    EXPECT_EQ(Cli("new " + project + " --type sqlite --db " + db).exitCode, 0);
  }
  ~LongProject() { unsetenv("ZANTREL_DOCUMENTS_DIR"); }

  std::vector<std::string> Generate(const fs::path& dest, const std::string& overwrite = "all") const {
    return {"generate", project, "--template", templateDir, "--dest", dest.string(), "--overwrite", overwrite,
            "--quiet"};
  }
};

TEST(Regenerate, CtrlCStopsAtAPageSaysSoExits130AndARerunCompletesTheTree) {
  LongProject p;
  const fs::path clean = p.root / "clean";
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(RunInterrupted(p.Generate(clean), -1, p.root / "err").exitCode, 0);
  const long runMicros = static_cast<long>(
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count());
  const auto cleanFiles = FolderFiles(clean);
  ASSERT_GT(cleanFiles.size(), 100u);

  int cancelled = 0;
  for (int tenth = 1; tenth <= 9; tenth += 2) {
    SCOPED_TRACE("signal at " + std::to_string(tenth) + "/10 of a run");
    const fs::path dest = p.root / ("out" + std::to_string(tenth));
    const Ended ended = RunInterrupted(p.Generate(dest), runMicros * tenth / 10, p.root / "err");
    if (ended.exitCode == 0) continue;  // finished before the signal came
    ++cancelled;
    EXPECT_EQ(ended.exitCode, 130) << ended.err;
    EXPECT_NE(ended.err.find("Generation cancelled by user!"), std::string::npos) << ended.err;
    // What was written is whole: every file is the page a clean run writes.
    for (const auto& [name, text] : FolderFiles(dest)) {
      ASSERT_TRUE(cleanFiles.count(name)) << name;
      EXPECT_TRUE(text == cleanFiles.at(name)) << name;
    }
    ASSERT_EQ(RunInterrupted(p.Generate(dest), -1, p.root / "err").exitCode, 0);
    EXPECT_TRUE(FolderFiles(dest) == cleanFiles);
  }
  EXPECT_GT(cancelled, 0) << "every run ended before its signal";
}

TEST(Regenerate, BackupsGoToTheRecordFolderNeverUnderTheDestination) {
  LongProject p;
  const fs::path dest = p.root / "site";
  std::vector<std::string> args = p.Generate(dest);
  ASSERT_EQ(RunInterrupted(args, -1, p.root / "err").exitCode, 0);
  const auto first = FolderFiles(dest);
  args.push_back("--backup");
  ASSERT_EQ(RunInterrupted(args, -1, p.root / "err").exitCode, 0);

  EXPECT_TRUE(FolderFiles(dest) == first) << "a backup landed under the destination";
  const fs::path backups = fs::path(p.project + ".d") / "backups";
  ASSERT_TRUE(fs::is_directory(backups));
  std::vector<fs::path> runs(fs::directory_iterator(backups), fs::directory_iterator{});
  ASSERT_EQ(runs.size(), 1u);
  const auto copies = FolderFiles(runs[0]);
  EXPECT_EQ(copies.size(), first.size());  // every replaced file, under its own relative path
  for (const auto& [name, text] : copies) EXPECT_TRUE(first.count(name) && first.at(name) == text) << name;
}

}  // namespace
