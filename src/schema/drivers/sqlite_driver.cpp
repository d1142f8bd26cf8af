// The SQLite driver, the embedded default: the database name is the path of the
// database file, opened read-only (a missing file is an error, never created).
// Columns come from one join of sqlite_master with pragma_table_info; SQLite
// has no fixed column types, so the declared type is matched against the type
// families below, first match wins, and NativeDataType is the family's code.
// An INTEGER PRIMARY KEY alone is the rowid: auto-increment and required.
#include <sqlite3.h>

#include <filesystem>
#include <map>

#include "core/error.h"
#include "schema/drivers/catalog.h"
#include "schema/drivers/native_drivers.h"

namespace zantrel {
namespace {

using ado::NativeType;

// Declared-type families: a declared type belongs to the first row whose name
// it contains (lower case). The empty row catches columns without a type.
// TEXT is SQLite's usual string type, not a long text: it is typed like
// VARCHAR without a length, so that lists and exports show it; CLOB stays long.
constexpr NativeType kFamilies[] = {
    {"bool", 1, ado::kBoolean, 1, ado::kFldFixed},
    {"bigint", 2, ado::kBigInt, 19, ado::kFldFixed},
    {"smallint", 3, ado::kSmallInt, 5, ado::kFldFixed},
    {"tinyint", 4, ado::kTinyInt, 3, ado::kFldFixed},
    {"int", 5, ado::kInteger, 10, ado::kFldFixed},
    {"datetime", 6, ado::kDBTimeStamp, 19, ado::kFldFixed},
    {"timestamp", 6, ado::kDBTimeStamp, 19, ado::kFldFixed},
    {"date", 7, ado::kDBDate, 10, ado::kFldFixed},
    {"time", 8, ado::kDBTime, 8, ado::kFldFixed},
    {"uuid", 9, ado::kGUID, 36, ado::kFldFixed},
    {"guid", 9, ado::kGUID, 36, ado::kFldFixed},
    {"json", 10, ado::kLongVarChar, ado::kLongSize, ado::kFldLong},
    {"varchar", 11, ado::kVarChar, 0, 0},
    {"varying", 11, ado::kVarChar, 0, 0},
    {"char", 12, ado::kChar, 1, ado::kFldFixed},
    {"clob", 13, ado::kLongVarChar, ado::kLongSize, ado::kFldLong},
    {"text", 13, ado::kVarChar, 0, 0},
    {"blob", 14, ado::kLongVarBinary, ado::kLongSize, ado::kFldLong},
    {"real", 15, ado::kDouble, 15, ado::kFldFixed},
    {"double", 15, ado::kDouble, 15, ado::kFldFixed},
    {"float", 16, ado::kSingle, 7, ado::kFldFixed},
    {"decimal", 17, ado::kNumeric, 18, ado::kFldFixed},
    {"numeric", 17, ado::kNumeric, 18, ado::kFldFixed},
};
constexpr NativeType kUntyped = {"", 0, ado::kVarChar, 0, 0};
constexpr NativeType kNumericAffinity = {"", 17, ado::kNumeric, 18, ado::kFldFixed};

const NativeType& Family(std::string_view declared) {
  if (declared.empty()) return kUntyped;
  std::string lower = catalog::Lower(declared);
  for (const NativeType& t : kFamilies)
    if (lower.find(t.name) != std::string::npos) return t;
  return kNumericAffinity;
}

// A field from a declared type alone.
DriverField TypedField(std::string name, std::string_view declared, bool required) {
  const NativeType& t = Family(declared);
  DriverField f;
  f.Name = std::move(name);
  f.ADODataType = t.adoType;
  f.DataTypeName = std::string(declared);
  f.NativeDataType = t.code;
  int32_t length = catalog::DeclaredLength(declared);
  f.Size = length > 0 ? length : t.size;
  f.Required = required;
  f.ADOAttributes = ado::ColumnAttributes(t.attributes, !required, false, false);
  return f;
}

std::string Text(sqlite3_stmt* st, int col) {
  const unsigned char* p = sqlite3_column_text(st, col);
  return p ? reinterpret_cast<const char*>(p) : "";
}

// A prepared statement that finalizes itself.
class Statement {
 public:
  Statement(sqlite3* db, std::string_view sql) { sqlite3_prepare_v2(db, sql.data(), int(sql.size()), &st_, nullptr); }
  ~Statement() { sqlite3_finalize(st_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  sqlite3_stmt* get() const { return st_; }
  // Binds ?1 to the table name, or NULL for every table.
  void BindName(std::string_view name) {
    if (name.empty()) sqlite3_bind_null(st_, 1);
    else sqlite3_bind_text(st_, 1, name.data(), int(name.size()), SQLITE_TRANSIENT);
  }

 private:
  sqlite3_stmt* st_ = nullptr;
};

constexpr std::string_view kColumnsSql =
    "SELECT m.name, m.type, p.name, p.type, p.\"notnull\", p.dflt_value, p.pk "
    "FROM sqlite_master m JOIN pragma_table_info(m.name) p "
    "WHERE m.type IN ('table','view') AND m.name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
    "AND (?1 IS NULL OR m.name = ?1) ORDER BY m.name, p.cid";

constexpr std::string_view kUniqueSql =
    "SELECT m.name, ii.name FROM sqlite_master m JOIN pragma_index_list(m.name) il "
    "JOIN pragma_index_info(il.name) ii "
    "WHERE m.type = 'table' AND il.\"unique\" = 1 AND (?1 IS NULL OR m.name = ?1) "
    "AND (SELECT count(*) FROM pragma_index_info(il.name)) = 1";

class SqliteDriver final : public Driver {
 public:
  ~SqliteDriver() override { Close(); }
  void SetDBType(std::string_view) override {}
  void SetSettingsKey(std::string_view) override {}
  void SetSID(std::string_view) override {}

  void Connect(const ConnectParams& p) override {
    Close();
    lastError_.clear();
    if (p.database.empty()) return;  // listing databases needs no file
    if (!std::filesystem::is_regular_file(p.database)) {
      lastError_ = "unable to open database file: " + p.database;
      return;
    }
    if (sqlite3_open_v2(p.database.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
      lastError_ = std::string(sqlite3_errmsg(db_)) + ": " + p.database;
      Close();
      return;
    }
    sqlite3_busy_timeout(db_, 5000);
    // A file that is not a database opens fine and fails on the first read.
    if (sqlite3_exec(db_, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) != SQLITE_OK) {
      lastError_ = std::string(sqlite3_errmsg(db_)) + ": " + p.database;
      Close();
    }
  }

  std::string LastError() const override { return lastError_; }
  std::vector<std::string> DatabaseNames() override { return {}; }
  bool IsJavaLoaded() const override { return false; }
  std::string QuoteString() override { return "\""; }

  std::vector<DriverTable> GetTables(std::string_view tableName) override {
    RequireConnection();
    catalog::TableSet set;
    std::map<std::string, catalog::Keys> keys;
    {
      Statement st(db_, kColumnsSql);
      CheckPrepared(st);
      st.BindName(tableName);
      while (Step(st)) {
        std::string table = Text(st.get(), 0);
        const bool view = Text(st.get(), 1) == "view";
        DriverTable& t = set.Table(table, TableKindName(view ? TableKind::View : TableKind::Table));
        std::string declared = Text(st.get(), 3);
        DriverField f = TypedField(Text(st.get(), 2), declared, sqlite3_column_int(st.get(), 4) != 0);
        f.HasDefault = sqlite3_column_type(st.get(), 5) != SQLITE_NULL &&
                       catalog::DefaultValue(Text(st.get(), 5), f.DefaultValue);
        if (int pk = sqlite3_column_int(st.get(), 6); pk > 0) {
          auto& primary = keys[table].primary;
          if (primary.size() < std::size_t(pk)) primary.resize(pk);
          primary[pk - 1] = f.Name;
        }
        t.Fields.push_back(std::move(f));
      }
    }
    {
      Statement st(db_, kUniqueSql);
      CheckPrepared(st);
      st.BindName(tableName);
      while (Step(st)) keys[Text(st.get(), 0)].unique.push_back(Text(st.get(), 1));
    }
    std::vector<DriverTable> tables = set.Take();
    for (DriverTable& t : tables) {
      const catalog::Keys& k = keys[t.Name];
      catalog::ApplyKeys(t, k);
      if (k.primary.size() == 1) MarkRowid(t, k.primary[0]);
    }
    return tables;
  }

  DriverTable CustomView(std::string_view viewName, std::string_view sql) override {
    RequireConnection();
    lastError_.clear();
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db_, sql.data(), int(sql.size()), &raw, nullptr) != SQLITE_OK) {
      lastError_ = sqlite3_errmsg(db_);
      return {};
    }
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> st(raw, sqlite3_finalize);
    if (!st || sqlite3_column_count(raw) == 0 || !sqlite3_stmt_readonly(raw)) {
      lastError_ = "not a SELECT statement";
      return {};
    }
    std::vector<catalog::ResultColumn> columns;
    for (int i = 0; i < sqlite3_column_count(raw); ++i) {
      auto cstr = [](const char* p) { return std::string(p ? p : ""); };
      std::string name = cstr(sqlite3_column_name(raw, i));
      columns.push_back({name, cstr(sqlite3_column_table_name(raw, i)), cstr(sqlite3_column_origin_name(raw, i)),
                         TypedField(name, cstr(sqlite3_column_decltype(raw, i)), false)});
    }
    return catalog::BuildCustomView(viewName, std::move(columns),
                                    [&](const std::string& table) { return GetTables(table); });
  }

 private:
  // An INTEGER PRIMARY KEY alone is an alias of the rowid.
  static void MarkRowid(DriverTable& t, const std::string& key) {
    for (DriverField& f : t.Fields) {
      if (f.Name != key || catalog::Lower(f.DataTypeName) != "integer") continue;
      f.AutoIncrement = true;
      f.Required = true;
      f.ADOAttributes = ado::ColumnAttributes(ado::kFldFixed, false, true, true);
    }
  }

  void RequireConnection() const {
    if (!db_) Raise(err::kObjectNotSet, "no database is open");
  }
  void CheckPrepared(const Statement& st) const {
    if (!st.get()) Raise(err::kInvalidCall, sqlite3_errmsg(db_));
  }
  bool Step(Statement& st) {
    int rc = sqlite3_step(st.get());
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) Raise(err::kInvalidCall, sqlite3_errmsg(db_));
    return false;
  }
  void Close() {
    if (db_) sqlite3_close(db_);
    db_ = nullptr;
  }

  sqlite3* db_ = nullptr;
  std::string lastError_;
};

}  // namespace

std::unique_ptr<Driver> MakeSqliteDriver() { return std::make_unique<SqliteDriver>(); }

}  // namespace zantrel
