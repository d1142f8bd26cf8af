// Replacing a file atomically: the new content goes to a temporary file in the
// same folder (<file>.tmp-XXXXXX), which is then renamed over the old one, so a reader or a crash
// sees the old file or the new one, never a mix. With durable the file and its
// folder are flushed to disk before and after the rename.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zantrel {

class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Throws FileError naming the file and the system's reason; on failure the old
// file is left as it was and no temporary file remains.
void ReplaceFileAtomically(const std::filesystem::path& file, std::string_view content, bool durable,
                           unsigned mode = 0644);

// The whole content of a file; throws FileError.
std::string ReadWholeFile(const std::filesystem::path& file);

}  // namespace zantrel
