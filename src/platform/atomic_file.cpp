#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace zantrel {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::filesystem::path& path, int error) {
  throw FileError(what + " " + path.string() + ": " + std::strerror(error));
}

void WriteAll(int fd, std::string_view content, const std::filesystem::path& path) {
  while (!content.empty()) {
    ssize_t n = ::write(fd, content.data(), content.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail("cannot write", path, errno);
    }
    content.remove_prefix(static_cast<std::size_t>(n));
  }
}

// Makes the rename durable; file systems that cannot sync a folder say EINVAL.
void SyncFolder(const std::filesystem::path& folder, const std::filesystem::path& file) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) Fail("cannot open the folder of", file, errno);
  int rc = ::fsync(fd);
  int error = errno;
  ::close(fd);
  if (rc != 0 && error != EINVAL) Fail("cannot flush the folder of", file, error);
}

}  // namespace

void ReplaceFileAtomically(const std::filesystem::path& file, std::string_view content, bool durable, unsigned mode) {
  std::filesystem::path folder = file.parent_path().empty() ? "." : file.parent_path();
  std::string pattern = file.string() + ".tmp-XXXXXX";
  int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) Fail("cannot create a temporary file beside", file, errno);
  std::filesystem::path temp = pattern;
  try {
    struct stat st;
    if (::fchmod(fd, ::stat(file.c_str(), &st) == 0 ? (st.st_mode & 07777) : mode) != 0)
      Fail("cannot set the permissions of", temp, errno);
    WriteAll(fd, content, file);
    if (durable && ::fsync(fd) != 0) Fail("cannot flush", file, errno);
    if (::close(fd) != 0) {
      fd = -1;
      Fail("cannot write", file, errno);
    }
    fd = -1;
    if (::rename(temp.c_str(), file.c_str()) != 0) Fail("cannot replace", file, errno);
  } catch (...) {
    if (fd >= 0) ::close(fd);
    ::unlink(temp.c_str());
    throw;
  }
  if (durable) SyncFolder(folder, file);
}

std::string ReadWholeFile(const std::filesystem::path& file) {
  int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) Fail("cannot open", file, errno);
  std::string content;
  struct stat st;
  if (::fstat(fd, &st) == 0 && st.st_size > 0) content.reserve(static_cast<std::size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      int e = errno;
      ::close(fd);
      Fail("cannot read", file, e);
    }
    if (n == 0) break;
    content.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return content;
}

}  // namespace zantrel
