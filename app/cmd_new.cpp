// zantrel new: a new project file with the user's defaults; with --type and
// --db, the project is made from a live database (all its tables, or with
// --dynamic only their names, for `zantrel load-table` to fill later).
#include <filesystem>

#include "cli.h"
#include "connection_options.h"
#include "model/project.h"

namespace zantrel::cli {
namespace {

// SQL quoting for the database type unless the user's defaults chose one.
void DefaultQuote(ObP& project, const std::string& type) {
  if (!project.sqlquote().empty()) return;
  if (type == "mysql") project.sqlquote("Backquote");
  else if (type == "sqlite" || type == "postgresql") project.sqlquote("Double Quote");
}

}  // namespace

int RunNew(const std::vector<std::string>& args) {
  std::vector<std::string> values = ConnectionOptionNames();
  values.push_back("name");
  ArgParser parser(args, values, {"force", "dynamic"});
  const auto& pos = parser.positionals();
  if (pos.size() != 1) throw UsageError("new takes one PROJECT file");
  const std::string& file = pos[0];
  if (std::filesystem::exists(file) && !parser.flag("force"))
    throw Failure("zantrel new: " + file + " exists (use --force to replace it)");
  if (parser.has("db") && !parser.has("type")) throw UsageError("--db needs --type");
  auto project = MakeRef<ObP>();
  project->AddProj(parser.option("name", std::filesystem::path(file).stem().string()));
  if (parser.has("type")) {
    ConnectionOptions c = ReadConnectionOptions(parser);
    if (c.db.empty()) throw UsageError("--type needs --db NAME (for sqlite: the database file)");
    if (c.type == "sqlite") c.db = std::filesystem::absolute(c.db).string();
    if (parser.flag("dynamic")) project->DynamicLoadDB(true);
    DefaultQuote(*project, c.type);
    project->LoadDB(c.db, c.type, c.host, c.port, c.user, c.password, c.sid, c.method, c.url, c.encoding);
    if (!ObP::ProjErr().empty()) throw Failure("zantrel new: " + ObP::ProjErr() + JdbcHint(c, ObP::ProjErr()));
  }
  project->Save(file);
  return kExitOk;
}

}  // namespace zantrel::cli
