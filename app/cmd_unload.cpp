// zantrel unload: drops the database and its whole schema from a project.
#include "cli.h"
#include "project_file.h"

namespace zantrel::cli {

int RunUnload(const std::vector<std::string>& args) {
  ArgParser parser(args, {}, {});
  const auto& pos = parser.positionals();
  if (pos.size() != 1) throw UsageError("unload takes one PROJECT file");
  Ref<ObP> project = LoadProject(pos[0]);
  project->UnLoadDB();
  project->Save(pos[0]);
  return kExitOk;
}

}  // namespace zantrel::cli
