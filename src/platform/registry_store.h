// The registry store that keeps per-user and per-machine defaults on Linux: one
// `.reg` text file per root key, close to what regedit exports, so a person can
// read and edit it. This header holds the in-memory model of such a file, its
// parser and writer, and RegistryStore, which reads and atomically rewrites one
// file under an advisory lock.
//
//   ZANTREL REGISTRY Version 1
//
//   [Software\Zantrel\3.1\Settings]
//   "Name"="text with \"quotes\""
//   "Count"=dword:0000001f
//   @="the key's default value"
//
// Key paths and value names compare without regard to case; keys and values keep
// their order and spelling, new ones are appended, comments stay where they are.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zantrel {

// Value type numbers, as the Windows registry numbers them.
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;
inline constexpr uint32_t kRegDwordBigEndian = 5;
inline constexpr uint32_t kRegMultiSz = 7;

// Which member of RegValue holds the data, and how the file spells it.
enum class RegEncoding {
  Text,      // RegValue::text, one quoted string
  TextList,  // RegValue::strings, comma-separated quoted strings
  Number,    // RegValue::number, dword: and 8 hex digits
  BigEndian, // RegValue::number, 4 bytes most significant first
  Bytes,     // RegValue::bytes, comma-separated hex bytes
};

struct RegTypeInfo {
  uint32_t type;
  std::string_view tag;   // what precedes ":" and the data in the file ("" for plain strings)
  std::string_view name;  // the name users give on the command line
  RegEncoding encoding;
};

// The known types; any other type number is kept as bytes under `hex(N):`
// with N in hexadecimal, as regedit writes it.
std::span<const RegTypeInfo> RegTypes();
const RegTypeInfo* FindRegType(uint32_t type);
const RegTypeInfo* FindRegTypeByName(std::string_view name);  // "sz", "dword", ...
RegEncoding EncodingOf(uint32_t type);

// One value: its type number and the data in the member its encoding names.
struct RegValue {
  uint32_t type = kRegSz;
  std::string text;
  std::vector<std::string> strings;
  uint32_t number = 0;
  std::vector<uint8_t> bytes;

  static RegValue String(std::string s, uint32_t type = kRegSz);
  static RegValue MultiString(std::vector<std::string> list);
  static RegValue Number(uint32_t n, uint32_t type = kRegDword);
  static RegValue Binary(std::vector<uint8_t> data, uint32_t type = kRegBinary);

  friend bool operator==(const RegValue&, const RegValue&) = default;
};

// A parse, path or file failure. what() is the whole message, for a parse error
// "file:line: what is wrong".
class RegistryError : public std::runtime_error {
 public:
  explicit RegistryError(std::string message);
  RegistryError(std::string file, int line, std::string reason);
  int line() const { return line_; }  // 0 when not about one line

 private:
  int line_ = 0;
};

// A value as it sits in its key. The name "" is the key's default value (`@`).
// comments holds the blank and `;` lines just above it in the file.
struct RegEntry {
  std::string name;
  RegValue value;
  std::vector<std::string> comments;
};

struct RegKey {
  std::string path;  // backslash-separated, without leading or trailing backslash
  std::vector<RegEntry> values;
  std::vector<std::string> comments;
};

// A whole file. A key exists when it has a section or when a section lies below
// it; the root "" always exists and holds no values. Paths given to these
// functions may carry leading or trailing backslashes; a path with an empty
// name inside ("A\\B") is invalid: lookups find nothing, edits throw.
class RegDocument {
 public:
  const std::vector<RegKey>& keys() const { return keys_; }
  const std::vector<std::string>& trailer() const { return trailer_; }

  bool KeyExists(std::string_view path) const;
  const RegKey* FindKey(std::string_view path) const;  // the key's own section
  const RegValue* FindValue(std::string_view path, std::string_view name) const;
  // Value names in file order; nothing when the key has no section.
  std::vector<std::string> ValueNames(std::string_view path) const;
  // The direct subkeys' names, in file order of their first appearance.
  std::vector<std::string> SubkeyNames(std::string_view path) const;

  // Edits return whether the document changed.
  bool CreateKey(std::string_view path);
  bool SetValue(std::string_view path, std::string_view name, RegValue value);
  bool DeleteValue(std::string_view path, std::string_view name);
  bool DeleteKey(std::string_view path);  // with its subkeys

 private:
  friend RegDocument ParseRegistryText(std::string_view, const std::string&);
  RegKey* FindKey(std::string_view path);
  RegKey& KeyFor(std::string_view path);

  std::vector<RegKey> keys_;
  std::vector<std::string> trailer_;  // comments after the last key
};

// The key path without outer backslashes; nothing when a name inside is empty.
std::optional<std::string> NormalizeKeyPath(std::string_view path);

// Parses the text of a file; fileName only names it in errors. Throws RegistryError.
RegDocument ParseRegistryText(std::string_view text, const std::string& fileName = "<text>");
// The text of a file; ParseRegistryText gives the same document back.
std::string FormatRegistryText(const RegDocument& doc);

// The data part of a value line, e.g. `dword:0000001f` or `"text"`, and back.
std::string FormatValueData(const RegValue& value);
RegValue ParseValueData(std::string_view data);  // throws RegistryError without a line

// Replaces %NAME% with the environment variable NAME; unknown names stay as written.
std::string ExpandEnvironment(std::string_view text);

// One registry file. Reads take the file as it is (a missing file is empty);
// writes lock `<file>.lock`, re-read the file, apply the change and replace the
// file by rename, so concurrent writers keep each other's changes and a reader
// or a crash sees the old or the new file. A file that does not parse is never
// replaced: the write throws the parse error.
class RegistryStore {
 public:
  explicit RegistryStore(std::filesystem::path file, mode_t folderMode = 0700, mode_t fileMode = 0600);
  static RegistryStore User();     // UserRegistryFile(), private folder
  static RegistryStore Machine();  // MachineRegistryFile(), readable by all

  const std::filesystem::path& file() const { return file_; }

  RegDocument Load() const;
  std::optional<RegValue> Read(std::string_view key, std::string_view name) const;
  bool KeyExists(std::string_view key) const;
  std::vector<std::string> ValueNames(std::string_view key) const;
  std::vector<std::string> SubkeyNames(std::string_view key) const;

  // Each returns whether the file changed (false: already so, or nothing to delete).
  bool Write(std::string_view key, std::string_view name, const RegValue& value);
  bool CreateKey(std::string_view key);
  bool DeleteValue(std::string_view key, std::string_view name);
  bool DeleteKey(std::string_view key);
  // Applies edit to the current document under the lock; the file is replaced
  // only when edit returns true.
  bool Update(const std::function<bool(RegDocument&)>& edit);

 private:
  void Replace(const std::filesystem::path& target, const std::string& text) const;

  std::filesystem::path file_;
  mode_t folderMode_;
  mode_t fileMode_;
};

}  // namespace zantrel
