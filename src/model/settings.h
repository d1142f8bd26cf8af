// The settings tables of the project, database, table and field, declared once as
// data in the *_settings.def files. The same rows register the bags, generate the
// typed C++ accessors and give scripts their members by name.
#pragma once

#include <cstdint>
#include <string>
#include <span>
#include <string_view>
#include <variant>
#include <vector>

#include "core/dispatch.h"
#include "core/variant.h"
#include "model/property_bag.h"

namespace zantrel {

enum class SettingType : uint8_t { String, Boolean, Integer, Long, Variant };
enum class SettingAccess : uint8_t { ReadWrite, ReadOnly, Hidden };

// An initial value given right after registration (most settings have none).
using SettingInitial = std::variant<std::monostate, const char*, int16_t, int32_t>;

struct SettingDef {
  std::string_view accessor;  // the typed property's name
  std::string_view key;       // the bag key, file attribute and registry value name
  SettingType type;
  int32_t regFormat;          // 0 none, 1 string, 4 number
  bool sync;
  SettingAccess access;
  SettingInitial initial;

  bool regSave() const { return regFormat != 0; }
};

std::span<const SettingDef> ProjectSettings();
std::span<const SettingDef> DatabaseSettings();
std::span<const SettingDef> TableSettings();
std::span<const SettingDef> FieldSettings();

std::string_view SettingTypeName(SettingType type);  // "String", "Boolean", …
// The type a bag's DataType names, compared exactly; String for another name.
SettingType SettingTypeOf(std::string_view dataType);

// Text from a project file or a command line as a value of the type: "1" and
// "0" or what CBool takes for Boolean, a 16-bit or 32-bit number for Integer
// and Long, the text itself otherwise. Text that does not convert raises the
// conversion's error.
Variant SettingFromText(std::string_view text, SettingType type);

// Adds one bag item per row: FileSave true, RegSave from the registry format.
void RegisterSettings(ObProperties& bag, std::span<const SettingDef> defs);
// Stores the rows' initial values.
void ApplyInitialValues(ObProperties& bag, std::span<const SettingDef> defs);

// Typed reads and writes of one setting; a missing item raises 91, a value that
// does not convert raises the conversion's error.
// hint: the position where the setting sits in a bag registered from its table.
std::string ReadString(const ObProperties& bag, std::string_view key, int32_t hint = -1);
bool ReadBoolean(const ObProperties& bag, std::string_view key, int32_t hint = -1);
int16_t ReadInteger(const ObProperties& bag, std::string_view key, int32_t hint = -1);
int32_t ReadLong(const ObProperties& bag, std::string_view key, int32_t hint = -1);
Variant ReadVariant(const ObProperties& bag, std::string_view key, int32_t hint = -1);
void WriteValue(ObProperties& bag, std::string_view key, Variant value, int32_t hint = -1);

// The value of a setting converted to its declared type, and a value converted
// for storing under that type (as the typed accessors do). hint as above.
Variant ReadTyped(const ObProperties& bag, const SettingDef& def, int32_t hint = -1);
Variant ConvertForSetting(const SettingDef& def, const Variant& value);

// Script members for every readable setting of a table: get converts to the type,
// let converts the given value and stores it.
template <class T>
void AddSettingMembers(std::vector<Member<T>>& members, std::span<const SettingDef> defs) {
  for (const SettingDef& def : defs) {
    if (def.access == SettingAccess::Hidden) continue;
    const SettingDef* d = &def;
    auto hint = static_cast<int32_t>(d - defs.data());
    Member<T> m{std::string(def.accessor), [d, hint](T& self, Args) { return ReadTyped(self.Properties(), *d, hint); },
                nullptr, kProperty};
    if (def.access == SettingAccess::ReadWrite)
      m.put = [d, hint](T& self, Args, const Variant& v) {
        WriteValue(self.Properties(), d->key, ConvertForSetting(*d, v), hint);
      };
    members.push_back(std::move(m));
  }
}

}  // namespace zantrel

// Typed accessors of a settings class, generated from a .def file inside the class body.
#define ZANTREL_ACCESS_ReadWrite(acc, key, type) \
  ZANTREL_GETTER_##type(acc, key) ZANTREL_SETTER_##type(acc, key)
#define ZANTREL_ACCESS_ReadOnly(acc, key, type) ZANTREL_GETTER_##type(acc, key)
#define ZANTREL_ACCESS_Hidden(acc, key, type)

#define ZANTREL_GETTER_String(acc, key) std::string acc() const { return ::zantrel::ReadString(Properties(), key, kSetting_##acc); }
#define ZANTREL_GETTER_Boolean(acc, key) bool acc() const { return ::zantrel::ReadBoolean(Properties(), key, kSetting_##acc); }
#define ZANTREL_GETTER_Integer(acc, key) int16_t acc() const { return ::zantrel::ReadInteger(Properties(), key, kSetting_##acc); }
#define ZANTREL_GETTER_Long(acc, key) int32_t acc() const { return ::zantrel::ReadLong(Properties(), key, kSetting_##acc); }
#define ZANTREL_GETTER_Variant(acc, key) ::zantrel::Variant acc() const { return ::zantrel::ReadVariant(Properties(), key, kSetting_##acc); }

#define ZANTREL_SETTER_String(acc, key) \
  void acc(std::string_view v) { ::zantrel::WriteValue(Properties(), key, ::zantrel::Variant(v), kSetting_##acc); }
#define ZANTREL_SETTER_Boolean(acc, key) \
  void acc(bool v) { ::zantrel::WriteValue(Properties(), key, ::zantrel::Variant(v), kSetting_##acc); }
#define ZANTREL_SETTER_Integer(acc, key) \
  void acc(int16_t v) { ::zantrel::WriteValue(Properties(), key, ::zantrel::Variant(v), kSetting_##acc); }
#define ZANTREL_SETTER_Long(acc, key) \
  void acc(int32_t v) { ::zantrel::WriteValue(Properties(), key, ::zantrel::Variant(v), kSetting_##acc); }
#define ZANTREL_SETTER_Variant(acc, key) \
  void acc(::zantrel::Variant v) { ::zantrel::WriteValue(Properties(), key, std::move(v), kSetting_##acc); }

#define ZANTREL_SETTING_ACCESSORS(acc, key, type, regFormat, sync, access, initial) \
  ZANTREL_ACCESS_##access(acc, key, type)
// The positions of the settings of a .def file, as kSetting_<accessor>.
#define ZANTREL_SETTING_INDEX(acc, key, type, regFormat, sync, access, initial) kSetting_##acc,
