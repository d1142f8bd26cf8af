// zantrel new: a new project file with the user's defaults; with --type and
// --db, the project is made from a live database (all its tables, or with
// --dynamic only their names, for `zantrel load-table` to fill later).
#include <cstdio>
#include <filesystem>
#include <optional>

#include "cli.h"
#include "connection_options.h"
#include "project/project.h"

namespace zantrel::cli {
namespace {

// What was read from the database: "12 tables, 4 views, 87 fields from shop.db; 3 lookups from foreign keys".
void PrintWhatWasRead(ObP& project, const std::string& source) {
  ObPDatabase* database = project.openDatabase();
  if (!database) return;
  int tables = 0, views = 0, fields = 0, lookups = 0;
  for (int32_t t = 0; t < database->tables().Count(); ++t) {
    ObPTable& table = *database->tables().At(t);
    if (table.Kind() == TableKind::Table) ++tables;
    if (table.Kind() == TableKind::View) ++views;
    fields += table.Fields().Count();
    for (int32_t f = 0; f < table.Fields().Count(); ++f)
      if (!table.Fields().At(f)->FldTagLnkTbl().empty()) ++lookups;
  }
  auto plural = [](int n, const char* word) { return std::to_string(n) + " " + word + (n == 1 ? "" : "s"); };
  std::printf("%s, %s, %s from %s", plural(tables, "table").c_str(), plural(views, "view").c_str(),
              plural(fields, "field").c_str(), source.c_str());
  if (lookups > 0) std::printf("; %s from foreign keys", plural(lookups, "lookup").c_str());
  std::printf("\n");
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
  if (connection) PrintWhatWasRead(*project, std::filesystem::path(connection->dbName).filename().string());
  return kExitOk;
}

}  // namespace zantrel::cli
