// What the JDBC connection method knows of each database type: the user
// default that names its driver jar, the URL built from host, port, database
// and SID when no URL is given, and the catalogue queries that DatabaseMetaData
// answers too loosely (the server's database list, ENUM and SET members).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zantrel::jdbc {

// The user default that holds the path of the Java runtime library (libjvm.so).
inline constexpr std::string_view kJavaRuntimeSetting = "JavaRuntimeLib";

struct Target {
  std::string_view type;        // lower-case database type
  std::string_view jarSetting;  // user default naming the driver jar
  std::string_view scheme;      // "jdbc:mariadb:", "jdbc:postgresql:", "jdbc:oracle:thin:"
  int32_t defaultPort;
  std::string_view defaultDatabase;  // when none is given ("" = none in the URL)
  bool sidIsSchema;             // the SID names the schema (PostgreSQL), not the instance
  // Rows (database) of the server's databases; null: DatabaseMetaData's catalogs.
  const char* databaseNamesSql;
  // Rows (table, column, "enum" or "set", native type code, size, "enum('a','b')")
  // of the ENUM and SET columns; a "?" takes the schema ("" for the default).
  const char* enumColumnsSql;
};

// A text user default under the settings key, "" when missing.
std::string ReadSetting(std::string_view settingsKey, std::string_view name);

// The target of a database type (case-insensitive), or null.
const Target* FindTarget(std::string_view dbType);

// The connection URL: "jdbc:oracle:thin:@host:port:SID" (or "@//host:port/service"
// without a SID), "jdbc:mariadb://host:port/db", "jdbc:postgresql://host:port/db".
// An empty host is localhost, port 0 the type's default port; an IPv6 address
// is bracketed.
std::string BuildUrl(const Target& target, std::string_view host, int32_t port, std::string_view database,
                     std::string_view sid);

}  // namespace zantrel::jdbc
