// The schema loader: database names, the database (all tables, or with the
// dynamic-load switch only their names), one table on demand, unloading; and
// the steps it is built from — connect and walk the driver's tables, fill a
// table and a field from what the driver reports.
// Failures throw Error; a failed load leaves no database.
#include "schema/load.h"

#include "core/context.h"
#include "core/error.h"
#include "core/text.h"
#include "platform/status.h"
#include "schema/connection.h"
#include "schema/drivers/catalog.h"
#include "schema/field_defaults.h"

namespace zantrel {
namespace {

// Copies the project settings the loaders read into the thread's context.
void CopyLoadSettings(ObPModel& p) {
  Context().sqlQuote = p.sqlquote();
  Context().dateFormat = p.defaultDateFormat();
}

void MarkPrimaryKey(ObPFields& fields, std::string_view keyList) {
  while (!keyList.empty()) {
    auto comma = keyList.find(',');
    std::string_view part = Trim(keyList.substr(0, comma));
    for (int32_t i = 0; i < fields.Count(); ++i)
      if (fields.At(i)->FldName() == part) fields.At(i)->FldIsPrimaryKey(true);
    if (comma == std::string_view::npos) break;
    keyList.remove_prefix(comma + 1);
  }
}

}  // namespace

bool JVMLoaded() { return ThreadDriver()->IsJavaLoaded(); }

std::string LoadDatabaseNames(ObPModel& project, const Connection& server) {
  Context().sqlQuote = project.sqlquote();
  Connection c = server;
  c.dbName.clear();
  Driver& driver = ConnectDriver(c, "");
  std::string names;
  for (const std::string& n : driver.DatabaseNames()) names += (names.empty() ? "" : "\r\n") + n;
  return names;
}

void LoadDatabase(ObPModel& project, const Connection& c) {
  BusyScope busy(" - Loading Database...");
  if (project.databases().Count() > 0) throw Error(err::kDatabaseAlreadyLoaded, "database already loaded!");
  const bool loadable = IsLoadableType(c.dbType);
  if (loadable) {
    if (c.dbName.empty()) throw Error(err::kInvalidDatabaseName, "Invalid DBName specified!");
    project.currentDatabaseName(c.dbName);
  } else if (project.currentDatabaseName().empty()) {
    project.currentDatabaseName(c.dbName);  // a first database of another type needs a key too
  }
  if (!project.databases().Add(project.currentDatabaseName()))
    throw Error(err::kDatabaseAlreadyLoaded, "support 1 db only!");
  ObPDatabase& database = *project.openDatabase();
  database.DBType(c.dbType);
  CopyLoadSettings(project);
  Context().dynamicLoadDB = project.DynamicLoadDB();
  if (!loadable) return;
  project.XMLEncoding(c.encoding);
  try {
    LoadDatabaseTables(database, c, "");
  } catch (const Error&) {
    project.databases().Delete(Variant(project.currentDatabaseName()));
    throw;
  }
}

void LoadTable(ObPModel& project, const std::string& sTableName) {
  ObPDatabase* database = project.openDatabase();
  if (!database) throw Error(err::kDatabaseNotLoaded, ProductError(": Database not loaded!"));
  ObPTable* table = database->tables().FindExact(sTableName);
  if (!table) throw Error(err::kTableNotFound, ProductError(": Table " + sTableName + " not found!"));
  if (table->TblLoaded())
    throw Error(err::kTableAlreadyLoaded, ProductError(": Table " + sTableName + " already loaded!"));
  CopyLoadSettings(project);
  struct NotBusy {
    ~NotBusy() { Context().busy = false; }
  } notBusy;
  if (IsLoadableType(database->DBType())) LoadDatabaseTables(*database, ConnectionOf(*database), sTableName);
}

bool UnloadDatabase(ObPModel& project) {
  ObPDatabase* database = project.openDatabase();
  if (!database) return false;
  if (database->tables().Count() > Context().unloadThreshold) {
    Context().busy = true;
    Status().caption = Context().product.name + " - Unloading Database...";
  }
  project.databases().Delete(Variant(project.currentDatabaseName()));
  Context().busy = false;
  project.ClearSecuritySettings();
  return true;
}

void LoadDatabaseTables(ObPDatabase& database, const Connection& c, const std::string& sTableName) {
  const bool loadAll = sTableName.empty();
  Driver& driver = ConnectDriver(c, c.dbName);
  ThrowIfDriverFailed(driver);
  const std::string quote = QuoteOverride(c.dbType, c.method);
  if (loadAll) {
    StoreConnection(database, c);
    const std::string& version = Context().product.versionSegment;
    WriteValue(database.Properties(), "DBDBMSName", Variant("Orvel DB Driver"));
    WriteValue(database.Properties(), "DBDBMSVer", Variant(version));
    WriteValue(database.Properties(), "DBProviderName", Variant("Orvel Technology Ltd"));
    WriteValue(database.Properties(), "DBProviderVer", Variant(version));
  }
  Context().dbmsName = database.DBDBMSName();
  std::vector<DriverTable> driverTables = driver.GetTables(sTableName);
  if (loadAll) {
    std::string q = quote == "NA" ? driver.QuoteString() : quote;
    database.DBQuoteS(q);
    database.DBQuoteE(q);
  }
  const bool oracle = catalog::Lower(c.dbType) == "oracle";
  bool found = false;
  for (const DriverTable& t : driverTables) {
    const TableKind kind = TableKindOf(t.TableType);
    if (kind != TableKind::Table && kind != TableKind::View) continue;
    if (!loadAll && t.Name != sTableName) continue;
    if (loadAll) database.tables().Add(t.Name)->TblLoaded(false);
    ObPTable* table = database.tables().Find(t.Name);
    if (!table) continue;
    LoadTableFromDriver(*table, t, loadAll);
    if (oracle && kind == TableKind::View) table->TblView(true);
    found = true;
  }
  // A table that vanished from the database since the project listed it.
  if (!loadAll && !found) throw Error(err::kTableNotFound, ProductError(": Table " + sTableName + " not found!"));
}

void LoadTableFromDriver(ObPTable& table, const DriverTable& Tbl, bool bLoadAll) {
  table.TblName(Tbl.Name);
  table.TblType(Tbl.TableType);
  if (bLoadAll && Context().dynamicLoadDB) {
    table.TblGen(false);
    table.TblLoaded(false);
    return;
  }
  ObPFields& fields = table.Fields();
  for (const DriverField& f : Tbl.Fields) LoadFieldFromDriver(*fields.Add(f.Name), f);
  table.TblGen(true);
  table.TblLoaded(true);
  table.TblKey(Tbl.PKField);
  if (!Tbl.PKField.empty()) MarkPrimaryKey(fields, Tbl.PKField);
  if (TableKindOf(Tbl.TableType) == TableKind::CustomView) {
    ParseCustomSql(table);
    table.TblCustomError("");
  }
  LoadTableDefault(table);
}

void LoadFieldFromDriver(ObPField& field, const DriverField& f) {
  field.FldName(f.Name);
  if (f.IsEnum || f.IsSet) {
    field.FldType(202);
    field.FldSupport(true);
  } else {
    SetFldType(field, f.ADODataType);
  }
  field.FldSize(f.Size);
  field.FldZeroLen(false);
  field.FldReq(f.Required);
  field.FldUniqueIdx(f.Unique);
  field.FldAutoIncrement(f.AutoIncrement);
  field.FldAttribute(f.ADOAttributes);
  field.FldDefault(f.HasDefault ? Variant(f.DefaultValue) : Variant());
  field.FldTypeName(f.DataTypeName);
  field.NativeDataType(static_cast<int16_t>(f.NativeDataType));
  if (f.IsEnum || f.IsSet) field.FldTagValues(f.FieldTagValues);
  // The server's own account of where a custom view's column comes from; the
  // SELECT parser refines it.
  if (!f.SourceTable.empty()) {
    field.FldSourceTable(f.SourceTable);
    field.FldSourceField(f.SourceField);
  }
  LoadFldDefault(field);
}

}  // namespace zantrel
