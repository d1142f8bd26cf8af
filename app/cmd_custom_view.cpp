// zantrel custom-view: adds a custom view made from a SELECT to a project.
#include "cli.h"
#include "project_file.h"

namespace zantrel::cli {

int RunCustomView(const std::vector<std::string>& args) {
  ArgParser parser(args, {"sql"}, {"copy-fields"});
  const auto& pos = parser.positionals();
  if (pos.size() != 2) throw UsageError("custom-view takes a PROJECT file and a NAME");
  if (!parser.has("sql")) throw UsageError("custom-view needs --sql \"SELECT ...\"");
  Ref<ObP> project = LoadProject(pos[0]);
  project->LoadCustomView(pos[1], parser.option("sql"), parser.flag("copy-fields"));
  if (!ObP::ProjErr().empty()) throw Failure(ObP::ProjErr());
  project->Save(pos[0]);
  return kExitOk;
}

}  // namespace zantrel::cli
