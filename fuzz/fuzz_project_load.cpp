// Fuzzes the project file reader: arbitrary bytes as a project file must give
// a project or one of the reader's error texts, never a crash.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/context.h"
#include "project/project.h"
#include "platform/atomic_file.h"

namespace {

std::string& FuzzFile() {
  static std::string file = [] {
    std::string dir = (std::filesystem::temp_directory_path() / ("zantrel-fuzz-" + std::to_string(getpid()))).string();
    std::filesystem::create_directories(dir);
    setenv("ZANTREL_CONFIG_DIR", dir.c_str(), 1);
    setenv("ZANTREL_MACHINE_CONFIG_DIR", dir.c_str(), 1);
    return dir + "/input.zpr";
  }();
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& file = FuzzFile();
  zantrel::ReplaceFileAtomically(file, std::string_view(reinterpret_cast<const char*>(data), size), false);
  auto project = zantrel::MakeRef<zantrel::ObP>();
  project->Load(file);
  return 0;
}
