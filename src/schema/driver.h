// The database driver interface: what the schema loaders ask of a database. Each
// driver (SQLite, MySQL/MariaDB, PostgreSQL, JDBC) reaches its server its own way
// and maps native column types to ADO type numbers. One driver object per thread
// is kept in the context and reused by every call.
//
// Order before every connection: SetDBType, SetSettingsKey, SetSID (Oracle only),
// Connect, then LastError or DatabaseNames; GetTables, QuoteString and CustomView
// follow a successful connection.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/context.h"

namespace zantrel {

struct DriverField {
  std::string Name;
  int32_t ADODataType = 0;     // ADO data type number
  std::string DataTypeName;    // the server's type name
  int32_t NativeDataType = 0;  // the server's type code (247 ENUM, 248 SET for MySQL)
  bool IsEnum = false;
  bool IsSet = false;
  int32_t Size = 0;
  bool Required = false;
  bool Unique = false;
  bool AutoIncrement = false;
  int32_t ADOAttributes = 0;
  bool HasDefault = false;     // DefaultValue is meaningful (a column without one gives Empty)
  std::string DefaultValue;
  std::string FieldTagValues;  // ENUM/SET members as "a","a" lines
  std::string SourceTable;     // for custom views: where the column comes from,
  std::string SourceField;     // from the server's result metadata ("" when unknown)
};

struct DriverTable {
  std::string Name;
  std::string TableType;  // "TABLE", "VIEW" or "CUSTOMVIEW"
  std::vector<DriverField> Fields;
  std::string PKField;    // primary-key field names joined by ","
};

struct ConnectParams {
  std::string host;
  std::string database;
  std::string user;
  std::string password;
  int32_t port = 0;
  std::string method;    // connection method ("JDBC" or native)
  std::string url;
  std::string encoding;
  std::string quoteOverride;
};

class Driver {
 public:
  virtual ~Driver() = default;
  virtual void SetDBType(std::string_view type) = 0;
  virtual void SetSettingsKey(std::string_view key) = 0;
  virtual void SetSID(std::string_view sid) = 0;
  virtual void Connect(const ConnectParams& params) = 0;
  // Error text of the last Connect, empty on success.
  virtual std::string LastError() const = 0;
  virtual std::vector<std::string> DatabaseNames() = 0;
  // Tables with their fields; "" loads all tables and views.
  virtual std::vector<DriverTable> GetTables(std::string_view tableName) = 0;
  virtual bool IsJavaLoaded() const = 0;
  // The server's identifier quote string.
  virtual std::string QuoteString() = 0;
  // The columns of a SELECT without fetching its rows; failure shows in LastError.
  virtual DriverTable CustomView(std::string_view viewName, std::string_view sql) = 0;
};

// Makes the thread's driver. The default makes a driver that serves every
// database type, choosing its native driver at each SetDBType.
using DriverFactory = std::unique_ptr<Driver> (*)();

// The native driver for a database type ("sqlite", "mysql", "postgresql",
// "oracle"; case-insensitive), or null for a type no driver serves.
std::unique_ptr<Driver> MakeNativeDriver(std::string_view dbType);
// The driver that serves every type by delegating to MakeNativeDriver.
std::unique_ptr<Driver> MakeDriverByType();

// The thread's driver slot: the driver in use and the factory that makes it.
struct DriverSlot : ThreadService {
  std::unique_ptr<Driver> driver;
  DriverFactory factory = nullptr;
};

// The thread's driver, made on first use by the installed factory or else by
// MakeDriverByType.
Driver* ThreadDriver();
void SetDriverFactory(DriverFactory factory);

}  // namespace zantrel
