// The MariaDB/MySQL driver (libmariadb). Columns come from one query of
// information_schema.COLUMNS joined with TABLES, keys from one query of
// STATISTICS. NativeDataType is the client library's field type code, with 247
// for ENUM and 248 for SET; tinyint(1) is MySQL's BOOLEAN. Custom views are
// prepared, never run: the prepared statement's metadata names each column's
// source table and column (org_table, org_name).
#include "schema/drivers/native_drivers.h"

#ifndef ZANTREL_HAVE_MYSQL
#include "schema/drivers/unavailable_driver.h"

namespace zantrel {
std::unique_ptr<Driver> MakeMysqlDriver() {
  return std::make_unique<UnavailableDriver>("this build has no MariaDB/MySQL driver");
}
}  // namespace zantrel
#else

#include <mysql.h>

#include <map>

#include "core/error.h"
#include "schema/drivers/catalog.h"

namespace zantrel {
namespace {

using ado::NativeType;

// DATA_TYPE -> field type code, ADO type, size when none is declared, flags.
constexpr NativeType kTypes[] = {
    {"tinyint", 1, ado::kTinyInt, 3, ado::kFldFixed},
    {"smallint", 2, ado::kSmallInt, 5, ado::kFldFixed},
    {"mediumint", 9, ado::kInteger, 7, ado::kFldFixed},
    {"int", 3, ado::kInteger, 10, ado::kFldFixed},
    {"integer", 3, ado::kInteger, 10, ado::kFldFixed},
    {"bigint", 8, ado::kBigInt, 19, ado::kFldFixed},
    {"decimal", 246, ado::kNumeric, 10, ado::kFldFixed},
    {"float", 4, ado::kSingle, 7, ado::kFldFixed},
    {"double", 5, ado::kDouble, 15, ado::kFldFixed},
    {"bit", 16, ado::kBinary, 1, ado::kFldFixed},
    {"date", 10, ado::kDBDate, 10, ado::kFldFixed},
    {"datetime", 12, ado::kDBTimeStamp, 19, ado::kFldFixed},
    {"timestamp", 7, ado::kDBTimeStamp, 19, ado::kFldFixed},
    {"time", 11, ado::kDBTime, 8, ado::kFldFixed},
    {"year", 13, ado::kSmallInt, 4, ado::kFldFixed},
    {"char", 254, ado::kChar, 1, ado::kFldFixed},
    {"varchar", 253, ado::kVarChar, 0, 0},
    {"binary", 254, ado::kBinary, 1, ado::kFldFixed},
    {"varbinary", 253, ado::kVarBinary, 0, 0},
    {"tinytext", 252, ado::kLongVarChar, 255, ado::kFldLong},
    {"text", 252, ado::kLongVarChar, 65535, ado::kFldLong},
    {"mediumtext", 252, ado::kLongVarChar, 16777215, ado::kFldLong},
    {"longtext", 252, ado::kLongVarChar, ado::kLongSize, ado::kFldLong},
    {"json", 245, ado::kLongVarChar, ado::kLongSize, ado::kFldLong},
    {"tinyblob", 252, ado::kLongVarBinary, 255, ado::kFldLong},
    {"blob", 252, ado::kLongVarBinary, 65535, ado::kFldLong},
    {"mediumblob", 252, ado::kLongVarBinary, 16777215, ado::kFldLong},
    {"longblob", 252, ado::kLongVarBinary, ado::kLongSize, ado::kFldLong},
    {"enum", 247, ado::kVarWChar, 0, 0},
    {"set", 248, ado::kVarWChar, 0, 0},
    {"uuid", 254, ado::kGUID, 36, ado::kFldFixed},
    {"geometry", 255, ado::kLongVarBinary, ado::kLongSize, ado::kFldLong},
};
constexpr NativeType kBoolean = {"tinyint(1)", 1, ado::kBoolean, 1, ado::kFldFixed};
constexpr NativeType kUnknown = {"", 253, ado::kVarChar, 0, 0};

// Unsigned integers take the unsigned ADO types.
constexpr std::pair<std::string_view, int32_t> kUnsigned[] = {
    {"tinyint", ado::kUnsignedTinyInt}, {"smallint", ado::kUnsignedSmallInt}, {"mediumint", ado::kUnsignedInt},
    {"int", ado::kUnsignedInt},         {"integer", ado::kUnsignedInt},       {"bigint", ado::kUnsignedBigInt}};

constexpr const char* kColumnsSql =
    "SELECT c.TABLE_NAME, t.TABLE_TYPE, c.COLUMN_NAME, c.DATA_TYPE, c.COLUMN_TYPE, c.CHARACTER_MAXIMUM_LENGTH, "
    "c.NUMERIC_PRECISION, c.IS_NULLABLE, c.COLUMN_DEFAULT, c.EXTRA "
    "FROM information_schema.COLUMNS c JOIN information_schema.TABLES t "
    "ON t.TABLE_SCHEMA = c.TABLE_SCHEMA AND t.TABLE_NAME = c.TABLE_NAME "
    "WHERE c.TABLE_SCHEMA = DATABASE()";
constexpr const char* kColumnsOrder = " ORDER BY c.TABLE_NAME, c.ORDINAL_POSITION";
constexpr const char* kKeysSql =
    "SELECT TABLE_NAME, INDEX_NAME, COLUMN_NAME FROM information_schema.STATISTICS "
    "WHERE TABLE_SCHEMA = DATABASE() AND NON_UNIQUE = 0";
constexpr const char* kKeysOrder = " ORDER BY TABLE_NAME, INDEX_NAME, SEQ_IN_INDEX";

int32_t ClampSize(const char* text) {
  if (!text) return 0;
  long long n = std::atoll(text);
  return n > ado::kLongSize ? ado::kLongSize : static_cast<int32_t>(n);
}

class MysqlDriver final : public Driver {
 public:
  ~MysqlDriver() override { Close(); }
  void SetDBType(std::string_view) override {}
  void SetSettingsKey(std::string_view) override {}
  void SetSID(std::string_view) override {}

  void Connect(const ConnectParams& p) override {
    Close();
    lastError_.clear();
    conn_ = mysql_init(nullptr);
    unsigned int timeout = 10;
    mysql_options(conn_, MYSQL_OPT_CONNECT_TIMEOUT, &timeout);
    mysql_options(conn_, MYSQL_SET_CHARSET_NAME, p.encoding.empty() ? "utf8mb4" : p.encoding.c_str());
    const char* host = p.host.empty() ? "localhost" : p.host.c_str();
    const char* db = p.database.empty() ? nullptr : p.database.c_str();
    if (!mysql_real_connect(conn_, host, p.user.c_str(), p.password.c_str(), db, static_cast<unsigned>(p.port),
                            nullptr, 0)) {
      lastError_ = mysql_error(conn_);
      Close();
    }
  }

  std::string LastError() const override { return lastError_; }
  bool IsJavaLoaded() const override { return false; }
  std::string QuoteString() override { return "`"; }

  std::vector<std::string> DatabaseNames() override {
    std::vector<std::string> names;
    if (!conn_) return names;
    for (const auto& row : Query("SHOW DATABASES")) {
      const std::string& n = row[0];
      if (n != "information_schema" && n != "performance_schema" && n != "mysql" && n != "sys") names.push_back(n);
    }
    return names;
  }

  std::vector<DriverTable> GetTables(std::string_view tableName) override {
    RequireConnection();
    std::string filter = tableName.empty() ? "" : " AND c.TABLE_NAME = '" + Escape(tableName) + "'";
    catalog::TableSet set;
    for (auto& r : Query(std::string(kColumnsSql) + filter + kColumnsOrder)) {
      DriverTable& t = set.Table(r[0], TableKindName(r[1] == "VIEW" ? TableKind::View : TableKind::Table));
      t.Fields.push_back(ColumnField(r));
    }
    std::string keyFilter = tableName.empty() ? "" : " AND TABLE_NAME = '" + Escape(tableName) + "'";
    // (table, index) -> columns in key order
    std::map<std::pair<std::string, std::string>, std::vector<std::string>> indexes;
    for (auto& r : Query(std::string(kKeysSql) + keyFilter + kKeysOrder)) indexes[{r[0], r[1]}].push_back(r[2]);
    std::map<std::string, catalog::Keys> keys;
    for (auto& [id, columns] : indexes) {
      if (id.second == "PRIMARY") keys[id.first].primary = columns;
      else if (columns.size() == 1) keys[id.first].unique.push_back(columns[0]);
    }
    std::vector<DriverTable> tables = set.Take();
    for (DriverTable& t : tables) catalog::ApplyKeys(t, keys[t.Name]);
    return tables;
  }

  DriverTable CustomView(std::string_view viewName, std::string_view sql) override {
    RequireConnection();
    lastError_.clear();
    std::unique_ptr<MYSQL_STMT, my_bool (*)(MYSQL_STMT*)> st(mysql_stmt_init(conn_), mysql_stmt_close);
    if (mysql_stmt_prepare(st.get(), sql.data(), static_cast<unsigned long>(sql.size())) != 0) {
      lastError_ = mysql_stmt_error(st.get());
      return {};
    }
    std::unique_ptr<MYSQL_RES, void (*)(MYSQL_RES*)> meta(mysql_stmt_result_metadata(st.get()), mysql_free_result);
    if (!meta) {
      lastError_ = "not a SELECT statement";
      return {};
    }
    std::vector<catalog::ResultColumn> columns;
    unsigned n = mysql_num_fields(meta.get());
    MYSQL_FIELD* fields = mysql_fetch_fields(meta.get());
    for (unsigned i = 0; i < n; ++i) {
      const MYSQL_FIELD& f = fields[i];
      std::string table = f.org_table ? f.org_table : "";
      columns.push_back({f.name, table, table.empty() ? "" : (f.org_name ? f.org_name : ""), ResultField(f)});
    }
    return catalog::BuildCustomView(viewName, std::move(columns),
                                    [&](const std::string& table) { return GetTables(table); });
  }

 private:
  using Row = std::vector<std::string>;

  // A field from one COLUMNS row.
  static DriverField ColumnField(const std::vector<std::string>& r) {
    const std::string& dataType = r[3];
    const std::string& columnType = r[4];
    const NativeType* t = columnType == "tinyint(1)" ? &kBoolean : catalog::FindType(kTypes, dataType);
    if (!t) t = &kUnknown;
    DriverField f;
    f.Name = r[2];
    f.DataTypeName = columnType;
    f.NativeDataType = t->code;
    f.ADODataType = t->adoType;
    if (columnType.find("unsigned") != std::string::npos)
      for (auto [name, type] : kUnsigned)
        if (name == dataType) f.ADODataType = type;
    f.IsEnum = t->code == 247;
    f.IsSet = t->code == 248;
    if (f.IsEnum || f.IsSet) f.FieldTagValues = catalog::TagValues(catalog::EnumMembers(columnType));
    int32_t declared = !r[5].empty() ? ClampSize(r[5].c_str()) : (dataType == "decimal" ? ClampSize(r[6].c_str()) : 0);
    f.Size = t->adoType == ado::kBoolean || t->adoType == ado::kGUID || declared == 0 ? t->size : declared;
    bool nullable = r[7] == "YES";
    f.Required = !nullable;
    f.AutoIncrement = r[9].find("auto_increment") != std::string::npos;
    f.ADOAttributes = ado::ColumnAttributes(t->attributes, nullable, f.AutoIncrement, false);
    f.HasDefault = !f.AutoIncrement && catalog::DefaultValue(r[8], f.DefaultValue);
    return f;
  }

  // A field from result metadata alone (expressions of custom views).
  static DriverField ResultField(const MYSQL_FIELD& m) {
    const NativeType* t = &kUnknown;
    for (const NativeType& row : kTypes)
      if (row.code == static_cast<int32_t>(m.type)) {
        t = &row;
        break;
      }
    bool binary = m.charsetnr == 63;
    if (t->code == 252) t = catalog::FindType(kTypes, binary ? "longblob" : "longtext");
    if (t->code == 253 && binary) t = catalog::FindType(kTypes, "varbinary");
    DriverField f;
    f.Name = m.name;
    f.DataTypeName = std::string(t->name);
    f.NativeDataType = static_cast<int32_t>(m.type);
    f.ADODataType = t->adoType;
    f.Size = t->size ? t->size : static_cast<int32_t>(std::min<unsigned long>(m.length, ado::kLongSize));
    f.Required = (m.flags & NOT_NULL_FLAG) != 0;
    f.ADOAttributes = ado::ColumnAttributes(t->attributes, !f.Required, false, false);
    return f;
  }

  std::vector<Row> Query(const std::string& sql) {
    if (mysql_real_query(conn_, sql.data(), static_cast<unsigned long>(sql.size())) != 0)
      Raise(err::kInvalidCall, mysql_error(conn_));
    std::unique_ptr<MYSQL_RES, void (*)(MYSQL_RES*)> res(mysql_store_result(conn_), mysql_free_result);
    std::vector<Row> rows;
    if (!res) return rows;
    unsigned n = mysql_num_fields(res.get());
    while (MYSQL_ROW row = mysql_fetch_row(res.get())) {
      Row r(n);
      for (unsigned i = 0; i < n; ++i)
        if (row[i]) r[i] = row[i];
      if (n > 8 && !row[8]) r[8] = "NULL";  // a column without default reads as NULL
      rows.push_back(std::move(r));
    }
    return rows;
  }

  std::string Escape(std::string_view s) {
    std::string out(s.size() * 2 + 1, '\0');
    out.resize(mysql_real_escape_string(conn_, out.data(), s.data(), static_cast<unsigned long>(s.size())));
    return out;
  }

  void RequireConnection() const {
    if (!conn_) Raise(err::kObjectNotSet, "no database connection");
  }
  void Close() {
    if (conn_) mysql_close(conn_);
    conn_ = nullptr;
  }

  MYSQL* conn_ = nullptr;
  std::string lastError_;
};

}  // namespace

std::unique_ptr<Driver> MakeMysqlDriver() { return std::make_unique<MysqlDriver>(); }

}  // namespace zantrel
#endif
