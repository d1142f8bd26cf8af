// Template archives: extraction keeps names and times, and an archive with a
// name that would leave the folder, that is no archive at all, that lies about
// its sizes or that exceeds the limits is refused.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "platform/atomic_file.h"
#include "platform/zip_archive.h"
#include "support/temp_config.h"
#include "support/zip_patch.h"

namespace zantrel {
namespace {

namespace fs = std::filesystem;

void MakeArchive(const fs::path& archive, const std::map<std::string, std::string>& entries, time_t mtime = 0) {
  int error = 0;
  zip_t* zip = zip_open(archive.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  ASSERT_NE(zip, nullptr);
  for (const auto& [name, text] : entries) {
    if (name.back() == '/') {
      zip_dir_add(zip, name.c_str(), 0);
      continue;
    }
    zip_source_t* source = zip_source_buffer(zip, text.data(), text.size(), 0);
    zip_int64_t index = zip_file_add(zip, name.c_str(), source, ZIP_FL_OVERWRITE);
    if (mtime) zip_file_set_mtime(zip, index, mtime, 0);
  }
  ASSERT_EQ(zip_close(zip), 0);
}

class ZipArchiveTest : public ::testing::Test {
 protected:
  test::TempConfig config;
  fs::path root() const { return config.user(); }
};

TEST_F(ZipArchiveTest, ExtractsFilesFoldersAndTimes) {
  time_t when = 1500000000;
  MakeArchive(root() / "t.zip", {{"control.xml", "<x/>"}, {"img/", ""}, {"lib/sub/a.php", "<?php"}}, when);
  ExtractArchive(root() / "t.zip", root() / "out");
  EXPECT_EQ(ReadWholeFile(root() / "out" / "control.xml"), "<x/>");
  EXPECT_EQ(ReadWholeFile(root() / "out" / "lib" / "sub" / "a.php"), "<?php");
  EXPECT_TRUE(fs::is_directory(root() / "out" / "img"));
  auto written = fs::last_write_time(root() / "out" / "control.xml");
  auto expected = fs::file_time_type::clock::from_sys(std::chrono::system_clock::from_time_t(when));
  EXPECT_LT(std::chrono::abs(written - expected), std::chrono::seconds(2));
}

TEST_F(ZipArchiveTest, RefusesNamesThatLeaveTheFolder) {
  for (std::string name : {"../evil.php", "a/../../evil.php", "/etc/evil.php", "a\\..\\evil.php"}) {
    MakeArchive(root() / "bad.zip", {{"ok.txt", "ok"}, {name, "evil"}});
    EXPECT_THROW(ExtractArchive(root() / "bad.zip", root() / "out" / "in"), FileError) << name;
    EXPECT_FALSE(fs::exists(root() / "out" / "evil.php")) << name;
    EXPECT_FALSE(fs::exists(root() / "evil.php")) << name;
  }
}

TEST_F(ZipArchiveTest, NotAnArchiveIsAFileError) {
  ReplaceFileAtomically(root() / "x.zip", "PK\x03\x04 not really", false);
  try {
    ExtractArchive(root() / "x.zip", root() / "out");
    FAIL() << "no error";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find("x.zip"), std::string::npos) << e.what();
  }
  EXPECT_THROW(ExtractArchive(root() / "missing.zip", root() / "out"), FileError);
}

// The message of the FileError that extraction throws; "" when it succeeds.
std::string Refusal(const fs::path& archive, const fs::path& folder, const ArchiveLimits& limits = {}) {
  try {
    ExtractArchive(archive, folder, limits);
  } catch (const FileError& e) {
    return e.what();
  }
  return "";
}

// Regular files below folder, temporary ones included.
int FilesBelow(const fs::path& folder) {
  int count = 0;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator(); ++it)
    count += it->is_regular_file();
  return count;
}

TEST_F(ZipArchiveTest, RefusesAnEntryLongerThanItsHeaderStates) {
  MakeArchive(root() / "t.zip", {{"a.txt", std::string(100000, 'x')}, {"b.txt", "ok"}});
  test::PatchStatedSize(root() / "t.zip", "a.txt", 10);
  std::string error = Refusal(root() / "t.zip", root() / "out");
  EXPECT_EQ(error,
            (root() / "t.zip").string() + ": entry \"a.txt\" holds more data than the 10 bytes its header states");
  EXPECT_EQ(FilesBelow(root() / "out"), 0);

  test::PatchStatedSize(root() / "t.zip", "a.txt", 200000);
  EXPECT_EQ(Refusal(root() / "t.zip", root() / "out"), (root() / "t.zip").string() +
                                                           ": entry \"a.txt\" is damaged: 100000 bytes of the "
                                                           "200000 bytes its header states");
}

TEST_F(ZipArchiveTest, RefusesClaimsOverTheLimitsBeforeWritingAnything) {
  MakeArchive(root() / "t.zip", {{"a.txt", std::string(1000, 'a')}, {"b.txt", std::string(1000, 'b')},
                                 {"c/", ""}, {"c/d.txt", std::string(1000, 'd')}});
  const std::string archive = (root() / "t.zip").string();
  EXPECT_EQ(Refusal(archive, root() / "out", {.entries = 3}), archive + ": has 4 entries, more than the limit of 3");
  EXPECT_EQ(Refusal(archive, root() / "out", {.entryBytes = 999}),
            archive + ": entry \"a.txt\" claims 1000 bytes, more than the limit of 999 bytes per entry");
  EXPECT_EQ(Refusal(archive, root() / "out", {.totalBytes = 2500}),
            archive + ": entries claim more than the limit of 2500 bytes in all (at entry \"c/d.txt\")");
  EXPECT_FALSE(fs::exists(root() / "out"));
  EXPECT_EQ(Refusal(archive, root() / "out", {.entries = 4, .entryBytes = 1000, .totalBytes = 3000}), "");
  EXPECT_EQ(FilesBelow(root() / "out"), 3);

  test::PatchStatedSize(root() / "t.zip", "b.txt", 0xFFFFFFF0u);  // 4 GB claimed by a 1 KB entry
  EXPECT_EQ(Refusal(archive, root() / "out2"),
            archive + ": entry \"b.txt\" claims 4294967280 bytes, more than the limit of " +
                std::to_string(kMaxArchiveEntryBytes) + " bytes per entry");
  EXPECT_FALSE(fs::exists(root() / "out2"));
}

// Runs extract in a child process limited to 64 MB more address space than it
// starts with and to 1 MB per written file; the child's outcome: the refusal's
// message, "extracted", or how it died.
std::string InLimitedChild(const std::function<void()>& extract) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return "no pipe";
  pid_t child = fork();
  if (child == 0) {
    close(pipeFds[0]);
    std::string out = "extracted";
    long pages = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
      if (std::fscanf(statm, "%ld", &pages) != 1) pages = 0;
      std::fclose(statm);
    }
    rlimit memory{};
    memory.rlim_cur = memory.rlim_max = static_cast<rlim_t>(pages) * sysconf(_SC_PAGESIZE) + (64 << 20);
    rlimit fileSize{};
    fileSize.rlim_cur = fileSize.rlim_max = 1 << 20;
    setrlimit(RLIMIT_AS, &memory);
    setrlimit(RLIMIT_FSIZE, &fileSize);
    try {
      extract();
    } catch (const FileError& e) {
      out = e.what();
    } catch (const std::exception& e) {
      out = std::string("other error: ") + e.what();
    }
    if (write(pipeFds[1], out.data(), out.size()) < 0) _exit(3);
    _exit(0);
  }
  close(pipeFds[1]);
  std::string out;
  char buffer[4096];
  for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;) out.append(buffer, static_cast<std::size_t>(n));
  close(pipeFds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (WIFSIGNALED(status)) return "killed by signal " + std::to_string(WTERMSIG(status));
  return out;
}

TEST_F(ZipArchiveTest, ZipBombIsRefusedWithoutFillingMemoryOrDisk) {
  const std::uint64_t size = kMaxArchiveEntryBytes + (16 << 20);
  MakeArchive(root() / "bomb.zip", {{"index.php", "<?php"}, {"zeros.bin", std::string(size, '\0')}});
  const std::string archive = (root() / "bomb.zip").string();
  ASSERT_LT(fs::file_size(archive), 1u << 20);
  EXPECT_EQ(InLimitedChild([&] { ExtractArchive(archive, root() / "out"); }),
            archive + ": entry \"zeros.bin\" claims " + std::to_string(size) + " bytes, more than the limit of " +
                std::to_string(kMaxArchiveEntryBytes) + " bytes per entry");
  EXPECT_FALSE(fs::exists(root() / "out"));

  test::PatchStatedSize(archive, "zeros.bin", 1000);  // and now it hides its size
  EXPECT_EQ(InLimitedChild([&] { ExtractArchive(archive, root() / "out"); }),
            archive + ": entry \"zeros.bin\" holds more data than the 1000 bytes its header states");
  EXPECT_EQ(FilesBelow(root() / "out"), 1);  // index.php, no temporary file
}

}  // namespace
}  // namespace zantrel
