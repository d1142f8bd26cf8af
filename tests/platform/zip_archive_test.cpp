// Template archives: extraction keeps names and times, and an archive with a
// name that would leave the folder, or that is no archive at all, is refused.
#include <zip.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>

#include "platform/atomic_file.h"
#include "platform/zip_archive.h"
#include "support/temp_config.h"

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

}  // namespace
}  // namespace zantrel
