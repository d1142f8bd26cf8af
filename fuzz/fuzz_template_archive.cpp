// Fuzzes template archive extraction: arbitrary bytes as a zip archive must
// extract or fail with FileError, nothing may land outside the target folder,
// and no written file may exceed the limits (which are small here, so that a
// compressed input cannot make a run slow by filling the disk).
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/atomic_file.h"
#include "platform/zip_archive.h"

namespace {

namespace fs = std::filesystem;

constexpr zantrel::ArchiveLimits kLimits{.entries = 1000, .entryBytes = 4 << 20, .totalBytes = 16 << 20};

const fs::path& FuzzRoot() {
  static const fs::path root = fs::temp_directory_path() / ("zantrel-fuzz-zip-" + std::to_string(getpid()));
  return root;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 256 * 1024) return 0;
  const fs::path& root = FuzzRoot();
  fs::remove_all(root);
  fs::create_directories(root / "out");
  zantrel::ReplaceFileAtomically(root / "t.zip", std::string(reinterpret_cast<const char*>(data), size), false);
  try {
    zantrel::ExtractArchive(root / "t.zip", root / "out", kLimits);
  } catch (const zantrel::FileError&) {
  }
  for (const auto& entry : fs::directory_iterator(root))
    if (entry.path().filename() != "out" && entry.path().filename() != "t.zip") std::abort();
  std::uintmax_t total = 0;
  for (const auto& entry : fs::recursive_directory_iterator(root / "out")) {
    if (!entry.is_regular_file()) continue;
    if (entry.file_size() > kLimits.entryBytes) std::abort();
    total += entry.file_size();
  }
  if (total > kLimits.totalBytes) std::abort();
  fs::remove_all(root);
  return 0;
}
