#include "platform/zip_archive.h"

#include <zip.h>

#include <memory>
#include <string>
#include <vector>

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
using EntryReader = std::unique_ptr<zip_file_t, EntryCloser>;

// One entry as the archive's directory describes it.
struct Entry {
  zip_uint64_t index;
  std::string name;
  fs::path relative;
  zip_uint64_t size;  // as stated; verified while the data streams
  bool folder;
  bool hasTime;
  time_t mtime;
};

[[noreturn]] void Fail(const fs::path& archive, const std::string& reason) {
  throw FileError(archive.string() + ": " + reason);
}

[[noreturn]] void FailEntry(const fs::path& archive, const std::string& name, const std::string& reason) {
  Fail(archive, "entry \"" + name + "\" " + reason);
}

std::string Bytes(std::uint64_t n) { return std::to_string(n) + " bytes"; }

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

// Every entry, checked against the names and limits before anything is written.
std::vector<Entry> ListEntries(zip_t* handle, const fs::path& archive, const ArchiveLimits& limits) {
  zip_int64_t count = zip_get_num_entries(handle, 0);
  if (count < 0) Fail(archive, zip_strerror(handle));
  if (static_cast<std::uint64_t>(count) > limits.entries)
    Fail(archive, "has " + std::to_string(count) + " entries, more than the limit of " +
                      std::to_string(limits.entries));
  std::vector<Entry> entries;
  entries.reserve(static_cast<std::size_t>(count));
  std::uint64_t total = 0;
  for (zip_uint64_t i = 0; i < static_cast<zip_uint64_t>(count); ++i) {
    zip_stat_t stat;
    if (zip_stat_index(handle, i, 0, &stat) != 0) Fail(archive, zip_strerror(handle));
    Entry entry{i, stat.name ? stat.name : "", {}, 0, false, (stat.valid & ZIP_STAT_MTIME) != 0, stat.mtime};
    entry.relative = SafeRelative(entry.name);
    if (entry.relative.empty()) Fail(archive, "unsafe entry name \"" + entry.name + "\"");
    entry.folder = entry.name.back() == '/';
    if (!entry.folder) {
      if (!(stat.valid & ZIP_STAT_SIZE)) FailEntry(archive, entry.name, "states no size");
      entry.size = stat.size;
      if (entry.size > limits.entryBytes)
        FailEntry(archive, entry.name, "claims " + Bytes(entry.size) + ", more than the limit of " +
                                           Bytes(limits.entryBytes) + " per entry");
      total += entry.size;
      if (total > limits.totalBytes)
        Fail(archive, "entries claim more than the limit of " + Bytes(limits.totalBytes) + " in all (at entry \"" +
                          entry.name + "\")");
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

// Streams the entry's data into the file, refusing it at the first byte past
// the size its header states.
void WriteEntry(zip_t* handle, const fs::path& archive, const Entry& entry, const fs::path& target) {
  EntryReader reader(zip_fopen_index(handle, entry.index, 0));
  if (!reader) FailEntry(archive, entry.name, std::string("cannot be read: ") + zip_strerror(handle));
  AtomicFile out(target, /*durable=*/false);
  std::vector<char> buffer(64 * 1024);
  std::uint64_t written = 0;
  for (;;) {
    zip_int64_t got = zip_fread(reader.get(), buffer.data(), buffer.size());
    if (got < 0) FailEntry(archive, entry.name, std::string("is damaged: ") + zip_file_strerror(reader.get()));
    if (got == 0) break;
    written += static_cast<std::uint64_t>(got);
    if (written > entry.size)
      FailEntry(archive, entry.name, "holds more data than the " + Bytes(entry.size) + " its header states");
    out.Write(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
  }
  if (written != entry.size)
    FailEntry(archive, entry.name, "is damaged: " + Bytes(written) + " of the " + Bytes(entry.size) +
                                       " its header states");
  out.Commit();
}

}  // namespace

void ExtractArchive(const fs::path& archive, const fs::path& folder, const ArchiveLimits& limits) {
  Archive handle = Open(archive);
  for (const Entry& entry : ListEntries(handle.get(), archive, limits)) {
    fs::path target = folder / entry.relative;
    std::error_code ec;
    if (entry.folder) {
      fs::create_directories(target, ec);
      continue;
    }
    fs::create_directories(target.parent_path(), ec);
    WriteEntry(handle.get(), archive, entry, target);
    if (entry.hasTime)
      fs::last_write_time(target, fs::file_time_type::clock::from_sys(
                                      std::chrono::system_clock::from_time_t(entry.mtime)), ec);
  }
}

}  // namespace zantrel
