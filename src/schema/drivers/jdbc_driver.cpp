// The JDBC connection method: one driver for every database type that has a
// JDBC driver jar. The user defaults name the Java runtime library
// (JavaRuntimeLib) and the jar of each type (MySQLJDBCDriver,
// PostgreSQLJDBCDriver, OracleJDBCDriver); the URL is DBURL when given, else
// built from host, port, database and SID. The helper class does the JDBC
// work and returns rows of text; this side maps them to driver tables.
// NativeDataType is the java.sql.Types code, except for ENUM and SET columns,
// which take the codes the native drivers report.
#include "schema/drivers/native_drivers.h"

#ifndef ZANTREL_HAVE_JDBC
#include "schema/drivers/unavailable_driver.h"

namespace zantrel {
std::unique_ptr<Driver> MakeJdbcDriver() {
  return std::make_unique<UnavailableDriver>("JDBC ERROR: this build has no JDBC connection method");
}
bool JavaRuntimeLoaded() { return false; }
}  // namespace zantrel
#else

#include <map>

#include "core/error.h"
#include "schema/drivers/catalog.h"
#include "schema/drivers/java_runtime.h"
#include "schema/drivers/jdbc_targets.h"
#include "schema/drivers/jdbc_types.h"

namespace zantrel {
namespace {

using jdbc::Helper;
using Rows = std::vector<std::vector<std::string>>;

jvalue Object(jobject o) {
  jvalue v;
  v.l = o;
  return v;
}

// A column row of the helper's columns(): table, kind, column, DATA_TYPE,
// TYPE_NAME, COLUMN_SIZE, DECIMAL_DIGITS, nullable, COLUMN_DEF, auto-increment.
DriverField ColumnField(const std::vector<std::string>& r) {
  jdbc::Column c{r[2], std::atoi(r[3].c_str()), r[4], std::atoll(r[5].c_str()), r[7] == "1", r[8], r[9] == "1"};
  return jdbc::FieldOf(c);
}

// A result column of resultColumns(): label, table, column, type, type name,
// precision, nullable.
DriverField ResultField(const std::vector<std::string>& r) {
  jdbc::Column c{r[0], std::atoi(r[3].c_str()), r[4], std::atoll(r[5].c_str()), r[6] == "1", "NULL", false};
  return jdbc::FieldOf(c);
}

class JdbcDriver final : public Driver {
 public:
  ~JdbcDriver() override { Close(); }
  void SetDBType(std::string_view type) override {
    type_ = catalog::Lower(type);
    target_ = jdbc::FindTarget(type_);
  }
  void SetSettingsKey(std::string_view key) override { settingsKey_ = key; }
  void SetSID(std::string_view sid) override { sid_ = sid; }

  void Connect(const ConnectParams& p) override {
    Close();
    lastError_.clear();
    if (!target_) {
      lastError_ = "JDBC ERROR: no JDBC driver is known for the database type " + type_;
      return;
    }
    const std::string jvm = jdbc::ReadSetting(settingsKey_, jdbc::kJavaRuntimeSetting);
    const std::string jar = jdbc::ReadSetting(settingsKey_, target_->jarSetting);
    if (jvm.empty() || jar.empty()) {
      lastError_ = "JDBC ERROR: set " + std::string(jvm.empty() ? jdbc::kJavaRuntimeSetting : target_->jarSetting) +
                   " to use the JDBC connection method";
      return;
    }
    JNIEnv* env = jdbc::AttachJava(jvm, lastError_);
    if (!env) return;
    jdbc::LocalFrame frame(env);
    const std::string url = p.url.empty() ? jdbc::BuildUrl(*target_, p.host, p.port, p.database, sid_) : p.url;
    jobject c = jdbc::CallHelper(env, Helper::kConnect,
                                 {Object(jdbc::ToJava(env, jar)), Object(jdbc::ToJava(env, url)),
                                  Object(jdbc::ToJava(env, p.user)), Object(jdbc::ToJava(env, p.password))},
                                 lastError_);
    if (c) connection_ = env->NewGlobalRef(c);
  }

  std::string LastError() const override { return lastError_; }
  bool IsJavaLoaded() const override { return JavaRuntimeLoaded(); }

  std::string QuoteString() override {
    JNIEnv* env = Env();
    jdbc::LocalFrame frame(env);
    return jdbc::FromJava(env, static_cast<jstring>(Call(env, Helper::kQuoteString, {Object(connection_)})));
  }

  std::vector<std::string> DatabaseNames() override {
    if (!connection_) return {};
    JNIEnv* env = Env();
    jdbc::LocalFrame frame(env);
    if (!target_->databaseNamesSql)
      return jdbc::StringsOf(env, Call(env, Helper::kDatabaseNames, {Object(connection_)}));
    std::vector<std::string> names;
    for (auto& row : Query(env, target_->databaseNamesSql)) names.push_back(row[0]);
    return names;
  }

  std::vector<DriverTable> GetTables(std::string_view tableName) override {
    JNIEnv* env = Env();
    jdbc::LocalFrame frame(env);
    jstring schema = jdbc::ToJava(env, Schema());
    jstring name = jdbc::ToJava(env, tableName);
    catalog::TableSet set;
    for (auto& r : jdbc::RowsOf(env, Call(env, Helper::kColumns, {Object(connection_), Object(schema), Object(name)})))
      set.Table(r[0], r[1]).Fields.push_back(ColumnField(r));
    std::vector<DriverTable> tables = set.Take();
    MarkEnums(env, tables);
    for (DriverTable& t : tables) {
      catalog::Keys keys;
      jstring table = jdbc::ToJava(env, t.Name);
      for (auto& r : jdbc::RowsOf(env, Call(env, Helper::kKeys, {Object(connection_), Object(schema), Object(table)})))
        (r[0] == "P" ? keys.primary : keys.unique).push_back(r[1]);
      env->DeleteLocalRef(table);
      catalog::ApplyKeys(t, keys);
    }
    return tables;
  }

  DriverTable CustomView(std::string_view viewName, std::string_view sql) override {
    JNIEnv* env = Env();
    jdbc::LocalFrame frame(env);
    lastError_.clear();
    jobject result = jdbc::CallHelper(env, Helper::kResultColumns,
                                      {Object(connection_), Object(jdbc::ToJava(env, sql))}, lastError_);
    if (!result) return {};
    std::vector<catalog::ResultColumn> columns;
    for (auto& r : jdbc::RowsOf(env, result)) columns.push_back({r[0], r[1], r[2], ResultField(r)});
    return catalog::BuildCustomView(viewName, std::move(columns),
                                    [&](const std::string& table) { return GetTables(table); });
  }

 private:
  // The schema the catalogue calls read: the SID for PostgreSQL, else the
  // connection's own.
  std::string Schema() const { return target_ && target_->sidIsSchema ? sid_ : ""; }

  JNIEnv* Env() const {
    JNIEnv* env = connection_ ? jdbc::RunningJava() : nullptr;
    if (!env) Raise(err::kObjectNotSet, "no database connection");
    return env;
  }

  // Calls a helper method on the open connection; a Java exception raises.
  jobject Call(JNIEnv* env, Helper method, std::initializer_list<jvalue> args) {
    std::string error;
    jobject result = jdbc::CallHelper(env, method, args, error);
    if (!error.empty()) Raise(err::kInvalidCall, error);
    return result;
  }

  Rows Query(JNIEnv* env, const char* sql) {
    jstring text = jdbc::ToJava(env, sql);
    jstring schema = jdbc::ToJava(env, Schema());
    return jdbc::RowsOf(env, Call(env, Helper::kQuery, {Object(connection_), Object(text), Object(schema)}));
  }

  // ENUM and SET columns take their members, type and size from the server's
  // own catalogue, which DatabaseMetaData does not describe.
  void MarkEnums(JNIEnv* env, std::vector<DriverTable>& tables) {
    if (!target_->enumColumnsSql) return;
    for (auto& r : Query(env, target_->enumColumnsSql)) {
      for (DriverTable& t : tables) {
        if (t.Name != r[0]) continue;
        for (DriverField& f : t.Fields) {
          if (f.Name != r[1]) continue;
          f.IsEnum = r[2] == "enum";
          f.IsSet = r[2] == "set";
          f.NativeDataType = std::atoi(r[3].c_str());
          f.Size = std::atoi(r[4].c_str());
          f.ADODataType = ado::kVarWChar;
          f.ADOAttributes = ado::ColumnAttributes(0, !f.Required, f.AutoIncrement, false);
          f.FieldTagValues = catalog::TagValues(catalog::EnumMembers(r[5]));
        }
      }
    }
  }

  void Close() {
    if (!connection_) return;
    if (JNIEnv* env = jdbc::RunningJava()) {
      std::string ignored;
      jdbc::CallHelper(env, Helper::kClose, {Object(connection_)}, ignored);
      env->DeleteGlobalRef(connection_);
    }
    connection_ = nullptr;
  }

  std::string type_;
  const jdbc::Target* target_ = nullptr;
  std::string settingsKey_;
  std::string sid_;
  jobject connection_ = nullptr;  // global reference to the java.sql.Connection
  std::string lastError_;
};

}  // namespace

std::unique_ptr<Driver> MakeJdbcDriver() { return std::make_unique<JdbcDriver>(); }

}  // namespace zantrel
#endif
