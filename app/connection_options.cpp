// Connection options and the password prompt.
#include "connection_options.h"

#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "schema/drivers/catalog.h"
#include "schema/drivers/jdbc_targets.h"

namespace zantrel::cli {
namespace {

// Reads one line from the terminal without echo.
std::string PromptPassword(const std::string& user) {
  std::fprintf(stderr, "Password for %s: ", user.c_str());
  std::fflush(stderr);
  termios old{};
  bool restore = tcgetattr(STDIN_FILENO, &old) == 0;
  if (restore) {
    termios quiet = old;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
  }
  std::string password;
  std::getline(std::cin, password);
  if (restore) tcsetattr(STDIN_FILENO, TCSANOW, &old);
  std::fprintf(stderr, "\n");
  return password;
}

void DefaultQuote(ObP& project, const std::string& type) {
  if (!project.sqlquote().empty()) return;
  if (type == "mysql") project.sqlquote("Backquote");
  else if (type == "sqlite" || type == "postgresql") project.sqlquote("Double Quote");
}

}  // namespace

std::vector<std::string> ConnectionOptionNames() {
  return {"type", "db", "host", "port", "user", "password-env", "sid", "method", "url", "encoding"};
}

std::string JdbcHint(const ConnectionOptions& c, const std::string& error) {
  if (catalog::Lower(c.method) != "jdbc" || error.find("JDBC") == std::string::npos) return "";
  const jdbc::Target* target = jdbc::FindTarget(c.type);
  std::string hint = "\nhint: the JDBC method needs the Java runtime library and the database's JDBC driver jar:"
                     "\n  zantrel config set JavaRuntimeLib /usr/lib/jvm/default-java/lib/server/libjvm.so";
  if (target) hint += "\n  zantrel config set " + std::string(target->jarSetting) + " /path/to/driver.jar";
  return hint;
}

ConnectionOptions ReadConnectionOptions(const ArgParser& parser) {
  ConnectionOptions o{parser.option("type"), parser.option("db"),     parser.option("host"),
                      parser.option("port"), parser.option("user"),   "",
                      parser.option("sid"),  parser.option("method"), parser.option("url"),
                      parser.option("encoding")};
  if (parser.has("password-env")) {
    const std::string var = parser.option("password-env");
    const char* value = std::getenv(var.c_str());
    if (!value) throw Failure("zantrel: environment variable " + var + " is not set");
    o.password = value;
  } else if (!o.user.empty() && o.type != "sqlite" && isatty(STDIN_FILENO)) {
    o.password = PromptPassword(o.user);
  }
  return o;
}

void LoadDatabase(ObP& project, ConnectionOptions c, const std::string& command) {
  if (c.db.empty()) throw UsageError("--type needs --db NAME (for sqlite: the database file)");
  if (c.type == "sqlite") c.db = std::filesystem::absolute(c.db).string();
  DefaultQuote(project, c.type);
  project.LoadDB(c.db, c.type, c.host, c.port, c.user, c.password, c.sid, c.method, c.url, c.encoding);
  if (!ObP::ProjErr().empty()) throw Failure("zantrel " + command + ": " + ObP::ProjErr() + JdbcHint(c, ObP::ProjErr()));
}

}  // namespace zantrel::cli
