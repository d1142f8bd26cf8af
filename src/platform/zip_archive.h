// Extraction of a template archive (zip) into a folder with libzip. Entries
// keep the modification times the archive records. An entry whose name is
// absolute or climbs out of the folder ("..") refuses the whole archive.
#pragma once

#include <filesystem>

#include "platform/atomic_file.h"

namespace zantrel {

// Extracts every entry; throws FileError with the reason (not a zip archive,
// a damaged entry, an unsafe name, a file that cannot be written).
void ExtractArchive(const std::filesystem::path& archive, const std::filesystem::path& folder);

}  // namespace zantrel
