// Custom views: a table made from a SELECT. The driver describes the SELECT's
// columns without running it; a result with two columns of one name is refused;
// the SELECT parser traces each column to its source, and with bCopyFields the
// columns take the settings of their loaded source columns.
#include "core/context.h"
#include "core/error.h"
#include "model/project.h"
#include "platform/status.h"
#include "schema/connection.h"
#include "schema/select_parser.h"

namespace zantrel {
namespace {

std::string ProductError(std::string_view text) { return Context().product.errorName + std::string(text); }

// The first name that a later column repeats exactly, or "".
std::string DuplicateColumn(const DriverTable& view) {
  for (std::size_t i = 0; i < view.Fields.size(); ++i)
    for (std::size_t j = i + 1; j < view.Fields.size(); ++j)
      if (view.Fields[i].Name == view.Fields[j].Name) return view.Fields[i].Name;
  return "";
}

// Copies every setting with the Sync flag from one field into another.
void CopySyncSettings(const ObPField& from, ObPField& to) {
  const ObProperties& src = from.Properties();
  for (int32_t i = 0; i < src.Count(); ++i) {
    const PropertyMeta& m = src.MetaAt(i);
    if (!m.sync) continue;
    if (Variant* v = to.Properties().FindValue(m.name)) *v = src.ValueAt(i);
  }
}

void CopyFromSources(ObPTables& tables, ObPTable& view) {
  ObPFields& fields = view.Fields();
  for (int32_t i = 0; i < fields.Count(); ++i) {
    ObPField& f = *fields.At(i);
    if (f.FldSourceTable().empty() || f.FldSourceField().empty()) continue;
    ObPTable* source = tables.FindExact(f.FldSourceTable());
    if (!source || !source->TblLoaded()) continue;
    ObPFields& sourceFields = source->Fields();
    for (int32_t j = 0; j < sourceFields.Count(); ++j) {
      if (sourceFields.At(j)->FldName() != f.FldSourceField()) continue;
      CopySyncSettings(*sourceFields.At(j), f);
      break;
    }
  }
}

}  // namespace

void ObP::LoadCustomView(const std::string& sTableName, const std::string& sSQL, bool bCopyFields) {
  Context().projErr.clear();
  ObPDatabase* database = openDatabase();
  if (!database) {
    Context().projErr = ProductError(": Database not loaded!");
    return;
  }
  if (database->tables().FindExact(sTableName)) {
    Context().projErr = ProductError(": Table/View " + sTableName + " already exists!");
    return;
  }
  BusyScope busy(" - Loading " + sTableName);
  ObPStatus& status = Status();
  status.ShowStatus2(hWnd(), status.caption);
  status.shown = true;
  status.DispStatus("Please wait ...");
  Context().sqlQuote = sqlquote();
  Context().dateFormat = defaultDateFormat();

  int16_t result = database->LoadovCustomView(sTableName, sSQL);
  if (result == 0 && bCopyFields) {
    if (ObPTable* view = database->tables().Find(sTableName)) CopyFromSources(database->tables(), *view);
  }
  if (status.shown) {
    status.CloseStatus();
    status.shown = false;
  }
  if (result != 0) {
    if (Context().projErr.empty()) Context().projErr = "Load Database failed!";
  } else {
    Context().projErr.clear();
  }
}

int16_t ObPDatabase::LoadovCustomView(const std::string& sTableName, const std::string& sSQL) {
  Connection c{DBHost(), DBName(), DBType(), DBUID(), DBPwd(), DBPort(), DBSID(), DBConnectionMethod(), DBURL(),
               DBEncoding()};
  bool added = false;
  try {
    Driver& driver = ConnectDriver(c, c.dbName);
    Context().projErr = driver.LastError();
    if (!Context().projErr.empty()) return 3;
    Ref<ObPTable> table = tables().Add(sTableName);
    added = true;
    table->TblLoaded(true);
    DriverTable view = driver.CustomView(sTableName, sSQL);
    Context().projErr = driver.LastError();
    if (Context().projErr.empty()) {
      if (std::string dup = DuplicateColumn(view); !dup.empty())
        Context().projErr = "Columns with same field name: " + dup + ". Please create Alias for the fields.";
    }
    if (!Context().projErr.empty()) {
      tables().Delete(Variant(sTableName));
      return 3;
    }
    table->TblCustomSQL(sSQL);
    table->Load_ovDB(view, false);
  } catch (const Error& e) {
    Context().projErr = e.description();
    if (added) tables().Delete(Variant(sTableName));
  }
  return Context().projErr.empty() ? 0 : 3;
}

void ObPTable::ParseCustomSql() {
  std::optional<ParsedSelect> select = ParseSelect(TblCustomSQL());
  if (!select) return;
  ObPFields& fields = Fields();
  for (int32_t i = 0; i < fields.Count(); ++i) {
    ObPField& f = *fields.At(i);
    std::optional<FieldSource> source = GetFieldSource(*select, f.FldName());
    if (!source) continue;  // a column of a *: the server's account stands
    f.FldAlias(source->alias);
    f.FldSourceName(source->sourceName);
    // The server's account of the source wins where it has one: it sees
    // through unqualified columns of joins.
    if (f.FldSourceTable().empty()) {
      f.FldSourceTable(source->sourceTable);
      f.FldSourceField(source->sourceField);
    }
  }
}

}  // namespace zantrel
