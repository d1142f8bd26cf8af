// A fresh user and machine configuration folder for each registry test, named
// through ZANTREL_CONFIG_DIR and ZANTREL_MACHINE_CONFIG_DIR, removed afterwards.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace zantrel::testing {

class RegistryFolders : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "zantrel-reg-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    setenv("ZANTREL_CONFIG_DIR", (root_ / "user").c_str(), 1);
    setenv("ZANTREL_MACHINE_CONFIG_DIR", (root_ / "machine").c_str(), 1);
  }
  void TearDown() override {
    unsetenv("ZANTREL_CONFIG_DIR");
    unsetenv("ZANTREL_MACHINE_CONFIG_DIR");
    std::filesystem::remove_all(root_);
  }

  std::filesystem::path UserFile() const { return root_ / "user" / "user.reg"; }
  std::filesystem::path MachineFile() const { return root_ / "machine" / "machine.reg"; }

  static void WriteText(const std::filesystem::path& file, const std::string& text) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
  }
  static std::string ReadText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::filesystem::path root_;
};

}  // namespace zantrel::testing
