// zantrel databases: the databases of a server, one per line.
#include <cstdio>

#include "cli.h"
#include "connection_options.h"
#include "project/project.h"
#include "schema/load.h"

namespace zantrel::cli {

int RunDatabases(const std::vector<std::string>& args) {
  ArgParser parser(args, ConnectionOptionNames(), {});
  if (!parser.positionals().empty()) throw UsageError("databases takes no positional arguments");
  if (!parser.has("type")) throw UsageError("databases needs --type");
  Connection c = ReadConnectionOptions(parser);
  auto project = MakeRef<ObP>();
  std::string names = LoadDatabaseNames(*project, c);
  // LoadDatabaseNames leaves the error text alone; the driver's answer decides.
  for (std::size_t start = 0; start < names.size();) {
    std::size_t end = names.find("\r\n", start);
    if (end == std::string::npos) end = names.size();
    std::printf("%s\n", names.substr(start, end - start).c_str());
    start = end + 2;
  }
  return kExitOk;
}

}  // namespace zantrel::cli
