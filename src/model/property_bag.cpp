#include "model/property_bag.h"

#include "core/convert.h"
#include "core/error.h"
#include "model/super_collection.h"

namespace zantrel {
namespace {

bool IsNumericIndex(const Variant& v) {
  switch (v.type()) {
    case VarType::Integer: case VarType::Long: case VarType::Byte:
    case VarType::Single: case VarType::Double: case VarType::Currency: case VarType::Boolean:
      return true;
    default:
      return false;
  }
}

}  // namespace

int32_t BagSchema::Find(std::string_view name) const {
  auto it = index_.find(name);
  return it == index_.end() ? -1 : it->second;
}

void BagSchema::Append(PropertyMeta meta) {
  index_.emplace(meta.name, size());
  items_.push_back(std::move(meta));
}

void BagSchema::Erase(int32_t i) {
  items_.erase(items_.begin() + i);
  index_.clear();
  for (int32_t k = 0; k < size(); ++k) index_.emplace(items_[k].name, k);
}

void BagSchema::Rename(int32_t i, std::string_view name) {
  index_.erase(items_[i].name);
  items_[i].name = std::string(name);
  index_.emplace(items_[i].name, i);
}

Ref<BagSchema> BagSchema::Clone() const {
  auto copy = MakeRef<BagSchema>();
  copy->items_ = items_;
  copy->index_ = index_;
  return copy;
}

void ObProperties::MakeSchemaPrivate() {
  if (schema_->RefCount() > 1) schema_ = schema_->Clone();
}

void ObProperties::Add(std::string_view name, std::string_view dataType, bool regSave, int32_t regFormat,
                       bool fileSave, bool sync) {
  if (Find(name) >= 0) Raise(err::kDuplicateKey, {}, "zantrel.ObProperties");
  MakeSchemaPrivate();
  schema_->Append({std::string(name), std::string(dataType), regSave, regFormat, fileSave, sync});
  values_.emplace_back();
  ++version_;
}

void ObProperties::Delete(const Variant& index) {
  int32_t position;
  if (IsNumericIndex(index)) {
    position = CLng(index) - 1;
    if (position < 0 || position >= Count()) Raise(err::kSubscript);
  } else if (index.IsString()) {
    position = Find(index.AsString());
    if (position < 0) Raise(err::kKeyNotFound, "Key not found.");
  } else {
    Raise(err::kInvalidDatatype, "Invalid datatype");
  }
  MakeSchemaPrivate();
  schema_->Erase(position);
  values_.erase(values_.begin() + position);
  ++version_;
}

Ref<ObProperty> ObProperties::Item(const Variant& index) {
  int32_t position = -1;
  if (IsNumericIndex(index)) {
    position = CLng(index) - 1;
  } else if (index.IsString()) {
    position = Find(index.AsString());
  } else {
    Raise(err::kInvalidDatatype, "Invalid datatype");
  }
  if (position < 0 || position >= Count()) return nullptr;
  return MakeRef<ObProperty>(Ref<ObProperties>(this), position);
}

Ref<Enumerator> ObProperties::NewEnum() {
  std::vector<Variant> items;
  items.reserve(values_.size());
  for (int32_t i = 0; i < Count(); ++i) items.push_back(ObjectVariant(MakeRef<ObProperty>(Ref<ObProperties>(this), i)));
  return MakeRef<VariantListEnumerator>(std::move(items));
}

const Variant* ObProperties::FindValue(std::string_view key) const {
  int32_t position = Find(key);
  return position < 0 ? nullptr : &values_[position];
}

Variant* ObProperties::FindValue(std::string_view key) {
  int32_t position = Find(key);
  return position < 0 ? nullptr : &values_[position];
}

void ObProperties::RemoveAll() {
  schema_ = MakeRef<BagSchema>();
  values_.clear();
  ++version_;
}

void ObProperties::AdoptSchema(Ref<BagSchema> schema) {
  schema_ = std::move(schema);
  values_.assign(schema_->size(), Variant());
  ++version_;
}

PropertyMeta& ObProperties::MutableMetaAt(int32_t position) {
  MakeSchemaPrivate();
  return const_cast<PropertyMeta&>(schema_->at(position));
}

void ObProperties::RenameAt(int32_t position, std::string_view name) {
  MakeSchemaPrivate();
  schema_->Rename(position, name);
  ++version_;
}

ObProperty::ObProperty(Ref<ObProperties> bag, int32_t position)
    : bag_(std::move(bag)), schema_(bag_->schema()), position_(position), version_(bag_->version()) {}

// A view follows its entry by name when the bag's structure has changed since
// (a bag never changes a schema that a view holds: it copies it first). Once the
// entry is gone the view keeps the last setting as its own.
int32_t ObProperty::Position() const {
  if (!bag_) return -1;
  if (version_ != bag_->version()) {
    const std::string& name = schema_->at(position_).name;
    int32_t now = bag_->Find(name);
    auto* self = const_cast<ObProperty*>(this);
    if (now < 0) {
      self->ownMeta_ = schema_->at(position_);
      self->ownValue_ = Variant();
      self->bag_ = nullptr;
      self->schema_ = nullptr;
      return -1;
    }
    self->schema_ = bag_->schema();
    position_ = now;
    version_ = bag_->version();
  }
  return position_;
}

const PropertyMeta& ObProperty::Meta() const {
  int32_t p = Position();
  return p >= 0 ? bag_->MetaAt(p) : ownMeta_;
}

PropertyMeta& ObProperty::MutableMeta() {
  int32_t p = Position();
  return p >= 0 ? bag_->MutableMetaAt(p) : ownMeta_;
}

const Variant& ObProperty::Value() const {
  int32_t p = Position();
  return p >= 0 ? bag_->ValueAt(p) : ownValue_;
}

void ObProperty::Value(Variant value) {
  int32_t p = Position();
  (p >= 0 ? bag_->ValueAt(p) : ownValue_) = std::move(value);
}

void ObProperty::Name(std::string_view name) {
  int32_t p = Position();
  if (p < 0) {
    ownMeta_.name = std::string(name);
    return;
  }
  bag_->RenameAt(p, name);
  schema_ = bag_->schema();
  version_ = bag_->version();
}

void ObProperty::DataType(std::string_view type) { MutableMeta().dataType = std::string(type); }
void ObProperty::RegSave(bool b) { MutableMeta().regSave = b; }
void ObProperty::RegFormat(int32_t f) { MutableMeta().regFormat = f; }
void ObProperty::FileSave(bool b) { MutableMeta().fileSave = b; }
void ObProperty::Sync(bool b) { MutableMeta().sync = b; }

const MemberTable<ObProperty>& ObProperty::Members() {
  using P = ObProperty;
  static const MemberTable<P> table(
      "ObProperty",
      {
          {"Key", [](P& p, Args) { return Variant(p.Key()); }, [](P& p, Args, const Variant& v) { p.Key(CStr(v)); }},
          {"Name", [](P& p, Args) { return Variant(p.Name()); },
           [](P& p, Args, const Variant& v) { p.Name(CStr(v)); }},
          {"DataType", [](P& p, Args) { return Variant(p.DataType()); },
           [](P& p, Args, const Variant& v) { p.DataType(CStr(v)); }},
          {"Value", [](P& p, Args) { return p.Value(); }, [](P& p, Args, const Variant& v) { p.Value(v); }},
          {"RegSave", [](P& p, Args) { return Variant(p.RegSave()); },
           [](P& p, Args, const Variant& v) { p.RegSave(CBool(v)); }},
          {"RegFormat", [](P& p, Args) { return Variant(p.RegFormat()); },
           [](P& p, Args, const Variant& v) { p.RegFormat(CLng(v)); }},
          {"FileSave", [](P& p, Args) { return Variant(p.FileSave()); },
           [](P& p, Args, const Variant& v) { p.FileSave(CBool(v)); }},
          {"Sync", [](P& p, Args) { return Variant(p.Sync()); }, [](P& p, Args, const Variant& v) { p.Sync(CBool(v)); }},
      },
      "Value");
  return table;
}

const MemberTable<ObProperties>& ObProperties::Members() {
  using B = ObProperties;
  static const MemberTable<B> table(
      "ObProperties",
      {
          {"Add",
           [](B& b, Args a) {
             b.Add(CStr(Arg(a, 0)), CStr(OptArg(a, 1, "")), CBool(OptArg(a, 2, false)), CLng(OptArg(a, 3, int32_t{0})),
                   CBool(OptArg(a, 4, false)), CBool(OptArg(a, 5, false)));
             return Variant();
           },
           nullptr},
          {"Count", [](B& b, Args) { return Variant(b.Count()); }, nullptr},
          {"Delete",
           [](B& b, Args a) {
             b.Delete(Arg(a, 0));
             return Variant();
           },
           nullptr},
          {"Item", [](B& b, Args a) { return ObjectVariant(b.Item(Arg(a, 0))); }, nullptr},
      },
      "Item");
  return table;
}

}  // namespace zantrel
