// cRegistry: the engine's accessor of per-user and per-machine defaults, set up
// through its public fields and then asked to read, write or delete. On Linux
// HKEY_CURRENT_USER is the user's registry file and HKEY_LOCAL_MACHINE the
// machine's (see config_paths.h); other root keys hold nothing and take no writes.
// Failures raise error 26001 from "zantrel.cRegistry"; reads never raise.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/context.h"
#include "core/variant.h"
#include "platform/registry_store.h"

namespace zantrel {

inline constexpr int32_t kHKeyCurrentUser = static_cast<int32_t>(0x80000001u);
inline constexpr int32_t kHKeyLocalMachine = static_cast<int32_t>(0x80000002u);

// One per thread: Context().Service<cRegistry>().
class cRegistry : public ThreadService {
 public:
  int32_t ClassKey = kHKeyCurrentUser;
  std::string SectionKey;  // key path below the root
  std::string ValueKey;    // value name; "" is the key's default value
  int32_t ValueType = static_cast<int32_t>(kRegSz);
  Variant Default;         // what a read of a missing value gives

  bool KeyExists();
  bool CreateKey();    // true when the key exists afterwards
  bool DeleteKey();    // with its subkeys; false when it did not exist
  bool DeleteValue();  // false when the key or value did not exist

  // Reads the value and sets ValueType to its type; Default when missing.
  Variant Value();
  // Writes the value as ValueType says: 1 or 2 text, 3 bytes, 4 or 5 a number.
  void Value(const Variant& value);

  bool EnumerateValues(std::vector<std::string>& names, int32_t& count);
  bool EnumerateSections(std::vector<std::string>& names, int32_t& count);

  // Why the last operation found nothing or failed (e.g. a parse error), or "".
  const std::string& LastProblem() const { return problem_; }

  // Between BeginBatch and CommitBatch, value writes are collected and then
  // applied in one replacement of each file (saving all defaults at once).
  void BeginBatch() { batching_ = true; }
  void CommitBatch();

 private:
  using ListFn = std::vector<std::string> (RegDocument::*)(std::string_view) const;

  // A write collected by a batch, with what its error message needs.
  struct PendingWrite {
    int32_t root;
    std::string section, name;
    RegValue data;
    Variant value;
  };
  // A parsed file, valid while the file's identity, size and time are unchanged.
  struct CachedFile {
    std::string path;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    timespec modified{};
    std::shared_ptr<const RegDocument> doc;
  };

  std::optional<RegistryStore> Store();
  std::shared_ptr<const RegDocument> Open();
  std::shared_ptr<const RegDocument> Parsed(const RegistryStore& store);
  bool Enumerate(ListFn list, std::vector<std::string>& names, int32_t& count);
  [[noreturn]] void Fail(const std::string& description, const std::string& reason);
  [[noreturn]] void FailWrite(const Variant& value, const std::string& reason);
  std::string RootAndSection() const;

  std::string problem_;
  bool batching_ = false;
  std::vector<PendingWrite> pending_;
  std::vector<CachedFile> cache_;
};

// The machine defaults a new installation starts with, used while no machine file exists.
std::shared_ptr<const RegDocument> BuiltInMachineDefaults();

}  // namespace zantrel
