// The connection steps every loader shares: the quote override chosen from the
// connection method and the SQLQuote setting, and the driver calls that come
// before every connection (SetDBType, SetSettingsKey, SetSID, Connect).
#pragma once

#include <string>

#include "model/database.h"
#include "schema/driver.h"

namespace zantrel {

// The connection values of LoadDB, LoadTable and the reference loader.
struct Connection {
  std::string host, dbName, dbType, uid, pwd, port, sid, method, url, encoding;
};

// The connection a database's settings name, and the settings from a connection.
Connection ConnectionOf(const ObPDatabase& database);
void StoreConnection(ObPDatabase& database, const Connection& c);

// "NA" for the JDBC method (the driver's QuoteString decides), else the quote
// from the SQLQuote setting copied into the thread's context.
std::string QuoteOverride(std::string_view dbType, std::string_view method);

// The database types the loaders load through a driver.
bool IsLoadableType(std::string_view dbType);

// Runs the calls before a connection and Connect itself; returns the thread's
// driver. Its LastError tells whether the connection succeeded.
Driver& ConnectDriver(const Connection& c, std::string_view database);

// Throws the driver's last error, when it has one: err::kJdbcFailure for a
// failure of the JDBC method itself (its runtime, driver jar or URL; the JDBC
// driver names JDBC in those texts), else err::kConnection.
void ThrowIfDriverFailed(const Driver& driver);
// The same for a driver's error text.
[[noreturn]] void ThrowDriverError(const std::string& text);

// Sets the busy flag and status caption, and clears the flag on every exit.
class BusyScope {
 public:
  explicit BusyScope(std::string_view stage);
  ~BusyScope();
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;
};

}  // namespace zantrel
