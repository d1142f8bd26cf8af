// zantrel set: changes settings of a project file. Each NAME=VALUE is converted
// by the setting's data type; an unknown name or a value that does not convert
// is refused and nothing is saved.
#include "cli.h"
#include "core/convert.h"
#include "core/error.h"
#include "model/project.h"
#include "project_file.h"

namespace zantrel::cli {
namespace {

Variant ConvertForType(const std::string& name, const std::string& text, const std::string& dataType) {
  try {
    if (dataType == "Boolean") {
      if (text == "1" || text == "0") return Variant(text == "1");
      return Variant(CBool(Variant(text)));
    }
    if (dataType == "Integer") return Variant(CInt(Variant(text)));
    if (dataType == "Long") return Variant(CLng(Variant(text)));
  } catch (const Error& e) {
    throw Failure("zantrel set: '" + text + "' is not a valid " + dataType + " for " + name + " (" +
                  e.description() + ")");
  }
  return Variant(text);
}

}  // namespace

int RunSet(const std::vector<std::string>& args) {
  ArgParser parser(args, {"table", "field"}, {});
  const auto& pos = parser.positionals();
  if (pos.size() < 2) throw UsageError("set takes a PROJECT file and at least one NAME=VALUE");
  if (parser.has("table") && parser.has("field")) throw UsageError("give --table or --field, not both");
  Ref<ObP> project = LoadProject(pos[0]);
  ObProperties& bag = SelectBag(*project, parser.option("table"), parser.option("field"));
  for (std::size_t i = 1; i < pos.size(); ++i) {
    std::size_t eq = pos[i].find('=');
    if (eq == std::string::npos || eq == 0) throw UsageError("'" + pos[i] + "' is not NAME=VALUE");
    std::string name = pos[i].substr(0, eq);
    int32_t at = bag.Find(name);
    if (at < 0) throw Failure("zantrel set: unknown setting '" + name + "'");
    bag.ValueAt(at) = ConvertForType(bag.MetaAt(at).name, pos[i].substr(eq + 1), bag.MetaAt(at).dataType);
  }
  project->Save(pos[0]);
  return kExitOk;
}

}  // namespace zantrel::cli
