// zantrel new: a new project file with the user's defaults; with --type and
// --db, the project is made from a live database (all its tables, or with
// --dynamic only their names, for `zantrel load-table` to fill later).
#include <filesystem>
#include <optional>

#include "cli.h"
#include "connection_options.h"
#include "project/project.h"

namespace zantrel::cli {

int RunNew(const std::vector<std::string>& args) {
  std::vector<std::string> values = ConnectionOptionNames();
  values.push_back("name");
  ArgParser parser(args, values, {"force", "dynamic"});
  const auto& pos = parser.positionals();
  if (pos.size() != 1) throw UsageError("new takes one PROJECT file");
  const std::string& file = pos[0];
  if (std::filesystem::exists(file) && !parser.flag("force"))
    throw Failure(file + " exists (use --force to replace it)");
  if (parser.has("db") && !parser.has("type")) throw UsageError("--db needs --type");
  std::optional<Connection> connection;
  if (parser.has("type")) connection = ReadConnectionOptions(parser);
  auto project = MakeRef<ObP>();
  project->AddProj(parser.option("name", std::filesystem::path(file).stem().string()));
  if (connection) {
    if (parser.flag("dynamic")) project->DynamicLoadDB(true);
    LoadDatabase(*project, *connection);
  }
  project->Save(file);
  return kExitOk;
}

}  // namespace zantrel::cli
