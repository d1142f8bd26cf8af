// Replacing a file atomically: the new content goes to a temporary file in the
// same folder (<file>.tmp-XXXXXX), which is then renamed over the old one, so a reader or a crash
// sees the old file or the new one, never a mix. With durable the file and its
// folder are flushed to disk before and after the rename.
//
// A run that is killed leaves its temporary file behind. The first write of a
// process into a folder removes the files there that carry this naming pattern,
// are older than the process and are not held by a live writer (each writer
// keeps a lock on its temporary file while it writes), so a concurrent run's
// file in progress survives.
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

// A replacement written in pieces: Write appends to the temporary file, Commit
// renames it into place. Destroyed without Commit, it removes the temporary file
// and leaves the old one as it was. Throws FileError naming the file and the reason.
class AtomicFile {
 public:
  AtomicFile(std::filesystem::path file, bool durable, unsigned mode = 0644);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  void Write(std::string_view content);
  void Commit();

 private:
  std::filesystem::path file_;
  std::filesystem::path temp_;
  bool durable_;
  int fd_ = -1;
};

// The whole content at once, with the same guarantees.
void ReplaceFileAtomically(const std::filesystem::path& file, std::string_view content, bool durable,
                           unsigned mode = 0644);

// The same for a file the caller knows not to exist yet, not durable: the
// content goes to an unnamed file (O_TMPFILE) that is linked under the name
// once complete, which saves the rename. Falls back to the above when the file
// system cannot, or when the file exists after all.
void WriteNewFileAtomically(const std::filesystem::path& file, std::string_view content, unsigned mode = 0644);

// Removes the leftover temporary files in folder as described above, once per
// process and folder; the writers here call it themselves.
void RemoveLeftoverTempFiles(const std::filesystem::path& folder);

// The whole content of a file; throws FileError.
std::string ReadWholeFile(const std::filesystem::path& file);

}  // namespace zantrel
