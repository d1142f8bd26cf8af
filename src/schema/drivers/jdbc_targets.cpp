// The database types the JDBC connection method knows.
#include "schema/drivers/jdbc_targets.h"

#include "platform/registry.h"
#include "schema/drivers/catalog.h"

namespace zantrel::jdbc {
namespace {

constexpr const char* kMysqlDatabases =
    "SELECT SCHEMA_NAME FROM information_schema.SCHEMATA WHERE SCHEMA_NAME NOT IN "
    "('information_schema', 'performance_schema', 'mysql', 'sys') ORDER BY SCHEMA_NAME";
constexpr const char* kMysqlEnums =
    "SELECT TABLE_NAME, COLUMN_NAME, DATA_TYPE, IF(DATA_TYPE = 'enum', 247, 248), CHARACTER_MAXIMUM_LENGTH, "
    "COLUMN_TYPE FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = DATABASE() AND DATA_TYPE IN ('enum', 'set')";
constexpr const char* kPostgresDatabases =
    "SELECT datname FROM pg_database WHERE NOT datistemplate ORDER BY datname";
// Enum labels are at most 63 bytes; the native driver reports that size too.
constexpr const char* kPostgresEnums =
    "SELECT c.relname, a.attname, 'enum', t.oid, 63, "
    "'enum(' || string_agg(quote_literal(e.enumlabel), ',' ORDER BY e.enumsortorder) || ')' "
    "FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
    "JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 AND NOT a.attisdropped "
    "JOIN pg_type t ON t.oid = a.atttypid JOIN pg_enum e ON e.enumtypid = t.oid "
    "WHERE n.nspname = COALESCE(NULLIF(?, ''), current_schema()) "
    "GROUP BY c.relname, a.attname, a.attnum, t.oid ORDER BY c.relname, a.attnum";

constexpr Target kTargets[] = {
    {"mysql", "MySQLJDBCDriver", "jdbc:mariadb:", 3306, "", false, kMysqlDatabases, kMysqlEnums},
    {"postgresql", "PostgreSQLJDBCDriver", "jdbc:postgresql:", 5432, "postgres", true, kPostgresDatabases,
     kPostgresEnums},
    {"oracle", "OracleJDBCDriver", "jdbc:oracle:thin:", 1521, "", false, nullptr, nullptr},
};

}  // namespace

std::string ReadSetting(std::string_view settingsKey, std::string_view name) {
  cRegistry& reg = Context().Service<cRegistry>();
  reg.ClassKey = kHKeyCurrentUser;
  reg.SectionKey = std::string(settingsKey);
  reg.ValueKey = std::string(name);
  reg.Default = Variant("");
  Variant v = reg.Value();
  return v.IsString() ? v.AsString() : std::string();
}

const Target* FindTarget(std::string_view dbType) {
  const std::string type = catalog::Lower(dbType);
  for (const Target& t : kTargets)
    if (t.type == type) return &t;
  return nullptr;
}

std::string BuildUrl(const Target& target, std::string_view host, int32_t port, std::string_view database,
                     std::string_view sid) {
  std::string address = host.empty() ? "localhost" : std::string(host);
  if (address.find(':') != std::string::npos && address.front() != '[') address = "[" + address + "]";
  address += ":" + std::to_string(port > 0 ? port : target.defaultPort);
  std::string url(target.scheme);
  if (target.type == "oracle") {
    if (!sid.empty()) return url + "@" + address + ":" + std::string(sid);
    return url + "@//" + address + "/" + std::string(database);
  }
  return url + "//" + address + "/" + std::string(database.empty() ? target.defaultDatabase : database);
}

}  // namespace zantrel::jdbc
