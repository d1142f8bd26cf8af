// The reference loader: the same driver calls as the model's loader, read into
// records with the type rule applied, and no defaults beyond it.
#include "schema/schema_reader.h"

#include "core/context.h"
#include "core/convert.h"
#include "core/error.h"
#include "platform/registry.h"
#include "schema/connection.h"
#include "schema/drivers/catalog.h"
#include "schema/drivers/jdbc_targets.h"
#include "schema/field_defaults.h"

namespace zantrel {
namespace {

ObSchemaField FieldRecord(const DriverField& f, int16_t seq, const std::string& keyList) {
  ObSchemaField r;
  r.FldSeq = seq;
  r.FldName = f.Name;
  if (f.IsEnum || f.IsSet) {
    r.FldType = 202;
    r.FldSupport = true;
    r.FldTagValues = f.FieldTagValues;
  } else {
    r.FldType = static_cast<int16_t>(f.ADODataType);
    TypeRule rule = TypeRuleFor(f.ADODataType);
    r.FldSupport = rule.support;
    if (rule.setsQuotes) r.FldQuoteS = r.FldQuoteE = std::string(rule.quote);
  }
  r.FldTypeName = f.DataTypeName;
  r.NativeDataType = static_cast<int16_t>(f.NativeDataType);
  r.FldSize = f.Size;
  r.FldReq = f.Required;
  r.FldUniqueIdx = f.Unique;
  r.FldAutoIncrement = f.AutoIncrement;
  r.FldAttribute = f.ADOAttributes;
  r.FldDefault = f.HasDefault ? Variant(f.DefaultValue) : Variant();
  // Primary key: the field is one of the trimmed parts of PKField.
  std::string_view keys = keyList;
  while (!keys.empty()) {
    auto comma = keys.find(',');
    std::string_view part = keys.substr(0, comma);
    while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
    while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
    if (part == f.Name) r.FldIsPrimaryKey = true;
    if (comma == std::string_view::npos) break;
    keys.remove_prefix(comma + 1);
  }
  return r;
}

ObSchemaTable TableRecord(const DriverTable& t, int16_t seq) {
  ObSchemaTable r;
  r.TblSeq = seq;
  r.TblName = t.Name;
  r.TblType = t.TableType;
  r.TblKey = t.PKField;
  r.TblGen = true;
  r.TblFldCnt = static_cast<int16_t>(t.Fields.size());
  r.TblFields.Fld.resize(t.Fields.size() + 1);
  for (std::size_t i = 0; i < t.Fields.size(); ++i)
    r.TblFields.Fld[i + 1] = FieldRecord(t.Fields[i], static_cast<int16_t>(i + 1), t.PKField);
  return r;
}

// The JDBC paths the JDBC method needs, from the user's settings key.
bool JdbcConfigured(std::string_view dbType) {
  const std::string key = Context().SettingsKey();
  const jdbc::Target* target = jdbc::FindTarget(dbType);
  return target && !jdbc::ReadSetting(key, jdbc::kJavaRuntimeSetting).empty() &&
         !jdbc::ReadSetting(key, target->jarSetting).empty();
}

void AppendTable(ObSchemaDB& db, const DriverTable& t) {
  if (db.tables.Tbl.empty()) db.tables.Tbl.resize(1);
  db.DBTblCnt = static_cast<int16_t>(db.DBTblCnt + 1);
  db.tables.Tbl.push_back(TableRecord(t, db.DBTblCnt));
}

}  // namespace

void SchemaReader::Read(const Connection& c) {
  if (loaded_) throw Error(err::kDatabaseAlreadyLoaded, "database already loaded!");
  const std::string type = catalog::Lower(c.dbType);
  const bool jdbcTypes = type == "mysql" || type == "oracle";
  if (jdbcTypes && c.method == "JDBC" && !JdbcConfigured(type)) throw Error(err::kJdbcNotConfigured, "JDBC ERROR");
  db_ = ObSchemaDB{};
  db_.DBName = c.dbName;
  db_.DBType = c.dbType;
  db_.DBSID = c.sid;
  db_.DBConnectionMethod = c.method;
  db_.DBURL = c.url;
  db_.DBHost = c.host;
  db_.DBPort = c.port;
  db_.DBEncoding = c.encoding;
  db_.DBUID = c.uid;
  db_.DBPwd = c.pwd;
  db_.DBDBMSName = "Orvel DB Driver";
  db_.DBDBMSVer = db_.DBProviderVer = Context().product.versionSegment;
  db_.DBProviderName = "Orvel Technology Ltd";
  db_.tables.Tbl.resize(1);
  try {
    Driver& driver = ConnectDriver(c, c.dbName);
    ThrowIfDriverFailed(driver);
    for (const DriverTable& t : driver.GetTables("")) {
      const TableKind kind = TableKindOf(t.TableType);
      if (kind == TableKind::Table || kind == TableKind::View) AppendTable(db_, t);
    }
  } catch (const Error&) {
    db_ = ObSchemaDB{};
    throw;
  }
  loaded_ = true;
}

void SchemaReader::ReadCustomView(const Connection& c, const std::string& name, const std::string& sql) {
  Driver& driver = ConnectDriver(c, c.dbName);
  ThrowIfDriverFailed(driver);
  DriverTable view = driver.CustomView(name, sql);
  ThrowIfDriverFailed(driver);
  for (std::size_t i = 0; i < view.Fields.size(); ++i)
    for (std::size_t j = i + 1; j < view.Fields.size(); ++j)
      if (view.Fields[i].Name == view.Fields[j].Name)
        throw Error(err::kDuplicateColumns,
                    "Columns with same field name: " + view.Fields[i].Name + ". Please create Alias for the fields.");
  AppendTable(db_, view);
}

ObSchemaTable SchemaReader::Tbl(int16_t i) {
  if (i < 0 || static_cast<std::size_t>(i) >= db_.tables.Tbl.size()) Raise(err::kSubscript);
  current_ = i;
  return db_.tables.Tbl[i];
}

}  // namespace zantrel
