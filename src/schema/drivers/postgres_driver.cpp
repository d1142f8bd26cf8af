// The PostgreSQL driver (libpq). The schema is "public" unless the SID names
// another. Columns come from one catalogue query over pg_class, pg_attribute,
// pg_type and pg_attrdef (enum members aggregated once per type), keys from one
// query over pg_index. NativeDataType is the type's OID; serial and identity
// columns are auto-increment. Custom views are prepared and described, never
// run: PQftable/PQftablecol name each column's source.
#include "schema/drivers/native_drivers.h"

#ifndef ZANTREL_HAVE_POSTGRES
#include "schema/drivers/unavailable_driver.h"

namespace zantrel {
std::unique_ptr<Driver> MakePostgresDriver() {
  return std::make_unique<UnavailableDriver>("this build has no PostgreSQL driver");
}
}  // namespace zantrel
#else

#include <libpq-fe.h>

#include <map>

#include "core/error.h"
#include "schema/drivers/catalog.h"

namespace zantrel {
namespace {

using ado::NativeType;

// typname -> type OID, ADO type, size when none is declared, flags. Types the
// shared type rules do not name take these defaults: timetz is text (its zone
// is no part of a time value; the server checks it), tsvector long text (kept
// off lists), and anything unknown (interval, inet, arrays) text.
constexpr NativeType kTypes[] = {
    {"int2", 21, ado::kSmallInt, 5, ado::kFldFixed},
    {"int4", 23, ado::kInteger, 10, ado::kFldFixed},
    {"int8", 20, ado::kBigInt, 19, ado::kFldFixed},
    {"oid", 26, ado::kInteger, 10, ado::kFldFixed},
    {"numeric", 1700, ado::kNumeric, 0, ado::kFldFixed},
    {"money", 790, ado::kCurrency, 19, ado::kFldFixed},
    {"float4", 700, ado::kSingle, 7, ado::kFldFixed},
    {"float8", 701, ado::kDouble, 15, ado::kFldFixed},
    {"bool", 16, ado::kBoolean, 1, ado::kFldFixed},
    {"date", 1082, ado::kDBDate, 10, ado::kFldFixed},
    {"timestamp", 1114, ado::kDBTimeStamp, 19, ado::kFldFixed},
    {"timestamptz", 1184, ado::kDBTimeStamp, 19, ado::kFldFixed},
    {"time", 1083, ado::kDBTime, 8, ado::kFldFixed},
    {"timetz", 1266, ado::kVarChar, 0, 0},
    {"bpchar", 1042, ado::kChar, 1, ado::kFldFixed},
    {"varchar", 1043, ado::kVarChar, ado::kLongSize, 0},
    {"name", 19, ado::kVarChar, 63, 0},
    {"text", 25, ado::kLongVarChar, ado::kLongSize, ado::kFldLong},
    {"json", 114, ado::kLongVarChar, ado::kLongSize, ado::kFldLong},
    {"jsonb", 3802, ado::kLongVarChar, ado::kLongSize, ado::kFldLong},
    {"xml", 142, ado::kLongVarChar, ado::kLongSize, ado::kFldLong},
    {"bytea", 17, ado::kLongVarBinary, ado::kLongSize, ado::kFldLong},
    {"uuid", 2950, ado::kGUID, 36, ado::kFldFixed},
    {"tsvector", 3614, ado::kLongVarChar, ado::kLongSize, ado::kFldLong},
};
// Enum types and anything unknown: text the application shows and sends as is.
constexpr NativeType kEnum = {"", 0, ado::kVarWChar, 63, 0};
constexpr NativeType kUnknown = {"", 0, ado::kVarChar, ado::kLongSize, 0};

constexpr const char* kColumnsSql =
    "WITH en AS (SELECT enumtypid, string_agg(enumlabel, E'\\n' ORDER BY enumsortorder) AS labels "
    "FROM pg_enum GROUP BY enumtypid) "
    "SELECT c.relname, c.relkind, a.attname, t.typname, format_type(a.atttypid, a.atttypmod), a.atttypid, "
    "a.atttypmod, a.attnotnull, pg_get_expr(d.adbin, d.adrelid), a.attidentity, t.typtype, en.labels "
    "FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
    "JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 AND NOT a.attisdropped "
    "JOIN pg_type t ON t.oid = a.atttypid "
    "LEFT JOIN pg_attrdef d ON d.adrelid = c.oid AND d.adnum = a.attnum "
    "LEFT JOIN en ON en.enumtypid = t.oid "
    "WHERE n.nspname = $1 AND c.relkind IN ('r', 'p', 'v', 'm') AND ($2 = '' OR c.relname = $2) "
    "ORDER BY c.relname, a.attnum";
constexpr const char* kKeysSql =
    "SELECT c.relname, i.indexrelid, i.indisprimary, a.attname "
    "FROM pg_index i JOIN pg_class c ON c.oid = i.indrelid JOIN pg_namespace n ON n.oid = c.relnamespace "
    "CROSS JOIN LATERAL unnest(i.indkey::int2[]) WITH ORDINALITY AS k(attnum, ord) "
    "JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum = k.attnum "
    "WHERE n.nspname = $1 AND i.indisunique AND ($2 = '' OR c.relname = $2) "
    "ORDER BY c.relname, i.indexrelid, k.ord";
constexpr const char* kSourceSql =
    "SELECT c.relname, a.attname FROM pg_class c JOIN pg_attribute a ON a.attrelid = c.oid "
    "WHERE c.oid = $1::oid AND a.attnum = $2::int2";

// The declared length or precision in a type modifier.
int32_t ModifierSize(std::string_view typname, int32_t typmod) {
  if (typmod < 0) return 0;
  if (typname == "numeric") return ((typmod - 4) >> 16) & 0xffff;
  if (typname == "varchar" || typname == "bpchar") return typmod - 4;
  return 0;
}

DriverField TypedField(std::string name, std::string_view typname, std::string formatted, int32_t oid,
                       int32_t typmod, bool isEnum, bool nullable) {
  const NativeType* t = isEnum ? &kEnum : catalog::FindType(kTypes, typname);
  if (!t) t = &kUnknown;
  DriverField f;
  f.Name = std::move(name);
  f.DataTypeName = std::move(formatted);
  f.NativeDataType = oid;
  f.ADODataType = t->adoType;
  int32_t declared = ModifierSize(typname, typmod);
  f.Size = declared > 0 ? declared : t->size;
  f.Required = !nullable;
  f.ADOAttributes = ado::ColumnAttributes(t->attributes, nullable, false, false);
  return f;
}

class PostgresDriver final : public Driver {
 public:
  ~PostgresDriver() override { Close(); }
  void SetDBType(std::string_view) override {}
  void SetSettingsKey(std::string_view) override {}
  void SetSID(std::string_view sid) override { schema_ = sid.empty() ? "public" : std::string(sid); }

  void Connect(const ConnectParams& p) override {
    Close();
    lastError_.clear();
    std::string port = p.port > 0 ? std::to_string(p.port) : "";
    const char* keys[] = {"host", "port", "dbname", "user", "password", "client_encoding", "connect_timeout", nullptr};
    const char* values[] = {p.host.empty() ? nullptr : p.host.c_str(),
                            port.empty() ? nullptr : port.c_str(),
                            p.database.empty() ? "postgres" : p.database.c_str(),
                            p.user.empty() ? nullptr : p.user.c_str(),
                            p.password.empty() ? nullptr : p.password.c_str(),
                            p.encoding.empty() ? "UTF8" : p.encoding.c_str(),
                            "10",
                            nullptr};
    conn_ = PQconnectdbParams(keys, values, 0);
    if (PQstatus(conn_) != CONNECTION_OK) {
      lastError_ = Trimmed(PQerrorMessage(conn_));
      Close();
    }
  }

  std::string LastError() const override { return lastError_; }
  bool IsJavaLoaded() const override { return false; }
  std::string QuoteString() override { return "\""; }

  std::vector<std::string> DatabaseNames() override {
    std::vector<std::string> names;
    if (!conn_) return names;
    Result r = Exec("SELECT datname FROM pg_database WHERE NOT datistemplate ORDER BY datname", {});
    for (int i = 0; i < PQntuples(r.get()); ++i) names.push_back(PQgetvalue(r.get(), i, 0));
    return names;
  }

  std::vector<DriverTable> GetTables(std::string_view tableName) override {
    RequireConnection();
    const std::string name(tableName);
    catalog::TableSet set;
    {
      Result r = Exec(kColumnsSql, {schema_, name});
      for (int i = 0; i < PQntuples(r.get()); ++i) {
        auto v = [&](int col) { return std::string(PQgetvalue(r.get(), i, col)); };
        char kind = v(1)[0];
        const bool view = kind == 'v' || kind == 'm';
        DriverTable& t = set.Table(v(0), TableKindName(view ? TableKind::View : TableKind::Table));
        bool isEnum = v(10) == "e";
        bool nullable = v(7) != "t";
        DriverField f = TypedField(v(2), v(3), v(4), std::atoi(v(5).c_str()), std::atoi(v(6).c_str()), isEnum, nullable);
        std::string def = v(8);
        f.AutoIncrement = !v(9).empty() || def.starts_with("nextval(");
        if (f.AutoIncrement) f.ADOAttributes &= ~ado::kFldUpdatable;
        else f.HasDefault = !PQgetisnull(r.get(), i, 8) && catalog::DefaultValue(def, f.DefaultValue);
        if (isEnum) {
          f.IsEnum = true;
          std::vector<std::string> members;
          std::string labels = v(11);
          for (std::size_t start = 0; start <= labels.size();) {
            std::size_t end = labels.find('\n', start);
            if (end == std::string::npos) end = labels.size();
            members.push_back(labels.substr(start, end - start));
            start = end + 1;
          }
          f.FieldTagValues = catalog::TagValues(members);
        }
        t.Fields.push_back(std::move(f));
      }
    }
    std::map<std::string, catalog::Keys> keys;
    {
      Result r = Exec(kKeysSql, {schema_, name});
      // Rows of one index are adjacent; collect each index, then classify it.
      std::string table, index;
      bool primary = false;
      std::vector<std::string> columns;
      auto flush = [&] {
        if (columns.empty()) return;
        if (primary) keys[table].primary = columns;
        else if (columns.size() == 1) keys[table].unique.push_back(columns[0]);
        columns.clear();
      };
      for (int i = 0; i < PQntuples(r.get()); ++i) {
        std::string t = PQgetvalue(r.get(), i, 0), idx = PQgetvalue(r.get(), i, 1);
        if (t != table || idx != index) {
          flush();
          table = t;
          index = idx;
          primary = PQgetvalue(r.get(), i, 2)[0] == 't';
        }
        columns.push_back(PQgetvalue(r.get(), i, 3));
      }
      flush();
    }
    std::vector<DriverTable> tables = set.Take();
    for (DriverTable& t : tables) catalog::ApplyKeys(t, keys[t.Name]);
    return tables;
  }

  DriverTable CustomView(std::string_view viewName, std::string_view sql) override {
    RequireConnection();
    lastError_.clear();
    std::string text(sql);
    Result prepared(PQprepare(conn_, "", text.c_str(), 0, nullptr), PQclear);
    if (PQresultStatus(prepared.get()) != PGRES_COMMAND_OK) {
      lastError_ = Trimmed(PQerrorMessage(conn_));
      return {};
    }
    Result d(PQdescribePrepared(conn_, ""), PQclear);
    if (PQresultStatus(d.get()) != PGRES_COMMAND_OK) {
      lastError_ = Trimmed(PQerrorMessage(conn_));
      return {};
    }
    if (PQnfields(d.get()) == 0) {
      lastError_ = "not a SELECT statement";
      return {};
    }
    std::vector<catalog::ResultColumn> columns;
    for (int i = 0; i < PQnfields(d.get()); ++i) {
      std::string name = PQfname(d.get(), i);
      catalog::ResultColumn c{name, "", "", FallbackField(name, PQftype(d.get(), i), PQfmod(d.get(), i))};
      if (Oid table = PQftable(d.get(), i); table != InvalidOid) {
        Result s = Exec(kSourceSql, {std::to_string(table), std::to_string(PQftablecol(d.get(), i))});
        if (PQntuples(s.get()) == 1) {
          c.table = PQgetvalue(s.get(), 0, 0);
          c.column = PQgetvalue(s.get(), 0, 1);
        }
      }
      columns.push_back(std::move(c));
    }
    return catalog::BuildCustomView(viewName, std::move(columns),
                                    [&](const std::string& table) { return GetTables(table); });
  }

 private:
  using Result = std::unique_ptr<PGresult, void (*)(PGresult*)>;

  static std::string Trimmed(const char* message) {
    std::string s = message ? message : "";
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
    return s;
  }

  // A result column that is no table column: its type OID alone.
  static DriverField FallbackField(const std::string& name, Oid type, int typmod) {
    std::string_view typname;
    for (const NativeType& t : kTypes)
      if (t.code == static_cast<int32_t>(type)) typname = t.name;
    return TypedField(name, typname, std::string(typname), static_cast<int32_t>(type), typmod, false, true);
  }

  Result Exec(const char* sql, const std::vector<std::string>& params) {
    std::vector<const char*> values;
    for (const std::string& p : params) values.push_back(p.c_str());
    Result r(PQexecParams(conn_, sql, static_cast<int>(values.size()), nullptr, values.data(), nullptr, nullptr, 0),
             PQclear);
    if (PQresultStatus(r.get()) != PGRES_TUPLES_OK) Raise(err::kInvalidCall, Trimmed(PQerrorMessage(conn_)));
    return r;
  }

  void RequireConnection() const {
    if (!conn_) Raise(err::kObjectNotSet, "no database connection");
  }
  void Close() {
    if (conn_) PQfinish(conn_);
    conn_ = nullptr;
  }

  PGconn* conn_ = nullptr;
  std::string schema_ = "public";
  std::string lastError_;
};

}  // namespace

std::unique_ptr<Driver> MakePostgresDriver() { return std::make_unique<PostgresDriver>(); }

}  // namespace zantrel
#endif
