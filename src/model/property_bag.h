// The property bag: ObProperties holds the named, typed settings of one project,
// database, table or field, in the order they were added, keyed by name without
// regard to case. The bag stores values exactly as given; converting them is the
// callers' business.
//
// Bags of one kind share one description of their settings (names, data types,
// flags): a bag holds only its values until its own structure changes, when it
// takes a private copy. This keeps a project of 100,000 fields small. ObProperty
// objects handed out by Item are views of one bag entry.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/dispatch.h"
#include "core/names.h"
#include "core/variant.h"

namespace zantrel {

// What a bag knows of one setting besides its value.
struct PropertyMeta {
  std::string name;
  std::string dataType;  // "String", "Boolean", "Integer", "Long", "Variant"; informative only
  bool regSave = false;   // has a per-user default
  int32_t regFormat = 0;  // registry type of that default: 1 string, 4 number, 0 none
  bool fileSave = false;  // written to and read from the project file
  bool sync = false;      // carried over when the definition is rebuilt
};

// The settings of a bag, shareable between bags of one kind.
class BagSchema : public RefCounted {
 public:
  int32_t size() const { return static_cast<int32_t>(items_.size()); }
  const PropertyMeta& at(int32_t i) const { return items_[i]; }
  int32_t Find(std::string_view name) const;  // -1 when absent
  void Append(PropertyMeta meta);
  void Erase(int32_t i);
  void Rename(int32_t i, std::string_view name);
  Ref<BagSchema> Clone() const;

 private:
  std::vector<PropertyMeta> items_;
  NameMap<int32_t> index_;
};

class ObProperties;

class ObProperty : public HostObject<ObProperty> {
 public:
  static const MemberTable<ObProperty>& Members();
  ObProperty() = default;  // a setting outside any bag
  ObProperty(Ref<ObProperties> bag, int32_t position);

  const std::string& Name() const { return Meta().name; }
  void Name(std::string_view name);
  const std::string& Key() const { return Name(); }
  void Key(std::string_view key) { Name(key); }
  const std::string& DataType() const { return Meta().dataType; }
  void DataType(std::string_view type);
  const Variant& Value() const;
  void Value(Variant value);
  bool RegSave() const { return Meta().regSave; }
  void RegSave(bool b);
  int32_t RegFormat() const { return Meta().regFormat; }
  void RegFormat(int32_t f);
  bool FileSave() const { return Meta().fileSave; }
  void FileSave(bool b);
  bool Sync() const { return Meta().sync; }
  void Sync(bool b);

 private:
  const PropertyMeta& Meta() const;
  PropertyMeta& MutableMeta();
  int32_t Position() const;  // the entry's current position in the bag, -1 when gone

  Ref<ObProperties> bag_;
  Ref<BagSchema> schema_;  // the bag's settings when the view was made: names the entry later
  mutable int32_t position_ = -1;
  mutable uint32_t version_ = 0;
  PropertyMeta ownMeta_;  // used outside a bag, or once the entry is gone
  Variant ownValue_;
};

class ObProperties : public HostObject<ObProperties> {
 public:
  static const MemberTable<ObProperties>& Members();
  ObProperties() : schema_(MakeRef<BagSchema>()) {}

  void Add(std::string_view name, std::string_view dataType = {}, bool regSave = false, int32_t regFormat = 0,
           bool fileSave = false, bool sync = false);
  int32_t Count() const { return static_cast<int32_t>(values_.size()); }
  // Removes by key (Raise "Key not found.") or 1-based position (Raise 9).
  void Delete(const Variant& index);
  // The setting for a key or a 1-based position; null when there is none.
  Ref<ObProperty> Item(const Variant& index);
  Ref<Enumerator> NewEnum() override;

  // Direct access for C++ callers; positions are 0-based, lookups never raise.
  int32_t Find(std::string_view key) const { return schema_->Find(key); }
  const PropertyMeta& MetaAt(int32_t position) const { return schema_->at(position); }
  const Variant& ValueAt(int32_t position) const { return values_[position]; }
  Variant& ValueAt(int32_t position) { return values_[position]; }
  const Variant* FindValue(std::string_view key) const;
  Variant* FindValue(std::string_view key);
  // The same with the position where the key usually sits, checked first.
  const Variant* FindValue(std::string_view key, int32_t hint) const {
    if (hint < Count() && schema_->at(hint).name == key) return &values_[hint];
    return FindValue(key);
  }
  Variant* FindValue(std::string_view key, int32_t hint) {
    return const_cast<Variant*>(static_cast<const ObProperties*>(this)->FindValue(key, hint));
  }
  const Ref<BagSchema>& schema() const { return schema_; }

  // Empties the bag; with a schema, gives it that schema's settings, all empty.
  void RemoveAll();
  void AdoptSchema(Ref<BagSchema> schema);

  uint32_t version() const { return version_; }
  PropertyMeta& MutableMetaAt(int32_t position);
  void RenameAt(int32_t position, std::string_view name);

 private:
  void MakeSchemaPrivate();

  Ref<BagSchema> schema_;
  std::vector<Variant> values_;
  uint32_t version_ = 0;  // changes whenever entries are added, removed or renamed
};

}  // namespace zantrel
