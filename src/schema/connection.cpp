// Connection steps shared by the loaders.
#include "schema/connection.h"

#include <charconv>

#include "core/context.h"
#include "core/error.h"
#include "core/names.h"
#include "platform/status.h"
#include "schema/drivers/catalog.h"

namespace zantrel {

std::string QuoteOverride(std::string_view dbType, std::string_view method) {
  if (method == "JDBC") return "NA";
  const std::string& quote = Context().sqlQuote;
  if (quote == "Backquote") return "`";
  if (quote == "Double Quote") return "\"";
  if (quote == "None") return "";
  return catalog::Lower(dbType).find("mysql") != std::string::npos ? "`" : "";
}

bool IsLoadableType(std::string_view dbType) {
  std::string t = catalog::Lower(dbType);
  return t == "mysql" || t == "oracle" || t == "sqlite" || t == "postgresql";
}

namespace {

// The port as a 32-bit number; text that is no number gives 0 (the default port).
int32_t PortNumber(std::string_view text) {
  int32_t n = 0;
  std::from_chars(text.data(), text.data() + text.size(), n);
  return n;
}

}  // namespace

Connection ConnectionOf(const ObPDatabase& d) {
  return {d.DBHost(), d.DBName(), d.DBType(),        d.DBUID(), d.DBPwd(),
          d.DBPort(), d.DBSID(),  d.DBConnectionMethod(), d.DBURL(), d.DBEncoding()};
}

void StoreConnection(ObPDatabase& d, const Connection& c) {
  d.DBHost(c.host);
  d.DBPort(c.port);
  d.DBUID(c.uid);
  d.DBPwd(c.pwd);
  d.DBSID(c.sid);
  d.DBConnectionMethod(c.method);
  d.DBURL(c.url);
  d.DBEncoding(c.encoding);
}

void ThrowIfDriverFailed(const Driver& driver) {
  std::string text = driver.LastError();
  if (!text.empty()) ThrowDriverError(text);
}

void ThrowDriverError(const std::string& text) {
  throw Error(text.find("JDBC") != std::string::npos ? err::kJdbcFailure : err::kConnection, text);
}

Driver& ConnectDriver(const Connection& c, std::string_view database) {
  Driver& driver = *ThreadDriver();
  driver.SetDBType(c.dbType);
  driver.SetSettingsKey(Context().SettingsKey());
  // Oracle's SID; PostgreSQL reads it as the schema.
  const std::string type = catalog::Lower(c.dbType);
  if (type == "oracle" || type == "postgresql") driver.SetSID(c.sid);
  std::string quote = QuoteOverride(c.dbType, c.method);
  ConnectParams p{c.host, std::string(database), c.uid, c.pwd, PortNumber(c.port), c.method, c.url, c.encoding,
                  quote == "NA" ? "" : quote};
  driver.Connect(p);
  return driver;
}

BusyScope::BusyScope(std::string_view stage) {
  Context().busy = true;
  Status().caption = Context().product.name + std::string(stage);
}

BusyScope::~BusyScope() { Context().busy = false; }

}  // namespace zantrel
