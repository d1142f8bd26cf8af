#include "platform/zip_archive.h"

#include <zip.h>

#include <memory>
#include <string>

namespace zantrel {
namespace {

namespace fs = std::filesystem;

struct ArchiveCloser {
  void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct EntryCloser {
  void operator()(zip_file_t* entry) const { zip_fclose(entry); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

[[noreturn]] void Fail(const fs::path& archive, const std::string& reason) {
  throw FileError(archive.string() + ": " + reason);
}

Archive Open(const fs::path& archive) {
  int code = 0;
  zip_t* handle = zip_open(archive.c_str(), ZIP_RDONLY, &code);
  if (!handle) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string reason = zip_error_strerror(&error);
    zip_error_fini(&error);
    Fail(archive, reason);
  }
  return Archive(handle);
}

// The entry's path below the folder; empty for a name that would leave it.
fs::path SafeRelative(const std::string& name) {
  fs::path relative = fs::path(name).lexically_normal();
  if (name.empty() || relative.is_absolute() || name.find('\\') != std::string::npos) return {};
  for (const auto& part : relative)
    if (part == "..") return {};
  return relative;
}

std::string ReadEntry(zip_t* archive, zip_uint64_t index, zip_uint64_t size, const fs::path& path) {
  std::unique_ptr<zip_file_t, EntryCloser> entry(zip_fopen_index(archive, index, 0));
  if (!entry) Fail(path, zip_strerror(archive));
  std::string content(size, '\0');
  zip_int64_t got = size ? zip_fread(entry.get(), content.data(), size) : 0;
  if (got < 0 || static_cast<zip_uint64_t>(got) != size) Fail(path, "damaged entry");
  return content;
}

}  // namespace

void ExtractArchive(const fs::path& archive, const fs::path& folder) {
  Archive handle = Open(archive);
  zip_int64_t count = zip_get_num_entries(handle.get(), 0);
  for (zip_uint64_t i = 0; i < static_cast<zip_uint64_t>(count); ++i) {
    zip_stat_t stat;
    if (zip_stat_index(handle.get(), i, 0, &stat) != 0) Fail(archive, zip_strerror(handle.get()));
    std::string name = stat.name ? stat.name : "";
    fs::path relative = SafeRelative(name);
    if (relative.empty()) Fail(archive, "unsafe entry name \"" + name + "\"");
    fs::path target = folder / relative;
    std::error_code ec;
    if (name.back() == '/') {
      fs::create_directories(target, ec);
      continue;
    }
    fs::create_directories(target.parent_path(), ec);
    ReplaceFileAtomically(target, ReadEntry(handle.get(), i, stat.size, archive / name), /*durable=*/false);
    if (stat.valid & ZIP_STAT_MTIME)
      fs::last_write_time(target, fs::file_time_type::clock::from_sys(
                                      std::chrono::system_clock::from_time_t(stat.mtime)), ec);
  }
}

}  // namespace zantrel
