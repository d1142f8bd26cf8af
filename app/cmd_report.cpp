// zantrel report: adds a report over a loaded table to a project.
#include "cli.h"
#include "project_file.h"

namespace zantrel::cli {

int RunReport(const std::vector<std::string>& args) {
  ArgParser parser(args, {"from"}, {});
  const auto& pos = parser.positionals();
  if (pos.size() != 2) throw UsageError("report takes a PROJECT file and a NAME");
  if (!parser.has("from")) throw UsageError("report needs --from TABLE");
  Ref<ObP> project = LoadProject(pos[0]);
  project->LoadReport(pos[1], parser.option("from"));
  if (!ObP::ProjErr().empty()) throw Failure(ObP::ProjErr());
  project->Save(pos[0]);
  return kExitOk;
}

}  // namespace zantrel::cli
