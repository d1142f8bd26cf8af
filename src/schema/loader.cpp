// The schema loader of ObP: database names, LoadDB (all tables, or with the
// dynamic-load switch only their names), LoadTable on demand, UnLoadDB; and the
// per-object steps it is built from — ObPDatabase::LoadovDB (connect and walk
// the driver's tables), ObPTable::Load_ovDB and ObPField::LoadFld_ovDB.
// Failures are reported in ProjErr only; a failed LoadDB leaves no database.
#include "core/context.h"
#include "core/error.h"
#include "model/project.h"
#include "platform/status.h"
#include "schema/connection.h"
#include "schema/drivers/catalog.h"
#include "schema/field_defaults.h"

namespace zantrel {
namespace {

constexpr std::string_view kLoadFailed = "Load Database failed!";

std::string ProductError(std::string_view text) { return Context().product.errorName + std::string(text); }

// Copies the project settings the loaders read into the thread's context.
void CopyLoadSettings(ObP& p) {
  Context().sqlQuote = p.sqlquote();
  Context().dateFormat = p.defaultDateFormat();
}

void SetLastErrorIfEmpty(std::string_view text) {
  if (Context().projErr.empty()) Context().projErr = std::string(text);
}

// Trims spaces from both ends of one part of a PKField list.
std::string_view Trim(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
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

bool ObP::JVMLoaded() { return ThreadDriver()->IsJavaLoaded(); }

std::string ObP::LoadDatabaseNames(const std::string& sDBType, const std::string& sHost, const std::string& sPort,
                                   const std::string& sUID, const std::string& sPWD, const std::string& sSID,
                                   const std::string& sMethod, const std::string& sUrl,
                                   const std::string& sEncoding) {
  Context().projErr.clear();
  Context().sqlQuote = sqlquote();
  Connection c{sHost, "", sDBType, sUID, sPWD, sPort, sSID, sMethod, sUrl, sEncoding};
  Driver& driver = ConnectDriver(c, "");
  std::string names;
  for (const std::string& n : driver.DatabaseNames()) names += (names.empty() ? "" : "\r\n") + n;
  return names;
}

void ObP::LoadDB(const std::string& sDBName, const std::string& sDBType, const std::string& sHost,
                 const std::string& sPort, const std::string& sUID, const std::string& sPWD, const std::string& sSID,
                 const std::string& sMethod, const std::string& sUrl, const std::string& sEncoding) {
  BusyScope busy(" - Loading Database...");
  if (databases().Count() > 0) {
    Context().projErr = "database already loaded!";
    return;
  }
  const bool loadable = IsLoadableType(sDBType);
  if (loadable) {
    if (sDBName.empty()) {
      Context().projErr = "Invalid DBName specified!";
      return;
    }
    currentDatabaseName(sDBName);
  } else if (currentDatabaseName().empty()) {
    currentDatabaseName(sDBName);  // a first database of another type needs a key too
  }
  databases().Add(currentDatabaseName());
  ObPDatabase* database = openDatabase();
  if (!database) return;  // Add refused it and said why
  database->DBType(sDBType);
  CopyLoadSettings(*this);
  Context().dynamicLoadDB = DynamicLoadDB();

  int16_t result = 0;
  if (loadable) {
    XMLEncoding(sEncoding);
    result = database->LoadovDB(sHost, sDBName, sDBType, sUID, sPWD, sPort, sSID, sMethod, sUrl, sEncoding, "");
  }
  if (result == 0) {
    Context().projErr.clear();
    return;
  }
  databases().Delete(Variant(currentDatabaseName()));
  SetLastErrorIfEmpty(kLoadFailed);
}

void ObP::LoadTable(const std::string& sTableName) {
  ObPDatabase* database = openDatabase();
  if (!database) {
    Context().projErr = ProductError(": Database not loaded!");
    return;
  }
  ObPTable* table = database->tables().FindExact(sTableName);
  if (!table) {
    Context().projErr = ProductError(": Table " + sTableName + " not found!");
    return;
  }
  if (table->TblLoaded()) {
    Context().projErr = ProductError(": Table " + sTableName + " already loaded!");
    return;
  }
  CopyLoadSettings(*this);
  const ObPDatabase& d = *database;
  int16_t result = 0;
  if (IsLoadableType(d.DBType()))
    result = database->LoadovDB(d.DBHost(), d.DBName(), d.DBType(), d.DBUID(), d.DBPwd(), d.DBPort(), d.DBSID(),
                                d.DBConnectionMethod(), d.DBURL(), d.DBEncoding(), sTableName);
  if (result != 0) SetLastErrorIfEmpty(kLoadFailed);
  else Context().projErr.clear();
  Context().busy = false;
}

void ObP::UnLoadDB() {
  ObPDatabase* database = openDatabase();
  if (!database) return;
  if (database->tables().Count() > Context().unloadThreshold) {
    Context().busy = true;
    Status().caption = Context().product.name + " - Unloading Database...";
  }
  databases().Delete(Variant(currentDatabaseName()));
  Context().projErr.clear();
  Context().busy = false;
  ClearSecuritySettings();
}

int16_t ObPDatabase::LoadovDB(const std::string& sHost, const std::string& sDBName, const std::string& sDBType,
                              const std::string& sUID, const std::string& sPWD, const std::string& sPort,
                              const std::string& sSID, const std::string& sMethod, const std::string& sUrl,
                              const std::string& sEncoding, const std::string& sTableName) {
  const bool loadAll = sTableName.empty();
  Connection c{sHost, sDBName, sDBType, sUID, sPWD, sPort, sSID, sMethod, sUrl, sEncoding};
  try {
    Driver& driver = ConnectDriver(c, sDBName);
    Context().projErr = driver.LastError();
    if (!Context().projErr.empty()) return 3;
    const std::string quote = QuoteOverride(sDBType, sMethod);
    if (loadAll) {
      DBHost(sHost);
      DBPort(sPort);
      DBUID(sUID);
      DBPwd(sPWD);
      DBSID(sSID);
      DBConnectionMethod(sMethod);
      DBURL(sUrl);
      DBEncoding(sEncoding);
      const std::string& version = Context().product.versionSegment;
      WriteValue(Properties(), "DBDBMSName", Variant("Orvel DB Driver"));
      WriteValue(Properties(), "DBDBMSVer", Variant(version));
      WriteValue(Properties(), "DBProviderName", Variant("Orvel Technology Ltd"));
      WriteValue(Properties(), "DBProviderVer", Variant(version));
    }
    Context().dbmsName = DBDBMSName();
    std::vector<DriverTable> driverTables = driver.GetTables(sTableName);
    if (loadAll) {
      std::string q = quote == "NA" ? driver.QuoteString() : quote;
      DBQuoteS(q);
      DBQuoteE(q);
    }
    const bool oracle = catalog::Lower(sDBType) == "oracle";
    bool found = false;
    for (const DriverTable& t : driverTables) {
      if (t.TableType != "TABLE" && t.TableType != "VIEW") continue;
      if (!loadAll && t.Name != sTableName) continue;
      if (loadAll) tables().Add(t.Name)->TblLoaded(false);
      ObPTable* table = tables().Find(t.Name);
      if (!table) continue;
      table->Load_ovDB(t, loadAll);
      if (oracle && t.TableType == "VIEW") table->TblView(true);
      found = true;
    }
    // A table that vanished from the database since the project listed it.
    if (!loadAll && !found) Context().projErr = Context().product.errorName + ": Table " + sTableName + " not found!";
  } catch (const Error& e) {
    Context().projErr = e.description();
  }
  return Context().projErr.empty() ? 0 : 3;
}

void ObPTable::Load_ovDB(const DriverTable& Tbl, bool bLoadAll) {
  TblName(Tbl.Name);
  TblType(Tbl.TableType);
  if (bLoadAll && Context().dynamicLoadDB) {
    TblGen(false);
    TblLoaded(false);
    return;
  }
  ObPFields& fields = Fields();
  for (const DriverField& f : Tbl.Fields) fields.Add(f.Name)->LoadFld_ovDB(f);
  TblGen(true);
  TblLoaded(true);
  TblKey(Tbl.PKField);
  if (!Tbl.PKField.empty()) MarkPrimaryKey(fields, Tbl.PKField);
  if (Tbl.TableType == "CUSTOMVIEW") {
    ParseCustomSql();
    TblCustomError("");
  }
  LoadTableDefault();
}

void ObPField::LoadFld_ovDB(const DriverField& f) {
  FldName(f.Name);
  if (f.IsEnum || f.IsSet) {
    FldType(202);
    FldSupport(true);
  } else {
    SetFldType(*this, f.ADODataType);
  }
  FldSize(f.Size);
  FldZeroLen(false);
  FldReq(f.Required);
  FldUniqueIdx(f.Unique);
  FldAutoIncrement(f.AutoIncrement);
  FldAttribute(f.ADOAttributes);
  FldDefault(f.HasDefault ? Variant(f.DefaultValue) : Variant());
  FldTypeName(f.DataTypeName);
  NativeDataType(static_cast<int16_t>(f.NativeDataType));
  if (f.IsEnum || f.IsSet) FldTagValues(f.FieldTagValues);
  // The server's own account of where a custom view's column comes from; the
  // SELECT parser refines it.
  if (!f.SourceTable.empty()) {
    FldSourceTable(f.SourceTable);
    FldSourceField(f.SourceField);
  }
  LoadFldDefault();
}

}  // namespace zantrel
