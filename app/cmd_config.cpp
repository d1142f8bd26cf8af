// zantrel config: the user defaults (or with --machine the machine defaults)
// under the product's settings key of the registry store.
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "cli.h"
#include "core/context.h"
#include "model/project.h"
#include "platform/registry.h"
#include "platform/registry_store.h"

namespace zantrel::cli {
namespace {

uint32_t ParseDword(const std::string& text) {
  try {
    std::size_t used = 0;
    long long n = std::stoll(text, &used, 0);
    if (used != text.size() || n < INT32_MIN || n > UINT32_MAX) throw std::out_of_range(text);
    return static_cast<uint32_t>(n);
  } catch (const std::logic_error&) {
    throw UsageError("'" + text + "' is not a 32-bit number");
  }
}

std::vector<uint8_t> ParseBytes(const std::string& text) {
  std::string hex;
  for (char c : text)
    if (c != ',' && c != ' ' && c != ':') hex += c;
  if (hex.size() % 2 != 0) throw UsageError("binary data needs two hex digits per byte");
  std::vector<uint8_t> bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    std::size_t used = 0;
    unsigned long b = 0;
    try {
      b = std::stoul(hex.substr(i, 2), &used, 16);
    } catch (const std::logic_error&) {
    }
    if (used != 2) throw UsageError("'" + hex.substr(i, 2) + "' is not a hex byte");
    bytes.push_back(static_cast<uint8_t>(b));
  }
  return bytes;
}

RegValue MakeValue(const std::string& typeName, const std::vector<std::string>& values) {
  const RegTypeInfo* info = FindRegTypeByName(typeName);
  if (!info) throw UsageError("unknown type '" + typeName + "'");
  if (info->encoding == RegEncoding::TextList) return RegValue::MultiString(values);
  if (values.size() != 1) throw UsageError("set takes one VALUE for type " + typeName);
  switch (info->encoding) {
    case RegEncoding::Number:
    case RegEncoding::BigEndian:
      return RegValue::Number(ParseDword(values[0]), info->type);
    case RegEncoding::Bytes:
      return RegValue::Binary(ParseBytes(values[0]), info->type);
    default:
      return RegValue::String(values[0], info->type);
  }
}

// The value as a person reads it: text as is, numbers in decimal, bytes in hex,
// string lists one per line.
std::string DisplayData(const RegValue& v) {
  switch (EncodingOf(v.type)) {
    case RegEncoding::Text:
      return v.text;
    case RegEncoding::TextList: {
      std::string out;
      for (const std::string& s : v.strings) out += (out.empty() ? "" : "\n") + s;
      return out;
    }
    case RegEncoding::Number:
    case RegEncoding::BigEndian:
      return std::to_string(v.number);
    case RegEncoding::Bytes: {
      std::string out;
      char buf[4];
      for (uint8_t b : v.bytes) {
        std::snprintf(buf, sizeof buf, "%02x", b);
        out += (out.empty() ? "" : ",") + std::string(buf);
      }
      return out;
    }
  }
  return {};
}

// The machine defaults in effect: the machine file, or the built-in ones while there is none.
std::shared_ptr<const RegDocument> MachineDefaults() {
  RegistryStore machine = RegistryStore::Machine();
  if (!std::filesystem::exists(machine.file())) return BuiltInMachineDefaults();
  return std::make_shared<const RegDocument>(machine.Load());
}

// A user without a "Language" value has not had a first run yet: the next project
// would copy the machine defaults over the user's store. Doing it now, before a
// write, keeps what the user sets.
void EnsureFirstRun(const RegistryStore& user, const std::string& key) {
  std::optional<RegValue> language = user.Read(key, "Language");
  if (language && !language->text.empty()) return;
  ObPModel firstRun;  // constructing the model runs LoadDefault, which saves the machine defaults
}

void PrintEntry(const RegEntry& entry, bool fromMachine) {
  std::string data = FormatValueData(entry.value);
  std::printf("%s=%s%s\n", entry.name.empty() ? "@" : entry.name.c_str(), data.c_str(),
              fromMachine ? "  (machine default)" : "");
}

// The user's values, marked where they equal the machine default; without --machine,
// machine defaults the user has no value for follow, marked too.
int List(const RegistryStore& store, const std::string& key, bool machineOnly) {
  const RegDocument doc = store.Load();
  const RegKey* values = doc.FindKey(key);
  if (machineOnly) {
    if (values)
      for (const RegEntry& entry : values->values) PrintEntry(entry, false);
    return kExitOk;
  }
  const auto machineDoc = MachineDefaults();
  const RegKey* machine = machineDoc->FindKey(key);
  std::map<std::string, const RegValue*, std::less<>> machineValues;
  if (machine)
    for (const RegEntry& entry : machine->values) machineValues[entry.name] = &entry.value;
  if (values)
    for (const RegEntry& entry : values->values) {
      auto it = machineValues.find(entry.name);
      PrintEntry(entry, it != machineValues.end() && *it->second == entry.value);
      if (it != machineValues.end()) machineValues.erase(it);
    }
  if (machine)
    for (const RegEntry& entry : machine->values)
      if (machineValues.contains(entry.name)) PrintEntry(entry, true);
  return kExitOk;
}

int Get(const RegistryStore& store, const std::string& key, const std::string& name) {
  auto value = store.Read(key, name);
  if (!value) throw Failure("no value '" + name + "' in " + store.file().string());
  std::printf("%s\n", DisplayData(*value).c_str());
  return kExitOk;
}

}  // namespace

int RunConfig(const std::vector<std::string>& args) {
  ArgParser parser(args, {"type"}, {"machine"});
  const auto& pos = parser.positionals();
  if (pos.empty()) throw UsageError("missing action (list, get, set or unset)");
  RegistryStore store = parser.flag("machine") ? RegistryStore::Machine() : RegistryStore::User();
  std::string key = Context().SettingsKey();
  const std::string& action = pos[0];
  try {
    if (action == "list") {
      if (pos.size() != 1) throw UsageError("list takes no NAME");
      return List(store, key, parser.flag("machine"));
    }
    if (pos.size() < 2) throw UsageError(action + " needs a NAME");
    const std::string& name = pos[1];
    if (action == "get") {
      if (pos.size() != 2) throw UsageError("get takes one NAME");
      return Get(store, key, name);
    }
    const bool user = !parser.flag("machine");
    if (action == "set") {
      std::vector<std::string> values(pos.begin() + 2, pos.end());
      RegValue value = MakeValue(parser.option("type", "sz"), values);
      if (user) EnsureFirstRun(store, key);
      store.Write(key, name, value);
      return kExitOk;
    }
    if (action == "unset") {
      if (pos.size() != 2) throw UsageError("unset takes one NAME");
      if (user) EnsureFirstRun(store, key);
      if (!store.DeleteValue(key, name)) throw Failure("no value '" + name + "' to unset");
      return kExitOk;
    }
  } catch (const RegistryError& e) {
    throw Failure(e.what());
  }
  throw UsageError("unknown action '" + action + "'");
}

}  // namespace zantrel::cli
