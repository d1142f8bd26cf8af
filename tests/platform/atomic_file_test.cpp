// Writing files whole: a new file appears complete under its name, an existing
// one is replaced, and no temporary file is left beside either.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>

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

}  // namespace
}  // namespace zantrel
