// Connection options and the password prompt.
#include "connection_options.h"

#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "core/names.h"
#include "schema/load.h"
#include "schema/drivers/jdbc_targets.h"
#include "suggest.h"

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

std::string JdbcHint(const Connection& c, const Error& error) {
  const bool jdbcFailure = error.number() == err::kJdbcFailure || error.number() == err::kJdbcNotConfigured;
  if (!NameEquals(c.method, "jdbc") || !jdbcFailure) return "";
  const jdbc::Target* target = jdbc::FindTarget(c.dbType);
  std::string hint = "\nhint: the JDBC method needs the Java runtime library and the database's JDBC driver jar:"
                     "\n  zantrel config set JavaRuntimeLib /usr/lib/jvm/default-java/lib/server/libjvm.so";
  if (target) hint += "\n  zantrel config set " + std::string(target->jarSetting) + " /path/to/driver.jar";
  return hint;
}

void CheckPort(const std::string& text, const std::string& option) {
  const bool digits = !text.empty() && text.size() <= 5 &&
                      std::all_of(text.begin(), text.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
  if (!digits || std::stoi(text) < 1 || std::stoi(text) > 65535)
    throw UsageError("--" + option + " takes a port number from 1 to 65535, not '" + text + "'");
}

void CheckFilePresent(const std::string& path, const std::string& option) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec))
    throw UsageError(option + ": no such file '" + path + "'");
}

namespace {

// The argument checks of a connection, before anything is read or written.
void CheckConnectionOptions(const ArgParser& parser) {
  if (parser.has("type")) {
    const std::string type = parser.option("type");
    if (!IsLoadableType(type)) {
      const std::vector<std::string> kinds = {"sqlite", "mysql", "postgresql", "oracle"};
      throw UsageError("--type takes sqlite, mysql, postgresql or oracle, not '" + type + "'" +
                       DidYouMean(type, kinds));
    }
    if (NameEquals(type, "sqlite") && parser.has("db") && !NameEquals(parser.option("method"), "jdbc"))
      CheckFilePresent(parser.option("db"), "--db");
  }
  if (parser.has("port")) CheckPort(parser.option("port"), "port");
  if (parser.has("method") && !NameEquals(parser.option("method"), "jdbc") &&
      !NameEquals(parser.option("method"), "native"))
    throw UsageError("--method takes native or JDBC, not '" + parser.option("method") + "'");
}

}  // namespace

Connection ReadConnectionOptions(const ArgParser& parser) {
  CheckConnectionOptions(parser);
  Connection o;
  o.dbType = parser.option("type");
  o.dbName = parser.option("db");
  o.host = parser.option("host");
  o.port = parser.option("port");
  o.uid = parser.option("user");
  o.sid = parser.option("sid");
  o.method = parser.option("method");
  o.url = parser.option("url");
  o.encoding = parser.option("encoding");
  if (parser.has("password-env")) {
    const std::string var = parser.option("password-env");
    const char* value = std::getenv(var.c_str());
    if (!value) throw Failure("environment variable " + var + " is not set");
    o.pwd = value;
  } else if (!o.uid.empty() && o.dbType != "sqlite" && isatty(STDIN_FILENO)) {
    o.pwd = PromptPassword(o.uid);
  }
  return o;
}

void LoadDatabase(ObP& project, Connection c) {
  if (c.dbName.empty()) throw UsageError("--type needs --db NAME (for sqlite: the database file)");
  if (c.dbType == "sqlite") c.dbName = std::filesystem::absolute(c.dbName).string();
  DefaultQuote(project, c.dbType);
  try {
    zantrel::LoadDatabase(project, c);
  } catch (const Error& e) {
    throw Failure(e.description() + JdbcHint(c, e));
  }
}

}  // namespace zantrel::cli
