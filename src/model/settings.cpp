#include "model/settings.h"

#include <charconv>

#include "core/convert.h"
#include "core/error.h"

namespace zantrel {
namespace {

constexpr SettingInitial kNoInitial{};
constexpr SettingInitial Initial(const char* s) { return SettingInitial{s}; }
constexpr SettingInitial Initial(int16_t v) { return SettingInitial{v}; }
constexpr SettingInitial Initial(int32_t v) { return SettingInitial{v}; }

#define ZANTREL_SETTING(acc, key, type, regFormat, sync, access, initial) \
  SettingDef{#acc, key, SettingType::type, regFormat, sync, SettingAccess::access, initial},

const SettingDef kProject[] = {
#include "model/project_settings.def"
};
const SettingDef kDatabase[] = {
#include "model/database_settings.def"
};
const SettingDef kTable[] = {
#include "model/table_settings.def"
};
const SettingDef kField[] = {
#include "model/field_settings.def"
};
#undef ZANTREL_SETTING

const Variant& Require(const ObProperties& bag, std::string_view key, int32_t hint = -1) {
  const Variant* v = hint >= 0 ? bag.FindValue(key, hint) : bag.FindValue(key);
  if (!v) Raise(err::kObjectNotSet);
  return *v;
}

// One shared description per settings table and thread (reference counts are
// not atomic, so bags of different threads never share one).
Ref<BagSchema> SchemaOf(std::span<const SettingDef> defs) {
  thread_local std::vector<std::pair<const SettingDef*, Ref<BagSchema>>> cache;
  for (auto& [first, schema] : cache)
    if (first == defs.data()) return schema;
  auto schema = MakeRef<BagSchema>();
  for (const SettingDef& d : defs)
    schema->Append({std::string(d.key), std::string(SettingTypeName(d.type)), d.regSave(), d.regFormat, true, d.sync});
  cache.emplace_back(defs.data(), schema);
  return schema;
}

}  // namespace

std::span<const SettingDef> ProjectSettings() { return kProject; }
std::span<const SettingDef> DatabaseSettings() { return kDatabase; }
std::span<const SettingDef> TableSettings() { return kTable; }
std::span<const SettingDef> FieldSettings() { return kField; }

std::string_view SettingTypeName(SettingType type) {
  static constexpr std::string_view kNames[] = {"String", "Boolean", "Integer", "Long", "Variant"};
  return kNames[static_cast<int>(type)];
}

SettingType SettingTypeOf(std::string_view dataType) {
  for (SettingType type : {SettingType::Boolean, SettingType::Integer, SettingType::Long, SettingType::Variant})
    if (dataType == SettingTypeName(type)) return type;
  return SettingType::String;
}

Variant SettingFromText(std::string_view text, SettingType type) {
  switch (type) {
    case SettingType::Boolean:
      if (text == "1" || text == "0") return Variant(text == "1");
      return Variant(CBool(Variant(text)));
    case SettingType::Integer:
    case SettingType::Long: {
      const bool isLong = type == SettingType::Long;
      int32_t n = 0;
      auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
      if (ec == std::errc() && end == text.data() + text.size() && !text.empty()) {
        if (isLong) return Variant(n);
        if (n >= -32768 && n <= 32767) return Variant(static_cast<int16_t>(n));
      }
      Variant v(text);
      return isLong ? Variant(CLng(v)) : Variant(CInt(v));
    }
    default:
      return Variant(text);
  }
}

void RegisterSettings(ObProperties& bag, std::span<const SettingDef> defs) {
  if (bag.Count() == 0) {
    bag.AdoptSchema(SchemaOf(defs));
    return;
  }
  for (const SettingDef& d : defs) bag.Add(d.key, SettingTypeName(d.type), d.regSave(), d.regFormat, true, d.sync);
}

void ApplyInitialValues(ObProperties& bag, std::span<const SettingDef> defs) {
  for (const SettingDef& d : defs) {
    if (auto s = std::get_if<const char*>(&d.initial)) WriteValue(bag, d.key, Variant(*s));
    if (auto i = std::get_if<int16_t>(&d.initial)) WriteValue(bag, d.key, Variant(*i));
    if (auto l = std::get_if<int32_t>(&d.initial)) WriteValue(bag, d.key, Variant(*l));
  }
}

std::string ReadString(const ObProperties& bag, std::string_view key, int32_t hint) {
  return CStr(Require(bag, key, hint));
}
bool ReadBoolean(const ObProperties& bag, std::string_view key, int32_t hint) { return CBool(Require(bag, key, hint)); }
int16_t ReadInteger(const ObProperties& bag, std::string_view key, int32_t hint) { return CInt(Require(bag, key, hint)); }
int32_t ReadLong(const ObProperties& bag, std::string_view key, int32_t hint) { return CLng(Require(bag, key, hint)); }
Variant ReadVariant(const ObProperties& bag, std::string_view key, int32_t hint) { return Require(bag, key, hint); }

void WriteValue(ObProperties& bag, std::string_view key, Variant value, int32_t hint) {
  Variant* v = hint >= 0 ? bag.FindValue(key, hint) : bag.FindValue(key);
  if (!v) Raise(err::kObjectNotSet);
  *v = std::move(value);
}

Variant ReadTyped(const ObProperties& bag, const SettingDef& def, int32_t hint) {
  const Variant& v = Require(bag, def.key, hint);
  switch (def.type) {
    case SettingType::String: return Variant(CStr(v));
    case SettingType::Boolean: return Variant(CBool(v));
    case SettingType::Integer: return Variant(CInt(v));
    case SettingType::Long: return Variant(CLng(v));
    case SettingType::Variant: return v;
  }
  return v;
}

Variant ConvertForSetting(const SettingDef& def, const Variant& value) {
  switch (def.type) {
    case SettingType::String: return Variant(CStr(value));
    case SettingType::Boolean: return Variant(CBool(value));
    case SettingType::Integer: return Variant(CInt(value));
    case SettingType::Long: return Variant(CLng(value));
    case SettingType::Variant: return value;
  }
  return value;
}

}  // namespace zantrel
