// zantrel demo: the shop application, generated with the default template
// from a copy of the bundled demo database, or with --type/--db from a MariaDB
// or PostgreSQL database that holds the shop (examples/shop-dialect.py writes
// its SQL). The application goes to DEST (demo-app); the project file, uploads
// and the SQLite copy to DEST-data beside it, outside the folder a web server
// serves.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli.h"
#include "connection_options.h"
#include "core/context.h"
#include "generate/generate.h"
#include "project/project.h"
#include "platform/progress.h"
#include "platform/prompter.h"
#include "project_file.h"

namespace zantrel::cli {
namespace {

namespace fs = std::filesystem;

std::string Needed(const std::string& relative) {
  std::string path = ShippedFile(relative);
  if (path.empty()) throw Failure(relative + " not found (build the project, or set ZANTREL_DATA_DIR)");
  return path;
}

// Words separated by blanks; "\ " is a blank inside a word.
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words(1);
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == ' ') {
      words.back() += ' ';
      ++i;
    } else if (line[i] == ' ') {
      if (!words.back().empty()) words.emplace_back();
    } else {
      words.back() += line[i];
    }
  }
  if (words.back().empty()) words.pop_back();
  return words;
}

void CheckEngine(const std::string& what) {
  if (!ObP::ProjErr().empty()) throw Failure(what + ": " + ObP::ProjErr());
}

// One line of the demo settings file; a line starting "sqlite:" (or another
// database type and a colon) applies to that type of database only.
void ApplyLine(ObP& project, const std::string& dbType, std::string line) {
  std::size_t colon = line.find(':');
  if (colon != std::string::npos && colon < line.find(' ')) {
    if (line.substr(0, colon) != dbType) return;
    line.erase(0, colon + 1);
  }
  std::vector<std::string> words = Words(line);
  if (words.empty() || words[0][0] == '#') return;
  const std::string& verb = words[0];
  if (verb == "custom-view" && words.size() >= 3) {
    project.LoadCustomView(words[1], line.substr(line.find(words[2], verb.size() + words[1].size())), false);
    return CheckEngine("custom view " + words[1]);
  }
  if (verb == "report" && words.size() == 3) {
    project.LoadReport(words[1], words[2]);
    return CheckEngine("report " + words[1]);
  }
  if (verb == "database" && project.openDatabase()) {
    for (std::size_t i = 1; i < words.size(); ++i) SetSetting(project.openDatabase()->Properties(), words[i]);
    return;
  }
  std::size_t first = verb == "project" ? 1 : 2;
  if (words.size() < first) throw Failure("bad settings line: " + line);
  ObProperties& bag = SelectBag(project, verb == "table" ? words[1] : "", verb == "field" ? words[1] : "");
  for (std::size_t i = first; i < words.size(); ++i) SetSetting(bag, words[i]);
}

void ApplySettingsFile(ObP& project, const std::string& dbType, const std::string& file) {
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) ApplyLine(project, dbType, line);
}

// The shop from the bundled database, copied to DATA/shop.db on the first run.
void LoadBundledShop(ObP& project, const fs::path& data) {
  fs::path database = data / "shop.db";
  fs::create_directories(data);
  if (!fs::exists(database)) fs::copy_file(Needed("examples/shop.db"), database);
  project.LoadDB(database.string(), "sqlite", "", "", "", "", "", "", "", "");
  CheckEngine("loading " + database.string());
}

// The shop from the database the connection options name.
void LoadServerShop(ObP& project, const ArgParser& parser) {
  Connection c = ReadConnectionOptions(parser);
  LoadDatabase(project, c);
  ObPDatabase* db = project.openDatabase();
  if (!db || !db->tables().Find("products") || !db->tables().Find("order_items"))
    throw Failure(c.dbName + " does not hold the demo shop; load it first, for example with\n"
                  "  python3 examples/shop-dialect.py mariadb | mariadb " + c.dbName);
}

}  // namespace

int RunDemo(const std::vector<std::string>& args) {
  std::vector<std::string> values = ConnectionOptionNames();
  values.insert(values.end(), {"dest", "http-port"});
  ArgParser parser(args, values, {"serve", "quiet"});
  if (parser.has("http-port")) CheckPort(parser.option("http-port"), "http-port");
  if (!parser.positionals().empty()) throw UsageError("unexpected argument '" + parser.positionals()[0] + "'");
  if (parser.has("db") && !parser.has("type")) throw UsageError("--db needs --type");
  fs::path dest = fs::absolute(parser.option("dest", "demo-app"));
  fs::path data = dest.string() + "-data";

  auto project = MakeRef<ObP>();
  std::string dbType = parser.option("type", "sqlite");
  if (parser.has("type")) LoadServerShop(*project, parser);
  else LoadBundledShop(*project, data);
  ApplySettingsFile(*project, dbType, Needed("examples/shop-demo.settings"));
  fs::create_directories(data / "uploads");
  project->Template(Needed("templates/default.zip"));
  project->Destination(dest.string());
  project->UploadPath((data / "uploads").string() + "/");
  project->PromptOnOverwrite(false);
  project->OtherOverwrite(true);
  project->Save((data / "shop.zpr").string());

  if (TerminalProgress* progress = InstalledTerminalProgress()) progress->SetDraw(!parser.flag("quiet"));
  Prompts().Answer("template", PromptReply{1, false});  // always the shipped template
  const GenerateOutcome outcome = Generate(*project);
  if (!outcome.error.empty()) throw Failure("generation: " + outcome.error);
  const GenerationSummary& summary = outcome.summary;
  std::string port = parser.option("http-port", "8080");
  std::printf("The demo shop is in %s (%d files written; project%s in %s).\n", dest.c_str(), summary.written,
              parser.has("type") ? "" : " and database", data.c_str());
  std::printf("Open it with:  php -S 127.0.0.1:%s -t %s\n", port.c_str(), dest.c_str());
  std::printf("then browse to http://127.0.0.1:%s/ and log in as admin / admin-secret.\n", port.c_str());
  if (!parser.flag("serve")) return kExitOk;
  std::fflush(stdout);
  std::string address = "127.0.0.1:" + port;
  execlp("php", "php", "-S", address.c_str(), "-t", dest.c_str(), static_cast<char*>(nullptr));
  throw Failure("cannot run php (install php-cli): " + std::string(std::strerror(errno)));
}

}  // namespace zantrel::cli
