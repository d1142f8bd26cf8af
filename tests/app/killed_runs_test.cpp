// Runs killed at random moments (kill -9) while they save the project or write
// pages: every file they touch is left whole (the old version or the new one),
// the project file always loads, and the temporary files a killed run leaves
// are gone after the next run into the same folders.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "support/folder_text.h"
#include "support/run_cli.h"
#include "support/temp_config.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using zantrel::test::Cli;
using zantrel::test::ReadText;
using zantrel::test::FolderFiles;

int TempFilesBelow(const fs::path& folder) {
  int count = 0;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    count += entry.path().filename().string().find(".tmp-") != std::string::npos;
  return count;
}

// The CLI started with its output discarded.
pid_t Start(const std::vector<std::string>& args) {
  std::vector<char*> argv{const_cast<char*>(ZANTREL_CLI)};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = -1;
  int rc = posix_spawn(&pid, ZANTREL_CLI, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

// How long an unkilled run takes, in microseconds.
long TimeOf(const std::vector<std::string>& args) {
  auto start = std::chrono::steady_clock::now();
  pid_t pid = Start(args);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count());
}

void KillAfter(const std::vector<std::string>& args, long micros) {
  pid_t pid = Start(args);
  ASSERT_GT(pid, 0);
  usleep(static_cast<useconds_t>(micros));
  kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
}

// Kills the run the moment it creates a temporary file in folder, so that it
// dies while writing (or when maxMicros have passed).
void KillWhenWriting(const std::vector<std::string>& args, const fs::path& folder, long maxMicros) {
  const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(watch, 0);
  ASSERT_GE(inotify_add_watch(watch, folder.c_str(), IN_CREATE), 0);
  const pid_t pid = Start(args);
  ASSERT_GT(pid, 0);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::microseconds(maxMicros);
  for (bool writing = false; !writing && std::chrono::steady_clock::now() < deadline;) {
    pollfd ready{watch, POLLIN, 0};
    if (poll(&ready, 1, 1) <= 0) continue;
    alignas(inotify_event) char buffer[4096];
    const ssize_t n = read(watch, buffer, sizeof buffer);
    for (ssize_t at = 0; at < n;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      writing |= event->len > 0 && std::string(event->name).find(".tmp-") != std::string::npos;
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  close(watch);
}

TEST(KilledRuns, LeaveEveryFileWholeAndTheNextRunRemovesTheirTemporaryFiles) {
  zantrel::test::TempConfig config;
  const fs::path root = config.user();
  setenv("ZANTREL_DOCUMENTS_DIR", (root / "docs").c_str(), 1);
  const std::string db = (root / "t.db").string();
  ASSERT_EQ(std::system(("sqlite3 " + db + " < " + ZANTREL_TEST_DATA + "/schema/sqlite.sql").c_str()), 0);
  const std::string project = (root / "project" / "p.zpr").string();
  fs::create_directories(root / "project");
  ASSERT_EQ(Cli("new " + project + " --type sqlite --db " + db).exitCode, 0);
  ASSERT_EQ(Cli("set " + project + " BodyTitle=" + std::string(100000, 'x')).exitCode, 0);  // files worth killing
  const fs::path out = root / "out";
  auto set = [&](int perPage) {
    return std::vector<std::string>{"set", project, "RecPerPage=" + std::to_string(perPage)};
  };
  const std::string templateDir = std::string(ZANTREL_TEST_DATA) + "/generate/template";
  const std::vector<std::string> generate{"generate", project, "--template", templateDir, "--dest", out.string(),
                                          "--overwrite", "all", "--quiet"};

  // The two versions of every page the loop below may leave.
  std::map<int, std::map<std::string, std::string>> pages;
  long setTime = 0, generateTime = 0;
  for (int perPage : {20, 30}) {
    setTime = std::max(setTime, TimeOf(set(perPage)));
    generateTime = std::max(generateTime, TimeOf(generate));
    pages[perPage] = FolderFiles(out);
  }

  std::random_device seed;
  const unsigned seedValue = seed();
  std::mt19937 random(seedValue);
  SCOPED_TRACE("seed " + std::to_string(seedValue));
  int leftBehind = 0;  // temporary files seen after a kill (each run clears those before it)
  for (int round = 0; round < 20; ++round) {
    const int perPage = round % 2 ? 30 : 20;
    // Every other round dies at a random moment, the others in the middle of a write.
    if (round % 2) KillAfter(set(perPage), std::uniform_int_distribution<long>(0, setTime)(random));
    else KillWhenWriting(set(perPage), root / "project", 2 * setTime);
    zantrel::test::CliResult shown = Cli("show " + project + " --json");
    ASSERT_EQ(shown.exitCode, 0) << "round " << round << ": " << shown.out;
    const std::size_t at = shown.out.find("\"value\": ", shown.out.find("\"name\": \"RecPerPage\""));
    ASSERT_NE(at, std::string::npos) << shown.out;
    const std::string value = shown.out.substr(at + 9, 2);
    EXPECT_TRUE(value == "20" || value == "30") << "round " << round << ": " << value;

    leftBehind += TempFilesBelow(root / "project");
    if (round % 2) KillAfter(generate, std::uniform_int_distribution<long>(0, generateTime)(random));
    else KillWhenWriting(generate, out, 2 * generateTime);
    leftBehind += TempFilesBelow(out);
    for (const auto& [name, text] : FolderFiles(out)) {
      if (name.find(".tmp-") != std::string::npos) continue;
      EXPECT_TRUE(text == pages[20][name] || text == pages[30][name]) << "round " << round << ": " << name;
    }
  }

  EXPECT_GT(leftBehind, 0) << "no run was killed while writing";
  TimeOf(set(25));
  TimeOf(generate);
  EXPECT_EQ(TempFilesBelow(root / "project"), 0);
  EXPECT_EQ(TempFilesBelow(out), 0);
  unsetenv("ZANTREL_DOCUMENTS_DIR");
}

}  // namespace
