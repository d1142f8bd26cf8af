// zantrel load-table: loads the fields of tables that a dynamic project listed
// without them, and saves the project.
#include "cli.h"
#include "project_file.h"

namespace zantrel::cli {

int RunLoadTable(const std::vector<std::string>& args) {
  ArgParser parser(args, {}, {});
  const auto& pos = parser.positionals();
  if (pos.size() < 2) throw UsageError("load-table takes a PROJECT file and one or more TABLE names");
  Ref<ObP> project = LoadProject(pos[0]);
  for (std::size_t i = 1; i < pos.size(); ++i) {
    project->LoadTable(pos[i]);
    if (!ObP::ProjErr().empty()) throw Failure(ObP::ProjErr());
  }
  project->Save(pos[0]);
  return kExitOk;
}

}  // namespace zantrel::cli
