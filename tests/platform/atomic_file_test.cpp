// Writing files whole: a new file appears complete under its name, an existing
// one is replaced, and no temporary file is left beside either; those a killed
// run left are removed by the next write into their folder.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>

#include "platform/atomic_file.h"
#include "support/temp_config.h"

namespace zantrel {
namespace {

namespace fs = std::filesystem;

int FilesIn(const fs::path& folder) {
  int n = 0;
  for (const auto& entry : fs::directory_iterator(folder)) n += entry.is_regular_file();
  return n;
}

TEST(AtomicFile, NewFileIsLinkedCompleteWithItsMode) {
  test::TempConfig config;
  fs::path file = config.user() / "page.php";
  WriteNewFileAtomically(file, "<?php\r\n", 0640);
  EXPECT_EQ(ReadWholeFile(file), "<?php\r\n");
  struct stat st;
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(FilesIn(config.user()), 1);
}

TEST(AtomicFile, NewFileThatExistsAfterAllIsReplaced) {
  test::TempConfig config;
  fs::path file = config.user() / "page.php";
  ReplaceFileAtomically(file, "old", false);
  WriteNewFileAtomically(file, "new");
  EXPECT_EQ(ReadWholeFile(file), "new");
  EXPECT_EQ(FilesIn(config.user()), 1);
}

TEST(AtomicFile, MissingFolderIsAFileError) {
  test::TempConfig config;
  EXPECT_THROW(WriteNewFileAtomically(config.user() / "no" / "page.php", "x"), FileError);
}

TEST(AtomicFile, FirstWriteIntoAFolderRemovesAbandonedTemporaryFiles) {
  test::TempConfig config;
  const fs::path folder = config.user() / "out";
  fs::create_directories(folder / "sub");
  const auto past = fs::file_time_type::clock::now() - std::chrono::hours(1);
  auto leave = [&](const std::string& name, bool old) {
    ReplaceFileAtomically(config.user() / "scratch", "partial", false);
    fs::rename(config.user() / "scratch", folder / name);
    if (old) fs::last_write_time(folder / name, past);
  };
  leave("list.php.tmp-Ab12yZ", true);        // left by a killed run: removed
  leave("other.css.tmp-000000", true);       // of another file of the folder: removed too
  leave("busy.php.tmp-XyZ123", true);        // a live writer holds it: kept
  leave("new.php.tmp-abcdef", false);        // newer than this run: kept
  leave("notes.tmp-12345", true);            // not our pattern: kept
  leave("notes.tmp-123456.bak", true);       // not our pattern: kept
  leave("sub/deep.php.tmp-abcdef", true);    // another folder: kept until it is written to
  int busy = ::open((folder / "busy.php.tmp-XyZ123").c_str(), O_RDONLY);
  ASSERT_GE(busy, 0);
  ASSERT_EQ(::flock(busy, LOCK_SH), 0);

  ReplaceFileAtomically(folder / "list.php", "whole", false);
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.is_regular_file()) names.insert(entry.path().filename().string());
  EXPECT_EQ(names, (std::set<std::string>{"list.php", "busy.php.tmp-XyZ123", "new.php.tmp-abcdef", "notes.tmp-12345",
                                          "notes.tmp-123456.bak"}));
  ::close(busy);
  WriteNewFileAtomically(folder / "sub" / "page.php", "x");
  EXPECT_FALSE(fs::exists(folder / "sub" / "deep.php.tmp-abcdef"));
}

}  // namespace
}  // namespace zantrel
