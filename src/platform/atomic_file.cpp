#include "platform/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <mutex>
#include <set>
#include <string>

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

// When this process started, on the coarse clock the file system stamps times with.
const timespec kRunStart = [] {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
  return now;
}();

// "<name>.tmp-" and the six letters or digits mkostemp puts in place of XXXXXX.
bool IsTempName(std::string_view name) {
  constexpr std::string_view kMark = ".tmp-";
  constexpr std::size_t kRandom = 6;
  if (name.size() <= kMark.size() + kRandom) return false;
  if (name.substr(name.size() - kRandom - kMark.size(), kMark.size()) != kMark) return false;
  for (char c : name.substr(name.size() - kRandom))
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
  return true;
}

bool OlderThanRun(const struct stat& st) {
  return st.st_mtim.tv_sec < kRunStart.tv_sec ||
         (st.st_mtim.tv_sec == kRunStart.tv_sec && st.st_mtim.tv_nsec < kRunStart.tv_nsec);
}

// A regular file, older than this run and not locked by its writer.
void RemoveIfAbandoned(int folderFd, const char* name) {
  int fd = ::openat(folderFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return;
  struct stat st;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && OlderThanRun(st) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
    ::unlinkat(folderFd, name, 0);
  ::close(fd);
}

std::filesystem::path FolderOf(const std::filesystem::path& file) {
  return file.parent_path().empty() ? "." : file.parent_path();
}

}  // namespace

void RemoveLeftoverTempFiles(const std::filesystem::path& folder) {
  static std::mutex mutex;
  static std::set<std::string> cleaned;
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(folder, ec).lexically_normal();
  {
    std::lock_guard<std::mutex> lock(mutex);
    if (!cleaned.insert(absolute.string()).second) return;
  }
  DIR* dir = ::opendir(absolute.c_str());
  if (!dir) return;
  while (const dirent* entry = ::readdir(dir))
    if (IsTempName(entry->d_name)) RemoveIfAbandoned(::dirfd(dir), entry->d_name);
  ::closedir(dir);
}

AtomicFile::AtomicFile(std::filesystem::path file, bool durable, unsigned mode)
    : file_(std::move(file)), durable_(durable) {
  RemoveLeftoverTempFiles(FolderOf(file_));
  std::string pattern = file_.string() + ".tmp-XXXXXX";
  fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd_ < 0) Fail("cannot create a temporary file beside", file_, errno);
  temp_ = pattern;
  ::flock(fd_, LOCK_SH);  // tells RemoveLeftoverTempFiles of other runs that this file is in use
  struct stat st;
  if (::fchmod(fd_, ::stat(file_.c_str(), &st) == 0 ? (st.st_mode & 07777) : mode) != 0) {
    int error = errno;
    ::close(fd_);
    ::unlink(temp_.c_str());
    Fail("cannot set the permissions of", temp_, error);
  }
}

AtomicFile::~AtomicFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!temp_.empty()) ::unlink(temp_.c_str());
}

void AtomicFile::Write(std::string_view content) { WriteAll(fd_, content, file_); }

void AtomicFile::Commit() {
  if (durable_ && ::fsync(fd_) != 0) Fail("cannot flush", file_, errno);
  int rc = ::close(fd_);
  fd_ = -1;
  if (rc != 0) Fail("cannot write", file_, errno);
  if (::rename(temp_.c_str(), file_.c_str()) != 0) Fail("cannot replace", file_, errno);
  temp_.clear();
  if (durable_) SyncFolder(FolderOf(file_), file_);
}

void ReplaceFileAtomically(const std::filesystem::path& file, std::string_view content, bool durable, unsigned mode) {
  AtomicFile out(file, durable, mode);
  out.Write(content);
  out.Commit();
}

void WriteNewFileAtomically(const std::filesystem::path& file, std::string_view content, unsigned mode) {
  std::filesystem::path folder = FolderOf(file);
  RemoveLeftoverTempFiles(folder);
  int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
  if (fd >= 0) {
    bool linked = false;
    try {
      if (::fchmod(fd, mode) == 0) {
        WriteAll(fd, content, file);
        std::string self = "/proc/self/fd/" + std::to_string(fd);
        linked = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, file.c_str(), AT_SYMLINK_FOLLOW) == 0;
      }
    } catch (const FileError&) {
      ::close(fd);
      throw;
    }
    ::close(fd);
    if (linked) return;
  }
  ReplaceFileAtomically(file, content, /*durable=*/false, mode);
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
