// zantrel set: changes settings of a project file (or of its database, a table or a field). Each NAME=VALUE is converted
// by the setting's data type; an unknown name or a value that does not convert
// is refused and nothing is saved.
#include "cli.h"
#include "project/project.h"
#include "project_file.h"

namespace zantrel::cli {
int RunSet(const std::vector<std::string>& args) {
  ArgParser parser(args, {"table", "field"}, {"database"});
  const auto& pos = parser.positionals();
  if (pos.size() < 2) throw UsageError("set takes a PROJECT file and at least one NAME=VALUE");
  CheckOneScope(parser.flag("database"), parser.has("table"), parser.has("field"));
  Ref<ObP> project = LoadProject(pos[0]);
  ObProperties& bag = SelectBag(*project, parser.option("table"), parser.option("field"), parser.flag("database"));
  for (std::size_t i = 1; i < pos.size(); ++i) SetSetting(bag, pos[i]);
  project->Save(pos[0]);
  return kExitOk;
}

}  // namespace zantrel::cli
