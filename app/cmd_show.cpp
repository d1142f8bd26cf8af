// zantrel show: the settings of a new project, in bag order, with their data
// type, flags and value.
#include <cstdio>
#include <string>

#include "cli.h"
#include "core/convert.h"
#include "json.h"
#include "project/project.h"
#include "project_file.h"

namespace zantrel::cli {
namespace {

std::string Flags(const PropertyMeta& p) {
  std::string flags;
  auto add = [&flags](std::string_view f) { flags += (flags.empty() ? "" : ",") + std::string(f); };
  if (p.regSave) add(p.regFormat == 4 ? "user-default:number" : "user-default:string");
  if (p.fileSave) add("file");
  if (p.sync) add("sync");
  return flags;
}

std::string DisplayValue(const Variant& v) {
  if (v.IsEmpty()) return "(empty)";
  if (v.IsString()) return JsonString(v.AsString());
  return CStr(v);
}

void PrintJson(const ObProperties& bag) {
  std::printf("[\n");
  for (int32_t i = 0; i < bag.Count(); ++i) {
    const PropertyMeta& p = bag.MetaAt(i);
    std::printf("  {\"name\": %s, \"dataType\": %s, \"regSave\": %s, \"regFormat\": %d, \"fileSave\": %s, "
                "\"sync\": %s, \"value\": %s}%s\n",
                JsonString(p.name).c_str(), JsonString(p.dataType).c_str(), p.regSave ? "true" : "false",
                p.regFormat, p.fileSave ? "true" : "false", p.sync ? "true" : "false", JsonValue(bag.ValueAt(i)).c_str(),
                i + 1 < bag.Count() ? "," : "");
  }
  std::printf("]\n");
}

void PrintText(const ObProperties& bag) {
  for (int32_t i = 0; i < bag.Count(); ++i) {
    const PropertyMeta& p = bag.MetaAt(i);
    std::printf("%-22s %-8s %-36s %s\n", p.name.c_str(), p.dataType.c_str(), Flags(p).c_str(),
                DisplayValue(bag.ValueAt(i)).c_str());
  }
}

}  // namespace

int RunShow(const std::vector<std::string>& args) {
  ArgParser parser(args, {"table", "field", "sync"}, {"json", "database"});
  const auto& pos = parser.positionals();
  if (pos.size() > 1) throw UsageError("unexpected argument '" + pos[1] + "'");
  if (pos.empty() && (parser.has("table") || parser.has("field") || parser.flag("database")))
    throw UsageError("--database, --table and --field need a PROJECT file");
  CheckOneScope(parser.flag("database"), parser.has("table"), parser.has("field"));
  const SyncAnswer sync = ParseSyncAnswer(parser.option("sync", "ask"), "sync");
  Ref<ObP> project = pos.empty() ? MakeRef<ObP>() : LoadProjectChecked(pos[0], sync);
  ObProperties& bag = SelectBag(*project, parser.option("table"), parser.option("field"), parser.flag("database"));
  if (parser.flag("json"))
    PrintJson(bag);
  else
    PrintText(bag);
  return kExitOk;
}

}  // namespace zantrel::cli
