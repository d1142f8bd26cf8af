// Scripting.Dictionary: items in insertion order with a hash index by key.
// Keys compare by value (1 and 1.0 are one key, "1" another); strings compare
// binary unless CompareMode is 1 (text), which may change only while empty.
// Reading a missing key through Item adds it with Empty, as VBScript does.
#include <unordered_map>

#include "core/convert.h"
#include "core/error.h"
#include "core/names.h"
#include "script/objects.h"

namespace zantrel::script {
namespace {

constexpr int32_t kElementNotFound = 32811;

class Dictionary : public HostObject<Dictionary> {
 public:
  static const MemberTable<Dictionary>& Members();

  struct Entry {
    Variant key, item;
  };
  std::vector<Entry> entries;
  std::unordered_map<std::string, std::size_t> index;
  int32_t compareMode = 0;

  std::string Norm(const Variant& key) const {
    switch (key.type()) {
      case VarType::String: return "s" + (compareMode == 1 ? FoldName(key.RawString()) : key.RawString());
      case VarType::Empty: return "e";
      case VarType::Null: return "z";
      case VarType::Object: {
        char buf[32];
        std::snprintf(buf, sizeof buf, "o%p", static_cast<const void*>(key.RawObject()));
        return buf;
      }
      case VarType::Array: Raise(err::kTypeMismatch);
      default: return "n" + FormatDouble(CDbl(key));
    }
  }

  std::ptrdiff_t Find(const Variant& key) const {
    auto it = index.find(Norm(key));
    return it == index.end() ? -1 : static_cast<std::ptrdiff_t>(it->second);
  }

  std::size_t Add(const Variant& key, Variant item) {
    index.emplace(Norm(key), entries.size());
    entries.push_back(Entry{key, std::move(item)});
    return entries.size() - 1;
  }

  void RemoveAt(std::size_t i) {
    index.erase(Norm(entries[i].key));
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(i));
    for (auto& [k, pos] : index)
      if (pos > i) --pos;
  }

  Ref<Enumerator> NewEnum() override;
};

class KeyEnum : public Enumerator {
 public:
  explicit KeyEnum(std::vector<Variant> keys) : keys_(std::move(keys)) {}
  bool Next(Variant& out) override {
    if (i_ >= keys_.size()) return false;
    out = keys_[i_++];
    return true;
  }
  void Reset() override { i_ = 0; }

 private:
  std::vector<Variant> keys_;
  std::size_t i_ = 0;
};

Ref<Enumerator> Dictionary::NewEnum() {
  std::vector<Variant> keys;
  for (const Entry& e : entries) keys.push_back(e.key);
  return MakeRef<KeyEnum>(std::move(keys));
}

Variant Key(const Variant& v) {
  if (v.IsObject()) return v;
  return v;
}

const MemberTable<Dictionary>& Dictionary::Members() {
  static const MemberTable<Dictionary> table(
      "Dictionary",
      {
          {"Item",
           [](Dictionary& d, Args a) {
             const Variant& key = Arg(a, 0);
             std::ptrdiff_t i = d.Find(key);
             if (i < 0) i = static_cast<std::ptrdiff_t>(d.Add(Key(key), Variant()));
             return d.entries[i].item;
           },
           [](Dictionary& d, Args a, const Variant& v) {
             const Variant& key = Arg(a, 0);
             const std::ptrdiff_t i = d.Find(key);
             if (i < 0) d.Add(Key(key), v);
             else d.entries[i].item = v;
           }},
          {"Add", [](Dictionary& d, Args a) {
             const Variant& key = Arg(a, 0);
             if (d.Find(key) >= 0) Raise(err::kDuplicateKey);
             d.Add(Key(key), Arg(a, 1));
             return Variant();
           }, nullptr},
          {"Exists", [](Dictionary& d, Args a) { return Variant(d.Find(Arg(a, 0)) >= 0); }, nullptr},
          {"Remove", [](Dictionary& d, Args a) {
             const std::ptrdiff_t i = d.Find(Arg(a, 0));
             if (i < 0) Raise(kElementNotFound);
             d.RemoveAt(static_cast<std::size_t>(i));
             return Variant();
           }, nullptr},
          {"RemoveAll", [](Dictionary& d, Args a) { NoArgs(a);
             d.entries.clear();
             d.index.clear();
             return Variant();
           }, nullptr},
          {"Keys", [](Dictionary& d, Args a) { NoArgs(a);
             std::vector<Variant> keys;
             for (const Entry& e : d.entries) keys.push_back(e.key);
             return Variant(SafeArray::FromVector(std::move(keys)));
           }, nullptr},
          {"Items", [](Dictionary& d, Args a) { NoArgs(a);
             std::vector<Variant> items;
             for (const Entry& e : d.entries) items.push_back(e.item);
             return Variant(SafeArray::FromVector(std::move(items)));
           }, nullptr},
          {"Count", [](Dictionary& d, Args a) { NoArgs(a); return Variant(static_cast<int32_t>(d.entries.size())); }, nullptr},
          {"Key", nullptr,
           [](Dictionary& d, Args a, const Variant& v) {
             const std::ptrdiff_t i = d.Find(Arg(a, 0));
             if (i < 0) Raise(kElementNotFound);
             if (d.Find(v) >= 0) Raise(err::kDuplicateKey);
             d.index.erase(d.Norm(d.entries[i].key));
             d.entries[i].key = v;
             d.index.emplace(d.Norm(v), static_cast<std::size_t>(i));
           }},
          {"CompareMode", [](Dictionary& d, Args a) { NoArgs(a); return Variant(d.compareMode); },
           [](Dictionary& d, Args, const Variant& v) {
             if (!d.entries.empty()) Raise(err::kInvalidCall);
             d.compareMode = CLng(v);
           }},
      },
      "Item");
  return table;
}

}  // namespace

Ref<Dispatch> NewDictionary() { return MakeRef<Dictionary>(); }

}  // namespace zantrel::script
