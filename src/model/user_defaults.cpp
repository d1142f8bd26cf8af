// The user defaults: every setting flagged RegSave is kept in the per-user
// registry store and loaded into each new project, with the generator's own
// values. A user without defaults (no "Language" value) gets the machine
// defaults, which are then saved as theirs.
//
// These live with the object model because constructing ObPModel and AddProj load
// them; the registry store below them is the platform's.
#include <string_view>

#include "core/context.h"
#include "core/convert.h"
#include "core/error.h"
#include "model/project.h"
#include "platform/registry.h"

namespace zantrel {
namespace {

cRegistry& Registry(int32_t root, std::string_view valueName, int32_t type) {
  cRegistry& reg = Context().Service<cRegistry>();
  reg.ClassKey = root;
  reg.SectionKey = Context().SettingsKey();
  reg.ValueKey = std::string(valueName);
  reg.ValueType = type;
  reg.Default = Variant();
  return reg;
}

Variant ReadValue(int32_t root, std::string_view name, int32_t type) { return Registry(root, name, type).Value(); }

void WriteValue(std::string_view name, int32_t type, const Variant& value) {
  Registry(kHKeyCurrentUser, name, type).Value(value);
}

void ReadBag(int32_t root, ObProperties& bag) {
  for (int32_t i = 0; i < bag.Count(); ++i) {
    const PropertyMeta& m = bag.MetaAt(i);
    if (m.regSave) bag.ValueAt(i) = ConvertByTypeName(ReadValue(root, m.name, m.regFormat), m.dataType);
  }
}

void WriteBag(const ObProperties& bag) {
  for (int32_t i = 0; i < bag.Count(); ++i) {
    const PropertyMeta& m = bag.MetaAt(i);
    if (m.regSave) WriteValue(m.name, m.regFormat, bag.ValueAt(i));
  }
}

// Registry values of an unexpected type read as "" rather than failing.
std::string ToText(const Variant& v) {
  try {
    return CStr(v);
  } catch (const Error&) {
    return {};
  }
}

bool ToBoolean(const Variant& v) {
  try {
    return CBool(v);
  } catch (const Error&) {
    return false;
  }
}

// The module's date format follows defaultDateFormat when that is numeric.
void CopyDateFormat(const ObProperties& bag) {
  const Variant* v = bag.FindValue("defaultDateFormat");
  int16_t format = 0;
  try {
    if (v && ParseNumber(CStr(*v))) format = CInt(*v);
  } catch (const Error&) {
  }
  Context().dateFormat = format;
}

constexpr int32_t kString = 1;
constexpr int32_t kNumber = 4;

void ReadScriptEngineTimeout(int32_t root) {
  Variant timeout = ConvertByTypeName(ReadValue(root, "ScriptEngineTimeout", kNumber), "Long");
  Context().scriptEngineTimeout = timeout.IsEmpty() ? 0 : timeout.AsLong();
}

}  // namespace

void ObPModel::ReadUserDefaults(int32_t root) {
  ReadBag(root, Properties());
  if (ObPDatabase* open = openDatabase()) ReadBag(root, open->Properties());
}

void ObPModel::LoadMachineDefaults() {
  ReadUserDefaults(kHKeyLocalMachine);
  Language = ToText(ReadValue(kHKeyLocalMachine, "Language", kString));
  BackupFile = ToBoolean(ReadValue(kHKeyLocalMachine, "BackupFile", kString));
  CopyDateFormat(Properties());
  USERCODE = ToText(ReadValue(kHKeyLocalMachine, "USERCODE", kString));
  ReadScriptEngineTimeout(kHKeyLocalMachine);
}

void ObPModel::ResetFixedSettings() {
  for (std::string_view key : {"IncFiles", "IncVirtuals"}) zantrel::WriteValue(Properties(), key, Variant(""));
  SecType("None");
  for (std::string_view key : {"SecLoginID", "SecPasswd", "SecTbl", "SecLoginIDFld", "SecPasswdFld"})
    zantrel::WriteValue(Properties(), key, Variant(""));
  AutoSync(true);
  AutoBrowse(false);
  CreateVDir(false);
  OtherGen(true);
  OtherOverwrite(true);
  PromptOnOverwrite(true);
  LinkOnLeft(false);
  TopPageLink(false);
  PagerStyle(int16_t{2});
  MultiDelete(false);
}

void ObPModel::LoadDefault() {
  ReadUserDefaults(kHKeyCurrentUser);
  Language = ToText(ReadValue(kHKeyCurrentUser, "Language", kString));
  if (Language.empty()) {
    LoadMachineDefaults();
    try {
      SaveDefault();
    } catch (const Error&) {
      // A store that cannot be written still leaves the defaults applied in memory.
    }
  }
  BackupFile = ToBoolean(ReadValue(kHKeyCurrentUser, "BackupFile", kString));
  CopyDateFormat(Properties());
  USERCODE = ToText(ReadValue(kHKeyCurrentUser, "USERCODE", kString));
  // The first run saved the machine's time-out to the user's key; every run reads it from there.
  ReadScriptEngineTimeout(kHKeyCurrentUser);
  ResetFixedSettings();
  Variant threshold = ConvertByTypeName(ReadValue(kHKeyCurrentUser, "UnloadThresholdCount", kNumber), "Integer");
  int16_t count = threshold.IsEmpty() ? 0 : threshold.AsInteger();
  Context().unloadThreshold = count >= 1 ? count : 20;
}

void ObPModel::SaveDefault() {
  cRegistry& reg = Context().Service<cRegistry>();
  reg.BeginBatch();
  try {
    WriteUserDefaults();
  } catch (...) {
    reg.CommitBatch();
    throw;
  }
  reg.CommitBatch();
}

void ObPModel::WriteUserDefaults() {
  WriteBag(Properties());
  if (ObPDatabase* open = openDatabase()) WriteBag(open->Properties());
  WriteValue("Language", kString, Variant(Language));
  WriteValue("BackupFile", kString, Variant(std::string(FormatBoolean(BackupFile))));
  WriteValue("USERCODE", kString, Variant(USERCODE));
  WriteValue("ScriptEngineTimeout", kNumber, Variant(Context().scriptEngineTimeout));
}

}  // namespace zantrel
