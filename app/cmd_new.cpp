// zantrel new: a new project file with the user's defaults.
#include <filesystem>

#include "cli.h"
#include "model/project.h"

namespace zantrel::cli {

int RunNew(const std::vector<std::string>& args) {
  ArgParser parser(args, {"name"}, {"force"});
  const auto& pos = parser.positionals();
  if (pos.size() != 1) throw UsageError("new takes one PROJECT file");
  const std::string& file = pos[0];
  if (std::filesystem::exists(file) && !parser.flag("force"))
    throw Failure("zantrel new: " + file + " exists (use --force to replace it)");
  auto project = MakeRef<ObP>();
  project->AddProj(parser.option("name", std::filesystem::path(file).stem().string()));
  project->Save(file);
  return kExitOk;
}

}  // namespace zantrel::cli
