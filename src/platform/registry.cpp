// cRegistry on top of the registry files: maps root keys to stores, converts
// between variants and stored values, and words the failures the engine shows.
#include "platform/registry.h"

#include <algorithm>

#include <cmath>
#include <utility>

#include "core/convert.h"
#include "core/error.h"

namespace zantrel::embedded {
extern const std::string_view machine_defaults;
}

namespace zantrel {
namespace {

constexpr const char* kSource = "zantrel.cRegistry";

// Text meant for expansion holds a '%' with another '%' two or more characters later.
bool NamesEnvironment(std::string_view text) {
  const std::size_t first = text.find('%');
  return first != std::string_view::npos && text.find('%', first + 2) != std::string_view::npos;
}

Variant ToVariant(const RegValue& value) {
  switch (EncodingOf(value.type)) {
    case RegEncoding::Text:
      return Variant(value.type == kRegExpandSz ? ExpandEnvironment(value.text) : value.text);
    case RegEncoding::TextList: {
      std::string joined;
      for (std::size_t i = 0; i < value.strings.size(); ++i) (i ? joined += '\0' : joined) += value.strings[i];
      return Variant(std::move(joined));
    }
    case RegEncoding::Number:
    case RegEncoding::BigEndian:
      return Variant(static_cast<int32_t>(value.number));
    case RegEncoding::Bytes:
      break;
  }
  std::vector<Variant> items;
  for (uint8_t b : value.bytes) items.push_back(Variant::Byte(b));
  return Variant(SafeArray::FromVector(std::move(items)));
}

std::optional<uint8_t> ByteOf(const Variant& item) {
  switch (item.type()) {
    case VarType::Byte: return item.AsByte();
    case VarType::Integer:
    case VarType::Long:
    case VarType::Single:
    case VarType::Double:
    case VarType::Currency: {
      const double d = CDbl(item);
      if (d >= 0 && d <= 255 && d == std::floor(d)) return static_cast<uint8_t>(d);
      return std::nullopt;
    }
    default: return std::nullopt;
  }
}

// The bytes of a one-dimensional array of bytes or small whole numbers.
std::optional<std::vector<uint8_t>> BytesOf(const Variant& value) {
  if (!value.IsArray() || value.AsArray().Dimensions() > 1) return std::nullopt;
  std::vector<uint8_t> bytes;
  for (const Variant& item : value.AsArray().data()) {
    const std::optional<uint8_t> b = ByteOf(item);
    if (!b) return std::nullopt;
    bytes.push_back(*b);
  }
  return bytes;
}

// The value as error texts show it; "" when it has no text form.
std::string TextOf(const Variant& value) {
  try {
    return CStr(value);
  } catch (const Error&) {
    return {};
  }
}

}  // namespace

std::optional<RegistryStore> cRegistry::Store() {
  if (ClassKey == kHKeyCurrentUser) return RegistryStore::User();
  if (ClassKey == kHKeyLocalMachine) return RegistryStore::Machine();
  problem_ = "registry root key " + std::to_string(ClassKey) + " is not available";
  return std::nullopt;
}

// The machine defaults a new installation starts with, used while no machine
// file exists.
std::shared_ptr<const RegDocument> BuiltInMachineDefaults() {
  static const auto doc =
      std::make_shared<const RegDocument>(ParseRegistryText(embedded::machine_defaults, "built-in machine defaults"));
  return doc;
}

std::shared_ptr<const RegDocument> cRegistry::Parsed(const RegistryStore& store) {
  struct stat st {};
  const std::string path = store.file().string();
  const bool exists = ::stat(path.c_str(), &st) == 0;
  if (!exists && ClassKey == kHKeyLocalMachine) return BuiltInMachineDefaults();
  for (const CachedFile& c : cache_) {
    if (c.path == path && c.device == st.st_dev && c.inode == st.st_ino && c.size == (exists ? st.st_size : -1) &&
        c.modified.tv_sec == st.st_mtim.tv_sec && c.modified.tv_nsec == st.st_mtim.tv_nsec)
      return c.doc;
  }
  auto doc = std::make_shared<const RegDocument>(exists ? store.Load() : RegDocument());
  std::erase_if(cache_, [&](const CachedFile& c) { return c.path == path; });
  cache_.push_back({path, st.st_dev, st.st_ino, exists ? st.st_size : -1, st.st_mtim, doc});
  return doc;
}

std::shared_ptr<const RegDocument> cRegistry::Open() {
  std::optional<RegistryStore> store = Store();
  if (!store) return nullptr;
  try {
    return Parsed(*store);
  } catch (const RegistryError& e) {
    problem_ = e.what();
    return nullptr;
  }
}

void cRegistry::Fail(const std::string& description, const std::string& reason) {
  problem_ = reason.empty() ? description : description + ": " + reason;
  Raise(err::kRegistry, problem_, kSource);
}

void cRegistry::FailWrite(const Variant& value, const std::string& reason) {
  Fail("Failed to set registry value Key: '" + RootAndSection() + "',Key: '" + ValueKey + "' to value: '" +
           TextOf(value) + "'",
       reason);
}

std::string cRegistry::RootAndSection() const { return std::to_string(ClassKey) + "',Section: '" + SectionKey; }

bool cRegistry::KeyExists() {
  problem_.clear();
  const auto doc = Open();
  return doc && doc->KeyExists(SectionKey);
}

bool cRegistry::CreateKey() {
  problem_.clear();
  const std::string description = "Failed to create registry Key: '" + SectionKey;
  std::optional<RegistryStore> store = Store();
  if (!store) Fail(description, problem_);
  try {
    store->CreateKey(SectionKey);
    return true;
  } catch (const RegistryError& e) {
    Fail(description, e.what());
  }
}

bool cRegistry::DeleteKey() {
  problem_.clear();
  std::optional<RegistryStore> store = Store();
  if (!store) return false;
  try {
    return store->DeleteKey(SectionKey);
  } catch (const RegistryError& e) {
    Fail("Failed to delete registry Key: '" + RootAndSection(), e.what());
  }
}

bool cRegistry::DeleteValue() {
  problem_.clear();
  std::optional<RegistryStore> store = Store();
  if (!store) return false;
  try {
    if (!store->Load().FindValue(SectionKey, ValueKey)) return false;
  } catch (const RegistryError& e) {
    Fail("Failed to open key '" + RootAndSection() + "' for delete access", e.what());
  }
  try {
    return store->DeleteValue(SectionKey, ValueKey);
  } catch (const RegistryError& e) {
    Fail("Failed to delete registry Key: '" + RootAndSection() + "',Key: '" + ValueKey, e.what());
  }
}

Variant cRegistry::Value() {
  problem_.clear();
  const auto doc = Open();
  const RegValue* value = doc ? doc->FindValue(SectionKey, ValueKey) : nullptr;
  if (!value) return Default;
  ValueType = static_cast<int32_t>(value->type);
  return ToVariant(*value);
}

void cRegistry::Value(const Variant& value) {
  problem_.clear();
  RegValue data;
  switch (static_cast<uint32_t>(ValueType)) {
    case kRegSz:
    case kRegExpandSz: {
      std::string text = CStr(value);
      const uint32_t type = NamesEnvironment(text) ? kRegExpandSz : kRegSz;
      data = RegValue::String(std::move(text), type);
      break;
    }
    case kRegBinary: {
      std::optional<std::vector<uint8_t>> bytes = BytesOf(value);
      if (!bytes) FailWrite(value, {});
      data = RegValue::Binary(std::move(*bytes));
      break;
    }
    case kRegDword:
    case kRegDwordBigEndian:
      if (value.type() != VarType::Integer && value.type() != VarType::Long) return;
      data = RegValue::Number(static_cast<uint32_t>(CLng(value)));
      break;
    default:
      FailWrite(value, {});
  }
  std::optional<RegistryStore> store = Store();
  if (!store) FailWrite(value, problem_);
  if (batching_) {
    pending_.push_back({ClassKey, SectionKey, ValueKey, std::move(data), value});
    return;
  }
  try {
    store->Write(SectionKey, ValueKey, data);
  } catch (const RegistryError& e) {
    FailWrite(value, e.what());
  }
}

void cRegistry::CommitBatch() {
  batching_ = false;
  std::vector<PendingWrite> writes = std::move(pending_);
  pending_.clear();
  for (int32_t root : {kHKeyCurrentUser, kHKeyLocalMachine}) {
    auto first = std::find_if(writes.begin(), writes.end(), [root](const PendingWrite& w) { return w.root == root; });
    if (first == writes.end()) continue;
    ClassKey = root;
    try {
      Store()->Update([&](RegDocument& doc) {
        bool changed = false;
        for (const PendingWrite& w : writes)
          if (w.root == root) changed = doc.SetValue(w.section, w.name, w.data) || changed;
        return changed;
      });
    } catch (const RegistryError& e) {
      SectionKey = first->section;
      ValueKey = first->name;
      FailWrite(first->value, e.what());
    }
  }
}

bool cRegistry::Enumerate(ListFn list, std::vector<std::string>& names, int32_t& count) {
  problem_.clear();
  names.clear();
  count = 0;
  const auto doc = Open();
  if (!doc || !doc->KeyExists(SectionKey)) return false;
  names = ((*doc).*list)(SectionKey);
  count = static_cast<int32_t>(names.size());
  return true;
}

bool cRegistry::EnumerateValues(std::vector<std::string>& names, int32_t& count) {
  return Enumerate(&RegDocument::ValueNames, names, count);
}

bool cRegistry::EnumerateSections(std::vector<std::string>& names, int32_t& count) {
  return Enumerate(&RegDocument::SubkeyNames, names, count);
}

}  // namespace zantrel
