// Points the user and machine registry stores at fresh folders for one test, so
// that tests never read or write a real user's defaults.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

namespace zantrel::test {

class TempConfig {
 public:
  TempConfig() {
    std::random_device rd;
    root_ = std::filesystem::temp_directory_path() / ("zantrel-test-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(user());
    std::filesystem::create_directories(machine());
    setenv("ZANTREL_CONFIG_DIR", user().c_str(), 1);
    setenv("ZANTREL_MACHINE_CONFIG_DIR", machine().c_str(), 1);
  }
  ~TempConfig() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  std::filesystem::path user() const { return root_ / "user"; }
  std::filesystem::path machine() const { return root_ / "machine"; }
  std::filesystem::path userFile() const { return user() / "user.reg"; }
  std::filesystem::path machineFile() const { return machine() / "machine.reg"; }

 private:
  std::filesystem::path root_;
};

}  // namespace zantrel::test
