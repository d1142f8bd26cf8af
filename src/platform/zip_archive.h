// Extraction of a template archive (zip) into a folder with libzip. Entries
// keep the modification times the archive records. An entry whose name is
// absolute or climbs out of the folder ("..") refuses the whole archive.
//
// Archives come from anywhere, so extraction is bounded: entries are streamed
// to disk in small pieces (never held whole in memory), and the number of
// entries, the size of each and the total size are capped. The sizes the
// archive's directory states are checked against the caps before anything is
// written, and each entry's data is counted while it streams, so an entry that
// turns out longer than its header says (a lying header, a zip bomb) is refused
// at the first byte past the stated size.
#pragma once

#include <cstdint>
#include <filesystem>

#include "platform/atomic_file.h"

namespace zantrel {

// Generous for a template of pages, scripts and images.
inline constexpr std::uint64_t kMaxArchiveEntries = 10'000;
inline constexpr std::uint64_t kMaxArchiveEntryBytes = std::uint64_t{64} << 20;   // 64 MiB
inline constexpr std::uint64_t kMaxArchiveTotalBytes = std::uint64_t{256} << 20;  // 256 MiB

struct ArchiveLimits {
  std::uint64_t entries = kMaxArchiveEntries;
  std::uint64_t entryBytes = kMaxArchiveEntryBytes;  // uncompressed
  std::uint64_t totalBytes = kMaxArchiveTotalBytes;  // uncompressed, all entries
};

// Extracts every entry; throws FileError naming the archive (and the entry,
// when one is at fault) with the reason: not a zip archive, a damaged entry,
// an unsafe name, a limit exceeded, a file that cannot be written. Files
// already written stay: extract into a staging folder and remove it on error.
void ExtractArchive(const std::filesystem::path& archive, const std::filesystem::path& folder,
                    const ArchiveLimits& limits = {});

}  // namespace zantrel
