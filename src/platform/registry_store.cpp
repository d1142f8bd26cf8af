// The registry document's key and value operations, and RegistryStore: loading
// one .reg file and replacing it safely (lock, re-read, temp file, fsync, rename).
#include "platform/registry_store.h"
#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "core/names.h"
#include "platform/config_paths.h"

namespace zantrel {
namespace {

std::vector<std::string_view> SplitPath(std::string_view path) {
  std::vector<std::string_view> parts;
  while (!path.empty()) {
    const std::size_t sep = path.find('\\');
    parts.push_back(path.substr(0, sep));
    path = sep == std::string_view::npos ? std::string_view() : path.substr(sep + 1);
  }
  return parts;
}

// Whether path is base or lies below it; both normalized.
bool IsWithin(std::string_view path, const std::vector<std::string_view>& base) {
  const std::vector<std::string_view> parts = SplitPath(path);
  if (parts.size() < base.size()) return false;
  return std::equal(base.begin(), base.end(), parts.begin(), NameEquals);
}

std::string ValidPath(std::string_view path) {
  std::optional<std::string> normalized = NormalizeKeyPath(path);
  if (!normalized) throw RegistryError("invalid key path '" + std::string(path) + "'");
  return std::move(*normalized);
}

// Keeps only the member the type's encoding uses, so equal values compare equal.
RegValue Canonical(RegValue v) {
  const RegEncoding e = EncodingOf(v.type);
  if (e != RegEncoding::Text) v.text.clear();
  if (e != RegEncoding::TextList) v.strings.clear();
  if (e != RegEncoding::Number && e != RegEncoding::BigEndian) v.number = 0;
  if (e != RegEncoding::Bytes) v.bytes.clear();
  return v;
}

[[noreturn]] void ThrowSystem(const std::filesystem::path& path, const std::string& action) {
  throw RegistryError(path.string() + ": " + action + ": " + std::strerror(errno));
}

// A file descriptor closed when it goes out of scope.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  int Release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

// The file's text; a missing file reads as empty.
std::string ReadTextOrEmpty(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return {};
  try {
    return ReadWholeFile(path);
  } catch (const FileError& e) {
    throw RegistryError(e.what());
  }
}

void MakeFolders(const std::filesystem::path& folder, mode_t mode) {
  std::error_code ec;
  if (folder.empty() || std::filesystem::is_directory(folder, ec)) return;
  MakeFolders(folder.parent_path(), mode);
  if (::mkdir(folder.c_str(), mode) != 0 && errno != EEXIST) ThrowSystem(folder, "cannot create folder");
}


// An exclusive flock on `<file>.lock`, held while the object lives. The lock file
// itself stays: removing it would let two writers lock different files.
class WriteLock {
 public:
  WriteLock(const std::filesystem::path& file, mode_t mode) : fd_(-1) {
    const std::filesystem::path lockPath = file.string() + ".lock";
    Fd fd(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, mode));
    if (fd.get() < 0) ThrowSystem(lockPath, "cannot create lock file");
    while (::flock(fd.get(), LOCK_EX) != 0)
      if (errno != EINTR) ThrowSystem(lockPath, "cannot lock");
    fd_ = fd.Release();
  }
  WriteLock(const WriteLock&) = delete;
  WriteLock& operator=(const WriteLock&) = delete;
  ~WriteLock() { ::close(fd_); }

 private:
  int fd_;
};

// Temp files of writers that died before their rename; only lock holders write them.
void RemoveStaleTemps(const std::filesystem::path& file) {
  const std::string prefix = file.filename().string() + ".tmp-";
  std::error_code ec;
  const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (it->path().filename().string().starts_with(prefix)) std::filesystem::remove(it->path(), ec);
}

// A file reached through a symbolic link is replaced where it lives, keeping the link.
std::filesystem::path RealFile(const std::filesystem::path& file) {
  std::error_code ec;
  const std::filesystem::path real = std::filesystem::canonical(file, ec);
  return ec ? file : real;
}

}  // namespace

RegValue RegValue::String(std::string s, uint32_t type) {
  RegValue v;
  v.type = type;
  v.text = std::move(s);
  return v;
}

RegValue RegValue::MultiString(std::vector<std::string> list) {
  RegValue v;
  v.type = kRegMultiSz;
  v.strings = std::move(list);
  return v;
}

RegValue RegValue::Number(uint32_t n, uint32_t type) {
  RegValue v;
  v.type = type;
  v.number = n;
  return v;
}

RegValue RegValue::Binary(std::vector<uint8_t> data, uint32_t type) {
  RegValue v;
  v.type = type;
  v.bytes = std::move(data);
  return v;
}

RegistryError::RegistryError(std::string message) : std::runtime_error(std::move(message)) {}

RegistryError::RegistryError(std::string file, int line, std::string reason)
    : std::runtime_error(file + ":" + std::to_string(line) + ": " + reason), line_(line) {}

std::optional<std::string> NormalizeKeyPath(std::string_view path) {
  while (path.starts_with('\\')) path.remove_prefix(1);
  while (path.ends_with('\\')) path.remove_suffix(1);
  if (path.find("\\\\") != std::string_view::npos) return std::nullopt;
  for (char c : path)
    if (static_cast<unsigned char>(c) < 0x20) return std::nullopt;
  return std::string(path);
}

const RegKey* RegDocument::FindKey(std::string_view path) const {
  const std::optional<std::string> p = NormalizeKeyPath(path);
  if (!p) return nullptr;
  for (const RegKey& key : keys_)
    if (NameEquals(key.path, *p)) return &key;
  return nullptr;
}

RegKey* RegDocument::FindKey(std::string_view path) {
  return const_cast<RegKey*>(std::as_const(*this).FindKey(path));
}

bool RegDocument::KeyExists(std::string_view path) const {
  const std::optional<std::string> p = NormalizeKeyPath(path);
  if (!p) return false;
  const std::vector<std::string_view> base = SplitPath(*p);
  return base.empty() || std::any_of(keys_.begin(), keys_.end(),
                                     [&](const RegKey& k) { return IsWithin(k.path, base); });
}

const RegValue* RegDocument::FindValue(std::string_view path, std::string_view name) const {
  const RegKey* key = FindKey(path);
  if (!key) return nullptr;
  for (const RegEntry& entry : key->values)
    if (NameEquals(entry.name, name)) return &entry.value;
  return nullptr;
}

std::vector<std::string> RegDocument::ValueNames(std::string_view path) const {
  std::vector<std::string> names;
  if (const RegKey* key = FindKey(path))
    for (const RegEntry& entry : key->values) names.push_back(entry.name);
  return names;
}

std::vector<std::string> RegDocument::SubkeyNames(std::string_view path) const {
  std::vector<std::string> names;
  const std::optional<std::string> p = NormalizeKeyPath(path);
  if (!p) return names;
  const std::vector<std::string_view> base = SplitPath(*p);
  for (const RegKey& key : keys_) {
    const std::vector<std::string_view> parts = SplitPath(key.path);
    if (parts.size() <= base.size() || !std::equal(base.begin(), base.end(), parts.begin(), NameEquals)) continue;
    const std::string_view child = parts[base.size()];
    if (std::none_of(names.begin(), names.end(), [&](const std::string& n) { return NameEquals(n, child); }))
      names.emplace_back(child);
  }
  return names;
}

bool RegDocument::CreateKey(std::string_view path) {
  const std::string p = ValidPath(path);
  if (KeyExists(p)) return false;
  keys_.push_back(RegKey{p, {}, {""}});
  return true;
}

RegKey& RegDocument::KeyFor(std::string_view path) {
  const std::string p = ValidPath(path);
  if (p.empty()) throw RegistryError("a value needs a key: the root holds none");
  if (RegKey* key = FindKey(p)) return *key;
  keys_.push_back(RegKey{p, {}, {""}});
  return keys_.back();
}

bool RegDocument::SetValue(std::string_view path, std::string_view name, RegValue value) {
  value = Canonical(std::move(value));
  std::vector<RegEntry>& values = KeyFor(path).values;
  for (RegEntry& entry : values) {
    if (!NameEquals(entry.name, name)) continue;
    if (entry.value == value) return false;
    entry.value = std::move(value);
    return true;
  }
  values.push_back(RegEntry{std::string(name), std::move(value), {}});
  return true;
}

bool RegDocument::DeleteValue(std::string_view path, std::string_view name) {
  RegKey* key = FindKey(path);
  if (!key) return false;
  return std::erase_if(key->values, [&](const RegEntry& e) { return NameEquals(e.name, name); }) > 0;
}

bool RegDocument::DeleteKey(std::string_view path) {
  const std::optional<std::string> p = NormalizeKeyPath(path);
  if (!p || p->empty()) return false;
  const std::vector<std::string_view> base = SplitPath(*p);
  return std::erase_if(keys_, [&](const RegKey& k) { return IsWithin(k.path, base); }) > 0;
}

RegistryStore::RegistryStore(std::filesystem::path file, mode_t folderMode, mode_t fileMode)
    : file_(std::move(file)), folderMode_(folderMode), fileMode_(fileMode) {}

RegistryStore RegistryStore::User() { return RegistryStore(UserRegistryFile(), 0700, 0600); }

RegistryStore RegistryStore::Machine() { return RegistryStore(MachineRegistryFile(), 0755, 0644); }

RegDocument RegistryStore::Load() const {
  return ParseRegistryText(ReadTextOrEmpty(file_), file_.string());
}

std::optional<RegValue> RegistryStore::Read(std::string_view key, std::string_view name) const {
  const RegDocument doc = Load();
  const RegValue* value = doc.FindValue(key, name);
  return value ? std::optional<RegValue>(*value) : std::nullopt;
}

bool RegistryStore::KeyExists(std::string_view key) const { return Load().KeyExists(key); }

std::vector<std::string> RegistryStore::ValueNames(std::string_view key) const { return Load().ValueNames(key); }

std::vector<std::string> RegistryStore::SubkeyNames(std::string_view key) const {
  return Load().SubkeyNames(key);
}

// Each edit is tried on the current file first, so a change with nothing to do
// needs neither the lock nor a writable folder.
bool RegistryStore::Write(std::string_view key, std::string_view name, const RegValue& value) {
  const auto edit = [&](RegDocument& doc) { return doc.SetValue(key, name, value); };
  RegDocument probe = Load();
  return edit(probe) && Update(edit);
}

bool RegistryStore::CreateKey(std::string_view key) {
  const auto edit = [&](RegDocument& doc) { return doc.CreateKey(key); };
  RegDocument probe = Load();
  return edit(probe) && Update(edit);
}

bool RegistryStore::DeleteValue(std::string_view key, std::string_view name) {
  const auto edit = [&](RegDocument& doc) { return doc.DeleteValue(key, name); };
  RegDocument probe = Load();
  return edit(probe) && Update(edit);
}

bool RegistryStore::DeleteKey(std::string_view key) {
  const auto edit = [&](RegDocument& doc) { return doc.DeleteKey(key); };
  RegDocument probe = Load();
  return edit(probe) && Update(edit);
}

bool RegistryStore::Update(const std::function<bool(RegDocument&)>& edit) {
  MakeFolders(file_.parent_path(), folderMode_);
  const std::filesystem::path target = RealFile(file_);
  const WriteLock lock(target, fileMode_);
  RegDocument doc = Load();
  if (!edit(doc)) return false;
  Replace(target, FormatRegistryText(doc));
  return true;
}

void RegistryStore::Replace(const std::filesystem::path& target, const std::string& text) const {
  RemoveStaleTemps(target);
  try {
    ReplaceFileAtomically(target, text, /*durable=*/true, fileMode_);
  } catch (const FileError& e) {
    throw RegistryError(e.what());
  }
}

}  // namespace zantrel
